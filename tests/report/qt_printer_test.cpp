// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt printer: the zone layout, and real PDF documents read back with poppler's tools.
#include "report/qt_printing.h"

#include "engine/common_quantities.h"
#include "engine/material_tables.h"
#include "engine/reinforcement_design.h"
#include "engine/strength_check.h"
#include "fake_printing.h"
#include "fake_batch_dialogs.h"
#include "fake_save_dialog.h"
#include "printed_text.h"
#include "report/calc_book.h"
#include "report/document_file.h"
#include "report/pdf_file.h"
#include "report/print_preview.h"
#include "report/print_report.h"
#include "ui/main_form.h"
#include "ui/message_boxes.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QLineF>
#include <QLocale>
#include <QMenu>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRawFont>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <functional>
#include <set>

#ifndef _WIN32
#include <sys/resource.h>
#endif

using namespace zhuheng;

namespace {

constexpr PrintSeparator J = PrintSeparator::Join;
constexpr PrintSeparator Z = PrintSeparator::Zone;
constexpr PrintSeparator E = PrintSeparator::LineEnd;

struct LayoutCase {
    const char* name;
    ReportLine line;
    std::vector<ItemPosition> positions;
};

void PrintTo(const LayoutCase& c, std::ostream* os) {
    *os << c.name;
}

// Columns 10 wide, so zones are 140 wide, on a page 600 wide; every character of a test item
// is one column.
class ZoneLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ZoneLayout, ItemPositions) {
    const LayoutCase& c = GetParam();
    const auto width = [](const QString& text) { return 10.0 * text.size(); };
    const std::vector<ItemPosition> at = item_positions(c.line, {10.0, 140.0, 600.0}, width);
    ASSERT_EQ(at.size(), c.positions.size());
    for (std::size_t i = 0; i < at.size(); ++i) {
        EXPECT_EQ(at[i].x, c.positions[i].x) << "item " << i;
        EXPECT_EQ(at[i].row, c.positions[i].row) << "item " << i;
    }
}

const LayoutCase kLayoutCases[] = {
    {"IndentPutsTheFirstItemAtColumn5", {5, {{"title", E}}}, {{40, 0}}},
    {"JoinFollowsDirectlyAndZoneGoesToTheNextZone",
     {5, {{"ab", J}, {" 1 ", Z}, {"cd", J}, {" 2 ", E}}},
     {{40, 0}, {60, 0}, {140, 0}, {160, 0}}},
    {"ItemRunningPastAZoneStartPushesToTheZoneAfter",
     {5, {{"abcdefghijkl", J}, {" 1 ", Z}, {"x", E}}},
     {{40, 0}, {160, 0}, {280, 0}}},
    {"ItemEndingOnAZoneStartStillMovesOn",
     {1, {{"abcdefghijklmn", Z}, {"x", E}}},
     {{0, 0}, {280, 0}}},
    {"EmptyValueGoesToTheNextZone",
     {5, {{"ab", J}, {"", Z}, {"cd", E}}},
     {{40, 0}, {60, 0}, {140, 0}}},
    {"ItemPastTheRightEdgeWrapsToTheIndent",
     {5, {{"ab", Z}, {"cd", Z}, {"ef", Z}, {"gh", Z}, {"ijklmn", J}, {"op", E}}},
     {{40, 0}, {140, 0}, {280, 0}, {420, 0}, {40, 1}, {100, 1}}},
    {"ValueNeverWrapsAwayFromItsLabel",
     {5, {{"ab", Z}, {"cd", Z}, {"ef", Z}, {"ghijklmn", J}, {"opqrstuvwxyz", E}}},
     {{40, 0}, {140, 0}, {280, 0}, {40, 1}, {120, 1}}},
    {"FirstItemWiderThanThePageStaysOnItsRow",
     {5, {{std::string(70, 'a'), Z}, {"b", E}}},
     {{40, 0}, {40, 1}}},
};

INSTANTIATE_TEST_SUITE_P(Layout, ZoneLayout, ::testing::ValuesIn(kLayoutCases),
                         [](const ::testing::TestParamInfo<LayoutCase>& info) {
                             return std::string(info.param.name);
                         });

QString tool_output(const QString& tool, const QStringList& args) {
    const ToolRun run = run_tool(tool, args);
    EXPECT_EQ(run.exit_code, 0) << tool.toStdString() << ": " << run.err.toStdString();
    return run.out;
}

// The one face of the PDF is the pinned one, embedded.
void expect_only_the_pinned_face(const QString& pdf) {
    const QStringList rows = tool_output(QStringLiteral("pdffonts"), {pdf})
                                 .split(QChar('\n'), Qt::SkipEmptyParts)
                                 .mid(2);
    ASSERT_FALSE(rows.isEmpty()) << "no font in the PDF";
    for (const QString& row : rows) {
        EXPECT_TRUE(row.contains(QStringLiteral("WenQuanYiMicroHei"))) << row.toStdString();
        EXPECT_TRUE(row.contains(QStringLiteral(" yes "))) << "not embedded: " << row.toStdString();
    }
}

class PdfReport : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf());
    }
    QString pdf() const { return dir.filePath(QStringLiteral("report.pdf")); }
    QString text() const {
        return tool_output(QStringLiteral(PDFTOTEXT), {QStringLiteral("-layout"), pdf(), "-"});
    }

    QTemporaryDir dir;
    QPrinter printer{QPrinter::HighResolution};
    PrinterSource source{printer};
};

TEST_F(PdfReport, CopiesFollowEachOtherInOneDocumentWithChineseText) {
    QtReportPrinter report(source);
    const std::vector<ReportLine> copy = report_copy(designed());
    for (int c = 0; c < 3; ++c) {
        for (const ReportLine& l : copy) {
            report.print_line(l);
        }
    }
    report.end_document();
    const QString t = text();
    EXPECT_EQ(t.count(QStringLiteral("筑衡程序")), 3);
    EXPECT_EQ(t.count(QChar('\f')), 1) << "three short copies fit one page";
    EXPECT_EQ(t.count(QStringLiteral("D16= 13")), 3) << "the end of a long line is not cut off";
    for (const char* label : {"混凝土强度（KPa）＝", "钢筋强度（KPa）=", "受拉钢筋面积（cm2）=",
                              "主筋直径（根）D12＝", "D16=", "D34="}) {
        EXPECT_EQ(t.count(QString::fromUtf8(label)), 3) << label;
    }
    // Each value stands after its label and before the next zone's label.
    const QStringList lines = t.split(QChar('\n'));
    const auto row = std::find_if(lines.begin(), lines.end(), [](const QString& l) {
        return l.contains(QStringLiteral("混凝土强度"));
    });
    ASSERT_NE(row, lines.end());
    const qsizetype ra = row->indexOf(QStringLiteral("14500"));
    const qsizetype rg_label = row->indexOf(QStringLiteral("钢筋强度"));
    const qsizetype rg = row->indexOf(QStringLiteral("340000"));
    EXPECT_LT(row->indexOf(QStringLiteral("混凝土强度")), ra);
    EXPECT_LT(ra, rg_label);
    EXPECT_LT(rg_label, rg);
    EXPECT_TRUE(row->mid(ra + 5, rg_label - ra - 5).trimmed().isEmpty());
}

