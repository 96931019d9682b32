// The banded solves, by LAPACK: dgtsv for three-point rows, dgbsv (LU with
// partial pivoting in band storage) for five-point rows.
#pragma once

#include <string>
#include <vector>

#include "rows.hpp"

namespace study {

// Solves the rows in place and returns the solution (the rows' storage is
// consumed). On a singular system returns nothing and sets `why`.
bool SolveRows(Rows& rows, std::vector<double>& phi, std::string& why);

}  // namespace study
