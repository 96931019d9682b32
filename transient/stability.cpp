#include "stability.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "rows.hpp"

namespace transient {

namespace {

constexpr double kPi = 3.14159265358979323846;

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
    double best = std::numeric_limits<double>::infinity();
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

}  // namespace

Numbers NumbersOf(const study::Problem& p, long N, double dt) {
    const double dx = p.L / static_cast<double>(N);
    Numbers n;
    n.courant = std::fabs(p.u) * dt / dx;
    n.diffusion = p.gamma * dt / (p.rho * dx * dx);
    n.lambda = dt / (p.rho * dx);
    const double F = p.rho * p.u, D = p.gamma / dx;
    n.cellPeclet = F == 0 ? 0.0 : D == 0 ? std::copysign(std::numeric_limits<double>::infinity(), F) : F / D;
    return n;
}

InteriorRow InteriorRowOf(const study::Problem& p, study::Scheme s, long N) {
    // The same dx on a grid of seven volumes, whose middle row is interior
    // for every scheme.
    study::Problem small = p;
    small.L = p.L / static_cast<double>(N) * 7.0;
    const study::Rows r = Rows(small, s, 7);
    InteriorRow row;
    row.a = {r.FiveBand() ? r.aWW[3] : 0.0, r.aW[3], r.aP[3], r.aE[3], r.FiveBand() ? r.aEE[3] : 0.0};
    row.su = r.Su[3];
    return row;
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

Spectrum SpectrumOf(const study::Problem&, study::Scheme, long) {
    Spectrum sp;
    sp.why = "not yet computed";
    return sp;
}

double Beta(study::Limiter l) { return l == study::Limiter::MinMod ? 1.0 : 2.0; }

Verdict Assess(const study::Problem& p, study::Scheme s, long N, Method, double theta, double dt, const Spectrum*) {
    const Numbers n = NumbersOf(p, N, dt);
    Verdict v;
    if (IsTvd(s)) {
        v.tvd = true;
        v.stable = (1.0 - theta) * (2.0 * n.courant + 2.0 * n.diffusion) <= 1.0 + 1e-12;
        // c and d grow in proportion to dt.
        if (!v.stable) v.largestStableDt = ThreeDigitsDown(dt / ((1.0 - theta) * (2.0 * n.courant + 2.0 * n.diffusion)));
        return v;
    }
    const InteriorRow row = InteriorRowOf(p, s, N);
    for (int j = 0; j < kWaveNumbers; ++j)
        v.maxAmplification = std::max(v.maxAmplification, std::abs(Amplification(row, theta, n.lambda, WaveNumber(j))));
    v.stable = v.maxAmplification <= 1.0 + 1e-12;
    if (!v.stable) {
        // |G| a rounding's width above 1 where s(k) is nearly 0 (small k,
        // a row sum of rounding size) is no instability: the test free of
        // that cancellation decides, so that "unstable" always comes with a
        // step below this one that is stable.
        const double largest = LargestStableLambda(row, theta);
        if (n.lambda <= largest)
            v.stable = true;
        else
            v.largestStableDt = ThreeDigitsDown(largest * p.rho * p.L / double(N));
    }

    const double explicitShare = (1.0 - theta) * n.lambda;
    double scale = 0;
    for (double a : row.a) scale = std::max(scale, std::fabs(a));
    v.positive = 1.0 - explicitShare * row.a[2] >= -1e-12;
    for (int j : {0, 1, 3, 4})
        v.positive = v.positive && -(1.0 - theta) * row.a[std::size_t(j)] >= -1e-12 * scale;
    return v;
}

}  // namespace transient
