// The schemes on a grid whose cells differ: every face's flux as a stencil
// of the nodes (each face's own spacing, interpolation and Peclet number),
// the rows those fluxes balance, and the fluxes themselves. On equal cells
// these are the uniform rows' formulas; the study keeps the uniform rows'
// own code there, digit for digit.
#pragma once

#include <array>
#include <vector>

#include "ends_rows.hpp"
#include "problem.hpp"
#include "rows.hpp"

namespace study {

// A linear combination of up to four nodes (0-based) and a constant.
struct Stencil {
    std::array<long, 4> node{};
    std::array<double, 4> c{};
    int n = 0;
    double constant = 0;

    void Add(long j, double v);
    // phi_b = alpha + near phi_near + next phi_next, times v.
    void AddFace(const FaceValue& f, long nearNode, long nextNode, double v);
    double At(const std::vector<double>& phi) const;
};

// Face k's flux in the direction of x, 0 <= k <= N, split in two.
struct FaceStencil {
    Stencil convective, diffusive;
};

// The end gradient a scheme's end row uses on this grid, in units of the
// end cell's width (the uniform kTwoPoint and kQuadratic on equal cells).
EndGradient EndGradientOn(Scheme s, const Grid& g, bool atLeft);
// The face value of an end on this grid: FaceValueOf with the end cell's
// width and conductance.
FaceValue FaceValueOn(const End& e, bool atLeft, const Grid& g, Scheme s);

// The N + 1 faces' convective and diffusive fluxes of `phi` under a linear
// scheme (a bounded one gives its upwind part), face by face. Raises
// calc::CalcError where a coefficient is beyond a double.
void StencilFluxes(const Problem& p, const Grid& g, Scheme s, const std::vector<double>& phi,
                   std::vector<double>& convective, std::vector<double>& diffusive);

// The rows the faces balance, with the source: cell k reads
// J_(k-1) - J_k + (Su + Sp phi_k) w_k = 0.
Rows StretchedRows(const Problem& p, const Grid& g, Scheme s);

}  // namespace study
