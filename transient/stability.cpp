// The stability verdicts of a time step: von Neumann's test on the interior
// row, the eigenvalues of this grid's step, positivity of both sides of a
// step and each limiter's TVD condition.
#include "stability.hpp"

#include <algorithm>
#include <cmath>
#include <deque>
#include <memory>
#include <limits>
#include <stdexcept>

#include "rows.hpp"
#include "eigenvalues.hpp"
#include "verdict_parts.hpp"

namespace transient {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kInf = std::numeric_limits<double>::infinity();

// The allowance on |g| of the matrix test. LAPACK's eigenvalues are exact
// to rounding only for a normal matrix; those of a non-normal one (QUICK,
// central at |cell Pe| > 2) move by up to about sqrt(eps) |K|, 1.5e-8 of
// the largest, so a mode whose |g| is 1 (a zero eigenvalue, a convected
// wave that neither grows nor decays) may come out a little above 1. A
// growth of 1e-7 a step takes ten million steps to reach a factor e, more
// steps than a run makes.
constexpr double kMatrixSlack = 1e-7;
// Von Neumann's |G| comes from s(k) itself, exact to rounding.
constexpr double kVonNeumannSlack = 1e-12;

double WaveNumber(int j) { return kPi * j / (kWaveNumbers - 1); }

// |G(k)| <= 1 is (1 - 2 theta) lambda |s|^2 <= 2 Re s, with nothing
// cancelling; so every lambda up to min over k of 2 Re s / ((1 - 2 theta)
// |s|^2) is stable, and none is when Re s < 0 somewhere.
double LargestStableLambda(const InteriorRow& row, double theta) {
    double scale = 0, rowSum = 0;
    for (double a : row.a) {
        scale += std::fabs(a);
        rowSum += a;
    }
    // Re s = row sum + sum over j != 0 of -A_j 2 sin^2(jk/2), so that the
    // small k, where s is nearly 0, lose nothing to cancellation; a row sum
    // at rounding level is 0.
    if (std::fabs(rowSum) <= 1e-12 * scale) rowSum = 0;
    double best = kInf;
    for (int j = 0; j < kWaveNumbers; ++j) {
        const double k = WaveNumber(j);
        double re = rowSum, im = 0;
        for (int o = -2; o <= 2; ++o) {
            const double a = row.a[std::size_t(o + 2)], half = std::sin(o * k / 2);
            if (o != 0) re -= a * 2 * half * half;
            im += a * std::sin(o * k);
        }
        if (re < -1e-14 * scale) return 0;
        const double norm = re * re + im * im;
        if (norm <= 0 || theta >= 0.5) continue;
        best = std::min(best, 2.0 * std::max(re, 0.0) / ((1.0 - 2.0 * theta) * norm));
    }
    // Near k = 0, s = i k I + k^2 R + ... with I = sum j A_j and R = -sum
    // j^2 A_j / 2, so the bound tends to 2 R / ((1 - 2 theta) I^2): 0 for a
    // row without second-order dissipation (QUICK or central without
    // diffusion), which no sampling of k reaches.
    double I = 0, R = 0;
    for (int o = -2; o <= 2; ++o) {
        I += o * row.a[std::size_t(o + 2)];
        R -= o * o * row.a[std::size_t(o + 2)] / 2;
    }
    if (rowSum == 0 && theta < 0.5 && std::fabs(I) > 1e-12 * scale)
        best = std::min(best, 2.0 * (R > 1e-12 * scale ? R : 0.0) / ((1.0 - 2.0 * theta) * I * I));
    return best;
}

// `value` rounded down to 3 significant digits.
double ThreeDigitsDown(double value) {
    if (!(value > 0) || !std::isfinite(value)) return value;
    const double unit = std::pow(10.0, std::floor(std::log10(value)) - 2);
    double digits = std::floor(value / unit * (1 + 1e-12));
    if (digits * unit > value * (1 + 1e-12)) digits -= 1;
    return digits * unit;
}

// What one step does to the mode of mu, z = dt mu: the theta-method's
// quotient, forward Euler (a Lax-Wendroff step), or the SSP Runge-Kutta
// polynomials P(-z).
std::complex<double> Growth(Method m, double theta, std::complex<double> z) {
    switch (m) {
        case Method::Theta: break;
        case Method::LaxWendroff: return 1.0 - z;
        case Method::Ssprk2: return 1.0 - z + z * z / 2.0;
        case Method::Ssprk3: return 1.0 - z + z * z / 2.0 - z * z * z / 6.0;
    }
    return (1.0 - (1.0 - theta) * z) / (1.0 + theta * z);
}

using Modes = std::vector<std::complex<double>>;

double MaxGrowth(Method m, double theta, double dt, const Modes& mu) {
    double most = 0;
    for (const std::complex<double>& x : mu) most = std::max(most, std::abs(Growth(m, theta, dt * x)));
    return most;
}

// The largest step in (floor, dt) for which ok holds, ok failing at dt: by
// bisection on log dt to a relative 1e-4, below the 3 digits reported; 0
// when ok fails at `floor`. Each mode's stable steps run from 0 up, so one
// boundary is all there is to find.
template <class Ok>
double Bisect(Ok ok, double floor, double dt) {
    if (!(floor < dt) || !ok(floor)) return 0;
    double lo = floor, hi = dt;
    while (hi > lo * (1 + 1e-4)) {
        const double mid = std::sqrt(lo * hi);
        (ok(mid) ? lo : hi) = mid;
    }
    return lo;
}

// The largest step of the theta-method with every |g| <= 1: for each mode
// (1 - 2 theta) dt |mu|^2 <= 2 Re mu. A zero eigenvalue has g = 1 at every
// step; a Re mu below 0 beyond rounding is stable for no smaller step.
double LargestThetaDt(const Modes& mu, double theta) {
    double top = 0;
    for (const std::complex<double>& x : mu) top = std::max(top, std::abs(x));
    double best = kInf;
    for (const std::complex<double>& x : mu) {
        const double size = std::abs(x);
        if (size <= 1e-12 * top) continue;
        const double re = x.real() < -kMatrixSlack * size ? x.real() : std::max(x.real(), 0.0);
        if (re < 0) return 0;
        if (theta < 0.5) best = std::min(best, 2 * re / ((1 - 2 * theta) * size * size));
    }
    return best;
}

// The step at c = 1 (u = 0: at d = 1), the scale below which a largest
// stable step is rounding's, not the scheme's.
double ReferenceDt(const study::Problem& p, long N) {
    const double dx = study::MakeGrid(p, N).Narrowest();
    if (p.u != 0) return dx / std::fabs(p.u);
    return p.gamma > 0 ? p.rho * dx * dx / p.gamma : kInf;
}


// The spectra of the last few grids asked about, for this thread: a run, a
// window or a test asks about the same grid at step after step.
std::shared_ptr<const Spectrum> RecentSpectrum(const study::Problem& p, study::Scheme s, long N) {
    struct Entry {
        std::array<double, 14> problem;
        study::Scheme scheme;
        long N;
        std::shared_ptr<const Spectrum> spectrum;
    };
    thread_local std::deque<Entry> recent;
    const std::array<double, 14> key{double(p.left.kind), p.left.value, p.left.h, double(p.right.kind),
                                     p.right.value, p.right.h, p.u, p.L, p.rho, p.gamma, p.su, p.sp,
                                     double(p.periodic), 0.0};
    for (const Entry& e : recent)
        if (e.problem == key && e.scheme == s && e.N == N) return e.spectrum;
    auto made = std::make_shared<const Spectrum>(SpectrumOf(p, s, N));
    recent.push_front({key, s, N, made});
    if (recent.size() > 8) recent.pop_back();
    return made;
}

}  // namespace

