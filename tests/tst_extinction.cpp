#include "casetable.h"
#include "export/exportcommand.h"
#include "exportwith.h"
#include "extinction/ensemble.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <QElapsedTimer>
#include <array>
#include <numeric>
#include <thread>

// The individual-based twin against what is known exactly: with α1 = α2 = 0
// the predators only die and the prey only breed, and a disaster thins a
// population binomially. Fixed seeds: every check is the same each time,
// with margins of four to five standard errors around the exact value.

using namespace Extinction;

static Scenario scenario(double k1, double k2, double a1, double a2, double x0, double y0,
                         double span, int divisor = 0, double strikeTime = 0) {
    Scenario s;
    s.k1 = k1, s.k2 = k2, s.a1 = a1, s.a2 = a2, s.dt = 0.1, s.span = span, s.x0 = x0, s.y0 = y0;
    s.disaster = divisor > 0;
    s.divisor = divisor > 0 ? divisor : 2;
    s.strikeTime = strikeTime;
    return s;
}
Q_DECLARE_METATYPE(Scenario)

enum What { DeathProbability, PreyDeathProbability, MeanX, MeanY, VarianceX, MeanXOverOmega };

// x(T) of the equations by RK4 at a step far below the span's, written from
// dx/dt = k1·x − α1·x·y, dy/dt = α2·x·y − k2·y.
static double odeX(double k1, double k2, double a1, double a2, double x, double y, double T) {
    const auto f = [&](double u, double v) {
        return std::pair{k1 * u - a1 * u * v, a2 * u * v - k2 * v};
    };
    const double h = T / 4000;
    for (int i = 0; i < 4000; ++i) {
        const auto [p1, q1] = f(x, y);
        const auto [p2, q2] = f(x + h / 2 * p1, y + h / 2 * q1);
        const auto [p3, q3] = f(x + h / 2 * p2, y + h / 2 * q2);
        const auto [p4, q4] = f(x + h * p3, y + h * q3);
        x += h / 6 * (p1 + 2 * p2 + 2 * p3 + p4);
        y += h / 6 * (q1 + 2 * q2 + 2 * q3 + q4);
    }
    return x;
}

// name, scenario, Ω, runs, what, exact value, its standard error over the runs
static const double e18 = std::exp(-0.45 * 4), e105 = std::exp(0.35 * 3);
static const std::tuple<const char*, Scenario, int, int, What, double, double> exact[] = {
    {"predators die: (1-e^-k2T)^Y0", scenario(0.3, 0.45, 0, 0, 0.05, 0.07, 4), 100, 4000,
     DeathProbability, std::pow(1 - e18, 7), std::sqrt(0.2823 * 0.7177 / 4000)},
    // Five predators that neither breed nor die eat each prey at 0,2·0,5 a unit
    // of time.
    {"prey eaten: (1-e^-a1·y0·T)^X0", scenario(0, 0, 0.2, 0, 0.3, 0.5, 10), 10, 4000,
     PreyDeathProbability, std::pow(1 - std::exp(-1.0), 3), std::sqrt(0.2525 * 0.7475 / 4000)},
    // The predators die early here, and the prey then breed without them.
    {"prey breed: X0 e^k1T", scenario(0.35, 0.9, 0, 0, 0.4, 0.03, 3), 50, 4000, MeanX, 20 * e105,
     std::sqrt(20 * e105 * (e105 - 1) / 4000)},
    {"predators die: Y0 e^-k2T", scenario(0.2, 0.45, 0, 0, 0.3, 0.6, 4), 50, 4000, MeanY, 30 * e18,
     std::sqrt(30 * e18 * (1 - e18) / 4000)},
    {"thinning by 3: mean X/d", scenario(0, 0, 0, 0, 0.6, 0.2, 2, 3, 1), 100, 4000, MeanX, 20,
     std::sqrt(60 * (1 / 3.0) * (2 / 3.0) / 4000)},
    {"thinning by 3 at T: variance", scenario(0, 0, 0, 0, 0.6, 0.2, 2, 3, 2), 100, 4000, VarianceX,
     60 * (1 / 3.0) * (2 / 3.0), 40.0 / 3 * std::sqrt(2.0 / 4000)},
    // Many individuals, a short span: the mean follows the equations (the
    // standard error from the runs themselves).
    {"mean x(T) follows the equations", scenario(0.6, 0.5, 0.3, 0.4, 2, 0.5, 2), 1000, 400,
     MeanXOverOmega, odeX(0.6, 0.5, 0.3, 0.4, 2, 0.5, 2), 0},
    {"one thinned by 2: mean 1/2", scenario(0, 0, 0, 0, 0.01, 0.2, 2, 2, 1), 100, 4000, MeanX, 0.5,
     std::sqrt(0.25 / 4000)},
    {"thinning by 1000: mean", scenario(0, 0, 0, 0, 5, 2, 2, 1000, 0.5), 1000, 4000, MeanX, 5,
     std::sqrt(5 * 0.999 / 4000)},
};

