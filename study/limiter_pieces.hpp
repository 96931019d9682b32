// The straight pieces of the piecewise limiters' psi(r) (min-mod, SUPERBEE,
// MC, Koren, UMIST, QUICK limited), and how many limited faces of a solution
// lie on each: where a grid moves faces from one piece to another, the
// scheme's rows change form, and its error need not fall as the grid is
// refined.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tvd.hpp"

namespace study {

// The piece of psi(r) that r lies on, counted from r <= 0 (psi = 0)
// upwards; nothing for the smooth limiters (Van Leer, Van Albada, OSPRE).
std::optional<int> PieceOf(Limiter l, double r);
// "psi = 2r", "psi = (1 + r)/2", ...
std::string PieceText(Limiter l, int piece);

// How many limited faces of the solution `phi` lie on each piece, by piece;
// empty for a smooth limiter. Only faces that carry the profile count:
// those whose step phi_D - phi_C is at least kCarryingStep of the largest
// step, so that the faces of a flat stretch, whose r is rounding, do not.
inline constexpr double kCarryingStep = 1e-3;
std::vector<long> PieceCounts(const Problem& p, const Grid& g, Limiter l, const std::vector<double>& phi);

// "psi = 2r at 19 faces, psi = 1 at 1" (pieces with no face left out).
std::string PiecesText(Limiter l, const std::vector<long>& counts);

}  // namespace study
