#include "plot/recordingsurface.h"

void RecordingSurface::clear() {
    m_ops.clear();
    m_textAt.clear();
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
    if (!m_keep)
        return;
    m_textAt.push_back(m_ops.size());
    m_ops.push_back({Op::Text, x, y, x, y, true, 0, text});
}

bool RecordingSurface::printedBefore(std::size_t index) const {
    const Op& op = m_ops[index];
    for (std::size_t i : m_textAt) {
        if (i >= index)
            return false;
        const Op& earlier = m_ops[i];
        if (earlier.x1 == op.x1 && earlier.y1 == op.y1 && earlier.text == op.text)
            return true;
    }
    return false;
}

void RecordingSurface::replay(DrawSurface& target, std::size_t from, bool textsOnce) const {
    for (std::size_t i = from; i < m_ops.size(); ++i) {
        const Op& op = m_ops[i];
        if (op.kind == Op::Segment) {
            if (op.foreground)
                target.line(op.x1, op.y1, op.x2, op.y2);
            else
                target.line(op.x1, op.y1, op.x2, op.y2, op.colour);
            continue;
        }
        if (textsOnce && printedBefore(i))
            continue;
        target.setTextPosition(op.x1, op.y1);
        target.printText(op.text);
    }
}
