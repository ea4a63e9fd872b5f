// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/report_printer.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zhuheng {

// A printer dialog answered by the test: confirm with a copy count, cancel, or fail.
class FakePrinterDialog : public PrinterDialog {
public:
    enum class Answer { Confirm, Cancel, Fail };

    Answer answer = Answer::Confirm;
    long copy_count = 1;
    int times_shown = 0;
    bool cancel_error = false;
    std::function<void()> on_show; // called as the dialog is shown

    bool with_working = false; // the setting 附计算过程及截面图, as the dialog's tab shows it

    void set_cancel_error(bool raise) override { cancel_error = raise; }
    void show_printer() override;
    long copies() const override { return copy_count; }
    bool working() const override { return with_working; }
    void set_working(bool asked) override { with_working = asked; }
};

// What the printer was asked to do, in order.
struct PrinterEvent {
    enum class Kind { Line, Working, EndDocument, AbortDocument };
    Kind kind;
    ReportLine line;   // for Line
    Working working{}; // for Working

    bool operator==(const PrinterEvent& o) const {
        return kind == o.kind && line == o.line && working == o.working;
    }
};

// A printer that records every call; with fail_after set it accepts that many lines of a
// document and fails on the next.
class RecordingPrinter : public ReportPrinter {
public:
    std::vector<PrinterEvent> events;
    std::optional<int> fail_after;
    std::function<void(const PrinterEvent&)> on_event; // called for each event recorded

    void print_line(const ReportLine& line) override;
    void print_working(const Working& working) override;
    void end_document() override;
    void abort_document() override;

private:
    void record(PrinterEvent event);

    int lines_in_document_ = 0;
};

} // namespace zhuheng
