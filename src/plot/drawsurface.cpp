#include "plot/drawsurface.h"

#include "common/numbertext.h"

void DrawSurface::line(float x1, float y1, float x2, float y2, Rgb colour) {
    paintSegment(x1, y1, x2, y2, false, colour);
    m_x = x2;
    m_y = y2;
}

void DrawSurface::line(float x1, float y1, float x2, float y2) {
    paintSegment(x1, y1, x2, y2, true, 0);
    m_x = x2;
    m_y = y2;
}

void DrawSurface::setTextPosition(float x, float y) {
    m_x = x;
    m_y = y;
}

void DrawSurface::printNumber(double value) {
    paintText(m_x, m_y, NumberText::printed(value));
}

void DrawSurface::printText(const QString& text) {
    paintText(m_x, m_y, text);
}
