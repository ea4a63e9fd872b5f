// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/sheet_document.h"

#include "report/pdf_file.h"
#include "report/qt_report_pages.h"
#include "working/working_rows.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <cmath>

using zhuheng::ReportLine;
using zhuheng::Working;

QString sheet_face() {
    const QFont font = QGuiApplication::font();
    return font.families().value(0, font.family());
}

namespace {

constexpr double kMillimetresPerInch = 25.4;
constexpr double kPointsPerInch = 72;
// The size of a picture in a document is given in pixels of 96 to the inch.
constexpr double kDocumentPixelsPerInch = 96;

QTextCharFormat text_format() {
    QTextCharFormat format;
    const QString face = sheet_face();
    format.setFontFamilies({face});
    // Qt's OpenDocument writer names the face of a text by this older property only.
    format.setProperty(QTextFormat::OldFontFamily, face);
    format.setFontPointSize(kTypePoints);
    return format;
}

// The working's text outside Chinese words: formulas, numbers, units and marks.
QTextCharFormat formula_format() {
    QTextCharFormat format = text_format();
    format.setProperty(kFormulaText, true);
    return format;
}

bool chinese_word(QChar c) {
    return c.script() == QChar::Script_Han;
}

// A device as wide as the print area of `layout` at the PDF's resolution: text measured on it
// measures as on the PDF's page.
QImage measuring_page(const QPageLayout& layout) {
    QImage page(layout.paintRectPixels(kPdfResolution).width(), 1, QImage::Format_Mono);
    const int dots_per_metre = static_cast<int>(std::lround(kPdfResolution / 0.0254));
    page.setDotsPerMeterX(dots_per_metre);
    page.setDotsPerMeterY(dots_per_metre);
    return page;
}

QString trimmed(const std::string& text) {
    return QString::fromStdString(text).trimmed();
}

// The drawing within a box `width` x `height` mm, at kDrawingDpi; a null image when the box has
// too little room for its labels.
QImage drawn_section(const zhuheng::SectionDrawing& drawing, double width, double height) {
    const auto pixels = [](double mm) {
        return static_cast<int>(std::lround(mm / kMillimetresPerInch * kDrawingDpi));
    };
    QImage image(pixels(width), pixels(height), QImage::Format_RGB32);
    const int dots_per_metre = static_cast<int>(std::lround(kDrawingDpi / 0.0254));
    image.setDotsPerMeterX(dots_per_metre);
    image.setDotsPerMeterY(dots_per_metre);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(report_type());
    if (paint_section(painter, drawing, QRectF(0, 0, image.width(), image.height()), false) == 0) {
        return {};
    }
    return image;
}

class DocumentBuilder {
public:
    DocumentBuilder(QTextDocument& document, const QPageLayout& layout, const QString& drawing_name)
        : document_(document), cursor_(&document), text_(text_format()), formula_(formula_format()),
          page_(layout.paintRect(QPageLayout::Millimeter)), drawing_name_(drawing_name),
          measuring_page_(measuring_page(layout)), metrics_(report_type(), &measuring_page_) {}

    void line(const ReportLine& line) {
        const std::vector<std::string> groups = zhuheng::line_groups(line);
        if (groups.size() == 1) {
            paragraph(trimmed(groups[0]));
            return;
        }
        // The pairs two to a row, as the printed sheet sets them across A4.
        for (std::size_t i = 0; i < groups.size(); ++i) {
            if (i % 2 == 0) {
                new_row();
            }
            table_->cellAt(table_->rows() - 1, static_cast<int>(i % 2))
                .firstCursorPosition()
                .insertText(trimmed(groups[i]), text_);
        }
    }

