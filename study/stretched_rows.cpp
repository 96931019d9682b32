// Face stencils and rows of every linear scheme on a grid of unequal cells.
#include "stretched_rows.hpp"

#include <algorithm>
#include <cmath>

#include "solver/checked.hpp"

namespace study {

void Stencil::Add(long j, double v) {
    for (int k = 0; k < n; ++k)
        if (node[std::size_t(k)] == j) {
            c[std::size_t(k)] += v;
            return;
        }
    node[std::size_t(n)] = j;
    c[std::size_t(n)] = v;
    ++n;
}

void Stencil::AddFace(const FaceValue& f, long nearNode, long nextNode, double v) {
    constant += v * f.alpha;
    if (f.near != 0) Add(nearNode, v * f.near);
    if (f.next != 0) Add(nextNode, v * f.next);
}

double Stencil::At(const std::vector<double>& phi) const {
    double sum = constant;
    for (int k = 0; k < n; ++k) sum += c[std::size_t(k)] * phi[std::size_t(node[std::size_t(k)])];
    return sum;
}

EndGradient EndGradientOn(Scheme s, const Grid& g, bool atLeft) {
    if (s != Scheme::Quick) return kTwoPoint;
    if (g.Uniform() || g.N < 2) return kQuadratic;
    // The quadratic through phi_b at the end, phi_near at distance d and
    // phi_next at d2, differentiated at the end, in units of the end cell.
    const double len = g.Width(atLeft ? 1 : g.N);
    const double d = atLeft ? g.x(1) : g.Face(g.N) - g.x(g.N);
    const double d2 = atLeft ? g.x(2) : g.Face(g.N) - g.x(g.N - 1);
    return {d2 / (d * (d2 - d)) * len, -d / (d2 * (d2 - d)) * len, (d + d2) / (d * d2) * len};
}

FaceValue FaceValueOn(const End& e, bool atLeft, const Grid& g, Scheme s) {
    if (g.Uniform()) return FaceValueOf(e, atLeft, g, EndGradientOf(s));
    Grid end = g;
    end.dx = g.Width(atLeft ? 1 : g.N);
    end.D = g.D * (g.dx / end.dx);
    return FaceValueOf(e, atLeft, end, EndGradientOn(s, g, atLeft));
}

namespace {

double PatankarA(Scheme s, double P) {
    switch (s) {
        case Scheme::Hybrid: return std::max(0.0, 1.0 - 0.5 * std::fabs(P));
        case Scheme::PowerLaw: return PowerLawA(P);
        case Scheme::Exponential: return ExponentialA(P);
        default: return 1.0;
    }
}

// The quadratic through x_UU, x_U and x_D evaluated at x_f: the weights of
// phi_UU, phi_U and phi_D (-1/8, 3/4, 3/8 on equal cells).
struct Quadratic {
    double far, up, down;
};
Quadratic QuickWeights(double xf, double xUU, double xU, double xD) {
    return {(xf - xU) * (xf - xD) / ((xUU - xU) * (xUU - xD)), (xf - xUU) * (xf - xD) / ((xU - xUU) * (xU - xD)),
            (xf - xUU) * (xf - xU) / ((xD - xUU) * (xD - xU))};
}

// phi_b of an end as a stencil, and the mirror node 2 phi_b - phi_near.
struct EndFace {
    FaceValue f;
    long nearNode, nextNode;
};

// QUICK's face value: the quadratic through the two upstream nodes and the
// downstream one, at the face. Beyond an end the mirror node stands in.
void QuickFace(const Grid& g, long k, double F, const EndFace& left, const EndFace& right, Stencil& s) {
    const long n = g.N;
    const bool east = F >= 0;
    const long up = east ? k - 1 : k, down = east ? k : k - 1, far = east ? k - 2 : k + 1;
    auto x = [&](long j) { return g.x(j + 1); };
    const double xf = g.Face(k), xU = x(up), xD = x(down);
    const bool mirror = far < 0 || far >= n;
    const double xUU = !mirror ? x(far) : east ? -x(0) : 2 * g.Face(n) - x(n - 1);
    const auto [wUU, wU, wD] = QuickWeights(xf, xUU, xU, xD);
    s.Add(up, F * wU);
    s.Add(down, F * wD);
    if (!mirror) {
        s.Add(far, F * wUU);
        return;
    }
    const EndFace& e = east ? left : right;
    s.AddFace(e.f, e.nearNode, e.nextNode, 2 * F * wUU);
    s.Add(e.nearNode, -F * wUU);
}

// What every face of one scheme on one grid shares.
struct FaceContext {
    const Grid& g;
    Scheme rows;
    double F, gamma;
    EndFace left, right;
};

FaceContext ContextOf(const Problem& p, const Grid& g, Scheme s) {
    const Scheme rows = IsTvd(s) ? Scheme::Upwind : s;
    const long n = g.N;
    return {g, rows, g.F, g.D * g.dx, EndFace{FaceValueOn(p.left, true, g, rows), 0, std::min<long>(1, n - 1)},
            EndFace{FaceValueOn(p.right, false, g, rows), n - 1, std::max<long>(n - 2, 0)}};
}

// Face k, 0 <= k <= N.
FaceStencil FaceAt(const FaceContext& c, long k) {
    const calc::Where at{"the stretched grid's coefficients"};
    const Grid& g = c.g;
    const long n = g.N;
    const double F = c.F, gamma = c.gamma;
    const Scheme rows = c.rows;
    FaceStencil f;
    if (k > 0 && k < n) {
        const double xP = g.x(k), xE = g.x(k + 1), distance = xE - xP;
        const double De = calc::Div(gamma, distance, at);
        double diffusion = De;
        if (rows == Scheme::Quick) {
            QuickFace(g, k, F, c.left, c.right, f.convective);
        } else if (rows == Scheme::Central) {
            const double share = (g.Face(k) - xP) / distance;
            f.convective.Add(k - 1, F * (1 - share));
            f.convective.Add(k, F * share);
        } else {
            f.convective.Add(F >= 0 ? k - 1 : k, F);
            if (rows != Scheme::Upwind) diffusion = De * PatankarA(rows, F / De);
        }
        f.diffusive.Add(k - 1, diffusion);
        f.diffusive.Add(k, -diffusion);
        return f;
    }
    // An end face: F phi_b where the flow comes in (and for central, and
    // QUICK, where it leaves), the near node's value where an upwind-type
    // scheme's flow leaves; the diffusion across the half cell, or QUICK's
    // quadratic gradient.
    const bool atLeft = k == 0;
    const EndFace& e = atLeft ? c.left : c.right;
    const double len = g.Width(atLeft ? 1 : n);
    const bool inflow = atLeft ? F >= 0 : F < 0;
    const bool centralEnd = rows == Scheme::Central || rows == Scheme::Quick ||
                            (rows == Scheme::Hybrid && std::fabs(F * len / gamma) < 2);
    if (inflow || centralEnd)
        f.convective.AddFace(e.f, e.nearNode, e.nextNode, F);
    else
        f.convective.Add(e.nearNode, F);
    // The flux in the direction of x is -Gamma dphi/dx: at x = 0 minus the
    // inward gradient, at x = L plus it.
    const double sign = atLeft ? -1.0 : 1.0;
    if (rows == Scheme::Quick) {
        const EndGradient w = EndGradientOn(rows, g, atLeft);
        const double scale = calc::Div(gamma, len, at) * sign;
        f.diffusive.Add(e.nearNode, scale * w.w1);
        if (n > 1) f.diffusive.Add(e.nextNode, scale * w.w2);
        f.diffusive.AddFace(e.f, e.nearNode, e.nextNode, -scale * w.wb);
    } else {
        double Db = calc::Div(2 * gamma, len, at);
        if (rows != Scheme::Upwind && rows != Scheme::Central && !(rows == Scheme::Hybrid && centralEnd))
            Db *= PatankarA(rows, F / Db);
        f.diffusive.Add(e.nearNode, sign * Db);
        f.diffusive.AddFace(e.f, e.nearNode, e.nextNode, -sign * Db);
    }
    return f;
}

}  // namespace

void StencilFluxes(const Problem& p, const Grid& g, Scheme s, const std::vector<double>& phi,
                   std::vector<double>& convective, std::vector<double>& diffusive) {
    const FaceContext c = ContextOf(p, g, s);
    convective.resize(std::size_t(g.N + 1));
    diffusive.resize(std::size_t(g.N + 1));
    for (long k = 0; k <= g.N; ++k) {
        if (k > 0 && k < g.N && c.rows != Scheme::Quick) {
            // An interior three-point face, written out as StretchedRows does.
            const auto i = std::size_t(k);
            const double xP = g.x(k), xE = g.x(k + 1), De = c.gamma / (xE - xP);
            const double share = c.rows == Scheme::Central ? (g.Face(k) - xP) / (xE - xP) : (c.F >= 0 ? 0.0 : 1.0);
            const double d = c.rows == Scheme::Upwind || c.rows == Scheme::Central ? De
                                                                                     : De * PatankarA(c.rows, c.F / De);
            convective[i] = c.F * ((1 - share) * phi[i - 1] + share * phi[i]);
            diffusive[i] = d * (phi[i - 1] - phi[i]);
            continue;
        }
        const long up = c.F >= 0 ? k - 1 : k, down = c.F >= 0 ? k : k - 1, far = c.F >= 0 ? k - 2 : k + 1;
        if (k > 0 && k < g.N && far >= 0 && far < g.N) {
            // A QUICK face with its three nodes inside, written out.
            const double xf = g.Face(k), xU = g.x(up + 1), xD = g.x(down + 1), xUU = g.x(far + 1);
            const auto [wUU, wU, wD] = QuickWeights(xf, xUU, xU, xD);
            const auto i = std::size_t(k);
            convective[i] = c.F * (wU * phi[std::size_t(up)] + wD * phi[std::size_t(down)] + wUU * phi[std::size_t(far)]);
            diffusive[i] = c.gamma / (g.x(k + 1) - g.x(k)) * (phi[i - 1] - phi[i]);
            continue;
        }
        const FaceStencil f = FaceAt(c, k);
        convective[std::size_t(k)] = f.convective.At(phi);
        diffusive[std::size_t(k)] = f.diffusive.At(phi);
    }
}

Rows StretchedRows(const Problem& p, const Grid& g, Scheme s) {
    const calc::Where at{"the stretched grid's rows"};
    const FaceContext c = ContextOf(p, g, s);
    const auto n = std::size_t(g.N);
    const bool five = s == Scheme::Quick;
    Rows r;
    for (auto* v : {&r.aW, &r.aP, &r.aE, &r.Su}) v->assign(n, 0.0);
    if (five) r.aWW.assign(n, 0.0), r.aEE.assign(n, 0.0);
    std::vector<double>* band[] = {&r.aWW, &r.aW, &r.aP, &r.aE, &r.aEE};
    // Cell k: the sum over j of (J_k - J_(k-1)) in phi_j, minus Sp w phi_k,
    // equals J_(k-1)'s constant - J_k's + Su w.
    auto put = [&](std::size_t k, const Stencil& st, double sign) {
        r.Su[k] -= sign * st.constant;
        for (int m = 0; m < st.n; ++m) {
            const long offset = st.node[std::size_t(m)] - long(k);
            if (offset < -2 || offset > 2 || (!five && (offset < -1 || offset > 1)))
                throw calc::CalcError("a face stencil reaches beyond the rows' band");
            (*band[offset + 2])[k] += sign * st.c[std::size_t(m)];
        }
    };
    if (five) {
        // QUICK: the faces whose three nodes are all inside written out, the
        // mirror faces and the ends through their stencils.
        const double F = c.F;
        const long N = g.N;
        for (long k = 0; k <= N; ++k) {
            const bool east = F >= 0;
            const long up = east ? k - 1 : k, down = east ? k : k - 1, far = east ? k - 2 : k + 1;
            if (k == 0 || k == N || far < 0 || far >= N) {
                const FaceStencil f = FaceAt(c, k);
                if (k > 0) put(std::size_t(k - 1), f.convective, 1), put(std::size_t(k - 1), f.diffusive, 1);
                if (k < N) put(std::size_t(k), f.convective, -1), put(std::size_t(k), f.diffusive, -1);
                continue;
            }
            const double xf = g.Face(k), xU = g.x(up + 1), xD = g.x(down + 1), xUU = g.x(far + 1);
            const Quadratic q = QuickWeights(xf, xUU, xU, xD);
            const double wUU = F * q.far, wU = F * q.up, wD = F * q.down;
            const double De = c.gamma / (g.x(k + 1) - g.x(k));
            // J = wU phi_U + wD phi_D + wUU phi_UU - De (phi_k - phi_(k-1)),
            // + into cell k-1, - into cell k.
            auto add = [&](long cell, long node, double v) { (*band[node - cell + 2])[std::size_t(cell)] += v; };
            for (const long cell : {k - 1, k}) {
                const double sign = cell == k - 1 ? 1.0 : -1.0;
                add(cell, up, sign * wU), add(cell, down, sign * wD), add(cell, far, sign * wUU);
                add(cell, k - 1, sign * De), add(cell, k, -sign * De);
            }
        }
    } else {
        // Three points: interior face k carries alpha phi_(k-1) - beta phi_k,
        // written out here for speed, the same sums FaceAt makes.
        const double* faces = g.faces->data();
        const double F = c.F, up = std::max(F, 0.0), down = std::max(-F, 0.0);
        for (std::size_t k = 1; k < n; ++k) {
            const double xP = 0.5 * (faces[k - 1] + faces[k]), xE = 0.5 * (faces[k] + faces[k + 1]);
            const double De = c.gamma / (xE - xP);
            double alpha, beta;
            if (c.rows == Scheme::Central) {
                const double share = (faces[k] - xP) / (xE - xP);
                alpha = F * (1 - share) + De, beta = De - F * share;
            } else {
                const double d = c.rows == Scheme::Upwind ? De : De * PatankarA(c.rows, F / De);
                alpha = d + up, beta = d + down;
            }
            // Cell k-1's east face, cell k's west face.
            r.aP[k - 1] += alpha, r.aE[k - 1] -= beta;
            r.aW[k] -= alpha, r.aP[k] += beta;
        }
        const FaceStencil first = FaceAt(c, 0), last = FaceAt(c, g.N);
        put(0, first.convective, -1), put(0, first.diffusive, -1);
        put(n - 1, last.convective, 1), put(n - 1, last.diffusive, 1);
    }
    for (std::size_t k = 0; k < n; ++k) {
        const double w = g.Width(long(k) + 1);
        r.Su[k] = calc::Add(r.Su[k], p.su * w, at);
        r.aP[k] = calc::Add(r.aP[k], -p.sp * w, at);
    }
    for (std::size_t k = 0; k < n; ++k) {
        const double aWW = five ? -r.aWW[k] : 0.0, aEE = five ? -r.aEE[k] : 0.0;
        r.negative |= (aWW < 0 ? kNegativeWW : 0u) | (k > 0 && -r.aW[k] < 0 ? kNegativeW : 0u) |
                      (k + 1 < n && -r.aE[k] < 0 ? kNegativeE : 0u) | (aEE < 0 ? kNegativeEE : 0u);
        if (!std::isfinite(r.aP[k]) || !std::isfinite(r.Su[k]))
            throw calc::CalcError("a coefficient of the stretched grid's rows is beyond the range of a double");
    }
    return r;
}

}  // namespace study
