// What a cell Peclet number means for the schemes, in words, for the
// comparison window's banner.
#pragma once

#include <string>

namespace compare {

// "Pe = 5.0: central differencing is unbounded here (|Pe| > 2); upwind is
// bounded but first order"
std::string Banner(double pe);

}  // namespace compare
