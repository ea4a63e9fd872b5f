// SPDX-License-Identifier: GPL-3.0-or-later
// The calc sheet's document as an office suite reads it: LibreOffice, started headless with a
// profile of its own, converts each exported document to text and to PDF. The PDF sets the
// working's lines in the very rows of the exported PDF, no line ending inside a number; the text
// holds every line of the sheet and those rows, in order, with the digits the sheet prints (a
// no-break space read as a blank); the PDF has the drawing as a picture at print resolution, and
// sets the text in Chinese faces only. A copy of each document on a narrower page, which its rows
// no longer fit, is broken by LibreOffice itself: still no number parted from itself, its unit or
// its sign. A calc book's document reads as its summary table and then every completed row's
// sheet under its heading, in order.
#include "report/calc_book.h"
#include "report/document_file.h"
#include "report/pdf_file.h"
#include "report/sheet_document.h"
#include "worked_examples.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>
#include <private/qzipreader_p.h>
#include <private/qzipwriter_p.h>

using namespace zhuheng;

// Failures show the lines as text.
void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

struct Run {
    bool ok = false;
    QString out;
};

// A program run to its end; LibreOffice's first start in a new profile takes some seconds.
Run run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    Run r;
    if (!p.waitForStarted(10000)) {
        ADD_FAILURE()
            << program.toStdString() << " did not start (" << p.errorString().toStdString()
            << "); scripts/install-deps.sh installs LibreOffice (libreoffice-writer-nogui)"
               " and poppler-utils";
        return r;
    }
    if (!p.waitForFinished(180000)) {
        ADD_FAILURE() << program.toStdString() << " did not finish";
        return r;
    }
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.ok = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    EXPECT_TRUE(r.ok) << program.toStdString()
                      << " failed: " << QString::fromUtf8(p.readAllStandardError()).toStdString();
    return r;
}

// The lines of a text, or of a PDF as pdftotext -layout reads it, each with its runs of blanks
// (no-break spaces among them) made one; empty lines left out.
QStringList lines_of(const QString& text) {
    QStringList lines;
    for (const QString& line : text.split(QChar('\n'))) {
        if (const QString simple = line.simplified(); !simple.isEmpty()) {
            lines << simple;
        }
    }
    return lines;
}

QStringList pdf_lines(const QString& pdf) {
    return lines_of(
        run(QStringLiteral(PDFTOTEXT), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
            .out.remove(QChar('\f')));
}

// The rows of the working in a PDF's lines: from its first line on, up to the drawing's caption
// where there is one (LibreOffice's PDF has no text in the drawing), or to the end.
QStringList working_rows_of(const QStringList& lines, const Working& working, bool to_the_end) {
    const auto first =
        lines.indexOf(QString::fromStdString(line_text(working.lines.front())).simplified());
    const auto caption =
        working.figure && !to_the_end
            ? lines.indexOf(QString::fromStdString(section_drawing(*working.figure).caption), first)
            : lines.size();
    EXPECT_GE(first, 0) << "no working";
    EXPECT_GE(caption, 0) << "no caption";
    return first < 0 || caption < 0 ? QStringList() : lines.mid(first, caption - first);
}

// Where a line ends and the next begins inside a number, between a number and its unit, or after
// a sign: the pair of them.
QStringList parted_numbers(const QStringList& lines) {
    static const QRegularExpression number_end(QStringLiteral("[0-9.]$"));
    static const QRegularExpression number_or_unit(QStringLiteral("^([0-9.%²⁴]|cm|m|KN|KPa)"));
    static const QRegularExpression sign_end(QStringLiteral("[=×+−≤≥>/]$"));
    QStringList parted;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if ((number_end.match(lines[i]).hasMatch() &&
             number_or_unit.match(lines[i + 1]).hasMatch()) ||
            sign_end.match(lines[i]).hasMatch()) {
            parted << lines[i] + QStringLiteral(" | ") + lines[i + 1];
        }
    }
    return parted;
}

