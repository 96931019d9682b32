// The eigenvalues of the steady matrix by its structure, its conditioning,
// and the spectrum of M^-1 K the stability verdicts use.
#include "eigenvalues.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <limits>
#include <stdexcept>
#include <string>

#include "rows.hpp"
#include "stability.hpp"

extern "C" {
void dsterf_(const int* n, double* d, double* e, int* info);
void dgebal_(const char* job, const int* n, double* a, const int* lda, int* ilo, int* ihi, double* scale, int* info);
void dlahqr_(const int* wantt, const int* wantz, const int* n, const int* ilo, const int* ihi, double* h,
             const int* ldh, double* wr, double* wi, const int* iloz, const int* ihiz, double* z, const int* ldz,
             int* info);
void dhseqr_(const char* job, const char* compz, const int* n, const int* ilo, const int* ihi, double* h,
             const int* ldh, double* wr, double* wi, double* z, const int* ldz, double* work, const int* lwork,
             int* info);
void dgeev_(const char* jobvl, const char* jobvr, const int* n, double* a, const int* lda, double* wr, double* wi,
            double* vl, const int* ldvl, double* vr, const int* ldvr, double* work, const int* lwork, int* info);
void dgttrf_(const int* n, double* dl, double* d, double* du, double* du2, int* ipiv, int* info);
void dgtcon_(const char* norm, const int* n, const double* dl, const double* d, const double* du, const double* du2,
             const int* ipiv, const double* anorm, double* rcond, double* work, int* iwork, int* info);
void dgbtrf_(const int* m, const int* n, const int* kl, const int* ku, double* ab, const int* ldab, int* ipiv,
             int* info);
void dgbcon_(const char* norm, const int* n, const int* kl, const int* ku, const double* ab, const int* ldab,
             const int* ipiv, const double* anorm, double* rcond, double* work, int* iwork, int* info);
}

