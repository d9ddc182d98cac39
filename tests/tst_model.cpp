#include "analysis/labstate.h"
#include "casetable.h"
#include "model/inputreader.h"
#include "model/scenario.h"
#include "model/scenariofile.h"
#include "model/series.h"
#include "model/trajectory.h"
#include "strikerule.h"

// A scenario file that each row spoils in one way, and the key its refusal
// names. The rest of the file is that of a good one.
const QByteArray GoodFile = R"({"format": "morvane-scenario", "version": 1, "title": "Урок",
    "k1": 0.6, "k2": 0.5, "a1": 0.3, "a2": 0.4, "dt": 0.05, "t": 12, "x0": 2.5, "y0": 1.5,
    "method": "rk4", "disaster": {"time": 3.05, "divisor": 1000}})";
const std::tuple<const char*, const char*, const char*, const char*> BadFiles[] = {
    {"not JSON", "{\"format\"", "", "не JSON"},
    {"another format", "\"morvane-scenario\"", "\"other\"", "«format»"},
    {"a newer version", "\"version\": 1", "\"version\": 2", "более новой версией"},
    {"a value missing", "\"k2\": 0.5, ", "", "«k2»: значения нет"},
    {"text for a number", "\"x0\": 2.5", "\"x0\": \"2,5\"", "«x0»: нужно число"},
    {"t not whole", "\"t\": 12", "\"t\": 12.5", "«t»"},
    {"t beyond 16 bits", "\"t\": 12", "\"t\": 40000", "«t»"},
    {"dt zero", "\"dt\": 0.05", "\"dt\": 0", "«dt»"},
    {"an unknown method", "\"rk4\"", "\"rk5\"", "«method»"},
    {"a divisor no window has", "1000}", "9}", "«disaster.divisor»"},
    {"an unknown key", "\"title\"", "\"colour\": 1, \"title\"", "«colour»: неизвестный ключ"},
    {"an unknown key in the disaster", "\"time\"", "\"when\": 1, \"time\"", "«disaster.when»"},
    {"the disaster's time missing", "\"time\": 3.05, ", "", "«disaster.time»"},
    {"Ω not whole", "\"method\"",
     "\"extinction\": {\"omega\": 2.5, \"runs\": 10, \"seed\": 1}, \"method\"",
     "«extinction.omega»"},
    {"no runs", "\"method\"",
     "\"extinction\": {\"omega\": 100, \"runs\": 0, \"seed\": 1}, \"method\"", "«extinction.runs»"},
    {"a seed past 2^53", "\"method\"",
     "\"extinction\": {\"omega\": 100, \"runs\": 10, \"seed\": 1e16}, \"method\"",
     "«extinction.seed»: нужно целое число от 0 до 9007199254740991"},
};

#include <QTemporaryDir>
#include <cmath>

// Reading the input row, and the Euler pass with its disaster.

// name, dt, t, x0 texts; fails; dt, t, series size and twipsPerStep (full
// reading) afterwards. Before each row the state holds 7 everywhere and
// series of 3 elements.
static const std::tuple<const char*, const char*, const char*, const char*, bool, double, int, int,
                        double>
    readings[] = {
        {"texts at load", "0,1", "50", "0,1", false, 0.1, 50, 501, 14.88},
        {"dt 0", "0", "50", "0,1", true, 0, 50, 3, 7},
        {"t 40000", "0,1", "40000", "0,1", true, 0.1, 7, 3, 7},
        {"negative steps", "0,1", "-50", "0,1", true, 0.1, -50, 3, 7},
        {"one step back", "1", "-1", "0,1", true, 1, -1, 3, 7},
        {"both negative", "-0,1", "-50", "0,1", false, -0.1, -50, 501, 14.88},
        {"2.5 steps", "2", "5", "0,1", false, 2, 5, 3, 2976},
        {"3.5 steps", "2", "7", "0,1", false, 2, 7, 5, 2125.714285714286},
        {"x0 not a number", "0,1", "50", "x", true, 0.1, 50, 501, 14.88},
};
// name, disasterX, step, x and y to the digits given (texts at load, factor 2)
static const std::tuple<const char*, float, int, const char*, const char*> examples[] = {
    {"step 1", 0, 1, "0.1009", "0.0991"},
    {"step 2", 0, 2, "0.1018090081", "0.0982089919"},
    {"step 500", 0, 500, "1.49473442", "5.56179041"},
    {"before the mark", 3720, 249, "1.06817848", nullptr},
    {"at the mark", 3720, 250, "0.539310316", "0.0112246226"},
    {"after the mark", 3720, 500, "5.95732619", "0.282607715"},
};

