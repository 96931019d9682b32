// The problem's ends and source in words, for every report and picture.
#pragma once

#include <string>

#include "problem.hpp"

namespace study {

// "phiA = 1, phiB = 0" for two fixed ends and no source, as always; else
// each end as its kind says ("phi(0) = 1", "dphi/dx(L) = 0 (outflow)",
// "Robin wall at x = L: H = 5, V = 20"; "periodic") and the source
// ("Su = 1, Sp = -2"), numbers as "%.6g" writes them.
std::string EndsText(const Problem& p);

// The grid in words for a report's problem line: "" for equal cells, else
// ", grid geometric:0.8, cells from 0.00288 to 0.144 m" at N cells.
std::string GridLine(const Problem& p, long N);

// One end alone, `where` being "0" or "L".
std::string EndText(const End& e, const char* where);

}  // namespace study
