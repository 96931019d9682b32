// The bounded schemes' faces, balance and Newton iterations on unequal cells.
#include "tvd_stretched.hpp"

#include <algorithm>
#include <cmath>
#include <memory>

#include "cyclic_solve.hpp"
#include "limiters.hpp"
#include "rows.hpp"
#include "stretched_rows.hpp"
#include "study.hpp"  // Cancelled
#include "tvd_nodes.hpp"

namespace study::stretched {

namespace {

using namespace tvd_nodes;

// A face's upstream, far upstream and downstream nodes (-1: the mirror
// node beyond an end, 2 phi_b - phi_near) and its geometry.
struct FaceNodes {
    long up = -1, far = -1, down = -1;
    bool farMirror = false, downMirror = false;
    bool farLeft = false, downLeft = false;  // a mirror's end: x = 0, else x = L
    double theta = 0.5, rho = 1;  // |x_f - x_U| / h_D, h_D / h_UU
    bool limited = false;         // every face but the inflow one
};

struct Geometry {
    std::vector<FaceNodes> faces;  // 0 .. N
    FaceValue left, right;         // the ends' face values, half-cell form
    Rows up;                       // the upwind rows
    std::vector<double> perWidth;  // dx / w_i: each node's balance per the mean cell
};

Geometry GeometryOf(const Problem& p, const Grid& g) {
    Geometry geo;
    const long n = g.N;
    geo.left = FaceValueOn(p.left, true, g, Scheme::Upwind);
    geo.right = FaceValueOn(p.right, false, g, Scheme::Upwind);
    geo.faces.resize(std::size_t(n + 1));
    geo.up = StretchedRows(p, g, Scheme::Upwind);
    geo.perWidth.resize(std::size_t(n));
    for (long i = 1; i <= n; ++i) geo.perWidth[std::size_t(i - 1)] = g.dx / g.Width(i);
    const bool east = g.F >= 0;
    auto x = [&](long j) { return g.x(j + 1); };
    // The mirror nodes' positions: the near node reflected in the end.
    const double mirrorLeft = -x(0), mirrorRight = 2 * g.Face(n) - x(n - 1);
    for (long k = 0; k <= n; ++k) {
        FaceNodes& f = geo.faces[std::size_t(k)];
        if ((east && k == 0) || (!east && k == n)) continue;  // the inflow face
        f.limited = true;
        f.up = east ? k - 1 : k;
        const long down = east ? k : k - 1, far = east ? k - 2 : k + 1;
        f.downMirror = down < 0 || down >= n;
        f.farMirror = far < 0 || far >= n;
        f.down = f.downMirror ? f.up : down;
        f.far = f.farMirror ? (east ? 0 : n - 1) : far;
        f.farLeft = east, f.downLeft = !east;
        const double xU = x(f.up);
        const double xD = f.downMirror ? (east ? mirrorRight : mirrorLeft) : x(down);
        const double xUU = f.farMirror ? (east ? mirrorLeft : mirrorRight) : x(far);
        const double hD = std::fabs(xD - xU), hUU = std::fabs(xU - xUU);
        f.theta = std::fabs(g.Face(k) - xU) / hD;
        f.rho = hD / hUU;
    }
    return geo;
}

// The value of a face's far or down node: the node itself, or the mirror
// node 2 phi_b - phi_near of the end on that side; and the mirror's slope
// by its near node, 2 near - 1.
double Value(const Geometry& geo, const std::vector<double>& phi, long node, bool mirror, bool left) {
    const double v = phi[std::size_t(node)];
    return mirror ? 2 * At(left ? geo.left : geo.right, v, 0.0) - v : v;
}
double MirrorSlope(const Geometry& geo, bool left) { return 2 * (left ? geo.left : geo.right).near - 1; }

template <class L>
double CorrectionAt(const L& lim, const Geometry& geo, const std::vector<double>& phi, long k) {
    const FaceNodes& f = geo.faces[std::size_t(k)];
    if (!f.limited) return 0.0;
    const double u = phi[std::size_t(f.up)];
    const double a = u - Value(geo, phi, f.far, f.farMirror, f.farLeft), b = Value(geo, phi, f.down, f.downMirror, f.downLeft) - u;
    return 2 * f.theta * Correction(lim, f.rho * a, b);
}

// Each node's balance, divided by its width over the mean one so that a
// time step's shift rho dx / (theta dt) and lambda = dt / (rho dx) are the
// same at every node, + shift phi - extra.
template <class L>
double BalanceWith(const L& lim, const Geometry& geo, const Grid& g, const std::vector<double>& phi, double shift,
                   const std::vector<double>& extra, std::vector<double>& out) {
    const Rows& up = geo.up;
    const long n = g.N;
    out.resize(std::size_t(n));
    double largest = 0, poison = 0, west = CorrectionAt(lim, geo, phi, 0);
    for (long k = 0; k < n; ++k) {
        const auto i = std::size_t(k);
        const double east = CorrectionAt(lim, geo, phi, k + 1);
        double row = up.aP[i] * phi[i] - up.Su[i] + g.F * (east - west);
        if (k > 0) row += up.aW[i] * phi[i - 1];
        if (k + 1 < n) row += up.aE[i] * phi[i + 1];
        row = row * geo.perWidth[i] + shift * phi[i];
        if (!extra.empty()) row -= extra[i];
        out[i] = row;
        largest = std::max(largest, std::fabs(row));
        poison += 0 * row;
        west = east;
    }
    return std::isnan(poison) ? poison : largest;
}

// The Jacobian of the balance in the rows' convention, five bands.
template <class L>
void JacobianWith(const L& lim, const Geometry& geo, const Grid& g, double shift, const std::vector<double>& phi,
                  Rows& j) {
    j = geo.up;
    const long n = g.N;
    j.aWW.assign(std::size_t(n), 0.0);
    j.aEE.assign(std::size_t(n), 0.0);
    std::vector<double>* band[] = {&j.aWW, &j.aW, &j.aP, &j.aE, &j.aEE};
    auto add = [&](long row, long node, double v) {
        if (row < 0 || row >= n) return;
        const long offset = node - row;
        if (offset < -2 || offset > 2) throw std::logic_error("a limited face reaches beyond five bands");
        (*band[offset + 2])[std::size_t(row)] += v;
    };
    for (long k = 0; k <= n; ++k) {
        const FaceNodes& f = geo.faces[std::size_t(k)];
        if (!f.limited) continue;
        const double u = phi[std::size_t(f.up)];
        const double a = u - Value(geo, phi, f.far, f.farMirror, f.farLeft), b = Value(geo, phi, f.down, f.downMirror, f.downLeft) - u;
        const Derivatives d = CorrectionSlopes(lim, f.rho * a, b);
        const double byA = 2 * f.theta * f.rho * d.byA, byB = 2 * f.theta * d.byB;
        // d corr by each node: a = phi_U - phi_UU, b = phi_D - phi_U.
        std::pair<long, double> parts[3] = {{f.up, byA - byB},
                                            {f.far, -byA * (f.farMirror ? MirrorSlope(geo, f.farLeft) : 1.0)},
                                            {f.down, byB * (f.downMirror ? MirrorSlope(geo, f.downLeft) : 1.0)}};
        // Face k is cell k's west face and cell k-1's east face.
        for (const auto& [node, slope] : parts) {
            add(k - 1, node, g.F * slope);
            add(k, node, -g.F * slope);
        }
    }
    for (std::size_t i = 0; i < std::size_t(n); ++i) {
        for (std::vector<double>* b : band) (*b)[i] *= geo.perWidth[i];
        j.aP[i] += shift;
    }
}

}  // namespace

double Balance(const Problem& p, const Grid& g, Limiter l, double (*psi)(double), double scale,
               const std::vector<double>& phi, double shift, const std::vector<double>& extra,
               std::vector<double>& out) {
    CheckSizes(g, phi, extra);
    const Geometry geo = GeometryOf(p, g);
    if (psi) {
        if (scale == 1) return BalanceWith(AnyPsi{psi}, geo, g, phi, shift, extra, out);
        return BalanceWith(Scaled<AnyPsi>{AnyPsi{psi}, scale}, geo, g, phi, shift, extra, out);
    }
    return WithLimiter(l, [&](auto lim) {
        if (scale == 1) return BalanceWith(lim, geo, g, phi, shift, extra, out);
        return BalanceWith(Scaled<decltype(lim)>{lim, scale}, geo, g, phi, shift, extra, out);
    });
}

TvdIterations Solve(const Problem& p, const Grid& g, Limiter l, double shift, const std::vector<double>& extra,
                    std::vector<double>& phi, double tolerance, int maxIterations,
                    const std::function<bool()>& cancelled) {
    CheckSizes(g, phi, extra);
    const Geometry geo = GeometryOf(p, g);
    return WithLimiter(l, [&](auto lim) {
        const std::size_t n = phi.size();
        std::vector<double> residual, step, trial(n), trialResidual;
        std::unique_ptr<AnyBandFactors> upwind;
        TvdIterations t;
        t.residual = BalanceWith(lim, geo, g, phi, shift, extra, residual);
        while (!(t.residual <= tolerance) && t.iterations < maxIterations && !std::isnan(t.residual)) {
            if (cancelled && cancelled()) throw Cancelled();
            ++t.iterations;
            Rows j;
            JacobianWith(lim, geo, g, shift, phi, j);
            j.Su.resize(n);
            for (std::size_t k = 0; k < n; ++k) j.Su[k] = -residual[k];
            std::string why;
            bool taken = false;
            if (SolveRows(j, step, why))
                for (double share = 1; share > 1.0 / 16 && !taken; share /= 2) {
                    for (std::size_t k = 0; k < n; ++k) trial[k] = phi[k] + share * step[k];
                    const double r = BalanceWith(lim, geo, g, trial, shift, extra, trialResidual);
                    if (r < t.residual) taken = true, t.residual = r, phi.swap(trial), residual.swap(trialResidual);
                }
            if (taken) continue;
            // Deferred correction: the upwind rows plus the shift, factored once.
            if (!upwind) {
                Rows r = geo.up;
                for (std::size_t i = 0; i < n; ++i) {
                    r.aW[i] *= geo.perWidth[i], r.aE[i] *= geo.perWidth[i];
                    r.aP[i] = r.aP[i] * geo.perWidth[i] + shift;
                }
                upwind = std::make_unique<AnyBandFactors>();
                if (!upwind->Factor(r, why)) break;
            }
            step = residual;
            for (double& v : step) v = -v;
            upwind->Solve(step);
            for (std::size_t k = 0; k < n; ++k) phi[k] += step[k];
            t.residual = BalanceWith(lim, geo, g, phi, shift, extra, residual);
        }
        t.converged = t.residual <= tolerance;
        return t;
    });
}

std::vector<Face> Faces(const Problem& p, const Grid& g, Limiter l, const std::vector<double>& phi) {
    CheckSizes(g, phi);
    const Geometry geo = GeometryOf(p, g);
    std::vector<Face> faces;
    for (long k = 0; k <= g.N; ++k) {
        const FaceNodes& f = geo.faces[std::size_t(k)];
        if (!f.limited) continue;
        const double u = phi[std::size_t(f.up)];
        const double a = u - Value(geo, phi, f.far, f.farMirror, f.farLeft), b = Value(geo, phi, f.down, f.downMirror, f.downLeft) - u;
        if (b == 0) continue;
        const double r = Ratio(f.rho * a, b);
        faces.push_back({g.Face(k), r, Psi(l, r), b});
    }
    return faces;
}

std::vector<double> Corrections(const Problem& p, const Grid& g, Limiter l, const std::vector<double>& phi) {
    CheckSizes(g, phi);
    const Geometry geo = GeometryOf(p, g);
    std::vector<double> out(std::size_t(g.N + 1));
    WithLimiter(l, [&](auto lim) {
        for (long k = 0; k <= g.N; ++k) out[std::size_t(k)] = g.F * CorrectionAt(lim, geo, phi, k);
    });
    return out;
}

}  // namespace study::stretched
