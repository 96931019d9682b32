// How far the Convergence tab refines the window's N: N, 2N, ... up to
// 1024 N, never beyond the study's most control volumes. The input panel
// checks a stretched grid at every one of them.
#pragma once

#include "study/problem.hpp"

namespace compare {

inline constexpr int kMostRefinements = 10;

// The doublings of N the convergence run takes.
inline int Refinements(long N) {
    int refine = 0;
    while (refine < kMostRefinements && (N << (refine + 1)) <= study::kMaxN) ++refine;
    return refine;
}

}  // namespace compare
