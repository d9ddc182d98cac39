#include "casetable.h"
#include "common/numbertext.h"
#include "fuzz/fuzzentry.h"
#include "fuzz/scenariofuzz.h"

#include <QDir>
#include <QTest>

// Replays the fuzzing corpus with the ordinary build: every input that once
// found a fault keeps ending in success or a RunError, and a pass that
// succeeds computes and draws what a plain pass from the equations gives.
class TstFuzzCorpus : public QObject {
    Q_OBJECT
private slots:
    void replay_data() {
        QTest::addColumn<QString>("path");
        const QDir dir(QStringLiteral(MORVANE_FUZZ_CORPUS));
        for (const QFileInfo& f : dir.entryInfoList(QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(f.fileName())) << f.filePath();
        QVERIFY(dir.entryList(QDir::Files).size() >= 10);
    }
    void replay() {
        QFETCH(QString, path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray data = f.readAll();
        try {
            FuzzEntry::run(reinterpret_cast<const std::uint8_t*>(data.constData()),
                           std::size_t(data.size()));
        } catch (const std::exception& e) {
            QFAIL(e.what());
        }
        const FuzzEntry::Input in = FuzzEntry::parse(
            reinterpret_cast<const std::uint8_t*>(data.constData()), std::size_t(data.size()));
        ModelState s;
        s.disasterX = in.mark;
        s.disasterFactor = in.factor;
        RecordingSurface surface;
        const int error = errorOf([&] {
            InputReader::readFull(s, in.texts);
            Trajectory::calculate(s);
            GraphPlotter::drawCurves(s, surface);
        });
        if (error) {
            QVERIFY2(QList<int>({6, 7, 9, 11, 13}).contains(error),
                     qPrintable(QString::number(error)));
            return;
        }
        const int n = int(s.xSeries.size()) - 1;
        const double perStep = 7440 / (s.t / s.dt), q = std::nearbyint(in.mark / perStep);
        const Plain p =
            plainEuler(s.k1, s.k2, s.a1, s.a2, s.dt, n, NumberText::toDouble(in.texts.x0),
                       NumberText::toDouble(in.texts.y0),
                       in.mark > 0 && q >= 1 && q <= n ? int(q) : -1, in.factor);
        QVERIFY(nearlyEqual(s.peakValue, p.peak));
        QCOMPARE(surface.segmentCount(), std::size_t(2 * n));
        const double perUnit = 2240 / p.peak;
        const auto at = [](float a, double b) {
            return qAbs(a - b) <= 1e-5 * std::max(1.0, qAbs(b));
        };
        for (int i = 1; i <= n; ++i) {
            const RecordingSurface::Op& ox = surface.ops()[2 * i - 2];
            const RecordingSurface::Op& oy = surface.ops()[2 * i - 1];
            QVERIFY2(nearlyEqual(s.xSeries[i], p.x[i]) && nearlyEqual(s.ySeries[i], p.y[i]) &&
                         at(ox.x1, 480 + (i - 1) * perStep) && at(oy.x2, 480 + i * perStep) &&
                         at(ox.y2, 4320 - p.x[i] * perUnit) &&
                         at(oy.y1, 4320 - p.y[i - 1] * perUnit),
                     qPrintable(QStringLiteral("step %1").arg(i)));
        }
    }

    // The scenario reader's corpus: each file read and read back the same, or
    // refused with a reason (ScenarioFuzz aborts otherwise); the shipped
    // examples are among those read.
    void scenarios() {
        const QDir dir(QStringLiteral(MORVANE_FUZZ_CORPUS "/../scenarios"));
        int read = 0;
        for (const QFileInfo& f : dir.entryInfoList(QDir::Files, QDir::Name)) {
            QFile file(f.filePath());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray data = file.readAll();
            read += ScenarioFuzz::run(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                      std::size_t(data.size()));
        }
        QCOMPARE(read, 3); // trough, spiral, extremes
    }
};

QTEST_GUILESS_MAIN(TstFuzzCorpus)
#include "tst_fuzzcorpus.moc"
