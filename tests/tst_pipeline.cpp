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

// name, Check5 on the second run, dt, highest and last ProgBar value
static const std::tuple<const char*, bool, const char*, int> indicators[] = {
    {"on", true, "0,1", 100},
    {"on, t/dt not whole", true, "0,3", 100},
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
    }

    void debugLog_data() { addRows(logs); }
    void debugLog() {
        const auto& [name, debug, statistics, toggleAt, startBlock, points, shown] =
            currentRow(logs);
        GuiFixture f;
        FullWindow w(openFull());
        w->Check4->setChecked(debug);
        w->Check1->setChecked(statistics);
        const bool flipped = !debug;
        if (*toggleAt)
            atStage(w.get(), toggleAt, [&] { w->Check4->setChecked(flipped); });
        w->StartCount->click();

        QStringList want;
        const auto group = [&](const QString& name) { want << Sep << name + '=' + Num << Sep; };
        if (startBlock) {
            want << Sep << Sep << "-------------LOG START------------" << Sep << Sep
                 << "Date:\\d\\d\\.\\d\\d\\.\\d{4}( \\d{1,2}:\\d\\d:\\d\\d)?" << Sep
                 << "DebugMode=1";
            for (const char* p : {"x0", "y0", "k1", "k2", "a1", "a2", "dt"})
                want << QString::fromLatin1(p) + "=0,1";
            group("InitElapsed");
            group("CountElapsed");
        }
        const int firstPoint = int(want.size());
        for (int i = 1; points && i <= 500; ++i)
            want << QStringLiteral("x%1=%2 {11}y%1=%2").arg(i).arg(Num);
        if (points) {
            group("DrawElapsed");
            want << Sep << Sep << "--------------LOG END-------------" << Sep << Sep;
            if (statistics)
                group("GradElapsed");
        }
        const QStringList log = w->existingLogWindow()->entries();
        QCOMPARE(log.size(), want.size());
        for (int i = 0; i < want.size(); ++i)
            QVERIFY2(matches(want[i], log[i]), qPrintable(QString::number(i) + ": " + log[i]));
        if (points)
            QCOMPARE(log[firstPoint], QStringLiteral("x1=0,1009           y1=0,0991"));
        QCOMPARE(w->existingLogWindow()->isVisible(), shown);
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
        const auto& [name, indicator, dt, value] = currentRow(indicators);
        GuiFixture f;
        FullWindow w(openFull());
        w->Check3->setChecked(false);
        w->StartCount->click();
        QCOMPARE(w->ProgBar->value(), 100);
        w->Check5->setChecked(indicator);
        w->dtInput->setText(dt);
        int top = -1;
        connect(w->ProgBar, &QProgressBar::valueChanged, w.get(),
                [&](int v) { top = std::max(top, v); });
        w->StartCount->click();
        QVERIFY(top == value && w->ProgBar->value() == value);
    }

    void faults_data() { addRows(faultRows); }
    void faults() {
        const auto& [name, inputs, code, stage] = currentRow(faultRows);
        GuiFixture f;
        FullWindow w(openFull());
        for (const QString& input : inputs)
            w->findChild<QLineEdit*>(input.section('=', 0, 0))->setText(input.section('=', 1));
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
