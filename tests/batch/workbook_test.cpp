// SPDX-License-Identifier: GPL-3.0-or-later
// The results and the template as workbooks, read back from the archive: the sheet, its frozen
// bold header, each result a number cell with the window's value in a format of its digits, the
// numbers in a German locale, and the file written whole or not at all.

#include "batch/workbook_files.h"
#include "batch/xlsx_results.h"
#include "batch/table_columns.h"
#include "batch_test_support.h"
#include "engine/number_text.h"
#include "report/report_printer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtGui/private/qzipreader_p.h>

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <map>

using namespace zhuheng_test;

namespace {

// Rows of every kind: both modes, a refusal, a fault, an error of a cell; a number shown with
// an exponent; cells that XML cannot carry as they are.
const std::string kTable =
    kHeader + "设计,配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0.2,0.8,500\r\n"
              "二类,配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0.2,0.8,1300\r\n"
              "复核,强度复核,20号,Ⅱ级,,80,0.07,1.6,0.12,0.18,1.3,3000\r\n"
              "巨大,强度复核,20号,Ⅱ级,,1e15,0.07,1.6,0.12,0.18,1.3,3000\r\n"
              "重拟,配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0.2,0.8,1500\r\n"
              "出错,配筋计算,25号,Ⅱ级,,,0.05,1.0,0.15,0,0.8,1300\r\n"
              "\x01_x0041_,配筋计算,25号,Ⅱ级,,,0.05,一米,0.15,0.2,0.8,500\r\n";

struct Cell {
    int style = 0;
    bool number = false;
    std::string text; // the value as written, or the inline text
};

// A workbook's sheet and styles as the archive holds them.
struct Workbook {
    std::string workbook_xml;
    std::string sheet_xml;
    std::vector<std::vector<Cell>> rows;
    std::map<int, std::string> number_formats; // by id
    std::vector<bool> bold_fonts;
    std::vector<std::pair<int, int>> styles; // number format id, font id

    std::map<int, double> widths; // by column, from 0

