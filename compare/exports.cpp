// The comparison window's exports, through the same charts and CSV tables
// as convdiff-study, so that the files are the ones it writes.
#include "exports.hpp"

#include <QFile>

#include "charts/charts.hpp"
#include "charts/limiter_chart.hpp"
#include "limiters_page.hpp"
#include "files/whole_file.hpp"
#include "study/csv.hpp"

namespace compare {

namespace {

const QSize kExportSize(1000, 650);  // the size convdiff-study draws at

// Until the inputs have once been good (a remembered entry may not be),
// there is nothing to export.
const QString kNothingYet = "nothing has been calculated yet: correct the marked inputs first";

// "PATH: No space left on device"; the file as it was.
QString Saved(const QString& path, const std::string& text) {
    const std::string why = files::WriteWhole(QFile::encodeName(path).toStdString(), text);
    return why.empty() ? QString() : QString("%1: %2").arg(path, QString::fromLocal8Bit(files::Reason(why)));
}

}  // namespace

QString ExportSolutionChart(const study::Study* current, const QString& path) {
    if (!current) return kNothingYet;
    charts::SolutionChart chart;
    chart.Show(*current);
    return charts::Save(&chart, path, kExportSize);
}

QString ExportConvergenceChart(const study::Study* convergence, const QString& path) {
    if (!convergence) return "the convergence chart is still being computed";
    charts::ConvergenceChart chart;
    chart.Show(*convergence);
    return charts::Save(&chart, path, kExportSize);
}

QString ExportLimiterChart(const study::Study* current, const QString& path) {
    if (!current) return kNothingYet;
    std::vector<study::Limiter> limiters = LimitersPage::Limiters(*current);
    charts::LimiterChart chart;
    chart.Show(limiters.empty() ? std::vector<study::Limiter>(study::kLimiters.begin(), study::kLimiters.end())
                                : limiters);
    const study::Problem& p = current->problem;
    for (const auto& grids : current->results)
        if (const auto l = study::LimiterOf(grids.at(0).scheme))
            chart.ShowFaces(*l, study::LimitedFaces(p, grids[0].grid, *l, grids[0].phi));
    return charts::Save(&chart, path, kExportSize);
}

QString ExportNodes(const study::Study* current, const QString& path) {
    return current ? Saved(path, study::csv::NodesTable(*current)) : kNothingYet;
}

QString ExportErrors(const study::Study* current, const QString& path) {
    return current ? Saved(path, study::csv::ErrorsTable(*current)) : kNothingYet;
}

}  // namespace compare