Numbers NumbersOf(const study::Problem& p, long N, double dt) {
    // On unequal cells the narrowest cell has the largest c and d: it decides.
    const study::Grid g = study::MakeGrid(p, N);
    const double dx = g.Narrowest();
    Numbers n;
    n.courant = std::fabs(p.u) * dt / dx;
    n.diffusion = p.gamma * dt / (p.rho * dx * dx);
    n.lambda = dt / (p.rho * g.dx);
    const double F = p.rho * p.u, D = p.gamma / dx;
    n.cellPeclet = F == 0 ? 0.0 : D == 0 ? std::copysign(kInf, F) : F / D;
    return n;
}

InteriorRow InteriorRowOf(const study::Problem& p, study::Scheme s, long N) {
    return MiddleRow(Rows(SevenVolumes(p, N), s, 7));
}

std::complex<double> Symbol(const InteriorRow& row, double k) {
    std::complex<double> s = 0;
    for (int j = -2; j <= 2; ++j) s += row.a[std::size_t(j + 2)] * std::polar(1.0, j * k);
    return s;
}

std::complex<double> Amplification(const InteriorRow& row, double theta, double lambda, double k) {
    const std::complex<double> ls = lambda * Symbol(row, k);
    return (1.0 - (1.0 - theta) * ls) / (1.0 + theta * ls);
}

