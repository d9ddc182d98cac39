#include "ui/drawinglayer.h"

#include "export/paintersurface.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

DrawingLayer::DrawingLayer(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("DrawingLayer"));
    connect(&m_frames, &FrameUpdates::frame, this, &DrawingLayer::repaintDirty);
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
    m_record.clear();
    m_painted = 0;
    m_repeating = false;
    ensureImage();
    m_image.fill(Qt::transparent);
    m_dirty = Box();
    update();
    emit cleared();
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
    // One repaint per frame, however many segments come before it: a run
    // that pauses 4 ms after every step would otherwise repaint four times
    // for each frame the screen shows.
    m_frames.request();
}

void DrawingLayer::repaintDirty() {
    if (!m_dirty.isEmpty()) {
        const QPoint topLeft(int(std::floor(m_dirty.left)), int(std::floor(m_dirty.top)));
        const QPoint pastEnd(int(std::ceil(m_dirty.right)), int(std::ceil(m_dirty.bottom)));
        update(QRect(topLeft, pastEnd - QPoint(1, 1)));
    }
    m_dirty = Box();
}

void DrawingLayer::beginRepeat() {
    m_repeating = true;
    m_repeatAt = 0;
}

void DrawingLayer::endRepeat() {
    m_repeating = false;
}

bool DrawingLayer::repeats(const RecordingSurface::Op& op) {
    if (!m_repeating)
        return false;
    const auto& ops = m_record.ops();
    if (m_repeatAt < ops.size()) {
        const RecordingSurface::Op& was = ops[m_repeatAt];
        const bool same = was.kind == op.kind && was.x1 == op.x1 && was.y1 == op.y1 &&
                          was.x2 == op.x2 && was.y2 == op.y2 && was.foreground == op.foreground &&
                          (op.foreground || was.colour == op.colour) && was.text == op.text;
        if (same) {
            ++m_repeatAt;
            return true;
        }
    }
    m_repeating = false;
    return false;
}

void DrawingLayer::paintSegment(float x1, float y1, float x2, float y2, bool foreground,
                                Rgb colour) {
    if (repeats({RecordingSurface::Op::Segment, x1, y1, x2, y2, foreground, colour, {}}))
        return;
    const QLineF line(x1 / TwipsPerPixel, y1 / TwipsPerPixel, x2 / TwipsPerPixel,
                      y2 / TwipsPerPixel);
    if (foreground)
        m_record.line(x1, y1, x2, y2);
    else
        m_record.line(x1, y1, x2, y2, colour);
    markDirty(std::min(line.x1(), line.x2()) - 2, std::min(line.y1(), line.y2()) - 2,
              std::max(line.x1(), line.x2()) + 2, std::max(line.y1(), line.y2()) + 2);
}

void DrawingLayer::paintText(float x, float y, const QString& text) {
    if (repeats({RecordingSurface::Op::Text, x, y, x, y, true, 0, text}))
        return;
    const QPointF at(x / TwipsPerPixel, y / TwipsPerPixel);
    m_record.setTextPosition(x, y);
    m_record.printText(text);
    const QSize size = fontMetrics().size(0, text) + QSize(2, 2);
    markDirty(at.x(), at.y(), at.x() + size.width(), at.y() + size.height());
}

void DrawingLayer::flush() {
    const std::size_t recorded = m_record.ops().size();
    if (m_painted == recorded)
        return;
    ensureImage();
    QPainter p(&m_image);
    PainterSurface surface(p, {palette().color(QPalette::WindowText), font()});
    // A number printed again where it stands is left as it is, as in the
    // saved picture: antialiased glyphs drawn over themselves darken.
    m_record.replay(surface, m_painted, true);
    m_painted = recorded;
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
    // Until something is drawn there is no image to keep: it is made by the
    // first drawing rather than at start-up.
    if (!m_image.isNull())
        ensureImage();
}
