// One scheme's time step by the theta-method,
//   rho dx (phi' - phi) / dt = theta R(phi') + (1 - theta) R(phi),
// with R(phi) = Su - A phi for the linear schemes. A linear scheme's matrix
// I + theta lambda A is constant: it is factored once (LAPACK's dgttrf for
// three-point rows, the five-point LU for QUICK) and every step forms the
// right-hand side and solves with the factors. The explicit methods made
// for the limiters are forward-Euler stages combined: one stage with the
// limited corrections scaled by 1 - c (flux-limited Lax-Wendroff), or
// Shu-Osher's convex combinations of two or three stages (SSP Runge-Kutta).
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "method.hpp"
#include "study/band_solve.hpp"
#include "study/cyclic_solve.hpp"
#include "study/problem.hpp"
#include "study/study.hpp"  // SolveError

namespace transient {

// phi + lambda (Su - w A phi), row by row: the explicit update for w = 1,
// the right-hand side of the implicit system for w = 1 - theta. Every
// interior row of the study's schemes is the same, so those rows are
// computed from constants and only the rows near the ends from their own
// coefficients.
class ExplicitPart {
public:
    ExplicitPart(const study::Rows& rows, double lambda, double w);
    // out = the update of phi. Returns false when some |phi_i| exceeds
    // `limit` or is not finite.
    bool Apply(const std::vector<double>& phi, std::vector<double>& out, double limit) const;

private:
    struct Row {
        std::array<double, 5> k;  // the multipliers of phi(i-2) .. phi(i+2)
        double s;
    };
    Row Scaled(const study::Rows& rows, std::size_t i) const;

    double lambda_, w_;
    bool cyclic_ = false;  // periodic rows: the edge rows reach round the ends
    long n_ = 0, lo_ = 0, hi_ = 0;  // rows [lo, hi) use `interior_`
    int width_ = 1;
    Row interior_{};
    std::vector<Row> edges_;  // rows [0, lo) then [hi, n)
};

// A bounded scheme's implicit step whose iterations did not converge: that
// scheme cannot go on, though the others can.
class Stalled : public study::SolveError {
public:
    Stalled(study::Scheme s, long N, const study::TvdIterations& t);
    // "iterations did not converge (residual 3.1e-5 after 500)"
    std::string reason;
};

class Stepper {
public:
    // Raises study::SolveError when the implicit matrix is singular,
    // calc::CalcError when a coefficient overflows, and
    // std::invalid_argument for a scheme the method does not march
    // (MarchesBy). theta is the theta-method's only. `magnitude` is the
    // largest |phi| of the initial state: with the ends it sets the size of
    // phi, and so the tolerance of a bounded scheme's iterations.
    // `cancelled` is asked before each of those iterations; true stops the
    // step with study::Cancelled.
    Stepper(const study::Problem& p, study::Scheme s, long N, Method m, double theta, double dt,
            double magnitude = 0, std::function<bool()> cancelled = {});
    ~Stepper();
    Stepper(Stepper&&) noexcept;

    // next = phi a step later. Returns false, leaving `next` undefined, when
    // phi itself is beyond `limit` or not finite, or a bounded scheme's
    // iterations ran beyond it. Raises Stalled when they did not converge
    // otherwise, `next` then undefined.
    bool Step(const std::vector<double>& phi, std::vector<double>& next, double limit);

    // The iterations of the bounded scheme's steps so far.
    long Iterations() const { return iterations_; }

private:
    struct Linear;
    struct Bounded;
    struct Staged;
    std::unique_ptr<Linear> linear_;
    std::unique_ptr<Bounded> bounded_;
    std::unique_ptr<Staged> staged_;
    long iterations_ = 0;
};

// The steady solution of a scheme on N volumes (Gamma > 0). Raises
// study::SolveError, or study::Cancelled when `cancelled` says true before
// an iteration of a bounded scheme.
std::vector<double> SteadySolution(const study::Problem& p, study::Scheme s, long N,
                                   const std::function<bool()>& cancelled = {});

// Whether every |phi_i| is within `limit` (and finite).
bool Within(const std::vector<double>& phi, double limit);

}  // namespace transient
