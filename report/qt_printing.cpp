// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/qt_printing.h"

#include <QCheckBox>
#include <QDir>
#include <QLocale>
#include <QPageRanges>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintEngine>
#include <QPrinter>
#include <QSaveFile>
#include <QVBoxLayout>

#include <cerrno>
#include <cstring>

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

// Why a write failed, in the user's language where the cause is a common one: from errno
// where the failing call left it, else from what the file recorded.
QString write_failure(int error, const QSaveFile& file) {
    if (error == ENOSPC || (error == 0 && file.error() == QFileDevice::ResourceError)) {
        return QStringLiteral("磁盘空间不足");
    }
    if (error == EFBIG) {
        return QStringLiteral("文件超过允许的大小");
    }
    return error != 0 ? QString::fromLocal8Bit(std::strerror(error)) : file.errorString();
}

// The PDF's creator and a print job's: the program and its version.
const QString kCreator = QStringLiteral("筑衡 " ZHUHENG_VERSION);

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
        if (owned_->outputFormat() == QPrinter::PdfFormat &&
            QLocale::system().measurementSystem() == QLocale::ImperialUSSystem) {
            owned_->setPageSize(QPageSize(QPageSize::Letter));
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
        write_pdf(printer, blocks);
    } else {
        print(printer, blocks);
    }
}

// The file is written aside and put in place only when the whole document has been written, so
// that a full disk or any other write error leaves neither a half file nor a damaged earlier one.
void QtReportPrinter::write_pdf(const QPrinter& printer, const std::vector<ReportBlock>& blocks) {
    QSaveFile file(printer.outputFileName());
    if (!file.open(QIODevice::WriteOnly)) {
        throw PrintError("无法打开打印机");
    }
    QPdfWriter writer(&file);
    writer.setResolution(printer.resolution());
    writer.setPageLayout(printer.pageLayout());
    writer.setTitle(kDocumentTitle);
    writer.setCreator(kCreator);
    QPainter painter;
    if (!painter.begin(&writer)) {
        throw PrintError("无法打开打印机");
    }
    paint_report(painter, writer, blocks); // a PrintError leaves the file uncommitted: dropped
    const bool ended = painter.end();
    // QSaveFile::commit() does not see a failure of its own final flush and would put the
    // truncated file in place (Qt 6.4): the flush is made and checked here first.
    errno = 0;
    const bool flushed = file.flush();
    const int error = errno;
    if (!ended || !flushed || file.error() != QFileDevice::NoError || !file.commit()) {
        throw PrintError(QStringLiteral("无法写入 PDF 文件“%1”：%2")
                             .arg(QDir::toNativeSeparators(printer.outputFileName()),
                                  write_failure(flushed ? 0 : error, file))
                             .toStdString());
    }
}

void QtReportPrinter::print(QPrinter& printer, const std::vector<ReportBlock>& blocks) {
    printer.setDocName(kDocumentTitle);
    printer.setCreator(kCreator);
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
