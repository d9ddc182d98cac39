#include "export/sweepheatmap.h"

#include "export/sweepaxes.h"

#include <QLinearGradient>
#include <QPainter>
#include <cmath>

namespace {
// Viridis at five stops.
const QRgb Ramp[] = {0x440154, 0x3b528b, 0x21918c, 0x5ec962, 0xfde725};
constexpr double BarWidth = 14, Margin = 6;
// Above this many cells a map is one image rather than a rectangle each.
constexpr long long MostRectangles = 10'000;
} // namespace

const QColor SweepHeatMap::Missing(0xd0, 0xd0, 0xd0);

QColor SweepHeatMap::colour(double f) {
    f = std::clamp(f, 0.0, 1.0) * 4;
    const int i = std::min(3, int(f));
    const QColor a(Ramp[i]), b(Ramp[i + 1]);
    const double u = f - i;
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * u),
                            float(a.greenF() + (b.greenF() - a.greenF()) * u),
                            float(a.blueF() + (b.blueF() - a.blueF()) * u));
}

void SweepHeatMap::paint(QPainter& p, const QRectF& plot, const std::vector<SweptInput>& swept,
                         const SweepRunner::Results& r, int c) {
    double low = INFINITY, high = -INFINITY;
    for (long long i = 0; i < r.points; ++i)
        if (r.has(i, c)) {
            low = std::min(low, r.at(i, c));
            high = std::max(high, r.at(i, c));
        }
    if (low > high)
        low = 0, high = 1;
    const SweepAxes::Axis colours = SweepAxes::Axis::of(low, high, false);
    // Each cell reaches halfway to its neighbours.
    const auto range = [](const SweptInput& s) {
        const double half = std::fabs(s.to - s.from) / double(s.count - 1) / 2;
        return SweepAxes::Axis::of(std::min(s.from, s.to) - half, std::max(s.from, s.to) + half,
                                   false);
    };
    const SweepAxes::Scale x{range(swept[0]), plot.left(), plot.right()};
    const SweepAxes::Scale y{range(swept[1]), plot.bottom(), plot.top()};
    const auto colourOf = [&](long long i) {
        return r.has(i, c) ? colour((r.at(i, c) - colours.low) / (colours.high - colours.low))
                           : Missing;
    };
    const long long across = swept[0].count, up = swept[1].count;
    if (r.points <= MostRectangles) {
        for (long long i = 0; i < r.points; ++i) {
            const double cx = swept[0].value(i / up), cy = swept[1].value(i % up);
            const double hx = (x.axis.high - x.axis.low) / double(across) / 2;
            const double hy = (y.axis.high - y.axis.low) / double(up) / 2;
            p.fillRect(
                QRectF(QPointF(x.at(cx - hx), y.at(cy + hy)), QPointF(x.at(cx + hx), y.at(cy - hy)))
                    .normalized(),
                colourOf(i));
        }
    } else {
        QImage cells(int(across), int(up), QImage::Format_RGB32);
        for (long long i = 0; i < r.points; ++i) {
            const int col = int(i / up), row = int(i % up);
            cells.setPixelColor(swept[0].to > swept[0].from ? col : int(across) - 1 - col,
                                swept[1].to > swept[1].from ? int(up) - 1 - row : row, colourOf(i));
        }
        p.drawImage(plot, cells);
    }
    SweepAxes::paint(p, plot, x, y, SweepAxes::shown(swept[0].name), false);
    const QFontMetricsF fm(p.font());
    p.drawText(QPointF(Margin, plot.top() - 3), SweepAxes::shown(swept[1].name));
    // The colour scale beside the map.
    const QRectF bar(plot.right() + 12, plot.top(), BarWidth, plot.height());
    QLinearGradient gradient(bar.bottomLeft(), bar.topLeft());
    for (int k = 0; k < 5; ++k)
        gradient.setColorAt(k / 4.0, QColor(Ramp[k]));
    p.fillRect(bar, gradient);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(bar);
    const SweepAxes::Scale v{colours, bar.bottom(), bar.top()};
    colours.forTicks([&](double value) {
        p.drawLine(QPointF(bar.right(), v.at(value)), QPointF(bar.right() + 4, v.at(value)));
        p.drawText(QPointF(bar.right() + 6, v.at(value) + fm.ascent() / 2 - 1),
                   colours.text(value));
    });
}
