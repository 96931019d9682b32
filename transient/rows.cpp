#include "rows.hpp"

namespace transient {

study::Rows Rows(const study::Problem& p, study::Scheme s, long N) {
    // With Gamma = 0 the cell Peclet number is infinite, where the three
    // blends are upwind; their own formulas would divide 0 by 0.
    const bool blend = s == study::Scheme::Hybrid || s == study::Scheme::PowerLaw || s == study::Scheme::Exponential;
    return study::Assemble(p, blend && p.gamma == 0 ? study::Scheme::Upwind : s, N);
}

}  // namespace transient
