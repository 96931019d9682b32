#include "schemes.hpp"

namespace Mdl_Upwind {

// Upwind differencing: the face value is taken from the upstream node, so
// the flux F goes to the west coefficient for flow to the right (F > 0) and
// to the east one for flow to the left. For F = 0 both terms stay zero.
calc::ThreePointTerms UpwindTerms(double F, double D) {
    const calc::Where at{"the upwind scheme"};
    double tW = 0.0;
    if (F > 0) tW = F;
    double tE = 0.0;
    if (F < 0) tE = F;
    return {"the upwind scheme", calc::Add(D, tW, at), calc::Sub(D, tE, at), tW, tE};
}

void UpwindScheme(Mdl_Common::ProblemState& s, calc::Listing& list1) {
    calc::AssembleListAndSolve(s, list1, UpwindTerms(s.F, s.D));
}

}  // namespace Mdl_Upwind
