// The face value of an end, as its condition gives it from the nodes next
// to that end: the one rule every scheme's end rows, the bounded schemes'
// mirror nodes and the printed face fluxes follow.
#pragma once

#include "problem.hpp"

namespace study {

// phi_b = alpha + near phi_near + next phi_next, phi_near the node next to
// the end (node 1 or N) and phi_next the one after it (node 2 or N - 1).
struct FaceValue {
    double alpha = 0, near = 0, next = 0;
};

// How an end row estimates the gradient at the end face, inwards:
//   dphi/dn = (w1 phi_near + w2 phi_next - wb phi_b) / dx.
// Two points: the half-cell difference 2 (phi_near - phi_b) / dx, for every
// scheme but QUICK. Three: the quadratic through phi_b, phi_near and
// phi_next, (9 phi_near - 8 phi_b - phi_next) / (3 dx), QUICK's.
struct EndGradient {
    double w1, w2, wb;
};
inline constexpr EndGradient kTwoPoint{2.0, 0.0, 2.0};
inline constexpr EndGradient kQuadratic{3.0, -1.0 / 3.0, 8.0 / 3.0};

// The end gradient a scheme's end rows use.
EndGradient EndGradientOf(Scheme s);

// The face value that makes an end's condition hold:
//   value V:      phi_b = V;
//   gradient G:   the inward gradient is G at x = 0 and -G at x = L;
//   robin H, V:   Gamma times the inward gradient is H (phi_b - V).
// `atLeft` says which end; dx and D = Gamma / dx are the grid's.
FaceValue FaceValueOf(const End& e, bool atLeft, const Grid& g, EndGradient w);

// The face value at phi_near, phi_next.
inline double At(const FaceValue& f, double nearValue, double nextValue) {
    return f.alpha + f.near * nearValue + f.next * nextValue;
}

struct Rows;

// Moves a non-value end into rows assembled with 0 in its place: every row
// that took the end value in takes the face value instead, its constant
// part to the right-hand side and its parts in the nodes to their
// coefficients. `unit` holds the rows of min(N, 6) nodes assembled with 1
// at this end and 0 at the other, whose right-hand sides are the
// multipliers of the end value.
void MoveEnd(Rows& r, const Rows& unit, bool atLeft, const FaceValue& f);

}  // namespace study
