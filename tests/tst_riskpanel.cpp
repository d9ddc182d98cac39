// The lab's window "Риск вымирания": the figures the command gives for the
// same scenario, Ω, runs and seed; a stop that keeps what finished; stale
// figures said so after the scenario changes.

#include "lab/riskpanel.h"
#include "model/scenariofile.h"
#include "ui/graphmenu.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

namespace {
Scenario trough() {
    QString why;
    const auto file =
        ScenarioFile::load(QStringLiteral(MORVANE_EXAMPLES "/3-trough.morvane"), &why);
    return file ? file->scenario : Scenario{};
}

QJsonObject command(int omega, int runs, int seed) {
    QProcess p;
    p.start(QStringLiteral(MORVANE_EXPORT_EXE),
            {QStringLiteral("--scenario=" MORVANE_EXAMPLES "/3-trough.morvane"),
             QStringLiteral("--omega=%1").arg(omega), QStringLiteral("--runs=%1").arg(runs),
             QStringLiteral("--seed=%1").arg(seed), QStringLiteral("--extinction=-")});
    p.waitForFinished(60000);
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

// A share as a student reads it, worked out here from the command's double.
QString shown(const QJsonValue& v) {
    return QString::number(100 * v.toDouble(), 'f', 1).replace(QLatin1Char('.'), QLatin1Char(','));
}

void countAndWait(RiskPanel& panel) {
    QSignalSpy spy(&panel, &RiskPanel::shown);
    panel.countButton()->click();
    QVERIFY(spy.wait(30000));
}

// A small count of the trough example (Ω = 5, 20 runs), shown.
void countSmallTrough(RiskPanel& panel) {
    panel.setScenario(trough());
    panel.omega()->setValue(5);
    panel.runs()->setValue(20);
    countAndWait(panel);
}
} // namespace

class TstRiskPanel : public QObject {
    Q_OBJECT
private slots:
    void sameAsCommand_data() {
        QTest::addColumn<int>("omega");
        QTest::addColumn<int>("runs");
        QTest::addColumn<int>("seed");
        QTest::newRow("a few individuals") << 3 << 40 << 11;
        QTest::newRow("ten in a unit") << 10 << 60 << 7;
    }
    void sameAsCommand() {
        QFETCH(int, omega);
        QFETCH(int, runs);
        QFETCH(int, seed);
        RiskPanel panel;
        panel.setScenario(trough());
        panel.omega()->setValue(omega);
        panel.runs()->setValue(runs);
        panel.seed()->setValue(seed);
        countAndWait(panel);
        const QJsonObject json = command(omega, runs, seed);
        QVERIFY(!json.isEmpty());
        const Extinction::Result& r = *panel.result();
        QVERIFY(!r.partial);
        const auto same = [](const Extinction::Share& s, const QJsonValue& j) {
            return s.fraction == j[QStringLiteral("fraction")].toDouble() &&
                   s.low == j[QStringLiteral("low")].toDouble() &&
                   s.high == j[QStringLiteral("high")].toDouble();
        };
        const QJsonObject w = json[QStringLiteral("withDisaster")].toObject();
        const QJsonObject wo = json[QStringLiteral("withoutDisaster")].toObject();
        for (const auto& [side, j] :
             {std::pair{&r.withDisaster, w}, std::pair{&r.withoutDisaster, wo}}) {
            QVERIFY(same(side->prey, j[QStringLiteral("prey")]));
            QVERIFY(same(side->predators, j[QStringLiteral("predators")]));
            QVERIFY(same(side->either, j[QStringLiteral("either")]));
        }
        const QJsonValue p = w[QStringLiteral("predators")];
        const QString expected =
            QStringLiteral(
                "Хищники вымерли в %1 % прогонов (95 %: %2–%3 %); без катастрофы — в %4 %")
                .arg(shown(p[QStringLiteral("fraction")]), shown(p[QStringLiteral("low")]),
                     shown(p[QStringLiteral("high")]),
                     shown(wo[QStringLiteral("predators")][QStringLiteral("fraction")]));
        QVERIFY2(panel.text().contains(expected), qPrintable(panel.text()));
        QVERIFY(!panel.text().contains(QStringLiteral("nan"), Qt::CaseInsensitive));
        QVERIFY(!panel.text().contains(QStringLiteral("inf"), Qt::CaseInsensitive));
    }

    void stopKeepsWhatFinished() {
        RiskPanel panel;
        panel.show();
        panel.setScenario(trough());
        panel.runs()->setValue(1'000'000);
        QSignalSpy spy(&panel, &RiskPanel::shown);
        panel.countButton()->click();
        // The window keeps answering while the runs go on.
        int ticks = 0;
        QTimer beat;
        connect(&beat, &QTimer::timeout, [&] { ++ticks; });
        beat.start(10);
        QTest::qWait(400);
        QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
        QVERIFY(panel.counting());
        QElapsedTimer clock;
        clock.start();
        panel.stopButton()->click();
        QVERIFY(spy.wait(5000));
        // The core stops within a tenth; here a loaded machine gets room.
        QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(panel.result()->partial);
        QVERIFY(panel.result()->withDisaster.runs < 1'000'000);
        QVERIFY2(panel.text().contains(QStringLiteral("из 1000000, цифры неполные")),
                 qPrintable(panel.text()));
    }