CalcState checked() {
    return zhuheng_test::checked(80, 2500);
}

struct ExactCase {
    const char* name;
    CalcState (*state)();
};

void PrintTo(const ExactCase& c, std::ostream* os) {
    *os << c.name;
}

class PdfText : public PdfReport, public ::testing::WithParamInterface<ExactCase> {};

// What pdftotext reads back is what was printed, character for character: no radical stands for
// an ideograph (⼟ for 土, ⾼ for 高), and the one face embedded is the pinned one.
TEST_P(PdfText, ReadsBackExactlyInThePinnedFace) {
    const std::vector<ReportLine> copy = report_copy(GetParam().state());
    QtReportPrinter report(source);
    for (int c = 0; c < 2; ++c) {
        for (const ReportLine& l : copy) {
            report.print_line(l);
        }
    }
    report.end_document();
    const QString t = text();
    const QStringList expected = printed_words(copy) + printed_words(copy);
    EXPECT_EQ(t.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts), expected)
        << t.toStdString();
    for (const QChar c : t) {
        EXPECT_FALSE(c.unicode() >= 0x2E80 && c.unicode() <= 0x2FDF)
            << "a CJK radical U+" << std::hex << c.unicode() << " in the text";
    }
    expect_only_the_pinned_face(pdf());
}

const ExactCase kExactCases[] = {
    {"Design", [] { return designed(); }},
    {"Check", checked},
};

