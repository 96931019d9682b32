// The comparison window's exports: the chart on show as PNG or SVG, drawn
// as the study program draws it, and the nodes and errors as CSV tables.
// Each returns "" or why the file could not be written.
#pragma once

#include <QString>

#include "study/study.hpp"

namespace compare {

// The solutions of `current`, or the convergence of `convergence`.
QString ExportSolutionChart(const study::Study* current, const QString& path);
QString ExportConvergenceChart(const study::Study* convergence, const QString& path);
// Sweby's diagram of the ticked limiters (all nine when none is), as
// `convdiff-study --limiter-plot` draws it, with the faces of `current`.
QString ExportLimiterChart(const study::Study* current, const QString& path);
QString ExportNodes(const study::Study* current, const QString& path);
QString ExportErrors(const study::Study* current, const QString& path);

}  // namespace compare
