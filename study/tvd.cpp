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

extern "C" {
void dgttrf_(const int* n, double* dl, double* d, double* du, double* du2, int* ipiv, int* info);
void dgttrs_(const char* trans, const int* n, const int* nrhs, const double* dl, const double* d, const double* du,
             const double* du2, const int* ipiv, double* b, const int* ldb, int* info);
}

namespace study {

namespace {

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
double Ratio(double a, double b) { return std::min(std::max(a / b, -kLargeR), kLargeR); }

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
// image, whose node k is the problem's node N + 1 - k.
struct Rightward {
    Grid g;
    double phiA, phiB;
    bool mirrored;
};

Rightward Orient(const Grid& g, double phiA, double phiB) {
    if (g.F >= 0) return {g, phiA, phiB, false};
    Grid m = g;
    m.F = -g.F;
    m.Pe = -g.Pe;
    return {m, phiB, phiA, true};
}

std::vector<double> InOrder(const Rightward& o, const std::vector<double>& v) {
    return o.mirrored ? std::vector<double>(v.rbegin(), v.rend()) : v;
}

// The face values' neighbours across the ends: the mirror nodes.
struct Ends {
    double before, after;  // phi_0 = 2 phiA - phi_1, phi_(N+1) = 2 phiB - phi_N
};
Ends MirrorNodes(const Rightward& o, double first, double last) { return {2 * o.phiA - first, 2 * o.phiB - last}; }
Ends MirrorNodes(const Rightward& o, const std::vector<double>& phi) {
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

UpwindRows UpwindOf(const Rightward& o) {
    Grid few = o.g;
    few.N = std::min<long>(o.g.N, 3);
    const Rows r = Assemble(few, o.phiA, o.phiB, Scheme::Upwind);
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
    if (n == 1) {
        node(0, e.before, e.after, 0.0, up.first);
    } else {
        // The inflow face carries phiA: no correction.
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
                      std::vector<double>& phi, double tolerance, int maxIterations) {
    const UpwindRows up = UpwindOf(o);
    const std::size_t n = phi.size();
    std::vector<double> residual, step, trial(n), trialResidual;
    Rows jacobian;
    std::unique_ptr<UpwindFactor> upwind;
    TvdIterations t;
    t.residual = Residual(lim, up, o, shift, extra, phi, residual);
    while (!(t.residual <= tolerance) && t.iterations < maxIterations && !std::isnan(t.residual)) {
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

// phi, and extra when given, must hold the grid's N values, N >= 1.
void CheckSizes(const Grid& g, const std::vector<double>& phi, const std::vector<double>& extra = {}) {
    if (g.N < 1 || phi.size() != static_cast<std::size_t>(g.N) || (!extra.empty() && extra.size() != phi.size()))
        throw std::invalid_argument("the bounded scheme's equations need N >= 1 values of phi (and of the extra "
                                    "right-hand side, if any), N = " +
                                    std::to_string(g.N) + ", " + std::to_string(phi.size()) + " given");
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

// A time step's stage through the balance's nodes, phi read backwards
// for a leftward flow.
template <bool Mixed, bool Checked, class L>
bool StageOf(const L& lim, const UpwindRows& up, const Rightward& o, const std::vector<double>& phi, double lambda,
             const std::vector<double>& base, double a, std::vector<double>& out, double limit) {
    out.resize(phi.size());
    const double* __restrict x = phi.data();
    const double* __restrict w = base.data();
    double* __restrict to = out.data();
    const double keep = 1 - a;
    unsigned bad = 0;
    auto update = [=, &bad](std::size_t i, double row) {
        const double v = x[i] - lambda * row;
        to[i] = Mixed ? a * w[i] + keep * v : v;
        if (Checked) bad |= unsigned(!(std::fabs(x[i]) <= limit));
    };
    const std::vector<double> none;
    if (o.mirrored)
        Visit<true>(lim, up, o, 0.0, none, phi, update);
    else
        Visit<false>(lim, up, o, 0.0, none, phi, update);
    return bad == 0;
}

}  // namespace

TvdStage::TvdStage(const Grid& g, double phiA, double phiB, Limiter l, double scale)
    : g_(g), phiA_(phiA), phiB_(phiB), scale_(scale), limiter_(l) {
    const UpwindRows up = UpwindOf(Orient(g, phiA, phiB));
    std::size_t j = 0;
    for (const UpwindRows::Row& r : {up.first, up.middle, up.last})
        for (double v : {r.aW, r.aP, r.aE, r.Su}) upwind_[j++] = v;
}

TvdStage::TvdStage(double (*psi)(double), const Grid& g, double phiA, double phiB, double scale)
    : TvdStage(g, phiA, phiB, Limiter::MinMod, scale) {
    limiter_.reset();
    psi_ = psi;
}

bool TvdStage::operator()(const std::vector<double>& phi, double lambda, const std::vector<double>& base, double a,
                          std::vector<double>& out, double limit) const {
    if (a == 0)
        CheckSizes(g_, phi);
    else
        CheckSizes(g_, phi, base);
    const Rightward o = Orient(g_, phiA_, phiB_);
    auto row = [&](std::size_t k) {
        return UpwindRows::Row{upwind_[4 * k], upwind_[4 * k + 1], upwind_[4 * k + 2], upwind_[4 * k + 3]};
    };
    const UpwindRows up{row(0), row(1), row(2)};
    const bool checked = !std::isinf(limit);
    auto go = [&](const auto& lim) {
        if (!checked)
            return a == 0 ? StageOf<false, false>(lim, up, o, phi, lambda, base, a, out, limit)
                          : StageOf<true, false>(lim, up, o, phi, lambda, base, a, out, limit);
        return a == 0 ? StageOf<false, true>(lim, up, o, phi, lambda, base, a, out, limit)
                      : StageOf<true, true>(lim, up, o, phi, lambda, base, a, out, limit);
    };
    if (!limiter_) return scale_ == 1 ? go(AnyPsi{psi_}) : go(Scaled<AnyPsi>{AnyPsi{psi_}, scale_});
    return WithLimiter(*limiter_, [&](auto lim) {
        return scale_ == 1 ? go(lim) : go(Scaled<decltype(lim)>{lim, scale_});
    });
}

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

double TvdTolerance(const Problem& p, const Grid& g) {
    return 1e-12 * std::max({1.0, std::fabs(p.phiA), std::fabs(p.phiB)}) * std::max(std::fabs(g.F), g.D);
}

TvdIterations SolveTvdSystem(const Grid& g, double phiA, double phiB, Limiter l, double shift,
                             const std::vector<double>& extra, std::vector<double>& phi, double tolerance,
                             int maxIterations) {
    CheckSizes(g, phi, extra);
    const Rightward o = Orient(g, phiA, phiB);
    if (!o.mirrored)
        return WithLimiter(l, [&](auto lim) { return Iterate(lim, o, shift, extra, phi, tolerance, maxIterations); });
    // The mirror image in place, turned back whatever happens.
    std::reverse(phi.begin(), phi.end());
    TvdIterations t;
    try {
        t = WithLimiter(
            l, [&](auto lim) { return Iterate(lim, o, shift, InOrder(o, extra), phi, tolerance, maxIterations); });
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