    std::string format_of(const Cell& c) const {
        // Excel's built-in formats that the writer names by their number.
        static const std::map<int, std::string> built_in{
            {0, ""}, {1, "0"}, {2, "0.00"}, {11, "0.00E+00"}};
        const int id = styles.at(c.style).first;
        return built_in.count(id) ? built_in.at(id) : number_formats.at(id);
    }
    bool bold(const Cell& c) const { return bold_fonts.at(styles.at(c.style).second); }
};

Workbook read_workbook(const QString& path) {
    QZipReader zip(path);
    EXPECT_EQ(zip.status(), QZipReader::NoError) << path.toStdString();
    Workbook book;
    book.workbook_xml = zip.fileData(QStringLiteral("xl/workbook.xml")).toStdString();
    book.sheet_xml = zip.fileData(QStringLiteral("xl/worksheets/sheet1.xml")).toStdString();
    QXmlStreamReader sheet(QByteArray::fromStdString(book.sheet_xml));
    while (!sheet.atEnd()) {
        if (sheet.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (sheet.name() == u"col") {
            book.widths[sheet.attributes().value(QLatin1String("min")).toInt() - 1] =
                sheet.attributes().value(QLatin1String("width")).toDouble();
        } else if (sheet.name() == u"row") {
            book.rows.emplace_back();
        } else if (sheet.name() == u"c") {
            const auto a = sheet.attributes();
            const int column = [&] {
                int n = 0;
                for (const QChar ch : a.value(QLatin1String("r"))) {
                    if (ch.isLetter()) {
                        n = n * 26 + (ch.unicode() - 'A' + 1);
                    }
                }
                return n - 1;
            }();
            book.rows.back().resize(column + 1);
            Cell& cell = book.rows.back()[column];
            cell.style = a.value(QLatin1String("s")).toInt();
            cell.number = !a.hasAttribute(QLatin1String("t"));
        } else if (sheet.name() == u"v" || sheet.name() == u"t") {
            book.rows.back().back().text = sheet.readElementText().toStdString();
        }
    }
    EXPECT_FALSE(sheet.hasError()) << sheet.errorString().toStdString();
    QXmlStreamReader styles(zip.fileData(QStringLiteral("xl/styles.xml")));
    bool in_xfs = false;
    while (!styles.atEnd()) {
        styles.readNext();
        if (styles.isStartElement() && styles.name() == u"cellXfs") {
            in_xfs = true;
        } else if (styles.isEndElement() && styles.name() == u"cellXfs") {
            in_xfs = false;
        } else if (styles.isStartElement() && styles.name() == u"numFmt") {
            book.number_formats[styles.attributes().value(QLatin1String("numFmtId")).toInt()] =
                styles.attributes().value(QLatin1String("formatCode")).toString().toStdString();
        } else if (styles.isStartElement() && styles.name() == u"font") {
            book.bold_fonts.push_back(false);
        } else if (styles.isStartElement() && styles.name() == u"b") {
            book.bold_fonts.back() = true;
        } else if (in_xfs && styles.isStartElement() && styles.name() == u"xf") {
            book.styles.emplace_back(styles.attributes().value(QLatin1String("numFmtId")).toInt(),
                                     styles.attributes().value(QLatin1String("fontId")).toInt());
        }
    }
    return book;
}

// A cell's text as Excel reads it: each escape _xHHHH_ the character it stands for.
std::string unescaped(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned code = 0;
        if (text.compare(i, 2, "_x") == 0 && i + 7 <= text.size() && text[i + 6] == '_' &&
            std::from_chars(text.data() + i + 2, text.data() + i + 6, code, 16).ptr ==
                text.data() + i + 6) {
            out += static_cast<char>(code);
            i += 6;
        } else {
            out += text[i];
        }
    }
    return out;
}

double value_of(const std::string& text) {
    double value = 0;
    EXPECT_EQ(std::from_chars(text.data(), text.data() + text.size(), value).ptr,
              text.data() + text.size())
        << text;
    return value;
}

Ran run_to_workbook(const std::string& table, const QString& path) {
    MemorySource in(table);
    BatchOptions options;
    options.gbk = platform_gbk_decoder();
    Ran ran;
    ran.summary = run_batch_to_workbook(in, path, options);
    return ran;
}

QStringList files_in(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
}

TEST(Workbook, NumberFormatShowsTheDigitsOfTheText) {
    const struct {
        const char* name;
        const char* shown;
        const char* format;
    } cases[] = {
        {"whole", "4", "0"},
        {"three_decimals", "25.528", "0.000"},
        {"four_decimals", "0.2481", "0.0000"},
        {"negative", "-1.5", "0.0"},
        {"exponent_as_the_window_shows_it", "1.5E-05", "0.0E+00"},
        {"exponent_of_a_whole_mantissa", "1E+15", "0E+00"},
        {"exponent_typed", " 5e2 ", "0E+00"},
        {"leading_point", "+.5", "0.0"},
        {"full_width_digits_are_text", "０．０５", ""},
        {"verdict", "通过验算", ""},
        {"point_alone", ".", ""},
        {"exponent_without_digits", "1E", ""},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(number_format(c.shown), c.format) << c.name;
    }
}

TEST(Workbook, ResultsHoldTheWindowsNumbersInFormatsOfTheirDigits) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("表-结果.xlsx"));
    run_to_workbook(kTable, path);
    const Ran csv = run_table(kTable);
    const Workbook book = read_workbook(path);

    EXPECT_NE(book.workbook_xml.find("<sheet name=\"结果\""), std::string::npos);
    EXPECT_NE(book.sheet_xml.find("ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" "
                                  "state=\"frozen\""),
              std::string::npos)
        << "the header frozen";
    ASSERT_EQ(book.rows.size(), csv.rows.size());
    const auto& header = csv.rows[0];
    for (std::size_t i = 0; i < header.size(); ++i) {
        EXPECT_EQ(book.rows[0].at(i).text, header[i]);
        EXPECT_TRUE(book.bold(book.rows[0][i])) << header[i];
    }
    std::size_t numbers = 0;
    bool exponent = false;
    for (std::size_t r = 1; r < csv.rows.size(); ++r) {
        for (std::size_t i = 0; i < header.size(); ++i) {
            SCOPED_TRACE(header[i] + " of row " + std::to_string(r));
            const std::string& shown = csv.rows[r][i];
            const Cell cell = i < book.rows[r].size() ? book.rows[r][i] : Cell{};
            EXPECT_FALSE(book.bold(cell));
            const bool result = std::find(kResultNames.begin(), kResultNames.end(), header[i]) !=
                                kResultNames.end();
            if (result && !shown.empty() && header[i] != "结果") {
                ++numbers;
                exponent = exponent || shown.find('E') != std::string::npos;
                ASSERT_TRUE(cell.number) << shown;
                EXPECT_EQ(zhuheng::plain_number_text(value_of(cell.text)), shown);
                EXPECT_EQ(book.format_of(cell), number_format(shown));
            } else {
                EXPECT_FALSE(cell.number) << "as text: " << shown;
                EXPECT_EQ(unescaped(cell.text), shown);
            }
        }
    }
    EXPECT_EQ(numbers, 14u + 14u + 2u + 2u);
    EXPECT_TRUE(exponent) << "a row shows a number with an exponent";
    // Text that XML cannot carry as it is, escaped as Excel reads it back.
    EXPECT_NE(book.sheet_xml.find("<t>_x0001__x005F_x0041_</t>"), std::string::npos);
    // Each column as wide as its caption at least, a Chinese character taking two digits' width.
    for (std::size_t i = 0; i < header.size(); ++i) {
        const double characters = static_cast<double>(
            std::count_if(header[i].begin(), header[i].end(),
                          [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
        const double bytes = static_cast<double>(header[i].size());
        EXPECT_GE(book.widths.at(i), characters + (bytes - characters) / 2) << header[i];
    }
}

TEST(Workbook, NumbersHaveAPointInAGermanLocale) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
#if defined(_WIN32)
    const char* const german = "German_Germany.1252";
#else
    const char* const german = "de_DE.UTF-8";
#endif
    ASSERT_NE(std::setlocale(LC_ALL, german), nullptr)
        << "the locale " << german << " is missing: scripts/install-deps.sh generates it";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("de.xlsx"));
    run_to_workbook(kTable, path);
    EXPECT_STREQ(std::localeconv()->decimal_point, ",") << "the thread's locale is given back";
    std::setlocale(LC_ALL, before.c_str());

    const Workbook book = read_workbook(path);
    EXPECT_NE(book.sheet_xml.find("<v>25.528</v>"), std::string::npos);
    // Each value and each column's width.
    std::size_t numbers = 0;
    for (const auto& [open, close] : {std::pair{"<v>", '<'}, std::pair{"width=\"", '"'}}) {
        const std::string_view start = open;
        for (std::size_t at = book.sheet_xml.find(start); at != std::string::npos;
             at = book.sheet_xml.find(start, at + 1)) {
            const std::size_t from = at + start.size();
            const std::string v = book.sheet_xml.substr(from, book.sheet_xml.find(close, from) - from);
            EXPECT_EQ(v.find(','), std::string::npos) << v;
            ++numbers;
        }
    }
    EXPECT_GT(numbers, 40u);
}

