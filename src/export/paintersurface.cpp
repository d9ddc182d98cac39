#include "export/paintersurface.h"

#include <QPainter>

PainterSurface::PainterSurface(QPainter& painter, const Style& style)
    : m_painter(painter), m_foreground(style.foreground) {
    // Aliased, as the graph has always been drawn: a segment is the same
    // pixels however often it is drawn, so the disaster mark's redraw of
    // the curves over themselves changes nothing.
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setFont(style.font);
}

void PainterSurface::usePen(const QColor& colour) {
    if (m_penSet && m_pens[m_current].color() == colour)
        return;
    m_current = 0;
    while (m_current < m_pens.size() && m_pens[m_current].color() != colour)
        ++m_current;
    if (m_current == m_pens.size()) {
        // One logical pixel wide, not one device pixel: a picture rendered
        // at twice the size keeps the proportions of the window.
        QPen pen(colour);
        pen.setWidthF(1.0);
        pen.setCosmetic(false);
        m_pens.push_back(pen);
    }
    m_painter.setPen(m_pens[m_current]);
    m_penSet = true;
}

void PainterSurface::paintSegment(float x1, float y1, float x2, float y2, bool foreground,
                                  Rgb colour) {
    usePen(foreground ? m_foreground : QColor::fromRgb(colour));
    m_painter.drawLine(
        QLineF(x1 / TwipsPerPixel, y1 / TwipsPerPixel, x2 / TwipsPerPixel, y2 / TwipsPerPixel));
}

void PainterSurface::paintText(float x, float y, const QString& text) {
    usePen(m_foreground);
    const QPointF at(x / TwipsPerPixel, y / TwipsPerPixel);
    m_painter.drawText(QRectF(at, QSizeF(4000, 4000)), Qt::AlignLeft | Qt::AlignTop, text);
}
