#include "guitestutil.h"

#include "full/mainfrmfull.h"
#include "lab/phasefrm.h"
#include "light/mainfrmlight.h"
#include "model/lastrun.h"
#include "startup/loaderfrm.h"
#include "ui/shapewidget.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>

namespace {
// Notes every showing of a loader and what it looks like once it is up,
// which with shortened pauses is the one pass over events of its wait.
class LoaderWatch : public QObject {
public:
    int shown = 0;
    QSize size;
    QStringList texts;
    // Each label's font size, bold, italic and text colour.
    QStringList looks;

    bool eventFilter(QObject* o, QEvent* e) override {
        auto* loader = qobject_cast<LoaderFrm*>(o);
        if (!loader || e->type() != QEvent::Show)
            return false;
        ++shown;
        QTimer::singleShot(0, loader, [this, loader] {
            size = loader->isVisible() ? loader->size() : QSize();
            for (QLabel* l : {loader->Label1, loader->Label5, loader->Label2, loader->Label3}) {
                texts << l->text();
                looks << QStringLiteral("%1 %2 %3 %4")
                             .arg(l->font().pointSize())
                             .arg(l->font().bold())
                             .arg(l->font().italic())
                             .arg(l->palette().color(QPalette::WindowText).name());
            }
        });
        return false;
    }
};

bool anyLoader() {
    const auto windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(),
                       [](QWidget* w) { return qobject_cast<LoaderFrm*>(w); });
}
} // namespace

class TstStartup : public QObject {
    Q_OBJECT
private slots:
    void start_data() {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<bool>("debug");
        QTest::newRow("-Debug") << "-Debug" << true;
        for (const char* text : {"", "-debug", "/Debug", "-Debug x", " -Debug"})
            QTest::newRow(text) << text << false;
    }
    void start() {
        QFETCH(QString, commandLine);
        QFETCH(bool, debug);
        GuiFixture fx;
        QCOMPARE(LoaderFrm::isDebugSwitch(commandLine), debug);
        LoaderWatch watch;
        qApp->installEventFilter(&watch);
        QPointer<QWidget> main = LoaderFrm::start(commandLine);
        qApp->removeEventFilter(&watch);
        QCOMPARE(fx.pauses, debug ? QList<double>{1.5} : QList<double>{});
        flushDeletes();
        QVERIFY(!anyLoader());
        QVERIFY(main && main->isVisible());
        if (auto* full = qobject_cast<MainFrmFull*>(main)) {
            QVERIFY(debug);
            QCOMPARE(watch.shown, 1);
            QCOMPARE(watch.size, QSize(394, 98));
            QCOMPARE(watch.texts,
                     QStringList({"Модель", "Полная(отладочная) версия",
                                  "Конкуренция популяций с учетом катастроф", "Загрузка..."}));
            // Label1 18 pt bold italic in (136, 64, 217), Label5 in the
            // selection's colour, Label2 12 pt bold in (128, 0, 0), Label3 as
            // the window, 8 pt.
            const QPalette palette = QApplication::palette();
            QCOMPARE(
                watch.looks,
                QStringList({"18 1 1 #8840d9", "8 0 0 " + palette.color(QPalette::Highlight).name(),
                             "12 1 0 #800000",
                             "8 0 0 " + palette.color(QPalette::WindowText).name()}));
            QCOMPARE(full->size(), QSize(724, 362));
            for (QCheckBox* c : {full->Check1, full->Check2, full->Check3, full->Check5})
                QVERIFY(c->isChecked());
            QVERIFY(!full->Check4->isChecked());
            QCOMPARE(full->Label26->text(), QString("Выключена"));
            QCOMPARE(full->Label28->text(), QString("0"));
            for (QWidget* panel : std::initializer_list<QWidget*>{
                     full->Shape2, full->Shape4, full->Label14, full->Label16, full->Label18})
                QVERIFY(!panel->isVisible());
            QCOMPARE(full->StatusWindow->panelText(1), QString("Статус:"));
            QCOMPARE(full->StatusWindow->panelText(2), QString("Готово"));
            QCOMPARE(full->ProgBar->value(), 0);
        } else {
            QVERIFY(!debug);
            QVERIFY(qobject_cast<MainFrmLight*>(main));
            QCOMPARE(watch.shown, 0);
        }
        main->close();
        flushDeletes();
        QVERIFY(!main);
    }

