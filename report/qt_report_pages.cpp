// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/qt_report_pages.h"

#include "working/section_layout.h"
#include "working/working_rows.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

using zhuheng::PrintError;
using zhuheng::PrintSeparator;

QPageLayout report_page_layout(const QPageLayout& chosen) {
    // A layout never has margins below the printer's own (its minimum margins), so the larger of
    // the two is the margin chosen or 20 mm.
    const QMarginsF set = chosen.margins(QPageLayout::Millimeter);
    const double m = kMinimumMarginMillimetres;
    QPageLayout layout = chosen;
    layout.setUnits(QPageLayout::Millimeter);
    layout.setMargins(QMarginsF(std::max(m, set.left()), std::max(m, set.top()),
                                std::max(m, set.right()), std::max(m, set.bottom())));
    return layout;
}

std::vector<ItemPosition> item_positions(const zhuheng::ReportLine& line, const LineGeometry& g,
                                         const std::function<double(const QString&)>& width) {
    const double start = g.column * (line.indent - 1);
    std::vector<ItemPosition> positions;
    double x = start;
    int row = 0;
    bool pair_starts = true;
    for (std::size_t i = 0; i < line.items.size(); ++i) {
        const zhuheng::PrintItem& item = line.items[i];
        const double w = width(QString::fromStdString(item.text));
        // The pair: this item and those joined to it.
        double pair = w;
        for (std::size_t j = i; pair_starts && j + 1 < line.items.size() &&
                                line.items[j].separator == PrintSeparator::Join;
             ++j) {
            pair += width(QString::fromStdString(line.items[j + 1].text));
        }
        if (x > start && x + (pair_starts ? pair : w) > g.page_width) {
            ++row;
            x = start;
        }
        positions.push_back({x, row});
        x += w;
        pair_starts = item.separator != PrintSeparator::Join;
        if (item.separator == PrintSeparator::Zone) {
            // An item that ran past a zone's start pushes the next one to the zone after.
            x = (std::floor(x / g.zone) + 1) * g.zone;
        }
    }
    return positions;
}

namespace {

// Where the next line goes on the current page, and the page itself.
class Pen {
public:
    Pen(const QFont& font, QPagedPaintDevice& device, const PageBegun& page_begun)
        : device_(device), metrics_(font, &device), page_begun_(page_begun) {
        begun();
    }

    const QFontMetricsF& metrics() const { return metrics_; }
    double line_height() const { return metrics_.lineSpacing() * kLineSpacing; }
    double width() const { return device_.width(); }
    double y() const { return y_; }
    double room() const { return device_.height() - y_; }

    // Makes room for `height` on the page, beginning a new one when the rest is too short.
    void need(double height) {
        if (y_ > 0 && y_ + height > device_.height()) {
            new_page();
        }
    }
    void new_page() {
        if (!device_.newPage()) {
            throw PrintError("打印机无法开始新的一页");
        }
        y_ = 0;
        begun();
    }
    void advance(double height) { y_ += height; }

private:
    void begun() const {
        if (page_begun_) {
            page_begun_();
        }
    }

    QPagedPaintDevice& device_;
    QFontMetricsF metrics_;
    const PageBegun& page_begun_;
    double y_ = 0;
};

void paint_line(QPainter& painter, Pen& pen, const LineGeometry& g,
                const zhuheng::ReportLine& line) {
    const QFontMetricsF& metrics = pen.metrics();
    const auto width = [&metrics](const QString& text) { return metrics.horizontalAdvance(text); };
    const std::vector<ItemPosition> at = item_positions(line, g, width);
    int row = -1;
    for (std::size_t i = 0; i < line.items.size(); ++i) {
        if (at[i].row != row) {
            if (row >= 0) {
                pen.advance(pen.line_height());
            }
            row = at[i].row;
            pen.need(pen.line_height());
        }
        painter.drawText(QPointF(at[i].x, pen.y() + metrics.ascent()),
                         QString::fromStdString(line.items[i].text));
    }
    pen.advance(pen.line_height());
}

void paint_working(QPainter& painter, Pen& pen, const zhuheng::Working& working) {
    if (pen.y() > 0) {
        pen.new_page();
    }
    const QFontMetricsF& metrics = pen.metrics();
    const auto paint_line = [&](const zhuheng::WorkingLine& line) {
        const WorkingLineRows set = working_line_rows(line, metrics, pen.width());
        const std::vector<std::string>& rows = set.rows;
        // A line is kept on one page where it fits on one.
        pen.need(std::min<double>(rows.size() * pen.line_height(), pen.room() + pen.y()));
        for (std::size_t r = 0; r < rows.size(); ++r) {
            pen.need(pen.line_height());
            painter.drawText(
                QPointF(set.indent + (r == 0 ? 0 : set.hanging), pen.y() + metrics.ascent()),
                QString::fromStdString(rows[r]));
            pen.advance(pen.line_height());
        }
    };
    for (const zhuheng::WorkingLine& line : working.lines) {
        paint_line(line);
    }
    if (working.figure) {
        // On the next page when less is left than the drawing's box.
        const zhuheng::SectionDrawing drawing = zhuheng::section_drawing(*working.figure);
        const double height = section_box_height(pen.width(), pen.room() + pen.y());
        pen.advance(pen.line_height() / 2);
        if (pen.room() < height) {
            pen.new_page();
        }
        double used = paint_section(painter, drawing, QRectF(0, pen.y(), pen.width(), height));
        if (used == 0) {
            if (pen.y() > pen.line_height()) {
                pen.new_page();
            }
            used = paint_section(painter, drawing, QRectF(0, pen.y(), pen.width(), pen.room()));
        }
        pen.advance(used);
        if (used == 0) {
            // Not even a page holds the labels: the sheet says so, as for a section that cannot
            // be drawn, rather than leave the drawing out without a word.
            paint_line(zhuheng::WorkingLine{
                0, {zhuheng::Clause{{zhuheng::Words{kFigureTooWideForThePaper}}}}});
        }
    }
}

} // namespace

