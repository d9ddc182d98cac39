#include "ui/drawinglayer.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cmath>

DrawingLayer::DrawingLayer(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("DrawingLayer"));
    m_repaintTimer.setSingleShot(true);
    connect(&m_repaintTimer, &QTimer::timeout, this, &DrawingLayer::repaintDirty);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
}

namespace {
// The same drawing on a canvas of another size, what fits kept in place.
void resizeKeeping(QImage& image, const QSize& size, qreal ratio) {
    if (image.size() == size)
        return;
    QImage fresh(size, QImage::Format_ARGB32_Premultiplied);
    fresh.setDevicePixelRatio(ratio);
    fresh.fill(Qt::transparent);
    if (!image.isNull()) {
        QPainter p(&fresh);
        p.drawImage(0, 0, image);
    }
    image = fresh;
}
} // namespace

void DrawingLayer::ensureImage() {
    const qreal ratio = devicePixelRatioF();
    const QSize wanted = (QSizeF(size()) * ratio).toSize().expandedTo(QSize(1, 1));
    resizeKeeping(m_image, wanted, ratio);
    resizeKeeping(m_text, wanted, ratio);
}

void DrawingLayer::clear() {
    m_pending.clear();
    ensureImage();
    m_image.fill(Qt::transparent);
    m_text.fill(Qt::transparent);
    m_dirty = Box();
    update();
}

void DrawingLayer::markDirty(double left, double top, double right, double bottom) {
    // Clipped in floating point: a population far off the graph gives
    // coordinates no int can hold.
    left = std::max(left, 0.0);
    top = std::max(top, 0.0);
    right = std::min(right, double(width()));
    bottom = std::min(bottom, double(height()));
    if (!(left < right && top < bottom))
        return;
    // A box of doubles, not a QRect per segment: a pass marks tens of
    // thousands of segments and this runs for each of them.
    if (m_dirty.isEmpty()) {
        m_dirty = {left, top, right, bottom};
    } else {
        m_dirty.left = std::min(m_dirty.left, left);
        m_dirty.top = std::min(m_dirty.top, top);
        m_dirty.right = std::max(m_dirty.right, right);
        m_dirty.bottom = std::max(m_dirty.bottom, bottom);
    }
    if (m_repaintTimer.isActive())
        return;
    // One repaint request per batch of segments, however many steps a
    // handler draws before it returns to the event loop, and at most one per
    // display frame: a run that pauses 4 ms after every step would otherwise
    // repaint four times for each frame the screen shows.
    const qint64 since = m_sinceRepaint.isValid() ? m_sinceRepaint.elapsed() : FrameMs;
    m_repaintTimer.start(int(std::max<qint64>(0, FrameMs - since)));
}

void DrawingLayer::repaintDirty() {
    if (!m_dirty.isEmpty()) {
        const QPoint topLeft(int(std::floor(m_dirty.left)), int(std::floor(m_dirty.top)));
        const QPoint pastEnd(int(std::ceil(m_dirty.right)), int(std::ceil(m_dirty.bottom)));
        update(QRect(topLeft, pastEnd - QPoint(1, 1)));
    }
    m_dirty = Box();
    m_sinceRepaint.start();
}

void DrawingLayer::paintSegment(float x1, float y1, float x2, float y2, bool foreground,
                                Rgb colour) {
    const QLineF line(x1 / TwipsPerPixel, y1 / TwipsPerPixel, x2 / TwipsPerPixel,
                      y2 / TwipsPerPixel);
    const QColor c = foreground ? palette().color(QPalette::WindowText) : QColor::fromRgb(colour);
    m_pending.push_back({line, c, {}});
    markDirty(std::min(line.x1(), line.x2()) - 2, std::min(line.y1(), line.y2()) - 2,
              std::max(line.x1(), line.x2()) + 2, std::max(line.y1(), line.y2()) + 2);
}

void DrawingLayer::paintText(float x, float y, const QString& text) {
    const QPointF at(x / TwipsPerPixel, y / TwipsPerPixel);
    m_pending.push_back({QLineF(at, at), palette().color(QPalette::WindowText), text});
    const QSize size = fontMetrics().size(0, text) + QSize(2, 2);
    markDirty(at.x(), at.y(), at.x() + size.width(), at.y() + size.height());
}

void DrawingLayer::flush() {
    if (m_pending.empty())
        return;
    ensureImage();
    QPainter p(&m_image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(font());
    // The two curves alternate their colours segment by segment: one pen
    // per colour, set as it is, spares detaching a single pen at each change.
    std::vector<QPen> pens;
    std::size_t current = 0;
    for (const Pending& op : m_pending) {
        if (pens.empty() || pens[current].color() != op.colour) {
            current = 0;
            while (current < pens.size() && pens[current].color() != op.colour)
                ++current;
            if (current == pens.size()) {
                QPen pen(op.colour);
                pen.setWidth(1);
                pen.setCosmetic(true);
                pens.push_back(pen);
            }
            p.setPen(pens[current]);
        }
        if (op.text.isEmpty())
            p.drawLine(op.line);
        else
            printInto(op);
    }
    m_pending.clear();
}

void DrawingLayer::printInto(const Pending& op) {
    // Printed on a scratch canvas first, then merged pixel by pixel keeping
    // the stronger of the two: printed twice, a glyph's half-covered edge
    // pixels would otherwise be blended over themselves and grow darker.
    const QRectF where(op.line.p1(), QSizeF(4000, 4000));
    const int flags = Qt::AlignLeft | Qt::AlignTop;
    const QRect box = QFontMetricsF(font())
                          .boundingRect(where, flags, op.text)
                          .toAlignedRect()
                          .adjusted(-2, -2, 2, 2);
    const qreal ratio = m_text.devicePixelRatio();
    QImage scratch((QSizeF(box.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    scratch.setDevicePixelRatio(ratio);
    scratch.fill(Qt::transparent);
    {
        QPainter p(&scratch);
        p.translate(-box.topLeft());
        p.setFont(font());
        p.setPen(op.colour);
        p.drawText(where, flags, op.text);
    }
    const QPoint origin = (QPointF(box.topLeft()) * ratio).toPoint();
    const QRect target = QRect(origin, scratch.size()).intersected(m_text.rect());
    for (int y = target.top(); y <= target.bottom(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(scratch.constScanLine(y - origin.y()));
        auto* to = reinterpret_cast<QRgb*>(m_text.scanLine(y));
        for (int x = target.left(); x <= target.right(); ++x) {
            const QRgb glyph = from[x - origin.x()];
            if (qAlpha(glyph) > qAlpha(to[x]))
                to[x] = glyph;
        }
    }
}

QImage DrawingLayer::image() {
    flush();
    ensureImage();
    QImage both = m_image;
    QPainter p(&both);
    p.drawImage(0, 0, m_text);
    return both;
}

void DrawingLayer::paintEvent(QPaintEvent* event) {
    flush();
    if (m_image.isNull())
        return;
    QPainter p(this);
    const QRectF source(QPointF(event->rect().topLeft()) * m_image.devicePixelRatio(),
                        QSizeF(event->rect().size()) * m_image.devicePixelRatio());
    p.drawImage(event->rect(), m_image, source);
    p.drawImage(event->rect(), m_text, source);
}

void DrawingLayer::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    flush();
    // Until something is drawn there is no image to keep: it is made by the
    // first drawing rather than at start-up.
    if (!m_image.isNull())
        ensureImage();
}
