// A time-dependent run's three tables as CSV, numbers written as the
// study's tables write them: the history of every frame, each frame's
// errors and extremes, each scheme's stability verdict and what its run
// did. Nothing that is
// not finite is ever written: such a cell is left empty.
#pragma once

#include <string>

#include "run.hpp"

namespace transient::csv {

inline constexpr const char* kHistoryHeader = "scheme,t,i,x,phi,exact\n";
// l1_error came last, after the others, so that readers of the older
// columns still find them where they were.
inline constexpr const char* kErrorsHeader =
    "scheme,step,t,max_error,rms_error,phi_min,phi_max,total_variation,l1_error\n";
// `stable`: every stability test passed; `positive`: both sides.
inline constexpr const char* kStabilityHeader =
    "scheme,theta,dt,courant,diffusion_number,cell_peclet,max_amplification,stable,positive,largest_stable_dt,"
    "matrix_max_amplification,matrix_stable,positive_implicit,positive_explicit,tvd,largest_positive_dt\n";
// `stopped`: a bounded scheme's iterations did not converge at some step, and
// it went no further (last, after the older columns).
inline constexpr const char* kOutcomeHeader =
    "scheme,blew_up,blow_up_time,variation_growth,overshoot,undershoot,contradicts_verdict,stopped\n";

// One row per node of a frame, appended to `out`.
void AppendHistory(std::string& out, const study::Grid& g, const Frame& f);

// One row for a frame, appended to `out`.
void AppendErrors(std::string& out, const Frame& f);

// The stability table, header included: one row per scheme.
std::string StabilityTable(const Plan& plan, const Outcome& o);

// What each scheme's run did, header included: one row per scheme.
std::string OutcomeTable(const Outcome& o);

}  // namespace transient::csv
