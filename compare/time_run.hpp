// The Time tab's runs: the plan a tab's choices make (every step a frame up
// to 2,000 steps, 2,000 frames beyond), the march off the window's thread
// handing each frame over as it is made, kept small enough to hold every
// frame, and now and then the space-time picture's rows so far.
#pragma once

#include <QString>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "background_job.hpp"
#include "charts/transient_charts.hpp"
#include "transient/run.hpp"

namespace compare {

// The most frames a run keeps: every step a frame up to this many steps.
inline constexpr long kMostFrames = 2000;
// A profile of more nodes is kept as each stretch's lowest and highest value.
inline constexpr long kMostKeptPoints = 2000;

// K = ceil(t_end / dt), at most kMostFrames; t_end and dt above 0.
long FramesFor(double tEnd, double dt);

// What a plan cannot be run for ("" when it can): a problem that breaks a
// rule of time runs, a periodic domain or flux-limited Lax-Wendroff on
// unequal cells, too many steps, too much work, QUICK on fewer than 3
// volumes, a position outside [0, L].
QString Unrunnable(const transient::Plan& plan);

// One scheme's profile at a frame, as kept: the values at `nodes` (node
// numbers from 0), or at every node when `nodes` is empty.
struct Shot {
    std::vector<std::uint32_t> nodes;
    std::vector<float> phi;
};
Shot Keep(const std::vector<double>& phi);

// One frame of every scheme still marching; `alive[s]` says whether scheme
// s (in plan order) has a shot in it, shots[s] being empty otherwise.
struct FrameSet {
    long index = 0;
    long step = 0;
    double t = 0;
    std::vector<bool> alive;
    std::vector<Shot> shots;
    // On the first frame: the verdicts, this grid's matrix test included,
    // made by the run before its first step.
    std::shared_ptr<const transient::Outcome> started;
    // On the first frame, then on a frame at most every
    // kSpaceTimeRedraw: the space-time picture's rows gathered so far.
    std::shared_ptr<const charts::SpaceTime> spaceTime;
};

// How a run ended: its outcome and the samples of its space-time picture.
struct TimeResult {
    std::shared_ptr<const transient::Outcome> outcome;
    std::shared_ptr<const charts::SpaceTime> spaceTime;  // gathered by the worker, drawn by the window
    std::string error;                      // a calculation that failed
};

using TimeJob = StreamingJob<std::shared_ptr<const FrameSet>, TimeResult>;

// The rows of the space-time picture.
inline constexpr long kSpaceTimeRows = 400;
// How often, at most, the rows gathered so far go with a frame to be drawn:
// drawing them takes the window a few tens of milliseconds.
inline constexpr std::chrono::milliseconds kSpaceTimeRedraw{200};

// Marches `plan`, handing every frame to `hand` as it is made. Nothing when
// it was cancelled.
std::optional<TimeResult> March(const transient::Plan& plan, JobControl& control, const TimeJob::Hand& hand);

}  // namespace compare
