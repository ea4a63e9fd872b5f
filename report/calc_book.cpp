// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/calc_book.h"

#include "report/book_summary.h"
#include "report/document_file.h"
#include "report/page_counter.h"
#include "report/pdf_file.h"
#include "report/qt_report_pages.h"
#include "report/saved_file.h"
#include "report/sheet_document.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using zhuheng::PrintError;

namespace {

constexpr double kPointsPerMillimetre = 72 / 25.4;
constexpr double kFormatPixelsPerInch = 96;

// A summary that grows by a page moves every sheet on by one, which may widen its page column:
// a few layouts settle it.
constexpr int kSummaryLayouts = 4;

// How many pages each completed row's sheet takes (0 for a row without one), learnt by painting
// the sheets, as the book will, on a writer that writes nothing.
std::vector<int> sheet_page_counts(const QPageLayout& layout, const std::vector<BookEntry>& entries,
                                   bool with_working) {
    PageCounter counter(kPdfResolution, layout);
    QPainter painter;
    if (!painter.begin(&counter)) {
        throw PrintError("无法开始写入 PDF 文件");
    }
    painter.setPen(Qt::NoPen);
    std::vector<int> pages(entries.size(), 0);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].state) {
            counter.newPage();
            paint_report(painter, counter, zhuheng::calc_sheet(*entries[i].state, true, with_working),
                         [&pages, i] { ++pages[i]; });
        }
    }
    return pages;
}

// The summary laid out on the pages of `writer`, the page column filled in.
struct Summary {
    std::unique_ptr<QTextDocument> document;
    std::vector<int> first_pages; // where each row's sheet begins; 0 for none
    int pages = 0;                // of the whole book
};

Summary laid_out_summary(QPdfWriter& writer, const std::vector<BookEntry>& entries,
                         const std::vector<int>& sheet_pages) {
    Summary summary;
    int summary_pages = 1;
    for (int layouts = 0; layouts < kSummaryLayouts; ++layouts) {
        summary.first_pages.assign(entries.size(), 0);
        int next = summary_pages + 1;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (sheet_pages[i] > 0) {
                summary.first_pages[i] = next;
                next += sheet_pages[i];
            }
        }
        summary.pages = next - 1;
        summary.document = std::make_unique<QTextDocument>();
        summary.document->setDocumentMargin(0);
        // Lengths of a format are in pixels of 96 to the inch, the layout scales them to the
        // writer's.
        append_book_summary(*summary.document, entries, &summary.first_pages,
                            writer.width() * kFormatPixelsPerInch / kPdfResolution);
        // Laid out once, whole, on the writer's pages.
        summary.document->documentLayout()->setPaintDevice(&writer);
        summary.document->setPageSize(QSizeF(writer.width(), writer.height()));
        if (summary.document->pageCount() == summary_pages) {
            return summary;
        }
        summary_pages = summary.document->pageCount();
    }
    throw PrintError("计算书的汇总表排不出页码");
}

// The line in the top margin of every page of the book: what the page belongs to, and its number.
class Headings {
public:
    Headings(QPainter& painter, const QPageLayout& layout, QPdfWriter& writer, int pages)
        : painter_(painter), writer_(writer),
          margin_(layout.paintRectPixels(kPdfResolution).top()), pages_(pages) {
        type_ = QGuiApplication::font();
        type_.setPointSizeF(kTypePoints);
    }

    int page() const { return page_; }

    // The heading of the page just begun, the next in the book.
    void page_begun(const QString& belongs_to) {
        ++page_;
        painter_.save();
        painter_.setFont(type_);
        const QRectF band(0, -margin_, writer_.width(), margin_);
        painter_.drawText(band, Qt::AlignLeft | Qt::AlignVCenter, belongs_to);
        painter_.drawText(band, Qt::AlignRight | Qt::AlignVCenter,
                          QStringLiteral("第 %1 页，共 %2 页").arg(page_).arg(pages_));
        painter_.restore();
    }

private:
    QPainter& painter_;
    QPdfWriter& writer_;
    QFont type_;
    double margin_;
    int pages_;
    int page_ = 0;
};

