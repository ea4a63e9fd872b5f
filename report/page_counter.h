// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPageLayout>
#include <QPaintEngine>
#include <QPdfWriter>

// A PDF writer that writes nothing: painted on as the writer of a document it stands for (the
// same resolution and page layout, so the same type measures and the same page sizes), it breaks
// the pages where that one will, without drawing a thing. A document learns so on which page each
// part of it begins before it writes its first page. Paint on it with no pen: no text is shaped.
class PageCounter : public QPdfWriter {
public:
    PageCounter(int resolution, const QPageLayout& layout);
    bool newPage() override { return true; }

protected:
    QPaintEngine* paintEngine() const override;

private:
    // Takes every drawing call and does nothing; it has every feature, so that QPainter never
    // draws an image of something instead.
    class Nothing : public QPaintEngine {
    public:
        Nothing() : QPaintEngine(QPaintEngine::AllFeatures) {}
        using QPaintEngine::drawEllipse;
        using QPaintEngine::drawLines;
        using QPaintEngine::drawPolygon;
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPath(const QPainterPath&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawLines(const QLineF*, int) override {}
        void drawEllipse(const QRectF&) override {}
        void drawTextItem(const QPointF&, const QTextItem&) override {}
        Type type() const override { return QPaintEngine::User; }
    };
    mutable Nothing engine_;
};
