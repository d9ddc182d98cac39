#include "export/exportcommand.h"

#include "analysis/exactorbit.h"
#include "analysis/invariant.h"
#include "analysis/runsummary.h"
#include "analysis/stephalving.h"
#include "common/checkedmath.h"
#include "common/numbertext.h"
#include "common/runerror.h"
#include "export/csvwriter.h"
#include "export/exportinputs.h"
#include "export/exportoptions.h"
#include "export/exportrun.h"
#include "export/extinctionjson.h"
#include "export/graphpicture.h"
#include "export/interruption.h"
#include "export/labfiles.h"
#include "export/outputfiles.h"
#include "export/summaryjson.h"
#include "export/sweepcommand.h"
#include "model/scenario.h"
#include "model/scenariofile.h"
#include "model/trajectory.h"
#include "plot/disastermarker.h"
#include "plot/graphplotter.h"
#include "plot/phaseplotter.h"

#include <QFile>
#include <QIODevice>
#include <chrono>
#include <cmath>
#include <future>
#include <unistd.h>

namespace {
const QString Program = QStringLiteral("morvane-export");
const QString LookWhatYouWrite = QStringLiteral("Смотри, что пишешь!!");

QString option(const QString& name, const QString& text) {
    return QStringLiteral("--%1=%2").arg(name, text);
}

// What the command changed or left out of what it was given, a line each
// for standard error: a t that is not whole, which the windows round (ties
// to even), and a disaster that strikes no step, with the reason.
QStringList remarksOn(const ModelState& s, const ExportOptions& o,
                      const std::optional<double>& disasterTime) {
    QStringList remarks;
    if (NumberText::toDouble(o.texts.t) != double(s.t))
        remarks << option(QStringLiteral("t"), o.texts.t) +
                       QStringLiteral(": t читается как целое число (половина — к чётному), "
                                      "взято t = %1")
                           .arg(s.t);
    if (disasterTime) {
        const int last = int(s.xSeries.size()) - 1;
        if (const Scenario::Strike strike = Scenario::strike(*disasterTime, s.dt, last);
            !strike.ok())
            remarks << option(QStringLiteral("disaster"), o.disasterTime) + QStringLiteral(": ") +
                           strike.problem + QStringLiteral(", она не применена");
    }
    return remarks;
}

// The run the outputs show, and the output being made, for a fault's message.
struct Run {
    Run(const ExportOptions& o, QIODevice& e) : options(o), err(e) {}
    const ExportOptions& options;
    QIODevice& err;
    ExportRun run;
    QString stage;
};

// Its horizontal scale divides by t / dt, which only a picture needs: t = 0
// gives a one-row table and a summary but no graph.
void calculate(Run& r) {
    for (const auto& [name, file] : r.options.outputs) {
        if (name != QLatin1String("csv") && name != QLatin1String("summary") &&
            name != QLatin1String("extinction")) {
            r.stage = option(name, file);
            r.run.s.twipsPerStep = InputReader::twipsPerStep(r.run.s.t, r.run.s.dt);
            r.stage.clear();
            break;
        }
    }
    r.run.calculate();
}

// Thrown when Ctrl+C stops a calculation: nothing is to be written.
struct Stopped {};

// The extinction ensemble, on a thread of its own so that this one can
// tell the progress.
QByteArray extinction(const Run& r) {
    const Scenario scenario = r.run.scenario();
    const Extinction::Settings& settings = r.run.inputs.extinction;
    Extinction::Control control;
    auto done = std::async(std::launch::async, [&]() -> std::optional<Extinction::Result> {
        try {
            return Extinction::run(scenario, settings, &control);
        } catch (...) {
            return std::nullopt; // the result's own memory
        }
    });
    const bool progress = ExportCommand::onTerminal(r.err);
    while (done.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
        if (Interruption::requested())
            control.stop = true;
        if (progress && control.total.load() > 0)
            r.err.write(QStringLiteral("\r%1: прогонов %2 из %3")
                            .arg(Program)
                            .arg(control.done.load())
                            .arg(control.total.load())
                            .toUtf8());
    }
    if (progress)
        r.err.write("\r\033[K");
    if (Interruption::requested())
        throw Stopped{};
    const std::optional<Extinction::Result> result = done.get();
    if (!result || !result->failure.isEmpty())
        throw RunError(RunError::OutOfMemory, result ? result->failure : QString());
    QStringList notes;
    if (const Scenario::Strike strike = scenario.strike(); scenario.disaster && !strike.ok())
        notes << strike.problem;
    notes << QStringLiteral("При Ω = %1 в начале %2 жертв и %3 хищников")
                 .arg(settings.omega)
                 .arg(IndividualRun::startCount(scenario.x0, settings.omega))
                 .arg(IndividualRun::startCount(scenario.y0, settings.omega));
    return ExtinctionJson::document(r.run.summaryInputs(), settings, *result, notes);
}

// The lab's figures of the run, and with --compare-steps the same run at
// halved steps.
QByteArray summary(const Run& r) {
    const ExportRun::Figures f = r.run.figures(r.options.compareSteps);
    return SummaryJson::document(r.run.summaryInputs(), f.summary,
                                 f.compare ? &*f.compare : nullptr, f.notes);
}

// The nullclines and the exact orbit asked for, where they are defined.
PhasePlotter::Overlay overlay(const Run& r) {
    PhasePlotter::Overlay o;
    const Trajectory::Rates rates = Trajectory::rates(r.run.s);
    if (r.options.nullclines) {
        if (const Figure<PhasePoint> e = Invariant::equilibrium(rates); e.has())
            o.equilibrium = std::pair{(*e).x, (*e).y};
        else
            o.notes << e.reason;
    }
    if (r.options.exactOrbit) {
        if (auto orbit = ExactOrbit::smooth(rates, r.run.s.xSeries[0], r.run.s.ySeries[0], 2000);
            orbit.has()) {
            o.orbitX = std::move(orbit.value->x);
            o.orbitY = std::move(orbit.value->y);
        } else if (!o.notes.contains(orbit.reason)) {
            o.notes << orbit.reason;
        }
    }
    return o;
}

// What each colour of a picture is, and the run's parameters.
GraphPicture::Key keyOf(const Run& r, bool phase, const PhasePlotter::Overlay& extras,
                        const GraphPicture::Frame& frame) {
    using Entry = GraphPicture::Key::Entry;
    const auto colour = [](DrawSurface::Rgb c) { return QColor::fromRgb(QRgb(c)); };
    GraphPicture::Key key;
    if (!phase) {
        key.entries << Entry{Entry::Line, colour(GraphPlotter::XColour), QStringLiteral("x")}
                    << Entry{Entry::Line, colour(GraphPlotter::YColour), QStringLiteral("y")};
    } else {
        key.entries << Entry{Entry::Line, colour(GraphPlotter::XColour),
                             QStringLiteral("путь (x; y)")};
        if (r.run.struck > 0)
            key.entries << Entry{Entry::Line, colour(GraphPlotter::YColour),
                                 QStringLiteral("скачок при катастрофе")};
        if (!extras.orbitX.empty())
            key.entries << Entry{Entry::Line, colour(PhasePlotter::OrbitColour),
                                 QStringLiteral("точная орбита V = V₀")};
        if (extras.equilibrium)
            key.entries << Entry{Entry::Line, colour(PhasePlotter::NullclineColour),
                                 QStringLiteral("нуль-изоклины")}
                        << Entry{Entry::Cross, frame.foreground, QStringLiteral("E — равновесие")};
        key.entries << Entry{Entry::Square, frame.foreground, QStringLiteral("начало (x0; y0)")};
    }
    key.caption = LabFiles::caption(r.run.scenario(), r.run.struck);
    return key;
}

// Each output in memory, in the order given.
void make(Run& r, OutputFiles& files) {
    ModelState& s = r.run.s;
    // The pictures show the view line where a press for that moment would
    // have put it; one outside the graph band leaves it at rest.
    GraphPicture::Frame frame = GraphPicture::Frame::standard();
    if (r.run.inputs.disasterTime && s.twipsPerStep != 0) {
        const double x = 480 + *r.run.inputs.disasterTime / s.dt * s.twipsPerStep;
        if (x > 480 && x < 7920)
            frame.viewLineX = int(x);
    }
    GraphPicture::Frame phase = GraphPicture::Frame::standard();
    phase.valueCaption = QStringLiteral("y");
    phase.timeCaption = QStringLiteral("x");
    phase.viewLineX = 0;
    const auto graph = [&s](DrawSurface& surface) {
        GraphPlotter::drawCurves(s, surface);
        GraphPlotter::drawScale(s, surface);
    };
    const double strike = r.run.struck > 0 ? double(r.run.struck) : -1;
    const PhasePlotter::Overlay extras = overlay(r);
    const auto portrait = [&s, strike, &extras](DrawSurface& surface) {
        const std::size_t count = std::size_t(Trajectory::lastStep(s, Trajectory::bound(s))) + 1;
        PhasePlotter::draw(s.xSeries.data(), s.ySeries.data(), count, GraphGeometry::Graph, surface,
                           strike, extras);
    };
    const int scale = r.run.inputs.scale;
    const GraphPicture::Key graphKey = keyOf(r, false, extras, frame);
    const GraphPicture::Key phaseKey = keyOf(r, true, extras, phase);
    const GraphPicture::Key* const onGraph = r.options.legend ? &graphKey : nullptr;
    const GraphPicture::Key* const onPhase = r.options.legend ? &phaseKey : nullptr;
    for (const auto& [name, file] : r.options.outputs) {
        r.stage = option(name, file);
        QByteArray bytes;
        if (name == QLatin1String("csv"))
            bytes = CsvWriter::series(s.xSeries.data(), s.ySeries.data(), s.xSeries.size(), s.dt,
                                      r.options.decimalComma ? CsvWriter::DecimalComma
                                                             : CsvWriter::Plain);
        else if (name == QLatin1String("summary"))
            bytes = summary(r);
        else if (name == QLatin1String("save-scenario"))
            bytes = ScenarioFile::write(
                {r.run.scenario(), QString(), QString(),
                 r.options.given.contains(QStringLiteral("extinction"))
                     ? std::optional(ScenarioFile::Risk{r.run.inputs.extinction.omega,
                                                        r.run.inputs.extinction.runs,
                                                        qint64(r.run.inputs.extinction.seed)})
                     : std::nullopt});
        else if (name == QLatin1String("png"))
            bytes = GraphPicture::png(frame, scale, graph, onGraph);
        else if (name == QLatin1String("svg"))
            bytes = GraphPicture::svg(frame, graph, onGraph);
        else if (name == QLatin1String("extinction"))
            bytes = extinction(r);
        else if (name == QLatin1String("phase-png"))
            bytes = GraphPicture::png(phase, scale, portrait, onPhase);
        else
            bytes = GraphPicture::svg(phase, portrait, onPhase);
        files.add(file, bytes);
    }
    r.stage.clear();
}

// The option that names the file a commit failed on.
QString stageOf(const ExportOptions& o, const QString& failedPath) {
    for (const auto& [name, file] : o.outputs)
        if (!failedPath.isEmpty() && file == failedPath)
            return option(name, file);
    return QString();
}
} // namespace

