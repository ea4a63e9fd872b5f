#include "report/qt_printing.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPageRanges>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <cmath>

using zhuheng::PrintError;
using zhuheng::PrintSeparator;

QtPrinterDialog::QtPrinterDialog(QPrinter& printer, QWidget* parent)
    : printer_(printer), parent_(parent) {}

void QtPrinterDialog::show_printer() {
    printer_.setCopyCount(1);
    QPrintDialog dialog(&printer_, parent_);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted) {
        if (cancel_error_) {
            throw zhuheng::PrintCancelled();
        }
        return;
    }
    // The program prints every copy itself; left on the printer, the count would be applied
    // again by the driver or CUPS. A page range chosen in the dialog has no effect either.
    copies_ = printer_.copyCount();
    printer_.setCopyCount(1);
    printer_.setCollateCopies(false);
    printer_.setPrintRange(QPrinter::AllPages);
    printer_.setPageRanges(QPageRanges());
}

std::vector<ItemPosition> item_positions(const zhuheng::ReportLine& line, double column,
                                         const std::function<double(const QString&)>& width,
                                         double page_width) {
    const double zone = column * QtReportPrinter::kZoneColumns;
    const double start = column * (line.indent - 1);
    std::vector<ItemPosition> positions;
    double x = start;
    int row = 0;
    for (const zhuheng::PrintItem& item : line.items) {
        const double w = width(QString::fromStdString(item.text));
        if (x > start && x + w > page_width) {
            ++row;
            x = start;
        }
        positions.push_back({x, row});
        x += w;
        if (item.separator == PrintSeparator::Zone) {
            // An item that ran past a zone's start pushes the next one to the zone after.
            x = (std::floor(x / zone) + 1) * zone;
        }
    }
    return positions;
}

void QtReportPrinter::print_line(const zhuheng::ReportLine& line) {
    lines_.push_back(line);
}

void QtReportPrinter::abort_document() {
    lines_.clear();
    printer_.abort();
}

void QtReportPrinter::end_document() {
    if (lines_.empty()) {
        return; // nothing was printed: no document
    }
    QPainter painter;
    if (!painter.begin(&printer_)) {
        lines_.clear();
        throw PrintError("无法打开打印机");
    }
    try {
        paint(painter);
    } catch (const PrintError&) {
        lines_.clear();
        painter.end();
        // A PDF file would keep the pages painted so far; remove it.
        if (printer_.outputFormat() == QPrinter::PdfFormat &&
            !printer_.outputFileName().isEmpty()) {
            QFile::remove(printer_.outputFileName());
        }
        throw;
    }
    lines_.clear();
    if (!painter.end()) {
        throw PrintError("无法完成打印文档");
    }
}

void QtReportPrinter::paint(QPainter& painter) {
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double column = metrics.averageCharWidth();
    const auto width = [&metrics](const QString& text) { return metrics.horizontalAdvance(text); };
    const double line_height = metrics.lineSpacing();
    const double page_height = painter.device()->height();

    const double page_width = painter.device()->width();
    double y = 0;
    for (const zhuheng::ReportLine& line : lines_) {
        const std::vector<ItemPosition> at = item_positions(line, column, width, page_width);
        int row = -1;
        for (std::size_t i = 0; i < line.items.size(); ++i) {
            if (at[i].row != row) {
                if (row >= 0) {
                    y += line_height;
                }
                row = at[i].row;
                if (y + line_height > page_height && y > 0) {
                    if (!printer_.newPage()) {
                        throw PrintError("打印机无法开始新的一页");
                    }
                    y = 0;
                }
            }
            painter.drawText(QPointF(at[i].x, y + metrics.ascent()),
                             QString::fromStdString(line.items[i].text));
        }
        y += line_height;
    }
}
