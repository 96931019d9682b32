// What a scheme's flags at one grid mean for the user, in one line: negative
// coefficients, a solution outside the boundary values, and how to mend it.
#pragma once

#include <string>

#include "study.hpp"

namespace study {

// The one line saying what a scheme's flags at one grid mean for the user,
// or "" when the solution is bounded and every coefficient positive.
std::string Warning(const Study& st, const Result& r);

// A number as "%.6g" writes it.
std::string Short(double v);

}  // namespace study