static const QString Command = "--k1=0,55 --k2=0,35 --a1=0,09 --a2=0,06 --x0=4 --y0=1,5 --t=25 "
                               "--dt=0,1 --disaster=12 --divisor=8 --omega=10 --runs=200 "
                               "--by-moment=3 --seed=5 --extinction=- ";

// name, what is added to the command's arguments, the option named in the refusal
static const std::tuple<const char*, const char*, const char*> refused[] = {
    {"k2 below 0", "--k2=-1", "--k2=-1"},
    {"y0 of no one", "--y0=0,004", "--y0=0,004"},
    {"omega 0", "--omega=0", "--omega=0"},
    {"runs too many", "--runs=1000001", "--runs="},
    {"threads not a number", "--threads=x", "--threads=x"},
    {"201 moments", "--by-moment=201", "--by-moment=201"},
    {"seed 2^53, one past the largest", "--seed=9007199254740992", "--seed=9007199254740992"},
};

class TstExtinction : public QObject {
    Q_OBJECT
private slots:
    void knownExactly_data() { addRows(exact); }
    void knownExactly() {
        const auto& [name, s, omega, rowRuns, what, want, rowSe] = currentRow(exact);
        // On request, MORVANE_EXTINCTION_SEED=S: ten times the runs from seed S.
        const bool chosen = qEnvironmentVariableIsSet("MORVANE_EXTINCTION_SEED");
        const std::uint64_t seed =
            chosen ? qEnvironmentVariable("MORVANE_EXTINCTION_SEED").toULongLong() : 7;
        const int runs = rowRuns * (chosen ? 10 : 1);
        double se = rowSe / std::sqrt(runs / rowRuns);
        QVERIFY(!check(s, Settings{omega, runs}));
        double got = 0;
        if (what == DeathProbability || what == PreyDeathProbability) {
            const Side side = run(s, {omega, runs, seed, 0, 0, 2}).withoutDisaster;
            const bool prey = what == PreyDeathProbability;
            got = (prey ? side.prey : side.predators).fraction;
            // Prey that only breed, and predators that never die, never die out.
            QCOMPARE((prey ? side.predators : side.prey).count, 0);
        } else {
            double sum = 0, squares = 0;
            for (int i = 0; i < runs; ++i) {
                const auto o = IndividualRun::simulate(s, omega, seed, std::uint64_t(i),
                                                       IndividualRun::strikeTime(s));
                const double v =
                    double(what == MeanY ? o.y : o.x) / (what == MeanXOverOmega ? omega : 1);
                sum += v;
                squares += v * v;
            }
            const double mean = sum / runs;
            const double variance = (squares - runs * mean * mean) / (runs - 1);
            got = what == VarianceX ? variance : mean;
            if (se == 0)
                se = std::sqrt(variance / runs);
        }
        QVERIFY2(std::fabs(got - want) < 4.5 * se,
                 qPrintable(QStringLiteral("%1 against %2 ± %3").arg(got).arg(want).arg(se)));
    }

    // Nothing breeds, eats or dies: the counts hold still but for the
    // thinning at t = 1 (60 by 3: its median 20, Binomial(60, 1/3) by hand),
    // so the median band is known at every time of the grid, T included.
    // Over 4000 runs the share at most 19 (0,4516) and the share at most 20
    // (0,5603) are each six standard errors from a half.
    void bandsOverTheGrid() {
        const Result r = run(scenario(0, 0, 0, 0, 0.6, 0.2, 2, 3, 1), {100, 4000, 9, 0, 0, 101});
        QCOMPARE(r.grid.size(), std::size_t(101));
        QCOMPARE(r.grid.back(), 2.0);
        const std::vector<double>&with = r.withDisaster.x.p50, &without = r.withoutDisaster.y.p50;
        QCOMPARE((std::array{with[0], with[25], with[49], with[51], with[100]}),
                 (std::array{0.6, 0.6, 0.6, 0.2, 0.2}));
        QCOMPARE((std::array{without[0], without[50], without[100]}), (std::array{0.2, 0.2, 0.2}));
    }

