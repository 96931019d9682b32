// The bounded high-resolution (TVD) schemes: the face value of a limited
// second-order upwind interpolation, the balance of every control volume it
// gives, and the iterative solve of those nonlinear equations.
//
// Flow to the right (F > 0): at the face between the upstream node U and the
// downstream node D, with UU the next node upstream,
//   phi_f = phi_U + psi(r) (phi_D - phi_U) / 2,  r = (phi_U - phi_UU) / (phi_D - phi_U),
// the correction being 0 when phi_D = phi_U. The ends are mirror nodes,
// phi_0 = 2 phi_b - phi_1 and phi_(N+1) = 2 phi_b - phi_N with phi_b each
// end's face value (ends_rows.hpp); the inflow face carries its face value
// itself. A periodic problem's faces are all interior ones. Diffusion is D between neighbours and 2D across each
// end half-cell. Flow to the left is the mirror image, read back in the
// problem's own node order; F = 0 is pure diffusion.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "problem.hpp"

namespace study {

// Every function below that takes phi raises std::invalid_argument unless it
// (and a non-empty `extra`) holds N >= 1 values.

enum class Limiter { MinMod, VanLeer, VanAlbada, Superbee, MC, Koren, Ospre, Umist, QuickLimited };

inline constexpr std::array<Limiter, 9> kLimiters{Limiter::MinMod, Limiter::VanLeer, Limiter::VanAlbada,
                                                  Limiter::Superbee, Limiter::MC, Limiter::Koren,
                                                  Limiter::Ospre, Limiter::Umist, Limiter::QuickLimited};

// The scheme of a limiter, and the limiter of a bounded scheme (nothing for
// the linear ones).
Scheme SchemeOf(Limiter l);
std::optional<Limiter> LimiterOf(Scheme s);

// The most iterations of a steady solve, unless told otherwise.
inline constexpr int kMaxTvdIterations = 500;

// psi(r); 0 for r <= 0.
double Psi(Limiter l, double r);

// The balance of node i (element i - 1), for flow to the right
//   F (phi_e - phi_w) - D_e (phi_E - phi_P) + D_w (phi_P - phi_W),
// zero at the steady solution; a time step's right-hand side is its
// negative. `phi` and `balance` hold N values. Flow to the left is the
// mirror image, in the problem's own node order. With `scale` every
// limited correction is multiplied by it: 1 - c gives Sweby's flux-limited
// Lax-Wendroff face values.
void TvdBalance(const Problem& p, const Grid& g, Limiter l, const std::vector<double>& phi,
                std::vector<double>& balance, double scale = 1);
// The same balance with any function of r in place of a limiter: psi = 1
// gives the central scheme's equations, psi = 0 the upwind scheme's.
void TvdBalanceWith(double (*psi)(double), const Problem& p, const Grid& g, const std::vector<double>& phi,
                    std::vector<double>& balance, double scale = 1);

// One forward-Euler stage of a time step on the balance, in one pass:
//   out = a base + (1 - a)(phi - lambda B(phi)),  out = phi - lambda B(phi) for a = 0,
// B as TvdBalance gives it, its limited corrections scaled by `scale`.
// Made once for a grid; a stage allocates nothing once `out` holds N values,
// and reads a leftward flow's phi backwards rather than turning a copy.
class TvdStage {
public:
    TvdStage(const Problem& p, const Grid& g, Limiter l, double scale = 1);
    // Any function of r in place of a limiter, as in TvdBalanceWith.
    TvdStage(double (*psi)(double), const Problem& p, const Grid& g, double scale = 1);
    // Returns false, `out` then undefined, when some |phi_i| is beyond
    // `limit` or not finite; an infinite `limit` checks nothing (a stage
    // whose input the step before has checked). `base` holds N values
    // unless a = 0.
    bool operator()(const std::vector<double>& phi, double lambda, const std::vector<double>& base, double a,
                    std::vector<double>& out, double limit) const;

private:
    Problem p_;
    Grid g_;
    double scale_;
    std::optional<Limiter> limiter_;
    double (*psi_)(double) = nullptr;
    std::array<double, 12> upwind_{};  // the upwind rows, first, middle and last: aW, aP, aE, Su
};

// The tolerance of the steady solve: 1e-12 max(EndMagnitude, magnitude)
// max(|F|, |D|, shift, |Sp| dx): the rounding of equations whose terms are phi's size
// times their coefficients. `magnitude` is the largest |phi| that sets that
// size besides the ends (a time step's initial state), `shift` a time step's.
double TvdTolerance(const Problem& p, const Grid& g, double magnitude = 0, double shift = 0);

struct TvdIterations {
    int iterations = 0;
    double residual = 0;  // the largest |equation residual| at the end
    bool converged = false;
};

// Solves TvdBalance(phi) + shift phi = extra, node by node, starting from
// `phi` (N values: the first guess, replaced by the solution), until the
// largest residual is at most `tolerance` or `maxIterations` have been made.
// shift >= 0; an empty `extra` is 0. The steady problem is shift = 0 with no
// extra; an implicit time step has shift = rho dx / (theta dt).
// Each iteration is one linear solve: a step of Newton's method, cut back by
// halves while that lowers the largest residual, else one of deferred
// correction on the upwind rows. From phi = 0 the first step gives the
// upwind solution. Raises calc::CalcError where a coefficient of the upwind
// rows is beyond the range of a double, and study::Cancelled when
// `cancelled`, asked before every iteration (from the solving thread),
// says true: a solve on a large grid can take long, and its caller may have
// to stop it.
TvdIterations SolveTvdSystem(const Problem& p, const Grid& g, Limiter l, double shift,
                             const std::vector<double>& extra, std::vector<double>& phi, double tolerance,
                             int maxIterations, const std::function<bool()>& cancelled = {});

// Every limited face of a solution, for Sweby's diagram: where it is, its
// r and its psi(r). Faces whose r is undefined (phi_D = phi_U) are left out;
// the others come in order of x, their r cut to +-1e50. `step` is
// phi_D - phi_C across the face.
struct Face {
    double x, r, psi;
    double step = 0;
};
std::vector<Face> LimitedFaces(const Problem& p, const Grid& g, Limiter l, const std::vector<double>& phi);

}  // namespace study
