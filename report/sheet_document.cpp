// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/sheet_document.h"

#include "report/qt_report_pages.h"

#include <QBuffer>
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
    QFont type = QGuiApplication::font();
    type.setPointSizeF(kTypePoints);
    painter.setFont(type);
    if (paint_section(painter, drawing, QRectF(0, 0, image.width(), image.height()), false) == 0) {
        return {};
    }
    return image;
}

class DocumentBuilder {
public:
    DocumentBuilder(QTextDocument& document, const QPageLayout& layout, const QString& drawing_name)
        : document_(document), cursor_(&document), text_(text_format()),
          page_(layout.paintRect(QPageLayout::Millimeter)), drawing_name_(drawing_name) {}

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
            paragraph(QString::fromStdString(zhuheng::line_text(line)), first);
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
        begin_paragraph(false, Qt::AlignHCenter);
        cursor_.insertImage(picture);
        begin_paragraph(false, Qt::AlignHCenter);
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

    // A new paragraph at the end; in the empty block that begins the document or follows a
    // table, where one stands.
    void begin_paragraph(bool new_page, Qt::Alignment alignment = Qt::AlignLeft) {
        table_ = nullptr;
        cursor_.movePosition(QTextCursor::End);
        QTextBlockFormat format;
        format.setAlignment(alignment);
        if (new_page) {
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        }
        if (cursor_.block().length() == 1) {
            cursor_.setBlockFormat(format);
        } else {
            cursor_.insertBlock(format);
        }
    }

    void paragraph(const QString& text, bool new_page = false) {
        begin_paragraph(new_page);
        cursor_.insertText(text, text_);
    }

    QTextDocument& document_;
    QTextCursor cursor_;
    QTextCharFormat text_;
    QRectF page_; // the print area, in mm
    QString drawing_name_;
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