    // The times of the first extinction from three runs, in order.
    void timesInOrder() {
        const Side side =
            run(scenario(0.3, 2, 0, 0, 0.2, 0.02, 20), {100, 3, 4, 0, 0, 2}).withoutDisaster;
        QCOMPARE(side.predators.count, 3);
        const Times t = *side.times;
        QVERIFY2(t.p10 < t.p25 && t.p25 < t.p50 && t.p50 < t.p75 && t.p75 < t.p90,
                 qPrintable(QStringLiteral("%1 %2 %3 %4 %5")
                                .arg(t.p10)
                                .arg(t.p25)
                                .arg(t.p50)
                                .arg(t.p75)
                                .arg(t.p90)));
    }

    void wilsonByHand() {
        // z = 1.96: 0 of 10 gives [0, z²/(n + z²)]; 5 of 10 gives 0.5 ± 0.2634.
        const Share none = Share::wilson(0, 10), half = Share::wilson(5, 10);
        QVERIFY(none.low == 0 && std::fabs(none.high - 0.27753) < 1e-5);
        QVERIFY(std::fabs(half.low - 0.23659) < 1e-5 && std::fabs(half.high - 0.76341) < 1e-5);
        QVERIFY(!Share::wilson(0, 0).has());
    }

    // The same figures from one thread and from three, the disaster, its
    // absence and the moments all included.
    void sameOnAnyThreads() {
        const Scenario s = scenario(0.55, 0.35, 0.09, 0.06, 0.4, 0.15, 12, 4, 5);
        const Result one = run(s, {30, 300, 11, 1, 5, 21});
        const Result three = run(s, {30, 300, 11, 3, 5, 21});
        QVERIFY(!one.partial && one.hasDisaster && one.withDisaster.runs == 300);
        QVERIFY(one.withDisaster.either.count > one.withoutDisaster.either.count);
        for (const auto& [a, b] : {std::pair{&one.withDisaster, &three.withDisaster},
                                   std::pair{&one.withoutDisaster, &three.withoutDisaster}}) {
            QCOMPARE(a->either.count, b->either.count);
            QCOMPARE(a->prey.count, b->prey.count);
            QVERIFY(a->times && b->times && a->times->p10 == b->times->p10 &&
                    a->times->p90 == b->times->p90);
            QVERIFY(a->x.p50 == b->x.p50 && a->y.p10 == b->y.p10 && a->y.p90 == b->y.p90);
        }
        QCOMPARE(one.events, three.events);
        QCOMPARE(one.byMoment.size(), std::size_t(5));
        for (std::size_t m = 0; m < 5; ++m)
            QCOMPARE(one.byMoment[m].either.count, three.byMoment[m].either.count);
        // Moments in the middles of five pieces of 12, on steps of 0.1.
        QCOMPARE(one.byMoment[0].t, 12 * 0.1);
        QCOMPARE(one.byMoment[4].t, 108 * 0.1);
    }

    void stopsPartWay() {
        const Scenario s = scenario(0.5, 0.4, 0.3, 0.2, 2, 1.5, 200, 2, 100);
        Control control;
        Result r;
        std::thread worker([&] { r = run(s, {200, 1000, 3, 2, 24, 101}, &control); });
        while (control.done.load() < 2)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        QElapsedTimer clock;
        clock.start();
        control.stop = true;
        worker.join();
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(r.partial && r.withDisaster.runs < 1000 && r.notes[0].startsWith("Остановлено"));
        QCOMPARE(r.withDisaster.runs + r.withoutDisaster.runs +
                     std::accumulate(r.byMoment.begin(), r.byMoment.end(), 0LL,
                                     [](long long n, const Moment& m) { return n + m.either.of; }),
                 control.done.load());
    }

    // The notes under the figures. Without a disaster both sides are the
    // same runs, so their explosions are counted once; with one, the two
    // sides' explosions add up.
    void notes_data() {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<bool>("disaster");
        QTest::addColumn<int>("explodedWith");
        QTest::addColumn<int>("explodedWithout");
        QTest::addColumn<int>("done");
        QTest::addColumn<QStringList>("notes");
        const QString same = "Катастрофа не задана или не приходится на шаг: с ней и без неё — "
                             "одни и те же прогоны";
        const QString boom = " прогонов превысили 1000000000 особей (взрыв): они остановлены и "
                             "считаются невымершими, их числа после взрыва — последние";
        QTest::newRow("all made") << "" << true << 0 << 0 << 40 << QStringList{};
        QTest::newRow("stopped") << "" << true << 0 << 0 << 17
                                 << QStringList{"Остановлено: готово 17 прогонов из 40, показатели "
                                                "по ним"};
        QTest::newRow("a fault, also stopped")
            << "не хватило памяти" << true << 0 << 0 << 17
            << QStringList{"Расчёт прерван ошибкой: не хватило памяти"};
        QTest::newRow("exploded on both sides")
            << "" << true << 2 << 5 << 40 << QStringList{"7" + boom};
        QTest::newRow("one exploded, without it")
            << "" << true << 0 << 1 << 40 << QStringList{"1" + boom};
        QTest::newRow("no disaster: the same runs")
            << "" << false << 4 << 4 << 40 << QStringList{same, "4" + boom};
    }
    void notes() {
        QFETCH(QString, failure);
        QFETCH(bool, disaster);
        QFETCH(int, explodedWith);
        QFETCH(int, explodedWithout);
        QFETCH(int, done);
        Result r;
        r.failure = failure;
        r.hasDisaster = disaster;
        r.partial = done < 40;
        r.withDisaster.explosions = explodedWith;
        r.withoutDisaster.explosions = explodedWithout;
        QTEST(notesOn(r, done, 40), "notes");
    }

