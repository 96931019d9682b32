// The fluxes a scheme's equations carry across every face of a solution,
// and the balance of the whole domain they make: in at x = 0, out at x = L,
// the source's total and what is left over.
#pragma once

#include <vector>

#include "problem.hpp"

namespace study {

// Face k lies between nodes k and k + 1: face 0 at x = 0, face N at x = L.
// Fluxes are per unit area in the direction of x; total = convective +
// diffusive, convective being F times the face value the scheme uses.
struct FaceFlux {
    long face = 0;
    double x = 0, convective = 0, diffusive = 0, total = 0;
};

// The N + 1 faces of `phi` (N values, the solution of scheme s on grid g):
// each scheme's own face values and gradients, its end rows' at the ends.
// Raises calc::CalcError where a coefficient is beyond a double.
std::vector<FaceFlux> FaceFluxes(const Problem& p, Scheme s, const Grid& g, const std::vector<double>& phi);

struct FluxBalance {
    double in = 0;        // the total flux at x = 0
    double out = 0;       // the total flux at x = L
    double source = 0;    // the sum of (Su + Sp phi_i) dx
    double leftover = 0;  // in - out + source: rounding, for a conservative scheme solved exactly
};
FluxBalance BalanceOf(const Problem& p, const Grid& g, const std::vector<FaceFlux>& faces,
                      const std::vector<double>& phi);

}  // namespace study
