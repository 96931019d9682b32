// The four differencing schemes. Each sizes and fills the coefficient arrays
// of the problem state from N, F, D, FiA and FiB, clears the listing and
// writes its coefficient lines into it. The three-point schemes then solve
// the system and leave the solution in T; QUICK solves nothing.
//
// The coefficients themselves come from the functions beside each scheme,
// which depend on F and D (and for QUICK's end rows on FiA and FiB) only, so
// that other tools can build the same rows without a problem state.
#pragma once

#include "Mdl_Common.hpp"
#include "listing.hpp"
#include "three_point.hpp"

namespace Mdl_Central {
calc::ThreePointTerms CentralTerms(double F, double D);
void CentralScheme(Mdl_Common::ProblemState& s, calc::Listing& list1);
}  // namespace Mdl_Central

namespace Mdl_Upwind {
calc::ThreePointTerms UpwindTerms(double F, double D);
void UpwindScheme(Mdl_Common::ProblemState& s, calc::Listing& list1);
}  // namespace Mdl_Upwind

namespace Mdl_Hibrid {
calc::ThreePointTerms HibridTerms(double F, double D);
void HibridScheme(Mdl_Common::ProblemState& s, calc::Listing& list1);
}  // namespace Mdl_Hibrid

namespace Mdl_QUICK {

// One row before the sign change, in the form
//   aP phi(i) = aWW phi(i-2) + aW phi(i-1) + aE phi(i+1) + aEE phi(i+2) + Su,
// with aP = aWW + aW + aE + aEE - Sp.
struct Row {
    double aWW, aW, aE, aEE, Sp, Su;
};

// The rows QUICK assembles: the interior row, and the rows of nodes 1, 2
// and N. The end rows are the forms for flow to the right, whatever the
// sign of F, and keep the interior row's aEE.
struct Rows {
    Row interior, first, second, last;
};
Rows QuickRows(double F, double D, double FiA, double FiB);

// aWW + aW + aE + aEE - Sp, summed in that order.
double Diagonal(const Row& r, const calc::Where& at);

void QuickScheme(Mdl_Common::ProblemState& s, calc::Listing& list1);

}  // namespace Mdl_QUICK