void paint_summary(QPainter& painter, QPdfWriter& writer, const Summary& summary,
                   Headings& headings) {
    QTextDocument& document = *summary.document;
    const double height = document.pageSize().height();
    for (int page = 0; page < document.pageCount(); ++page) {
        if (page > 0 && !writer.newPage()) {
            throw PrintError("打印机无法开始新的一页");
        }
        headings.page_begun(QStringLiteral("汇总"));
        painter.save();
        const QRectF on_page(0, page * height, writer.width(), height);
        painter.setClipRect(QRectF(0, 0, on_page.width(), on_page.height()));
        painter.translate(0, -on_page.top());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = on_page;
        document.documentLayout()->draw(&painter, context);
        painter.restore();
    }
}

QString heading(const BookEntry& entry) {
    return QStringLiteral("编号：") + book_row_name(entry);
}

} // namespace

void write_calc_book_pdf(const QString& path, const QPageLayout& layout,
                         const std::vector<BookEntry>& entries, bool with_working) {
    const std::vector<int> sheet_pages = sheet_page_counts(layout, entries, with_working);
    save_whole(path, QStringLiteral("无法写入 PDF 文件“%1”：%2"), [&](QIODevice& file) {
        QPdfWriter writer(&file);
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(layout);
        writer.setTitle(kDocumentTitle);
        writer.setCreator(document_creator());
        const Summary summary = laid_out_summary(writer, entries, sheet_pages);
        QPainter painter;
        if (!painter.begin(&writer)) {
            throw PrintError("无法开始写入 PDF 文件");
        }
        Headings headings(painter, layout, writer, summary.pages);
        paint_summary(painter, writer, summary, headings);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (!entries[i].state) {
                continue;
            }
            if (!writer.newPage()) {
                throw PrintError("打印机无法开始新的一页");
            }
            const QString belongs_to = heading(entries[i]);
            paint_report(painter, writer, zhuheng::calc_sheet(*entries[i].state, true, with_working),
                         [&] { headings.page_begun(belongs_to); });
            // The counting and this painting break the pages alike, or the page column is wrong.
            if (headings.page() != summary.first_pages[i] + sheet_pages[i] - 1) {
                throw PrintError("计算书的页码与汇总表不符");
            }
        }
        return painter.end();
    });
}

void write_calc_book_document(const QString& path, const QPageLayout& layout,
                              const std::vector<BookEntry>& entries, bool with_working) {
    QTextDocument document;
    QFont face(sheet_face());
    face.setPointSizeF(kTypePoints);
    document.setDefaultFont(face);
    // Built in one edit without undo: otherwise each insertion keeps an undo step and scans the
    // frames of the whole document (a table is a frame), and a book of many sheets takes minutes.
    document.setUndoRedoEnabled(false);
    QTextCursor edit(&document);
    edit.beginEditBlock();
    const double width = layout.paintRect(QPageLayout::Millimeter).width() * kPointsPerMillimetre;
    append_book_summary(document, entries, nullptr, width);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].state) {
            continue;
        }
        // After the table, Qt's document keeps an empty paragraph: the heading takes it.
        QTextCursor cursor(&document);
        cursor.movePosition(QTextCursor::End);
        QTextBlockFormat new_page;
        new_page.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        if (cursor.block().length() == 1) {
            cursor.setBlockFormat(new_page);
        } else {
            cursor.insertBlock(new_page);
        }
        cursor.insertText(heading(entries[i]), sheet_text_format());
        append_sheet(document, zhuheng::calc_sheet(*entries[i].state, true, with_working), layout,
                     QStringLiteral("section-%1.png").arg(i + 1));
    }
    edit.endEditBlock();
    write_text_document(path, document, layout);
}
