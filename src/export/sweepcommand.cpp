#include "export/sweepcommand.h"

#include "common/runerror.h"
#include "export/exportcommand.h"
#include "export/exportrun.h"
#include "export/interruption.h"
#include "export/outputfiles.h"
#include "export/sweeppicture.h"
#include "export/sweeprunner.h"
#include "export/sweeptable.h"

#include <QIODevice>

namespace {
using Status = ExportCommand::Status;

// The figures --plot names, by their columns; the reason when one is none.
std::optional<QString> plotted(const QString& text, const QStringList& figures,
                               QList<int>& columns) {
    if (text.isEmpty())
        return std::nullopt;
    const QStringList every = SweepRunner::figureNames(true, true);
    for (const QString& given : text.split(QLatin1Char(','))) {
        const QString name = given.trimmed();
        const int column = int(figures.indexOf(name));
        if (column >= 0 && !columns.contains(column)) {
            columns << column;
            continue;
        }
        if (column >= 0)
            return QStringLiteral("--plot=%1: «%2» назван дважды").arg(text, name);
        if (every.contains(name))
            return QStringLiteral("--plot=%1: «%2» есть в таблице только с %3")
                .arg(text, name,
                     every.indexOf(name) < SweepRunner::figureNames(true, false).size()
                         ? QStringLiteral("--compare-steps")
                         : QStringLiteral("--extinction"));
        return QStringLiteral("--plot=%1: нет показателя «%2»; есть %3")
            .arg(text, name, figures.join(QStringLiteral(", ")));
    }
    return std::nullopt;
}

// The first point that did not run, for the message under the outputs.
QString firstFailure(const std::vector<SweptInput>& swept, const SweepRunner::Results& r) {
    for (long long p = 0; p < r.points; ++p) {
        if (r.failures[std::size_t(p)].isEmpty())
            continue;
        QStringList at;
        for (int k = 0; k < int(swept.size()); ++k)
            at << QStringLiteral("%1 = %2").arg(
                swept[std::size_t(k)].name,
                swept[std::size_t(k)].text(SweptInput::indexIn(swept, p, k)));
        return at.join(QStringLiteral(", ")) + QStringLiteral(": ") + r.failures[std::size_t(p)];
    }
    return QString();
}
} // namespace

int SweepCommand::run(const ExportOptions& o, QIODevice& out, QIODevice& err) {
    const auto refuse = [&err](const QString& why) {
        ExportCommand::say(err, why);
        return Status::BadInput;
    };
    SweepRunner::Setup setup{o, {}, o.compareSteps, o.extinctionColumns, 0, {}};
    if (const auto problem = SweptInput::parse(o.sweeps, setup.swept))
        return refuse(*problem);
    for (const SweptInput& s : setup.swept)
        if (s.name == QLatin1String("divisor") && !o.marked())
            return refuse(QStringLiteral("--sweep=%1: без --disaster делитель ничего не меняет")
                              .arg(o.sweeps.filter(QStringLiteral("divisor=")).value(0)));
    const QStringList figures = SweepRunner::figureNames(setup.compareSteps, setup.extinction);
    QList<int> columns;
    if (const auto problem = plotted(o.plot, figures, columns))
        return refuse(*problem);
    if (setup.swept.size() == 2 && columns.size() > 1)
        return refuse(QStringLiteral("--plot=%1: сетка из двух параметров рисуется цветом, по "
                                     "одному показателю")
                          .arg(o.plot));
    int scale = 1;
    try {
        setup.threads = ExportInputs::readThreads(o);
        scale = ExportInputs::readScale(o);
        // The fixed texts are read with the first point's values: a text
        // refused there that is not swept is refused at every point.
        ExportRun first;
        first.read(SweepRunner::optionsAt(setup, 0));
    } catch (const ExportInputs::Refusal& refusal) {
        bool swept = false;
        for (const SweptInput& s : setup.swept)
            swept |= refusal.options.contains(s.name);
        if (!swept)
            return refuse(refusal.message + QStringLiteral(". Смотри, что пишешь!!"));
    }

    const CsvWriter::Style style = o.decimalComma ? CsvWriter::DecimalComma : CsvWriter::Plain;
    for (const auto& [name, file] : o.outputs)
        if (name == QLatin1String("table"))
            setup.row = [&setup, style](const SweepRunner::Results& r, long long point) {
                return SweepTable::row(setup.swept, r, point, style);
            };
    const long long total = SweptInput::points(setup.swept);
    const bool progress = ExportCommand::onTerminal(err);
    OutputFiles files;
    QString stage;
    SweepRunner::Results results;
    try {
        results = SweepRunner::run(setup, [&](long long done) {
            if (Interruption::requested())
                return false;
            if (progress)
                err.write(QStringLiteral("\rmorvane-export: точек %1 из %2")
                              .arg(done)
                              .arg(total)
                              .toUtf8());
            return true;
        });
        if (progress)
            err.write("\r\033[K");
        if (!results.fault.isEmpty())
            throw RunError(RunError::OutOfMemory, results.fault);
        if (results.stopped || Interruption::requested()) {
            ExportCommand::say(err, ExportCommand::interrupted());
            return Status::Interrupted;
        }
        const QString caption = SweepPicture::caption(o, setup.swept);
        for (const auto& [name, file] : o.outputs) {
            stage = QStringLiteral("--%1=%2: ").arg(name, file);
            if (name == QLatin1String("table"))
                files.add(file, SweepTable::csv(setup.swept, results, style));
            else if (name == QLatin1String("sweep-png"))
                files.add(file, SweepPicture::png(setup.swept, results, columns, caption, scale));
            else
                files.add(file, SweepPicture::svg(setup.swept, results, columns, caption));
        }
        stage.clear();
        if (Interruption::requested()) {
            ExportCommand::say(err, ExportCommand::interrupted());
            return Status::Interrupted;
        }
        files.commit(&out);
    } catch (const RunError& e) {
        if (stage.isEmpty() && !files.failedPath().isEmpty())
            for (const auto& [name, file] : o.outputs)
                if (file == files.failedPath())
                    stage = QStringLiteral("--%1=%2: ").arg(name, file);
        ExportCommand::say(err, stage + e.report());
        return Status::RunFault;
    } catch (const std::bad_alloc&) {
        ExportCommand::say(err, stage + RunError(RunError::OutOfMemory).report());
        return Status::RunFault;
    }
    if (const long long failed = results.failed())
        ExportCommand::say(err, QStringLiteral("точек без показателей: %1 из %2, первая: %3")
                                    .arg(failed)
                                    .arg(total)
                                    .arg(firstFailure(setup.swept, results)));
    return Status::Success;
}
