#include "schemes.hpp"

namespace Mdl_Central {

// Central differencing: the face value is the mean of the two neighbours, so
// convection adds F/2 to the west coefficient and takes it from the east one.
calc::ThreePointTerms CentralTerms(double F, double D) {
    const calc::Where at{"the central scheme"};
    const double half = calc::Div(F, 2.0, at);
    return {"the central scheme", calc::Add(D, half, at), calc::Sub(D, half, at), F, F};
}

void CentralScheme(Mdl_Common::ProblemState& s, calc::Listing& list1) {
    calc::AssembleListAndSolve(s, list1, CentralTerms(s.F, s.D));
}

}  // namespace Mdl_Central
