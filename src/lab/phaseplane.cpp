#include "lab/phaseplane.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

PhasePlane::PhasePlane(const LabRun* run, const LabPicture::Style* style, QWidget* parent)
    : QWidget(parent), m_run(run), m_style(style) {
    setObjectName(QStringLiteral("Plane"));
    // Narrow enough that the lab fits beside the light window on a
    // 1280-pixel screen, where it opens so that a write-back is seen.
    setMinimumSize(300, 260);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::CrossCursor);
}

void PhasePlane::paintEvent(QPaintEvent*) {
    QPainter p(this);
    LabPicture::paintPlane(p, rect(), *m_run, *m_style, m_held ? &*m_held : nullptr);
}

PhaseView PhasePlane::shownView() const {
    return m_held ? *m_held : LabPicture::view(*m_run, rect(), *m_style);
}

void PhasePlane::moveStart(const QPointF& at) {
    const PhasePoint v = m_held->valueAt(at);
    emit startMoved(v.x, v.y);
}

void PhasePlane::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_run->problem.isEmpty()) {
        QWidget::mousePressEvent(event);
        return;
    }
    const PhaseView view = m_held ? *m_held : LabPicture::view(*m_run, rect(), *m_style);
    if (!view.plane().contains(event->position()))
        return;
    m_held = view;
    m_dragging = true;
    moveStart(event->position());
}

void PhasePlane::mouseMoveEvent(QMouseEvent* event) {
    if (!m_held || !m_dragging || !(event->buttons() & Qt::LeftButton))
        return;
    const QRectF plane = m_held->plane();
    moveStart({std::clamp(event->position().x(), plane.left(), plane.right()),
               std::clamp(event->position().y(), plane.top(), plane.bottom())});
}

void PhasePlane::mouseReleaseEvent(QMouseEvent*) {
    m_dragging = false;
}

void PhasePlane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!m_dragging)
        releaseScales();
}

void PhasePlane::releaseScales() {
    if (m_held) {
        m_held.reset();
        update();
    }
}

void PhasePlane::contextMenuEvent(QContextMenuEvent* event) {
    emit menuRequested(event->globalPos());
}
