// A time-dependent run's three tables as CSV, numbers written as the
// study's tables write them: the history of every frame, each frame's
// errors and extremes, and each scheme's stability verdict. Nothing that is
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
inline constexpr const char* kStabilityHeader =
    "scheme,theta,dt,courant,diffusion_number,cell_peclet,max_amplification,stable,positive,largest_stable_dt\n";

// One row per node of a frame, appended to `out`.
void AppendHistory(std::string& out, const study::Grid& g, const Frame& f);

// One row for a frame, appended to `out`.
void AppendErrors(std::string& out, const Frame& f);

// The stability table, header included: one row per scheme.
std::string StabilityTable(const Plan& plan, const Outcome& o);

}  // namespace transient::csv