    void working(const Working& working) {
        bool first = true;
        const auto working_line = [&](const zhuheng::WorkingLine& line) {
            working_paragraph(line, first);
            first = false;
        };
        for (const zhuheng::WorkingLine& line : working.lines) {
            working_line(line);
        }
        if (!working.figure) {
            return;
        }
        const zhuheng::SectionDrawing drawing = zhuheng::section_drawing(*working.figure);
        QImage image = drawn_section(drawing, page_.width(),
                                     section_box_height(page_.width(), page_.height()));
        if (image.isNull()) {
            image = drawn_section(drawing, page_.width(), page_.height());
        }
        if (image.isNull()) {
            working_line(zhuheng::WorkingLine{
                0, {zhuheng::Clause{{zhuheng::Words{kFigureTooWideForThePaper}}}}});
            return;
        }
        // Kept as PNG, which the writer takes as it is: a book of many drawings stays small. The
        // drawing is black, white and grey only: as grey levels its PNG holds a quarter of the
        // bytes and is made four times as fast.
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.convertToFormat(QImage::Format_Grayscale8).save(&buffer, "PNG");
        document_.addResource(QTextDocument::ImageResource, QUrl(drawing_name_), png);
        QTextImageFormat picture;
        picture.setName(drawing_name_);
        const double scale = kDocumentPixelsPerInch / kDrawingDpi;
        picture.setWidth(image.width() * scale);
        picture.setHeight(image.height() * scale);
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        begin_paragraph(centred);
        cursor_.insertImage(picture);
        begin_paragraph(centred);
        cursor_.insertText(QString::fromStdString(drawing.caption), text_);
    }

private:
    void new_row() {
        if (table_) {
            table_->appendRows(1);
            return;
        }
        QTextTableFormat format;
        format.setBorderStyle(QTextFrameFormat::BorderStyle_None);
        format.setBorder(0);
        format.setCellPadding(0);
        // Across the print area, in points: Qt's OpenDocument writer writes a width in per cent
        // as points, and a column's in per cent as no length an office suite takes.
        const double width = page_.width() / kMillimetresPerInch * kPointsPerInch;
        format.setWidth(QTextLength(QTextLength::FixedLength, width));
        format.setColumnWidthConstraints({QTextLength(QTextLength::FixedLength, width / 2),
                                          QTextLength(QTextLength::FixedLength, width / 2)});
        cursor_.movePosition(QTextCursor::End);
        table_ = cursor_.insertTable(1, 2, format);
    }

    // A new paragraph at the end, on a new page where asked; in the empty block that begins the
    // document or follows a table, where one stands.
    void begin_paragraph(QTextBlockFormat format, bool new_page = false) {
        table_ = nullptr;
        cursor_.movePosition(QTextCursor::End);
        if (new_page) {
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        }
        if (cursor_.block().length() == 1) {
            cursor_.setBlockFormat(format);
        } else {
            cursor_.insertBlock(format);
        }
    }

    void paragraph(const QString& text) {
        QTextBlockFormat format;
        format.setAlignment(Qt::AlignLeft);
        begin_paragraph(format);
        cursor_.insertText(text, text_);
    }

    // A line of the working in the rows the PDF sets it in, each row ended by a line separator,
    // the rows after the first hanging as on the page. No blank that a row may not end at is
    // left to break at, and the text outside Chinese words is marked formula text.
    void working_paragraph(const zhuheng::WorkingLine& line, bool new_page) {
        const WorkingLineRows set = working_line_rows(line, metrics_, measuring_page_.width());
        // In whole points, so that a font engine measuring the blanks a hair differently writes
        // the same document; the right margin gives a row more room than that takes.
        const auto length = [](double pixels) {
            return std::round(pixels / kPdfResolution * kPointsPerInch) / kPointsPerInch *
                   kDocumentPixelsPerInch;
        };
        QTextBlockFormat format;
        format.setAlignment(Qt::AlignLeft);
        format.setLeftMargin(length(set.indent + set.hanging));
        format.setTextIndent(-length(set.hanging));
        format.setProperty(kWorkingRows, true);
        begin_paragraph(format, new_page);
        for (std::size_t r = 0; r < set.rows.size(); ++r) {
            if (r > 0) {
                cursor_.insertText(QString(QChar::LineSeparator), text_);
            }
            const QString row = QString::fromStdString(zhuheng::with_no_break_blanks(set.rows[r]));
            for (qsizetype i = 0; i < row.size();) {
                const bool words = chinese_word(row[i]);
                qsizetype end = i + 1;
                while (end < row.size() && chinese_word(row[end]) == words) {
                    ++end;
                }
                cursor_.insertText(row.mid(i, end - i), words ? text_ : formula_);
                i = end;
            }
        }
    }

    QTextDocument& document_;
    QTextCursor cursor_;
    QTextCharFormat text_;
    QTextCharFormat formula_;
    QRectF page_; // the print area, in mm
    QString drawing_name_;
    QImage measuring_page_;
    QFontMetricsF metrics_;
    QTextTable* table_ = nullptr;
};

} // namespace

std::unique_ptr<QTextDocument> sheet_document(const std::vector<zhuheng::ReportBlock>& blocks,
                                              const QPageLayout& layout) {
    auto document = std::make_unique<QTextDocument>();
    QFont face(sheet_face());
    face.setPointSizeF(kTypePoints);
    document->setDefaultFont(face);
    append_sheet(*document, blocks, layout, kDrawingName);
    return document;
}

QTextCharFormat sheet_text_format() {
    return text_format();
}

void append_sheet(QTextDocument& document, const std::vector<zhuheng::ReportBlock>& blocks,
                  const QPageLayout& layout, const QString& drawing_name) {
    DocumentBuilder builder(document, layout, drawing_name);
    for (const zhuheng::ReportBlock& block : blocks) {
        if (const auto* line = std::get_if<ReportLine>(&block)) {
            builder.line(*line);
        } else {
            builder.working(std::get<Working>(block));
        }
    }
}
