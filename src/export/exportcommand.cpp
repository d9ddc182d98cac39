#include "export/exportcommand.h"

#include "common/checkedmath.h"
#include "common/numbertext.h"
#include "common/runerror.h"
#include "export/csvwriter.h"
#include "export/graphpicture.h"
#include "export/outputfiles.h"
#include "model/trajectory.h"
#include "plot/graphplotter.h"
#include "plot/phaseplotter.h"

#include <QIODevice>
#include <QSet>
#include <cmath>

namespace {
const QString Program = QStringLiteral("morvane-export");
const QString LookWhatYouWrite = QStringLiteral("Смотри, что пишешь!!");

// The outputs in the order the usage lists them.
const QStringList OutputOptions = {"csv", "png", "svg", "phase-png", "phase-svg"};
const QStringList Flags = {"decimal-comma", "help", "version"};

struct Failure {
    int status;
    QString message;
};

void say(QIODevice& err, const QString& text) {
    err.write((Program + QStringLiteral(": ") + text + QLatin1Char('\n')).toUtf8());
}

QString option(const QString& name, const QString& text) {
    return QStringLiteral("--%1=%2").arg(name, text);
}

// Why a number text was refused, in the words of the input row's reading.
QString refusal(const RunError& e) {
    return e.code() == RunError::Overflow ? QStringLiteral("число вне допустимого диапазона")
                                          : QStringLiteral("это не число");
}

// The texts one by one in the input row's order, so that the message names
// the first one the reading stops at.
void readInputs(ModelState& s, const InputTexts& t) {
    const std::pair<const char*, const QString*> doubles[] = {
        {"k1", &t.k1}, {"k2", &t.k2}, {"a1", &t.a1}, {"a2", &t.a2}, {"dt", &t.dt}};
    for (const auto& [name, text] : doubles) {
        try {
            NumberText::toDouble(*text);
        } catch (const RunError& e) {
            throw Failure{ExportCommand::BadInput,
                          option(name, *text) + QStringLiteral(": ") + refusal(e)};
        }
    }
    try {
        NumberText::toInt16(t.t);
    } catch (const RunError& e) {
        const QString why = e.code() == RunError::Overflow
                                ? QStringLiteral("нужно целое число от -32768 до 32767")
                                : QStringLiteral("это не число");
        throw Failure{ExportCommand::BadInput, option("t", t.t) + QStringLiteral(": ") + why};
    }
    try {
        InputReader::readLight(s, t);
    } catch (const RunError& e) {
        // The series are re-created before x0 and y0 are read: a reading
        // that got that far stopped at one of them.
        if (!s.ySeries.empty()) {
            for (const auto& [name, text] : {std::pair{"x0", &t.x0}, std::pair{"y0", &t.y0}}) {
                try {
                    NumberText::toDouble(*text);
                } catch (const RunError& r) {
                    throw Failure{ExportCommand::BadInput,
                                  option(name, *text) + QStringLiteral(": ") + refusal(r)};
                }
            }
        }
        QString why;
        switch (e.code()) {
        case RunError::SubscriptOutOfRange:
            why = QStringLiteral("число шагов t / dt отрицательно");
            break;
        case RunError::OutOfMemory:
            why = QStringLiteral("не хватает памяти на t / dt шагов");
            break;
        default:
            why = s.dt == 0 ? QStringLiteral("шаг dt равен нулю")
                            : QStringLiteral("число шагов t / dt слишком велико");
        }
        throw Failure{ExportCommand::BadInput, option("t", t.t) + QLatin1Char(' ') +
                                                   option("dt", t.dt) + QStringLiteral(": ") + why};
    }
}

std::int16_t readDivisor(const QString& text) {
    static const QStringList allowed = {"2", "3", "4", "5", "6", "7", "8", "1000"};
    if (!allowed.contains(text))
        throw Failure{ExportCommand::BadInput,
                      option("divisor", text) +
                          QStringLiteral(": делитель должен быть от 2 до 8 или 1000")};
    return std::int16_t(text.toInt());
}

int readScale(const QString& text) {
    static const QStringList allowed = {"1", "2", "3", "4"};
    if (!allowed.contains(text))
        throw Failure{ExportCommand::BadInput,
                      option("scale", text) + QStringLiteral(": масштаб должен быть от 1 до 4")};
    return text.toInt();
}

double readTime(const QString& text) {
    try {
        return NumberText::toDouble(text);
    } catch (const RunError& e) {
        throw Failure{ExportCommand::BadInput,
                      option("disaster", text) + QStringLiteral(": ") + refusal(e)};
    }
}

// The step a mark at model time `time` strikes, or 0 when it strikes none.
int strikeFor(const ModelState& s, double time) {
    const double q = time / s.dt;
    if (!std::isfinite(q))
        return 0;
    const double step = CheckedMath::roundHalfEven(q);
    const int last = int(s.xSeries.size()) - 1;
    return step >= 1 && step <= last ? int(step) : 0;
}

// A mark is kept as a distance in twips, in single precision: the one for
// the step, checked against the calculation's own rounding.
float markFor(const ModelState& s, int step) {
    float x = float(double(step) * s.twipsPerStep);
    ModelState probe;
    probe.twipsPerStep = s.twipsPerStep;
    for (int tries = 0; tries < 8; ++tries) {
        probe.disasterX = x;
        const double struck = Trajectory::disasterStep(probe);
        if (struck == step)
            break;
        x = std::nextafter(x, struck < step ? HUGE_VALF : 0.0f);
    }
    return x;
}
} // namespace

