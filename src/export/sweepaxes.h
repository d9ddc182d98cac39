#pragma once

#include <QRectF>
#include <QString>

class QPainter;

// The graduated axes of a sweep's picture: round graduations over a range
// of values, their numbers with a decimal comma, values to pixels, and the
// frame with its ticks, numbers and the swept parameter's name.
class SweepAxes {
public:
    struct Axis {
        double low = 0, high = 1, step = 0.2;
        // About six divisions of 1, 2, 2,5 or 5 times a power of ten;
        // roundOut moves the ends out to the graduations around them. An
        // empty range is widened around its value.
        static Axis of(double low, double high, bool roundOut);
        double first() const;
        // A graduation's number with as many decimals as the step needs.
        QString text(double value) const;
        template <class Each> void forTicks(Each each) const {
            for (int k = 0; k < 60; ++k) {
                const double v = first() + k * step;
                if (v > high + step * 1e-9)
                    break;
                each(v);
            }
        }
    };

    // Values to pixels on one axis.
    struct Scale {
        Axis axis;
        double from, to; // the pixels of axis.low and axis.high
        double at(double v) const {
            return from + (v - axis.low) / (axis.high - axis.low) * (to - from);
        }
    };

    // grid: light lines across the plot at the graduations, under a line
    // plot and not over a heat map's cells.
    static void paint(QPainter& p, const QRectF& plot, const Scale& x, const Scale& y,
                      const QString& caption, bool grid);

    // A parameter's name as the windows write it (α1, Δt).
    static QString shown(const QString& name);
};
