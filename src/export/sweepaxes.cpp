#include "export/sweepaxes.h"

#include "common/numbertext.h"
#include "plot/phaseview.h"

#include <QMap>
#include <QPainter>
#include <cmath>

SweepAxes::Axis SweepAxes::Axis::of(double low, double high, bool roundOut) {
    if (!(high > low)) {
        const double d = low == 0 ? 1 : std::fabs(low) / 10;
        low -= d;
        high += d;
    }
    Axis a{low, high, PhaseView::niceStep((high - low) / 6)};
    if (roundOut) {
        a.low = std::floor(low / a.step) * a.step;
        a.high = std::ceil(high / a.step) * a.step;
    }
    return a;
}

double SweepAxes::Axis::first() const {
    return std::ceil(low / step - 1e-9) * step;
}

QString SweepAxes::Axis::text(double value) const {
    if (std::fabs(value) < step * 1e-6)
        value = 0;
    const double power = std::floor(std::log10(step) + 1e-9);
    int decimals = std::max(0, int(-power));
    if (std::fabs(step / std::pow(10.0, power) - 2.5) < 1e-9 && power <= 0)
        ++decimals;
    if (decimals > 8 || std::max(std::fabs(low), std::fabs(high)) >= 1e7)
        return NumberText::fromDouble(value, 6);
    return QString::number(value, 'f', decimals).replace(QLatin1Char('.'), QLatin1Char(','));
}

void SweepAxes::paint(QPainter& p, const QRectF& plot, const Scale& x, const Scale& y,
                      const QString& caption, bool grid) {
    const QFontMetricsF fm(p.font());
    if (grid) {
        p.setPen(QPen(QColor(0xe4, 0xe4, 0xe4), 1));
        x.axis.forTicks([&](double v) {
            p.drawLine(QPointF(x.at(v), plot.top()), QPointF(x.at(v), plot.bottom()));
        });
        y.axis.forTicks([&](double v) {
            p.drawLine(QPointF(plot.left(), y.at(v)), QPointF(plot.right(), y.at(v)));
        });
    }
    p.setPen(QPen(Qt::black, 1));
    x.axis.forTicks([&](double v) {
        const double at = x.at(v);
        p.drawLine(QPointF(at, plot.bottom()), QPointF(at, plot.bottom() + 4));
        const QString text = x.axis.text(v);
        p.drawText(QPointF(at - fm.horizontalAdvance(text) / 2, plot.bottom() + 6 + fm.ascent()),
                   text);
    });
    y.axis.forTicks([&](double v) {
        const double at = y.at(v);
        p.drawLine(QPointF(plot.left() - 4, at), QPointF(plot.left(), at));
        const QString text = y.axis.text(v);
        p.drawText(QPointF(plot.left() - 6 - fm.horizontalAdvance(text), at + fm.ascent() / 2 - 1),
                   text);
    });
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);
    p.drawText(QPointF(plot.center().x() - fm.horizontalAdvance(caption) / 2,
                       plot.bottom() + 8 + fm.height() + fm.ascent()),
               caption);
}

QString SweepAxes::shown(const QString& name) {
    static const QMap<QString, QString> names = {{"a1", "α1"},
                                                 {"a2", "α2"},
                                                 {"dt", "Δt"},
                                                 {"disaster", "момент катастрофы"},
                                                 {"divisor", "делитель"}};
    return names.value(name, name);
}
