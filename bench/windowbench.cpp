// The windows' benchmarks on the offscreen platform, with real pauses: the
// light and the full run from the click to the finished graph, the
// start-up against a bare Qt program, and the statistics panel's opening.
// It also takes the core benchmarks' JSON (morvane_bench_core
// --benchmark_format=json) and prints everything as one table.

#include "benchtable.h"
#include "common/pausewithevents.h"
#include "full/mainfrmfull.h"
#include "lab/phasefrm.h"

#include "light/mainfrmlight.h"
#include "ui/appmessage.h"
#include "ui/drawinglayer.h"
#include <QKeyEvent>
#include <QPushButton>

#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <tuple>
#include <vector>

namespace {

using Row = BenchTable::Row;

double clockSeconds(clockid_t id) {
    timespec ts{};
    clock_gettime(id, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}
double wallNow() {
    return clockSeconds(CLOCK_MONOTONIC);
}
double cpuNow() {
    return clockSeconds(CLOCK_PROCESS_CPUTIME_ID);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Runs the event loop until the widget has been painted once more: the
// point where a run's graph has reached the window.
class PaintWait : public QObject {
public:
    explicit PaintWait(QWidget* widget) : m_widget(widget) { widget->installEventFilter(this); }
    ~PaintWait() override { m_widget->removeEventFilter(this); }

    bool wait(int timeoutMs = 10000) {
        if (!m_painted) {
            QTimer::singleShot(timeoutMs, &m_loop, &QEventLoop::quit);
            m_loop.exec();
        }
        return m_painted;
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            // Queued: the loop ends once this paint is through.
            QMetaObject::invokeMethod(&m_loop, &QEventLoop::quit, Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget* m_widget;
    QEventLoop m_loop;
    bool m_painted = false;
};

// Lets the window finish whatever it still has to paint.
void settle() {
    PauseWithEvents::pause(0.05);
}

struct Run {
    double wall;
    double cpu;
};

// From the click on "Рассчитать" to the graph painted onto the window.
Run clickToGraph(MainFormBase& window) {
    settle();
    const double wall = wallNow();
    const double cpu = cpuNow();
    window.StartCount->click();
    if (!PaintWait(window.drawingLayer()).wait())
        std::fprintf(stderr, "the drawing layer was never painted\n");
    return {wallNow() - wall, cpuNow() - cpu};
}

void showAndWait(QWidget& window) {
    PaintWait painted(&window);
    window.show();
    painted.wait();
}

// The mean, not the median: a run's pauses add up.
double meanPause(double seconds, int runs) {
    const double start = wallNow();
    for (int i = 0; i < runs; ++i)
        PauseWithEvents::pause(seconds);
    return (wallNow() - start) / runs;
}

// Figures 1, 2, 7 and 8 from the core benchmarks' JSON: the CPU time of each
// case's fastest repetition (other programs sharing the machine disturb it
// less than the wall time); the ensemble on several threads by its wall time.
void coreFigures(BenchTable& table, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return;
    }
    static const std::map<QString, double> toSeconds{
        {"ns", 1e-9}, {"us", 1e-6}, {"ms", 1e-3}, {"s", 1.0}};
    std::map<QString, double> seconds, wall;
    for (const QJsonValue& v : QJsonDocument::fromJson(file.readAll())["benchmarks"].toArray()) {
        const QJsonObject b = v.toObject();
        const QString aggregate = b["aggregate_name"].toString();
        if (!aggregate.isEmpty() && aggregate != QLatin1String("min"))
            continue;
        // "<case>/<steps>", without what a run's settings add ("/iterations:1").
        const QString name = b["run_name"].toString().section(QLatin1Char('/'), 0, 1);
        seconds[name] = b["cpu_time"].toDouble() * toSeconds.at(b["time_unit"].toString());
        // This thread's CPU time says nothing of work on other threads.
        wall[name] = b["real_time"].toDouble() * toSeconds.at(b["time_unit"].toString());
    }
    struct Pair {
        QString figure, measured, baselineName, name, baselineCase;
        double goal;
    };
    const Pair pairs[] = {
        {"1", "Trajectory::calculate", "plain Euler loop", "trajectory", "euler", 1.5},
        {"2", "GraphPlotter::drawCurves onto DrawingLayer + flush", "bare QPainter on QImage",
         "plotter", "qpainter", 1.3},
        {"7", "CsvWriter::series + fwrite (export table)", "plain fprintf loop", "csv", "fprintf",
         1.5},
        {"8", "GraphPicture::image, curves and scale (export PNG before encoding)",
         "bare QPainter on QImage", "png", "qpainter", 1.3},
    };
    for (const Pair& p : pairs) {
        for (const char* steps : {"500", "32760", "32767"}) {
            const QString n = QLatin1Char('/') + QLatin1String(steps);
            if (!seconds.count(p.name + n) || !seconds.count(p.baselineCase + n))
                continue;
            table.add({p.figure, p.measured + QStringLiteral(", %1 steps").arg(steps),
                       seconds[p.name + n], p.baselineName, seconds[p.baselineCase + n],
                       BenchTable::Seconds, 0, p.goal});
        }
    }
    // The lab's figures: its passes against plain loops, a run's figures
    // against the Euler pass, the exact orbit against its aim.
    for (const QString method : {"euler", "semi-implicit", "rk4"}) {
        const QString name = QStringLiteral("lab-%1/32767").arg(method);
        const QString plain = QStringLiteral("plain-%1/32767").arg(method);
        if (seconds.count(name) && seconds.count(plain))
            table.add({"9", QStringLiteral("Integrator::calculate, %1, 32767 steps").arg(method),
                       seconds[name], QStringLiteral("plain %1 loop").arg(method), seconds[plain],
                       BenchTable::Seconds, 0, 1.3});
    }
    if (seconds.count("summary/32767") && seconds.count("lab-euler/32767"))
        table.add({"10", "RunSummary::of (a run's figures), 32767 steps", seconds["summary/32767"],
                   "Euler pass alone", seconds["lab-euler/32767"], BenchTable::Seconds, 0, 1.5});
    if (seconds.count("lab-redraw/32767") && seconds.count("lab-bare/32767"))
        table.add({"12", "lab plane redrawn (axes, field, nullclines, orbit, path), 32767 steps",
                   seconds["lab-redraw/32767"], "bare QPainter polyline + orbit",
                   seconds["lab-bare/32767"], BenchTable::Seconds, 0, 1.3});
    if (seconds.count("lab-drag/5000"))
        table.add({"13", "lab slider move: run, figures, plane and strip, 5000 steps",
                   seconds["lab-drag/5000"], "one 60 Hz frame", 0.016, BenchTable::Seconds, 0,
                   1.0});
    for (const char* steps : {"5000", "32767"}) {
        const QString name = QStringLiteral("lab-drag-compare/") + QLatin1String(steps);
        // Wall time: the step halving runs on both cores.
        if (wall.count(name))
            table.add({"13",
                       QStringLiteral("the same with \"Сравнить шаги\": three methods at "
                                      "Δt, Δt/2, Δt/4, %1 steps (wall time)")
                           .arg(steps),
                       wall[name], "one 60 Hz frame", 0.016, BenchTable::Seconds, 0, 1.0});
    }
    // The extinction: an exact run against a plain Gillespie loop making the
    // same events, the lab panel's default ensemble on every core against
    // one thread.
    if (seconds.count("gillespie/1") && seconds.count("plain-gillespie/1"))
        table.add({"15", "IndividualRun::simulate, the trough example (Ω = 100), one run",
                   seconds["gillespie/1"], "plain Gillespie loop, same generator and events",
                   seconds["plain-gillespie/1"], BenchTable::Seconds, 0, 1.25});
    if (seconds.count("ensemble-all/200") && seconds.count("ensemble-one/200"))
        table.add({"16", "Extinction::run, 200 runs × (2 + 24 moments), every core",
                   wall["ensemble-all/200"], "the same on one thread", wall["ensemble-one/200"],
                   BenchTable::Seconds, 0, 0.588});
    // A sweep of 1000 points against as many single summaries in one
    // process, and on two threads against one.
    if (wall.count("sweep-one/1000") && wall.count("singles/1000"))
        table.add({"17", "morvane-export --sweep, 1000 points (k1), one thread",
                   wall["sweep-one/1000"], "1000 single --summary runs in one process",
                   wall["singles/1000"], BenchTable::Seconds, 0, 1.1});
    if (wall.count("sweep-two/1000") && wall.count("sweep-one/1000"))
        table.add({"17", "the same sweep on two threads (wall time)", wall["sweep-two/1000"],
                   "the same on one thread", wall["sweep-one/1000"], BenchTable::Seconds, 0,
                   1 / 1.7});
    if (seconds.count("orbit/2000"))
        table.add({"11", "ExactOrbit::through, 2000 points", seconds["orbit/2000"], "aim", 1e-3,
                   BenchTable::Seconds, 0, 1.0});
}

// Figure 3: the light run with the texts at load, then with t = 3276.
void lightFigures(BenchTable& table, int runs) {
    MainFrmLight window;
    showAndWait(window);
    table.add({"3", "PauseWithEvents::pause(0.01) alone", meanPause(0.01, runs), "nominal", 0.01,
               BenchTable::Seconds});
    for (const auto& [t, steps, goal] : {std::tuple{"50", 500, 1.5}, {"3276", 32760, 10.0}}) {
        window.tInput->setText(QString::fromLatin1(t));
        std::vector<double> wall;
        for (int i = 0; i < runs; ++i)
            wall.push_back(clickToGraph(window).wall);
        table.add({"3",
                   QStringLiteral("light run, click to graph, %1 steps (t=%2)").arg(steps).arg(t),
                   median(wall), "0.01 s clearing pause", 0.01, BenchTable::Seconds, 0, goal});
    }
}

// Figure 4: the full run with pauses after every step, statistics off.
void fullFigures(BenchTable& table, int runs) {
    MainFrmFull window;
    window.Check1->setChecked(false);
    window.Check3->setChecked(true);
    window.Slider1->setValue(0);
    showAndWait(window);
    const double pauses = 501 * 0.004;
    const double pauseCpu = cpuNow();
    const double pauseWall = wallNow();
    table.add({"4", "PauseWithEvents::pause(0.004) alone", meanPause(0.004, 501), "nominal", 0.004,
               BenchTable::Seconds});
    // What the waiting itself costs, with nothing drawn: the floor under
    // the run's CPU time below.
    table.add({"4", "501 pauses alone, CPU time", cpuNow() - pauseCpu, "their wall time",
               wallNow() - pauseWall, BenchTable::Seconds});
    std::vector<double> wall, cpu;
    for (int i = 0; i < std::max(1, runs / 3); ++i) {
        const Run r = clickToGraph(window);
        wall.push_back(r.wall);
        cpu.push_back(r.cpu);
    }
    table.add({"4", "full run, 500 steps, pauses on, wall time", median(wall),
               "501 pauses × 0.004 s", pauses, BenchTable::Seconds, 0, 1.10});
    table.add({"4", "full run, 500 steps, CPU time", median(cpu), "its wall time", median(wall),
               BenchTable::Seconds, 0, 0.05});
}

// Figures 3 and 4 again on an X server, where every repaint is also sent to
// the server: a second process, as a Qt program has one platform.
void xvfbFigures(BenchTable& table, const QString& display, int runs) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("DISPLAY", display);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(
        QCoreApplication::applicationFilePath(),
        {"--figures", "34", "--runs", QString::number(runs), "--rows-only", "--where", ", Xvfb"});
    if (!p.waitForFinished(600000) || p.exitCode() != 0) {
        std::fprintf(stderr, "the figures on display %s failed\n", qPrintable(display));
        return;
    }
    table.addRows(QString::fromUtf8(p.readAllStandardOutput()));
}

struct Launch {
    double seconds = 0;
    double maxRssKiB = 0;
};

// One start of the program on the offscreen platform, through the launcher.
Launch launch(const QStringList& command) {
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(QStringLiteral(LAUNCHER_EXE), command);
    p.waitForFinished(60000);
    const QList<QByteArray> fields = p.readAllStandardOutput().simplified().split(' ');
    if (p.exitCode() != 0 || fields.size() != 2) {
        std::fprintf(stderr, "could not time the start of %s\n", qPrintable(command.join(' ')));
        return {};
    }
    return {fields[0].toDouble(), fields[1].toDouble()};
}

// Figure 5: Morvane and the two bare windows started in turn, after one
// warm-up start each.
void startupFigures(BenchTable& table, int runs) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("MORVANE_EXIT_WHEN_SHOWN", "1");
    const QStringList commands[] = {{MORVANE_EXE}, {BAREQT_EXE, "--text"}, {BAREQT_EXE}};
    for (const QStringList& command : commands)
        launch(command);
    std::vector<double> time[3], rss[3];
    for (int i = 0; i < runs; ++i) {
        for (int k = 0; k < 3; ++k) {
            const Launch l = launch(commands[k]);
            time[k].push_back(l.seconds);
            rss[k].push_back(l.maxRssKiB);
        }
    }
    qunsetenv("MORVANE_EXIT_WHEN_SHOWN");
    const QString n = QStringLiteral(", median of %1 starts").arg(runs);
    table.add({"5", "start-up to light window shown" + n, median(time[0]),
               "bare Qt window with a label and a line edit", median(time[1]), BenchTable::Seconds,
               0, 1.1});
    // For reference: a window without text never builds the font database.
    table.add({"5", "start-up to light window shown" + n, median(time[0]), "bare empty Qt window",
               median(time[2]), BenchTable::Seconds});
    table.add({"5", "peak memory (ru_maxrss)" + n, median(rss[0]), "bare empty Qt window",
               median(rss[2]), BenchTable::KiB, 0, 1.2});
}

// Figure 15: fifty key presses on a slider, queued as a fast typist's or a
// held key's would be, with "Сравнить шаги" on at 32767 steps: the time from
// the last press until the picture of the last one is on screen. Edits are
// coalesced, so only the newest scenario is computed and painted.
void labBurstFigures(BenchTable& table, int runs) {
    std::vector<double> seconds;
    for (int i = 0; i < runs; ++i) {
        PhaseFrm lab;
        Scenario s{0.9, 0.6, 0.3, 0.2, 30.0 / 32767, 30, 8, 1};
        lab.setScenario(s);
        lab.findChild<QPushButton*>("CompareSteps")->setChecked(true);
        showAndWait(lab);
        lab.run();
        QCoreApplication::processEvents();
        QWidget* slider = lab.findChild<QWidget*>("x0Slider");
        for (int k = 0; k < 50; ++k) {
            QCoreApplication::postEvent(slider, new QKeyEvent(QEvent::KeyPress, Qt::Key_Right, {}));
            QCoreApplication::postEvent(slider,
                                        new QKeyEvent(QEvent::KeyRelease, Qt::Key_Right, {}));
        }
        QElapsedTimer clock;
        clock.start();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        lab.repaint();
        seconds.push_back(clock.nsecsElapsed() / 1e9);
    }
    table.add({"15",
               QStringLiteral("lab: 50 queued slider keys, compare on, 32767 steps, until the "
                              "last is painted, median of %1")
                   .arg(runs),
               median(seconds), "aim", 0.05, BenchTable::Seconds, 0, 1.0});
}

// Figure 14: the lab window costs the start nothing, since it is built only
// when first asked for; then, its first opening after a run.
void labOpeningFigures(BenchTable& table, int runs) {
    std::vector<double> seconds;
    int atStart = 0;
    for (int i = 0; i < runs; ++i) {
        MainFrmLight window;
        showAndWait(window);
        clickToGraph(window);
        atStart += int(window.findChildren<PhaseFrm*>().size());
        QElapsedTimer clock;
        clock.start();
        PhaseFrm* lab = PhaseFrm::openFor(&window);
        QCoreApplication::processEvents();
        seconds.push_back(clock.nsecsElapsed() / 1e9);
        lab->close();
    }
    table.add({"14",
               QStringLiteral("lab window's first opening after a run, median of %1").arg(runs),
               median(seconds), "aim", 0.1, BenchTable::Seconds, 0, 1.0});
    table.addNote(QStringLiteral("Lab windows in existence before the first opening (figure 14), "
                                 "over %1 light windows: %2.")
                      .arg(runs)
                      .arg(atStart));
}

// Figure 6: five runs of the full window at load (statistics on), each
// ending in the timed opening of the statistics panel.
void openingFigures(BenchTable& table) {
    MainFrmFull window;
    showAndWait(window);
    for (int i = 0; i < 5; ++i)
        clickToGraph(window);
    const ModelState& s = window.state();
    QStringList factors;
    for (std::size_t i = 0; i < s.elapsedHistory.size(); ++i) {
        const bool held = i >= 2;
        table.add({"6", QStringLiteral("statistics opening %1").arg(i + 1), s.elapsedHistory[i],
                   "aim", 0.1, BenchTable::Seconds, held ? 0.7 : 0, held ? 1.3 : 0});
        factors << QString::number(s.factorHistory[i], 'g', 4);
    }
    table.addNote(QStringLiteral("Correction factor after each opening (figure 6): ") +
                  factors.join(QStringLiteral(", ")) + QLatin1Char('.'));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"core", "JSON of morvane_bench_core to include.", "file"});
    parser.addOption({"runs", "Repetitions of the short measurements (default 15).", "n", "15"});
    parser.addOption(
        {"figures", "Which of the window figures 3-6 to run (default all).", "digits", "3456"});
    parser.addOption({"xvfb",
                      "Also take figures 3 and 4 on this X display (a bare Xvfb), in a second "
                      "process of this program.",
                      "display"});
    parser.addOption({"rows-only", "Print the rows alone (for the process --xvfb starts)."});
    parser.addOption({"where", "Appended to every row's measured text.", "text"});
    parser.process(app);
    const int runs = std::max(1, parser.value("runs").toInt());
    const QString figures = parser.value("figures");

    // A message box would wait for a person; a run that shows one has
    // failed, and the report says so.
    QStringList messages;
    AppMessage::setHandler([&](AppMessage::Icon, const QString& text) { messages << text; });

    BenchTable table;
    table.setWhere(parser.value("where"));
    if (parser.isSet("core"))
        coreFigures(table, parser.value("core"));
    if (figures.contains('3'))
        lightFigures(table, runs);
    if (figures.contains('4'))
        fullFigures(table, runs);
    if (parser.isSet("xvfb"))
        xvfbFigures(table, parser.value("xvfb"), runs);
    if (figures.contains('5'))
        startupFigures(table, runs);
    if (figures.contains('6'))
        openingFigures(table);
    if (figures.contains('5'))
        labBurstFigures(table, runs);
    if (figures.contains('5'))
        labOpeningFigures(table, runs);
    if (!messages.isEmpty())
        table.addNote(QStringLiteral("**Runs failed with these messages:** ") +
                      messages.join(QStringLiteral("; ")));
    std::fputs(qPrintable(parser.isSet("rows-only") ? table.rowsMarkdown() : table.toMarkdown()),
               stdout);
    return 0;
}
