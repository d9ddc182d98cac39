#include "lab/labexamples.h"

namespace {
// One pair of coefficients for all: the equilibrium is (3; 3) and a small
// orbit's period 2π/√0,54 ≈ 8,55.
Scenario base(double dt, double span, double x0, double y0) {
    Scenario p;
    p.k1 = 0.9;
    p.k2 = 0.6;
    p.a1 = 0.3;
    p.a2 = 0.2;
    p.dt = dt;
    p.span = span;
    p.x0 = x0;
    p.y0 = y0;
    return p;
}

Scenario struck(double time) {
    Scenario p = base(0.01, 30, 8, 1);
    p.disaster = true;
    p.strikeTime = time;
    p.divisor = 2;
    return p;
}
} // namespace

const std::vector<LabExamples::Example>& LabExamples::all() {
    // The strike times are the first trough (t = 7,07) and the following
    // peak (t = 11,76) of α2·x + α1·y on that run: with divisor 2, ΔV is
    // 1,5·ln 2 − (α2·x + α1·y)/2, about +0,83 at the one and −0,82 at the
    // other.
    static const std::vector<Example> examples{
        {QStringLiteral("Спираль явного Эйлера (Δt = 0,1)"), base(0.1, 60, 5, 2)},
        {QStringLiteral("Малые орбиты у равновесия"), base(0.005, 60, 3.2, 3)},
        {QStringLiteral("Катастрофа во впадине α2·x + α1·y: V растёт"), struck(7.07)},
        {QStringLiteral("Катастрофа на пике α2·x + α1·y: V падает"), struck(11.76)},
        {QStringLiteral("Слишком большой шаг: x уходит в минус"), base(0.5, 6, 10, 1)},
    };
    return examples;
}
