// The core's costs against the least the same work can cost: the checked
// Euler pass against a plain loop, and the graph drawn through the plotter
// onto the light window's drawing layer against the same segments drawn
// with a bare QPainter; the export's table against a plain fprintf loop
// and its picture against the same bare QPainter; the lab's passes against
// plain loops of their formulas, a run's figures against the Euler pass, and
// the exact orbit against its aim of a millisecond; the lab window's redraw
// against a bare QPainter polyline and a slider's move against a 60 Hz
// frame; an exact individual run against a plain Gillespie loop, and the
// extinction ensemble on every core against one thread; a sweep of 1000
// points against 1000 single --summary runs, and on two threads against
// one. Names are
// "<case>/<steps>"; morvane_bench_windows pairs them up for the report.

#include "analysis/exactorbit.h"
#include "analysis/integrator.h"
#include "analysis/runsummary.h"
#include "export/csvwriter.h"
#include "export/exportcommand.h"
#include "export/graphpicture.h"
#include "export/labpicture.h"
#include "export/sweptinput.h"
#include "extinction/ensemble.h"
#include "light/mainfrmlight.h"
#include "model/inputreader.h"
#include "model/trajectory.h"
#include "plot/graphplotter.h"
#include "plot/recordingsurface.h"
#include "ui/drawinglayer.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

