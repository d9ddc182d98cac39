#pragma once

#include <QString>
#include <cmath>
#include <optional>
#include <utility>

// A figure of the lab that may not exist for a run: V where a population is
// not positive, a period with too few maxima. Such a figure carries the
// reason in words instead of a NaN or an inf, so that a window and a file
// can both say why it is missing.
template <class T> struct Figure {
    std::optional<T> value;
    QString reason;
    // What a reader should know about a value that exists, such as cycles
    // that grow under an average period; empty for most.
    QString note;

    static Figure of(T v) { return {std::move(v), {}, {}}; }
    static Figure none(QString why) { return {std::nullopt, std::move(why), {}}; }
    bool has() const { return value.has_value(); }
    const T& operator*() const { return *value; }
    const T* operator->() const { return &*value; }
};

// A computed number, or none with `why` when the arithmetic left the range
// of doubles (an inf, or a NaN from one), which no reader could use.
inline Figure<double> finiteFigure(double v, QString why) {
    return std::isfinite(v) ? Figure<double>::of(v) : Figure<double>::none(std::move(why));
}

struct PhasePoint {
    double x = 0;
    double y = 0;
};
