// What convdiff-study prints: the nodal values at the first N, each
// scheme's errors over the grids with the observed orders, and what the
// unbounded solutions and negative coefficients mean.
#pragma once

#include <string>
#include <vector>

#include "study/study.hpp"
#include "study/warnings.hpp"

namespace cli {

// `notes` are lines about the choice of schemes, printed after the heading.
std::string Report(const study::Study& st, const std::vector<std::string>& notes);

// Kept for code that still reaches it here; it lives in the study.
using study::Warning;

}  // namespace cli
