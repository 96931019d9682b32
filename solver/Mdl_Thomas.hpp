// The tridiagonal matrix (Thomas) algorithm.
#pragma once

#include "real_array.hpp"

namespace Mdl_Thomas {

// The most rows one solve can take: the size of the work arrays.
constexpr long kCapacity = 300;

// Solves rows 1 to N of
//     aW(i) phi(i-1) + aP(i) phi(i) + aE(i) phi(i+1) = Su(i)
// by one forward elimination and one backward sweep, without pivoting, and
// writes the solution over Su. aW(1) and aE(N) are never read; aW, aP and aE
// are left as they are.
//
// N is the node count as the user typed it: the forward sweep runs while the
// row counter is at most N, the last row is N rounded to the nearest whole
// number (ties to even), and the backward sweep visits every row below it.
//
// Raises calc::SubscriptOutOfRange beyond 300 rows (before Su is touched),
// calc::DivisionByZero on a zero pivot and calc::Overflow on a result beyond
// the double range.
void ThomasSolve(double N, const calc::RealArray& aW, const calc::RealArray& aP, const calc::RealArray& aE,
                 calc::RealArray& Su);

}  // namespace Mdl_Thomas
