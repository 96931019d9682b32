// The table of coefficients and solution written to "Results.txt".
#pragma once

#include <string>
#include <string_view>

#include "../schemes/Mdl_Common.hpp"

namespace results {

inline constexpr const char* kFileName = "Results.txt";

// The whole file as text: the header, an empty line and one row per node
// (aW, aE, Sp, aP, Su, T), every line ended by CR LF. The header names the
// columns in another order than the rows hold them and does not line up
// with them; files written by earlier versions look the same, so it stays.
std::string ResultsText(const Mdl_Common::ProblemState& s, std::string_view separator);

}  // namespace results
