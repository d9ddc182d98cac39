#include "casetable.h"
#include "diag/corrections.h"
#include "diag/logentries.h"
#include "model/inputreader.h"
#include "model/trajectory.h"
#include "plot/disastermarker.h"
#include "plot/graphplotter.h"
#include "plot/phaseview.h"
#include "plot/recordingsurface.h"

#include <QStringList>

// The graph, the disaster mark, the corrections graph and the debug log
// texts, drawn onto a recording instead of a window.
using Op = RecordingSurface::Op;

static ModelState drawn(RecordingSurface& surface, const InputTexts& texts = {}) {
    ModelState s;
    InputReader::readFull(s, texts);
    Trajectory::calculate(s);
    GraphPlotter::drawCurves(s, surface);
    GraphPlotter::drawScale(s, surface);
    return s;
}

static bool near(float a, double b) {
    return qAbs(a - b) < 0.01;
}

// name, dt, steps, where the curves end
static const std::tuple<const char*, const char*, int, double> spans[] = {
    {"dt 0.1", "0,1", 500, 7920},
    {"dt 0.3: past the end tick", "0,3", 167, 7934.88},
    {"dt 0.7: short of it", "0,7", 71, 7875.36},
};

// name, press x and y, armed, model time of the mark (nullptr: not accepted)
static const std::tuple<const char*, double, double, bool, const char*> presses[] = {
    {"left edge", 480, 2000, true, nullptr}, {"right edge", 7920, 2000, true, nullptr},
    {"top edge", 2000, 1040, true, nullptr}, {"bottom edge", 2000, 4280, true, nullptr},
    {"idle", 2000, 2000, false, nullptr},    {"inside the corner", 480.5, 4279.5, true, "0"},
    {"middle", 4200, 1041, true, "25"},      {"step 0", 487, 2000, true, "0"},
    {"right end", 7919, 2000, true, "50"},
};

// name, measured seconds, factor, corrected factor
static const std::tuple<const char*, float, float, float> rules[] = {
    {"0.5 s", 0.5f, 1, 5},        {"0.03 s", 0.03f, 1, 0.6f},      {"0 s", 0, 1, 0.6f},
    {"negative", -0.2f, 1, 0.6f}, {"on target", 0.1f, 2.5f, 2.5f}, {"0.2 s at 5", 0.2f, 5, 10},
};

