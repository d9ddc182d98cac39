#include "casetable.h"
#include "guitestutil.h"
#include "ui/shapewidget.h"

#include <QRegularExpression>

// The full window's run: stages and status texts, the debug log, pauses,
// progress indicator and faults.
static const QString Num = QStringLiteral("-?\\d+(,\\d+)?(E[-+]\\d\\d)?");
static const QString Sep(34, QLatin1Char('-'));

static bool matches(const QString& pattern, const QString& text) {
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(text).hasMatch();
}

// name, Check4 at the start, Check1, status after which Check4 flips,
// LOG START block written, point entries written, log window shown
static const std::tuple<const char*, bool, bool, const char*, bool, bool, bool> logs[] = {
    {"throughout", true, true, "", true, true, true},
    {"statistics off", true, false, "", true, true, true},
    {"on in clearing pause", false, true, "Инициализация", true, true, false},
    {"on in drawing pause", false, true, "Прорисовка", false, true, false},
    {"off in drawing pause", true, true, "Прорисовка", true, false, true},
};

// name, Check5 on the second run, dt (t = 5), ProgBar's per-step increase
// worked out by hand (0: it stays at 0)
static const std::tuple<const char*, bool, const char*, int> indicators[] = {
    {"on", true, "0,5", 10},
    {"t/dt not whole", true, "0,3", 6}, // 16.67 steps: 6 % each, 102 % capped at the last
    {"off after a full run", false, "0,1", 0},
};

// name, input texts (objectName=text), error code, status text left
static const std::tuple<const char*, QStringList, int, const char*> faultRows[] = {
    {"bad text", {"k1Input=abc"}, 13, "Инициализация..."},
    {"t = 0", {"tInput=0"}, 11, "Инициализация..."},
    {"dt = 0", {"dtInput=0"}, 11, "Инициализация..."},
    {"x0 = y0 = 0", {"x0Input=0", "y0Input=0"}, 11, "Прорисовка графика..."},
};

class TstPipeline : public QObject {
    Q_OBJECT
private slots:
    void run_data() {
        QTest::addColumn<bool>("statistics");
        QTest::newRow("as loaded") << true;
        QTest::newRow("statistics off") << false;
    }
    void run() {
        QFETCH(bool, statistics);
        GuiFixture f;
        FullWindow w(openFull());
        w->Check1->setChecked(statistics);
        const auto status = recordStatus(w.get());
        w->StartCount->click();
        const QString took = QStringLiteral("\\.\\.\\. \\[на %1 затрачено:") + Num + "\\]";
        QStringList want = {"Инициализация\\.\\.\\.",
                            "Просчет значений" + took.arg("инициализацию"),
                            "Прорисовка графика" + took.arg("просчет"),
                            "Градуировка шкалы" + took.arg("прорисовку"),
                            "Вывод статистики" + took.arg("градуировку"),
                            "Готово"};
        if (!statistics)
            want.removeAt(4);
        QCOMPARE(status->size(), want.size());
        for (int i = 0; i < want.size(); ++i)
            QVERIFY2(matches(want[i], status->at(i)), qPrintable(status->at(i)));
        QVERIFY(w->StartCount->isEnabled() && w->DrawCorrect->isEnabled());
        QCOMPARE(w->state().graphReady, std::int16_t(-1));
        for (QWidget* p : std::initializer_list<QWidget*>{
                 w->Shape4, w->Shape2, w->Label14, w->Label15, w->Label16, w->Label17, w->Label18})
            QCOMPARE(p->isVisible(), statistics);
        QCOMPARE(w->Label16->text(), statistics ? "5,6112020079143" : "");
        QCOMPARE(w->Label18->text(), statistics ? "5,56179041077035" : "");
        QCOMPARE(w->Label28->text(), statistics ? "1" : "0");
        QCOMPARE(w->Label26->text(), statistics ? "Включена" : "Выключена");
        QCOMPARE(w->Label26->palette().color(QPalette::WindowText),
                 statistics ? QColor(0, 128, 0) : QColor(255, 0, 0));
        QVERIFY(!w->existingLogWindow() && f.messages.isEmpty());
        QCOMPARE(w->xCur->text() + ' ' + w->yCur->text(), "1,49473442 5,56179041");
        // A second run shows its own maxima and last values.
        QVERIFY(setTexts(w.get(), unequalTexts));
        w->StartCount->click();
        QCOMPARE(w->xCur->text() + ' ' + w->yCur->text(), "3,7450194 0,73915964");
        QCOMPARE(w->Label16->text(), statistics ? "3,87783940735273" : "");
        QCOMPARE(w->Label18->text(), statistics ? "5,98529993087379" : "");
        QCOMPARE(w->Label28->text(), statistics ? "2" : "0");
        QVERIFY(f.messages.isEmpty());
    }

