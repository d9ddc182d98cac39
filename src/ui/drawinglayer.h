#pragma once

// The window's drawing layer: a transparent widget lying above the graph's
// background and below the labels, lines and shapes. It keeps what was drawn
// in an image, so covering or moving the window does not lose the graph.
// Segments are queued and painted in one go when the layer next paints,
// which keeps a pass of thousands of steps cheap. Printed numbers are kept
// in an image of their own above the curves (a number is always printed
// after the curves it labels), where printing the same number again leaves
// its antialiased edges as they were instead of darkening them.

#include "plot/drawsurface.h"

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <vector>

class DrawingLayer : public QWidget, public DrawSurface {
    Q_OBJECT
public:
    static constexpr double TwipsPerPixel = 15.0;

    explicit DrawingLayer(QWidget* parent);

    // Erases everything drawn so far.
    void clear();
    // The drawing as it stands, with every queued segment painted.
    QImage image();
    // Paints the queued segments into the image now.
    void flush();

protected:
    void paintSegment(float x1, float y1, float x2, float y2, bool foreground, Rgb colour) override;
    void paintText(float x, float y, const QString& text) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Pending {
        QLineF line;
        QColor colour;
        QString text; // empty for a segment
    };
    // The part of the layer the next repaint covers, in pixels.
    struct Box {
        double left = 0, top = 0, right = 0, bottom = 0;
        bool isEmpty() const { return !(left < right && top < bottom); }
    };
    void ensureImage();
    void printInto(const Pending& op);
    // Queues a repaint of the box, clipped to the layer.
    void markDirty(double left, double top, double right, double bottom);

    void repaintDirty();

    static constexpr int FrameMs = 16;
    QImage m_image;
    QImage m_text;
    std::vector<Pending> m_pending;
    Box m_dirty;
    QTimer m_repaintTimer;
    QElapsedTimer m_sinceRepaint;
};
