#include "pausewithevents.h"

#include "clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <cmath>

namespace {
double g_scale = 1.0;
} // namespace

void PauseWithEvents::setScale(double s) { g_scale = s; }

double PauseWithEvents::scale() { return g_scale; }

void PauseWithEvents::pause(double seconds) {
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
            wake.start(std::max(0, int(std::ceil(left * 1000.0))));
            loop.exec(QEventLoop::AllEvents);
            wake.stop();
        }
    } else {
        while (Clock::now() < end)
            QThread::usleep(200);
    }
}
