#pragma once

// The window's drawing layer: a transparent widget lying above the graph's
// background and below the labels, lines and shapes. It keeps what was drawn
// in an image, so covering or moving the window does not lose the graph.
// Segments are queued and painted in one go when the layer next paints,
// which keeps a pass of thousands of steps cheap. What was drawn since the
// last clear stays recorded, so that the graph can be painted again at any
// size (a saved picture). A number printed again where it already stands is
// not drawn again, here as in the picture, so that it does not darken.

#include "plot/drawsurface.h"
#include "plot/graphgeometry.h"
#include "plot/recordingsurface.h"
#include "ui/frameupdates.h"

#include <QImage>
#include <QWidget>
#include <vector>

class DrawingLayer : public QWidget, public DrawSurface {
    Q_OBJECT
public:
    static constexpr double TwipsPerPixel = GraphGeometry::TwipsPerPixel;

    explicit DrawingLayer(QWidget* parent);

    // Erases everything drawn so far.
    void clear();
    // The drawing as it stands, with every queued segment painted.
    QImage image();
    // Paints the queued segments into the image now.
    void flush();
    // Everything drawn since the last clear, in twips.
    const RecordingSurface& record() const { return m_record; }
    // The frames the layer repaints in; a window's controls that change
    // with each step are held for them too.
    FrameUpdates& frames() { return m_frames; }

protected:
    void paintSegment(float x1, float y1, float x2, float y2, bool foreground, Rgb colour) override;
    void paintText(float x, float y, const QString& text) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The part of the layer the next repaint covers, in pixels.
    struct Box {
        double left = 0, top = 0, right = 0, bottom = 0;
        bool isEmpty() const { return !(left < right && top < bottom); }
    };
    void ensureImage();
    // Queues a repaint of the box, clipped to the layer.
    void markDirty(double left, double top, double right, double bottom);

    void repaintDirty();

    QImage m_image;
    RecordingSurface m_record;
    // The operations of m_record already painted into m_image.
    std::size_t m_painted = 0;
    Box m_dirty;
    FrameUpdates m_frames;
};