INSTANTIATE_TEST_SUITE_P(BothModes, PdfText, ::testing::ValuesIn(kExactCases),
                         [](const ::testing::TestParamInfo<ExactCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(PdfReport, FullPageGoesOnToANewPage) {
    QtReportPrinter report(source);
    for (int i = 0; i < 300; ++i) {
        report.print_line(ReportLine{5, {{"筑衡程序", J}, {std::to_string(i), E}}});
    }
    report.end_document();
    const QString t = text();
    EXPECT_GE(t.count(QChar('\f')), 3);
    EXPECT_TRUE(t.contains(QStringLiteral("筑衡程序299")));
    EXPECT_TRUE(t.contains(QStringLiteral("筑衡程序0")));
}

TEST_F(PdfReport, AbortBeforeTheEndDropsTheLinesPrintedSoFar) {
    QtReportPrinter report(source);
    report.print_line(ReportLine{5, {{"筑衡程序", E}}});
    report.abort_document();
    report.end_document(); // nothing left to print
    EXPECT_FALSE(QFile::exists(pdf()));
}

// A word of a PDF page as pdftotext -bbox reads it, in points from the page's top-left corner.
struct Word {
    QString text;
    QRectF box;
};

struct PdfPage {
    QSizeF size;
    QString title, creator;
    std::vector<Word> words;
};

PdfPage read_page(const QString& pdf, int page) {
    const QString html =
        tool_output(QStringLiteral(PDFTOTEXT),
                    {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page),
                     QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-")});
    PdfPage out;
    const QRegularExpression size(
        QStringLiteral(R"re(<page width="([\d.]+)" height="([\d.]+)")re"));
    const auto m = size.match(html);
    EXPECT_TRUE(m.hasMatch()) << html.toStdString();
    out.size = QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
    out.title = QRegularExpression(QStringLiteral("<title>(.*)</title>")).match(html).captured(1);
    out.creator =
        QRegularExpression(QStringLiteral(R"re(<meta name="Creator" content="([^"]*)")re"))
            .match(html)
            .captured(1);
    const QRegularExpression word(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto w = it.next();
        out.words.push_back(
            {w.captured(5), QRectF(QPointF(w.captured(1).toDouble(), w.captured(2).toDouble()),
                                   QPointF(w.captured(3).toDouble(), w.captured(4).toDouble()))});
    }
    return out;
}

// The text of each page of a PDF, as pdftotext reads it in reading order.
QStringList page_texts(const QString& pdf) {
    QStringList pages =
        tool_output(QStringLiteral(PDFTOTEXT), {pdf, QStringLiteral("-")}).split(QChar('\f'));
    pages.removeLast(); // after the last page's form feed
    return pages;
}

// The sheet of a completed run as 打  印 sends it, one copy, to a PDF file on the printer's paper.
void print_sheet(PrinterSource& source, const CalcState& state, bool working) {
    FakePrinterDialog dialog;
    dialog.with_working = working;
    QtReportPrinter report(source);
    ASSERT_EQ(print_report(state, true, dialog, report).kind, PrintOutcome::Kind::Printed);
}

// The pages the preview shows, each page item of its scene drawn as it shows it onto a page of
// a PDF file `pdf`; the preview is closed then.
int preview_pages(QPrintPreviewDialog* dialog, const QString& pdf) {
    auto* preview = dialog->findChild<QPrintPreviewWidget*>();
    auto* view = preview ? preview->findChild<QGraphicsView*>() : nullptr;
    if (!view || !view->scene()) {
        ADD_FAILURE() << "the preview shows no pages";
        return 0;
    }
    QList<QGraphicsItem*> pages;
    for (QGraphicsItem* item : view->scene()->items()) {
        if (!item->parentItem()) {
            // Drawn anew, not from the pixmap the view keeps of it: the text stays text.
            item->setCacheMode(QGraphicsItem::NoCache);
            pages << item;
        }
    }
    std::sort(pages.begin(), pages.end(), [](QGraphicsItem* a, QGraphicsItem* b) {
        return a->sceneBoundingRect().top() < b->sceneBoundingRect().top();
    });
    QPdfWriter writer(pdf);
    // The pictures scale their type from the screen's resolution, which the view paints at.
    writer.setResolution(view->logicalDpiX());
    QPainter painter(&writer);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0) {
            writer.newPage();
        }
        view->scene()->render(&painter, QRectF(0, 0, writer.width(), writer.height()),
                              pages[i]->sceneBoundingRect());
    }
    painter.end();
    EXPECT_EQ(pages.size(), preview->pageCount());
    return preview->pageCount();
}

// The preview shows the pages 打  印 sends, at the printer's paper and margins: as many, with the
// same text, with and without the working; its print button runs the program's print command,
// and the preview closes once the sheet is printed.
TEST_F(PdfReport, PreviewShowsThePagesPrinted) {
    struct Row {
        const char* name;
        CalcState (*state)();
        bool working;
    };
    for (const Row& row : {Row{"design", [] { return designed(1300); }, false},
                           Row{"design_with_working", [] { return designed(1300); }, true},
                           Row{"check_with_working", [] { return checked(); }, true}}) {
        SCOPED_TRACE(row.name);
        const CalcState state = row.state();
        print_sheet(source, state, row.working);
        const QStringList printed = page_texts(pdf());
        ASSERT_FALSE(printed.isEmpty());

        const QString shown_pdf = dir.filePath(QStringLiteral("shown.pdf"));
        int shown = 0;
        int printed_from_the_preview = 0;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                ADD_FAILURE() << "no preview is showing";
                return;
            }
            shown = preview_pages(dialog, shown_pdf);
            const QList<QAction*> tools = dialog->findChild<QToolBar*>()->actions();
            tools.back()->trigger(); // 打印
            EXPECT_FALSE(dialog->isVisible()) << "the preview stays open after printing";
            dialog->close();
        });
        PrintPreview(source).show(nullptr, calc_sheet(state, true, row.working), [&] {
            ++printed_from_the_preview;
            return true;
        });
        EXPECT_EQ(shown, printed.size());
        EXPECT_EQ(page_texts(shown_pdf), printed);
        EXPECT_EQ(printed_from_the_preview, 1);
    }
}

// 导出 PDF writes the pages 打  印 sends to a PDF file, on A4 by the locale, titled and signed
// by the program, in the pinned face, embedded.
TEST_F(PdfReport, ExportedPdfIsThePrintedSheet) {
    const CalcState state = designed(1300);
    printer.setPageLayout(default_page_layout());
    print_sheet(source, state, true);
    const QString exported = dir.filePath(QStringLiteral("exported.pdf"));
    write_pdf_file(exported, default_page_layout(), kPdfResolution, calc_sheet(state, true, true));
    EXPECT_EQ(page_texts(exported), page_texts(pdf()));
    const PdfPage page = read_page(exported, 1);
    const QSizeF paper = default_page_layout().pageSize().size(QPageSize::Point);
    EXPECT_NEAR(page.size.width(), paper.width(), 0.5);
    EXPECT_NEAR(page.size.height(), paper.height(), 0.5);
    if (QLocale::system().measurementSystem() == QLocale::MetricSystem) {
        EXPECT_EQ(default_page_layout().pageSize().id(), QPageSize::A4);
    }
    EXPECT_EQ(page.title, QStringLiteral("筑衡计算书"));
    EXPECT_TRUE(page.creator.startsWith(QStringLiteral("筑衡 "))) << page.creator.toStdString();
    expect_only_the_pinned_face(exported);
}

// A file that cannot be written, printed to or exported: the reason in Chinese, nothing left
// where it was to go, a file of that name from before byte for byte as it was.
TEST_F(PdfReport, FileThatCannotBeWrittenSaysWhyAndLeavesNothing) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    struct Row {
        const char* name;
        QString path;
        const char* reason;
    };
    std::vector<Row> rows{
        {"no_such_folder", dir.filePath(QStringLiteral("no/such/folder/sheet")),
         "文件夹“%1”不存在"},
        {"name_of_a_folder", dir.filePath(QStringLiteral("folder")),
         "这是一个文件夹的名称，不是文件"},
    };
#ifndef _WIN32
    // sysfs takes no new file, not even from root, as a folder without the permission would.
    rows.push_back({"no_permission", QStringLiteral("/sys/sheet"), "没有写入的权限"});
#endif
    const std::vector<ReportBlock> sheet = calc_sheet(designed(1300), true, true);
    const std::vector<BookEntry> book{{"B-1", 2, CalcMode::Design, "72.345", "", designed(1300)}};
    struct Form {
        const char* name;
        const char* failure;
        std::function<void(const QString&)> write;
    };
    const Form forms[] = {
        {"pdf", "无法写入 PDF 文件“%1”：",
         [&](const QString& path) {
             write_pdf_file(path, default_page_layout(), kPdfResolution, sheet);
         }},
        {"document", "无法写入文档“%1”：",
         [&](const QString& path) { write_document_file(path, sheet, default_page_layout()); }},
        {"book_pdf", "无法写入 PDF 文件“%1”：",
         [&](const QString& path) {
             write_calc_book_pdf(path, default_page_layout(), book, true);
         }},
        {"book_document", "无法写入文档“%1”：",
         [&](const QString& path) {
             write_calc_book_document(path, default_page_layout(), book, true);
         }},
        {"printed_to_a_file", "无法写入 PDF 文件“%1”：",
         [&](const QString& path) {
             printer.setOutputFileName(path);
             FakePrinterDialog dialog;
             QtReportPrinter report(source);
             const PrintOutcome printed = print_report(designed(1300), true, dialog, report);
             if (printed.kind == PrintOutcome::Kind::Failed) {
                 throw PrintError(printed.reason);
             }
         }},
    };
    for (const Row& row : rows) {
        for (const Form& form : forms) {
            SCOPED_TRACE(std::string(row.name) + " " + form.name);
            const QString path = row.name == std::string("no_such_folder")
                                     ? row.path + QLatin1Char('.') + QLatin1String(form.name)
                                     : row.path;
            const QString folder = QDir::toNativeSeparators(QFileInfo(path).absolutePath());
            const QString reason = QString::fromUtf8(row.reason);
            const QString said =
                QString::fromUtf8(form.failure).arg(QDir::toNativeSeparators(path)) +
                (reason.contains(QStringLiteral("%1")) ? reason.arg(folder) : reason);
            try {
                form.write(path);
                ADD_FAILURE() << "written for success";
            } catch (const PrintError& e) {
                EXPECT_EQ(QString::fromUtf8(e.what()), said);
            }
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                      QStringList{QStringLiteral("folder")});
            EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("folder"))).isEmpty());
        }
    }
}

