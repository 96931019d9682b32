// The bounded (TVD) schemes: the limited corrections of the faces, the
// balance of every control volume, and Newton's method on those equations,
// its tridiagonal fallback being deferred correction on the upwind rows.
#include "tvd.hpp"

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>

#include "band_solve.hpp"
#include "cyclic_solve.hpp"
#include "limiters.hpp"
#include "rows.hpp"
#include "study.hpp"  // Cancelled
#include "tvd_nodes.hpp"
#include "tvd_stretched.hpp"

namespace study {

namespace {

using namespace limiters;
using namespace tvd_nodes;

// The Jacobian of the residual, four bands (node k depends on k-2 .. k+1),
// in the rows' convention, with -residual as the right-hand side.
template <class L>
void Jacobian(const L& lim, const UpwindRows& up, const Rightward& o, double shift, const std::vector<double>& phi,
              std::vector<double>& residual, Rows& j) {
    const std::size_t n = phi.size();
    const Ends e = MirrorNodes(o, phi);
    const double F = o.g.F;
    for (auto* v : {&j.aWW, &j.aW, &j.aP, &j.aE}) v->resize(n);
    j.aEE.assign(n, 0.0);
    j.Su.swap(residual);
    bool far = false;  // any aWW not 0
    // The west face's derivatives by the nodes k-2, k-1 and k: at node 1 of
    // a periodic problem those of node N's east face, by N-1, N and 1.
    double wm = 0, w0 = 0, wp = 0;
    const bool periodic = o.p.periodic && n > 1;
    if (periodic) {
        const Derivatives d = CorrectionSlopes(lim, phi[n - 1] - phi[n - 2], phi[0] - phi[n - 1]);
        wm = -d.byA, w0 = d.byA - d.byB, wp = d.byB;
    }
    for (std::size_t k = 0; k < n; ++k) {
        const double before = k > 0 ? phi[k - 1] : periodic ? phi[n - 1] : e.before;
        const double after = k + 1 < n ? phi[k + 1] : periodic ? phi[0] : e.after;
        const Derivatives d = CorrectionSlopes(lim, phi[k] - before, after - phi[k]);
        // a = phi_k - phi_(k-1), b = phi_(k+1) - phi_k, with the mirror
        // nodes phi_0 and phi_(N+1) at the ends.
        double em = -d.byA, e0 = d.byA - d.byB, ep = d.byB;
        // The mirror nodes move with the end nodes: d phi_0 / d phi_1 =
        // 2 near - 1, and so for phi_(N+1).
        if (!periodic && k == 0) e0 += d.byA * (1 - 2 * o.first.near), em = 0;
        if (!periodic && k + 1 == n) e0 += d.byB * (2 * o.last.near - 1), ep = 0;
        j.aWW[k] = -F * wm;
        far = far || wm != 0;
        const UpwindRows::Row& u = up.At(k, n);
        j.aW[k] = u.aW + F * (em - w0);
        j.aP[k] = u.aP + shift + F * (e0 - wp);
        j.aE[k] = u.aE + F * ep;
        j.Su[k] = -j.Su[k];
        wm = em, w0 = e0, wp = ep;
    }
    j.cyclic = periodic;
    if (!periodic) {
        j.aW.front() = 0;
        j.aE.back() = 0;
    }
    if (!far && !periodic) {  // three bands, as on the first step from a flat guess: LAPACK's dgtsv
        j.aWW.clear();
        j.aEE.clear();
    }
}

// Deferred correction's matrix: the upwind rows plus the shift (reaching
// round the ends for a periodic problem), factored once and used for every
// step after.
class UpwindFactor {
public:
    UpwindFactor(const UpwindRows& up, double shift, std::size_t n, bool cyclic) {
        Rows r;
        r.cyclic = cyclic;
        for (auto* v : {&r.aW, &r.aP, &r.aE}) v->resize(n);
        for (std::size_t k = 0; k < n; ++k) {
            const UpwindRows::Row& u = up.At(k, n);
            r.aW[k] = k > 0 || cyclic ? u.aW : 0.0;
            r.aP[k] = u.aP + shift;
            r.aE[k] = k + 1 < n || cyclic ? u.aE : 0.0;
        }
        std::string why;
        ok_ = factors_.Factor(r, why);
    }
    bool Solve(std::vector<double>& b) const {
        if (!ok_) return false;
        factors_.Solve(b);
        return true;
    }

private:
    AnyBandFactors factors_;
    bool ok_ = false;
};

// Newton's method, each step cut back by halves while that lowers the
// largest residual; where no part of it does, or the Jacobian is singular,
// the step is one of deferred correction on the upwind rows (the limited
// corrections lagged), whose matrix is always regular.
template <class L>
TvdIterations Iterate(const L& lim, const Rightward& o, double shift, const std::vector<double>& extra,
                      std::vector<double>& phi, double tolerance, int maxIterations,
                      const std::function<bool()>& cancelled) {
    const UpwindRows up = UpwindOf(o);
    const std::size_t n = phi.size();
    std::vector<double> residual, step, trial(n), trialResidual;
    Rows jacobian;
    std::unique_ptr<UpwindFactor> upwind;
    TvdIterations t;
    t.residual = Residual(lim, up, o, shift, extra, phi, residual);
    while (!(t.residual <= tolerance) && t.iterations < maxIterations && !std::isnan(t.residual)) {
        if (cancelled && cancelled()) throw Cancelled();
        ++t.iterations;
        Jacobian(lim, up, o, shift, phi, residual, jacobian);
        std::string why;
        bool taken = false;
        if (SolveRows(jacobian, step, why)) {
            for (double share = 1; share > 1.0 / 16 && !taken; share /= 2) {
                for (std::size_t k = 0; k < n; ++k) trial[k] = phi[k] + share * step[k];
                const double r = Residual(lim, up, o, shift, extra, trial, trialResidual);
                if (r < t.residual) {
                    taken = true;
                    t.residual = r;
                    phi.swap(trial);
                    residual.swap(trialResidual);
                }
            }
            jacobian.Su.swap(step);  // keeps its storage for the next step
        }
        if (taken) continue;
        if (!upwind) upwind = std::make_unique<UpwindFactor>(up, shift, n, o.p.periodic);
        Residual(lim, up, o, shift, extra, phi, step);
        for (double& v : step) v = -v;
        if (!upwind->Solve(step)) break;
        for (std::size_t k = 0; k < n; ++k) phi[k] += step[k];
        t.residual = Residual(lim, up, o, shift, extra, phi, residual);
    }
    t.converged = t.residual <= tolerance;
    return t;
}

template <class L>
void Balance(const L& lim, const Problem& p, const Grid& g, const std::vector<double>& phi,
             std::vector<double>& balance) {
    CheckSizes(g, phi);
    const Rightward o = Orient(p, g);
    const UpwindRows up = UpwindOf(o);
    if (!o.mirrored) {
        Residual(lim, up, o, 0.0, {}, phi, balance);
        return;
    }
    Residual<true>(lim, up, o, 0.0, {}, phi, balance);
}

}  // namespace

Scheme SchemeOf(Limiter l) { return kTvdSchemes.at(static_cast<std::size_t>(l)); }

std::optional<Limiter> LimiterOf(Scheme s) {
    if (!IsTvd(s)) return std::nullopt;
    return kLimiters.at(static_cast<std::size_t>(s) - static_cast<std::size_t>(Scheme::MinMod));
}

double Psi(Limiter l, double r) {
    return WithLimiter(l, [r](auto lim) { return lim.Psi(std::min(r, kLargeR)); });
}

void TvdBalance(const Problem& p, const Grid& g, Limiter l, const std::vector<double>& phi,
                std::vector<double>& balance, double scale) {
    if (!g.Uniform()) {
        stretched::Balance(p, g, l, nullptr, scale, phi, 0.0, {}, balance);
        return;
    }
    WithLimiter(l, [&](auto lim) {
        if (scale == 1)
            Balance(lim, p, g, phi, balance);
        else
            Balance(Scaled<decltype(lim)>{lim, scale}, p, g, phi, balance);
    });
}

void TvdBalanceWith(double (*psi)(double), const Problem& p, const Grid& g, const std::vector<double>& phi,
                    std::vector<double>& balance, double scale) {
    if (!g.Uniform()) {
        stretched::Balance(p, g, Limiter::MinMod, psi, scale, phi, 0.0, {}, balance);
        return;
    }
    if (scale == 1)
        Balance(AnyPsi{psi}, p, g, phi, balance);
    else
        Balance(Scaled<AnyPsi>{AnyPsi{psi}, scale}, p, g, phi, balance);
}

double TvdTolerance(const Problem& p, const Grid& g, double magnitude, double shift) {
    // From magnitudes: D is negative when L or Gamma is, and a tolerance of
    // zero or less is one no residual ever meets.
    return 1e-12 * std::max({EndMagnitude(p), std::fabs(magnitude)}) *
           std::max({std::fabs(g.F), std::fabs(g.D), shift, std::fabs(p.sp * g.dx)});
}

TvdIterations SolveTvdSystem(const Problem& p, const Grid& g, Limiter l, double shift,
                             const std::vector<double>& extra, std::vector<double>& phi, double tolerance,
                             int maxIterations, const std::function<bool()>& cancelled) {
    CheckSizes(g, phi, extra);
    if (!g.Uniform()) return stretched::Solve(p, g, l, shift, extra, phi, tolerance, maxIterations, cancelled);
    const Rightward o = Orient(p, g);
    if (!o.mirrored)
        return WithLimiter(
            l, [&](auto lim) { return Iterate(lim, o, shift, extra, phi, tolerance, maxIterations, cancelled); });
    // The mirror image in place, turned back whatever happens.
    std::reverse(phi.begin(), phi.end());
    TvdIterations t;
    try {
        t = WithLimiter(
            l, [&](auto lim) {
                return Iterate(lim, o, shift, InOrder(o, extra), phi, tolerance, maxIterations, cancelled);
            });
    } catch (...) {
        std::reverse(phi.begin(), phi.end());
        throw;
    }
    std::reverse(phi.begin(), phi.end());
    return t;
}

std::vector<Face> LimitedFaces(const Problem& p, const Grid& g, Limiter l, const std::vector<double>& phi) {
    CheckSizes(g, phi);
    if (!g.Uniform()) return stretched::Faces(p, g, l, phi);
    const Rightward o = Orient(p, g);
    const std::vector<double> x = InOrder(o, phi);
    const Ends e = MirrorNodes(o, x);
    const std::size_t n = x.size();
    std::vector<Face> faces;
    for (std::size_t k = 0; k < n; ++k) {
        const double before = k > 0 ? x[k - 1] : e.before, after = k + 1 < n ? x[k + 1] : e.after;
        const double a = x[k] - before, b = after - x[k];
        if (b == 0) continue;
        // The face east of node k + 1 of the turned problem.
        const double at = (o.mirrored ? double(n - k - 1) : double(k + 1)) * g.dx;
        const double r = Ratio(a, b);
        faces.push_back({at, r, Psi(l, r), b});
    }
    if (o.mirrored) std::reverse(faces.begin(), faces.end());
    return faces;
}

}  // namespace study
