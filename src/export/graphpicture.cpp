#include "export/graphpicture.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QSvgGenerator>
#include <cmath>

namespace {
using namespace GraphGeometry;

// The window places its controls at whole pixels, twips / 15 rounded down.
int px(int twips) {
    return twips / TwipsPerPixel;
}

QRect pxRect(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}

// A line control: a widget around the line's pixels that paints a 1-pixel
// pen between its ends, and nothing outside itself.
void paintLine(QPainter& p, const QColor& colour, int x1, int y1, int x2, int y2) {
    const QRect box(QPoint(px(std::min(x1, x2)), px(std::min(y1, y2))),
                    QPoint(px(std::max(x1, x2)), px(std::max(y1, y2))));
    p.save();
    p.setClipRect(box);
    p.setPen(QPen(colour, 1));
    p.drawLine(px(x1), px(y1), px(x2), px(y2));
    p.restore();
}

// A transparent label: centred at the top of its box and cut off at its edges.
void paintLabel(QPainter& p, const QColor& colour, const QRect& box, const QString& text) {
    p.save();
    p.setClipRect(box);
    p.setPen(QPen(colour, 1));
    p.drawText(box, Qt::AlignHCenter | Qt::AlignTop | Qt::TextForceLeftToRight, text);
    p.restore();
}
} // namespace

QFont GraphPicture::windowFont() {
    QFont f(QStringLiteral("Liberation Sans"), 8);
    f.setStyleHint(QFont::SansSerif);
    return f;
}

GraphPicture::Frame GraphPicture::Frame::standard() {
    Frame f;
    const QPalette palette = QGuiApplication::palette();
    f.background = palette.color(QPalette::Base);
    f.foreground = palette.color(QPalette::WindowText);
    f.font = windowFont();
    return f;
}

QSize GraphPicture::size() {
    return QSize(px(Width), px(Height));
}

void GraphPicture::paintBox(QPainter& p, const Frame& frame) {
    const QRect box = pxRect(Left, Top, Width, Height);
    p.fillRect(box, frame.background);
    p.setPen(QPen(frame.foreground, 1));
    p.drawRect(box.adjusted(0, 0, -1, -1));
}

void GraphPicture::paintFront(QPainter& p, const Frame& frame) {
    p.setFont(frame.font);
    const QColor& fg = frame.foreground;
    // Back to front, as the windows stack them.
    paintLine(p, fg, AxisLeft, AxisBottom, AxisRight, AxisBottom);
    paintLine(p, fg, AxisLeft, AxisBottom, AxisLeft, AxisTop);
    paintLabel(p, fg, pxRect(AxisRight, 4200, 135, 255), frame.timeCaption);
    paintLabel(p, fg, pxRect(360, BoxTop, 255, 255), frame.valueCaption);
    paintLabel(p, fg, pxRect(360, AxisBottom, 135, 255), frame.originText);
    if (frame.viewLineX > 0)
        paintLine(p, fg, frame.viewLineX, AxisTop, frame.viewLineX, AxisBottom);
}

QImage GraphPicture::image(const Frame& frame, qreal scale, const Drawing& draw) {
    const QSize pixels(int(std::ceil(size().width() * scale)),
                       int(std::ceil(size().height() * scale)));
    // Everything below is placed in the window's own pixels; the painter
    // moves the graph box to the corner of the picture.
    const QPoint corner(px(Left), px(Top));

    // The drawing goes onto a layer of its own, as on the window, where it
    // lies between the box and the controls in front of it: antialiased
    // numbers then blend exactly as they do there.
    QImage layer(pixels, QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(scale);
    layer.fill(Qt::transparent);
    {
        QPainter p(&layer);
        p.translate(-corner);
        PainterSurface surface(p, {frame.foreground, frame.font});
        draw(surface);
    }

    QImage out(pixels, QImage::Format_ARGB32_Premultiplied);
    out.setDevicePixelRatio(scale);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.translate(-corner);
    paintBox(p, frame);
    p.drawImage(QPointF(corner), layer);
    paintFront(p, frame);
    return out;
}

QByteArray GraphPicture::png(const Frame& frame, qreal scale, const Drawing& draw) {
    const QImage picture = image(frame, scale, draw);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

QByteArray GraphPicture::svg(const Frame& frame, const Drawing& draw) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    // Without a size the generator writes no width and height in
    // millimetres, which readers convert at differing resolutions; the
    // picture's own pixels are given below instead.
    generator.setViewBox(QRect(QPoint(0, 0), size()));
    // Text is sized in points; at the resolution of a plain image the
    // printed numbers come out as large as on the window.
    generator.setResolution(QImage(1, 1, QImage::Format_ARGB32).logicalDpiX());
    generator.setTitle(QStringLiteral("Morvane"));
    QPainter p(&generator);
    p.translate(-QPoint(px(Left), px(Top)));
    paintBox(p, frame);
    {
        p.save();
        PainterSurface surface(p, {frame.foreground, frame.font});
        draw(surface);
        p.restore();
    }
    paintFront(p, frame);
    p.end();
    const qsizetype svg = bytes.indexOf("<svg");
    if (svg >= 0)
        bytes.insert(svg + 4, QStringLiteral(" width=\"%1\" height=\"%2\"")
                                  .arg(size().width())
                                  .arg(size().height())
                                  .toLatin1());
    return bytes;
}