QString ExportCommand::usage() {
    return QStringLiteral(
        "Использование: morvane-export [--dt=ТЕКСТ] [--x0=ТЕКСТ] [--y0=ТЕКСТ] [--k1=ТЕКСТ]\n"
        "         [--k2=ТЕКСТ] [--a1=ТЕКСТ] [--a2=ТЕКСТ] [--t=ТЕКСТ]\n"
        "         [--disaster=ВРЕМЯ] [--divisor=N]\n"
        "         [--csv=ФАЙЛ] [--decimal-comma] [--png=ФАЙЛ] [--svg=ФАЙЛ]\n"
        "         [--phase-png=ФАЙЛ] [--phase-svg=ФАЙЛ] [--scale=N] [--help] [--version]\n"
        "\n"
        "Считает модель, как лёгкое окно Morvane, и сохраняет результаты без окна.\n"
        "Числа пишутся с запятой или точкой; не заданные берутся, как в окне при запуске:\n"
        "dt, x0, y0, k1, k2, a1, a2 = 0,1 и t = 50.\n"
        "\n"
        "  --disaster=ВРЕМЯ  катастрофа в шаге round(ВРЕМЯ / dt)\n"
        "  --divisor=N       делитель катастрофы: 2...8 или 1000 (по умолчанию 2)\n"
        "  --csv=ФАЙЛ        значения step,t,x,y (ФАЙЛ \"-\": стандартный вывод)\n"
        "  --decimal-comma   CSV с \";\" между полями и десятичной запятой\n"
        "  --png=ФАЙЛ        график, как в окне: 537 x 249 точек при --scale=1\n"
        "  --svg=ФАЙЛ        тот же график в векторном виде\n"
        "  --phase-png=ФАЙЛ  фазовый портрет (y от x)\n"
        "  --phase-svg=ФАЙЛ  фазовый портрет в векторном виде\n"
        "  --scale=N         увеличение PNG: 1...4 (по умолчанию 1)\n"
        "\n"
        "Код выхода: 0 - готово; 2 - неверный параметр или текст;\n"
        "3 - ошибка выполнения (переполнение, деление на ноль, запись файла).\n");
}

std::optional<QString> ExportCommand::parse(const QStringList& args, Options& o) {
    QSet<QString> seen;
    for (const QString& arg : args) {
        if (!arg.startsWith(QLatin1String("--")) || arg.size() == 2)
            return QStringLiteral("лишний аргумент «%1»; справка: morvane-export --help").arg(arg);
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        const QString name = arg.mid(2, eq < 0 ? -1 : eq - 2);
        const QString value = eq < 0 ? QString() : arg.mid(eq + 1);
        static const QStringList texts = {"dt", "x0", "y0", "k1", "k2", "a1", "a2", "t"};
        static const QStringList others = {"disaster", "divisor", "scale"};
        const bool isFlag = Flags.contains(name);
        if (!isFlag && !texts.contains(name) && !others.contains(name) &&
            !OutputOptions.contains(name))
            return QStringLiteral("неизвестный параметр «%1»; справка: morvane-export --help")
                .arg(arg);
        if (seen.contains(name))
            return QStringLiteral("параметр --%1 задан дважды").arg(name);
        seen.insert(name);
        if (isFlag) {
            if (eq >= 0)
                return QStringLiteral("параметр --%1 пишется без значения").arg(name);
            o.decimalComma |= name == QLatin1String("decimal-comma");
            o.help |= name == QLatin1String("help");
            o.version |= name == QLatin1String("version");
            continue;
        }
        if (eq < 0)
            return QStringLiteral("параметру --%1 нужно значение: --%1=…").arg(name);
        if (name == QLatin1String("dt"))
            o.texts.dt = value;
        else if (name == QLatin1String("x0"))
            o.texts.x0 = value;
        else if (name == QLatin1String("y0"))
            o.texts.y0 = value;
        else if (name == QLatin1String("k1"))
            o.texts.k1 = value;
        else if (name == QLatin1String("k2"))
            o.texts.k2 = value;
        else if (name == QLatin1String("a1"))
            o.texts.a1 = value;
        else if (name == QLatin1String("a2"))
            o.texts.a2 = value;
        else if (name == QLatin1String("t"))
            o.texts.t = value;
        else if (name == QLatin1String("disaster"))
            o.disaster = value;
        else if (name == QLatin1String("divisor"))
            o.divisor = value;
        else if (name == QLatin1String("scale"))
            o.scale = value;
        else
            o.outputs.append({name, value});
    }
    return std::nullopt;
}

