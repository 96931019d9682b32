// The nodes of the bounded schemes' balance, shared by the steady solve
// (tvd.cpp) and the explicit time step (tvd_stage.cpp): the limited
// corrections, the problem turned so that the flow is to the right, the
// upwind rows and the walk over the nodes. Internal to study/.
#pragma once

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "ends_rows.hpp"
#include "limiters.hpp"
#include "rows.hpp"
#include "tvd.hpp"

namespace study::tvd_nodes {

using namespace limiters;

// A limiter whose correction is scaled, as Lax-Wendroff's (1 - c).
template <class L>
struct Scaled {
    L lim;
    double scale;
    double Psi(double r) const { return scale * lim.Psi(r); }
};

// Written with min and max, not std::clamp, so that it compiles to two
// instructions and no branch: a time step makes it once a node.
inline double Ratio(double a, double b) { return std::min(std::max(a / b, -kLargeR), kLargeR); }

// The limited correction psi(r) (phi_D - phi_U) / 2 of a face with
// a = phi_U - phi_UU and b = phi_D - phi_U; 0 when b = 0.
template <class L>
double Correction(const L& lim, double a, double b) {
    return b == 0 ? 0.0 : 0.5 * lim.Psi(Ratio(a, b)) * b;
}

// Its derivatives: by a, psi'(r) / 2; by b, (psi(r) - r psi'(r)) / 2.
struct Derivatives {
    double byA, byB;
};
template <class L>
Derivatives CorrectionSlopes(const L&, double a, double b) {
    if (b == 0) return {0, 0};
    const double r = Ratio(a, b);
    const Slope s = L::Both(r);
    return {0.5 * s.dpsi, 0.5 * (s.psi - (s.dpsi == 0 ? 0.0 : r * s.dpsi))};
}

// The problem turned so that the flow is to the right: for F < 0 its mirror
// image, whose node k is the problem's node N + 1 - k, whose ends change
// places and whose gradients change sign. `first` and `last` are the face
// values of its ends, as the half-cell difference gives them.
struct Rightward {
    Grid g;
    Problem p;
    FaceValue first, last;
    bool mirrored;
};

inline End Turned(End e) {
    if (e.kind == EndKind::Gradient) e.value = -e.value;
    return e;
}

inline Rightward Orient(const Problem& p, const Grid& g) {
    Rightward o{g, p, {}, {}, false};
    if (g.F < 0) {
        o.g.F = -g.F;
        o.g.Pe = -g.Pe;
        o.p.u = -p.u;
        o.p.left = Turned(p.right);
        o.p.right = Turned(p.left);
        o.mirrored = true;
    }
    o.first = FaceValueOf(o.p.left, true, o.g, kTwoPoint);
    o.last = FaceValueOf(o.p.right, false, o.g, kTwoPoint);
    return o;
}

inline std::vector<double> InOrder(const Rightward& o, const std::vector<double>& v) {
    return o.mirrored ? std::vector<double>(v.rbegin(), v.rend()) : v;
}

// The face values' neighbours across the ends: the mirror nodes, which make
// the half-cell difference across each end face its condition's gradient.
struct Ends {
    double before, after;  // phi_0 = 2 phi_b(0) - phi_1, phi_(N+1) = 2 phi_b(L) - phi_N
};
inline Ends MirrorNodes(const Rightward& o, double first, double last) {
    return {2 * At(o.first, first, 0.0) - first, 2 * At(o.last, last, 0.0) - last};
}
inline Ends MirrorNodes(const Rightward& o, const std::vector<double>& phi) {
    return MirrorNodes(o, phi.front(), phi.back());
}

// The upwind rows, the linear part of every balance: the same in every
// interior node, so they are kept as the first, an interior and the last
// row of the study's assembly on three control volumes (or on N, below 3).
struct UpwindRows {
    struct Row {
        double aW, aP, aE, Su;
    };
    Row first, middle, last;
    const Row& At(std::size_t k, std::size_t n) const { return k == 0 ? first : k + 1 == n ? last : middle; }
};

inline UpwindRows UpwindOf(const Rightward& o) {
    Grid few = o.g;
    few.N = std::min<long>(o.g.N, 3);
    const Rows r = Assemble(o.p, few, Scheme::Upwind);
    auto row = [&](std::size_t k) { return UpwindRows::Row{r.aW[k], r.aP[k], r.aE[k], r.Su[k]}; };
    const std::size_t last = r.aP.size() - 1;
    return {row(0), row(std::min<std::size_t>(1, last)), row(last)};
}

// Node k's balance on the upwind rows plus F times the change of the
// limited correction across it, + shift phi - extra, handed to
// sink(i, row) with i the node in the problem's order. The first and last
// nodes, whose neighbours are mirror nodes, are done apart from the loop
// over the others. The rows are copied to locals, and phi is read through
// a restricted pointer, so that the sink's stores do not make the compiler
// load them again every node.
// `Reversed` reads phi (and extra) in the opposite order, the mirror image
// of a leftward flow, so that a time step needs no turned copy.
template <bool Reversed, class L, class Sink>
void Visit(const L& lim, const UpwindRows& up, const Rightward& o, double shift, const std::vector<double>& extra,
           const std::vector<double>& phi, Sink& sink) {
    const std::size_t n = phi.size();
    const double F = o.g.F;
    // Node k of the turned problem.
    const double* __restrict base = phi.data();
    auto at = [n](std::size_t k) { return Reversed ? n - 1 - k : k; };
    auto x = [&](std::size_t k) { return base[at(k)]; };
    const Ends e = MirrorNodes(o, x(0), x(n - 1));
    const double* __restrict more = extra.empty() ? nullptr : extra.data();
    // At the ends `before` and `after` are the mirror nodes, whose
    // coefficients in the rows are 0. Inlined by force: called from three
    // places, the compiler would otherwise make some limiters' node a call.
    auto node = [&](std::size_t k, double before, double after, double west,
                    const UpwindRows::Row r) __attribute__((always_inline)) {
        const double xk = x(k);
        const double east = Correction(lim, xk - before, after - xk);
        double row = (r.aP + shift) * xk + r.aW * before + r.aE * after - r.Su + F * (east - west);
        if (more) row -= more[at(k)];
        sink(at(k), row);
        return east;
    };
    const UpwindRows::Row middle = up.middle;
    if (o.p.periodic) {
        // Every face interior: node 1's west face is node N's east face.
        if (n == 1) {
            node(0, x(0), x(0), 0.0, middle);
            return;
        }
        const double wrap = Correction(lim, x(n - 1) - x(n - 2), x(0) - x(n - 1));
        double west = node(0, x(n - 1), x(1), wrap, middle);
        for (std::size_t k = 1; k + 1 < n; ++k) west = node(k, x(k - 1), x(k + 1), west, middle);
        node(n - 1, x(n - 2), x(0), west, middle);
    } else if (n == 1) {
        node(0, e.before, e.after, 0.0, up.first);
    } else {
        // The inflow face carries its face value: no correction.
        double west = node(0, e.before, x(1), 0.0, up.first);
        for (std::size_t k = 1; k + 1 < n; ++k) west = node(k, x(k - 1), x(k + 1), west, middle);
        node(n - 1, x(n - 2), e.after, west, up.last);
    }
}

// The residual of every node into `out`; returns the largest magnitude,
// NaN if any is NaN.
template <bool Reversed = false, class L>
double Residual(const L& lim, const UpwindRows& up, const Rightward& o, double shift, const std::vector<double>& extra,
                const std::vector<double>& phi, std::vector<double>& out) {
    out.resize(phi.size());
    double* __restrict to = out.data();
    double largest = 0, poison = 0;  // poison: NaN once a residual is NaN or infinite
    auto store = [&](std::size_t i, double row) {
        to[i] = row;
        largest = std::max(largest, std::fabs(row));
        poison += 0 * row;
    };
    Visit<Reversed>(lim, up, o, shift, extra, phi, store);
    return std::isnan(poison) ? poison : largest;
}

// phi, and extra when given, must hold the grid's N values, N >= 1.
inline void CheckSizes(const Grid& g, const std::vector<double>& phi, const std::vector<double>& extra = {}) {
    if (g.N < 1 || phi.size() != static_cast<std::size_t>(g.N) || (!extra.empty() && extra.size() != phi.size()))
        throw std::invalid_argument("the bounded scheme's equations need N >= 1 values of phi (and of the extra "
                                    "right-hand side, if any), N = " +
                                    std::to_string(g.N) + ", " + std::to_string(phi.size()) + " given");
}

}  // namespace study::tvd_nodes
