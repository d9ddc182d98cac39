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
    return {option(name, text) + QStringLiteral(": ") + why};
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
                                    QStringLiteral(": ") + why};
    }
}

std::int16_t readDivisor(const QString& text) {
    static const QStringList allowed = {"2", "3", "4", "5", "6", "7", "8", "1000"};
    if (!allowed.contains(text))
        throw refused("divisor", text, QStringLiteral("делитель должен быть от 2 до 8 или 1000"));
    return std::int16_t(text.toInt());
}

int readScale(const QString& text) {
    static const QStringList allowed = {"1", "2", "3", "4"};
    if (!allowed.contains(text))
        throw refused("scale", text, QStringLiteral("масштаб должен быть от 1 до 4"));
    return text.toInt();
}

double readTime(const QString& text) {
    try {
        return NumberText::toDouble(text);
    } catch (const RunError& e) {
        throw refused("disaster", text, refusal(e));
    }
}
} // namespace

ExportInputs ExportInputs::read(ModelState& state, const ExportOptions& o) {
    readModel(state, o.texts);
    ExportInputs inputs;
    inputs.divisor = readDivisor(o.divisor);
    inputs.scale = readScale(o.scale);
    const std::optional<Integrator::Method> method = Integrator::fromName(o.method);
    if (!method)
        throw refused("method", o.method,
                      QStringLiteral("метод должен быть euler, semi-implicit или rk4"));
    inputs.method = *method;
    if (o.marked())
        inputs.disasterTime = readTime(o.disasterTime);
    return inputs;
}