namespace transient {

// K(i, i + o) for |o| <= 2, 0 outside the matrix (either index) and the bands.
double At(const study::Rows& K, long i, int o) {
    const long n = long(K.aP.size()), j = i + o;
    if (i < 0 || i >= n || j < 0 || j >= n) return 0;
    const auto e = std::size_t(i);
    switch (o) {
        case -2: return K.FiveBand() ? K.aWW[e] : 0.0;
        case -1: return K.aW[e];
        case 0: return K.aP[e];
        case 1: return K.aE[e];
        case 2: return K.FiveBand() ? K.aEE[e] : 0.0;
    }
    return 0;
}

namespace {

using Eigen = std::vector<std::complex<double>>;

bool AllZero(const std::vector<double>& v) {
    return std::all_of(v.begin(), v.end(), [](double x) { return x == 0; });
}

void Append(Eigen& out, const std::vector<double>& wr, const std::vector<double>& wi) {
    for (std::size_t i = 0; i < wr.size(); ++i) out.emplace_back(wr[i], wi[i]);
}

// The eigenvalues of the dense upper Hessenberg matrix h (n x n, by
// columns): dlahqr, dhseqr where it reports failure. On QUICK's rows, scaled
// as below, reference LAPACK's dlahqr was the faster at every N measured (N =
// 2000, cell Pe 5: 6.5 s against dhseqr's 9.9 s; Pe 0.5: 5.9 s against 12 s).
void Hessenberg(int n, std::vector<double>& h, Eigen& out) {
    int ilo = 1, ihi = n, info = 0;
    // Scaling only: a permutation would undo the Hessenberg form.
    std::vector<double> scale(static_cast<std::size_t>(n), 1.0);
    dgebal_("S", &n, h.data(), &n, &ilo, &ihi, scale.data(), &info);
    const std::vector<double> kept = h;
    std::vector<double> wr(static_cast<std::size_t>(n)), wi(static_cast<std::size_t>(n));
    const int one = 1;
    double z = 0;
    const auto small = [&] {
        const int no = 0;
        dlahqr_(&no, &no, &n, &ilo, &ihi, h.data(), &n, wr.data(), wi.data(), &one, &one, &z, &one, &info);
    };
    const auto multishift = [&] {
        int lwork = -1;
        double query = 0;
        dhseqr_("E", "N", &n, &ilo, &ihi, h.data(), &n, wr.data(), wi.data(), &z, &one, &query, &lwork, &info);
        lwork = std::max(n, int(query));
        std::vector<double> work(static_cast<std::size_t>(lwork));
        dhseqr_("E", "N", &n, &ilo, &ihi, h.data(), &n, wr.data(), wi.data(), &z, &one, work.data(), &lwork, &info);
    };
    small();
    if (info != 0) {
        h = kept;
        multishift();
    }
    if (info != 0)
        throw std::runtime_error("LAPACK's QR did not converge on the " + std::to_string(n) + " x " +
                                 std::to_string(n) + " steady matrix");
    Append(out, wr, wi);
}

// The eigenvalues of the complex symmetric tridiagonal matrix with diagonal
// d and off-diagonal e (e[i] couples i and i + 1), by the implicit QL
// iteration of the symmetric case (EISPACK's tql1) in complex arithmetic:
// its rotations are complex orthogonal, c^2 + s^2 = 1, O(n^2) in all.
// Overwrites d with the eigenvalues. Returns false when a rotation breaks
// down (p^2 + e^2 = 0) or an eigenvalue takes more than 30 iterations.
bool ComplexSymmetricQl(std::vector<std::complex<double>>& d, std::vector<std::complex<double>> e) {
    using C = std::complex<double>;
    const std::size_t n = d.size();
    e.resize(n, 0.0);
    C f = 0;
    double tst1 = 0;
    for (std::size_t l = 0; l < n; ++l) {
        tst1 = std::max(tst1, std::abs(d[l]) + std::abs(e[l]));
        for (int iteration = 0;; ++iteration) {
            std::size_t m = l;
            while (m + 1 < n && tst1 + std::abs(e[m]) != tst1) ++m;
            if (m == l) break;
            if (iteration == 30) return false;
            // The shift: the eigenvalue of the leading 2 x 2 nearer d[l].
            C g = d[l], p = (d[l + 1] - g) / (2.0 * e[l]), r = std::sqrt(p * p + 1.0);
            if (std::abs(p - r) > std::abs(p + r)) r = -r;
            d[l] = e[l] / (p + r);
            d[l + 1] = e[l] * (p + r);
            const C dl1 = d[l + 1], el1 = e[l + 1];
            C h = g - d[l];
            for (std::size_t i = l + 2; i < n; ++i) d[i] -= h;
            f += h;
            p = d[m];
            C c = 1, c2 = 1, c3 = 1, s = 0, s2 = 0;
            for (std::size_t i = m; i-- > l;) {
                c3 = c2;
                c2 = c;
                s2 = s;
                g = c * e[i];
                h = c * p;
                r = std::sqrt(p * p + e[i] * e[i]);
                if (!(std::abs(r) > 1e-8 * (std::abs(p) + std::abs(e[i])))) return false;
                e[i + 1] = s * r;
                s = e[i] / r;
                c = p / r;
                p = c * d[i] - s * g;
                d[i + 1] = h + s * (c * g + s * d[i]);
            }
            p = -s * s2 * c3 * el1 * e[l] / dl1;
            e[l] = s * p;
            d[l] = c * p;
        }
        d[l] += f;
    }
    for (const C& x : d)
        if (!std::isfinite(x.real()) || !std::isfinite(x.imag())) return false;
    return true;
}

// The block [lo, hi) of a three-point K.
void TridiagonalBlock(const study::Rows& K, long lo, long hi, Eigen& out) {
    const int n = int(hi - lo);
    bool symmetric = true;
    for (long i = lo; i + 1 < hi; ++i) symmetric = symmetric && At(K, i + 1, -1) * At(K, i, 1) > 0;
    if (symmetric) {
        std::vector<double> d(K.aP.begin() + lo, K.aP.begin() + hi), e(std::size_t(std::max(n - 1, 1)));
        // sqrt of each factor, so that the product cannot overflow.
        for (long i = lo; i + 1 < hi; ++i)
            e[std::size_t(i - lo)] = std::sqrt(std::fabs(At(K, i + 1, -1))) * std::sqrt(std::fabs(At(K, i, 1)));
        int info = 0;
        dsterf_(&n, d.data(), e.data(), &info);
        if (info != 0) throw std::runtime_error("LAPACK's dsterf did not converge on the steady matrix");
        for (double x : d) out.emplace_back(x, 0.0);
        return;
    }
    // Some product negative: the same scaling with sqrt(product) imaginary
    // there gives a complex symmetric matrix, again with no scale factor
    // that could overflow on a long grid.
    std::vector<std::complex<double>> cd(K.aP.begin() + lo, K.aP.begin() + hi), ce;
    for (long i = lo; i + 1 < hi; ++i) {
        const double a = At(K, i + 1, -1), b = At(K, i, 1);
        const double root = std::sqrt(std::fabs(a)) * std::sqrt(std::fabs(b));
        ce.push_back((a > 0) == (b > 0) ? std::complex<double>(root, 0) : std::complex<double>(0, root));
    }
    if (ComplexSymmetricQl(cd, ce)) {
        out.insert(out.end(), cd.begin(), cd.end());
        return;
    }
    // Else the real form of the same scaling, off-diagonals of size
    // sqrt|product| with their own signs, by the Hessenberg QR.
    std::vector<double> h(std::size_t(n) * std::size_t(n), 0.0);
    for (long i = lo; i < hi; ++i) {
        const std::size_t r = std::size_t(i - lo);
        h[r + r * std::size_t(n)] = At(K, i, 0);
        if (i + 1 == hi) continue;
        const double root = std::abs(ce[r]);
        h[r + (r + 1) * std::size_t(n)] = std::copysign(root, At(K, i, 1));
        h[r + 1 + r * std::size_t(n)] = std::copysign(root, At(K, i + 1, -1));
    }
    Hessenberg(n, h, out);
}

// The block [lo, hi) of H, upper Hessenberg with two super-diagonals:
// H(i, i + o) = entry(i, o).
template <class Entry>
void HessenbergBlock(long lo, long hi, Entry entry, Eigen& out) {
    const int n = int(hi - lo);
    std::vector<double> h(std::size_t(n) * std::size_t(n), 0.0);
    for (long i = lo; i < hi; ++i)
        for (int o = -1; o <= 2; ++o)
            if (i + o >= lo && i + o < hi) h[std::size_t(i - lo) + std::size_t(i + o - lo) * std::size_t(n)] = entry(i, o);
    if (n == 1)
        out.emplace_back(h[0], 0.0);
    else
        Hessenberg(n, h, out);
}

// Any banded K: the dense general eigenvalue routine.
void Dense(const study::Rows& K, Eigen& out) {
    const int n = int(K.aP.size());
    std::vector<double> a(std::size_t(n) * std::size_t(n), 0.0), wr(static_cast<std::size_t>(n)), wi(static_cast<std::size_t>(n));
    for (long i = 0; i < n; ++i)
        for (int o = -2; o <= 2; ++o)
            if (i + o >= 0 && i + o < n) a[std::size_t(i) + std::size_t(i + o) * std::size_t(n)] = At(K, i, o);
    int lwork = -1, info = 0;
    const int one = 1;
    double query = 0, v = 0;
    dgeev_("N", "N", &n, a.data(), &n, wr.data(), wi.data(), &v, &one, &v, &one, &query, &lwork, &info);
    lwork = std::max(4 * n, int(query));
    std::vector<double> work(static_cast<std::size_t>(lwork));
    dgeev_("N", "N", &n, a.data(), &n, wr.data(), wi.data(), &v, &one, &v, &one, work.data(), &lwork, &info);
    if (info != 0) throw std::runtime_error("LAPACK's dgeev did not converge on the steady matrix");
    Append(out, wr, wi);
}

}  // namespace

std::vector<std::complex<double>> BandEigenvalues(const study::Rows& K) {
    const long n = long(K.aP.size());
    if (K.cyclic) {
        // Circulant: the eigenvalues are the row's symbol at the grid's own
        // wave numbers 2 pi j / N, its eigenvectors the Fourier modes.
        std::vector<std::complex<double>> mu;
        for (long j = 0; j < n; ++j) {
            const double k = 2 * std::numbers::pi * double(j) / double(n);
            std::complex<double> s = K.aP[0];
            s += K.aW[0] * std::polar(1.0, -k) + K.aE[0] * std::polar(1.0, k);
            if (K.FiveBand()) s += K.aWW[0] * std::polar(1.0, -2 * k) + K.aEE[0] * std::polar(1.0, 2 * k);
            mu.push_back(s);
        }
        return mu;
    }
    Eigen out;
    out.reserve(static_cast<std::size_t>(n));
    const bool noWW = !K.FiveBand() || AllZero(K.aWW), noEE = !K.FiveBand() || AllZero(K.aEE);
    if (noWW && noEE) {
        // A zero product K(i+1,i) K(i,i+1) makes the matrix block triangular.
        long lo = 0;
        for (long i = 0; i < n; ++i)
            if (i + 1 == n || At(K, i + 1, -1) * At(K, i, 1) == 0) {
                TridiagonalBlock(K, lo, i + 1, out);
                lo = i + 1;
            }
        return out;
    }
    if (!noWW && !noEE) {
        Dense(K, out);
        return out;
    }
    // First the diagonal similarity D^-1 K D that gives the bands either
    // side of the diagonal equal sizes, d_i / d_(i+1) = sqrt|K(i,i+1) /
    // K(i+1,i)|: what dgebal aims at, but taken entry by entry, so that a
    // scale beyond the range of a double does not stop it. QUICK at cell
    // Pe 5 has a ratio of 2.5 a row, 10^789 over 2000 rows: unscaled, its
    // eigenvalues are so ill-conditioned that two QR codes disagree in the
    // first digit of the largest |g|.
    std::vector<double> q(static_cast<std::size_t>(n), 1.0);  // d_i / d_(i+1)
    for (long i = 0; i + 1 < n; ++i) {
        const double up = At(K, i, 1), down = At(K, i + 1, -1);
        if (up != 0 && down != 0) q[std::size_t(i)] = std::sqrt(std::fabs(up)) / std::sqrt(std::fabs(down));
    }
    const auto scaled = [&](long i, int o) {
        if (i + o < 0 || i + o >= n) return 0.0;
        double f = 1;  // d_(i+o) / d_i
        for (int k = 0; k < o; ++k) f /= q[std::size_t(i + k)];
        for (int k = 1; k <= -o; ++k) f *= q[std::size_t(i - k)];
        return At(K, i, o) * f;
    };
    // Upper Hessenberg: K itself when nothing is below its sub-diagonal,
    // else its transpose (the same eigenvalues). A zero sub-diagonal entry
    // splits it.
    const auto entry = [&](long i, int o) { return noWW ? scaled(i, o) : scaled(i + o, -o); };
    long lo = 0;
    for (long i = 0; i < n; ++i)
        if (i + 1 == n || entry(i + 1, -1) == 0) {
            HessenbergBlock(lo, i + 1, entry, out);
            lo = i + 1;
        }
    return out;
}

double ReciprocalCondition(const study::Rows& K) {
    const int n = int(K.aP.size());
    double anorm = 0;
    for (long j = 0; j < n; ++j) {
        double column = 0;
        for (int o = -2; o <= 2; ++o) column += std::fabs(At(K, j - o, o));
        anorm = std::max(anorm, column);
    }
    if (anorm == 0) return 0;
    int info = 0;
    double rcond = 0;
    std::vector<int> ipiv(static_cast<std::size_t>(n)), iwork(static_cast<std::size_t>(n));
    const bool five = K.FiveBand() && !(AllZero(K.aWW) && AllZero(K.aEE));
    if (!five) {
        std::vector<double> dl(std::size_t(std::max(n - 1, 1))), d = K.aP, du(dl.size()), du2(dl.size());
        for (long i = 0; i + 1 < n; ++i) {
            dl[std::size_t(i)] = At(K, i + 1, -1);
            du[std::size_t(i)] = At(K, i, 1);
        }
        dgttrf_(&n, dl.data(), d.data(), du.data(), du2.data(), ipiv.data(), &info);
        if (info > 0) return 0;
        std::vector<double> work(2 * std::size_t(n));
        dgtcon_("1", &n, dl.data(), d.data(), du.data(), du2.data(), ipiv.data(), &anorm, &rcond, work.data(),
                iwork.data(), &info);
        return rcond;
    }
    // Band storage: A(i, j) in row kl + ku + i - j of column j.
    const int kl = 2, ku = 2, ldab = 2 * kl + ku + 1;
    std::vector<double> ab(std::size_t(ldab) * std::size_t(n), 0.0);
    for (long i = 0; i < n; ++i)
        for (int o = -2; o <= 2; ++o)
            if (i + o >= 0 && i + o < n) ab[std::size_t(kl + ku - o) + std::size_t(i + o) * std::size_t(ldab)] = At(K, i, o);
    dgbtrf_(&n, &n, &kl, &ku, ab.data(), &ldab, ipiv.data(), &info);
    if (info > 0) return 0;
    std::vector<double> work(3 * std::size_t(n));
    dgbcon_("1", &n, &kl, &ku, ab.data(), &ldab, ipiv.data(), &anorm, &rcond, work.data(), iwork.data(), &info);
    return rcond;
}

Spectrum SpectrumOf(const study::Problem& p, study::Scheme s, long N) {
    Spectrum sp;
    if (IsTvd(s)) {
        sp.why = "a bounded scheme's equations are not linear: its TVD condition decides instead";
        return sp;
    }
    if (p.periodic) {
        // Circulant: its eigenvalues are the interior row's symbol at the
        // grid's own wave numbers 2 pi j / N, and its eigenvectors the
        // Fourier modes, orthogonal: von Neumann's analysis is exact here.
        const double m = p.rho * p.L / double(N);
        // Without a sink the mean (j = 0) is conserved, as it should be: the
        // other modes decide whether some mode is never damped.
        double least = std::numeric_limits<double>::infinity(), largest = 0;
        const std::vector<std::complex<double>> all = BandEigenvalues(Rows(p, s, N));
        for (std::size_t j = 0; j < all.size(); ++j) {
            const std::complex<double> mu = all[j] / m;
            sp.mu.push_back(mu);
            if (j > 0 || p.sp != 0) least = std::min(least, std::abs(mu));
            largest = std::max(largest, std::abs(mu));
        }
        if (N == 1 && p.sp == 0) least = largest;
        sp.conditioning = largest > 0 ? least / largest : 0;
        sp.singular = sp.conditioning <= double(N) * std::numeric_limits<double>::epsilon();
        sp.nearlySingular = !sp.singular && sp.conditioning < 1e-8;
        sp.tested = true;
        return sp;
    }
    const study::Rows K = Rows(p, s, N);
    // A condition number beyond 1/(N eps) is rounding's own: K is singular
    // as far as a double can tell. Beyond 1e8 a steady solve keeps fewer
    // than half of a double's digits: nearly singular.
    sp.conditioning = ReciprocalCondition(K);
    sp.singular = sp.conditioning <= double(N) * std::numeric_limits<double>::epsilon();
    sp.nearlySingular = !sp.singular && sp.conditioning < 1e-8;
    if (N > kMatrixLimit) {
        sp.why = "the matrix test is exact only up to N = " + std::to_string(kMatrixLimit) + "; at N = " +
                 std::to_string(N) + " its eigenvalues would take too long";
        return sp;
    }
    const double m = p.rho * p.L / double(N);
    for (const std::complex<double>& k : BandEigenvalues(K)) sp.mu.push_back(k / m);
    sp.tested = true;
    return sp;
}

}  // namespace transient
