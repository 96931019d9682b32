// Whether a time step is stable, before marching: the Courant and diffusion
// numbers, von Neumann's amplification factor and the positivity of the
// explicit part for a linear scheme, and the TVD condition for a limiter.
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

#include "study/problem.hpp"

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

struct Verdict {
    bool tvd = false;             // the TVD condition was tested, not von Neumann's
    double maxAmplification = 0;  // the largest |G(k)| (linear schemes)
    bool stable = false;
    bool positive = false;  // the explicit part has no negative coefficient (linear schemes)
    // When the step is not stable (or, for a limiter, fails the TVD
    // condition): the largest dt such that every step in (0, dt] passes, to
    // 3 significant digits rounded down; 0 when none does.
    std::optional<double> largestStableDt;
};

Verdict Assess(const study::Problem& p, study::Scheme s, long N, double theta, double dt);

}  // namespace transient
