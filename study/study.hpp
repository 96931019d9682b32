// Every scheme solved on the same problem, against the exact solution, on a
// sequence of refining grids N, 2N, 4N, ...: the error norms, the observed
// orders of accuracy, and whether each solution stays bounded.
//
// Plain data in, plain data out; nothing here prints or touches a file.
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "problem.hpp"
#include "rows.hpp"
#include "tvd.hpp"

namespace study {

// A calculation that failed: a singular system, or a value beyond the range
// of a double. The message names the scheme and N.
class SolveError : public std::runtime_error {
public:
    SolveError(Scheme s, long N, const std::string& why);
    // A bounded scheme's iterations that stopped at their cap: "superbee at
    // N = 40 did not converge in 500 iterations (residual 3.1e-7)".
    SolveError(Scheme s, long N, const TvdIterations& stopped);
    Scheme scheme;
    long N;
};

// A run stopped because its caller asked it to (see Callbacks::cancelled).
class Cancelled : public std::runtime_error {
public:
    Cancelled() : std::runtime_error("cancelled") {}
};

// One scheme on one grid.
struct Result {
    Scheme scheme{};
    Grid grid;
    double maxError = 0;  // max over nodes of |phi_i - exact(x_i)|
    double rmsError = 0;  // root of the mean of the squares
    // log2(error at N/2 / error at N); none on the first grid, or where
    // either error is 0.
    std::optional<double> orderMax, orderRms;
    bool bounded = true;    // every phi_i within ExactRange, to BoundsTolerance
    unsigned negative = 0;  // NegativeCoefficient bits of the rows
    double phiMin = 0, phiMax = 0;
    std::vector<double> phi;  // the nodal values, where they are kept
    std::optional<int> iterations;  // of a bounded scheme's nonlinear solve
    // A piecewise limiter's limited faces on each piece of psi(r)
    // (limiter_pieces.hpp); empty for the others.
    std::vector<long> pieces;

    bool NegativeCoefficients() const { return negative != 0; }
};

// The range of the exact solution over [0, L]: [min(phiA, phiB),
// max(phiA, phiB)] for two fixed ends and no source.
std::pair<double, double> ExactRange(const Problem& p);

// How far a solution of N control volumes may stray beyond ExactRange and
// still be bounded: rounding in the solve grows with the grid, so
// max(1e-12, 64 eps N) max(1, |least|, |largest|), eps the machine epsilon
// of a double.
double BoundsTolerance(const Problem& p, long N);

// The exact solution at the nodes of a grid.
std::vector<double> ExactAtNodes(const Problem& p, const Grid& g);

// Solves one scheme on N control volumes and measures it against `exact`
// (ExactAtNodes of the same grid). A bounded scheme makes at most
// `maxIterations` iterations. Raises SolveError.
Result Solve(const Problem& p, Scheme s, long N, const std::vector<double>& exact,
             int maxIterations = kMaxTvdIterations);

struct Plan {
    std::vector<Scheme> schemes{kLinearSchemes.begin(), kLinearSchemes.end()};
    long N = 5;
    int refine = 0;  // also 2N, 4N, ..., 2^refine N
    int maxIterations = kMaxTvdIterations;  // of each bounded scheme's solve
};

// The grids of a plan: N, 2N, ..., 2^refine N.
std::vector<long> GridSizes(const Plan& plan);

// A large grid's schemes are solved on several threads at once; the
// callbacks are called on the thread that called Run, except `cancelled`,
// which may be asked from any of them.
struct Callbacks {
    // The share of the work done, from 0 to 1, after each solve.
    std::function<void(double)> progress;
    // Asked before each solve; true stops the run with Cancelled.
    std::function<bool()> cancelled;
    // Each solution as it is found, with the exact values at its nodes, in
    // the order grid by grid, scheme by scheme. Its nodal values are kept
    // only for the first grid; this is the place to use the others.
    std::function<void(const Result&, const std::vector<double>& exact)> solved;
};

struct Study {
    Problem problem;
    Plan plan;
    std::vector<long> sizes;                   // GridSizes(plan)
    std::vector<std::vector<Result>> results;  // [scheme in plan order][grid]
    std::vector<double> exact;                 // at the nodes of the first grid
};

// Raises SolveError or Cancelled.
Study Run(const Problem& p, const Plan& plan, const Callbacks& callbacks = {});

}  // namespace study