void ExportCommand::say(QIODevice& err, const QString& text) {
    err.write((Program + QStringLiteral(": ") + text + QLatin1Char('\n')).toUtf8());
}

// A progress line only for a person watching: a script reading standard
// error gets the messages alone.
bool ExportCommand::onTerminal(QIODevice& err) {
    const auto* file = qobject_cast<QFile*>(&err);
    return file && file->handle() >= 0 && isatty(file->handle());
}

QString ExportCommand::interrupted() {
    return QStringLiteral("прервано, ни один файл не записан и не изменён");
}

QString ExportCommand::usage() {
    return ExportOptions::usage();
}

int ExportCommand::run(const QStringList& args, QIODevice& out, QIODevice& err) {
    ExportOptions o;
    if (const auto problem = o.parse(args)) {
        say(err, *problem);
        return BadInput;
    }
    if (o.help || o.version) {
        try {
            OutputFiles::writeStandardOutput(
                out, o.help ? usage().toUtf8()
                            : QByteArrayLiteral("morvane-export " MORVANE_VERSION "\n"));
        } catch (const RunError& e) {
            say(err, e.report());
            return RunFault;
        }
        return Success;
    }
    if (const auto problem = o.checkOutputs()) {
        say(err, *problem);
        return BadInput;
    }
    if (const auto problem = o.takeScenario()) {
        say(err, *problem);
        return BadInput;
    }
    if (!o.sweeps.isEmpty())
        return SweepCommand::run(o, out, err);

    Run r(o, err);
    OutputFiles files;
    // Said after the outcome, so that a fault's message stays the first line.
    QStringList remarks;
    int status = Success;
    try {
        r.run.read(o);
        remarks = remarksOn(r.run.s, o, r.run.inputs.disasterTime);
        calculate(r);
        make(r, files);
        if (Interruption::requested())
            throw Stopped{};
        files.commit(&out);
    } catch (const Stopped&) {
        say(err, interrupted());
        return Interrupted;
    } catch (const ExportInputs::Refusal& refusal) {
        say(err, refusal.message + QStringLiteral(". ") + LookWhatYouWrite);
        return BadInput;
    } catch (const RunError& e) {
        if (r.stage.isEmpty())
            r.stage = stageOf(o, files.failedPath());
        say(err, (r.stage.isEmpty() ? QString() : r.stage + QStringLiteral(": ")) + e.report());
        // The windows' 16-bit step counter; the lab says it in words.
        if (const Scenario::Steps n = Scenario::steps(r.run.s.t, r.run.s.dt);
            e.code() == RunError::Overflow && !n.ok())
            remarks.prepend(n.problem);
        status = RunFault;
    }
    for (const QString& remark : remarks)
        say(err, remark);
    return status;
}
