#include "plot/recordingsurface.h"

#include <algorithm>

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

void RecordingSurface::replay(DrawSurface& target, std::size_t from, bool textsOnce) const {
    // A graph prints a few dozen numbers, so a plain list of those already
    // drawn is all the bookkeeping this needs.
    std::vector<const Op*> printed;
    for (std::size_t i = from; i < m_ops.size(); ++i) {
        const Op& op = m_ops[i];
        if (op.kind == Op::Segment) {
            if (op.foreground)
                target.line(op.x1, op.y1, op.x2, op.y2);
            else
                target.line(op.x1, op.y1, op.x2, op.y2, op.colour);
            continue;
        }
        if (textsOnce) {
            const auto same = [&op](const Op* o) {
                return o->x1 == op.x1 && o->y1 == op.y1 && o->text == op.text;
            };
            if (std::any_of(printed.begin(), printed.end(), same))
                continue;
            printed.push_back(&op);
        }
        target.setTextPosition(op.x1, op.y1);
        target.printText(op.text);
    }
}
