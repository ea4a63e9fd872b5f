// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview_text.h"

#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QLineF>
#include <QPaintEngine>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QStyleOptionGraphicsItem>
#include <QTextItem>

#include <algorithm>

namespace {

// A paint engine that keeps the text drawn and drops everything else. Having every feature,
// it gets the text as the painter's items, in the painter's coordinates, instead of as paths.
class TextEngine : public QPaintEngine {
public:
    TextEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {
    }
    void drawTiledPixmap(const QRectF&, const QPixmap&, const QPointF&) override {}
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}

    // A text item goes on the run it continues: one drawn where the run ends, in its direction
    // (a value after its label; a string the painter drew in several items); else it begins a
    // run, on the row of the run before where its baseline is that row's.
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        const QTransform t = painter()->combinedTransform();
        const QPointF start = t.map(p);
        const QPointF end = t.map(p + QPointF(item.width(), 0));
        // Positions differ by rounding only within a tenth of the type's height.
        const double slack = QLineF(start, t.map(p - QPointF(0, item.ascent()))).length() / 10;
        const bool level = std::abs(end.y() - start.y()) <= slack;
        if (!text.empty() && QLineF(end_, start).length() <= slack) {
            text.back().back() += item.text();
        } else if (!text.empty() && level && level_ && std::abs(start.y() - end_.y()) <= slack) {
            text.back().push_back(item.text());
        } else {
            text.push_back({item.text()});
        }
        end_ = end;
        level_ = level;
    }

    PageText text;

private:
    QPointF end_;       // where the last run ends
    bool level_ = true; // whether it runs from left to right
};

class TextDevice : public QPaintDevice {
public:
    explicit TextDevice(QSize size) : size_(size) {}
    QPaintEngine* paintEngine() const override { return &engine_; }
    PageText text() const { return engine_.text; }

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth:
            return size_.width();
        case PdmHeight:
            return size_.height();
        case PdmWidthMM:
            return size_.width() * 254 / 960;
        case PdmHeightMM:
            return size_.height() * 254 / 960;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return 0;
        default:
            return QPaintDevice::metric(metric);
        }
    }

private:
    QSize size_;
    mutable TextEngine engine_;
};

} // namespace

std::vector<PageText> preview_text(const QPrintPreviewWidget& preview) {
    const auto* view = preview.findChild<QGraphicsView*>();
    if (!view || !view->scene()) {
        return {};
    }
    // The preview sets its pages out top to bottom (left to right where it shows two across).
    QList<QGraphicsItem*> pages = view->scene()->items();
    std::sort(pages.begin(), pages.end(), [](const QGraphicsItem* a, const QGraphicsItem* b) {
        return std::make_pair(a->pos().y(), a->pos().x()) <
               std::make_pair(b->pos().y(), b->pos().x());
    });
    std::vector<PageText> text;
    for (QGraphicsItem* page : pages) {
        const QRectF bounds = page->boundingRect();
        TextDevice device(bounds.size().toSize());
        QPainter painter(&device);
        painter.translate(-bounds.topLeft());
        QStyleOptionGraphicsItem option;
        option.exposedRect = bounds;
        page->paint(&painter, &option, nullptr);
        painter.end();
        text.push_back(device.text());
    }
    return text;
}