    // The command's file: the core's figures for the same scenario and
    // seed, the same bytes on one thread and two, and its fixed keys.
    void command() {
        const auto [status, one] = exportWith(Command + "--threads=1");
        QCOMPARE(status, 0);
        QCOMPARE(exportWith(Command + "--threads=2").second, one);
        const QJsonObject o = QJsonDocument::fromJson(one).object();
        for (const char* key : {"inputs", "omega", "runs", "seed", "withDisaster",
                                "withoutDisaster", "byMoment", "notes"})
            QVERIFY2(o.contains(key), key);
        const Result core =
            run(scenario(0.55, 0.35, 0.09, 0.06, 4, 1.5, 25, 8, 12), {10, 200, 5, 0, 3});
        const QJsonObject with = o["withDisaster"].toObject();
        QCOMPARE(with["either"]["fraction"].toDouble(), core.withDisaster.either.fraction);
        QCOMPARE(with["predators"]["low"].toDouble(), core.withDisaster.predators.low);
        QCOMPARE(with["times"]["p25"].toDouble(), core.withDisaster.times->p25);
        QCOMPARE(o["withoutDisaster"]["prey"]["high"].toDouble(), core.withoutDisaster.prey.high);
        QCOMPARE(o["byMoment"][2]["either"]["fraction"].toDouble(),
                 core.byMoment[2].either.fraction);
        QCOMPARE(o["seed"].toInt(), 5);
    }
    void commandRefuses_data() { addRows(refused); }
    void commandRefuses() {
        const auto& [name, arg, named] = currentRow(refused);
        const auto [status, err] = exportWith(QStringLiteral("--extinction=- ") + arg);
        QCOMPARE(status, 2);
        QVERIFY2(err.startsWith(QByteArray("morvane-export: ") + named), err.constData());
    }

    void refusals_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<Scenario>("s");
        QTest::addColumn<int>("omega");
        QTest::addColumn<int>("runs");
        QTest::addColumn<int>("moments");
        const Scenario ok = scenario(0.5, 0.4, 0.3, 0.2, 0.5, 0.5, 10);
        QTest::newRow("negative k2")
            << "k2" << scenario(0.5, -0.4, 0.3, 0.2, 0.5, 0.5, 10) << 100 << 10 << 24;
        QTest::newRow("x0 rounds to 0")
            << "x0" << scenario(0.5, 0.4, 0.3, 0.2, 0.004, 0.5, 10) << 100 << 10 << 24;
        QTest::newRow("y0 over the cap")
            << "y0" << scenario(0.5, 0.4, 0.3, 0.2, 1, 200, 10) << 10000000 << 10 << 24;
        QTest::newRow("omega 0") << "omega" << ok << 0 << 10 << 24;
        QTest::newRow("omega 10^7 + 1") << "omega" << ok << 10000001 << 10 << 24;
        QTest::newRow("runs 0") << "runs" << ok << 100 << 0 << 24;
        QTest::newRow("runs 10^6 + 1") << "runs" << ok << 100 << 1000001 << 24;
        QTest::newRow("one moment") << "by-moment" << ok << 100 << 10 << 1;
        QTest::newRow("201 moments") << "by-moment" << ok << 100 << 10 << 201;
        QTest::newRow("all in range") << "" << ok << 10000000 << 1000000 << 200;
        QTest::newRow("the least in range")
            << "" << scenario(0.5, 0.4, 0.3, 0.2, 3, 2, 10) << 1 << 1 << 2;
    }
    void refusals() {
        QFETCH(QString, field);
        QFETCH(Scenario, s);
        QFETCH(int, omega);
        QFETCH(int, runs);
        QFETCH(int, moments);
        const auto problem = check(s, {omega, runs, 1, 0, moments});
        QCOMPARE(problem ? problem->field : QString(), field);
        QVERIFY(!problem || !problem->message.isEmpty());
    }
};

QTEST_MAIN(TstExtinction)
#include "tst_extinction.moc"
