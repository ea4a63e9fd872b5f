// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/qt_printing.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPageRanges>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintEngine>
#include <QPrinter>

#include <cmath>

using zhuheng::PrintError;
using zhuheng::PrintSeparator;

namespace {

// The print engine property under which Qt's Unix dialog hands job options to CUPS (Qt's own
// PPK_CupsOptions): option names and values in turn, sent with the job by the CUPS engine.
constexpr auto kCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// The dialog passes its "Pages" field as page-ranges and its odd/even choice as page-set; the
// queue would then drop the pages outside them from the one document that holds every copy.
void drop_page_choices(QPrinter& printer) {
    QPrintEngine* engine = printer.printEngine();
    const QStringList options = engine->property(kCupsOptions).toStringList();
    QStringList kept;
    for (qsizetype i = 0; i + 1 < options.size(); i += 2) {
        if (options[i] != QLatin1String("page-ranges") && options[i] != QLatin1String("page-set")) {
            kept << options[i] << options[i + 1];
        }
    }
    if (kept.size() != options.size()) {
        engine->setProperty(kCupsOptions, kept);
    }
}

} // namespace

PrinterSource::PrinterSource() = default;
PrinterSource::PrinterSource(QPrinter& existing) : existing_(&existing) {}
PrinterSource::~PrinterSource() = default;

QPrinter& PrinterSource::printer() {
    if (existing_) {
        return *existing_;
    }
    if (!owned_) {
        owned_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *owned_;
}

QtPrinterDialog::QtPrinterDialog(PrinterSource& source, QWidget* parent)
    : source_(source), parent_(parent) {}

void QtPrinterDialog::show_printer() {
    QPrinter& printer = source_.printer();
    printer.setCopyCount(1);
    // The file name the dialog offers for a PDF and the job's title in a print queue.
    printer.setDocName(QStringLiteral("筑衡计算书"));
    QPrintDialog dialog(&printer, parent_);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted) {
        if (cancel_error_) {
            throw zhuheng::PrintCancelled();
        }
        return;
    }
    // The program prints every copy itself; left on the printer, the count would be applied
    // again by the driver or CUPS. A page range or page set chosen in the dialog has no effect
    // either: every page of every copy comes out.
    copies_ = printer.copyCount();
    printer.setCopyCount(1);
    printer.setCollateCopies(false);
    printer.setPrintRange(QPrinter::AllPages);
    printer.setPageRanges(QPageRanges());
    drop_page_choices(printer);
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
    source_.printer().abort();
}

void QtReportPrinter::end_document() {
    if (lines_.empty()) {
        return; // nothing was printed: no document
    }
    QPrinter& printer = source_.printer();
    QPainter painter;
    if (!painter.begin(&printer)) {
        lines_.clear();
        throw PrintError("无法打开打印机");
    }
    try {
        paint(painter, printer);
    } catch (const PrintError&) {
        lines_.clear();
        // Qt cannot take back a job it has begun on a system printer (its print engines do not
        // support abort), so the pages painted so far may still come out there. A PDF file
        // would keep them too; that one is removed.
        printer.abort();
        painter.end();
        if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
            QFile::remove(printer.outputFileName());
        }
        throw;
    }
    lines_.clear();
    if (!painter.end()) {
        throw PrintError("无法完成打印文档");
    }
}

void QtReportPrinter::paint(QPainter& painter, QPrinter& printer) {
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
                    if (!printer.newPage()) {
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
