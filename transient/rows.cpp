// The rows a time run marches with.
#include "rows.hpp"

namespace transient {

study::Rows Rows(const study::Problem& p, study::Scheme s, long N) {
    // With Gamma = 0 the cell Peclet number is infinite, where the three
    // blends are upwind; their own formulas would divide 0 by 0.
    const bool blend = s == study::Scheme::Hybrid || s == study::Scheme::PowerLaw || s == study::Scheme::Exponential;
    const study::Grid g = study::MakeGrid(p, N);
    study::Rows r = study::Assemble(p, g, blend && p.gamma == 0 ? study::Scheme::Upwind : s);
    if (g.Uniform()) return r;
    // M = diag(rho w_i): each row divided by w_i / dx, so that rho dx is
    // every node's mass, as on equal cells.
    for (long i = 1; i <= N; ++i) {
        const auto k = std::size_t(i - 1);
        const double share = g.dx / g.Width(i);
        for (auto* v : {&r.aWW, &r.aW, &r.aP, &r.aE, &r.aEE, &r.Su})
            if (!v->empty()) (*v)[k] *= share;
    }
    return r;
}

}  // namespace transient
