// The bounded (TVD) schemes: the nine limiters with their slopes, the
// balance of every control volume, and Newton's method on those equations,
// its tridiagonal fallback being deferred correction on the upwind rows.
#include "tvd.hpp"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "band_solve.hpp"
#include "rows.hpp"

extern "C" {
void dgttrf_(const int* n, double* dl, double* d, double* du, double* du2, int* ipiv, int* info);
void dgttrs_(const char* trans, const int* n, const int* nrhs, const double* dl, const double* d, const double* du,
             const double* du2, const int* ipiv, double* b, const int* ldb, int* info);
}

namespace study {

namespace {

// psi and dpsi/dr at one r.
struct Slope {
    double psi, dpsi;
};

// Beyond this r every limiter is at its limit to within 1e-50; r is cut
// here so that no formula meets an infinity.
constexpr double kLargeR = 1e50;

// Each limiter's psi(r) as the table of the schemes writes it, and its slope
// piece by piece (the slope at a kink is the one of the piece to its right).
struct MinMod {
    static double Psi(double r) { return r > 0 ? std::min(r, 1.0) : 0.0; }
    static Slope Both(double r) { return r > 0 ? (r < 1 ? Slope{r, 1} : Slope{1, 0}) : Slope{0, 0}; }
};
struct VanLeer {
    static double Psi(double r) { return r > 0 ? (r + std::fabs(r)) / (1 + std::fabs(r)) : 0.0; }
    static Slope Both(double r) { return r > 0 ? Slope{Psi(r), 2 / ((1 + r) * (1 + r))} : Slope{0, 0}; }
};
struct VanAlbada {
    static double Psi(double r) { return r > 0 ? (r + r * r) / (1 + r * r) : 0.0; }
    static Slope Both(double r) {
        const double q = 1 + r * r;
        return r > 0 ? Slope{Psi(r), (1 + 2 * r - r * r) / (q * q)} : Slope{0, 0};
    }
};
struct Superbee {
    static double Psi(double r) { return r > 0 ? std::max(std::min(2 * r, 1.0), std::min(r, 2.0)) : 0.0; }
    static Slope Both(double r) {
        if (!(r > 0)) return {0, 0};
        if (r < 0.5) return {2 * r, 2};
        if (r < 1) return {1, 0};
        if (r < 2) return {r, 1};
        return {2, 0};
    }
};
struct MC {
    static double Psi(double r) { return r > 0 ? std::min({2 * r, (1 + r) / 2, 2.0}) : 0.0; }
    static Slope Both(double r) {
        if (!(r > 0)) return {0, 0};
        if (2 * r <= (1 + r) / 2) return {2 * r, 2};
        if (r < 3) return {(1 + r) / 2, 0.5};
        return {2, 0};
    }
};
struct Koren {
    static double Psi(double r) { return r > 0 ? std::min({2 * r, (2 + r) / 3, 2.0}) : 0.0; }
    static Slope Both(double r) {
        if (!(r > 0)) return {0, 0};
        if (2 * r <= (2 + r) / 3) return {2 * r, 2};
        if (r < 4) return {(2 + r) / 3, 1.0 / 3};
        return {2, 0};
    }
};
struct Ospre {
    static double Psi(double r) { return r > 0 ? 1.5 * (r * r + r) / (r * r + r + 1) : 0.0; }
    static Slope Both(double r) {
        const double q = r * r + r + 1;
        return r > 0 ? Slope{Psi(r), 1.5 * (2 * r + 1) / (q * q)} : Slope{0, 0};
    }
};
struct Umist {
    static double Psi(double r) { return r > 0 ? std::min({2 * r, (1 + 3 * r) / 4, (3 + r) / 4, 2.0}) : 0.0; }
    static Slope Both(double r) {
        if (!(r > 0)) return {0, 0};
        if (2 * r <= (1 + 3 * r) / 4) return {2 * r, 2};
        if (r < 1) return {(1 + 3 * r) / 4, 0.75};
        if (r < 5) return {(3 + r) / 4, 0.25};
        return {2, 0};
    }
};
struct QuickLimited {
    static double Psi(double r) { return r > 0 ? std::min({2 * r, (3 + r) / 4, 2.0}) : 0.0; }
    static Slope Both(double r) {
        if (!(r > 0)) return {0, 0};
        if (2 * r <= (3 + r) / 4) return {2 * r, 2};
        if (r < 5) return {(3 + r) / 4, 0.25};
        return {2, 0};
    }
};

// Any function of r, for the balances of the linear schemes it reproduces.
struct AnyPsi {
    double (*psi)(double);
    double Psi(double r) const { return psi(r); }
};

// Calls fn with the limiter as an object, so that the loops over the faces
// are compiled once for each limiter.
template <class Fn>
decltype(auto) WithLimiter(Limiter l, Fn&& fn) {
    switch (l) {
        case Limiter::MinMod: return fn(MinMod{});
        case Limiter::VanLeer: return fn(VanLeer{});
        case Limiter::VanAlbada: return fn(VanAlbada{});
        case Limiter::Superbee: return fn(Superbee{});
        case Limiter::MC: return fn(MC{});
        case Limiter::Koren: return fn(Koren{});
        case Limiter::Ospre: return fn(Ospre{});
        case Limiter::Umist: return fn(Umist{});
        case Limiter::QuickLimited: break;
    }
    return fn(QuickLimited{});
}

double Ratio(double a, double b) { return std::clamp(a / b, -kLargeR, kLargeR); }

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
Ends MirrorNodes(const Rightward& o, const std::vector<double>& phi) {
    return {2 * o.phiA - phi.front(), 2 * o.phiB - phi.back()};
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
// limited correction across it, + shift phi - extra; returns the largest
// magnitude, NaN if any is NaN. The first and last nodes, whose neighbours
// are mirror nodes, are done apart from the loop over the others.
template <class L>
double Residual(const L& lim, const UpwindRows& up, const Rightward& o, double shift, const std::vector<double>& extra,
                const std::vector<double>& phi, std::vector<double>& out) {
    const std::size_t n = phi.size();
    const Ends e = MirrorNodes(o, phi);
    const double F = o.g.F;
    out.resize(n);
    const double* x = phi.data();
    const double* more = extra.empty() ? nullptr : extra.data();
    double largest = 0, poison = 0;  // poison: NaN once a residual is NaN or infinite
    // At the ends `before` and `after` are the mirror nodes, whose
    // coefficients in the rows are 0.
    auto node = [&](std::size_t k, double before, double after, double west, const UpwindRows::Row& r) {
        const double east = Correction(lim, x[k] - before, after - x[k]);
        double row = (r.aP + shift) * x[k] + r.aW * before + r.aE * after - r.Su + F * (east - west);
        if (more) row -= more[k];
        out[k] = row;
        largest = std::max(largest, std::fabs(row));
        poison += 0 * row;
        return east;
    };
    if (n == 1) {
        node(0, e.before, e.after, 0.0, up.first);
    } else {
        // The inflow face carries phiA: no correction.
        double west = node(0, e.before, x[1], 0.0, up.first);
        for (std::size_t k = 1; k + 1 < n; ++k) west = node(k, x[k - 1], x[k + 1], west, up.middle);
        node(n - 1, x[n - 2], e.after, west, up.last);
    }
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

template <class L>
void Balance(const L& lim, const Grid& g, double phiA, double phiB, const std::vector<double>& phi,
             std::vector<double>& balance) {
    const Rightward o = Orient(g, phiA, phiB);
    const UpwindRows up = UpwindOf(o);
    Residual(lim, up, o, 0.0, {}, InOrder(o, phi), balance);
    if (o.mirrored) std::reverse(balance.begin(), balance.end());
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
                std::vector<double>& balance) {
    WithLimiter(l, [&](auto lim) { Balance(lim, g, phiA, phiB, phi, balance); });
}

void TvdBalanceWith(double (*psi)(double), const Grid& g, double phiA, double phiB, const std::vector<double>& phi,
                    std::vector<double>& balance) {
    Balance(AnyPsi{psi}, g, phiA, phiB, phi, balance);
}

double TvdTolerance(const Problem& p, const Grid& g) {
    return 1e-12 * std::max({1.0, std::fabs(p.phiA), std::fabs(p.phiB)}) * std::max(std::fabs(g.F), g.D);
}

TvdIterations SolveTvdSystem(const Grid& g, double phiA, double phiB, Limiter l, double shift,
                             const std::vector<double>& extra, std::vector<double>& phi, double tolerance,
                             int maxIterations) {
    const Rightward o = Orient(g, phiA, phiB);
    std::vector<double> x = InOrder(o, phi);
    const TvdIterations t = WithLimiter(
        l, [&](auto lim) { return Iterate(lim, o, shift, InOrder(o, extra), x, tolerance, maxIterations); });
    phi = InOrder(o, x);
    return t;
}

std::vector<Face> LimitedFaces(const Grid& g, double phiA, double phiB, Limiter l, const std::vector<double>& phi) {
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
