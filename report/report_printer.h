// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "working/working.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace zhuheng {

enum class PrintSeparator {
    Join,   // the next item follows directly
    Zone,   // the next item starts at the next print zone
    LineEnd // the line ends after this item
};

struct PrintItem {
    std::string text; // UTF-8, printed exactly
    PrintSeparator separator;

    bool operator==(const PrintItem& o) const { return text == o.text && separator == o.separator; }
};

// One report line: the indent step (the first item stands at column `indent`, columns counted
// from 1), then the items with their separators.
struct ReportLine {
    int indent = 5;
    std::vector<PrintItem> items;

    bool operator==(const ReportLine& o) const { return indent == o.indent && items == o.items; }
};

// A failure of the printer or its dialog; what() is the reason shown to the user (UTF-8).
class PrintError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raised by show_printer when the user cancels and cancel_error is set.
class PrintCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "print cancelled"; }
};

// The printer dialog: a modal choice of printer and copies. It also keeps, for the window's life,
// whether each copy carries the working of the run: unticked at start and never saved, changed in
// the dialog's own tab where the platform's dialog shows one, and from the print button's menu.
class PrinterDialog {
public:
    virtual ~PrinterDialog() = default;
    virtual void set_cancel_error(bool raise) = 0;
    // Returns when the user confirms; throws PrintCancelled on cancel, PrintError on failure.
    virtual void show_printer() = 0;
    // The copy count chosen, read after show_printer has returned.
    virtual long copies() const = 0;
    // Whether the working of the run is asked for with each copy.
    virtual bool working() const = 0;
    virtual void set_working(bool asked) = 0;
};

// How the working is asked for, in the dialog's tab and in the print button's menu; "&" marks
// the key that ticks it.
inline constexpr const char* kWorkingCaption = "附计算过程及截面图(&J)";

// The current printer. A document begins with the first line printed after the last end.
class ReportPrinter {
public:
    virtual ~ReportPrinter() = default;
    virtual void print_line(const ReportLine& line) = 0;
    // The working of the run after a copy's lines, starting on a page of its own.
    virtual void print_working(const Working& working) = 0;
    virtual void end_document() = 0;
    // Drops the document begun, so that nothing of it comes out.
    virtual void abort_document() = 0;
};

} // namespace zhuheng
