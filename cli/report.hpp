// What convdiff-study prints: the nodal values at the first N, each
// scheme's errors over the grids with the observed orders, and what the
// unbounded solutions and negative coefficients mean.
#pragma once

#include <string>
#include <vector>

#include "study/study.hpp"

namespace cli {

// `notes` are lines about the choice of schemes, printed after the heading.
std::string Report(const study::Study& st, const std::vector<std::string>& notes);

// The one line saying what a scheme's flags at one grid mean for the user,
// or "" when the solution is bounded and every coefficient positive.
std::string Warning(const study::Study& st, const study::Result& r);

}  // namespace cli
