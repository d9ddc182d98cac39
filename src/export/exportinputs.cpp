#include "export/exportinputs.h"

#include "common/numbertext.h"
#include "export/exportoptions.h"

namespace {
QString option(const char* name, const QString& text) {
    return QStringLiteral("--%1=%2").arg(QLatin1String(name), text);
}

// Why a number text was refused, in the words of the input row's reading.
QString refusal(const RunError& e) {
    return e.code() == RunError::Overflow ? QStringLiteral("число вне допустимого диапазона")
                                          : QStringLiteral("это не число");
}

ExportInputs::Refusal refused(const char* name, const QString& text, const QString& why) {
    return {option(name, text) + QStringLiteral(": ") + why, {QLatin1String(name)}};
}

void readModel(ModelState& s, const InputTexts& t) {
    try {
        InputReader::readLight(s, t);
    } catch (const InputReader::Failure& e) {
        using F = InputReader::Field;
        const std::pair<const char*, const QString*> numbers[] = {
            {"k1", &t.k1}, {"k2", &t.k2}, {"a1", &t.a1}, {"a2", &t.a2}, {"dt", &t.dt},
            {"t", &t.t},   {"t", &t.t},   {"x0", &t.x0}, {"y0", &t.y0}};
        const auto& [name, text] = numbers[e.field()];
        if (e.field() == F::T && e.code() == RunError::Overflow)
            throw refused(name, *text, QStringLiteral("нужно целое число от -32768 до 32767"));
        if (e.field() != F::StepCount)
            throw refused(name, *text, refusal(e));
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
        throw ExportInputs::Refusal{option("t", t.t) + QLatin1Char(' ') + option("dt", t.dt) +
                                        QStringLiteral(": ") + why,
                                    {QStringLiteral("t"), QStringLiteral("dt")}};
    }
}

std::int16_t readDivisor(const QString& text) {
    static const QStringList allowed = {"2", "3", "4", "5", "6", "7", "8", "1000"};
    if (!allowed.contains(text))
        throw refused("divisor", text, QStringLiteral("делитель должен быть от 2 до 8 или 1000"));
    return std::int16_t(text.toInt());
}

int scaleOf(const QString& text) {
    static const QStringList allowed = {"1", "2", "3", "4"};
    if (!allowed.contains(text))
        throw refused("scale", text, QStringLiteral("масштаб должен быть от 1 до 4"));
    return text.toInt();
}

long long readWhole(const char* name, const QString& text, long long most, const QString& range) {
    bool ok = false;
    const long long v = text.toLongLong(&ok);
    if (!ok || v < 0 || v > most)
        throw refused(name, text, QStringLiteral("нужно целое число ") + range);
    return v;
}

// The extinction's own numbers, then what the individual model refuses
// (negative rates, a start of 0 individuals), named by the option that
// gave it.
void readExtinction(ExportInputs& in, const ModelState& s, const ExportOptions& o) {
    Extinction::Settings& e = in.extinction;
    constexpr long long Int = 2147483647, Seed = (1LL << 53) - 1;
    e.runs = int(readWhole("runs", o.runs, Int, QStringLiteral("от 1 до 1000000")));
    e.omega = int(readWhole("omega", o.omega, Int, QStringLiteral("от 1 до 10000000")));
    e.seed = std::uint64_t(readWhole("seed", o.seed, Seed, QStringLiteral("от 0 до 2^53-1")));
    e.moments = int(readWhole("by-moment", o.byMoment, Int, QStringLiteral("от 2 до 200")));
    if (const auto problem = Extinction::check(in.scenario(s), e)) {
        const std::pair<const char*, const QString*> texts[] = {
            {"k1", &o.texts.k1}, {"k2", &o.texts.k2},     {"a1", &o.texts.a1},
            {"a2", &o.texts.a2}, {"dt", &o.texts.dt},     {"t", &o.texts.t},
            {"x0", &o.texts.x0}, {"y0", &o.texts.y0},     {"omega", &o.omega},
            {"runs", &o.runs},   {"threads", &o.threads}, {"by-moment", &o.byMoment}};
        for (const auto& [name, text] : texts)
            if (problem->field == QLatin1String(name))
                throw refused(name, *text, problem->message);
        throw ExportInputs::Refusal{problem->message, {}};
    }
}

double readTime(const QString& text) {
    try {
        return NumberText::toDouble(text);
    } catch (const RunError& e) {
        throw refused("disaster", text, refusal(e));
    }
}
} // namespace

int ExportInputs::readThreads(const ExportOptions& o) {
    return int(readWhole("threads", o.threads, 1024, QStringLiteral("от 0 до 1024")));
}

int ExportInputs::readScale(const ExportOptions& o) {
    return scaleOf(o.scale);
}

ExportInputs ExportInputs::read(ModelState& state, const ExportOptions& o) {
    readModel(state, o.texts);
    ExportInputs inputs;
    inputs.divisor = readDivisor(o.divisor);
    inputs.scale = readScale(o);
    const std::optional<Integrator::Method> method = Integrator::fromName(o.method);
    if (!method)
        throw refused("method", o.method,
                      QStringLiteral("метод должен быть euler, semi-implicit или rk4"));
    inputs.method = *method;
    if (o.marked())
        inputs.disasterTime = readTime(o.disasterTime);
    // A sweep shares its threads out, with or without the extinction.
    inputs.extinction.threads = readThreads(o);
    if (o.wantsExtinction())
        readExtinction(inputs, state, o);
    return inputs;
}

Scenario ExportInputs::scenario(const ModelState& s) const {
    Scenario c = Scenario::fromState(s, divisor);
    c.method = method;
    c.disaster = disasterTime.has_value();
    c.strikeTime = disasterTime.value_or(0);
    c.divisor = divisor;
    return c;
}