// One copy of the second-type design on A4 under the default printer settings: 20 mm margins,
// type of 10.5 points, every value on its label's row right after it, the pairs of every line
// in the same columns, nothing overlapping; the PDF titled and signed by the program.
TEST_F(PdfReport, SheetIsSetOutWithinTheMarginsInAlignedColumns) {
    const CalcState state = designed(1300);
    QtReportPrinter report(source);
    for (const ReportLine& l : report_copy(state)) {
        report.print_line(l);
    }
    report.end_document();
    const PdfPage page = read_page(pdf(), 1);
    EXPECT_NEAR(page.size.width(), 595, 1) << "A4";
    EXPECT_NEAR(page.size.height(), 842, 1) << "A4";
    EXPECT_EQ(page.title, QStringLiteral("筑衡计算书"));
    EXPECT_TRUE(page.creator.startsWith(QStringLiteral("筑衡 "))) << page.creator.toStdString();

    const double margin = 20 / 25.4 * 72;
    const QRectF area(margin, margin, page.size.width() - 2 * margin,
                      page.size.height() - 2 * margin);
    ASSERT_FALSE(page.words.empty());
    for (std::size_t i = 0; i < page.words.size(); ++i) {
        const Word& w = page.words[i];
        EXPECT_TRUE(area.adjusted(-0.5, -0.5, 0.5, 0.5).contains(w.box))
            << w.text.toStdString() << " outside the margins";
        EXPECT_GT(w.box.height(), 11.5) << w.text.toStdString() << ": type smaller than 10.5 pt";
        EXPECT_LT(w.box.height(), 13.5) << w.text.toStdString() << ": type larger than 10.5 pt";
        for (std::size_t j = i + 1; j < page.words.size(); ++j) {
            EXPECT_FALSE(w.box.adjusted(0.1, 0.1, -0.1, -0.1).intersects(page.words[j].box))
                << w.text.toStdString() << " overlaps " << page.words[j].text.toStdString();
        }
    }
    // Each label, then its value on the same row, right after it.
    std::set<long> columns;
    std::vector<bool> used(page.words.size(), false);
    const auto take = [&](const QString& text) -> const Word* {
        for (std::size_t i = 0; i < page.words.size(); ++i) {
            if (!used[i] && page.words[i].text == text) {
                used[i] = true;
                return &page.words[i];
            }
        }
        return nullptr;
    };
    for (const ReportLine& line : report_copy(state)) {
        for (std::size_t i = 0; i + 1 < line.items.size(); ++i) {
            if (line.items[i].separator != PrintSeparator::Join) {
                continue;
            }
            const QString label = QString::fromStdString(line.items[i].text);
            const QString value = QString::fromStdString(line.items[i + 1].text).trimmed();
            const Word* l = take(label);
            const Word* v = take(value);
            ASSERT_TRUE(l && v) << label.toStdString() << " " << value.toStdString();
            EXPECT_NEAR(v->box.top(), l->box.top(), 0.5) << label.toStdString();
            EXPECT_GT(v->box.left(), l->box.right()) << label.toStdString();
            EXPECT_LT(v->box.left() - l->box.right(), 6.0) << label.toStdString();
            columns.insert(std::lround(l->box.left()));
        }
    }
    EXPECT_EQ(columns.size(), 2u) << "the pairs stand in two columns across A4";
}

// A stroke of a PDF page as pdftocairo -svg draws it, in points: its straight pieces (a curve
// given by all sides of its control polygon, which holds the curve) and half its pen. The edges
// of a filled shape (the compression zone) count as strokes without a pen.
struct Stroke {
    QLineF line;
    double half_width;
};

std::vector<Stroke> page_strokes(const QString& svg_file) {
    QFile file(svg_file);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << svg_file.toStdString();
    const QString svg = QString::fromUtf8(file.readAll());
    // The glyphs of the text are defined ahead of the page and placed by <use>: not strokes.
    const QString page = svg.mid(svg.indexOf(QStringLiteral("</defs>")));
    const QRegularExpression path(QStringLiteral(
        R"re(<path style="([^"]*)" d="([^"]*)"(?: transform="matrix\(([^)]*)\)")?)re"));
    const QRegularExpression pen(QStringLiteral(R"re(stroke-width:([\d.]+))re"));
    std::vector<Stroke> out;
    for (auto it = path.globalMatch(page); it.hasNext();) {
        const auto m = it.next();
        double t[6] = {1, 0, 0, 1, 0, 0};
        if (!m.captured(3).isEmpty()) {
            const QStringList parts = m.captured(3).split(QChar(','));
            EXPECT_EQ(parts.size(), 6) << m.captured(3).toStdString();
            for (int i = 0; i < 6 && i < parts.size(); ++i) {
                t[i] = parts[i].toDouble();
            }
        }
        const auto at = [&t](double x, double y) {
            return QPointF(t[0] * x + t[2] * y + t[4], t[1] * x + t[3] * y + t[5]);
        };
        const auto width = pen.match(m.captured(1));
        const double half =
            m.captured(1).contains(QStringLiteral("stroke:none")) || !width.hasMatch()
                ? 0.0
                : width.captured(1).toDouble() * std::sqrt(std::abs(t[0] * t[3] - t[1] * t[2])) / 2;
        const QStringList tokens = m.captured(2).split(QChar(' '), Qt::SkipEmptyParts);
        QPointF current, start;
        for (qsizetype i = 0; i < tokens.size();) {
            const QString command = tokens[i++];
            const auto point = [&] {
                const QPointF p = at(tokens[i].toDouble(), tokens[i + 1].toDouble());
                i += 2;
                return p;
            };
            if (command == QStringLiteral("M")) {
                current = start = point();
            } else if (command == QStringLiteral("L")) {
                const QPointF p = point();
                out.push_back({QLineF(current, p), half});
                current = p;
            } else if (command == QStringLiteral("C")) {
                const QPointF c[4] = {current, point(), point(), point()};
                for (int a = 0; a < 4; ++a) {
                    for (int b = a + 1; b < 4; ++b) {
                        out.push_back({QLineF(c[a], c[b]), half});
                    }
                }
                current = c[3];
            } else if (command == QStringLiteral("Z")) {
                out.push_back({QLineF(current, start), half});
                current = start;
            } else {
                ADD_FAILURE() << "path command " << command.toStdString();
                break;
            }
        }
    }
    return out;
}

double distance(const QPointF& p, const QRectF& box) {
    const double dx = std::max({box.left() - p.x(), 0.0, p.x() - box.right()});
    const double dy = std::max({box.top() - p.y(), 0.0, p.y() - box.bottom()});
    return std::hypot(dx, dy);
}

double distance(const QPointF& p, const QLineF& line) {
    const QPointF d = line.p2() - line.p1();
    const double length2 = QPointF::dotProduct(d, d);
    const double t =
        length2 > 0 ? std::clamp(QPointF::dotProduct(p - line.p1(), d) / length2, 0.0, 1.0) : 0.0;
    const QPointF q = line.p1() + t * d - p;
    return std::hypot(q.x(), q.y());
}

