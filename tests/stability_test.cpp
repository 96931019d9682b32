// The stability verdicts against the cases worked by hand, the closed forms,
// brute-force searches and the dense step operator at small N.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <random>

#include "study/limiters.hpp"
#include "study/tvd.hpp"
#include "transient/rows.hpp"
#include "transient/eigenvalues.hpp"
#include "transient/stability.hpp"

extern "C" {
void dgesv_(const int* n, const int* nrhs, double* a, const int* lda, int* ipiv, double* b, const int* ldb, int* info);
void zgeev_(const char* jobvl, const char* jobvr, const int* n, std::complex<double>* a, const int* lda,
            std::complex<double>* w, std::complex<double>* vl, const int* ldvl, std::complex<double>* vr,
            const int* ldvr, std::complex<double>* work, const int* lwork, double* rwork, int* info);
void dgeev_(const char* jobvl, const char* jobvr, const int* n, double* a, const int* lda, double* wr, double* wi,
            double* vl, const int* ldvl, double* vr, const int* ldvr, double* work, const int* lwork, int* info);
}

using study::Scheme;
using transient::Assess;
using transient::Method;

namespace {

study::Problem Case(double u, double gamma, double phiA = 0, double phiB = 0) {
    study::Problem p;
    p.u = u;
    p.gamma = gamma;
    p.left = study::End::Fixed(phiA);
    p.right = study::End::Fixed(phiB);
    return p;
}

// The spectral radius of a dense n x n matrix (by columns).
double SpectralRadius(std::vector<double> a, int n) {
    std::vector<double> wr(static_cast<std::size_t>(n)), wi(wr), work(static_cast<std::size_t>(8 * n));
    int lwork = 8 * n, info = 0, one = 1;
    double v = 0;
    dgeev_("N", "N", &n, a.data(), &n, wr.data(), wi.data(), &v, &one, &v, &one, work.data(), &lwork, &info);
    EXPECT_EQ(info, 0);
    double most = 0;
    for (int i = 0; i < n; ++i) most = std::max(most, std::hypot(wr[std::size_t(i)], wi[std::size_t(i)]));
    return most;
}

// The dense step operator (M + theta dt K)^-1 (M - (1 - theta) dt K).
std::vector<double> StepOperator(const study::Problem& p, Scheme s, long N, double theta, double dt) {
    const study::Rows r = transient::Rows(p, s, N);
    const auto n = std::size_t(N);
    const double m = p.rho * p.L / double(N);
    std::vector<double> a(n * n, 0.0), b(n * n, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
        a[i + i * n] = b[i + i * n] = m;
        for (int o = -2; o <= 2; ++o) {
            const long j = long(i) + o;
            if (j < 0 || j >= N || (std::abs(o) == 2 && !r.FiveBand())) continue;
            const double k = (o == -2 ? r.aWW : o == -1 ? r.aW : o == 0 ? r.aP : o == 1 ? r.aE : r.aEE)[i];
            a[i + std::size_t(j) * n] += theta * dt * k;
            b[i + std::size_t(j) * n] -= (1 - theta) * dt * k;
        }
    }
    std::vector<int> ipiv(n);
    int size = int(N), info = 0;
    dgesv_(&size, &size, a.data(), &size, ipiv.data(), b.data(), &size, &info);
    EXPECT_EQ(info, 0);
    return b;
}

double TotalVariation(double phiA, const std::vector<double>& phi, double phiB) {
    double tv = std::fabs(phi.front() - phiA) + std::fabs(phiB - phi.back());
    for (std::size_t i = 1; i < phi.size(); ++i) tv += std::fabs(phi[i] - phi[i - 1]);
    return tv;
}

// One explicit limited step without diffusion: phi - lambda B(phi).
std::vector<double> LimitedStep(study::Limiter l, const study::Problem& p, long N, double dt,
                                const std::vector<double>& phi) {
    const study::Grid g = study::MakeGrid(p, N);
    std::vector<double> balance, next(phi);
    study::TvdBalance(p, g, l, phi, balance);
    for (std::size_t i = 0; i < phi.size(); ++i) next[i] -= dt / (p.rho * g.dx) * balance[i];
    return next;
}

}  // namespace

