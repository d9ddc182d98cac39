#pragma once

#include "common/runerror.h"
#include "model/modelstate.h"

#include <QString>
#include <cstdint>

// The eight texts of a window's input row, in the row's own terms.
struct InputTexts {
    QString k1 = QStringLiteral("0,1");
    QString k2 = QStringLiteral("0,1");
    QString a1 = QStringLiteral("0,1");
    QString a2 = QStringLiteral("0,1");
    QString dt = QStringLiteral("0,1");
    QString t = QStringLiteral("50");
    QString x0 = QStringLiteral("0,1");
    QString y0 = QStringLiteral("0,1");
};

// Reads the input texts into a ModelState. Each field is stored as soon as
// its text is converted, so a failure leaves the earlier fields changed;
// failures are thrown as InputReader::Failure, a RunError that also names
// the field the reading stopped at.
class InputReader {
public:
    // The fields in the order they are read. StepCount is making both
    // series, t / dt + 1 values long.
    enum Field { K1, K2, A1, A2, Dt, T, StepCount, X0, Y0 };

    class Failure : public RunError {
    public:
        Failure(Field field, const RunError& cause) : RunError(cause), m_field(field) {}
        Field field() const { return m_field; }

    private:
        Field m_field;
    };

    // The light window's reading: k1 .. t, both series, x0, y0.
    static void readLight(ModelState& state, const InputTexts& texts);
    // The full window's reading: as above, with twipsPerStep computed before
    // x0 and y0 and the maxima seeded after them.
    static void readFull(ModelState& state, const InputTexts& texts);

    // t / dt rounded ties to even to a 32-bit number.
    static std::int32_t stepCount(double t, double dt);
    // 7440 / (t / dt).
    static double twipsPerStep(double t, double dt);
    static void seedMaxima(ModelState& state);

private:
    static void readParameters(ModelState& state, const InputTexts& texts);
    static void readInitialValues(ModelState& state, const InputTexts& texts);
};