TEST(Workbook, WrittenWholeOrNotAtAll) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("结果.xlsx"));
    {
        QFile earlier(path);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier");
    }
    const auto unchanged = [&] {
        EXPECT_EQ(files_in(dir), QStringList{QStringLiteral("结果.xlsx")});
        QFile earlier(path);
        EXPECT_TRUE(earlier.open(QIODevice::ReadOnly));
        EXPECT_EQ(earlier.readAll(), QByteArray("earlier"));
    };
    const struct {
        const char* name;
        std::string table;
        std::string what; // part of the reason
    } cases[] = {
        {"text_longer_than_a_cell_holds", kHeader + std::string(40000, 'x') + kTable.substr(kHeader.size() + 6),
         "32767"},
        {"quote_never_closed_after_rows", kTable + "\"末行,配筋计算", "引号"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string what;
        try {
            run_to_workbook(c.table, path);
        } catch (const std::exception& e) {
            what = e.what();
        }
        EXPECT_NE(what.find(c.what), std::string::npos) << what;
        unchanged();
    }

    std::string rows = kHeader;
    for (int i = 0; i < 300; ++i) {
        rows += kTable.substr(kHeader.size(), kTable.find('\n', kHeader.size()) + 1 - kHeader.size());
    }
    MemorySource in(rows);
    BatchOptions options;
    options.gbk = platform_gbk_decoder();
    options.progress = [](std::uint64_t, std::uint64_t) { return false; };
    const BatchSummary cancelled = run_batch_to_workbook(in, path, options);
    EXPECT_TRUE(cancelled.cancelled);
    unchanged();

    // A folder where the workbook would go.
    const QString folder = dir.filePath(QStringLiteral("夹.xlsx"));
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_THROW(run_to_workbook(kTable, folder), zhuheng::PrintError);
    EXPECT_THROW(save_template_workbook({}, dir.filePath(QStringLiteral("无/模板.xlsx"))),
                 zhuheng::PrintError);
    EXPECT_EQ(files_in(dir).size(), 2);
}

TEST(Workbook, TheTemplateHoldsNumbersAsNumbers) {
    TemplateRow row;
    row.mode = zhuheng::CalcMode::Design;
    row.concrete_grade = "25号";
    row.steel_grade = "Ⅱ级 ";
    row.rg = "";
    row.section = {"12", " 0.050 ", "1e0", "0.15", "0,2", "1e999", "500"};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("模板.xlsx"));
    save_template_workbook(row, path);
    const Workbook book = read_workbook(path);
    EXPECT_NE(book.workbook_xml.find("<sheet name=\"模板\""), std::string::npos);
    EXPECT_NE(book.sheet_xml.find("state=\"frozen\""), std::string::npos);
    ASSERT_EQ(book.rows.size(), 2u);
    for (const Cell& caption : book.rows[0]) {
        EXPECT_TRUE(book.bold(caption)) << caption.text;
    }
    const auto& cells = book.rows[1];
    ASSERT_EQ(cells.size(), 12u);
    const struct {
        std::size_t column;
        bool number;
        const char* text;
        const char* format;
    } expected[] = {
        {0, true, "1", "0"},         {1, false, "配筋计算", ""}, {3, false, "Ⅱ级", ""},
        {4, false, "", ""},          {5, true, "12", "0"},      {6, true, "0.05", "0.000"},
        {7, true, "1", "0E+00"},     {9, false, "0,2", ""},     {10, false, "1e999", ""},
        {11, true, "500", "0"},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.column);
        EXPECT_EQ(cells[e.column].number, e.number);
        EXPECT_EQ(cells[e.column].text, e.text);
        EXPECT_EQ(book.format_of(cells[e.column]), e.format);
    }
}

} // namespace
