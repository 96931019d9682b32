#include "schemes.hpp"
#include "three_point.hpp"

namespace Mdl_Hibrid {

// Hybrid differencing: each neighbour coefficient is the largest of zero,
// the pure upwind flux and the central-differencing value, so it follows
// central differencing for |Pe| < 2 and upwind without diffusion beyond.
// The comparisons are strict: on a tie the earlier candidate stays, which
// at Pe = 2 leaves the east term at its starting zero.
void HibridScheme(Mdl_Common::ProblemState& s, calc::Listing& list1) {
    const calc::Where at{"the hybrid scheme"};
    const double half = calc::Div(s.F, 2.0, at);

    double tW = 0.0;
    if (s.F > tW) tW = s.F;
    const double westCentral = calc::Add(s.D, half, at);
    if (westCentral > tW) tW = westCentral;

    double tE = 0.0;
    if (-s.F > tE) tE = -s.F;
    const double eastCentral = calc::Sub(s.D, half, at);
    if (eastCentral > tE) tE = eastCentral;

    const calc::ThreePointTerms terms{"the hybrid scheme", tW, tE, tW, tE};
    calc::AssembleListAndSolve(s, list1, terms);
}

}  // namespace Mdl_Hibrid