TEST(StabilityCases, ExplicitQuickIsUnstableThroughItsEndRows) {
    const study::Problem p = Case(0.2, 0.018);  // c = 0.1, d = 0.45
    const transient::Verdict quick = Assess(p, Scheme::Quick, 50, 0, 0.01);
    EXPECT_TRUE(quick.vonNeumannStable);
    ASSERT_TRUE(quick.matrixTested);
    EXPECT_FALSE(quick.matrixStable);
    EXPECT_NEAR(quick.matrixMaxAmplification, 1.19, 0.01);
    EXPECT_EQ(quick.decidingRows, "QUICK's end rows");
    EXPECT_FALSE(quick.stable);
    ASSERT_TRUE(quick.largestStableDt);
    EXPECT_GT(*quick.largestStableDt, 0);
    EXPECT_LT(*quick.largestStableDt, 0.01);
    EXPECT_TRUE(Assess(p, Scheme::Quick, 50, 0, *quick.largestStableDt).stable);
    const transient::Verdict upwind = Assess(p, Scheme::Upwind, 50, 0, 0.01);
    EXPECT_TRUE(upwind.vonNeumannStable && upwind.matrixStable && upwind.stable);
    EXPECT_EQ(upwind.decidingRows, "");
}

TEST(StabilityCases, SingularSteadyEquationsPositivityAndRounding) {
    // Central without diffusion: the checkerboard mode nothing damps.
    const transient::Verdict checker = Assess(Case(1, 0), Scheme::Central, 100, 1, 0.1);
    EXPECT_TRUE(checker.steadySingular || checker.steadyNearlySingular);
    EXPECT_FALSE(Assess(Case(1, 0.1), Scheme::Central, 100, 1, 0.1).steadyNearlySingular);
    // Implicit central at cell Pe 10: the neighbour coefficient decides.
    const transient::Verdict pe10 = Assess(Case(1, 0.001), Scheme::Central, 100, 1, 0.01);
    EXPECT_FALSE(pe10.positiveImplicit);
    EXPECT_FALSE(pe10.positive);
    EXPECT_EQ(pe10.largestPositiveDt, 0.0);
    EXPECT_EQ(pe10.positiveBlocker,
              "the neighbour coefficient aE is -0.4, below 0, in every interior row (central at cell Pe 10 > 2): no step "
              "is positive");
    // Explicit QUICK without diffusion: no step at all, not a step of 6e-9 s.
    const transient::Verdict quick = Assess(Case(1, 0), Scheme::Quick, 100, 0, 0.001);
    EXPECT_FALSE(quick.stable);
    EXPECT_EQ(quick.largestStableDt, 0.0);
}

