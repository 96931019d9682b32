#include "schemes.hpp"
#include "three_point.hpp"

namespace Mdl_Upwind {

// Upwind differencing: the face value is taken from the upstream node, so
// the flux F goes to the west coefficient for flow to the right (F > 0) and
// to the east one for flow to the left. For F = 0 both terms stay zero.
void UpwindScheme(Mdl_Common::ProblemState& s, calc::Listing& list1) {
    const calc::Where at{"the upwind scheme"};
    double tW = 0.0;
    if (s.F > 0) tW = s.F;
    double tE = 0.0;
    if (s.F < 0) tE = s.F;
    const calc::ThreePointTerms terms{"the upwind scheme", calc::Add(s.D, tW, at), calc::Sub(s.D, tE, at), tW, tE};
    calc::AssembleListAndSolve(s, list1, terms);
}

}  // namespace Mdl_Upwind
