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
//
// An end that is not a fixed value enters through the face value its
// condition gives (ends_rows.hpp): the fixed-value rows are assembled with
// that face value in place of the end value, and since it is a linear
// function of the nodes next to the end, it is moved to their
// coefficients. A source adds Su dx to the right-hand side and -Sp dx to
// the diagonal of every row.
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
    // Periodic: aW and aWW of the first rows, aE and aEE of the last, are
    // those of the nodes across the ends (node 0 is node N).
    bool cyclic = false;

    bool FiveBand() const { return !aWW.empty(); }
};

// Patankar's A(|P|) of the power-law and the exponential scheme,
// (1 - 0.1 |P|)^5 (0 beyond 10) and |P| / (e^|P| - 1).
double PowerLawA(double P);
double ExponentialA(double P);

// Raises calc::CalcError when a coefficient is beyond the range of a double.
// A bounded (TVD) scheme gives its upwind rows, the part of its equations
// that is linear. A periodic problem's rows are all interior rows, the
// ones of the first and last nodes reaching round the ends (Rows::cyclic).
Rows Assemble(const Problem& p, Scheme s, long N);
// The same on a grid of the problem already made.
Rows Assemble(const Problem& p, const Grid& g, Scheme s);

}  // namespace study