TEST(StabilityCases, LimitersTvdConditionAtCourantPointEight) {
    const study::Problem p = Case(1, 0);
    for (const auto& [s, holds] : {std::pair{Scheme::VanLeer, false}, {Scheme::Superbee, false}, {Scheme::MinMod, false}}) {
        const transient::Verdict v = Assess(p, s, 100, 0, 0.008);
        EXPECT_TRUE(v.tvd);
        EXPECT_EQ(v.tvdHolds, holds) << study::Name(s);
        EXPECT_EQ(v.stable, v.tvdHolds);
        EXPECT_EQ(v.largestStableDt, v.largestTvdDt);
    }
    // The inflow row decides: c (1 + beta), where the interior asks c (1 + beta/2).
    EXPECT_NEAR(Assess(p, Scheme::VanLeer, 100, 0, 0.008).tvdNumber, 2.4, 1e-12);
    EXPECT_NEAR(Assess(p, Scheme::VanLeer, 100, 0, 0.008).tvdInterior, 1.6, 1e-12);
    EXPECT_NEAR(Assess(p, Scheme::MinMod, 100, 0, 0.008).tvdNumber, 1.6, 1e-12);
    EXPECT_NEAR(Assess(p, Scheme::MinMod, 100, 0, 0.008).tvdInterior, 1.2, 1e-12);
    EXPECT_DOUBLE_EQ(*Assess(p, Scheme::Superbee, 100, 0, 0.008).largestTvdDt, 0.00333);  // 0.01/3, rounded down
    for (Scheme s : study::kTvdSchemes) {
        // Under Lax-Wendroff at c = 0.8 the interior rows are TVD for every
        // limiter; the inflow row, c (1 + 0.2 beta) <= 1, only for beta <= 1.25.
        const transient::Verdict lw = Assess(p, s, 100, Method::LaxWendroff, 0, 0.008);
        EXPECT_LE(lw.tvdInterior, 1 + 1e-12) << study::Name(s);
        EXPECT_EQ(lw.tvdHolds, lw.beta <= 1.25) << study::Name(s);
        // SSP Runge-Kutta's stages are forward Euler's.
        EXPECT_EQ(Assess(p, s, 100, Method::Ssprk3, 0.7, 0.008).tvdNumber, Assess(p, s, 100, 0, 0.008).tvdNumber);
    }
    // Lax-Wendroff's boundary, the smaller root of the inflow row's
    // quadratic: beta = 2, d = 0 gives c (3 - 2c) = 1, c = 1/2; MinMod with
    // d = 0.1: c (2 - c) + 2d = 1.
    const study::Problem diffusive = Case(1, 0.1 * 0.01 * 0.01 / 0.008);  // d = 0.1 at dt = 0.008
    const transient::Verdict mm = Assess(diffusive, Scheme::MinMod, 100, Method::LaxWendroff, 0, 0.008);
    ASSERT_TRUE(mm.largestTvdDt);
    const double c = *mm.largestTvdDt / 0.01, d = 0.1 * c / 0.8;
    EXPECT_NEAR(c * (1 + (1 - c)) + 2 * d, 1, 2e-3);
    EXPECT_NEAR(*Assess(p, Scheme::Superbee, 100, Method::LaxWendroff, 0, 0.008).largestTvdDt, 0.5 * 0.01, 1e-12);
}

TEST(StabilityClosedForms, ExplicitUpwindPositiveAndImplicitCentralByCellPeclet) {
    for (double c : {0.1, 0.5, 0.8, 1.2})
        for (double d : {0.0, 0.1, 0.2, 0.45}) {
            const study::Problem p = Case(1, d * 0.1 * 0.1 / (c * 0.1));  // N = 10, dx = 0.1, dt = 0.1 c
            const transient::Verdict v = Assess(p, Scheme::Upwind, 10, 0, c * 0.1);
            // The end rows' diagonal, with the conductance 2D of the half
            // cell to the boundary, is F + 3D: c + 3d <= 1, not the
            // interior's c + 2d <= 1.
            EXPECT_EQ(v.positive, c + 3 * d <= 1 + 1e-12) << "c " << c << " d " << d;
            EXPECT_NEAR(*v.largestPositiveDt, 0.1 / (1 + 3 * d / c), 1e-3 * 0.1) << "c " << c << " d " << d;
        }
    for (const auto& [pe, positive] : {std::pair{1.0, true}, {1.999, true}, {2.001, false}, {4.0, false}})
        for (double u : {1.0, -1.0}) {
            const transient::Verdict v = Assess(Case(u, 0.01 / pe), Scheme::Central, 100, 1, 0.05);
            EXPECT_EQ(v.positiveImplicit, positive) << "Pe " << pe << " u " << u;
            EXPECT_EQ(v.positive, positive) << "Pe " << pe << " u " << u;
            EXPECT_EQ(v.positiveBlocker.empty(), positive) << v.positiveBlocker;
        }
}

TEST(StabilityClosedForms, EachLimitersBetaIsItsLargestPsiOverR) {
    for (study::Limiter l : study::kLimiters) {
        double most = 0;
        for (double e = -4; e <= 2; e += 1e-4) most = std::max(most, study::Psi(l, std::pow(10.0, e)) / std::pow(10.0, e));
        EXPECT_NEAR(transient::Beta(l), most, 1e-3) << study::Name(study::SchemeOf(l));
    }
}