// The light window's texts at load, with t raised for the long pass (and
// dt adjusted for a pass of exactly 32767 steps).
ModelState loaded(int t, const QString& dt = QStringLiteral("0,1")) {
    InputTexts texts;
    texts.t = QString::number(t);
    texts.dt = dt;
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
// no antialiasing), so the image is not cleared between iterations; the
// layer's record of what was drawn is, outside the timing, or it would
// grow with every iteration.
void plotter(benchmark::State& st, int t, DrawingLayer* layer) {
    ModelState s = loaded(t);
    Trajectory::calculate(s);
    for (auto _ : st) {
        GraphPlotter::drawCurves(s, *layer);
        layer->flush();
        st.PauseTiming();
        layer->clear();
        st.ResumeTiming();
    }
}

void qpainter(benchmark::State& st, int t, QSize size, QString dt) {
    ModelState s = loaded(t, dt);
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

// The export command's table of a run, handed to the system.
void csv(benchmark::State& st, int t, QString dt, FILE* sink) {
    ModelState s = loaded(t, dt);
    Trajectory::calculate(s);
    for (auto _ : st) {
        const QByteArray text = CsvWriter::series(s.xSeries.data(), s.ySeries.data(),
                                                  s.xSeries.size(), s.dt, CsvWriter::Plain);
        std::fwrite(text.constData(), 1, std::size_t(text.size()), sink);
        std::fflush(sink);
    }
}

// The least the same table costs: the same numbers through printf.
void fprintfLoop(benchmark::State& st, int t, QString dt, FILE* sink) {
    ModelState s = loaded(t, dt);
    Trajectory::calculate(s);
    const double* x = s.xSeries.data();
    const double* y = s.ySeries.data();
    for (auto _ : st) {
        std::fputs("step,t,x,y\n", sink);
        for (std::size_t i = 0; i < s.xSeries.size(); ++i)
            std::fprintf(sink, "%zu,%.17g,%.17g,%.17g\n", i, double(i) * s.dt, x[i], y[i]);
        std::fflush(sink);
    }
}

// The command's picture at scale 1, before encoding: the box, the curves
// and the scale drawn through the plotter, the axes in front.
void png(benchmark::State& st, int t, QString dt) {
    ModelState s = loaded(t, dt);
    Trajectory::calculate(s);
    const GraphPicture::Frame frame = GraphPicture::Frame::standard();
    for (auto _ : st) {
        const QImage image = GraphPicture::image(frame, 1, [&s](DrawSurface& surface) {
            GraphPlotter::drawCurves(s, surface);
            GraphPlotter::drawScale(s, surface);
        });
        benchmark::DoNotOptimize(image.constBits());
    }
}

// The lab's two other steps, term for term as Integrator takes them,
// without checks, peaks or disaster.
void plainSemiImplicit(ModelState& s) {
    double* x = s.xSeries.data();
    double* y = s.ySeries.data();
    const int last = int(s.xSeries.size()) - 1;
    const double k1 = s.k1, k2 = s.k2, a1 = s.a1, a2 = s.a2, dt = s.dt;
    double xp = x[0], yp = y[0];
    for (int i = 1; i <= last; ++i) {
        const double xi = ((xp * k1) - (xp * a1) * yp) * dt + xp;
        const double yi = ((xi * a2) * yp + (-k2) * yp) * dt + yp;
        x[i] = xi;
        y[i] = yi;
        xp = xi;
        yp = yi;
    }
}

void plainRk4(ModelState& s) {
    double* x = s.xSeries.data();
    double* y = s.ySeries.data();
    const int last = int(s.xSeries.size()) - 1;
    const double k1 = s.k1, k2 = s.k2, a1 = s.a1, a2 = s.a2, dt = s.dt, h = dt / 2;
    double xp = x[0], yp = y[0];
    for (int i = 1; i <= last; ++i) {
        const double ax = xp * (k1 - a1 * yp), ay = yp * (a2 * xp - k2);
        const double bxp = xp + h * ax, byp = yp + h * ay;
        const double bx = bxp * (k1 - a1 * byp), by = byp * (a2 * bxp - k2);
        const double cxp = xp + h * bx, cyp = yp + h * by;
        const double cx = cxp * (k1 - a1 * cyp), cy = cyp * (a2 * cxp - k2);
        const double dxp = xp + dt * cx, dyp = yp + dt * cy;
        const double dx = dxp * (k1 - a1 * dyp), dy = dyp * (a2 * dxp - k2);
        xp = x[i] = xp + dt / 6 * (ax + 2 * (bx + cx) + dx);
        yp = y[i] = yp + dt / 6 * (ay + 2 * (by + cy) + dy);
    }
}

void (*const plainLoops[])(ModelState&) = {plainEuler, plainSemiImplicit, plainRk4};

void lab(benchmark::State& st, Integrator::Method m, int t, QString dt) {
    ModelState s = loaded(t, dt);
    for (auto _ : st) {
        Integrator::calculate(s, m);
        benchmark::ClobberMemory();
    }
}

void plain(benchmark::State& st, Integrator::Method m, int t, QString dt) {
    ModelState s = loaded(t, dt);
    for (auto _ : st) {
        plainLoops[int(m)](s);
        benchmark::ClobberMemory();
    }
}

// A run's figures without the step halving, from the finished series.
void summary(benchmark::State& st, int t, QString dt) {
    ModelState s = loaded(t, dt);
    Trajectory::calculate(s);
    const RunSummary::Input in{Integrator::Euler, Trajectory::rates(s), s.xSeries.data(),
                               s.ySeries.data(), int(s.xSeries.size()) - 1};
    for (auto _ : st)
        benchmark::DoNotOptimize(RunSummary::of(in));
}

// An orbit of the lab's own example, well away from the equilibrium.
void orbit(benchmark::State& st, int points) {
    for (auto _ : st)
        benchmark::DoNotOptimize(ExactOrbit::through({1.2, 0.8, 0.4, 0.1, 0.1}, 3, 2, points));
}

// The lab window's plane at its opening size, on a run of its example's
// coefficients.
const QSize LabPlane(700, 480);
Scenario labParams(double span, int steps) {
    Scenario p;
    p.k1 = 0.9;
    p.k2 = 0.6;
    p.a1 = 0.3;
    p.a2 = 0.2;
    p.span = span;
    p.dt = span / steps;
    p.x0 = 8;
    p.y0 = 1;
    return p;
}

// The least a redraw can cost: the same points and orbit, scaled by the
// same axes, as two antialiased polylines with the same pens.
void labBare(benchmark::State& st, const LabRun* run) {
    QImage image(LabPlane, QImage::Format_ARGB32_Premultiplied);
    LabPicture::Style style;
    const PhaseView view = LabPicture::view(*run, QRectF(QPointF(0, 0), QSizeF(LabPlane)), style);
    for (auto _ : st) {
        image.fill(Qt::white);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        const PhaseView::Axis& ax = view.xAxis();
        const PhaseView::Axis& ay = view.yAxis();
        const QRectF plane = view.plane();
        const double sx = plane.width() / (ax.max - ax.min);
        const double sy = plane.height() / (ay.max - ay.min);
        auto line = [&](const std::vector<double>& x, const std::vector<double>& y) {
            QPolygonF points;
            points.reserve(qsizetype(x.size()));
            for (std::size_t i = 0; i < x.size(); ++i)
                points << QPointF(plane.left() + (x[i] - ax.min) * sx,
                                  plane.bottom() - (y[i] - ay.min) * sy);
            return points;
        };
        p.setPen(QPen(QColor(0x20, 0x40, 0xC0, 120), 1.5));
        p.drawPolyline(line(run->orbit->x, run->orbit->y));
        p.setPen(QPen(QColor(0, 0xC0, 0), 1));
        p.drawPolyline(line(run->x, run->y));
    }
}

// The lab's whole redraw: axes, direction field, nullclines, orbit, path.
void labRedraw(benchmark::State& st, const LabRun* run) {
    QImage image(LabPlane, QImage::Format_ARGB32_Premultiplied);
    LabPicture::Style style;
    style.font = GraphPicture::windowFont();
    for (auto _ : st) {
        QPainter p(&image);
        LabPicture::paintPlane(p, QRectF(QPointF(0, 0), QSizeF(LabPlane)), *run, style);
    }
}

// One move of a slider: the run and its figures made anew, the plane and
// the strip painted.
void labDrag(benchmark::State& st, int steps, bool compare) {
    QImage plane(LabPlane, QImage::Format_ARGB32_Premultiplied);
    QImage strip(QSize(LabPlane.width(), LabPicture::StripHeight),
                 QImage::Format_ARGB32_Premultiplied);
    LabPicture::Style style;
    style.font = GraphPicture::windowFont();
    style.compare = compare;
    Scenario params = labParams(30, steps);
    int move = 0;
    for (auto _ : st) {
        params.k1 = 0.9 + 0.001 * (++move % 50);
        const LabRun run = LabRun::of(params, compare);
        QPainter p(&plane);
        LabPicture::paintPlane(p, QRectF(QPointF(0, 0), QSizeF(LabPlane)), run, style);
        QPainter q(&strip);
        LabPicture::paintStrip(q, QRectF(QPointF(0, 0), QSizeF(strip.size())), run, style);
    }
}

bool sameLab(int t, QString dt) {
    for (Integrator::Method m : Integrator::All) {
        ModelState a = loaded(t, dt);
        ModelState b = loaded(t, dt);
        Integrator::calculate(a, m);
        plainLoops[int(m)](b);
        for (std::size_t i = 0; i < a.xSeries.size(); ++i)
            if (a.xSeries[i] != b.xSeries[i] || a.ySeries[i] != b.ySeries[i])
                return false;
    }
    return true;
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

// The lab's example of a disaster in the trough, counted with Ω = 100.
Scenario troughExample() {
    Scenario s;
    s.k1 = 0.9, s.k2 = 0.6, s.a1 = 0.3, s.a2 = 0.2, s.dt = 0.01, s.span = 30, s.x0 = 8, s.y0 = 1;
    s.disaster = true;
    s.strikeTime = 7.07;
    return s;
}

// The least an exact run can cost: Gillespie's direct method over the same
// four rates with the same generator and draws, and nothing else (no
// disaster, no grid, no cap, no way to stop). Returns the events.
std::uint64_t plainGillespie(const Scenario& s, int omega, std::uint64_t seed, std::uint64_t index,
                             std::int64_t& X, std::int64_t& Y) {
    std::seed_seq seq{std::uint32_t(seed), std::uint32_t(seed >> 32), std::uint32_t(index),
                      std::uint32_t(index >> 32)};
    std::mt19937_64 g(seq);
    X = std::llround(s.x0 * omega);
    Y = std::llround(s.y0 * omega);
    const double a1 = s.a1 / omega, a2 = s.a2 / omega;
    std::uint64_t events = 0;
    for (double t = 0; X > 0 && Y > 0;) {
        const double r1 = s.k1 * X, r2 = a1 * X * Y, r3 = a2 * X * Y, r4 = s.k2 * Y;
        const double total = r1 + r2 + r3 + r4;
        t -= std::log1p(-double(g() >> 11) * 0x1.0p-53) / total;
        if (t > s.span)
            break;
        const double u = double(g() >> 11) * 0x1.0p-53 * total;
        u < r1 ? ++X : u < r1 + r2 ? --X : u < r1 + r2 + r3 ? ++Y : --Y;
        ++events;
    }
    return events;
}

// One run of the example without its disaster, index 0 (which survives to T).
void gillespie(benchmark::State& st, bool plain) {
    const Scenario s = troughExample();
    std::uint64_t events = 0;
    for (auto _ : st) {
        std::int64_t x = 0, y = 0;
        if (plain) {
            events += plainGillespie(s, 100, 1, 0, x, y);
        } else {
            const IndividualRun::Outcome o = IndividualRun::simulate(s, 100, 1, 0, std::nullopt);
            events += o.events;
            x = o.x;
        }
        benchmark::DoNotOptimize(x);
    }
    st.counters["events/s"] = benchmark::Counter(double(events), benchmark::Counter::kIsRate);
}

// The lab panel's Ω = 100 and 24 moments, with a fifth of its 1000 runs, so
// that three repetitions on one thread take about 25 s.
void ensemble(benchmark::State& st, int threads) {
    const Scenario s = troughExample();
    for (auto _ : st) {
        const Extinction::Result r = Extinction::run(s, {100, 200, 20240529, threads, 24, 101});
        benchmark::DoNotOptimize(r.events);
    }
}

// morvane-export in this process, its table or summary into memory.
qsizetype exportOnce(const QStringList& args) {
    QByteArray out, err;
    QBuffer o(&out), e(&err);
    o.open(QIODevice::WriteOnly);
    e.open(QIODevice::WriteOnly);
    if (ExportCommand::run(args, o, e) != ExportCommand::Success)
        std::abort();
    return out.size();
}

// k1 over 1000 values at the texts at load: the sweep on `threads`, or
// (threads 0) each value's --summary in turn.
void sweep(benchmark::State& st, int threads) {
    std::vector<SweptInput> swept;
    SweptInput::parse({QStringLiteral("k1=0,1:1:1000")}, swept);
    QList<QStringList> singles;
    for (long long i = 0; i < swept[0].count; ++i)
        singles << QStringList{QStringLiteral("--k1=") + swept[0].text(i),
                               QStringLiteral("--summary=-")};
    const QStringList args = {QStringLiteral("--sweep=k1=0,1:1:1000"), QStringLiteral("--table=-"),
                              QStringLiteral("--threads=%1").arg(threads)};
    for (auto _ : st) {
        qsizetype bytes = 0;
        if (threads > 0)
            bytes = exportOnce(args);
        else
            for (const QStringList& single : singles)
                bytes += exportOnce(single);
        benchmark::DoNotOptimize(bytes);
    }
}

bool sameGillespie() {
    const Scenario s = troughExample();
    std::int64_t x = 0, y = 0;
    const std::uint64_t events = plainGillespie(s, 100, 1, 0, x, y);
    const IndividualRun::Outcome o = IndividualRun::simulate(s, 100, 1, 0, std::nullopt);
    return events == o.events && x == o.x && y == o.y && events > 1000 && !o.died;
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
              benchmark::RegisterBenchmark(("qpainter" + n).constData(), qpainter, t, layer->size(),
                                           QStringLiteral("0,1"))})
            b->ComputeStatistics("min", fastest);
    }
    // The export: a pass of 32767 steps, the most a run draws.
    FILE* sink = std::fopen("/dev/null", "w");
    const QString dt = QStringLiteral("0,10000915555");
    if (!sink || loaded(3277, dt).xSeries.size() != 32768) {
        std::fprintf(stderr, "no pass of 32767 steps to export\n");
        return EXIT_FAILURE;
    }
    for (benchmark::internal::Benchmark* b :
         {benchmark::RegisterBenchmark("csv/32767", csv, 3277, dt, sink),
          benchmark::RegisterBenchmark("fprintf/32767", fprintfLoop, 3277, dt, sink),
          benchmark::RegisterBenchmark("png/32767", png, 3277, dt),
          benchmark::RegisterBenchmark("qpainter/32767", qpainter, 3277, GraphPicture::size(), dt)})
        b->ComputeStatistics("min", fastest);
    // The lab: each method, a run's figures and the exact orbit.
    if (!sameLab(3277, dt)) {
        std::fprintf(stderr, "a plain loop differs from the lab's pass\n");
        return EXIT_FAILURE;
    }
    for (Integrator::Method m : Integrator::All) {
        const QByteArray name = Integrator::name(m).toLatin1();
        for (benchmark::internal::Benchmark* b :
             {benchmark::RegisterBenchmark(("lab-" + name + "/32767").constData(), lab, m, 3277,
                                           dt),
              benchmark::RegisterBenchmark(("plain-" + name + "/32767").constData(), plain, m, 3277,
                                           dt)})
            b->ComputeStatistics("min", fastest);
    }
    for (benchmark::internal::Benchmark* b :
         {benchmark::RegisterBenchmark("summary/32767", summary, 3277, dt),
          benchmark::RegisterBenchmark("orbit/2000", orbit, 2000)})
        b->ComputeStatistics("min", fastest);
    // The lab window: a redraw after the longest run, a slider's move.
    static const LabRun longest = LabRun::of(labParams(60, 32767), false);
    if (longest.last != 32767 || !longest.orbit.has()) {
        std::fprintf(stderr, "no lab run of 32767 steps\n");
        return EXIT_FAILURE;
    }
    for (benchmark::internal::Benchmark* b :
         {benchmark::RegisterBenchmark("lab-redraw/32767", labRedraw, &longest),
          benchmark::RegisterBenchmark("lab-bare/32767", labBare, &longest),
          benchmark::RegisterBenchmark("lab-drag/5000", labDrag, 5000, false),
          benchmark::RegisterBenchmark("lab-drag-compare/5000", labDrag, 5000, true),
          benchmark::RegisterBenchmark("lab-drag-compare/32767", labDrag, 32767, true)})
        b->ComputeStatistics("min", fastest);
    // The extinction: one exact run against a plain loop, the ensemble on
    // one thread and on every core.
    if (!sameGillespie()) {
        std::fprintf(stderr, "the plain Gillespie loop differs from the individual run\n");
        return EXIT_FAILURE;
    }
    for (benchmark::internal::Benchmark* b :
         {benchmark::RegisterBenchmark("gillespie/1", gillespie, false),
          benchmark::RegisterBenchmark("plain-gillespie/1", gillespie, true)})
        b->ComputeStatistics("min", fastest);
    for (benchmark::internal::Benchmark* b :
         {benchmark::RegisterBenchmark("ensemble-one/200", ensemble, 1),
          benchmark::RegisterBenchmark("ensemble-all/200", ensemble, 0)})
        b->ComputeStatistics("min", fastest)->Iterations(1)->Repetitions(3)->UseRealTime();
    // The sweep: wall time, since it runs on several threads.
    for (benchmark::internal::Benchmark* b :
         {benchmark::RegisterBenchmark("singles/1000", sweep, 0),
          benchmark::RegisterBenchmark("sweep-one/1000", sweep, 1),
          benchmark::RegisterBenchmark("sweep-two/1000", sweep, 2)})
        b->ComputeStatistics("min", fastest)->UseRealTime();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return EXIT_FAILURE;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
