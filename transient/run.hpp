// A time-dependent run: every chosen scheme marched from the same initial
// state to t_end in lockstep, each frame handed out as it is computed (with
// its statistics), and the outcome of each scheme: its stability verdict,
// whether and where it blew up, when it settled. Memory is O(N) per
// scheme: a frame lives only for its callback.
//
// Plain data in, plain data out; nothing here prints or touches a file.
#pragma once

#include <atomic>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "initial.hpp"
#include "method.hpp"
#include "stability.hpp"
#include "study/problem.hpp"
#include "study/study.hpp"  // SolveError, Cancelled

namespace transient {

inline constexpr long kMaxSteps = 10'000'000;
inline constexpr double kMaxWork = 2e10;  // N times the steps
inline constexpr long kMaxFrames = 100'000;
// The largest blow-up limit: past it one more step's sums may overflow, so
// that a value is no longer a measure of growth but of the range of a double.
inline constexpr double kBlowUpCeiling = std::numeric_limits<double>::max() / 16;

struct Plan {
    study::Problem problem;
    long N = 50;
    std::vector<study::Scheme> schemes{study::kLinearSchemes.begin(), study::kLinearSchemes.end()};
    Method method = Method::Theta;
    double theta = 1;  // of the theta-method; the other methods are explicit
    double dt = 0.1;
    double tEnd = 10;
    long frames = 10;
    Initial initial;
    // Besides the frames, up to this many evenly spaced steps (0 and the
    // last included) are handed to Callbacks::sampled.
    long samples = 0;
};

// n = K ceil(t_end / (K dt)) steps of t_end / n.
struct Steps {
    long n = 0;
    double dt = 0;
    long perFrame = 0;  // n / K
};
// Nothing when the run would take more than kMaxSteps steps.
std::optional<Steps> StepsOf(double tEnd, double dt, long frames);

struct FrameStats {
    double phiMin = 0, phiMax = 0;
    double totalVariation = 0;  // |phi_1 - phiA| + sum |phi_(i+1) - phi_i| + |phiB - phi_N|
    bool variationGrew = false;  // beyond the previous frame's
    std::optional<double> maxError, rmsError;  // against the exact reference
    std::optional<double> l1Error;              // dx sum |phi - exact|
    std::optional<double> distance;  // max |phi - phi_steady| (uniform start, Gamma > 0)
};

struct Frame {
    study::Scheme scheme{};
    long index = 0;  // k, 0 .. K
    long step = 0;
    double t = 0;
    const std::vector<double>& phi;
    const std::vector<double>* exact;  // at the nodes; null where there is none
    FrameStats stats;
};

struct Sample {
    study::Scheme scheme{};
    long step = 0;
    double t = 0;
    const std::vector<double>& phi;
};

struct SchemeOutcome {
    study::Scheme scheme{};
    Verdict verdict;
    bool blewUp = false;
    long blowUpStep = 0;
    double blowUpTime = 0;
    // A bounded scheme whose step's iterations did not converge stops there
    // as a blow-up does: the step it could not make, the time that step was
    // to reach, and why ("its iterations did not converge (residual 3.1e-5
    // after 500)").
    bool stalled = false;
    long stallStep = 0;
    double stallTime = 0;
    std::string stallReason;
    long lastFrame = -1;                // the last frame handed out
    std::optional<double> settledTime;  // when the distance to the steady state fell below its tolerance
    double finalDistance = 0;
    // Why the steady reference could not be formed ("" when it was, or
    // none was asked for); the scheme then has no distances.
    std::string steadyFailure;
    long iterations = 0;  // a bounded scheme's iterations, all steps together
    // What the run did, over the frames it made: the largest total
    // variation against the initial one, and the largest excursion above
    // and below [min(phi0, ends), max(phi0, ends)] (0 when within).
    double initialVariation = 0, largestVariation = 0;
    double variationGrowth = 1;  // infinite when the first frame has none and a later one has
    double overshoot = 0, undershoot = 0;
};

struct Outcome {
    Steps steps;
    Numbers numbers;
    // 1e6 max(1, |phiA|, |phiB|, max |phi0|) up to kBlowUpCeiling, never
    // below that largest magnitude
    double blowUpLimit = 0;
    // NaturalBounds: without a source the exact solution stays inside.
    double lowest = 0, highest = 0;
    double settleTolerance = 0;  // 1e-6 max(1, |phiA|, |phiB|)
    bool hasSteady = false;      // the distances to the steady state were measured
    std::vector<SchemeOutcome> schemes;  // in plan order
};

// Called on the thread that runs, in the order frame 0 of every scheme,
// frame 1 of every scheme, ...
struct Callbacks {
    std::function<void(double share)> progress;
    std::function<void(const Frame&)> frame;
    std::function<void(const Sample&)> sampled;
    // The verdicts and steps, before the first step.
    std::function<void(const Outcome&)> started;
    // Before every iteration of a bounded scheme's implicit step, and of
    // its steady reference: a step of a large grid can iterate for seconds,
    // and this is where a caller looks at its own reasons to Cancel.
    std::function<void()> iterating;
};

class Run {
public:
    // The plan must be valid (N, steps and frames within their limits,
    // N >= 3 for QUICK).
    explicit Run(Plan plan);

    // Stops Go with study::Cancelled at its next step, or at the next
    // iteration of a bounded scheme's step; from any thread.
    void Cancel() { cancelled_.store(true, std::memory_order_relaxed); }

    // Raises study::SolveError (a singular matrix, an overflowing
    // coefficient, iterations that do not converge) or study::Cancelled.
    Outcome Go(const Callbacks& callbacks = {});

    const Plan& plan() const { return plan_; }

private:
    Plan plan_;
    std::atomic<bool> cancelled_{false};
};

// [min, max] of phi0, the values the ends hold (fixed values and the walls'
// outside values) and, with a source, the steady solution's range (on a
// periodic domain, phi0's range as the source moves it up to tEnd).
std::pair<double, double> NaturalBounds(const study::Problem& p, const std::vector<double>& phi0, double tEnd);
// The same for a plan: phi0 at the nodes of its grid, up to its t_end.
std::pair<double, double> NaturalBounds(const Plan& plan);

// The statistics of one state at time t; `previousVariation` < 0 when there
// is no previous frame.
FrameStats StatsOf(const study::Problem& p, const std::vector<double>& phi, const std::vector<double>* exact,
                   const std::vector<double>* steady, double previousVariation);

}  // namespace transient