// How far a straight piece stays from a box: 0 when it enters it.
double distance(const QLineF& line, const QRectF& box) {
    const QPointF corners[4] = {box.topLeft(), box.topRight(), box.bottomRight(), box.bottomLeft()};
    double d = std::min(distance(line.p1(), box), distance(line.p2(), box));
    for (int i = 0; i < 4; ++i) {
        if (line.intersects(QLineF(corners[i], corners[(i + 1) % 4]), nullptr) ==
            QLineF::BoundedIntersection) {
            return 0;
        }
        d = std::min(d, distance(corners[i], line));
    }
    return d;
}

// Every word of a page stands clear of every stroke of the drawing (by half a point beyond its
// pen) and within the 20 mm margins; the words of the drawing, those below `figure_top`, stand
// clear of every other word too.
void expect_words_clear(const PdfPage& page, const std::vector<Stroke>& strokes,
                        double figure_top = 0) {
    constexpr double kClearance = 0.5;
    const double margin = 20 / 25.4 * 72;
    const QRectF area(margin, margin, page.size.width() - 2 * margin,
                      page.size.height() - 2 * margin);
    ASSERT_FALSE(page.words.empty()) << "no text on the page";
    ASSERT_FALSE(strokes.empty()) << "no drawing on the page";
    QStringList faults;
    const auto name = [](const Word& w) {
        return QStringLiteral("\"%1\" (%2, %3)")
            .arg(w.text)
            .arg(w.box.left(), 0, 'f', 1)
            .arg(w.box.top(), 0, 'f', 1);
    };
    for (std::size_t i = 0; i < page.words.size(); ++i) {
        const Word& w = page.words[i];
        if (!area.adjusted(-0.5, -0.5, 0.5, 0.5).contains(w.box)) {
            faults << name(w) + QStringLiteral(" outside the margins");
        }
        for (const Stroke& s : strokes) {
            if (distance(s.line, w.box) < s.half_width + kClearance) {
                faults << name(w) + QStringLiteral(" touches the stroke (%1, %2)-(%3, %4)")
                                        .arg(s.line.x1(), 0, 'f', 1)
                                        .arg(s.line.y1(), 0, 'f', 1)
                                        .arg(s.line.x2(), 0, 'f', 1)
                                        .arg(s.line.y2(), 0, 'f', 1);
            }
        }
        for (std::size_t j = i + 1; j < page.words.size(); ++j) {
            if (w.box.top() < figure_top && page.words[j].box.top() < figure_top) {
                continue;
            }
            const QRectF near = w.box.adjusted(-kClearance, -kClearance, kClearance, kClearance);
            if (near.intersects(page.words[j].box)) {
                faults << name(w) + QStringLiteral(" touches ") + name(page.words[j]);
            }
        }
    }
    EXPECT_TRUE(faults.isEmpty()) << faults.size() << " faults:\n"
                                  << faults.join(QChar('\n')).toStdString();
}

QString page_svg(const QString& pdf, int page, const QString& svg_file) {
    tool_output(QStringLiteral(PDFTOCAIRO),
                {QStringLiteral("-svg"), QStringLiteral("-f"), QString::number(page),
                 QStringLiteral("-l"), QString::number(page), pdf, svg_file});
    return svg_file;
}

// The working, ticked in the dialog, starts on a page of its own after the copy and reads back
// exactly; the section under it is drawn to scale, its compression zone x deep.
TEST_F(PdfReport, WorkingReadsBackExactlyWithTheSectionToScale) {
    const CalcState state = designed(1300);
    FakePrinterDialog dialog;
    dialog.with_working = true;
    QtReportPrinter report(source);
    ASSERT_EQ(print_report(state, true, dialog, report).kind, PrintOutcome::Kind::Printed);

    const auto squeezed = [](QString text) {
        return text.remove(QRegularExpression(QStringLiteral("\\s")));
    };
    const QString page1 = tool_output(
        QStringLiteral(PDFTOTEXT), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                    QStringLiteral("1"), pdf(), QStringLiteral("-")});
    EXPECT_FALSE(page1.contains(QStringLiteral("计算过程")))
        << "the working shares the sheet's page";
    const QString page2 =
        tool_output(QStringLiteral(PDFTOTEXT),
                    {QStringLiteral("-raw"), QStringLiteral("-f"), QStringLiteral("2"),
                     QStringLiteral("-l"), QStringLiteral("2"), pdf(), QStringLiteral("-")});
    QString working;
    const std::vector<WorkingLine> lines = run_working(state).lines;
    for (const WorkingLine& line : lines) {
        working += QString::fromStdString(line_text(line));
    }
    EXPECT_TRUE(squeezed(page2).startsWith(squeezed(working))) << page2.toStdString();
    for (const char* label :
         {"b'i = 1", "h'i = 0.15", "b = 0.2", "h = 0.8", "a = 0.05", "x = 0.2481"}) {
        EXPECT_TRUE(squeezed(page2).contains(squeezed(QString::fromUtf8(label)))) << label;
    }

    // No word of the page touches a line of the drawing, no label another word. The drawing
    // stands under the working's last word.
    const QString svg_file = page_svg(pdf(), 2, dir.filePath(QStringLiteral("page2.svg")));
    const PdfPage words = read_page(pdf(), 2);
    const QString last = QString::fromStdString(line_text(lines.back())).split(QChar(' ')).last();
    const auto end = std::find_if(words.words.begin(), words.words.end(),
                                  [&](const Word& w) { return w.text == last; });
    ASSERT_NE(end, words.words.end()) << "the working's last word " << last.toStdString();
    expect_words_clear(words, page_strokes(svg_file), end->box.bottom());

    // The outline is the one unfilled path of eight corners; the zone the grey one.
    QFile svg(svg_file);
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QString paths = QString::fromUtf8(svg.readAll());
    const QString number = QStringLiteral(R"re(([-\d.]+) ([-\d.]+))re");
    const QString polygon = QStringLiteral("d=\"M ") + number + QStringLiteral(" L ") + number +
                            QStringLiteral(" L ") + number + QStringLiteral(" L ") + number +
                            QStringLiteral(" L ") + number + QStringLiteral(" L ") + number +
                            QStringLiteral(" L ") + number + QStringLiteral(" L ") + number +
                            QStringLiteral(" Z");
    const auto corners = [&](const QString& style) {
        const auto m =
            QRegularExpression(
                style + QStringLiteral("[^\"]*\" ") + polygon +
                QStringLiteral(R"re([^"]*"(?: transform="matrix\(([-\d.]+),0,0,([-\d.]+),)?)re"))
                .match(paths);
        std::vector<QPointF> out;
        for (int i = 0; m.hasMatch() && i < 8; ++i) {
            out.emplace_back(m.captured(1 + 2 * i).toDouble(), m.captured(2 + 2 * i).toDouble());
        }
        if (m.hasMatch() && !m.captured(17).isEmpty()) {
            EXPECT_EQ(m.captured(17), m.captured(18)) << "one scale for both directions";
        }
        return out;
    };
    const std::vector<QPointF> t = corners(QStringLiteral("fill:none;"));
    ASSERT_EQ(t.size(), 8u) << "no outline of eight corners on the working's page";
    const double h = t[4].y() - t[0].y();
    EXPECT_NEAR((t[1].x() - t[0].x()) / h, 1.0 / 0.8, 1e-3) << "b'i : h";
    EXPECT_NEAR((t[2].y() - t[1].y()) / h, 0.15 / 0.8, 1e-3) << "h'i : h";
    EXPECT_NEAR((t[4].x() - t[5].x()) / h, 0.2 / 0.8, 1e-3) << "b : h";
    const std::vector<QPointF> zone = corners(QStringLiteral("fill:rgb\\(74"));
    ASSERT_EQ(zone.size(), 8u) << "no compression zone of the second type";
    EXPECT_NEAR((zone[4].y() - zone[0].y()) / (zone[1].x() - zone[0].x()), 0.2481 / 1.0, 1e-3)
        << "x : b'i";
}

