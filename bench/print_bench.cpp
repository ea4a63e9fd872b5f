// SPDX-License-Identifier: GPL-3.0-or-later
// 打  印 of the dialog's largest copy count, 999, to a PDF file: the second-type worked design,
// with the working and the drawn section after each copy (working:1) and without (working:0).
// Each other way the sheet leaves the program, for the same design with its working and drawing,
// from the command to the preview shown or the file or clipboard written, the dialogs answered at
// once: form:0 the preview, 1 导出 PDF, 2 导出文档, 3 复制计算书. A calc book of 1,000 completed
// rows, each sheet with its working and drawing: form:0 the PDF, 1 the document.
#include "engine/common_quantities.h"
#include "engine/material_tables.h"
#include "engine/reinforcement_design.h"
#include "report/calc_book.h"
#include "report/document_file.h"
#include "report/pdf_file.h"
#include "report/print_preview.h"
#include "report/print_report.h"
#include "report/qt_printing.h"
#include "report/sheet_clipboard.h"
#include "ui/program_setup.h"

#include <QApplication>
#include <QClipboard>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <optional>

namespace {

using namespace zhuheng;

class AnsweredDialog : public PrinterDialog {
public:
    explicit AnsweredDialog(bool working) : working_(working) {}
    void set_cancel_error(bool) override {}
    void show_printer() override {}
    long copies() const override { return 999; }
    bool working() const override { return working_; }
    void set_working(bool asked) override { working_ = asked; }

private:
    bool working_;
};

// The second-type worked design, completed; nothing where it does not complete.
std::optional<CalcState> worked_design() {
    CalcState state;
    select_concrete_grade(state, "25号");
    select_steel_grade(state, "Ⅱ级");
    state.mode = CalcMode::Design;
    common_quantities(state, SectionInput{0.0, 0.05, 1.0, 0.15, 0.2, 0.8, 1300.0}, "");
    if (reinforcement_design(state) != DesignOutcome::Completed) {
        return std::nullopt;
    }
    return state;
}

void BM_Print999CopiesToPdf(benchmark::State& bench) {
    const std::optional<CalcState> design = worked_design();
    if (!design) {
        bench.SkipWithError("the worked design did not complete");
        return;
    }
    const CalcState& state = *design;
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("report.pdf")));
    PrinterSource source(printer);
    QtReportPrinter report(source);
    AnsweredDialog dialog(bench.range(0) != 0);
    for (auto _ : bench) {
        if (print_report(state, true, dialog, report).kind != PrintOutcome::Kind::Printed) {
            bench.SkipWithError("the print failed");
            return;
        }
    }
}
BENCHMARK(BM_Print999CopiesToPdf)
    ->ArgName("working")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_SheetForm(benchmark::State& bench) {
    const std::optional<CalcState> design = worked_design();
    if (!design) {
        bench.SkipWithError("the worked design did not complete");
        return;
    }
    QTemporaryDir dir;
    PrinterSource source;
    PrintPreview preview(source);
    const QString pdf = dir.filePath(QStringLiteral("筑衡计算书.pdf"));
    const QString document = dir.filePath(QStringLiteral("筑衡计算书.odt"));
    for (auto _ : bench) {
        const std::vector<ReportBlock> sheet = calc_sheet(*design, true, true);
        switch (bench.range(0)) {
        case 0:
            // Closed as soon as it runs: by then it has made and shown its pages.
            QTimer::singleShot(0, [&] {
                QWidget* shown = QApplication::activeModalWidget();
                const auto* pages = shown->findChild<QPrintPreviewWidget*>();
                if (!pages || pages->pageCount() != 2) {
                    bench.SkipWithError("the preview shows not the sheet's two pages");
                }
                shown->close();
            });
            preview.show(nullptr, sheet, [] { return false; });
            break;
        case 1:
            write_pdf_file(pdf, default_page_layout(), kPdfResolution, sheet);
            break;
        case 2:
            write_document_file(document, sheet, default_page_layout());
            break;
        default:
            QGuiApplication::clipboard()->setMimeData(
                sheet_mime_data(sheet, default_page_layout()));
            break;
        }
    }
}
BENCHMARK(BM_SheetForm)
    ->ArgName("form")
    ->DenseRange(0, 3)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_CalcBook1000Sheets(benchmark::State& bench) {
    const std::optional<CalcState> design = worked_design();
    if (!design) {
        bench.SkipWithError("the worked design did not complete");
        return;
    }
    const std::vector<BookEntry> entries(
        1000, BookEntry{"B-1", 2, CalcMode::Design, "72.345", "", *design});
    QTemporaryDir dir;
    for (auto _ : bench) {
        if (bench.range(0) == 0) {
            write_calc_book_pdf(dir.filePath(QStringLiteral("计算书.pdf")), default_page_layout(),
                                entries, true);
        } else {
            write_calc_book_document(dir.filePath(QStringLiteral("计算书.odt")),
                                     default_page_layout(), entries, true);
        }
    }
}
BENCHMARK(BM_CalcBook1000Sheets)
    ->ArgName("form")
    ->DenseRange(0, 1)
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    setup_program(app);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