// name, disasterX, factor, step struck (-1: none), with twipsPerStep = 10
static const std::tuple<const char*, float, int, int> strikes[] = {
    {"q 2.5", 25, 2, 2},        {"q 3.5", 35, 2, 4},
    {"q 0.4", 4, 2, -1},        {"beyond the bound", 5010, 2, -1},
    {"never marked", 0, 0, -1}, {"factor 1000", 3000, 1000, 300},
    {"first step", 10, 3, 1},
};

// name, texts, k1, k2, a1, a2, dt, steps, x0, y0, disasterX, factor, step struck
static const std::tuple<const char*, InputTexts, double, double, double, double, double, int,
                        double, double, float, int, int>
    unequal[] = {
        // clang-format off
        {"y peaks", {"0,6", "0,5", "0,3", "0,4", "0,1", "15", "2", "0,5"},
         0.6, 0.5, 0.3, 0.4, 0.1, 150, 2, 0.5, 0, 0, -1},
        {"marked", {"0,6", "0,5", "0,3", "0,4", "0,1", "15", "2", "0,5"},
         0.6, 0.5, 0.3, 0.4, 0.1, 150, 2, 0.5, 3720, 4, 75},
        {"x peaks, t/dt not whole", {"0,5", "0,4", "0,3", "0,2", "0,3", "20", "0,7", "2"},
         0.5, 0.4, 0.3, 0.2, 0.3, 67, 0.7, 2, 2000, 3, 18},
        {"x0 below 0", {"0,3", "0,2", "-0,1", "0,7", "0,05", "9", "-0,4", "1,3"},
         0.3, 0.2, -0.1, 0.7, 0.05, 180, -0.4, 1.3, 0, 0, -1},
        // clang-format on
};

// name, coefficients, t, dt, x0 = y0, error, steps filled before the end, peak
static const std::tuple<const char*, const char*, const char*, const char*, const char*, int, int,
                        double>
    limits[] = {
        {"all zero", "0,1", "50", "0,1", "0", 0, 500, 0},
        {"40000 steps", "0,1", "4000", "0,1", "0,1", RunError::Overflow, 0, 0},
        {"32767 steps", "0", "32767", "1", "0,1", 0, 32767, 0.1},
        {"overflow", "1E+200", "50", "0,1", "0,1", RunError::Overflow, 1, 9e197},
};

static bool sameDigits(double actual, const char* expected) {
    const QString e = QString::fromLatin1(expected);
    const double half = 0.5 * std::pow(10.0, -(e.size() - e.indexOf(QLatin1Char('.')) - 1));
    return std::fabs(actual - e.toDouble()) <= half * 1.0001;
}

class TstModel : public QObject {
    Q_OBJECT
private slots:
    // A series moved over one that holds values takes the new ones and
    // frees the old (the sanitizer pass reports a leak).
    void seriesMovedOver() {
        Series held, next;
        held.recreate(3);
        held[3] = 2.5;
        next.recreate(7);
        next[7] = -1.25;
        held = std::move(next);
        QVERIFY(held.size() == 8 && held[7] == -1.25 && next.empty() && !next.data());
    }

