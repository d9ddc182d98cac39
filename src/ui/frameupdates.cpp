#include "ui/frameupdates.h"

#include <QRegion>

#include <algorithm>

FrameUpdates::FrameUpdates(QObject* parent) : QObject(parent) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &FrameUpdates::release);
    m_realClock.start();
}

FrameUpdates::~FrameUpdates() {
    for (const QPointer<QWidget>& w : m_held)
        if (w)
            w->setUpdatesEnabled(true);
}

void FrameUpdates::setClock(Clock clock) {
    m_timer.stop();
    m_clock = std::move(clock);
    m_lastRelease = -1;
}

qint64 FrameUpdates::sinceRelease() const {
    const qint64 now = m_clock ? m_clock() : m_realClock.elapsed();
    return m_lastRelease < 0 ? 2 * FrameMs : now - m_lastRelease;
}

void FrameUpdates::advanced() {
    if (m_requested && sinceRelease() >= FrameMs)
        release();
}

void FrameUpdates::request() {
    if (m_requested)
        return;
    m_requested = true;
    // One frame per batch of changes, however many steps a handler makes
    // before it returns to the event loop.
    if (!m_clock)
        m_timer.start(int(std::max<qint64>(0, FrameMs - sinceRelease())));
}

void FrameUpdates::hold(QWidget* widget) {
    if (!m_held.empty() && sinceRelease() >= 2 * FrameMs) {
        // A whole frame late, the timer had no chance to fire: no events
        // are let through. Paint now, as the progress bar would by itself.
        release();
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
    m_requested = false;
    m_lastRelease = m_clock ? m_clock() : m_realClock.elapsed();
    emit frame();
    // Painted here and now, in one go per window: left to the event loop,
    // the update request could come after the next step has held the
    // controls again, and a control could go a whole run unpainted.
    QWidget* window = nullptr;
    QRegion region;
    for (const QPointer<QWidget>& w : m_held) {
        if (!w)
            continue;
        w->setUpdatesEnabled(true);
        if (window && w->window() != window) {
            window->repaint(region);
            region = QRegion();
        }
        window = w->window();
        region += QRect(w->mapTo(window, QPoint(0, 0)), w->size());
    }
    m_held.clear();
    if (window && window->isVisible())
        window->repaint(region);
}
