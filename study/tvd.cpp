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
#include "limiters.hpp"
#include "rows.hpp"
#include "study.hpp"  // Cancelled
#include "tvd_nodes.hpp"

extern "C" {
void dgttrf_(const int* n, double* dl, double* d, double* du, double* du2, int* ipiv, int* info);
void dgttrs_(const char* trans, const int* n, const int* nrhs, const double* dl, const double* d, const double* du,
             const double* du2, const int* ipiv, double* b, const int* ldb, int* info);
}

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
    // The west face's derivatives by the nodes k-2, k-1 and k.
    double wm = 0, w0 = 0, wp = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const double before = k > 0 ? phi[k - 1] : e.before, after = k + 1 < n ? phi[k + 1] : e.after;
        const Derivatives d = CorrectionSlopes(lim, phi[k] - before, after - phi[k]);
        // a = phi_k - phi_(k-1), with phi_0 = 2 phiA - phi_1 at the first
        // node; b = phi_(k+1) - phi_k, with phi_(N+1) = 2 phiB - phi_N.
        double em = -d.byA, e0 = d.byA - d.byB, ep = d.byB;
        if (k == 0) e0 += d.byA, em = 0;
        if (k + 1 == n) e0 -= d.byB, ep = 0;
        j.aWW[k] = -F * wm;
        far = far || wm != 0;
        const UpwindRows::Row& u = up.At(k, n);
        j.aW[k] = u.aW + F * (em - w0);
        j.aP[k] = u.aP + shift + F * (e0 - wp);
        j.aE[k] = u.aE + F * ep;
        j.Su[k] = -j.Su[k];
        wm = em, w0 = e0, wp = ep;
    }
    j.aW.front() = 0;
    j.aE.back() = 0;
    if (!far) {  // three bands, as on the first step from a flat guess: LAPACK's dgtsv
        j.aWW.clear();
        j.aEE.clear();
    }
}

// Deferred correction's matrix: the upwind rows plus the shift, factorised
// once by LAPACK's dgttrf and used for every step after.
class UpwindFactor {
public:
    UpwindFactor(const UpwindRows& up, double shift, std::size_t n) : dl_(n - 1), d_(n), du_(n - 1) {
        for (std::size_t k = 0; k < n; ++k) {
            const UpwindRows::Row& u = up.At(k, n);
            d_[k] = u.aP + shift;
            if (k > 0) dl_[k - 1] = u.aW;
            if (k + 1 < n) du_[k] = u.aE;
        }
        du2_.resize(d_.size());
        ipiv_.resize(d_.size());
        const int size = int(n);
        dgttrf_(&size, dl_.data(), d_.data(), du_.data(), du2_.data(), ipiv_.data(), &info_);
    }
    bool Solve(std::vector<double>& b) const {
        if (info_ != 0) return false;
        const int n = int(d_.size()), one = 1;
        int info = 0;
        dgttrs_("N", &n, &one, dl_.data(), d_.data(), du_.data(), du2_.data(), ipiv_.data(), b.data(), &n, &info);
        return info == 0;
    }

private:
    std::vector<double> dl_, d_, du_, du2_;
    std::vector<int> ipiv_;
    int info_ = 0;
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
        if (!upwind) upwind = std::make_unique<UpwindFactor>(up, shift, n);
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
void Balance(const L& lim, const Grid& g, double phiA, double phiB, const std::vector<double>& phi,
             std::vector<double>& balance) {
    CheckSizes(g, phi);
    const Rightward o = Orient(g, phiA, phiB);
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

void TvdBalance(const Grid& g, double phiA, double phiB, Limiter l, const std::vector<double>& phi,
                std::vector<double>& balance, double scale) {
    WithLimiter(l, [&](auto lim) {
        if (scale == 1)
            Balance(lim, g, phiA, phiB, phi, balance);
        else
            Balance(Scaled<decltype(lim)>{lim, scale}, g, phiA, phiB, phi, balance);
    });
}

void TvdBalanceWith(double (*psi)(double), const Grid& g, double phiA, double phiB, const std::vector<double>& phi,
                    std::vector<double>& balance, double scale) {
    if (scale == 1)
        Balance(AnyPsi{psi}, g, phiA, phiB, phi, balance);
    else
        Balance(Scaled<AnyPsi>{AnyPsi{psi}, scale}, g, phiA, phiB, phi, balance);
}

double TvdTolerance(const Problem& p, const Grid& g, double magnitude, double shift) {
    // From magnitudes: D is negative when L or Gamma is, and a tolerance of
    // zero or less is one no residual ever meets.
    return 1e-12 * std::max({1.0, std::fabs(p.phiA), std::fabs(p.phiB), std::fabs(magnitude)}) *
           std::max({std::fabs(g.F), std::fabs(g.D), shift});
}

TvdIterations SolveTvdSystem(const Grid& g, double phiA, double phiB, Limiter l, double shift,
                             const std::vector<double>& extra, std::vector<double>& phi, double tolerance,
                             int maxIterations, const std::function<bool()>& cancelled) {
    CheckSizes(g, phi, extra);
    const Rightward o = Orient(g, phiA, phiB);
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

std::vector<Face> LimitedFaces(const Grid& g, double phiA, double phiB, Limiter l, const std::vector<double>& phi) {
    CheckSizes(g, phi);
    const Rightward o = Orient(g, phiA, phiB);
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
        faces.push_back({at, r, Psi(l, r)});
    }
    if (o.mirrored) std::reverse(faces.begin(), faces.end());
    return faces;
}

}  // namespace study