TEST(StabilityClosedForms, TvdBoundIsSharpForEachLimiter) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-1, 1);
    const long N = 12;
    for (study::Limiter l : study::kLimiters) {
        // The r where psi(r)/r is largest, by the same search.
        double best = 0, rStar = 1;
        for (double e = -4; e <= 2; e += 1e-3) {
            const double r = std::pow(10.0, e);
            if (study::Psi(l, r) / r > best) best = study::Psi(l, r) / r, rStar = r;
        }
        const double bound = 1 / (1 + transient::Beta(l) / 2);
        // Flat upstream (r_(i-1) = 0), r_i = r*, flat downstream: node 6
        // overshoots below its upstream neighbour.
        std::vector<double> phi(N, 0.0);
        phi[5] = rStar;
        for (long i = 6; i < N; ++i) phi[std::size_t(i)] = rStar + 1;
        const study::Problem p = Case(1, 0, 0, rStar + 1);
        const double dx = 1.0 / N;
        const auto after = LimitedStep(l, p, N, 1.01 * bound * dx, phi);
        EXPECT_GT(TotalVariation(0, after, rStar + 1), TotalVariation(0, phi, rStar + 1) + 1e-9)
            << study::Name(study::SchemeOf(l));
        EXPECT_FALSE(Assess(p, study::SchemeOf(l), N, 0, 1.01 * bound * dx).tvdHolds);
        // Just below the bound no profile grows.
        for (int trial = 0; trial < 300; ++trial) {
            study::Problem q = Case(1, 0, value(random), value(random));
            std::vector<double> x(N);
            for (double& v : x) v = value(random);
            const double before = TotalVariation(q.left.value, x, q.right.value);
            EXPECT_LE(TotalVariation(q.left.value, LimitedStep(l, q, N, 0.99 * bound * dx, x), q.right.value), before + 1e-12)
                << study::Name(study::SchemeOf(l)) << " trial " << trial;
        }
    }
}

TEST(StabilityMatrix, SpectralRadiusAgainstTheDenseStepOperator) {
    for (long N = 5; N <= 8; ++N)
        for (Scheme s : study::kLinearSchemes)
            for (double u : {1.0, -1.0})
                for (double pe : {0.5, 5.0})
                    for (double theta : {0.0, 0.5, 1.0}) {
                        const study::Problem p = Case(u, 1.0 / (N * pe));
                        const double dt = 0.5 / N;
                        const transient::Verdict v = Assess(p, s, N, theta, dt);
                        ASSERT_TRUE(v.matrixTested);
                        const double dense = SpectralRadius(StepOperator(p, s, N, theta, dt), int(N));
                        EXPECT_NEAR(v.matrixMaxAmplification, dense, 1e-9 * std::max(1.0, dense))
                            << study::Name(s) << " N " << N << " u " << u << " Pe " << pe << " theta " << theta;
                        if (!v.matrixStable) {
                            const double largest = *v.matrixLargestDt;
                            EXPECT_LE(SpectralRadius(StepOperator(p, s, N, theta, largest), int(N)), 1 + 1e-7);
                        }
                    }
}

