#pragma once

#include "plot/drawsurface.h"
#include "plot/graphgeometry.h"

#include <QColor>
#include <QFont>
#include <QPointF>
#include <vector>

class QPainter;

// Paints the graph with a QPainter: the window's drawing layer, the saved
// and copied pictures and the export command all draw through this, so a
// picture shows exactly what the window does. Twips become logical pixels
// (15 to one); the painter's own transform does any further scaling, so the
// same drawing comes out sharp at any device-pixel ratio or in SVG.
class PainterSurface : public DrawSurface {
public:
    static constexpr double TwipsPerPixel = GraphGeometry::TwipsPerPixel;

    struct Style {
        QColor foreground;
        QFont font;
    };

    // The painter must outlive the surface; its pen and font are taken over.
    PainterSurface(QPainter& painter, const Style& style);

protected:
    void paintSegment(float x1, float y1, float x2, float y2, bool foreground, Rgb colour) override;
    void paintText(float x, float y, const QString& text) override;

private:
    void usePen(const QColor& colour);

    QPainter& m_painter;
    QColor m_foreground;
    // The two curves alternate their colours segment by segment: one pen per
    // colour, set as it is, spares building a pen at each change.
    std::vector<QPen> m_pens;
    std::size_t m_current = 0;
    bool m_penSet = false;
};
