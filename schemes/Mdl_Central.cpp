#include "schemes.hpp"
#include "three_point.hpp"

namespace Mdl_Central {

// Central differencing: the face value is the mean of the two neighbours, so
// convection adds F/2 to the west coefficient and takes it from the east one.
void CentralScheme(Mdl_Common::ProblemState& s, calc::Listing& list1) {
    const calc::Where at{"the central scheme"};
    const double half = calc::Div(s.F, 2.0, at);
    const calc::ThreePointTerms terms{"the central scheme", calc::Add(s.D, half, at), calc::Sub(s.D, half, at), s.F,
                                      s.F};
    calc::AssembleListAndSolve(s, list1, terms);
}

}  // namespace Mdl_Central