    void reading_data() { addRows(readings); }
    void reading() {
        const auto& [name, dt, t, x0, fails, dtAfter, tAfter, size, scale] = currentRow(readings);
        const InputTexts texts{" 1,5E-2 ", "0,2", "-0,3", "4", dt, t, x0, "0,5"};
        for (bool full : {false, true}) {
            ModelState s;
            s.k1 = s.dt = s.twipsPerStep = s.xMax = s.t = 7;
            s.xSeries.recreate(2);
            s.ySeries.recreate(2);
            const int error = errorOf(
                [&] { full ? InputReader::readFull(s, texts) : InputReader::readLight(s, texts); });
            QCOMPARE(error != 0, fails);
            QVERIFY(s.k1 == 0.015 && s.dt == dtAfter && s.t == tAfter);
            QVERIFY(s.k2 == 0.2 && s.a1 == -0.3 && s.a2 == 4);
            QVERIFY(int(s.xSeries.size()) == size && int(s.ySeries.size()) == size);
            QCOMPARE(s.xSeries[0], fails ? 0.0 : 0.1);
            QCOMPARE(s.ySeries[0], fails ? 0.0 : 0.5);
            // The full reading scales the time axis before x0 and seeds the
            // maxima after y0; the light reading leaves both to its run.
            const bool scaled = full && (!fails || *x0 == 'x');
            QVERIFY(qAbs(s.twipsPerStep - (scaled ? scale : 7.0)) < 1e-9);
            QCOMPARE(s.xMax, full && !fails ? 0.1 : 7.0);
        }
    }
    void example_data() { addRows(examples); }
    void example() {
        const auto& [name, disasterX, i, x, y] = currentRow(examples);
        ModelState s;
        s.disasterX = disasterX;
        s.disasterFactor = 2;
        RUNS(InputReader::readFull(s, {}); Trajectory::calculate(s));
        QCOMPARE(s.twipsPerStep, 14.88);
        QVERIFY2(sameDigits(s.xSeries[i], x), qPrintable(QString::number(s.xSeries[i], 'g', 12)));
        QVERIFY(!y || sameDigits(s.ySeries[i], y));
        QVERIFY(disasterX || sameDigits(s.peakValue, "5.61120201"));
    }
    void strike_data() { addRows(strikes); }
    void strike() {
        const auto& [name, disasterX, factor, struck] = currentRow(strikes);
        ModelState base, s;
        for (ModelState* m : {&base, &s}) {
            RUNS(InputReader::readLight(*m, {}));
            m->twipsPerStep = 10;
        }
        s.disasterX = disasterX;
        s.disasterFactor = std::int16_t(factor);
        RUNS(Trajectory::calculate(base); Trajectory::calculate(s));
        int first = 0;
        while (first <= 500 && s.xSeries[first] == base.xSeries[first])
            ++first;
        QCOMPARE(first, struck < 0 ? 501 : struck);
        QVERIFY(struck < 0 || s.xSeries[struck] == base.xSeries[struck] / factor);
        QVERIFY(struck < 0 || s.ySeries[struck] == base.ySeries[struck] / factor);
    }
    // Every coefficient, dt, t, x0 and y0 different, and the curves cross, so
    // that a swapped name or a wrong index changes what the pass computes.
    void plain_data() { addRows(unequal); }
    void plain() {
        const auto& [name, texts, k1, k2, a1, a2, dt, steps, x0, y0, mark, factor, struck] =
            currentRow(unequal);
        ModelState s;
        RUNS(InputReader::readFull(s, texts));
        // The maxima start from the initial values, not from each other's.
        QVERIFY(s.xMax == x0 && s.yMax == y0);
        s.disasterX = mark;
        s.disasterFactor = std::int16_t(factor);
        RUNS(Trajectory::calculate(s));
        const Plain p = plainEuler(k1, k2, a1, a2, dt, steps, x0, y0, struck, factor);
        QCOMPARE(int(s.xSeries.size()), steps + 1);
        QCOMPARE(int(s.stepIndex), steps);
        QVERIFY(nearlyEqual(s.peakValue, p.peak));
        for (int i = 0; i <= steps; ++i)
            QVERIFY2(nearlyEqual(s.xSeries[i], p.x[i]) && nearlyEqual(s.ySeries[i], p.y[i]),
                     qPrintable(QStringLiteral("step %1").arg(i)));
    }
    void limits_data() { addRows(::limits); }
    void limits() {
        const auto& [name, k, t, dt, start, error, computed, peak] = currentRow(::limits);
        ModelState s;
        RUNS(InputReader::readFull(s, {k, k, k, k, dt, t, start, start}));
        QCOMPARE(errorOf([&] { Trajectory::calculate(s); }), error);
        QCOMPARE(int(s.stepIndex), computed);
        QVERIFY(std::isfinite(s.xSeries[computed]) && std::isfinite(s.ySeries[computed]));
        QVERIFY(computed + 1 == int(s.xSeries.size()) || s.xSeries[computed + 1] == 0);
        QVERIFY(peak ? qFuzzyCompare(s.peakValue, peak) : s.peakValue == 0);
    }

