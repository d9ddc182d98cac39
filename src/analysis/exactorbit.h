#pragma once

#include "analysis/figure.h"
#include "model/trajectory.h"

#include <vector>

// The closed curve V = V(x0, y0) around the equilibrium, from V alone, so
// that it shows what every integrator should have followed. Each point is
// the root of V(E + r·u) = V0 along a ray u from E: V grows monotonically
// along a ray when the coefficients are positive, so the root is single
// and a safeguarded Newton iteration finds it in a few steps.
class ExactOrbit {
public:
    struct Curve {
        std::vector<double> x;
        std::vector<double> y;
    };

    // `points` rays at equal angles in coordinates scaled by E (so that a
    // flat orbit is as well covered as a round one), starting towards +x;
    // the first point is repeated at the end to close the curve. Null with
    // the reason for coefficients or a start that are not positive; a start
    // at the equilibrium gives E alone.
    static Figure<Curve> through(const Trajectory::Rates& rates, double x0, double y0, int points);

    // The same curve from `rays` rays, with rays added halfway wherever it
    // turns by more than `turn` radians from one segment to the next, the
    // curve measured in its own width and height as a plane shows it: at
    // a far tip equal angles leave a corner that shows at any size. At
    // most 20 times `rays` points.
    static constexpr double Turn = 0.02;
    static Figure<Curve> smooth(const Trajectory::Rates& rates, double x0, double y0, int rays,
                                double turn = Turn);
};