// On paper as narrow as A6 the working's lines wrap between clauses: "取" stays with "4.823 %",
// each continued row stands further in than the first row of its line, and nothing is lost.
TEST_F(PdfReport, WorkingWrapsBetweenClausesOnNarrowPaper) {
    printer.setPageSize(QPageSize(QSizeF(105, 600), QPageSize::Millimeter));
    const Working working = run_working(designed(1300));
    QtReportPrinter report(source);
    report.print_working(working);
    report.end_document();
    const PdfPage page = read_page(pdf(), 1);
    ASSERT_FALSE(page.words.empty());

    // The rows of the page, top to bottom, each its words left to right.
    std::vector<std::vector<Word>> rows;
    for (const Word& w : page.words) {
        if (rows.empty() || std::abs(rows.back().front().box.top() - w.box.top()) > 1.0) {
            rows.emplace_back();
        }
        rows.back().push_back(w);
    }
    QString all;
    for (const Word& w : page.words) {
        all += w.text;
    }
    // pdftotext writes the words as XML text.
    all.replace(QStringLiteral("&apos;"), QStringLiteral("'"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    for (const WorkingLine& line : working.lines) {
        EXPECT_TRUE(all.contains(QString::fromStdString(line_text(line)).remove(' ')))
            << line_text(line);
    }
    // The ρ line: its first row and the rows that continue it, up to the next line (As).
    std::size_t first = 0;
    while (first < rows.size() && rows[first].front().text != QStringLiteral("ρ")) {
        ++first;
    }
    ASSERT_LT(first, rows.size()) << "no row begins the ρ line";
    std::size_t next = first + 1;
    while (next < rows.size() && rows[next].front().text != QStringLiteral("As")) {
        ++next;
    }
    ASSERT_LT(next, rows.size());
    ASSERT_GT(next - first, 2u) << "the ρ line does not wrap on narrow paper";
    const double indent = rows[first].front().box.left();
    EXPECT_NEAR(rows[next].front().box.left(), indent, 0.5) << "the next line starts under it";
    bool take_found = false;
    for (std::size_t r = first; r < next; ++r) {
        if (r > first) {
            EXPECT_GT(rows[r].front().box.left(), indent + 10) << "continued row not indented";
        }
        for (std::size_t i = 0; i < rows[r].size(); ++i) {
            if (rows[r][i].text.endsWith(QStringLiteral("取"))) {
                take_found = true;
                ASSERT_LT(i + 2, rows[r].size()) << "取 parted from 4.823 %";
                EXPECT_EQ(rows[r][i + 1].text, QStringLiteral("4.823"));
                EXPECT_TRUE(rows[r][i + 2].text.startsWith(QStringLiteral("%")));
            }
        }
    }
    EXPECT_TRUE(take_found);
    // The rows of the working's text, which ends with the note, above the drawing.
    std::size_t text_rows = 0;
    while (text_rows < rows.size() && !rows[text_rows].back().text.endsWith(QStringLiteral("。"))) {
        ++text_rows;
    }
    ASSERT_LT(text_rows, rows.size());
    for (std::size_t r = 0; r < text_rows; ++r) {
        const QString end = rows[r].back().text, start = rows[r + 1].front().text;
        EXPECT_FALSE(end.back().isDigit() && QStringLiteral("%mcK").contains(start.front()))
            << "a number parted from its unit: " << end.toStdString() << " | "
            << start.toStdString();
    }
}

// The drawing alone on its page, from the worked examples to the ends of the range that can be
// drawn: no label touches a line or another label, none leaves the margins.
struct FigureLabelsCase {
    const char* name;
    SectionFigure figure;
};

void PrintTo(const FigureLabelsCase& c, std::ostream* os) {
    *os << c.name;
}

class FigureLabels : public PdfReport, public ::testing::WithParamInterface<FigureLabelsCase> {};

TEST_P(FigureLabels, StandClearOfEveryLineAndOfEachOther) {
    ASSERT_EQ(figure_problem(GetParam().figure), std::nullopt);
    QtReportPrinter report(source);
    report.print_working(Working{{}, GetParam().figure});
    report.end_document();
    const PdfPage page = read_page(pdf(), 1);
    const std::vector<Stroke> strokes =
        page_strokes(page_svg(pdf(), 1, dir.filePath(QStringLiteral("page.svg"))));
    expect_words_clear(page, strokes);
    // The caption stands under the drawing.
    const auto caption = std::find_if(page.words.begin(), page.words.end(), [](const Word& w) {
        return w.text.startsWith(QStringLiteral("截面图"));
    });
    ASSERT_NE(caption, page.words.end()) << "no caption";
    for (const Stroke& s : strokes) {
        EXPECT_LT(std::max(s.line.y1(), s.line.y2()), caption->box.top())
            << "a line under the caption";
    }
}

// clang-format off
const FigureLabelsCase kFigureLabelsCases[] = {
    {"DesignFirstType", {1, 0.15, 0.2, 0.8, 0.05, 0.0598, false, "As"}},
    {"DesignSecondType", {1, 0.15, 0.2, 0.8, 0.05, 0.2481, true, "As"}},
    {"CheckFlange008Thick", {1.6, 0.08, 0.18, 1.3, 0.07, 0.427, true, "Ag"}},
    {"NarrowWeb", {1.6, 0.12, 0.03, 1.3, 0.07, 0.8, true, "Ag"}},
    {"WidestFlange", {10, 0.01, 0.01, 0.01, 0.005, 0.004, false, "As"}},
    {"DeepestWeb", {0.01, 0.01, 0.01, 10, 0.05, 6.5, true, "Ag"}},
    {"ThinnestFlange", {1, 0.001, 0.3, 1, 0.05, 0.0005, false, "As"}},
    {"NoCoverAndSmallDimensionsTogether", {1, 0.02, 0.25, 0.8, 0, 0.01, false, "As"}},
    {"ZoneNearlyNone", {1, 0.15, 0.2, 0.8, 0.05, 0.0001, false, "As"}},
    {"ZoneTheWholeHeight", {1, 0.15, 0.2, 0.8, 0.05, 0.8, true, "Ag"}},
    // Labels longer than a third of the page is high: the drawing takes the page's height.
    {"FifteenDigits", {1.00000000000001, 0.100000000000001, 0.300000000000003, 0.200000000000002, 0.0500000000000005, 0.0598, false, "As"}},
    {"WebWiderThanTheFlangeWithLongNumbers",
     {0.123456789012345, 0.0123456789012345, 0.5, 0.987654321098765, 0.0456789012345678, 0.0234567, false, "As"}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Sections, FigureLabels, ::testing::ValuesIn(kFigureLabelsCases),
                         [](const ::testing::TestParamInfo<FigureLabelsCase>& info) {
                             return std::string(info.param.name);
                         });

// Every character the sheet prints has a glyph in the pinned face itself, which ships with the
// program: where no other face stands behind it (Qt for Windows offscreen, a machine without
// other Chinese faces) a character it lacks prints as an empty box. The report and the working
// of each worked example, the drawing's labels and what it says when it is left out.
TEST(PinnedFace, HasAGlyphForEveryCharacterTheSheetPrints) {
    QFont font = QGuiApplication::font();
    font.setPointSizeF(kTypePoints);
    const QRawFont face = QRawFont::fromFont(font);
    ASSERT_EQ(face.familyName(), QStringLiteral("WenQuanYi Micro Hei"));
    std::set<char32_t> missing;
    const auto check = [&](const std::string& text) {
        for (const char32_t c : QString::fromStdString(text).toUcs4()) {
            if (!face.supportsCharacter(c)) {
                missing.insert(c);
            }
        }
    };
    using namespace zhuheng_test;
    for (const CalcState& state :
         {designed(500), designed(1300), designed(-25), designed_at_minimum_ratio(),
          zhuheng_test::checked(50, 1500), zhuheng_test::checked(80, 2500),
          zhuheng_test::checked(80, 3000), zhuheng_test::checked(0, 1500)}) {
        for (const ReportLine& line : report_copy(state)) {
            for (const PrintItem& item : line.items) {
                check(item.text);
            }
        }
        const Working working = run_working(state);
        for (const WorkingLine& line : working.lines) {
            check(line_text(line));
        }
        if (working.figure) {
            const SectionDrawing drawing = section_drawing(*working.figure);
            check(drawing.steel_label);
            check(drawing.caption);
            for (const FigureDimension& d : drawing.dimensions) {
                check(d.label);
            }
        }
    }
    check(kFigureTooWideForThePaper);
    QString list;
    for (const char32_t c : missing) {
        list += QString::fromUcs4(&c, 1) + QStringLiteral(" U+") + QString::number(c, 16) + ' ';
    }
    EXPECT_TRUE(missing.empty()) << "no glyph for " << list.toStdString();
}

// Where not even a page of the paper holds the labels, the sheet says why the drawing is left
// out, as it does for a section that cannot be drawn.
TEST_F(PdfReport, DrawingTooWideForThePaperIsLeftOutWithAWord) {
    printer.setPageSize(QPageSize(QPageSize::A6));
    QtReportPrinter report(source);
    report.print_working(Working{{}, kFigureLabelsCases[10].figure});
    report.end_document();
    QString text = tool_output(QStringLiteral(PDFTOTEXT), {pdf(), QStringLiteral("-")});
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    EXPECT_TRUE(text.contains(QString::fromUtf8(kFigureTooWideForThePaper))) << text.toStdString();
}

#ifndef _WIN32
// A file-size limit below the size of the report, as a disk that fills up during the write: the
// write fails with EFBIG instead of the signal that would end the process. Windows has no such
// limit (docs/windows.md).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ok_ = std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR && getrlimit(RLIMIT_FSIZE, &saved_) == 0;
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ok_ = ok_ && setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, SIG_DFL);
    }
    bool ok() const { return ok_; }

private:
    rlimit saved_{};
    bool ok_ = false;
};

