// The face value of each kind of end, and its substitution into the rows.
#include "ends_rows.hpp"

#include <cmath>

#include "rows.hpp"
#include "solver/checked.hpp"

namespace study {

EndGradient EndGradientOf(Scheme s) { return s == Scheme::Quick ? kQuadratic : kTwoPoint; }

FaceValue FaceValueOf(const End& e, bool atLeft, const Grid& g, EndGradient w) {
    switch (e.kind) {
        case EndKind::Value: return {e.value, 0, 0};
        case EndKind::Gradient: {
            // (w1 phi_near + w2 phi_next - wb phi_b) / dx = G inwards.
            const double inward = atLeft ? e.value : -e.value;
            return {-inward * g.dx / w.wb, w.w1 / w.wb, w.w2 / w.wb};
        }
        case EndKind::Robin: {
            // D (w1 phi_near + w2 phi_next - wb phi_b) = H (phi_b - V).
            const double denominator = g.D * w.wb + e.h;
            return {e.h * e.value / denominator, g.D * w.w1 / denominator, g.D * w.w2 / denominator};
        }
    }
    return {};
}

namespace {

// The stored coefficient of row k on node j, |j - k| <= 2; null outside
// the rows' band.
double* Entry(Rows& r, std::size_t k, std::size_t j) {
    const long d = long(j) - long(k);
    switch (d) {
        case -2: return r.FiveBand() ? &r.aWW[k] : nullptr;
        case -1: return &r.aW[k];
        case 0: return &r.aP[k];
        case 1: return &r.aE[k];
        case 2: return r.FiveBand() ? &r.aEE[k] : nullptr;
        default: return nullptr;
    }
}

}  // namespace

void MoveEnd(Rows& r, const Rows& unit, bool atLeft, const FaceValue& f) {
    const calc::Where at{"the end rows"};
    const std::size_t n = r.aP.size(), few = unit.aP.size();
    const std::size_t nearNode = atLeft ? 0 : n - 1;
    const long nextNode = atLeft ? 1 : long(n) - 2;
    for (std::size_t u = 0; u < few; ++u) {
        const double c = unit.Su[u];
        if (c == 0) continue;
        const std::size_t k = atLeft ? u : n - few + u;
        r.Su[k] = calc::Add(r.Su[k], calc::Mul(c, f.alpha, at), at);
        // Row k reads ... = Su + c phi_b: c near phi_near and c next
        // phi_next move to the left-hand side.
        for (const auto& [node, share] : {std::pair<long, double>{long(nearNode), f.near}, {nextNode, f.next}}) {
            if (share == 0 || node < 0 || node >= long(n)) continue;
            double* a = Entry(r, k, std::size_t(node));
            if (!a) throw calc::CalcError("an end row reaches beyond its band");
            *a = calc::Sub(*a, calc::Mul(c, share, at), at);
        }
        // The neighbour coefficients before the sign change are -stored.
        const double aWW = r.FiveBand() ? -r.aWW[k] : 0.0, aEE = r.FiveBand() ? -r.aEE[k] : 0.0;
        r.negative |= (aWW < 0 ? kNegativeWW : 0u) | (-r.aW[k] < 0 && k > 0 ? kNegativeW : 0u) |
                      (-r.aE[k] < 0 && k + 1 < n ? kNegativeE : 0u) | (aEE < 0 ? kNegativeEE : 0u);
    }
}

}  // namespace study
