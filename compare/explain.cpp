#include "explain.hpp"

#include <cmath>
#include <cstdio>

namespace compare {

std::string Banner(double pe) {
    char number[32];
    std::snprintf(number, sizeof number, std::fabs(pe) < 1000 ? "%.1f" : "%.3g", pe);
    const std::string head = std::string("Pe = ") + number + ": ";
    const double size = std::fabs(pe);
    if (size == 0) return head + "pure diffusion: every scheme is bounded, and central differencing is exact";
    if (size < 2)
        return head + "every scheme is bounded here (|Pe| < 2); central differencing is second order, "
                      "upwind first order and smeared";
    if (std::fabs(size - 2) < 1e-9)
        return head + "central differencing is at the edge of boundedness (|Pe| = 2); upwind is bounded but "
                      "first order";
    return head + "central differencing is unbounded here (|Pe| > 2); upwind is bounded but first order; "
                  "hybrid turns to upwind, and the exponential scheme stays exact";
}

}  // namespace compare
