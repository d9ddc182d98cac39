#pragma once

#include <QString>
#include <optional>
#include <utility>

// A figure of the lab that may not exist for a run: V where a population is
// not positive, a period with too few maxima. Such a figure carries the
// reason in words instead of a NaN or an inf, so that a window and a file
// can both say why it is missing.
template <class T> struct Figure {
    std::optional<T> value;
    QString reason;

    static Figure of(T v) { return {std::move(v), {}}; }
    static Figure none(QString why) { return {std::nullopt, std::move(why)}; }
    bool has() const { return value.has_value(); }
    const T& operator*() const { return *value; }
    const T* operator->() const { return &*value; }
};

struct PhasePoint {
    double x = 0;
    double y = 0;
};