class RecordedMessages : public MessageBoxes {
public:
    void show_message(MessageIcon icon, const QString& text) override {
        shown.push_back({icon, text});
    }
    bool ask_question(const QString& text) override {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return false;
    }
    void show_written(MessageIcon icon, const QString& text, const QString&) override {
        shown.push_back({icon, text});
    }
    std::vector<std::pair<MessageIcon, QString>> shown;
};

// 打  印 to a PDF file, 导出 PDF and 导出文档 on a disk too full for the file: the warning, and no
// new or half file; a file of that name from before stays byte for byte. The disk fills at the
// end of a one-page document, or in the middle of a long one, while the document is still being
// written.
TEST_F(PdfReport, FullDiskWarnsAndLeavesNoHalfFileAndTheEarlierOneIntact) {
    enum class Form { Print, ExportPdf, ExportDocument };
    struct Row {
        const char* name;
        Form form;
        bool earlier;
        long copies;
        rlim_t limit;
    };
    for (const Row& row :
         {Row{"no_earlier_file", Form::Print, false, 1, 4096},
          Row{"over_an_earlier_file", Form::Print, true, 1, 4096},
          Row{"full_in_the_middle_of_2000_copies", Form::Print, true, 2000, 16 * 1024},
          Row{"pdf_export_over_an_earlier_file", Form::ExportPdf, true, 1, 4096},
          Row{"document_export", Form::ExportDocument, false, 1, 1024},
          Row{"document_export_over_an_earlier_file", Form::ExportDocument, true, 1, 1024}}) {
        SCOPED_TRACE(row.name);
        const bool earlier = row.earlier;
        const QString file =
            row.form == Form::ExportDocument ? dir.filePath(QStringLiteral("report.odt")) : pdf();
        const QByteArray before = "an earlier calc sheet\n";
        for (const QString& left : QDir(dir.path()).entryList(QDir::Files)) {
            QFile::remove(dir.filePath(left));
        }
        if (earlier) {
            QFile old(file);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            ASSERT_EQ(old.write(before), before.size());
        }
        RecordedMessages messages;
        FakePrinterDialog dialog;
        dialog.copy_count = row.copies;
        QtReportPrinter report(source);
        FakeSaveDialog save_dialog;
        save_dialog.answer = file;
        PrintPreview preview(source);
        FakeBatchDialogs batch_dialogs;
        MainForm form(messages, dialog, report, save_dialog, preview, batch_dialogs);
        QAction* item = nullptr;
        QList<QAction*> actions;
        for (const QMenu* menu : form.findChildren<QMenu*>()) {
            actions += menu->actions();
        }
        for (QAction* action : actions) {
            const bool wanted = (row.form == Form::ExportPdf &&
                                 action->text().startsWith(QStringLiteral("导出 PDF"))) ||
                                (row.form == Form::ExportDocument &&
                                 action->text().startsWith(QStringLiteral("导出文档")));
            item = wanted ? action : item;
        }
        {
            const FileSizeLimit limit(row.limit);
            ASSERT_TRUE(limit.ok()) << "cannot limit the file size: " << std::strerror(errno);
            if (row.form == Form::Print) {
                form.findChild<QPushButton*>(QStringLiteral("cmdprint"))->click();
            } else {
                ASSERT_TRUE(item) << "no such item in 打  印's menu";
                item->trigger();
            }
        }
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].first, MessageIcon::Warning);
        const QString warning = messages.shown[0].second;
        const QString said =
            row.form == Form::Print ? QStringLiteral("打印失败：无法写入 PDF 文件“")
            : row.form == Form::ExportPdf ? QStringLiteral("导出失败：无法写入 PDF 文件“")
                                          : QStringLiteral("导出失败：无法写入文档“");
        EXPECT_TRUE(warning.startsWith(said + QDir::toNativeSeparators(file)) &&
                    warning.endsWith(QStringLiteral("”：文件超过允许的大小")))
            << warning.toStdString();
        const QStringList left = QDir(dir.path()).entryList(QDir::Files);
        if (earlier) {
            EXPECT_EQ(left, QStringList{QFileInfo(file).fileName()});
            QFile old(file);
            ASSERT_TRUE(old.open(QIODevice::ReadOnly));
            EXPECT_EQ(old.readAll(), before);
        } else {
            EXPECT_TRUE(left.isEmpty()) << left.join(QChar(' ')).toStdString();
        }
    }
}

