// What a handout says of a time run: the initial state and the time
// stepping, the profiles at the first, middle and last frames, the
// space-time picture, and each scheme's stability verdicts and what its run
// did; shared by convdiff-transient and the comparison window.
#pragma once

#include <QChart>
#include <QImage>
#include <QStringList>
#include <memory>
#include <vector>

#include "handout.hpp"
#include "transient_charts.hpp"

namespace charts {

// The frames a handout shows of a run of `frames` frames: 0, the middle
// and the last, each once.
std::vector<long> HandoutFrames(long frames);

// The profiles at time t, with the initial state and, where the state has
// one, the exact solution at t.
std::unique_ptr<QChart> FrameChart(const transient::Plan& plan, double t, const std::vector<Profile>& profiles);

// The initial state and the time stepping, a line each.
QStringList TimeLines(const transient::Plan& plan, const transient::Outcome& out);
// Each scheme's verdicts, in the words of convdiff-transient's report: the
// stability of the step, positivity, a singular mode, what the run did and
// where that contradicts the verdict.
QStringList VerdictLines(const transient::Plan& plan, const transient::Outcome& out);

// The run's part of a handout: the problem (when `withProblem`: a handout
// of the run alone), the time stepping, `frames` (FrameChart or the
// window's), the space-time picture and the verdicts; on a page of its own
// when `newPage`.
void AddTimeRun(Handout& h, const transient::Plan& plan, const transient::Outcome& out,
                std::vector<std::unique_ptr<QChart>> frames, const QImage& spaceTime, bool withProblem, bool newPage);

}  // namespace charts
