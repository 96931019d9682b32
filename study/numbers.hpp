// Strict reading of the numbers a user types for the study: the whole text as
// one finite double, "." as the decimal point, and why a text is refused.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace study {

// The whole text as one finite number, "." as the decimal point: "2.5",
// "-1e-3", "+4". Nothing for "", "abc", "1,5", "1e999", "1e-400", "inf",
// "0x10".
std::optional<double> ReadStrictNumber(std::string_view text);

// Why ReadStrictNumber refuses `text`, or "" when it reads it:
//   "not a number (write it like 2.5 or 1e-3, with "." as the decimal point)"
//   "out of range: larger than the largest double, about 1.8e308"
//   "out of range: too small to represent (the smallest is about 4.9e-324; write 0 for zero)"
// A value beyond a double either way is refused, never taken as infinity or
// as 0.
std::string NumberProblem(std::string_view text);

}  // namespace study
