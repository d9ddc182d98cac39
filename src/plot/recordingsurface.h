#pragma once

#include "plot/drawsurface.h"

#include <vector>

// A surface that remembers what was drawn on it, for the tests and the fuzzer.
class RecordingSurface : public DrawSurface {
public:
    struct Op {
        enum Kind { Segment, Text } kind;
        float x1, y1, x2, y2;
        bool foreground;
        Rgb colour;
        QString text;
    };

    explicit RecordingSurface(bool keepOps = true) : m_keep(keepOps) {}

    const std::vector<Op>& ops() const { return m_ops; }
    std::size_t segmentCount() const { return m_segments; }
    std::size_t textCount() const { return m_texts; }
    void clear();
    // Draws the recorded operations from index `from` on onto another
    // surface, in their order. With textsOnce a text printed again at the
    // same place is drawn only the first time, even when that time lies
    // before `from`: a disaster mark prints the time numbers over
    // themselves, and antialiased glyphs darken each time.
    void replay(DrawSurface& target, std::size_t from = 0, bool textsOnce = false) const;

protected:
    void paintSegment(float x1, float y1, float x2, float y2, bool foreground, Rgb colour) override;
    void paintText(float x, float y, const QString& text) override;

private:
    bool printedBefore(std::size_t index) const;

    bool m_keep;
    std::vector<Op> m_ops;
    // Where the texts lie in m_ops: a graph prints a few dozen of them among
    // tens of thousands of segments.
    std::vector<std::size_t> m_textAt;
    std::size_t m_segments = 0;
    std::size_t m_texts = 0;
};