QFont report_type() {
    QFont type = QGuiApplication::font();
    type.setPointSizeF(kTypePoints);
    return type;
}

WorkingLineRows working_line_rows(const zhuheng::WorkingLine& line, const QFontMetricsF& metrics,
                                  double width) {
    const auto measure = [&metrics](const std::string& text) {
        return metrics.horizontalAdvance(QString::fromStdString(text));
    };
    WorkingLineRows set;
    set.indent = measure(std::string(static_cast<std::size_t>(line.indent), ' '));
    set.hanging = metrics.horizontalAdvance(QStringLiteral("\u3000\u3000"));
    set.rows = zhuheng::working_rows(zhuheng::line_pieces(line), width - set.indent,
                                     width - set.indent - set.hanging, measure);
    return set;
}

void paint_report(QPainter& painter, QPagedPaintDevice& device,
                  const std::vector<ReportBlock>& blocks, const PageBegun& page_begun) {
    const QFont type = report_type();
    painter.setFont(type);
    Pen pen(type, device, page_begun);
    const double em = kTypePoints * device.logicalDpiX() / 72.0;
    const double page_width = device.width();
    const double zones = std::max(1.0, std::floor(page_width / (kMinimumZoneEms * em)));
    const LineGeometry g{pen.metrics().averageCharWidth(), page_width / zones, page_width};
    bool after_working = false;
    for (const ReportBlock& block : blocks) {
        if (const auto* line = std::get_if<zhuheng::ReportLine>(&block)) {
            if (after_working) {
                pen.new_page(); // the next copy begins on a page of its own
                after_working = false;
            }
            paint_line(painter, pen, g, *line);
        } else {
            paint_working(painter, pen, std::get<zhuheng::Working>(block));
            after_working = true;
        }
    }
}

double paint_section(QPainter& painter, const zhuheng::SectionDrawing& d, const QRectF& box,
                     bool with_caption) {
    const QFontMetricsF metrics(painter.font(), painter.device());
    // The caption under the drawing, wrapped where the box is narrower than it.
    const QString caption = QString::fromStdString(d.caption);
    const int caption_flags = Qt::AlignHCenter | Qt::AlignBottom | Qt::TextWordWrap;
    const double caption_height =
        with_caption ? painter.boundingRect(QRectF(0, 0, box.width(), 1e9), caption_flags, caption)
                               .height() +
                           metrics.lineSpacing() * (kLineSpacing - 1)
                     : 0.0;
    const zhuheng::FigureType type{metrics.height(), [&metrics](const std::string& text) {
                                       return metrics.horizontalAdvance(
                                           QString::fromStdString(text));
                                   }};
    const auto layout = zhuheng::section_layout(
        d, {box.left(), box.top(), box.right(), box.bottom() - caption_height}, type);
    if (!layout) {
        return 0;
    }
    const auto point = [](const zhuheng::FigurePoint& p) { return QPointF(p.x, p.y); };
    const auto polygon = [&](const std::vector<zhuheng::FigurePoint>& points) {
        QPolygonF out;
        for (const auto& p : points) {
            out << point(p);
        }
        return out;
    };

    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(190, 190, 190));
    painter.drawPolygon(polygon(layout->compression));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, layout->outline_width));
    painter.drawPolygon(polygon(layout->outline));
    painter.setBrush(Qt::black);
    painter.drawEllipse(point(layout->steel), layout->steel_radius, layout->steel_radius);
    painter.setBrush(Qt::NoBrush);

    // Thin lines end where they are meant to: the labels keep their clearance from the ends.
    painter.setPen(QPen(Qt::black, layout->line_width, Qt::SolidLine, Qt::FlatCap));
    for (const zhuheng::FigureLine& line : layout->lines) {
        painter.drawLine(point(line.from), point(line.to));
    }
    for (const zhuheng::FigureLabel& label : layout->labels) {
        const QString text = QString::fromStdString(label.text);
        const QRectF at(QPointF(label.box.left, label.box.top),
                        QPointF(label.box.right, label.box.bottom));
        if (!label.upright) {
            painter.drawText(at, Qt::AlignCenter, text);
            continue;
        }
        painter.save();
        painter.translate(at.center());
        painter.rotate(-90);
        painter.drawText(QRectF(-at.height() / 2, -at.width() / 2, at.height(), at.width()),
                         Qt::AlignCenter, text);
        painter.restore();
    }
    if (with_caption) {
        painter.drawText(QRectF(box.left(), layout->bottom, box.width(), caption_height),
                         caption_flags, caption);
    }
    painter.restore();
    return layout->bottom + caption_height - box.top();
}
