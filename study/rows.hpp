// Each scheme's equations on N control volumes, in the stored convention of
// the window's coefficient listing: neighbour coefficients negated, so that
// row i reads
//   aWW phi(i-2) + aW phi(i-1) + aP phi(i) + aE phi(i+1) + aEE phi(i+2) = Su.
//
// Central, upwind and QUICK rows are the window's own (for QUICK with flow
// to the right; flow to the left is solved as the mirror image). Hybrid has
// the window's interior rows with central end rows for |Pe| < 2 and upwind
// ones beyond. Power law and exponential are Patankar's forms, with each end
// point a neighbour at dx/2 (conductance 2D).
//
// With a single control volume both end values enter node 1.
#pragma once

#include <vector>

#include "problem.hpp"

namespace study {

// Which neighbour coefficients came out negative before the sign change.
enum NegativeCoefficient : unsigned { kNegativeWW = 1, kNegativeW = 2, kNegativeE = 4, kNegativeEE = 8 };

struct Rows {
    // Element i - 1 belongs to node i. aW of node 1 and aE of node N are 0;
    // aWW and aEE are empty for the three-point schemes.
    std::vector<double> aWW, aW, aP, aE, aEE, Su;
    unsigned negative = 0;  // NegativeCoefficient bits

    bool FiveBand() const { return !aWW.empty(); }
};

// Raises calc::CalcError when a coefficient is beyond the range of a double.
// A bounded (TVD) scheme gives its upwind rows, the part of its equations
// that is linear.
Rows Assemble(const Problem& p, Scheme s, long N);
// The same on a grid already made, with its end values.
Rows Assemble(const Grid& g, double phiA, double phiB, Scheme s);

}  // namespace study
