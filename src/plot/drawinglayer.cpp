#include "drawinglayer.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <cmath>

DrawingLayer::DrawingLayer(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("DrawingLayer"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
}

void DrawingLayer::ensureImage() {
    const qreal ratio = devicePixelRatioF();
    const QSize wanted = (QSizeF(size()) * ratio).toSize();
    if (m_image.size() == wanted)
        return;
    QImage fresh(wanted.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    fresh.setDevicePixelRatio(ratio);
    fresh.fill(Qt::transparent);
    if (!m_image.isNull()) {
        QPainter p(&fresh);
        p.drawImage(0, 0, m_image);
    }
    m_image = fresh;
}

void DrawingLayer::clear() {
    m_pending.clear();
    ensureImage();
    m_image.fill(Qt::transparent);
    m_dirty = QRect();
    update();
}

void DrawingLayer::markDirty(const QRect& rect) {
    m_dirty |= rect;
    if (m_updateQueued)
        return;
    m_updateQueued = true;
    // One repaint request per batch of segments, however many steps a
    // handler draws before it returns to the event loop.
    QTimer::singleShot(0, this, [this] {
        m_updateQueued = false;
        if (!m_dirty.isEmpty())
            update(m_dirty);
        m_dirty = QRect();
    });
}

void DrawingLayer::paintSegment(float x1, float y1, float x2, float y2, bool foreground,
                                Rgb colour) {
    const QLineF line(x1 / TwipsPerPixel, y1 / TwipsPerPixel, x2 / TwipsPerPixel,
                      y2 / TwipsPerPixel);
    const QColor c = foreground ? palette().color(QPalette::WindowText) : QColor::fromRgb(colour);
    m_pending.push_back({line, c, {}});
    const QRectF bounds = QRectF(line.p1(), line.p2()).normalized().adjusted(-2, -2, 2, 2);
    if (bounds.intersects(QRectF(rect())))
        markDirty(bounds.toAlignedRect() & rect());
}

void DrawingLayer::paintText(float x, float y, const QString& text) {
    const QPointF at(x / TwipsPerPixel, y / TwipsPerPixel);
    m_pending.push_back({QLineF(at, at), palette().color(QPalette::WindowText), text});
    const QRect bounds(at.toPoint(), fontMetrics().size(0, text) + QSize(2, 2));
    markDirty(bounds & rect());
}

void DrawingLayer::flush() {
    if (m_pending.empty())
        return;
    ensureImage();
    QPainter p(&m_image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(font());
    QPen pen;
    pen.setWidth(1);
    pen.setCosmetic(true);
    bool penSet = false;
    for (const Pending& op : m_pending) {
        if (!penSet || pen.color() != op.colour) {
            pen.setColor(op.colour);
            p.setPen(pen);
            penSet = true;
        }
        if (op.text.isEmpty()) {
            p.drawLine(op.line);
        } else {
            p.drawText(QRectF(op.line.p1(), QSizeF(4000, 4000)), Qt::AlignLeft | Qt::AlignTop,
                       op.text);
        }
    }
    m_pending.clear();
}

QImage DrawingLayer::image() {
    flush();
    ensureImage();
    return m_image;
}

void DrawingLayer::paintEvent(QPaintEvent* event) {
    flush();
    QPainter p(this);
    p.drawImage(event->rect(), m_image,
                QRectF(QPointF(event->rect().topLeft()) * m_image.devicePixelRatio(),
                       QSizeF(event->rect().size()) * m_image.devicePixelRatio()));
}

void DrawingLayer::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    flush();
    ensureImage();
}
