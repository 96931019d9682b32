// The pieces of a stability verdict that stand on their own: the rows of a
// Lax-Wendroff step, the positivity of both sides of a step, and each
// limiter's TVD condition.
#pragma once

#include <string>

#include "stability.hpp"
#include "study/rows.hpp"

namespace transient {

// The problem on seven volumes of the same dx, whose middle row (MiddleRow)
// is interior for every scheme.
study::Problem SevenVolumes(const study::Problem& p, long N);
InteriorRow MiddleRow(const study::Rows& sevenVolumes);

// The rows K of the balance a flux-limited Lax-Wendroff step uses with
// psi = 1 (central: Lax-Wendroff itself) or psi = 0 (upwind): linear, so
// read off the balance of probe vectors, K(i, j) = B(e_j) - B(0). They
// depend on dt through the factor 1 - c of the corrections.
study::Rows LaxWendroffRows(const study::Problem& p, study::Scheme s, long N, double dt);

// The discrete maximum principle on both sides of
//   (M + theta dt K) phi' = (M - (1 - theta) dt K) phi + dt b,
// row by row on K, M = diag(rhoDx). `who` names the scheme in the text of a
// blocker: "central at cell Pe 5 > 2".
void PositivityVerdict(const study::Rows& K, double rhoDx, double theta, double dt, const std::string& who,
                       Verdict& v);
// The scheme, for that text.
std::string Blame(study::Scheme s, Method m, const Numbers& n);

// A limiter's TVD condition at this step (the tvd* fields and beta).
void TvdVerdict(const Numbers& n, Method m, double theta, double dt, study::Limiter l, bool periodic, Verdict& v);

}  // namespace transient