// A copy of the document at `path`, its right margin 60 mm wider.
QString narrowed(const QString& path) {
    QZipReader in(path);
    const QString copy =
        QString(path).replace(QStringLiteral(".odt"), QStringLiteral("-narrow.odt"));
    QFile file(copy);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    QZipWriter out(&file);
    static const QRegularExpression margin(QStringLiteral(R"(fo:margin-right="([\d.]+)mm")"));
    for (const QZipReader::FileInfo& info : in.fileInfoList()) {
        QByteArray data = in.fileData(info.filePath);
        if (info.filePath == QLatin1String("styles.xml")) {
            QString styles = QString::fromUtf8(data);
            const auto m = margin.match(styles);
            EXPECT_TRUE(m.hasMatch()) << "no right margin in the styles";
            styles.replace(m.capturedStart(1), m.capturedLength(1),
                           QString::number(m.captured(1).toDouble() + 60));
            data = styles.toUtf8();
        }
        // The media type first and uncompressed, as a reader looks for it.
        out.setCompressionPolicy(info.filePath == QLatin1String("mimetype")
                                     ? QZipWriter::NeverCompress
                                     : QZipWriter::AlwaysCompress);
        out.addFile(info.filePath, data);
    }
    return copy;
}

// The texts of a sheet in order: each label-value pair, each line of the working whole and the
// drawing's caption, without their blanks: what a reader finds, wherever the rows break.
QString sheet_words(const std::vector<ReportBlock>& sheet) {
    QString words;
    for (const ReportBlock& block : sheet) {
        if (const auto* line = std::get_if<ReportLine>(&block)) {
            for (const std::string& group : line_groups(*line)) {
                words += QString::fromStdString(group);
            }
            continue;
        }
        const Working& working = std::get<Working>(block);
        for (const WorkingLine& line : working.lines) {
            words += QString::fromStdString(line_text(line));
        }
        if (working.figure) {
            words += QString::fromStdString(section_drawing(*working.figure).caption);
        }
    }
    static const QRegularExpression blanks(QStringLiteral("\\s"),
                                                QRegularExpression::UseUnicodePropertiesOption);
    return words.remove(blanks);
}