class TstPlot : public QObject {
    Q_OBJECT
private slots:
    void curvesAndScale() {
        RecordingSurface surface;
        ModelState s;
        RUNS(s = drawn(surface));
        QVERIFY(qAbs(s.twipsPerUnit - 399.201454) < 1e-6);
        const auto& ops = surface.ops();
        QCOMPARE(ops.size(), 1000u + 40);
        QVERIFY(ops[0].x1 == 480 && near(ops[0].y1, 4280.08));
        QVERIFY(ops[0].x2 == 494.88f && near(ops[0].y2, 4279.72));
        QVERIFY(ops[0].colour == 0x00C000 && ops[1].colour == 0xFF8000 && !ops[1].foreground);
        QCOMPARE(s.xMax, *std::max_element(s.xSeries.data(), s.xSeries.data() + 501));
        QCOMPARE(s.yMax, *std::max_element(s.ySeries.data(), s.ySeries.data() + 501));
        // End tick and number, then tick and number for each time and value division.
        auto expect = [&](int i, double x1, double y1, double x2, double y2, QString text) {
            const Op& o = ops[1000 + i];
            QVERIFY2(o.foreground && o.text == text && o.x1 == x1 && o.y1 == y1 && o.x2 == x2 &&
                         o.y2 == y2,
                     qPrintable(QStringLiteral("op %1 %2").arg(i).arg(o.text)));
        };
        expect(0, 7920, 4260, 7920, 4380, {});
        expect(1, 7820, 4380, 7820, 4380, QStringLiteral(" 50 "));
        const QStringList values =
            QStringLiteral("0,6 1,1 1,7 2,2 2,8 3,4 3,9 4,5 5,1 5,6").split(' ');
        for (int k = 1; k <= 10; ++k) {
            if (k < 10) {
                expect(2 * k, 480 + 744 * k, 4290, 480 + 744 * k, 4350, {});
                expect(2 * k + 1, 380 + 744 * k, 4380, 380 + 744 * k, 4380,
                       QStringLiteral(" %1 ").arg(5 * k));
            }
            const double y = 4320 - 224 * k;
            expect(18 + 2 * k, 450, y, 510, y, {});
            expect(19 + 2 * k, 140, y - 100, 140, y - 100, ' ' + values[k - 1] + ' ');
        }
    }
    // Unequal inputs and a span of 53.3 steps: every segment where the
    // mapping puts it, and numbers that are not whole.
    void unequal() {
        RecordingSurface surface;
        ModelState s;
        RUNS(s = drawn(surface, {"0,6", "0,5", "0,3", "0,4", "0,3", "16", "2", "0,5"}));
        const Plain p = plainEuler(0.6, 0.5, 0.3, 0.4, 0.3, 53, 2, 0.5);
        const double perStep = 139.5, perUnit = 2240 / 7.108314212572073;
        const auto& ops = surface.ops();
        QCOMPARE(ops.size(), std::size_t(2 * 53 + 40));
        for (int i = 1; i <= 53; ++i) {
            for (int c = 0; c < 2; ++c) {
                const std::vector<double>& v = c ? p.y : p.x;
                const Op& o = ops[2 * i - 2 + c];
                QVERIFY2(near(o.x1, 480 + (i - 1) * perStep) && near(o.x2, 480 + i * perStep) &&
                             near(o.y1, 4320 - v[i - 1] * perUnit) &&
                             near(o.y2, 4320 - v[i] * perUnit) &&
                             o.colour == (c ? 0xFF8000u : 0x00C000u),
                         qPrintable(QStringLiteral("step %1 curve %2").arg(i).arg(c)));
            }
        }
        QVERIFY(nearlyEqual(s.xMax, 4.181614000319123) && nearlyEqual(s.yMax, 7.108314212572073));
        QStringList texts;
        for (std::size_t i = 2 * 53; i < ops.size(); ++i)
            if (ops[i].kind == Op::Text)
                texts << ops[i].text.trimmed();
        QCOMPARE(texts.join(' '), QStringLiteral("16 1,6 3,2 4,8 6,4 8 9,6 11,2 12,8 14,4 "
                                                 "0,7 1,4 2,1 2,8 3,6 4,3 5 5,7 6,4 7,1"));
    }
    void span_data() { addRows(spans); }
    void span() {
        const auto& [name, dt, steps, curveEnd] = currentRow(spans);
        RecordingSurface surface;
        InputTexts texts;
        texts.dt = QString::fromLatin1(dt);
        RUNS(drawn(surface, texts));
        const auto& ops = surface.ops();
        QCOMPARE(ops.size(), std::size_t(2 * steps + 40));
        QVERIFY(near(ops[2 * steps - 2].x2, curveEnd) && near(ops[2 * steps].x1, 7920));
        QVERIFY(ops[2 * steps + 3].text == " 5 " && ops[2 * steps + 19].text == " 45 ");
    }
    void flatTrajectoryFails() {
        InputTexts texts;
        texts.x0 = texts.y0 = QStringLiteral("0");
        RecordingSurface surface;
        QCOMPARE(errorOf([&] { drawn(surface, texts); }), RunError::DivisionByZero);
        QCOMPARE(surface.segmentCount(), 0u);
    }
    void press_data() { addRows(presses); }
    void press() {
        const auto& [name, x, y, armed, time] = currentRow(presses);
        RecordingSurface surface;
        ModelState s;
        RUNS(s = drawn(surface));
        s.disasterX = 99;
        QVERIFY(!DisasterMarker::arm(s)); // no graph yet
        s.graphReady = -1;
        QVERIFY(!armed || DisasterMarker::arm(s));
        QCOMPARE(DisasterMarker::press(s, x, y), time != nullptr);
        QCOMPARE(s.disasterX, time ? float(x - 480) : 99.f);
        QCOMPARE(s.disasterArmed, time ? -1 : 0);
        if (time)
            QCOMPARE(DisasterMarker::markTime(s), QString::fromLatin1(time));
    }
    void markAndRedraw() {
        QVERIFY(DisasterMarker::factorFor(0) == 8 && DisasterMarker::factorFor(6) == 2);
        RecordingSurface surface;
        ModelState s;
        RUNS(s = drawn(surface));
        s.graphReady = -1;
        QVERIFY(DisasterMarker::arm(s) && DisasterMarker::press(s, 4200, 2000));
        surface.clear();
        RUNS(DisasterMarker::redraw(s, surface, 3));
        DisasterMarker::finish(s);
        QVERIFY(s.disasterFactor == 5 && s.disasterArmed == 0 && s.stepIndex == 500);
        QCOMPARE(surface.segmentCount(), 1000u + 10); // curves, end tick, nine time ticks
        QCOMPARE(surface.textCount(), 10u);           // no value numbers
        RUNS(Trajectory::calculate(s));               // the next run strikes step 250
        QVERIFY(qAbs(s.xSeries[250] - 0.539310316 * 2 / 5) < 1e-8);
    }
    void rule_data() { addRows(rules); }
    void rule() {
        const auto& [name, elapsed, factor, corrected] = currentRow(rules);
        QCOMPARE(Corrections::correctedFactor(elapsed, factor), corrected);
    }
    void recordCap() {
        ModelState s;
        s.correctionCount = 32766;
        s.factorHistory.assign(32766, 1.f);
        s.elapsedHistory.assign(32766, 0.1f);
        Corrections::record(s, 0.5f);
        QVERIFY(s.correctionCount == 32767 && s.factorHistory.back() == 5.f);
        Corrections::record(s, 0.2f);
        QVERIFY(s.correctionCount == 32767 && s.factorHistory.size() == 32767u);
        QVERIFY(s.elapsedHistory.size() == 32767u && s.elapsedHistory.back() == 0.5f);
        QVERIFY(s.correctionFactor == 10.f && s.lastElapsed == 0.2f);
    }
    // The largest record, worked out by hand from the rule; with 3 and 100
    // records it is the last factor.
    void correctionsGraph_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<double>("peak");
        for (auto [n, peak] : {std::pair{1, 0.0}, {2, 0.6}, {3, 0.9}, {7, 1.8}, {100, 30301.42}})
            QTest::addRow("%d records", n) << n << peak;
    }
    void correctionsGraph() {
        QFETCH(int, n);
        QFETCH(double, peak);
        ModelState s;
        for (int i = 0; i < n; ++i)
            Corrections::record(s, 0.05f * float(i % 4 + 1)); // factors 0.6, 0.6, 0.9, ...
        QCOMPARE(Corrections::beginGraph(s), n >= 2);
        if (n < 2)
            return;
        const double step = 7440.0 / (n - 1);
        const ModelState::Scales& own = s.correctionScales;
        QVERIFY(own.twipsPerStep == step && qAbs(own.twipsPerUnit * peak / 2240 - 1) < 1e-6);
        RecordingSurface surface;
        for (int i = 1; i < n; ++i)
            Corrections::drawGraphStep(s, surface, i);
        Corrections::drawGraphEnd(s, surface);
        const auto& ops = surface.ops();
        QCOMPARE(ops.size(), std::size_t(3 * (n - 1) + 2));
        QVERIFY(ops[0].colour == 0x00C000 && ops[1].colour == 0xFF8000);
        for (int i = 1; i < n; ++i) {
            const Op& tick = ops[3 * i - 1];
            QVERIFY(tick.foreground && tick.y1 == 4280 && tick.y2 == 4360);
            QVERIFY(near(tick.x1, 480 + i * step) && tick.x2 == tick.x1);
        }
        const Op& end = ops[ops.size() - 2];
        QVERIFY(end.x1 == 7920 && end.y1 == 4260 && end.x2 == 7920 && end.y2 == 4380);
        QCOMPARE(ops.back().text, QStringLiteral(" %1 ").arg(n));
        QVERIFY(ops.back().x1 == 7920 && ops.back().y1 == 4380);
    }
    void logTexts() {
        const QString sep(34, QLatin1Char('-'));
        QCOMPARE(LogEntries::separator(), sep);
        QCOMPARE(LogEntries::point(1, 0.1009, 0.0991), "x1=0,1009           y1=0,0991");
        QCOMPARE(LogEntries::point(5, 2, -0.25), "x5=2           y5=-0,25");
        ModelState s;
        InputReader::readFull(s, {});
        QCOMPARE(LogEntries::startBlock(s, QDateTime({2024, 3, 5}, {7, 8, 9})),
                 QStringList({sep, sep, "-------------LOG START------------", sep, sep,
                              "Date:05.03.2024 7:08:09", sep, "DebugMode=1", "x0=0,1", "y0=0,1",
                              "k1=0,1", "k2=0,1", "a1=0,1", "a2=0,1", "dt=0,1"}));
        QCOMPARE(LogEntries::startBlock(s, QDateTime({2024, 12, 31}, {0, 0}))[5],
                 "Date:31.12.2024");
        QCOMPARE(LogEntries::endBlock(),
                 QStringList({sep, sep, "--------------LOG END-------------", sep, sep}));
        QCOMPARE(LogEntries::elapsedGroup("InitElapsed", 1.0f / 3),
                 QStringList({sep, "InitElapsed=0,3333333", sep}));
        QCOMPARE(LogEntries::elapsedGroup("DrawElapsed", 1234.5678f)[1], "DrawElapsed=1234,568");
    }

    // The lab's graduation: 1, 2, 2,5 or 5 times a power of ten, from 0
    // (or below it) to past the highest value.
    void phaseAxis_data() {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QList<double>>("axis"); // min, max, step
        QTest::newRow("0,1..5,3") << QList<double>{0.1, 5.3} << QList<double>{0, 6, 2};
        QTest::newRow("below 0") << QList<double>{-4.5, 15.5} << QList<double>{-5, 20, 5};
        QTest::newRow("top on a step") << QList<double>{3, 10} << QList<double>{0, 12, 2};
        QTest::newRow("small") << QList<double>{0.011, 0.0113} << QList<double>{0, 0.0125, 0.0025};
        QTest::newRow("2,5") << QList<double>{0.2, 11.7} << QList<double>{0, 12.5, 2.5};
        QTest::newRow("not finite")
            << QList<double>{qInf(), qQNaN(), 0.7} << QList<double>{0, 0.8, 0.2};
    }
    void phaseAxis() {
        QFETCH(QList<double>, values);
        QFETCH(QList<double>, axis);
        const PhaseView::Axis a = PhaseView::axis({values.begin(), values.end()});
        QCOMPARE(QList<double>({a.min, a.max, a.step}), axis);
    }

    // Arrows point where the flow goes, on the screen (y downwards): at
    // (5; 5) x falls and y grows, at (0,5; 0,5) the other way round; the
    // longest spans 0,9 of its cell.
    void directionField() {
        const Trajectory::Rates r{0.9, 0.6, 0.3, 0.2, 0.1};
        const PhaseView view({0, 10, 2}, {0, 10, 2}, QRectF(0, 0, 100, 100));
        const PhaseView::Field one = view.field(r, 1, 1);
        QCOMPARE(one.arrows.size(), std::size_t(1));
        const QPointF d = one.arrows[0].to - one.arrows[0].from;
        QVERIFY(d.x() < 0 && d.y() < 0);
        QCOMPARE(std::hypot(d.x(), d.y()), 90.0);
        QCOMPARE(one.fastest, std::hypot(5 * (0.9 - 0.3 * 5), 5 * (0.2 * 5 - 0.6)));
        const PhaseView::Field grid = view.field(r, 10, 10);
        const QPointF corner = grid.arrows[90].to - grid.arrows[90].from; // bottom left
        QVERIFY(corner.x() > 0 && corner.y() > 0);
        const PhasePoint v = view.valueAt(view.at(3.25, 7.5));
        QCOMPARE(QList<double>({v.x, v.y}), QList<double>({3.25, 7.5}));
    }
};

QTEST_GUILESS_MAIN(TstPlot)
#include "tst_plot.moc"