    void strikeRule_data() { addRows(StrikeRule); }
    void strikeRule() {
        const auto& [name, dt, t, time, step] = currentRow(StrikeRule);
        Scenario s{0.6, 0.5, 0.3, 0.4, dt, t, 2, 1.5};
        s.disaster = true;
        s.strikeTime = time;
        QCOMPARE(s.strike().step, step);
        QCOMPARE(s.strike().problem.isEmpty(), step >= 1);
        // The windows' pass strikes the same step through its mark.
        ModelState m;
        s.toState(m);
        QCOMPARE(Trajectory::disasterStep(m), step >= 1 ? double(step) : -1.0);
        if (step >= 1) {
            QCOMPARE(Scenario::fromState(m, 3).strikeTime, step * dt);
            QCOMPARE(Scenario::fromState(m, 3).disaster, true);
        }
    }

    // A scenario into a window's record and back, unequal values in every
    // field; the divisor 1000 of the full window's picture survives.
    void scenarioAndState() {
        const Scenario s{0.6,  0.5,  0.3, 0.4, 0.05, 12, 2.5, 1.5, StepMethod::Euler,
                         true, 3.05, 1000};
        ModelState m;
        s.toState(m);
        QCOMPARE(m.k1, 0.6);
        QCOMPARE(m.k2, 0.5);
        QCOMPARE(m.a1, 0.3);
        QCOMPARE(m.a2, 0.4);
        QCOMPARE(m.t, std::int16_t(12));
        QCOMPARE(m.xSeries.size(), std::size_t(241));
        QCOMPARE(m.ySeries[0], 1.5);
        QCOMPARE(m.twipsPerStep, 31.0); // 7440 / 240
        QCOMPARE(m.disasterFactor, std::int16_t(1000));
        QCOMPARE(Trajectory::disasterStep(m), 61.0); // 3,05 / 0,05
        Scenario back = Scenario::fromState(m, 4);
        QCOMPARE(back.x0, 2.5);
        QCOMPARE(back.divisor, 1000);
        QCOMPARE(back.strikeTime, 61 * 0.05);
        back.strikeTime = s.strikeTime;
        QVERIFY(back == s);
        // Without a mark the window's own divisor stands in.
        m.disasterX = 0;
        QCOMPARE(Scenario::fromState(m, 4).divisor, 4);
        QVERIFY(!Scenario::fromState(m, 4).disaster);
    }

