#pragma once

#include "common/runerror.h"
#include "model/inputreader.h"
#include "model/trajectory.h"
#include "plot/disastermarker.h"
#include "plot/graphplotter.h"
#include "plot/recordingsurface.h"

#include <QString>
#include <cstdint>
#include <cstdlib>
#include <cstring>

// One fuzz input drives a whole calculation the way the two windows do it:
// the input row, the Euler pass, the drawing and a disaster mark with its
// redraw. Layout: 4 bytes disaster mark (float, twips from the origin),
// 2 bytes divisor (int16), then up to eight texts separated by '\n' in the
// order k1, k2, a1, a2, dt, t, x0, y0 (missing texts keep their load value).
// Every input must end either normally or in a RunError; anything else
// escapes to the caller as a finding.
namespace FuzzEntry {

inline InputTexts texts(const std::uint8_t* data, std::size_t size) {
    InputTexts t;
    QString* fields[] = {&t.k1, &t.k2, &t.a1, &t.a2, &t.dt, &t.t, &t.x0, &t.y0};
    const QString all = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    qsizetype from = 0;
    for (int f = 0; f < 8 && from <= all.size(); ++f) {
        const qsizetype nl = f < 7 ? all.indexOf(QLatin1Char('\n'), from) : -1;
        *fields[f] = all.mid(from, nl < 0 ? -1 : nl - from);
        from = nl < 0 ? all.size() + 1 : nl + 1;
    }
    return t;
}

// Returns true when the whole run succeeded, false when it ended in a RunError.
inline bool runOnce(bool fullWindow, const InputTexts& in, float mark, std::int16_t factor) {
    ModelState s;
    RecordingSurface surface(false);
    try {
        if (fullWindow) {
            InputReader::readFull(s, in);
        } else {
            InputReader::readLight(s, in);
            s.twipsPerStep = InputReader::twipsPerStep(s.t, s.dt);
            InputReader::seedMaxima(s);
        }
        s.disasterX = mark;
        s.disasterFactor = factor;
        Trajectory::calculate(s);
        GraphPlotter::drawCurves(s, surface);
        GraphPlotter::drawScale(s, surface);
        s.graphReady = -1;
        DisasterMarker::arm(s);
        if (DisasterMarker::press(s, double(mark) + DisasterMarker::BandLeft, 2000)) {
            DisasterMarker::markTime(s);
            DisasterMarker::redraw(s, surface, std::abs(factor) % 7);
            DisasterMarker::finish(s);
            Trajectory::calculate(s); // the next run applies the mark
        }
        return true;
    } catch (const RunError&) {
        return false;
    }
}

struct Input {
    float mark = 0;
    std::int16_t factor = 0;
    InputTexts texts;
};

inline Input parse(const std::uint8_t* data, std::size_t size) {
    Input in;
    std::uint8_t head[6] = {};
    std::memcpy(head, data, size < 6 ? size : 6);
    std::memcpy(&in.mark, head, 4);
    std::memcpy(&in.factor, head + 4, 2);
    if (size > 6)
        in.texts = texts(data + 6, size - 6);
    return in;
}

inline int run(const std::uint8_t* data, std::size_t size) {
    const Input in = parse(data, size);
    return int(runOnce(false, in.texts, in.mark, in.factor)) +
           int(runOnce(true, in.texts, in.mark, in.factor));
}

} // namespace FuzzEntry
