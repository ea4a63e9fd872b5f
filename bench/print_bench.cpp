// SPDX-License-Identifier: GPL-3.0-or-later
// 打  印 of the dialog's largest copy count, 999, to a PDF file: the second-type worked design,
// with the working and the drawn section after each copy (working:1) and without (working:0).
#include "engine/common_quantities.h"
#include "engine/material_tables.h"
#include "engine/reinforcement_design.h"
#include "report/print_report.h"
#include "report/qt_printing.h"
#include "ui/program_setup.h"

#include <QApplication>
#include <QPrinter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

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

void BM_Print999CopiesToPdf(benchmark::State& bench) {
    CalcState state;
    select_concrete_grade(state, "25号");
    select_steel_grade(state, "Ⅱ级");
    state.mode = CalcMode::Design;
    common_quantities(state, SectionInput{0.0, 0.05, 1.0, 0.15, 0.2, 0.8, 1300.0}, "");
    if (reinforcement_design(state) != DesignOutcome::Completed) {
        bench.SkipWithError("the worked design did not complete");
        return;
    }
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

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    setup_program(app);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
