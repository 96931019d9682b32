#include "schemes.hpp"

namespace Mdl_Hibrid {

// Hybrid differencing: each neighbour coefficient is the largest of zero,
// the pure upwind flux and the central-differencing value, so it follows
// central differencing for |Pe| < 2 and upwind without diffusion beyond.
// The comparisons are strict: on a tie the earlier candidate stays, which
// at Pe = 2 leaves the east term at its starting zero.
calc::ThreePointTerms HibridTerms(double F, double D) {
    const calc::Where at{"the hybrid scheme"};
    const double half = calc::Div(F, 2.0, at);

    double tW = 0.0;
    if (F > tW) tW = F;
    const double westCentral = calc::Add(D, half, at);
    if (westCentral > tW) tW = westCentral;

    double tE = 0.0;
    if (-F > tE) tE = -F;
    const double eastCentral = calc::Sub(D, half, at);
    if (eastCentral > tE) tE = eastCentral;

    return {"the hybrid scheme", tW, tE, tW, tE};
}

void HibridScheme(Mdl_Common::ProblemState& s, calc::Listing& list1) {
    calc::AssembleListAndSolve(s, list1, HibridTerms(s.F, s.D));
}

}  // namespace Mdl_Hibrid
