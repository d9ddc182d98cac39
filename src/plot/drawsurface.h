#pragma once

#include <QString>
#include <cstdint>

// Where the graph goes: line segments, a current text position and printed
// numbers, all in twips of the window's client area. The plotting code
// draws only through this, so it runs the same onto a window and onto a
// recording in the tests.
class DrawSurface {
public:
    using Rgb = std::uint32_t; // 0xRRGGBB

    virtual ~DrawSurface() = default;

    void line(float x1, float y1, float x2, float y2, Rgb colour);
    // A segment in the window's foreground colour.
    void line(float x1, float y1, float x2, float y2);
    void setTextPosition(float x, float y);
    // Prints with the graph's rule: a blank for the sign of a non-negative
    // number and a blank after it, at the current text position.
    void printNumber(double value);
    // Text already in its printed form, at the current text position: a
    // recorded drawing played back onto another surface.
    void printText(const QString& text);

    float currentX() const { return m_x; }
    float currentY() const { return m_y; }

protected:
    virtual void paintSegment(float x1, float y1, float x2, float y2, bool foreground,
                              Rgb colour) = 0;
    virtual void paintText(float x, float y, const QString& text) = 0;

private:
    float m_x = 0;
    float m_y = 0;
};