    void debugLog_data() { addRows(logs); }
    void debugLog() {
        const auto& [name, debug, statistics, toggleAt, startBlock, points, shown] =
            currentRow(logs);
        GuiFixture f;
        FullWindow w(openFull());
        QVERIFY(setTexts(w.get(), unequalTexts));
        w->Check4->setChecked(debug);
        w->Check1->setChecked(statistics);
        const bool flipped = !debug;
        if (*toggleAt)
            atStage(w.get(), toggleAt, [&] { w->Check4->setChecked(flipped); });
        const auto status = recordStatus(w.get());
        w->StartCount->click();

        QStringList want;
        const auto group = [&](const QString& name) { want << Sep << name + '=' + Num << Sep; };
        if (startBlock) {
            want << Sep << Sep << "-------------LOG START------------" << Sep << Sep
                 << "Date:\\d\\d\\.\\d\\d\\.\\d{4}( \\d{1,2}:\\d\\d:\\d\\d)?" << Sep
                 << "DebugMode=1";
            want << "x0=2"
                 << "y0=0,5"
                 << "k1=0,6"
                 << "k2=0,5"
                 << "a1=0,3"
                 << "a2=0,4"
                 << "dt=0,1";
            group("InitElapsed");
            group("CountElapsed");
        }
        const int firstPoint = int(want.size());
        for (int i = 1; points && i <= 150; ++i)
            want << QStringLiteral("x%1=%2 {11}y%1=%2").arg(i).arg(Num);
        if (points) {
            group("DrawElapsed");
            want << Sep << Sep << "--------------LOG END-------------" << Sep << Sep;
            if (statistics)
                group("GradElapsed");
        }
        QVERIFY(w->existingLogWindow());
        QCOMPARE(w->existingLogWindow()->isVisible(), shown);
        const QStringList log = w->existingLogWindow()->entries();
        QCOMPARE(log.size(), want.size());
        for (int i = 0; i < want.size(); ++i)
            QVERIFY2(matches(want[i], log[i]), qPrintable(QString::number(i) + ": " + log[i]));
        // Each status names the time the stage before it took, as logged
        // (the real clock: the stages take different times).
        if (startBlock && points && !*toggleAt) {
            QStringList logged, named;
            for (const QString& entry : log)
                if (entry.contains(QStringLiteral("Elapsed=")))
                    logged << entry.section('=', 1);
            for (const QString& text : *status)
                if (text.contains(':'))
                    named << text.section(':', 1).chopped(1);
            QCOMPARE(named, logged);
        }
        if (!points)
            return;
        QCOMPARE(log[firstPoint], QStringLiteral("x1=2,09           y1=0,515"));
        // Every point as drawn, against the plain pass.
        const Plain p = plainEuler(0.6, 0.5, 0.3, 0.4, 0.1, 150, 2, 0.5);
        const QRegularExpression point("^x(\\d+)=(\\S+) +y\\1=(\\S+)$");
        for (int i = 1; i <= 150; ++i) {
            const auto m = point.match(log[firstPoint + i - 1]);
            const auto value = [&](int n) { return m.captured(n).replace(',', '.').toDouble(); };
            QVERIFY2(m.captured(1).toInt() == i && nearlyEqual(value(2), p.x[i]) &&
                         nearlyEqual(value(3), p.y[i]),
                     qPrintable(log[firstPoint + i - 1]));
        }
    }

    // Statistics are off, so only the clearing pause and the drawing pauses
    // let other work in.
    void pauses_data() {
        QTest::addColumn<bool>("pauses");
        QTest::addColumn<QStringList>("seen");
        QTest::newRow("on") << true << QStringList{"clearing in run", "drawing in run at 0,1009"};
        QTest::newRow("off") << false << QStringList{"clearing in run", "drawing after run"};
    }
    void pauses() {
        QFETCH(bool, pauses);
        QFETCH(QStringList, seen);
        GuiFixture f;
        FullWindow w(openFull());
        w->Check1->setChecked(false);
        w->Check3->setChecked(pauses);
        QStringList got;
        const auto note = [&](const QString& what) {
            got << what + (w->isBusy() ? " in run" : " after run");
            if (w->isBusy() && what == QLatin1String("drawing"))
                got.last() += " at " + w->xCur->text();
        };
        atStage(w.get(), QStringLiteral("Инициализация"), [&] { note("clearing"); });
        atStage(w.get(), QStringLiteral("Прорисовка"), [&] { note("drawing"); });
        w->StartCount->click();
        QCoreApplication::processEvents();
        QCOMPARE(got, seen);
    }

