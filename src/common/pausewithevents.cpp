#include "common/pausewithevents.h"

#include "common/clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <cmath>

namespace {
double g_scale = 1.0;
std::function<void(double)> g_observer;
} // namespace

void PauseWithEvents::setScale(double s) {
    g_scale = s;
}

double PauseWithEvents::scale() {
    return g_scale;
}

void PauseWithEvents::setObserver(std::function<void(double)> observer) {
    g_observer = std::move(observer);
}

void PauseWithEvents::pause(double seconds) {
    if (g_observer)
        g_observer(seconds);
    if (!(seconds > 0.0))
        return;
    const double wanted = seconds * g_scale;
    const double start = Clock::now();
    const double end = start + wanted;

    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (wanted > 0.0 && QCoreApplication::instance()) {
        // A single-shot timer at the deadline wakes the dispatcher, which
        // otherwise sleeps until the next window-system event.
        QEventLoop loop;
        QTimer wake;
        wake.setSingleShot(true);
        wake.setTimerType(Qt::PreciseTimer);
        QObject::connect(&wake, &QTimer::timeout, &loop, &QEventLoop::quit);
        for (;;) {
            const double left = end - Clock::now();
            if (!(left > 0.0))
                break;
            // Timers count whole milliseconds. Rounding the rest up would
            // end a pause up to 1 ms late, which adds up over a run of
            // short pauses: the last fraction of a millisecond is slept off.
            const int wholeMs = int(std::min(left, 3600.0) * 1000.0);
            if (wholeMs < 1) {
                QThread::usleep(std::max(1UL, (unsigned long)std::ceil(left * 1e6)));
                continue;
            }
            wake.start(wholeMs);
            const int result = loop.exec(QEventLoop::AllEvents);
            wake.stop();
            // -1: the application is quitting and no event loop will run
            // again; waiting on would only spin.
            if (result == -1)
                break;
        }
    } else {
        while (Clock::now() < end)
            QThread::usleep(200);
    }
}
