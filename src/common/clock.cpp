#include "common/clock.h"

#include <QElapsedTimer>

namespace {
QElapsedTimer& timer() {
    static QElapsedTimer t = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return t;
}
Clock::Source& source() {
    static Clock::Source s;
    return s;
}
} // namespace

double Clock::now() {
    if (source())
        return source()();
    // Offset so that the first readings are not near 0.
    return 1.0 + double(timer().nsecsElapsed()) / 1e9;
}

float Clock::since(double start) {
    return float(now() - start);
}

float Clock::timeOfDay() {
    return float(now());
}

void Clock::setSource(Source s) {
    source() = std::move(s);
}

void Clock::resetSource() {
    source() = nullptr;
}
