#include "ui/frameupdates.h"

#include <algorithm>

FrameUpdates::FrameUpdates(QObject* parent) : QObject(parent) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &FrameUpdates::release);
}

FrameUpdates::~FrameUpdates() {
    for (const QPointer<QWidget>& w : m_held)
        if (w)
            w->setUpdatesEnabled(true);
}

void FrameUpdates::request() {
    if (m_timer.isActive())
        return;
    // One frame per batch of changes, however many steps a handler makes
    // before it returns to the event loop.
    const qint64 since = m_sinceRelease.isValid() ? m_sinceRelease.elapsed() : FrameMs;
    m_timer.start(int(std::max<qint64>(0, FrameMs - since)));
}

void FrameUpdates::hold(QWidget* widget) {
    if (!m_held.empty() && (!m_sinceRelease.isValid() || m_sinceRelease.elapsed() >= 2 * FrameMs)) {
        // A whole frame late, the timer had no chance to fire: no events
        // are let through. Paint now, as the progress bar would by itself.
        QPointer<QWidget> last = m_held.back();
        release();
        if (last)
            last->repaint();
    }
    if (!widget || !widget->updatesEnabled())
        return;
    // With updates off, the change's own update() (or the progress bar's
    // immediate repaint()) does nothing; turning them on again repaints the
    // whole widget once.
    widget->setUpdatesEnabled(false);
    m_held.emplace_back(widget);
    request();
}

void FrameUpdates::release() {
    m_timer.stop();
    m_sinceRelease.start();
    emit frame();
    for (const QPointer<QWidget>& w : m_held)
        if (w)
            w->setUpdatesEnabled(true);
    m_held.clear();
}
