// Whether a time step is stable, before marching: the Courant and diffusion
// numbers; for a linear scheme von Neumann's amplification factor, the
// eigenvalues of this grid's step, end rows included, and the positivity of
// both sides of the step; for a limiter its TVD condition.
//
// With A_j the coefficients of an interior row (offset j, neighbours
// negated) and s(k) = sum_j A_j e^(ijk), a step of the theta-method
// multiplies the Fourier mode k by
//   G(k) = (1 - (1 - theta) lambda s(k)) / (1 + theta lambda s(k)),
// lambda = dt / (rho dx).
#pragma once

#include <array>
#include <complex>
#include <optional>
#include <string>
#include <vector>

#include "method.hpp"
#include "study/problem.hpp"
#include "study/tvd.hpp"

namespace transient {

struct Numbers {
    double courant = 0;    // |u| dt / dx
    double diffusion = 0;  // Gamma dt / (rho dx^2)
    double lambda = 0;     // dt / (rho dx)
    double cellPeclet = 0;  // F / D: infinite when Gamma = 0, 0 when u = 0
};

Numbers NumbersOf(const study::Problem& p, long N, double dt);

// The coefficients of an interior row, offsets -2 .. 2 (aWW, aW, aP, aE,
// aEE in the stored convention), and its source.
struct InteriorRow {
    std::array<double, 5> a{};
    double su = 0;
};

// The interior row of a linear scheme on the grid of N control volumes.
InteriorRow InteriorRowOf(const study::Problem& p, study::Scheme s, long N);

// s(k).
std::complex<double> Symbol(const InteriorRow& row, double k);
// G(k).
std::complex<double> Amplification(const InteriorRow& row, double theta, double lambda, double k);

// The evenly spaced k of the test, 0 and pi included.
inline constexpr int kWaveNumbers = 2049;

// The eigenvalues mu of M^-1 K for this grid's steady equations K phi = b,
// end rows included, M = diag(rho dx): one computation serves every theta
// and dt, since the theta-step multiplies the mode of mu by
//   g = (1 - (1 - theta) dt mu) / (1 + theta dt mu).
// Computed exactly (LAPACK) for the linear schemes up to kMatrixLimit
// volumes; beyond it, or for a limiter, `tested` is false and `why` says so.
inline constexpr long kMatrixLimit = 2000;
struct Spectrum {
    bool tested = false;
    std::string why;  // why not tested, in words, when not
    std::vector<std::complex<double>> mu;
    // K singular or nearly so: a mode that no step damps. `conditioning` is
    // LAPACK's estimate of K's reciprocal condition number (1-norm).
    double conditioning = 1;
    bool singular = false;
    bool nearlySingular = false;
};
Spectrum SpectrumOf(const study::Problem& p, study::Scheme s, long N);

// sup psi(r)/r of a limiter: 2 for Van Leer, SUPERBEE, MC, Koren, UMIST and
// QUICK (limited), 1 for min-mod, its maximum for Van Albada and OSPRE.
double Beta(study::Limiter l);

struct Verdict {
    // Von Neumann: the interior row on an endless grid (linear schemes).
    double maxAmplification = 0;  // the largest |G(k)|
    bool vonNeumannStable = false;
    std::optional<double> vonNeumannLargestDt;  // when not stable; 0: none

    // This grid's matrix, end rows included (linear schemes).
    bool matrixTested = false;
    std::string matrixNotTested;  // why not, when not tested
    double matrixMaxAmplification = 0;  // the spectral radius of the step
    bool matrixStable = false;
    std::optional<double> matrixLargestDt;  // when not stable; 0: none
    bool steadySingular = false, steadyNearlySingular = false;
    // Where von Neumann and the matrix disagree, which rows decide, in
    // words: "QUICK's end rows".
    std::string decidingRows;

    // Positivity, both sides (linear schemes).
    bool positiveImplicit = true;  // M + theta dt K an M-matrix (or theta = 0)
    bool positiveExplicit = true;  // M - (1 - theta) dt K has no negative coefficient (or theta = 1)
    bool positive = false;         // both
    // Where the explicit side's diagonal decides (theta < 1; for a
    // Lax-Wendroff step only when this one is not positive); 0 with a
    // blocker.
    std::optional<double> largestPositiveDt;
    // Where a neighbour coefficient decides (no step is positive): which
    // coefficient and row, in words.
    std::string positiveBlocker;

    // The TVD condition (limiters): in the interior rows
    // (1 - theta)(c (1 + beta/2) + 2 d) <= 1 for the theta-method and SSP
    // Runge-Kutta (theta = 0), and in the inflow row, whose mirror node
    // doubles psi/r, (1 - theta)(c (1 + beta) + 2 d) <= 1, which decides;
    // flux-limited Lax-Wendroff has (1 - c) beta in place of beta.
    bool tvd = false;  // a limiter: this test applies instead of the others
    double beta = 0;
    double tvdNumber = 0;    // the left-hand side, to be at most 1: the inflow row's, which decides
    double tvdInterior = 0;  // the same for the interior rows alone
    bool tvdHolds = false;
    // The inflow end is a gradient or a wall, outside the bound's
    // derivation: neither TVD nor not TVD is established (tvdHolds false).
    bool tvdUnproven = false;
    std::optional<double> largestTvdDt;  // when it fails

    // Every stability test passed (von Neumann and the matrix for a linear
    // scheme, the TVD condition for a limiter); and when not, the largest
    // dt, 3 significant digits rounded down, for which all pass; 0 when no
    // step does (also when that step is below 1e-9 of the step at c = 1).
    bool stable = false;
    std::optional<double> largestStableDt;
};

// The verdict of a step; `spectrum` (from SpectrumOf for the same problem,
// scheme and N) saves the eigenvalues' computation where given; without it
// the spectra of the last few grids asked about on this thread are reused.
// Under Method::LaxWendroff the linear schemes allowed are central (psi = 1,
// Lax-Wendroff itself) and upwind (psi = 0): any other raises
// std::invalid_argument. Raises std::runtime_error when LAPACK's eigenvalue
// iteration does not converge.
Verdict Assess(const study::Problem& p, study::Scheme s, long N, Method m, double theta, double dt,
               const Spectrum* spectrum = nullptr);
// The theta-method.
inline Verdict Assess(const study::Problem& p, study::Scheme s, long N, double theta, double dt) {
    return Assess(p, s, N, Method::Theta, theta, dt);
}

}  // namespace transient
