// Each scheme's face fluxes, worked out in the frame where the flow is to the
// right and turned back.
#include "fluxes.hpp"

#include <algorithm>
#include <cmath>

#include "ends_rows.hpp"
#include "rows.hpp"
#include "stretched_rows.hpp"
#include "tvd.hpp"
#include "tvd_nodes.hpp"
#include "tvd_stretched.hpp"

namespace study {

namespace {

using namespace tvd_nodes;

// Whether a three-point scheme's faces carry the mean of their two nodes
// (else the upwind node's value).
bool CentralFaces(Scheme s, const Grid& g) {
    return s == Scheme::Central || (s == Scheme::Hybrid && std::fabs(g.Pe) < 2);
}

// The faces of flow to the right (F >= 0), nodes 0 .. N-1.
std::vector<FaceFlux> Rightwards(const Rightward& o, Scheme s, const std::vector<double>& x) {
    const Grid& g = o.g;
    const double F = g.F, D = g.D;
    const std::size_t n = x.size();
    std::vector<FaceFlux> faces(n + 1);
    for (std::size_t k = 0; k <= n; ++k) faces[k].face = long(k), faces[k].x = double(k) * g.dx;
    auto set = [&](std::size_t k, double convective, double total) {
        faces[k].convective = convective;
        faces[k].total = total;
        faces[k].diffusive = total - convective;
    };
    if (s == Scheme::Quick) {
        const FaceValue left = FaceValueOf(o.p.left, true, g, kQuadratic);
        const FaceValue right = FaceValueOf(o.p.right, false, g, kQuadratic);
        const double b0 = At(left, x[0], x[1]), bN = At(right, x[n - 1], x[n - 2]);
        // The quadratic through phi_b, phi_1 and phi_2 gives the end gradients.
        set(0, F * b0, F * b0 - D / 3 * (9 * x[0] - 8 * b0 - x[1]));
        set(n, F * bN, F * bN - D / 3 * (8 * bN - 9 * x[n - 1] + x[n - 2]));
        for (std::size_t k = 1; k < n; ++k) {
            const double west = k >= 2 ? x[k - 2] : 2 * b0 - x[0];  // the mirror node at the first face
            const double face = 0.75 * x[k - 1] + 0.375 * x[k] - 0.125 * west;
            set(k, F * face, F * face - D * (x[k] - x[k - 1]));
        }
        return faces;
    }
    // The three-point rows, whose interior coefficients give the face
    // fluxes, aW(E) phi_P - aE(P) phi_E, and whose end brackets c (the
    // multipliers of the end values) give c phi_b - (c - F) phi_1 at x = 0
    // and (c + F) phi_N - c phi_b at x = L.
    const Scheme rowsOf = IsTvd(s) ? Scheme::Upwind : s;
    Grid few = g;
    few.N = std::min<long>(g.N, 6);
    Problem unitLeft = o.p, unitRight = o.p;
    unitLeft.left = End::Fixed(1), unitLeft.right = End::Fixed(0), unitLeft.su = unitLeft.sp = 0;
    unitRight.left = End::Fixed(0), unitRight.right = End::Fixed(1), unitRight.su = unitRight.sp = 0;
    const double cL = Assemble(unitLeft, few, rowsOf).Su.front(), cR = Assemble(unitRight, few, rowsOf).Su.back();
    // Node 2's west and node 1's east coefficients are the interior ones.
    const Rows rows = Assemble(unitLeft, few, rowsOf);
    const double aW = n > 1 ? -rows.aW[1] : 0.0, aE = n > 1 ? -rows.aE[0] : 0.0;
    const bool central = CentralFaces(rowsOf, g);
    const double b0 = At(o.first, x[0], 0.0), bN = At(o.last, x[n - 1], 0.0);
    set(0, F * b0, cL * b0 - (cL - F) * x[0]);
    set(n, F * (central ? bN : x[n - 1]), (cR + F) * x[n - 1] - cR * bN);
    for (std::size_t k = 1; k < n; ++k)
        set(k, F * (central ? 0.5 * (x[k - 1] + x[k]) : x[k - 1]), aW * x[k - 1] - aE * x[k]);
    if (!IsTvd(s)) return faces;
    // The limited corrections, F psi(r) (phi_D - phi_U) / 2, on every face
    // but the inflow one.
    const Ends e = MirrorNodes(o, x);
    WithLimiter(*LimiterOf(s), [&](auto lim) {
        for (std::size_t k = 1; k <= n; ++k) {
            const double before = k >= 2 ? x[k - 2] : e.before, after = k < n ? x[k] : e.after;
            const double c = F * Correction(lim, x[k - 1] - before, after - x[k - 1]);
            faces[k].convective += c;
            faces[k].total += c;
        }
    });
    return faces;
}

// On unequal cells: the face stencils the rows are made of, and the
// bounded schemes' limited corrections.
std::vector<FaceFlux> StretchedFluxes(const Problem& p, Scheme s, const Grid& g, const std::vector<double>& phi) {
    std::vector<double> convective, diffusive;
    StencilFluxes(p, g, s, phi, convective, diffusive);
    std::vector<double> corrections(convective.size(), 0.0);
    if (IsTvd(s)) corrections = stretched::Corrections(p, g, *LimiterOf(s), phi);
    std::vector<FaceFlux> faces(convective.size());
    for (std::size_t k = 0; k < faces.size(); ++k) {
        FaceFlux& f = faces[k];
        f.face = long(k);
        f.x = g.Face(long(k));
        f.convective = convective[k] + corrections[k];
        f.diffusive = diffusive[k];
        f.total = f.convective + f.diffusive;
    }
    return faces;
}

}  // namespace

std::vector<FaceFlux> FaceFluxes(const Problem& p, Scheme s, const Grid& g, const std::vector<double>& phi) {
    CheckSizes(g, phi);
    if (!g.Uniform()) return StretchedFluxes(p, s, g, phi);
    const Rightward o = Orient(p, g);
    std::vector<FaceFlux> faces = Rightwards(o, s, InOrder(o, phi));
    if (!o.mirrored) return faces;
    std::reverse(faces.begin(), faces.end());
    for (std::size_t k = 0; k < faces.size(); ++k) {
        FaceFlux& f = faces[k];
        f.face = long(k);
        f.x = double(k) * g.dx;
        f.convective = -f.convective, f.diffusive = -f.diffusive, f.total = -f.total;
    }
    return faces;
}

FluxBalance BalanceOf(const Problem& p, const Grid& g, const std::vector<FaceFlux>& faces,
                      const std::vector<double>& phi) {
    FluxBalance b;
    b.in = faces.front().total;
    b.out = faces.back().total;
    for (std::size_t i = 0; i < phi.size(); ++i) b.source += (p.su + p.sp * phi[i]) * g.Width(long(i) + 1);
    b.leftover = b.in - b.out + b.source;
    return b;
}

}  // namespace study