#endif

// The system dialog, answered by a timer while it runs modally.
void answer_dialog(std::function<void(QPrintDialog*)> answer) {
    QTimer::singleShot(100, [answer] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog) << "no printer dialog is showing";
        answer(dialog);
    });
}

TEST(QtPrinterDialogTest, CopiesAreReadAndTheDriverPrintsOneOfEach) {
    // CTest points CUPS_SERVER at a socket where no server listens, so that no printer exists.
    ASSERT_TRUE(QPrinterInfo::availablePrinters().isEmpty())
        << "the print system lists printers (CUPS_SERVER=" << qgetenv("CUPS_SERVER").toStdString()
        << "); the case is the one without: run it through CTest";
    QPrinter printer(QPrinter::HighResolution);
    PrinterSource source(printer);
    QtPrinterDialog dialog(source);
    dialog.set_cancel_error(true);
    answer_dialog([](QPrintDialog* d) {
        auto* copies = d->findChild<QSpinBox*>(QStringLiteral("copies"));
        ASSERT_TRUE(copies);
        copies->setValue(3);
        d->accept();
    });
    dialog.show_printer();
    EXPECT_EQ(dialog.copies(), 3);
    EXPECT_EQ(printer.copyCount(), 1) << "the driver would print every copy again";
    // With no printer installed the dialog prints to a PDF file.
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
    EXPECT_FALSE(printer.outputFileName().isEmpty());
}

// The dialog's own tab 计算书: the working is not asked for until ticked, and the choice is kept
// from one print to the next; a cancelled dialog changes nothing. The box ticks by its mnemonic
// too, which no other control of the dialog takes.
TEST(QtPrinterDialogTest, WorkingTabStartsUntickedAndKeepsTheChoice) {
    QPrinter printer(QPrinter::HighResolution);
    PrinterSource source(printer);
    QtPrinterDialog dialog(source);
    dialog.set_cancel_error(true);
    EXPECT_FALSE(dialog.working());
    struct Row {
        const char* name;
        bool shown_ticked;
        bool tick;
        bool by_key; // Alt and the box's mnemonic, with the dialog's options open on the tab
        bool accept;
        bool working_after;
    };
    for (const Row& row : {Row{"tick_and_print", false, true, false, true, true},
                           Row{"kept_then_cancelled", true, false, false, false, true},
                           Row{"untick_and_print", true, false, false, true, false},
                           Row{"tick_by_its_key", false, true, true, true, true}}) {
        SCOPED_TRACE(row.name);
        bool seen = false;
        answer_dialog([&](QPrintDialog* d) {
            QCheckBox* box = nullptr;
            for (QCheckBox* b : d->findChildren<QCheckBox*>()) {
                if (b->text() == QString::fromUtf8(kWorkingCaption)) {
                    box = b;
                }
            }
            ASSERT_TRUE(box) << "no check box 附计算过程及截面图 in the dialog";
            auto* tabs =
                qobject_cast<QTabWidget*>(box->parentWidget()->parentWidget()->parentWidget());
            ASSERT_TRUE(tabs);
            EXPECT_EQ(tabs->tabText(tabs->indexOf(box->parentWidget())), QStringLiteral("计算书"));
            EXPECT_EQ(box->isChecked(), row.shown_ticked);
            if (row.by_key) {
                for (QPushButton* b : d->findChildren<QPushButton*>()) {
                    if (b->text().endsWith(QStringLiteral(">>"))) {
                        b->click(); // 选项 >>
                    }
                }
                tabs->setCurrentWidget(box->parentWidget());
                ASSERT_TRUE(box->isVisible());
                QTest::keyClick(d, Qt::Key_J, Qt::AltModifier);
                // A mnemonic presses the box and lets it go a moment later.
                for (int wait = 0; wait < 100 && box->isChecked() != row.tick; ++wait) {
                    QTest::qWait(10);
                }
                EXPECT_EQ(box->isChecked(), row.tick);
            } else {
                box->setChecked(row.tick);
            }
            seen = true;
            row.accept ? d->accept() : d->reject();
        });
        if (row.accept) {
            dialog.show_printer();
        } else {
            EXPECT_THROW(dialog.show_printer(), PrintCancelled);
        }
        EXPECT_TRUE(seen);
        EXPECT_EQ(dialog.working(), row.working_after);
    }
}

TEST(QtPrinterDialogTest, CancelRaisesTheCancelError) {
    QPrinter printer(QPrinter::HighResolution);
    PrinterSource source(printer);
    QtPrinterDialog dialog(source);
    dialog.set_cancel_error(true);
    answer_dialog([](QPrintDialog* d) { d->reject(); });
    EXPECT_THROW(dialog.show_printer(), PrintCancelled);
}

} // namespace