    // The built program, from its command line as typed to the window it
    // shows; Qt still applies the options it knows (-reverse: right to left).
    void executable_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("window");
        QTest::newRow("no arguments") << QStringList{} << "MainFrmLight ltr";
        QTest::newRow("-Debug") << QStringList{"-Debug"} << "MainFrmFull ltr";
        for (const QStringList& near : {QStringList{"-debug"},
                                        {"/Debug"},
                                        {"-Debug", "x"},
                                        {"-Debugx"},
                                        {"Debug"},
                                        {"-style", "Fusion", "-Debug"},
                                        {"-Debug", "-platform", "offscreen"}})
            QTest::newRow(qPrintable(near.join(' '))) << near << "MainFrmLight ltr";
        QTest::newRow("-Debug -reverse") << QStringList{"-Debug", "-reverse"} << "MainFrmLight rtl";
        QTest::newRow("-reverse -Debug") << QStringList{"-reverse", "-Debug"} << "MainFrmLight rtl";
    }
    void executable() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, window);
        QTemporaryDir dir;
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("MORVANE_EXIT_WHEN_SHOWN", "1");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(dir.path());
        program.start(QStringLiteral(MORVANE_EXECUTABLE), arguments);
        // Far beyond the 1.5 s of the loader: only a hung program reaches it.
        if (!program.waitForFinished(60000)) {
            program.kill();
            program.waitForFinished();
            QFAIL("no window shown within 60 s");
        }
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        // Named for the desktop's launcher, with Qt's dialogs in Russian.
        QCOMPARE(QString::fromLatin1(program.readAllStandardOutput()),
                 "shown " + window + " io.github.morvane.Morvane ru\n");
        QCOMPARE(program.exitCode(), 0);
    }

    // --version answers without a display, and says so when it cannot write.
    void version() {
        for (const bool full : {false, true}) {
            QProcess program;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove("DISPLAY");
            env.insert("QT_QPA_PLATFORM", "xcb");
            program.setProcessEnvironment(env);
            if (full)
                program.setStandardOutputFile(QStringLiteral("/dev/full"));
            program.start(QStringLiteral(MORVANE_EXECUTABLE), {QStringLiteral("--version")});
            QVERIFY(program.waitForFinished(60000));
            QCOMPARE(program.exitCode() != 0, full);
            if (!full)
                QCOMPARE(program.readAllStandardOutput(), "morvane " MORVANE_VERSION "\n");
        }
    }

    // A scenario file as the last argument (a double click) is no part of
    // the switch; the edition it names opens with the file's values in its
    // boxes, runs them with the disaster marked, and opens the lab on it.
    void scenarioArgument_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<bool>("file");
        QTest::newRow("light") << QStringList{"morvane", "FILE"} << "" << true;
        QTest::newRow("full") << QStringList{"morvane", "-Debug", "FILE"} << "-Debug" << true;
        QTest::newRow("not last") << QStringList{"morvane", "FILE", "-Debug"} << "FILE -Debug"
                                  << false;
    }
    void scenarioArgument() {
        QFETCH(QStringList, args);
        QFETCH(QString, commandLine);
        QFETCH(bool, file);
        QTemporaryDir dir;
        const QString path = dir.filePath("lesson.morvane");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(R"({"format": "morvane-scenario", "version": 1, "title": "Урок", "k1": 0.6,
            "k2": 0.5, "a1": 0.3, "a2": 0.4, "dt": 0.05, "t": 12, "x0": 2.5, "y0": 1.5,
            "method": "rk4", "disaster": {"time": 3.05, "divisor": 4}})");
        f.close();
        std::vector<QByteArray> bytes;
        for (const QString& a : args)
            bytes.push_back((a == "FILE" ? path : a).toLocal8Bit());
        std::vector<const char*> argv;
        for (const QByteArray& b : bytes)
            argv.push_back(b.constData());
        const QString line = LoaderFrm::commandLine(int(argv.size()), argv.data());
        QCOMPARE(line, QString(commandLine).replace("FILE", path));
        QCOMPARE(LoaderFrm::scenarioFile(int(argv.size()), argv.data()), file ? path : QString());
        if (!file)
            return;
        GuiFixture fx;
        auto* main = qobject_cast<MainFormBase*>(LoaderFrm::start(line, path));
        QVERIFY(main);
        QCOMPARE(bool(qobject_cast<MainFrmFull*>(main)), line == "-Debug");
        QCOMPARE(main->k2Input->text(), QStringLiteral("0,5"));
        QCOMPARE(main->x0Input->text(), QStringLiteral("2,5"));
        QTRY_COMPARE(main->lastRun()->record().strike, 61); // 3,05 / 0,05
        QCOMPARE(main->lastRun()->record().divisor, std::int16_t(4));
        auto* lab = main->findChild<PhaseFrm*>();
        QVERIFY(lab && lab->isVisible());
        QCOMPARE(lab->windowTitle(), QStringLiteral("Фазовый портрет — Урок"));
        QCOMPARE(lab->scenario().method, StepMethod::RungeKutta4);
        QVERIFY(fx.messages.isEmpty());
        delete main;
    }
};

QTEST_MAIN(TstStartup)
#include "tst_startup.moc"
