// SPDX-License-Identifier: GPL-3.0-or-later
#include "fake_printing.h"

namespace zhuheng {

void FakePrinterDialog::show_printer() {
    ++times_shown;
    if (on_show) {
        on_show();
    }
    if (answer == Answer::Fail) {
        throw PrintError("打印对话框出错");
    }
    if (answer == Answer::Cancel && cancel_error) {
        throw PrintCancelled();
    }
}

void RecordingPrinter::record(PrinterEvent event) {
    events.push_back(std::move(event));
    if (on_event) {
        on_event(events.back());
    }
}

void RecordingPrinter::print_line(const ReportLine& line) {
    if (fail_after && lines_in_document_ >= *fail_after) {
        throw PrintError("打印机没有响应");
    }
    ++lines_in_document_;
    record({PrinterEvent::Kind::Line, line});
}

void RecordingPrinter::print_working(const Working& working) {
    record({PrinterEvent::Kind::Working, {}, working});
}

void RecordingPrinter::end_document() {
    lines_in_document_ = 0;
    record({PrinterEvent::Kind::EndDocument, {}});
}

void RecordingPrinter::abort_document() {
    lines_in_document_ = 0;
    record({PrinterEvent::Kind::AbortDocument, {}});
}

} // namespace zhuheng
