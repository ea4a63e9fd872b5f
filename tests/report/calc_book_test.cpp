// SPDX-License-Identifier: GPL-3.0-or-later
// The calc book as a PDF, read back with pdftotext: the summary's rows in order with the pages
// their sheets begin on, and each completed row's pages as exporting that row's sheet alone
// writes them, under the row's heading; a row that did not complete has no page.
#include "engine/calculation_run.h"
#include "engine/number_text.h"
#include "printed_text.h"
#include "report/calc_book.h"
#include "report/pdf_file.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Read in failure messages as text.
void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

using namespace zhuheng;

namespace {

QStringList pdf_pages(const QString& pdf, bool layout = false) {
    QStringList args{pdf, QStringLiteral("-")};
    if (layout) {
        args.prepend(QStringLiteral("-layout"));
    }
    const ToolRun run = run_tool(QStringLiteral(PDFTOTEXT), args);
    EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
    QStringList pages = run.out.split(QChar('\f'));
    pages.removeLast(); // after the last page's form feed
    return pages;
}

QStringList nonblank_lines(const QString& text) {
    QStringList lines;
    for (const QString& line : text.split(QChar('\n'))) {
        if (!line.trimmed().isEmpty()) {
            lines << line.trimmed();
        }
    }
    return lines;
}

// The summary's table on a page of the PDF, as pdftotext -bbox places its words: a row of the
// table to each line of words, each word in the column its left edge stands in (the columns'
// shares of the print area of A4), a cell's words joined without blanks. The margins' heading
// is left out; the lines above the table come as one cell each.
QList<QStringList> table_rows(const QString& pdf, int page) {
    const ToolRun run = run_tool(QStringLiteral(PDFTOTEXT),
                                 {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page),
                                  QStringLiteral("-l"), QString::number(page), pdf, "-"});
    EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
    const QRegularExpression word(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="[\d.]+">([^<]*)</word>)re"));
    constexpr double kPointsPerMillimetre = 72 / 25.4;
    const double left = 20 * kPointsPerMillimetre;
    const double width = 170 * kPointsPerMillimetre;
    const double edges[] = {0.14, 0.25, 0.58, 0.90};
    struct Placed {
        double x, y;
        QString text;
    };
    std::vector<Placed> words;
    for (auto it = word.globalMatch(run.out); it.hasNext();) {
        const auto w = it.next();
        const double y = w.captured(2).toDouble();
        if (y >= 20 * kPointsPerMillimetre) { // not the heading in the margin
            words.push_back({(w.captured(1).toDouble() - left) / width, y, w.captured(3)});
        }
    }
    std::sort(words.begin(), words.end(), [](const Placed& a, const Placed& b) {
        return std::abs(a.y - b.y) > 2 ? a.y < b.y : a.x < b.x;
    });
    QList<QStringList> rows;
    double row_top = -1;
    bool in_table = false;
    for (const Placed& w : words) {
        if (rows.isEmpty() || std::abs(w.y - row_top) > 2) {
            in_table = in_table || (!rows.isEmpty() && rows.back().size() == 5);
            rows << QStringList(in_table || w.text == QStringLiteral("编号") ? 5 : 1);
            row_top = w.y;
        }
        const auto column = std::upper_bound(std::begin(edges), std::end(edges), w.x) - edges;
        rows.back()[rows.back().size() == 5 ? column : 0] += w.text;
    }
    return rows;
}

BookEntry completed(const char* label, std::size_t line, const CalcState& state) {
    const bool design = state.mode == CalcMode::Design;
    return {label, line, state.mode, plain_number_text(design ? *state.as_req : state.m_ult),
            design ? "" : state.verdict, state};
}

BookEntry not_completed(const char* label, CalcMode mode, const char* why) {
    return {label, 0, mode, "", why, std::nullopt};
}

std::vector<BookEntry> five_rows() {
    return {completed("B-1", 2, zhuheng_test::designed(1300)),
            not_completed("B-2", CalcMode::Design, kRedimensionMessage.data()),
            completed("", 7, zhuheng_test::checked(80, 3000)),
            not_completed("B-4", CalcMode::None, "“梁体高度”不是数"),
            completed("B-5", 9, zhuheng_test::designed_at_minimum_ratio())};
}

// 120 rows, one in thirty completed: the summary runs over several pages.
std::vector<BookEntry> many_rows() {
    std::vector<BookEntry> rows;
    for (int i = 1; i <= 120; ++i) {
        const std::string label = "L" + std::to_string(i);
        rows.push_back(i % 30 == 0 ? completed(label.c_str(), 0, zhuheng_test::checked(50, 1500))
                                   : not_completed(label.c_str(), CalcMode::Check, "计算出错"));
    }
    return rows;
}

struct BookCase {
    const char* name;
    std::vector<BookEntry> (*entries)();
    bool working;
    int summary_pages; // at least
};