std::optional<QString> ExportCommand::checkOutputs(const Options& o) {
    if (o.outputs.isEmpty())
        return QStringLiteral("нечего сохранять: задайте --csv, --png, --svg, --phase-png "
                              "или --phase-svg");
    QStringList files;
    bool standardOutput = false;
    for (const auto& [name, file] : o.outputs) {
        if (file.isEmpty())
            return QStringLiteral("--%1=: не указан файл").arg(name);
        if (OutputFiles::isStandardOutput(file)) {
            if (standardOutput)
                return QStringLiteral("на стандартный вывод («-») можно направить только "
                                      "один результат");
            standardOutput = true;
        } else if (files.contains(file)) {
            return QStringLiteral("файл «%1» задан для двух результатов").arg(file);
        }
        files << file;
    }
    return std::nullopt;
}

int ExportCommand::run(const QStringList& args, QIODevice& out, QIODevice& err) {
    Options o;
    if (const auto problem = parse(args, o)) {
        say(err, *problem);
        return BadInput;
    }
    if (o.help) {
        out.write(usage().toUtf8());
        return Success;
    }
    if (o.version) {
        out.write(QByteArrayLiteral("morvane-export " MORVANE_VERSION "\n"));
        return Success;
    }
    if (const auto problem = checkOutputs(o)) {
        say(err, *problem);
        return BadInput;
    }

    ModelState s;
    OutputFiles files;
    QString stage; // the option whose output is being made, for a fault's message
    try {
        readInputs(s, o.texts);
        const std::int16_t divisor = readDivisor(o.divisor);
        const int scale = readScale(o.scale);
        const bool marked = o.disaster.has_value();
        const double time = marked ? readTime(*o.disaster) : 0;

        // The calculation, as the window runs it. Its horizontal scale
        // divides by t / dt, which only a picture needs: t = 0 gives a
        // one-row table but no graph.
        for (const auto& [name, file] : o.outputs) {
            if (name != QLatin1String("csv")) {
                stage = option(name, file);
                s.twipsPerStep = InputReader::twipsPerStep(s.t, s.dt);
                stage.clear();
                break;
            }
        }
        const int struck = marked ? strikeFor(s, time) : 0;
        if (struck > 0) {
            // At least one step: the scale is a finite number of twips.
            s.twipsPerStep = InputReader::twipsPerStep(s.t, s.dt);
            s.disasterX = markFor(s, struck);
            s.disasterFactor = divisor;
        }
        InputReader::seedMaxima(s);
        Trajectory::calculate(s);

        // The pictures show the view line where a press for that moment
        // would have put it; one outside the graph band leaves it at rest.
        GraphPicture::Frame frame = GraphPicture::Frame::standard();
        if (marked && s.twipsPerStep != 0) {
            const double x = 480 + time / s.dt * s.twipsPerStep;
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
        const double strike = struck > 0 ? double(struck) : -1;
        const auto portrait = [&s, strike](DrawSurface& surface) {
            PhasePlotter::draw(s, surface, strike);
        };

        for (const auto& [name, file] : o.outputs) {
            stage = option(name, file);
            QByteArray bytes;
            if (name == QLatin1String("csv"))
                bytes =
                    CsvWriter::series(s.xSeries.data(), s.ySeries.data(), s.xSeries.size(), s.dt,
                                      o.decimalComma ? CsvWriter::DecimalComma : CsvWriter::Plain);
            else if (name == QLatin1String("png"))
                bytes = GraphPicture::png(frame, scale, graph);
            else if (name == QLatin1String("svg"))
                bytes = GraphPicture::svg(frame, graph);
            else if (name == QLatin1String("phase-png"))
                bytes = GraphPicture::png(phase, scale, portrait);
            else
                bytes = GraphPicture::svg(phase, portrait);
            files.add(file, bytes);
        }
        stage.clear();
        files.commit(&out);
    } catch (const Failure& f) {
        say(err, f.message +
                     (f.status == BadInput ? QStringLiteral(". ") + LookWhatYouWrite : QString()));
        return f.status;
    } catch (const RunError& e) {
        if (stage.isEmpty() && !files.failedPath().isEmpty()) {
            for (const auto& [name, file] : o.outputs)
                if (file == files.failedPath())
                    stage = option(name, file);
        }
        say(err, (stage.isEmpty() ? QString() : stage + QStringLiteral(": ")) + e.report());
        return RunFault;
    }
    return Success;
}