    // The lab's rules without its window: what a control is set to is what
    // is held, a ticked disaster strikes a step, a divisor is a real one.
    void labRules() {
        LabState lab;
        lab.set({0.6, 0.5, 0.3, 0.4, 0.1, 30, 2, 1.5});
        lab.setDivisor(1000);
        QCOMPARE(lab.scenario().divisor, 1000);
        lab.setDivisor(9);
        QCOMPARE(lab.scenario().divisor, 8);
        lab.setDivisor(700); // nearer 1000 than 8
        QCOMPARE(lab.scenario().divisor, 1000);
        lab.setDisaster(true); // no moment yet: the middle, step 150
        QCOMPARE(lab.scenario().strike().step, 150);
        lab.setStrikeTime(12.3);
        lab.setDisaster(false);
        lab.setDisaster(true); // the moment used last
        QCOMPARE(lab.scenario().strike().step, 123);
        lab.setStrikeTime(0); // no "none" while ticked: the first step
        QCOMPARE(lab.scenario().strike().step, 1);
        lab.setStrikeTime(99);
        QCOMPARE(lab.scenario().strike().step, 300);
        lab.setValue(LabState::Span, 10); // a shorter run takes the moment along
        QCOMPARE(lab.scenario().strike().step, 100);
        lab.setValue(LabState::K1, 1e300); // held as typed, never clamped
        QCOMPARE(lab.scenario().k1, 1e300);
        lab.setMethod(StepMethod::RungeKutta4);
        Scenario main{0.6, 0.5, 0.3, 0.4, 0.1, 10, 2, 1.5};
        main.divisor = 1000;
        lab.follow(main);
        QCOMPARE(lab.scenario().method, StepMethod::RungeKutta4);
        QCOMPARE(lab.scenario().divisor, 1000);
        QVERIFY(lab.differs().startsWith("Метод отличается"));
    }

    // Written and read back: the same scenario to the last bit, unequal
    // values in every field, with and without a disaster.
    void scenarioFileRoundTrip() {
        ScenarioFile::Contents c{{0.1 + 0.2, 1.0 / 3, 2e-7, 4.5e12, 0.0943, -7, 1e-300, 5.25,
                                  StepMethod::SemiImplicit, true, 0.7071067811865476, 1000},
                                 QStringLiteral("Урок «4»\n\"x\""),
                                 QStringLiteral("Смотрите на y"),
                                 ScenarioFile::Risk{250, 4000, 9007199254740991}};
        QString why;
        auto back = ScenarioFile::read(ScenarioFile::write(c), &why);
        QVERIFY2(back && *back == c, qPrintable(why));
        c.scenario.disaster = false;
        c.scenario.strikeTime = 0;
        c.scenario.divisor = 2;
        c.risk.reset();
        back = ScenarioFile::read(ScenarioFile::write(c), &why);
        QVERIFY2(back && *back == c, qPrintable(why));
        QVERIFY(ScenarioFile::write(c).contains("\"disaster\": null"));
        QVERIFY(ScenarioFile::read(GoodFile, &why));
        // A file of exactly the largest size is read whole.
        QTemporaryDir dir;
        QFile file(dir.filePath("large.morvane"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(GoodFile.left(GoodFile.size() - 1) +
                   QByteArray(ScenarioFile::LargestFile - GoodFile.size(), ' ') + "}");
        file.close();
        QCOMPARE(file.size(), ScenarioFile::LargestFile);
        QVERIFY2(ScenarioFile::load(file.fileName(), &why), qPrintable(why));
    }

    void scenarioFileRefusals_data() { addRows(BadFiles); }
    void scenarioFileRefusals() {
        const auto& [name, from, to, words] = currentRow(BadFiles);
        QByteArray bytes = GoodFile;
        QVERIFY(bytes.contains(from));
        bytes.replace(bytes.indexOf(from), qsizetype(strlen(from)), to);
        QString why;
        QVERIFY(!ScenarioFile::read(bytes, &why));
        QVERIFY2(why.contains(QString::fromUtf8(words)), qPrintable(why));
    }
};

QTEST_GUILESS_MAIN(TstModel)
#include "tst_model.moc"