TEST(OfficeSuite, SetsTheWorkingInThePdfsRowsAndReadsEveryLineInChineseFaces) {
    struct Row {
        const char* name;
        CalcState (*state)();
        bool working;
    };
    const Row rows[] = {
        {"design_first_type", [] { return zhuheng_test::designed(500); }, true},
        {"design_second_type", [] { return zhuheng_test::designed(1300); }, true},
        {"design_at_the_minimum_ratio", zhuheng_test::designed_at_minimum_ratio, true},
        {"design_without_working", zhuheng_test::designed_at_minimum_ratio, false},
        {"check_first_type", [] { return zhuheng_test::checked(50, 1500); }, true},
        {"check_that_passes", [] { return zhuheng_test::checked(80, 2500); }, true},
        {"check_that_fails", [] { return zhuheng_test::checked(80, 3000); }, true},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList documents, narrow_documents;
    for (const Row& row : rows) {
        const QString base = dir.filePath(QString::fromLatin1(row.name));
        const std::vector<ReportBlock> sheet = calc_sheet(row.state(), true, row.working);
        documents << base + QStringLiteral(".odt");
        write_document_file(documents.back(), sheet, default_page_layout());
        narrow_documents << narrowed(documents.back());
        write_pdf_file(base + QStringLiteral("-exported.pdf"), default_page_layout(),
                       kPdfResolution, sheet);
    }
    const std::vector<BookEntry> book{
        {"B-1", 2, CalcMode::Design, "72.345", "", zhuheng_test::designed(1300)},
        {"B-2", 3, CalcMode::Design, "", "请重新拟定构件的尺寸！", std::nullopt},
        {"", 7, CalcMode::Check, "2442.056", "未通过", zhuheng_test::checked(80, 3000)}};
    documents << dir.filePath(QStringLiteral("book.odt"));
    write_calc_book_document(documents.back(), default_page_layout(), book, true);
    const QString profile = QUrl::fromLocalFile(dir.filePath(QStringLiteral("profile"))).toString();
    for (const auto& [format, files] :
         {std::pair{QStringLiteral("txt:Text (encoded):UTF8"), documents},
          std::pair{QStringLiteral("pdf"), documents + narrow_documents}}) {
        run(QStringLiteral(SOFFICE),
            QStringList{QStringLiteral("-env:UserInstallation=") + profile,
                        QStringLiteral("--headless"), QStringLiteral("--convert-to"), format,
                        QStringLiteral("--outdir"), dir.path()} +
                files);
    }

    // The book: the summary's lines and cells, then each sheet under its heading.
    QString book_words = QStringLiteral(
        "筑衡计算书共3行，完成计算2行。编号计算类型主要结果结果或提示"
        "B-1配筋计算受拉钢筋面积（cm2）=72.345B-2配筋计算请重新拟定构件的尺寸！"
        "第7行强度复核最大弯矩（KN.m）=2442.056未通过编号：B-1");
    book_words += sheet_words(calc_sheet(*book[0].state, true, true)) +
                  QStringLiteral("编号：第7行") +
                  sheet_words(calc_sheet(*book[2].state, true, true));
    {
        QFile text(dir.filePath(QStringLiteral("book.txt")));
        ASSERT_TRUE(text.open(QIODevice::ReadOnly)) << "LibreOffice wrote no text of the book";
        static const QRegularExpression blanks(QStringLiteral("\\s"),
                                                QRegularExpression::UseUnicodePropertiesOption);
        EXPECT_EQ(QString::fromUtf8(text.readAll()).remove(QChar(0xFEFF)).remove(blanks),
                  book_words);
    }

    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QString base = dir.filePath(QString::fromLatin1(row.name));
        const std::vector<ReportBlock> sheet = calc_sheet(row.state(), true, row.working);
        QStringList expected; // what the text holds
        for (const ReportBlock& block : sheet) {
            if (const auto* line = std::get_if<ReportLine>(&block)) {
                for (const std::string& group : line_groups(*line)) {
                    expected << QString::fromStdString(group).simplified();
                }
                continue;
            }
            const Working& working = std::get<Working>(block);
            const QStringList exported =
                working_rows_of(pdf_lines(base + QStringLiteral("-exported.pdf")), working, true);
            const QStringList set =
                working_rows_of(pdf_lines(base + QStringLiteral(".pdf")), working, false);
            ASSERT_GE(exported.size(), set.size());
            // The exported PDF's rows end where its drawing's labels begin.
            EXPECT_EQ(set, exported.mid(0, set.size()));
            EXPECT_EQ(parted_numbers(set), QStringList());
            const QStringList narrow = pdf_lines(base + QStringLiteral("-narrow.pdf"));
            EXPECT_GT(narrow.size(), pdf_lines(base + QStringLiteral(".pdf")).size())
                << "the narrow copy broke no row";
            EXPECT_EQ(parted_numbers(working_rows_of(narrow, working, true)), QStringList());
            expected << set;
            if (working.figure) {
                expected << QString::fromStdString(section_drawing(*working.figure).caption);
            }
        }
        QFile text(base + QStringLiteral(".txt"));
        ASSERT_TRUE(text.open(QIODevice::ReadOnly)) << "LibreOffice wrote no text";
        const QString read = QString::fromUtf8(text.readAll()).remove(QChar(0xFEFF));
        EXPECT_FALSE(read.contains(QChar('\t'))) << "a tab in the text";
        EXPECT_EQ(lines_of(read), expected);

        const QString pdf = base + QStringLiteral(".pdf");
        const QStringList images = run(QStringLiteral(PDFIMAGES), {QStringLiteral("-list"), pdf})
                                       .out.split(QChar('\n'), Qt::SkipEmptyParts)
                                       .mid(2);
        ASSERT_EQ(images.size(), row.working ? 1 : 0) << images.join('\n').toStdString();
        if (row.working) {
            // page num type width height color comp bpc enc interp object ID x-ppi y-ppi ...
            const QStringList columns = images[0].split(QChar(' '), Qt::SkipEmptyParts);
            ASSERT_GE(columns.size(), 14);
            EXPECT_GE(columns[12].toInt(), 299) << "the drawing below print resolution";
        }
        const QStringList fonts =
            run(QStringLiteral(PDFFONTS), {pdf}).out.split(QChar('\n'), Qt::SkipEmptyParts).mid(2);
        ASSERT_FALSE(fonts.isEmpty());
        for (const QString& font : fonts) {
            const QString name = font.section(QChar(' '), 0, 0);
            EXPECT_FALSE(name.contains(QRegularExpression(QStringLiteral("JP|KR|TC|HK|Japan"))))
                << "not a Simplified-Chinese face: " << name.toStdString();
            EXPECT_TRUE(name.contains(QRegularExpression(QStringLiteral("WenQuanYi|CJKsc|SC"))))
                << "not a Chinese face: " << name.toStdString();
        }
    }
}

} // namespace
