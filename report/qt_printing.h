// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/pdf_file.h"
#include "report/qt_report_pages.h"
#include "report/report_printer.h"

#include <QString>

#include <memory>
#include <vector>

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
// to a PDF file. The document is named kDocumentTitle; the copy count chosen is read and taken
// off the printer, and the page range and the odd/even page set chosen are dropped, so that the
// queue prints every page of the one document that holds every copy. A tab of the program's own,
// 计算书, shows and changes whether each copy carries the working of the run; a cancelled dialog
// leaves it as it was. The platform's own dialog on Windows and macOS shows no such tab: there
// the setting is changed from the print button's menu alone.
class QtPrinterDialog : public zhuheng::PrinterDialog {
public:
    explicit QtPrinterDialog(PrinterSource& source, QWidget* parent = nullptr);
    void set_parent(QWidget* parent) { parent_ = parent; }

    void set_cancel_error(bool raise) override { cancel_error_ = raise; }
    void show_printer() override;
    long copies() const override { return copies_; }
    bool working() const override { return working_; }
    void set_working(bool asked) override { working_ = asked; }

private:
    PrinterSource& source_;
    QWidget* parent_;
    bool cancel_error_ = false;
    long copies_ = 1;
    bool working_ = false;
};

// The Qt printer: the report as qt_report_pages sets it out, on the printer chosen in the dialog
// or, for a PDF file, through QPdfWriter.
//
// Lines are kept until end_document and painted there in one go, so that a document aborted
// before its end never reaches the printer. A PDF file is written whole or not at all.
class QtReportPrinter : public zhuheng::ReportPrinter {
public:
    explicit QtReportPrinter(PrinterSource& source) : source_(source) {}

    void print_line(const zhuheng::ReportLine& line) override;
    void print_working(const zhuheng::Working& working) override;
    void end_document() override;
    void abort_document() override;

private:
    void print(QPrinter& printer, const std::vector<ReportBlock>& blocks);

    PrinterSource& source_;
    std::vector<ReportBlock> blocks_;
};