    void indicator_data() { addRows(indicators); }
    void indicator() {
        const auto& [name, indicator, dt, percent] = currentRow(indicators);
        GuiFixture f;
        FullWindow w(openFull());
        w->Check3->setChecked(false);
        w->tInput->setText("5");
        w->StartCount->click();
        QCOMPARE(w->ProgBar->value(), 100);
        w->Check5->setChecked(indicator);
        w->dtInput->setText(dt);
        QStringList seen;
        connect(w->ProgBar, &QProgressBar::valueChanged, w.get(),
                [&](int v) { seen << QString::number(v); });
        w->StartCount->click();
        // Climbs during the calculation, then again during the drawing.
        QStringList pass;
        for (int v = percent; percent && v < 100 + percent; v += percent)
            pass << QString::number(std::min(v, 100));
        QCOMPARE(seen.join(' '), ("0 " + pass.join(' ') + ' ' + pass.join(' ')).trimmed());
    }

    // The slider gives each pause 1 ms per unit plus 4 ms; the statistics
    // show a line every 0.3 s. t = 1: ten steps.
    void pauseLengths_data() {
        QTest::addColumn<int>("slider");
        QTest::addColumn<bool>("pauses");
        QTest::addColumn<bool>("statistics");
        QTest::addColumn<QList<double>>("asked");
        const QList<double> stats(4, 0.3);
        QTest::newRow("50, pauses") << 50 << true << true << QList<double>(11, 0.054) + stats;
        QTest::newRow("100, no pauses") << 100 << false << true << QList<double>{0.104} + stats;
        QTest::newRow("37, no statistics") << 37 << true << false << QList<double>(11, 0.041);
        QTest::newRow("0, neither") << 0 << false << false << QList<double>{0.004};
    }
    void pauseLengths() {
        QFETCH(int, slider);
        QFETCH(bool, pauses);
        QFETCH(bool, statistics);
        QFETCH(QList<double>, asked);
        GuiFixture f;
        FullWindow w(openFull());
        w->Slider1->setValue(slider);
        w->Check3->setChecked(pauses);
        w->Check1->setChecked(statistics);
        w->tInput->setText("1");
        w->StartCount->click();
        QCOMPARE(f.pauses.size(), asked.size());
        for (int i = 0; i < asked.size(); ++i)
            QVERIFY2(qAbs(f.pauses[i] - asked[i]) < 1e-12, qPrintable(QString::number(i)));
    }

    // The real wait: at least its time, with events handled meanwhile.
    void realPause() {
        bool handled = false;
        QTimer::singleShot(0, [&] { handled = true; });
        const double start = Clock::now();
        PauseWithEvents::pause(0.05);
        QVERIFY(Clock::now() - start >= 0.05);
        QVERIFY(handled);
    }

    void faults_data() { addRows(faultRows); }
    void faults() {
        const auto& [name, inputs, code, stage] = currentRow(faultRows);
        GuiFixture f;
        FullWindow w(openFull());
        for (const QString& input : inputs)
            QVERIFY(setTexts(w.get(), {input.section('=', 0, 0), input.section('=', 1)}));
        w->StartCount->click();
        QCOMPARE(f.messages.size(), 1);
        QCOMPARE(f.messages[0].icon, AppMessage::Critical);
        QVERIFY2(f.messages[0].text.startsWith(QStringLiteral("Ошибка выполнения '%1'").arg(code)),
                 qPrintable(f.messages[0].text));
        QVERIFY(w->StartCount->isEnabled() && w->DrawCorrect->isEnabled() && !w->isBusy());
        QVERIFY2(w->StatusWindow->panelText(2).startsWith(stage),
                 qPrintable(w->StatusWindow->panelText(2)));
    }
};

QTEST_MAIN(TstPipeline)
#include "tst_pipeline.moc"