    void staleAfterAChange() {
        RiskPanel panel;
        Scenario s = trough();
        countSmallTrough(panel);
        const QString stale = QStringLiteral("Устарело");
        QVERIFY(!panel.text().contains(stale));
        s.k1 += 0.1;
        panel.setScenario(s);
        QVERIFY(panel.text().contains(stale));
        countAndWait(panel);
        QVERIFY(!panel.text().contains(stale));
        // A change while counting: that count's figures never show.
        panel.runs()->setValue(1'000'000);
        panel.countButton()->click();
        s.k2 += 0.1;
        panel.setScenario(s);
        QVERIFY(!panel.counting());
        QSignalSpy spy(&panel, &RiskPanel::shown);
        QVERIFY(!spy.wait(500));
        QVERIFY(panel.text().contains(stale));
    }

    // The medians drawn over their faint bands: a line of pure colour along
    // the picture, for x (213, 94, 0) and y (0, 114, 178), here where both
    // populations live on around (3; 3). The y band is drawn over x's
    // median, so only part of that stays pure; without the medians, pure
    // pixels come only from the dashed lines, in a column or two.
    void mediansDrawn() {
        RiskPanel panel;
        Scenario s;
        s.k1 = 0.9, s.k2 = 0.6, s.a1 = 0.3, s.a2 = 0.2, s.dt = 0.01, s.span = 20, s.x0 = 2.5,
        s.y0 = 3.5;
        panel.setScenario(s);
        panel.omega()->setValue(40);
        panel.runs()->setValue(30);
        panel.resize(900, 700);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        countAndWait(panel);
        auto* picture = panel.findChild<QWidget*>(QStringLiteral("RiskPicture"));
        const QImage drawn = picture->grab().toImage();
        for (const QRgb colour : {qRgb(213, 94, 0), qRgb(0, 114, 178)}) {
            int columns = 0;
            for (int x = 0; x < drawn.width(); ++x)
                for (int y = 0; y < drawn.height(); ++y)
                    if (drawn.pixel(x, y) == colour) {
                        ++columns;
                        break;
                    }
            QVERIFY2(columns > drawn.width() / 8, qPrintable(QString::number(columns)));
        }
        // The median lies inside its band, from the 10 % to the 90 % line, so
        // just above and below its line the band's colour covers the
        // background.
        QMap<QRgb, int> counts;
        for (int x = 0; x < drawn.width(); x += 7)
            for (int y = 0; y < drawn.height(); y += 7)
                ++counts[drawn.pixel(x, y)];
        const QRgb background =
            std::max_element(counts.keyValueBegin(), counts.keyValueEnd(), [](auto a, auto b) {
                return a.second < b.second;
            })->first;
        int onMedian = 0, inBand = 0;
        for (int x = 0; x < drawn.width(); ++x)
            for (int y = 3; y < drawn.height() - 3; ++y)
                if (drawn.pixel(x, y) == qRgb(213, 94, 0)) {
                    ++onMedian;
                    inBand +=
                        drawn.pixel(x, y - 3) != background && drawn.pixel(x, y + 3) != background;
                    break;
                }
        QVERIFY2(inBand >= onMedian * 9 / 10,
                 qPrintable(QStringLiteral("%1 of %2").arg(inBand).arg(onMedian)));
        // Its menu's copy puts the picture on the clipboard, sharp at twice
        // the size for a document.
        QGuiApplication::clipboard()->clear();
        GraphMenu::setMenuHandler([](QMenu* menu) { return menu->actions()[1]; });
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(9, 9),
                                picture->mapToGlobal(QPoint(9, 9)));
        QCoreApplication::sendEvent(picture, &click);
        GraphMenu::setMenuHandler(nullptr);
        QCOMPARE(QGuiApplication::clipboard()->image().size(), picture->size() * 2);
    }

    // A scenario the ensemble cannot count: said why, and the figures of
    // the count before it gone rather than shown under the refusal.
    void refusedAfterACount() {
        RiskPanel panel;
        Scenario s = trough();
        countSmallTrough(panel);
        QVERIFY(panel.result());
        s.x0 = 0.05; // 0,25 of an individual at Ω = 5
        panel.setScenario(s);
        panel.countButton()->click();
        QVERIFY(!panel.counting() && !panel.result());
        QVERIFY2(panel.text().startsWith(QStringLiteral("Не считаю: x0 — ")) &&
                     panel.text().endsWith(QLatin1Char('\n')),
                 qPrintable(panel.text()));
    }

    // Closed in the middle of a long count: the worker is stopped and waited
    // for, never destroyed while it runs.
    void closedWhileCounting() {
        auto panel = std::make_unique<RiskPanel>();
        panel->setScenario(trough());
        panel->runs()->setValue(1'000'000);
        panel->countButton()->click();
        QTest::qWait(50);
        QVERIFY(panel->counting());
        panel.reset();
    }
};

QTEST_MAIN(TstRiskPanel)
#include "tst_riskpanel.moc"