void PrintTo(const BookCase& c, std::ostream* os) {
    *os << c.name;
}

class CalcBookPdf : public ::testing::TestWithParam<BookCase> {};

TEST_P(CalcBookPdf, SummaryThenEachSheetAsExportedAloneUnderItsHeading) {
    const BookCase& c = GetParam();
    const std::vector<BookEntry> entries = c.entries();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString book = dir.filePath(QStringLiteral("计算书.pdf"));
    write_calc_book_pdf(book, default_page_layout(), entries, c.working);
    const QStringList pages = pdf_pages(book);

    // Each completed row's sheet alone; the pages before the first sheet are the summary's.
    std::vector<QStringList> alone(entries.size());
    qsizetype sheet_pages = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].state) {
            const QString pdf = dir.filePath(QStringLiteral("alone.pdf"));
            write_pdf_file(pdf, default_page_layout(), kPdfResolution,
                           calc_sheet(*entries[i].state, true, c.working));
            alone[i] = pdf_pages(pdf);
            sheet_pages += alone[i].size();
        }
    }
    const int total = static_cast<int>(pages.size());
    const int summary_pages = static_cast<int>(pages.size() - sheet_pages);
    ASSERT_GE(summary_pages, c.summary_pages);
    std::vector<int> first(entries.size(), 0);
    int next = summary_pages + 1;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].state) {
            first[i] = next;
            next += static_cast<int>(alone[i].size());
        }
    }
    const auto page_line = [&](int page) {
        return QStringLiteral("第 %1 页，共 %2 页").arg(page).arg(total);
    };
    const auto name = [](const BookEntry& e) {
        return e.label.empty() ? QStringLiteral("第 %1 行").arg(e.line)
                               : QString::fromStdString(e.label);
    };

    // The summary: its title on the first page, the header row at the top of each of its
    // pages, then the rows in order, a completed one with the page its sheet begins on.
    QList<QStringList> read_rows;
    int headers = 0;
    for (int page = 1; page <= summary_pages; ++page) {
        const QStringList lines = nonblank_lines(pages[page - 1]);
        EXPECT_TRUE(lines.contains(QStringLiteral("汇总")) && lines.contains(page_line(page)));
        for (const QStringList& row : table_rows(book, page)) {
            if (row == QStringList{"编号", "计算类型", "主要结果", "结果或提示", "页码"}) {
                ++headers;
            } else {
                read_rows << row;
            }
        }
    }
    EXPECT_EQ(headers, summary_pages);
    const auto completed_rows = std::count_if(entries.begin(), entries.end(),
                                              [](const BookEntry& e) { return e.state; });
    QList<QStringList> expected{
        {QStringLiteral("筑衡计算书")},
        {QStringLiteral("共%1行，完成计算%2行。").arg(entries.size()).arg(completed_rows)}};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const BookEntry& e = entries[i];
        QStringList row{name(e)};
        row << (e.mode == CalcMode::Design  ? QStringLiteral("配筋计算")
                : e.mode == CalcMode::Check ? QStringLiteral("强度复核")
                                            : QString());
        row << (e.main_result.empty()                ? QString()
                : e.mode == CalcMode::Design ? QStringLiteral("受拉钢筋面积（cm2）=")
                                             : QStringLiteral("最大弯矩（KN.m）=")) +
                   QString::fromStdString(e.main_result);
        row << QString::fromStdString(e.outcome);
        row << (first[i] > 0 ? QString::number(first[i]) : QString());
        for (QString& field : row) {
            field.remove(QChar(' '));
        }
        expected << row;
    }
    EXPECT_EQ(read_rows, expected);

    // Each sheet's pages: the pages of the sheet alone, with the row's name and the page's
    // number in the margin.
    for (std::size_t i = 0; i < entries.size(); ++i) {
        for (qsizetype k = 0; k < static_cast<qsizetype>(alone[i].size()); ++k) {
            const int page = first[i] + static_cast<int>(k);
            SCOPED_TRACE("page " + std::to_string(page));
            QStringList lines = nonblank_lines(pages[page - 1]);
            EXPECT_EQ(lines.removeAll(QStringLiteral("编号：") + name(entries[i])), 1);
            EXPECT_EQ(lines.removeAll(page_line(page)), 1);
            EXPECT_EQ(lines, nonblank_lines(alone[i][k]));
        }
    }
}

const BookCase kBookCases[] = {
    {"five_rows_with_the_working", five_rows, true, 1},
    {"five_rows_without", five_rows, false, 1},
    {"summary_over_pages", many_rows, false, 2},
    {"no_row_completed", [] { return std::vector<BookEntry>{not_completed("X", CalcMode::Design, "计算出错")}; }, true, 1},
};
INSTANTIATE_TEST_SUITE_P(Books, CalcBookPdf, ::testing::ValuesIn(kBookCases),
                         [](const ::testing::TestParamInfo<BookCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
