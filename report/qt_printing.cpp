// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/qt_printing.h"

#include <QCheckBox>
#include <QPageRanges>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintEngine>
#include <QPrinter>
#include <QVBoxLayout>

using zhuheng::PrintError;

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
        // Without a printer the dialog prints to a PDF file, which Qt sets on A4 everywhere: the
        // paper of the user's locale instead (Letter where the locale measures in US units).
        if (owned_->outputFormat() == QPrinter::PdfFormat) {
            owned_->setPageSize(default_page_layout().pageSize());
        }
    }
    return *owned_;
}

QtPrinterDialog::QtPrinterDialog(PrinterSource& source, QWidget* parent)
    : source_(source), parent_(parent) {}

void QtPrinterDialog::show_printer() {
    QPrinter& printer = source_.printer();
    printer.setCopyCount(1);
    // The file name the dialog offers for a PDF and the job's title in a print queue.
    printer.setDocName(kDocumentTitle);
    QPrintDialog dialog(&printer, parent_);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    // The dialog deletes the tab with itself, also where the platform's dialog takes no tab and
    // never shows it.
    auto* tab = new QWidget(&dialog);
    tab->setWindowTitle(QStringLiteral("计算书"));
    auto* working = new QCheckBox(QString::fromUtf8(zhuheng::kWorkingCaption), tab);
    working->setChecked(working_);
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(working);
    layout->addStretch();
    dialog.setOptionTabs({tab});
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
    working_ = working->isChecked();
    printer.setCopyCount(1);
    printer.setCollateCopies(false);
    printer.setPrintRange(QPrinter::AllPages);
    printer.setPageRanges(QPageRanges());
    drop_page_choices(printer);
}

void QtReportPrinter::print_line(const zhuheng::ReportLine& line) {
    blocks_.emplace_back(line);
}

void QtReportPrinter::print_working(const zhuheng::Working& working) {
    blocks_.emplace_back(working);
}

void QtReportPrinter::abort_document() {
    blocks_.clear();
    source_.printer().abort();
}

void QtReportPrinter::end_document() {
    if (blocks_.empty()) {
        return; // nothing was printed: no document
    }
    const std::vector<ReportBlock> blocks = std::move(blocks_);
    blocks_.clear();
    QPrinter& printer = source_.printer();
    printer.setPageLayout(report_page_layout(printer.pageLayout()));
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        // Written aside and put in place only when the whole document has been written.
        write_pdf_file(printer.outputFileName(), printer.pageLayout(), printer.resolution(),
                       blocks);
    } else {
        print(printer, blocks);
    }
}

void QtReportPrinter::print(QPrinter& printer, const std::vector<ReportBlock>& blocks) {
    printer.setDocName(kDocumentTitle);
    printer.setCreator(document_creator());
    QPainter painter;
    if (!painter.begin(&printer)) {
        throw PrintError("无法打开打印机");
    }
    try {
        paint_report(painter, printer, blocks);
    } catch (const PrintError&) {
        // Qt cannot take back a job it has begun on a system printer (its print engines do not
        // support abort), so the pages painted so far may still come out there.
        printer.abort();
        painter.end();
        throw;
    }
    if (!painter.end()) {
        throw PrintError("无法完成打印文档");
    }
}
