#include "export/graphpicture.h"

#include "common/runerror.h"
#include "plot/phaseplotter.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageWriter>
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
// The key's entries flow in rows inside a framed box, the caption's
// lines follow under it; all in pixels from the strip's upper left corner.
struct KeyLayout {
    QList<QPointF> marks; // the left end of each entry's mark, at its row's middle
    QRectF box;
    QStringList lines;
    QList<double> baselines;
    int height = 0;
};

constexpr double MarkWidth = 22, Gap = 5, Margin = 6;

KeyLayout layoutOf(const QFont& font, const GraphPicture::Key& key, double width) {
    const QFontMetricsF fm(font);
    const double row = std::ceil(fm.height()) + 4;
    KeyLayout k;
    double x = Margin + Gap, y = Margin + 3;
    for (const GraphPicture::Key::Entry& e : key.entries) {
        const double wide = MarkWidth + Gap + fm.horizontalAdvance(e.text);
        if (x > Margin + Gap && x + wide > width - Margin - Gap) {
            x = Margin + Gap;
            y += row;
        }
        k.marks << QPointF(x, y + row / 2);
        x += wide + 3 * Gap;
    }
    if (!key.entries.isEmpty()) {
        k.box = QRectF(Margin, Margin, width - 2 * Margin, y + row + 3 - Margin);
        y = k.box.bottom() + 2;
    }
    // Broken only between items, so that a number is never split.
    QString line;
    const QStringList items = key.caption.split(QStringLiteral("; "));
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString item = items[i] + (i + 1 < items.size() ? QStringLiteral(";") : QString());
        const QString longer = line.isEmpty() ? item : line + QLatin1Char(' ') + item;
        if (!line.isEmpty() && fm.horizontalAdvance(longer) > width - 2 * Margin) {
            k.lines << line;
            line = item;
        } else {
            line = longer;
        }
    }
    if (!line.isEmpty())
        k.lines << line;
    for (qsizetype i = 0; i < k.lines.size(); ++i)
        k.baselines << y + 2 + fm.ascent() + double(i) * (std::ceil(fm.height()) + 1);
    k.height = int(std::ceil(y + double(k.lines.size()) * (std::ceil(fm.height()) + 1) + Margin));
    return k;
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

QSize GraphPicture::size(const Frame& frame, const Key* key) {
    if (!key)
        return size();
    return size() + QSize(0, layoutOf(frame.font, *key, size().width()).height);
}

void GraphPicture::paintKey(QPainter& p, const Frame& frame, const Key& key) {
    const KeyLayout k = layoutOf(frame.font, key, size().width());
    p.save();
    p.setFont(frame.font);
    p.fillRect(QRectF(0, 0, size().width(), k.height), frame.background);
    const QFontMetricsF fm(frame.font);
    if (!key.entries.isEmpty()) {
        p.setPen(QPen(frame.foreground, 1));
        p.drawRect(k.box);
    }
    for (qsizetype i = 0; i < key.entries.size(); ++i) {
        const Key::Entry& e = key.entries[i];
        const QPointF at = k.marks[i];
        const QPointF mid = at + QPointF(MarkWidth / 2, 0);
        const double d = double(PhasePlotter::StartMark) / TwipsPerPixel;
        p.setPen(QPen(e.colour, e.mark == Key::Entry::Line ? 2 : 1));
        switch (e.mark) {
        case Key::Entry::Line:
            p.drawLine(at, at + QPointF(MarkWidth, 0));
            break;
        case Key::Entry::Cross:
            p.drawLine(mid - QPointF(d, d), mid + QPointF(d, d));
            p.drawLine(mid + QPointF(-d, d), mid + QPointF(d, -d));
            break;
        case Key::Entry::Square:
            p.drawRect(QRectF(mid - QPointF(d, d), mid + QPointF(d, d)));
            break;
        }
        p.setPen(frame.foreground);
        p.drawText(at + QPointF(MarkWidth + Gap, fm.ascent() / 2 - 1), e.text);
    }
    p.setPen(frame.foreground);
    for (qsizetype i = 0; i < k.lines.size(); ++i)
        p.drawText(QPointF(Margin, k.baselines[i]), k.lines[i]);
    p.restore();
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

QImage GraphPicture::image(const Frame& frame, qreal scale, const Drawing& draw, const Key* key) {
    const QSize pixels(int(std::ceil(size().width() * scale)),
                       int(std::ceil(size().height() * scale)));
    const QSize whole(int(std::ceil(size(frame, key).width() * scale)),
                      int(std::ceil(size(frame, key).height() * scale)));
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

    QImage out(whole, QImage::Format_ARGB32_Premultiplied);
    out.setDevicePixelRatio(scale);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.translate(-corner);
    paintBox(p, frame);
    p.drawImage(QPointF(corner), layer);
    paintFront(p, frame);
    if (key) {
        p.translate(corner + QPoint(0, size().height()));
        paintKey(p, frame, *key);
    }
    return out;
}

QByteArray GraphPicture::png(const Frame& frame, qreal scale, const Drawing& draw, const Key* key) {
    const QImage picture = image(frame, scale, draw, key);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "PNG");
    // Only memory can run out here; a picture cut short must not be saved.
    if (!writer.write(picture))
        throw RunError(RunError::OutOfMemory, QStringLiteral("PNG: ") + writer.errorString());
    return bytes;
}

QByteArray GraphPicture::svgOf(const QSize& whole, const QString& title,
                               const std::function<void(QPainter&)>& paint) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    // Without a size the generator writes no width and height in
    // millimetres, which readers convert at differing resolutions; the
    // picture's own pixels are given below instead.
    generator.setViewBox(QRect(QPoint(0, 0), whole));
    // Text is sized in points; at the resolution of a plain image the
    // printed numbers come out as large as on the window.
    generator.setResolution(QImage(1, 1, QImage::Format_ARGB32).logicalDpiX());
    generator.setTitle(title);
    {
        QPainter p(&generator);
        paint(p);
    }
    const qsizetype svg = bytes.indexOf("<svg");
    if (svg >= 0)
        bytes.insert(svg + 4, QStringLiteral(" width=\"%1\" height=\"%2\"")
                                  .arg(whole.width())
                                  .arg(whole.height())
                                  .toLatin1());
    return bytes;
}

QByteArray GraphPicture::svg(const Frame& frame, const Drawing& draw, const Key* key) {
    return svgOf(size(frame, key), QStringLiteral("Morvane"), [&](QPainter& p) {
        p.translate(-QPoint(px(Left), px(Top)));
        paintBox(p, frame);
        {
            p.save();
            PainterSurface surface(p, {frame.foreground, frame.font});
            draw(surface);
            p.restore();
        }
        paintFront(p, frame);
        if (key) {
            p.translate(QPoint(px(Left), px(Top) + size().height()));
            paintKey(p, frame, *key);
        }
    });
}
