#include "plot/recordingsurface.h"

void RecordingSurface::clear() {
    m_ops.clear();
    m_segments = 0;
    m_texts = 0;
}

void RecordingSurface::paintSegment(float x1, float y1, float x2, float y2, bool foreground,
                                    Rgb colour) {
    ++m_segments;
    if (m_keep)
        m_ops.push_back({Op::Segment, x1, y1, x2, y2, foreground, colour, {}});
}

void RecordingSurface::paintText(float x, float y, const QString& text) {
    ++m_texts;
    if (m_keep)
        m_ops.push_back({Op::Text, x, y, x, y, true, 0, text});
}
