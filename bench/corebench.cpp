// The core's costs against the least the same work can cost: the checked
// Euler pass against a plain loop, and the graph drawn through the plotter
// onto the light window's drawing layer against the same segments drawn
// with a bare QPainter. Names are "<case>/<steps>"; morvane_bench_windows
// pairs them up for the report.

#include "light/mainfrmlight.h"
#include "model/inputreader.h"
#include "model/trajectory.h"
#include "plot/graphplotter.h"
#include "plot/recordingsurface.h"
#include "ui/drawinglayer.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>

namespace {

// The light window's texts at load, with t raised for the long pass.
ModelState loaded(int t) {
    InputTexts texts;
    texts.t = QString::number(t);
    ModelState s;
    InputReader::readLight(s, texts);
    s.twipsPerStep = InputReader::twipsPerStep(s.t, s.dt);
    InputReader::seedMaxima(s);
    return s;
}

// The same recurrence as Trajectory::step, term for term, without checks,
// peaks or disaster.
void plainEuler(ModelState& s) {
    double* x = s.xSeries.data();
    double* y = s.ySeries.data();
    const int last = int(s.xSeries.size()) - 1;
    const double k1 = s.k1, k2 = s.k2, a1 = s.a1, a2 = s.a2, dt = s.dt;
    double xp = x[0];
    double yp = y[0];
    for (int i = 1; i <= last; ++i) {
        const double xi = ((xp * k1) - (xp * a1) * yp) * dt + xp;
        const double yi = ((xp * a2) * yp + (-k2) * yp) * dt + yp;
        x[i] = xi;
        y[i] = yi;
        xp = xi;
        yp = yi;
    }
}

struct Segment {
    QLineF line;
    QColor colour;
};

// What drawCurves hands to a surface, in pixels.
std::vector<Segment> curveSegments(ModelState& s) {
    RecordingSurface rec;
    GraphPlotter::drawCurves(s, rec);
    std::vector<Segment> out;
    out.reserve(rec.ops().size());
    const double px = DrawingLayer::TwipsPerPixel;
    for (const RecordingSurface::Op& op : rec.ops())
        out.push_back(
            {QLineF(op.x1 / px, op.y1 / px, op.x2 / px, op.y2 / px), QColor::fromRgb(op.colour)});
    return out;
}

void trajectory(benchmark::State& st, int t) {
    ModelState s = loaded(t);
    for (auto _ : st) {
        Trajectory::calculate(s);
        benchmark::ClobberMemory();
    }
}

void euler(benchmark::State& st, int t) {
    ModelState s = loaded(t);
    for (auto _ : st) {
        plainEuler(s);
        benchmark::ClobberMemory();
    }
}

// The image's content does not change what drawing costs (opaque pens,
// no antialiasing), so neither side clears between iterations.
void plotter(benchmark::State& st, int t, DrawingLayer* layer) {
    ModelState s = loaded(t);
    Trajectory::calculate(s);
    for (auto _ : st) {
        GraphPlotter::drawCurves(s, *layer);
        layer->flush();
    }
}

void qpainter(benchmark::State& st, int t, QSize size) {
    ModelState s = loaded(t);
    Trajectory::calculate(s);
    const std::vector<Segment> segments = curveSegments(s);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (auto _ : st) {
        QPainter p(&image);
        for (const Segment& seg : segments) {
            if (p.pen().color() != seg.colour)
                p.setPen(seg.colour);
            p.drawLine(seg.line);
        }
    }
}

// The baseline must compute exactly what the pass computes, or the
// comparison means nothing.
bool sameSeries(int t) {
    ModelState a = loaded(t);
    ModelState b = loaded(t);
    Trajectory::calculate(a);
    plainEuler(b);
    for (std::size_t i = 0; i < a.xSeries.size(); ++i)
        if (a.xSeries[i] != b.xSeries[i] || a.ySeries[i] != b.ySeries[i])
            return false;
    return true;
}

// Other programs on the machine only ever slow a repetition down, so the
// fastest one is the closest to what the code itself costs.
double fastest(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MainFrmLight window;
    window.show();
    QCoreApplication::processEvents();
    DrawingLayer* layer = window.drawingLayer();

    // 50 and 3276 time units at the step 0,1 of the texts at load.
    for (const auto& [t, steps] : {std::pair{50, 500}, std::pair{3276, 32760}}) {
        if (!sameSeries(t)) {
            std::fprintf(stderr, "the plain loop differs from Trajectory for t=%d\n", t);
            return EXIT_FAILURE;
        }
        const QByteArray n = '/' + QByteArray::number(steps);
        for (benchmark::internal::Benchmark* b :
             {benchmark::RegisterBenchmark(("trajectory" + n).constData(), trajectory, t),
              benchmark::RegisterBenchmark(("euler" + n).constData(), euler, t),
              benchmark::RegisterBenchmark(("plotter" + n).constData(), plotter, t, layer),
              benchmark::RegisterBenchmark(("qpainter" + n).constData(), qpainter, t,
                                           layer->size())})
            b->ComputeStatistics("min", fastest);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return EXIT_FAILURE;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
