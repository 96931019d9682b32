// What a handout says of a steady study: the problem and its inputs in
// words, the solutions chart, the errors table, the convergence chart and
// Sweby's diagram of the limiters; shared by convdiff-study and the
// comparison window.
#pragma once

#include <QStringList>
#include <memory>

#include "handout.hpp"
#include "limiter_chart.hpp"
#include "study/study.hpp"

namespace charts {

// The problem at N cells, a line each: the ends and the source, the
// inputs (u, N, L, rho, Gamma), the grid, the Peclet numbers.
QStringList ProblemLines(const study::Problem& p, long N);

// The errors table as convdiff-study reports it: each scheme's max error at
// the first N, its observed order between the two finest grids, whether it
// is bounded, and what its warning says; unbounded rows marked.
HandoutTable StudyErrors(const study::Study& st);
// A row's verdict where there is nothing to warn of.
inline constexpr const char* kNothingToWarn = "bounded, no negative coefficients";

// Sweby's diagram of the study's limiters with the (r, psi) points of the
// limited faces at the first N; null when the study has no bounded scheme.
std::unique_ptr<LimiterChart> SwebyOf(const study::Study& st);

// The study's part of a handout: the problem, the solutions at the first
// N, `errors` (StudyErrors or the window's table), the convergence of
// `convergence` when it has more than one N, and Sweby's diagram when there
// are limiters.
void AddStudy(Handout& h, const study::Study& st, const HandoutTable& errors, const study::Study* convergence);

}  // namespace charts
