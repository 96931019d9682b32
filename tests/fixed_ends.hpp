// A problem of two fixed ends and no source, for tests that make their own
// grid: the rows and the balance take their coefficients from the grid and
// the ends from the problem.
#pragma once

#include "study/problem.hpp"

inline study::Problem FixedEnds(double phiA, double phiB) {
    study::Problem p;
    p.left = study::End::Fixed(phiA);
    p.right = study::End::Fixed(phiB);
    return p;
}
