// The banded solves: LAPACK's dgtsv for three-point rows; for five-point
// rows the LU factorisation with partial pivoting of LAPACK's dgbsv, written
// out for two sub- and two super-diagonals (it needs no band copy and runs
// several times faster than the general routine).
#pragma once

#include <string>
#include <vector>

#include "rows.hpp"

namespace study {

// Solves the rows in place and returns the solution (the rows' storage is
// consumed). On a singular system returns nothing and sets `why`.
bool SolveRows(Rows& rows, std::vector<double>& phi, std::string& why);

}  // namespace study
