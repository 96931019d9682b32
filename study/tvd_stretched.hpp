// The bounded schemes on a grid whose cells differ. At a face with the
// upstream node U, the one beyond it UU and the downstream node D,
//   phi_f = phi_U + theta psi(r) (phi_D - phi_U),
//   r = [(phi_U - phi_UU) / h_UU] / [(phi_D - phi_U) / h_D],
// h_UU = |x_U - x_UU|, h_D = |x_D - x_U|, theta = |x_f - x_U| / h_D: r is
// the ratio of the two slopes, not of the two differences, so that a
// straight line has r = 1 on any spacing and psi(1) = 1 interpolates it
// exactly; theta puts the face where it is (1/2 on equal cells, where both
// are the uniform scheme's). Internal to study/: tvd.cpp sends a stretched
// grid here.
#pragma once

#include <functional>
#include <vector>

#include "tvd.hpp"

namespace study::stretched {

// The balance of every node, B(phi) + shift phi - extra, into `out`; the
// largest magnitude (NaN if any is NaN). `psi` null: the limiter's own.
// With `scale` every correction is multiplied by it.
double Balance(const Problem& p, const Grid& g, Limiter l, double (*psi)(double), double scale,
               const std::vector<double>& phi, double shift, const std::vector<double>& extra,
               std::vector<double>& out);

// Newton's method as on equal cells (tvd.hpp's SolveTvdSystem).
TvdIterations Solve(const Problem& p, const Grid& g, Limiter l, double shift, const std::vector<double>& extra,
                    std::vector<double>& phi, double tolerance, int maxIterations,
                    const std::function<bool()>& cancelled);

// Every limited face's x, r and psi(r), in order of x.
std::vector<Face> Faces(const Problem& p, const Grid& g, Limiter l, const std::vector<double>& phi);

// F times each face's limited correction, faces 0 to N.
std::vector<double> Corrections(const Problem& p, const Grid& g, Limiter l, const std::vector<double>& phi);

}  // namespace study::stretched
