#pragma once

#include "export/paintersurface.h"
#include "plot/graphgeometry.h"

#include <QByteArray>
#include <QImage>
#include <QList>
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

    // A strip under the box, for a reader who sees the picture away from
    // the program: a key to what is drawn, then a caption line (wrapped at
    // "; " when it is wider than the box).
    struct Key {
        struct Entry {
            enum Mark { Line, Cross, Square } mark;
            QColor colour;
            QString text;
        };
        QList<Entry> entries;
        QString caption;
    };

    // The picture's size with the strip under the box.
    static QSize size(const Frame& frame, const Key* key);

    using Drawing = std::function<void(DrawSurface&)>;

    // Rendered at the given device-pixel ratio: size() times scale pixels.
    // A RunError thrown by the drawing passes through. Without a key the
    // picture is the box alone, as scripts have always read it.
    static QImage image(const Frame& frame, qreal scale, const Drawing& draw,
                        const Key* key = nullptr);
    static QByteArray png(const Frame& frame, qreal scale, const Drawing& draw,
                          const Key* key = nullptr);
    static QByteArray svg(const Frame& frame, const Drawing& draw, const Key* key = nullptr);
    // Any picture of `whole` pixels as SVG, as every picture of the program
    // is written: in its own pixels, text as large as on a plain image.
    static QByteArray svgOf(const QSize& whole, const QString& title,
                            const std::function<void(QPainter&)>& paint);

private:
    static void paintBox(QPainter& p, const Frame& frame);
    static void paintFront(QPainter& p, const Frame& frame);
    static void paintKey(QPainter& p, const Frame& frame, const Key& key);
};
