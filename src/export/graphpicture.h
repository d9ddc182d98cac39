#pragma once

#include "export/paintersurface.h"
#include "plot/graphgeometry.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <functional>

class QPainter;

// The graph box of a main window as a picture: its background and border,
// whatever a drawing puts on it, then the axes, their captions and the view
// line in front, in the window's stacking order and at the window's pixel
// positions. The window's saved picture and the export command both make
// their pictures here; the drawing goes through PainterSurface as it does
// on the window.
class GraphPicture {
public:
    // The graph box (`Graph`) in twips of the window's client area.
    static constexpr int Left = GraphGeometry::BoxLeft;
    static constexpr int Top = GraphGeometry::BoxTop;
    static constexpr int Width = GraphGeometry::BoxWidth;
    static constexpr int Height = GraphGeometry::BoxHeight;

    // The fixed elements around the drawing, with the window's colours.
    struct Frame {
        QString originText = QStringLiteral("0");
        QString valueCaption = QStringLiteral("x,y");
        QString timeCaption = QStringLiteral("t");
        // Twips; 0 or less leaves the view line out.
        int viewLineX = 480;
        QColor background;
        QColor foreground;
        QFont font;

        // As the light window looks before anything is marked, in the
        // application's palette.
        static Frame standard();
    };

    // The windows' font, which the numbers on the graph are printed in.
    static QFont windowFont();
    // Logical pixels: 537 x 249.
    static QSize size();

    using Drawing = std::function<void(DrawSurface&)>;

    // Rendered at the given device-pixel ratio: size() times scale pixels.
    // A RunError thrown by the drawing passes through.
    static QImage image(const Frame& frame, qreal scale, const Drawing& draw);
    static QByteArray png(const Frame& frame, qreal scale, const Drawing& draw);
    static QByteArray svg(const Frame& frame, const Drawing& draw);

private:
    static void paintBox(QPainter& p, const Frame& frame);
    static void paintFront(QPainter& p, const Frame& frame);
};