Verdict Assess(const study::Problem& p, study::Scheme s, long N, Method m, double theta, double dt,
               const Spectrum* spectrum) {
    const Numbers n = NumbersOf(p, N, dt);
    const double rhoDx = p.rho * p.L / double(N), floor = 1e-9 * ReferenceDt(p, N);
    // A largest step as reported: 3 digits rounded down, 0 below rounding's scale.
    const auto reported = [&](double largest) { return largest < floor ? 0.0 : ThreeDigitsDown(largest); };
    Verdict v;
    if (const std::optional<study::Limiter> l = study::LimiterOf(s)) {
        TvdVerdict(n, m, theta, dt, *l, p.periodic, v);
        // The bound is derived for a fixed inflow value: at a gradient or a
        // wall the inflow face's value moves with phi_1, and runs have
        // broken it there. Nothing is promised.
        const study::End& inflow = p.u >= 0 ? p.left : p.right;
        if (!p.periodic && !inflow.IsValue() && p.u != 0) {
            v.tvdUnproven = true;
            v.tvdHolds = false;
            v.largestTvdDt.reset();
        }
        if (v.largestTvdDt) v.largestTvdDt = reported(*v.largestTvdDt);
        v.matrixNotTested = "a bounded scheme's equations are not linear: its TVD condition decides instead";
        v.stable = v.tvdHolds;
        v.largestStableDt = v.largestTvdDt;
        return v;
    }
    if (m == Method::LaxWendroff && s != study::Scheme::Central && s != study::Scheme::Upwind)
        throw std::invalid_argument("flux-limited Lax-Wendroff takes central, upwind or a limiter, not " +
                                    std::string(study::Title(s)));
    const bool lw = m == Method::LaxWendroff;
    const double th = ExplicitTheta(m, theta);

    // Von Neumann.
    double vonNeumannLargest = kInf;
    if (m == Method::Theta) {
        const InteriorRow row = InteriorRowOf(p, s, N);
        for (int j = 0; j < kWaveNumbers; ++j)
            v.maxAmplification =
                std::max(v.maxAmplification, std::abs(Amplification(row, theta, n.lambda, WaveNumber(j))));
        v.vonNeumannStable = v.maxAmplification <= 1.0 + kVonNeumannSlack;
        // |G| a rounding's width above 1 where s(k) is nearly 0 (small k, a
        // row sum of rounding size) is no instability: the test free of
        // that cancellation decides, so that "unstable" always comes with a
        // step below this one that is stable.
        const double largest = LargestStableLambda(row, theta) * rhoDx;
        if (!v.vonNeumannStable && dt <= largest) v.vonNeumannStable = true;
        if (!v.vonNeumannStable) vonNeumannLargest = largest;
    } else {
        // The modes s(k) / (rho dx); a Lax-Wendroff row changes with c.
        const auto modes = [&](double step) {
            const InteriorRow row =
                lw ? MiddleRow(LaxWendroffRows(SevenVolumes(p, N), s, 7, step)) : InteriorRowOf(p, s, N);
            Modes mu(kWaveNumbers);
            for (int j = 0; j < kWaveNumbers; ++j) mu[std::size_t(j)] = Symbol(row, WaveNumber(j)) / rhoDx;
            return mu;
        };
        const auto ok = [&](double step) { return MaxGrowth(m, 0, step, modes(step)) <= 1 + kVonNeumannSlack; };
        v.maxAmplification = MaxGrowth(m, 0, dt, modes(dt));
        v.vonNeumannStable = v.maxAmplification <= 1 + kVonNeumannSlack;
        if (!v.vonNeumannStable) vonNeumannLargest = Bisect(ok, floor, dt);
    }
    if (!v.vonNeumannStable) v.vonNeumannLargestDt = reported(vonNeumannLargest);

    // This grid's matrix.
    const std::shared_ptr<const Spectrum> own = spectrum ? nullptr : RecentSpectrum(p, s, N);
    const Spectrum& sp = spectrum ? *spectrum : *own;
    v.steadySingular = sp.singular;
    v.steadyNearlySingular = sp.nearlySingular;
    v.matrixTested = sp.tested;
    v.matrixNotTested = sp.why;
    double matrixLargest = kInf;
    if (sp.tested) {
        const auto modes = [&](double step) {
            if (!lw) return sp.mu;
            Modes mu = BandEigenvalues(LaxWendroffRows(p, s, N, step));
            for (std::complex<double>& x : mu) x /= rhoDx;
            return mu;
        };
        const auto ok = [&](double step) { return MaxGrowth(m, th, step, modes(step)) <= 1 + kMatrixSlack; };
        v.matrixMaxAmplification = MaxGrowth(m, th, dt, modes(dt));
        v.matrixStable = v.matrixMaxAmplification <= 1 + kMatrixSlack;
        if (!v.matrixStable) {
            matrixLargest = m == Method::Theta ? LargestThetaDt(sp.mu, theta) : kInf;
            // The closed form and |g| may part by rounding at this very step.
            if (matrixLargest >= dt) matrixLargest = Bisect(ok, floor, dt);
            v.matrixLargestDt = reported(matrixLargest);
        }
        if (v.vonNeumannStable && !v.matrixStable)
            v.decidingRows = s == study::Scheme::Quick ? "QUICK's end rows" : "the end rows";
        else if (!v.vonNeumannStable && v.matrixStable)
            v.decidingRows = "the interior rows, on an endless grid: every eigenvalue of this grid's step (" +
                             std::to_string(N) + " volumes) has |g| <= 1";
    }

    // Positivity, on the rows of this very step.
    PositivityVerdict(lw ? LaxWendroffRows(p, s, N, dt) : Rows(p, s, N), rhoDx, th, dt, Blame(s, m, n), v);
    if (lw) {
        // A Lax-Wendroff step's coefficients change with c: the largest
        // positive step is searched for, and only below a step that is not.
        if (v.positiveBlocker.empty()) v.largestPositiveDt.reset();
        if (!v.positive && v.positiveBlocker.empty()) {
            const auto ok = [&](double step) {
                Verdict at;
                PositivityVerdict(LaxWendroffRows(p, s, N, step), rhoDx, 0, step, "", at);
                return at.positive;
            };
            v.largestPositiveDt = Bisect(ok, floor, dt);
        }
    }
    if (v.largestPositiveDt) v.largestPositiveDt = reported(*v.largestPositiveDt);

    v.stable = v.vonNeumannStable && (!sp.tested || v.matrixStable);
    if (!v.stable) v.largestStableDt = reported(std::min(vonNeumannLargest, matrixLargest));
    return v;
}

}  // namespace transient
