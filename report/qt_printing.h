// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/report_printer.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QPagedPaintDevice;
class QPainter;
class QPrinter;
class QWidget;

// The QPrinter behind the dialog and the printer, made on first use: setting one up loads the
// print system, which the program does not need before the user prints.
class PrinterSource {
public:
    PrinterSource();
    explicit PrinterSource(QPrinter& existing);
    ~PrinterSource();
    QPrinter& printer();

private:
    QPrinter* existing_ = nullptr;
    std::unique_ptr<QPrinter> owned_;
};

// The system printer dialog on a QPrinter. With no printer installed it still offers printing
// to a PDF file. The document is named 筑衡计算书 (the PDF's offered file name, a queue's job
// title); the copy count chosen is read and taken off the printer, and the page range and the
// odd/even page set chosen are dropped, so that the queue prints every page of the one document
// that holds every copy.
class QtPrinterDialog : public zhuheng::PrinterDialog {
public:
    explicit QtPrinterDialog(PrinterSource& source, QWidget* parent = nullptr);
    void set_parent(QWidget* parent) { parent_ = parent; }

    void set_cancel_error(bool raise) override { cancel_error_ = raise; }
    void show_printer() override;
    long copies() const override { return copies_; }

private:
    PrinterSource& source_;
    QWidget* parent_;
    bool cancel_error_ = false;
    long copies_ = 1;
};

struct ItemPosition {
    double x; // from the left edge of the print area
    int row;  // 0 for the line's own row, 1 and on where it wraps
    bool operator==(const ItemPosition& o) const { return x == o.x && row == o.row; }
};

// Where each item of a line stands, given the column width, the width of an item's text and the
// width of the page. An item that would run past the right edge goes on to a new row at the
// indent, so that no value is cut off.
std::vector<ItemPosition> item_positions(const zhuheng::ReportLine& line, double column,
                                         const std::function<double(const QString&)>& width,
                                         double page_width);

// Lays the report out with QPainter in the printer's default font: the indent step puts the
// first item at column `indent`, print zones are 14 columns wide, a column being the font's
// average character width, a line too wide for the page wraps at an item, and a full page goes
// on to a new one.
//
// Lines are kept until end_document and painted there in one go, so that a document aborted
// before its end never reaches the printer. A PDF file is written whole or not at all.
class QtReportPrinter : public zhuheng::ReportPrinter {
public:
    static constexpr int kZoneColumns = 14;

    explicit QtReportPrinter(PrinterSource& source) : source_(source) {}

    void print_line(const zhuheng::ReportLine& line) override;
    void end_document() override;
    void abort_document() override;

private:
    void write_pdf(const QPrinter& printer, const std::vector<zhuheng::ReportLine>& lines);
    void print(QPrinter& printer, const std::vector<zhuheng::ReportLine>& lines);
    void paint(QPainter& painter, QPagedPaintDevice& device,
               const std::vector<zhuheng::ReportLine>& lines);

    PrinterSource& source_;
    std::vector<zhuheng::ReportLine> lines_;
};