TEST(StabilityMatrix, EachStructuredPathAgainstLapacksDenseEigenvalues) {
    // Pe 0.5: symmetric scaling (dsterf); Pe 5: complex symmetric QL for
    // central, blocks of one for hybrid, Hessenberg QR for QUICK.
    // Small enough that the dense eigenvalues are exact to 1e-8: the
    // scaling to symmetric form grows like sqrt(6)^N at upwind Pe 5.
    const long N = 12;
    for (Scheme s : study::kLinearSchemes)
        for (double u : {1.0, -1.0})
            for (double pe : {0.5, 5.0}) {
                // At Pe 5 power law and exponential have aE/aW near e^-5:
                // their scaling to symmetric form spans about e^(5 N / 2),
                // so that the dense eigenvalues are the inexact ones (the
                // dense step operator above covers them at N <= 8).
                if (pe == 5 && (s == Scheme::PowerLaw || s == Scheme::Exponential)) continue;
                const study::Problem p = Case(u, 1.0 / (N * pe));
                const study::Rows r = transient::Rows(p, s, N);
                const std::vector<std::complex<double>> mine = transient::BandEigenvalues(r);
                ASSERT_EQ(mine.size(), std::size_t(N));
                // The dense matrix, and its eigenvalues.
                std::vector<double> a(std::size_t(N * N), 0.0);
                for (long i = 0; i < N; ++i)
                    for (int o = -2; o <= 2; ++o)
                        if (i + o >= 0 && i + o < N && (std::abs(o) < 2 || r.FiveBand()))
                            a[std::size_t(i + (i + o) * N)] =
                                (o == -2 ? r.aWW : o == -1 ? r.aW : o == 0 ? r.aP : o == 1 ? r.aE : r.aEE)[std::size_t(i)];
                std::vector<double> wr(static_cast<std::size_t>(N)), wi(wr), work(static_cast<std::size_t>(8 * N));
                int n = int(N), lwork = 8 * n, info = 0, one = 1;
                double v = 0, norm = 0;
                for (double x : a) norm = std::max(norm, std::fabs(x));
                dgeev_("N", "N", &n, a.data(), &n, wr.data(), wi.data(), &v, &one, &v, &one, work.data(), &lwork, &info);
                ASSERT_EQ(info, 0);
                for (std::size_t k = 0; k < std::size_t(N); ++k) {
                    double nearest = HUGE_VAL;
                    for (const std::complex<double>& m : mine) nearest = std::min(nearest, std::abs(m - std::complex(wr[k], wi[k])));
                    EXPECT_LE(nearest, 1e-6 * norm) << study::Name(s) << " u " << u << " Pe " << pe;
                }
            }
}

TEST(StabilityMatrix, NotTestedBeyondTheLimitNorForALimiter) {
    const study::Problem p = Case(1, 0.01);
    const transient::Spectrum big = transient::SpectrumOf(p, Scheme::Upwind, 5000);
    EXPECT_FALSE(big.tested);
    EXPECT_EQ(big.why, "the matrix test is exact only up to N = 2000; at N = 5000 its eigenvalues would take too long");
    EXPECT_TRUE(transient::SpectrumOf(p, Scheme::Upwind, 2000).tested);
    EXPECT_FALSE(transient::SpectrumOf(p, Scheme::VanLeer, 50).tested);
    const transient::Verdict v = Assess(p, Scheme::Central, 5000, 0, 1e-6);
    EXPECT_FALSE(v.matrixTested);
    EXPECT_EQ(v.stable, v.vonNeumannStable);
}

TEST(StabilityMethods, RungeKuttaAndLaxWendroffOnTheLinearSchemes) {
    const study::Problem p = Case(1, 0);  // pure convection, N = 100, dx = 0.01
    const auto at = [&](Scheme s, Method m, double c) { return Assess(p, s, 100, m, 0, c * 0.01); };
    // Upwind's stable Courant numbers: 1 for two stages, 1.2563 for three.
    for (const auto& [m, c, stable] : {std::tuple{Method::Ssprk2, 0.99, true}, {Method::Ssprk2, 1.01, false},
                                       {Method::Ssprk3, 1.25, true}, {Method::Ssprk3, 1.27, false}}) {
        const transient::Verdict v = at(Scheme::Upwind, m, c);
        EXPECT_EQ(v.vonNeumannStable, stable) << transient::MethodName(m) << " c " << c;
        EXPECT_EQ(v.stable, stable) << transient::MethodName(m) << " c " << c;
        if (!stable) {
            // 3 digits rounded down.
            const double limit = m == Method::Ssprk2 ? 1.0 : 1.2563;
            EXPECT_LE(*v.largestStableDt / 0.01, limit);
            EXPECT_GE(*v.largestStableDt / 0.01, limit * (1 - 1e-2));
        }
    }
    // Central without diffusion: three stages reach sqrt(3) on the
    // imaginary axis; two stages grow every wave a little.
    EXPECT_TRUE(at(Scheme::Central, Method::Ssprk3, 1.7).vonNeumannStable);
    EXPECT_FALSE(at(Scheme::Central, Method::Ssprk3, 1.75).vonNeumannStable);
    EXPECT_GT(at(Scheme::Central, Method::Ssprk2, 0.5).maxAmplification, 1);
    // Lax-Wendroff itself (central) and upwind under the flux-limited step:
    // |G| <= 1 up to c = 1.
    for (Scheme s : {Scheme::Central, Scheme::Upwind})
        for (const auto& [c, stable] : {std::pair{0.5, true}, {1.0, true}, {1.1, false}}) {
            const transient::Verdict v = at(s, Method::LaxWendroff, c);
            EXPECT_EQ(v.vonNeumannStable, stable) << study::Name(s) << " c " << c;
            EXPECT_NEAR(v.maxAmplification, stable ? 1.0 : v.maxAmplification, 1e-9) << study::Name(s) << " c " << c;
        }
    // Lax-Wendroff's classic symbol: |G|^2 = 1 - 4 c^2 (1 - c^2) sin^4(k/2), largest
    // |G| at c = 1.1 where sin(k/2) = 1.
    EXPECT_NEAR(at(Scheme::Central, Method::LaxWendroff, 1.1).maxAmplification,
                std::sqrt(1 - 4 * 1.21 * (1 - 1.21)), 1e-9);
    // Lax-Wendroff central is not positive below c = 1 (aE = F (1 - c) / 2 > 0).
    EXPECT_FALSE(at(Scheme::Central, Method::LaxWendroff, 0.5).positive);
    EXPECT_EQ(at(Scheme::Central, Method::LaxWendroff, 0.5).largestPositiveDt, 0.0);
    EXPECT_TRUE(at(Scheme::Upwind, Method::LaxWendroff, 0.5).positive);
    EXPECT_THROW(at(Scheme::Hybrid, Method::LaxWendroff, 0.5), std::invalid_argument);
}

TEST(StabilityMatrix, ComplexSymmetricQlAgainstUnitaryQr) {
    // Central at |cell Pe| > 2 on 200 volumes: the real matrix's eigenvalues
    // are too ill-conditioned for a dense check, those of its complex
    // symmetric form are not; LAPACK's zgeev is backward stable on it.
    const int n = 200;
    for (double pe : {5.0, 50.0})
        for (double u : {1.0, -1.0}) {
            const study::Rows r = transient::Rows(Case(u, 1.0 / (n * pe)), Scheme::Central, n);
            std::vector<std::complex<double>> a(std::size_t(n * n), 0.0), w(static_cast<std::size_t>(n)), work(static_cast<std::size_t>(4 * n));
            for (int i = 0; i < n; ++i) {
                a[std::size_t(i + i * n)] = r.aP[std::size_t(i)];
                if (i + 1 == n) continue;
                const double x = r.aW[std::size_t(i + 1)], y = r.aE[std::size_t(i)];
                const std::complex<double> e = std::sqrt(std::complex<double>(x * y));
                a[std::size_t(i + 1 + i * n)] = a[std::size_t(i + (i + 1) * n)] = e;
            }
            std::vector<double> rwork(std::size_t(2 * n));
            int size = n, lwork = 4 * n, info = 0, one = 1;
            std::complex<double> v;
            zgeev_("N", "N", &size, a.data(), &size, w.data(), &v, &one, &v, &one, work.data(), &lwork, rwork.data(), &info);
            ASSERT_EQ(info, 0);
            const std::vector<std::complex<double>> mine = transient::BandEigenvalues(r);
            for (const std::complex<double>& x : w) {
                double nearest = HUGE_VAL;
                for (const std::complex<double>& m : mine) nearest = std::min(nearest, std::abs(m - x));
                EXPECT_LE(nearest, 1e-6 * std::abs(r.aP[std::size_t(n / 2)]) + 1e-6) << "Pe " << pe << " u " << u;
            }
        }
}
