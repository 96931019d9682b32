// convdiff-study: every scheme solved against the exact solution on
// refining grids; a report on standard output, CSV tables and charts on
// request. Exit 0 done, 1 a calculation or a file failed, 2 a bad option.
#include <QApplication>
#include <algorithm>
#include <iostream>
#include <memory>
#include <new>

#include "charts/charts.hpp"
#include "charts/handout_study.hpp"
#include "charts/limiter_chart.hpp"
#include "files/whole_file.hpp"
#include "options.hpp"
#include "report.hpp"
#include "study/csv.hpp"

namespace {

using cli::Progress;
using cli::WriteText;

// The nodes and fluxes tables are written while the study runs, a stretch
// at a time, so that neither the solutions of the finer grids nor a whole
// grid's text need be kept.
class TableFile {
public:
    TableFile(const std::string& path, const char* header) : file_(path, files::FifoReader::WaitFor) {
        buffer_ = header;
    }
    void AddNodes(const study::Result& r, const std::vector<double>& exact) {
        constexpr long kStretch = 1 << 16;
        for (long first = 1; first <= r.grid.N; first += kStretch) {
            study::csv::AppendNodes(buffer_, r, exact, first, std::min(r.grid.N, first + kStretch - 1));
            if (buffer_.size() > (1u << 22)) Flush();
        }
    }
    void AddFluxes(const study::Problem& p, const study::Result& r) {
        const std::vector<study::FaceFlux> faces = study::FaceFluxes(p, r.scheme, r.grid, r.phi);
        constexpr std::size_t kStretch = 1 << 16;
        for (std::size_t first = 0; first < faces.size(); first += kStretch) {
            const std::vector<study::FaceFlux> part(faces.begin() + long(first),
                                                    faces.begin() + long(std::min(faces.size(), first + kStretch)));
            study::csv::AppendFluxes(buffer_, r, part);
            if (buffer_.size() > (1u << 22)) Flush();
        }
    }
    void Commit() {
        Flush();
        file_.Commit();
    }

private:
    void Flush() {
        file_.Write(buffer_);
        buffer_.clear();
    }
    files::Output file_;
    std::string buffer_;
};

// The limiters of the chosen bounded schemes, or all nine.
std::vector<study::Limiter> ChosenLimiters(const study::Plan& plan) {
    std::vector<study::Limiter> limiters;
    for (study::Scheme s : plan.schemes)
        if (const auto l = study::LimiterOf(s)) limiters.push_back(*l);
    if (limiters.empty()) limiters.assign(study::kLimiters.begin(), study::kLimiters.end());
    return limiters;
}

// Qt Charts needs an application object; it is made only when a chart is
// asked for, and always on the offscreen platform: this program draws into
// files and needs no display, whatever the environment names.
void WriteCharts(const cli::Options& o, const study::Study& st, char* program) {
    if (o.plotFile.empty() && o.convergencePlotFile.empty() && o.limiterPlotFile.empty() && o.handoutFile.empty())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's own notes (no runtime directory, fonts substituted) are not for
    // this program's users; its errors still show.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << text.toStdString() << "\n";
    });
    // Qt sees only the program's name: a file named "-platform" is this
    // program's argument, not Qt's.
    int qtArgc = 1;
    char* qtArgv[] = {program, nullptr};
    QApplication app(qtArgc, qtArgv);
    const QSize size(1000, 650);
    auto save = [&](QChart* chart, const std::string& path) {
        const QByteArray bytes = charts::Encode(chart, charts::SvgName(path), size);
        if (bytes.isEmpty()) throw files::Failure("cannot write " + path + ": the picture could not be encoded");
        WriteText(path, std::string_view(bytes.constData(), std::size_t(bytes.size())));
    };
    if (!o.plotFile.empty()) {
        charts::SolutionChart chart;
        chart.Show(st);
        save(&chart, o.plotFile);
    }
    if (!o.convergencePlotFile.empty()) {
        charts::ConvergenceChart chart;
        chart.Show(st);
        save(&chart, o.convergencePlotFile);
    }
    if (!o.limiterPlotFile.empty()) {
        charts::LimiterChart chart;
        chart.Show(ChosenLimiters(o.plan));
        save(&chart, o.limiterPlotFile);
    }
    if (!o.handoutFile.empty()) {
        charts::Handout handout("Convection-diffusion: the schemes compared");
        for (const std::string& note : o.notes) handout.Text(QString::fromStdString("Note: " + note));
        charts::AddStudy(handout, st, charts::StudyErrors(st), st.sizes.size() > 1 ? &st : nullptr);
        if (const std::string why = handout.Write(o.handoutFile); !why.empty()) throw files::Failure(why);
    }
}

int Run(const cli::Options& o, char** argv) {
    if (o.help) {
        WriteText("-", cli::kUsage);
        return 0;
    }
    if (o.version) {
        WriteText("-", "convdiff-study " CONVDIFF_VERSION "\n");
        return 0;
    }
    std::unique_ptr<TableFile> nodes, fluxes;
    if (!o.nodesFile.empty()) nodes = std::make_unique<TableFile>(o.nodesFile, study::csv::kNodesHeader);
    if (!o.fluxesFile.empty()) fluxes = std::make_unique<TableFile>(o.fluxesFile, study::csv::kFluxesHeader);
    Progress progress;
    study::Callbacks callbacks;
    callbacks.progress = [&](double share) { progress(share); };
    if (nodes || fluxes)
        callbacks.solved = [&](const study::Result& r, const std::vector<double>& exact) {
            if (nodes) nodes->AddNodes(r, exact);
            if (fluxes) fluxes->AddFluxes(o.problem, r);
        };
    const study::Study st = study::Run(o.problem, o.plan, callbacks);
    progress.Clear();
    // A table on standard output is all that goes there.
    if (o.report) WriteText("-", cli::Report(st, o.notes));
    if (nodes) nodes->Commit();
    if (fluxes) fluxes->Commit();
    if (!o.errorsFile.empty()) WriteText(o.errorsFile, study::csv::ErrorsTable(st));
    WriteCharts(o, st, argv[0]);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    files::RemoveTemporariesOnSignals();
    cli::Options o;
    try {
        o = cli::Parse(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const cli::UsageError& e) {
        std::cerr << "convdiff-study: " << e.what() << "\n";
        return 2;
    }
    try {
        return Run(o, argv);
    } catch (const study::SolveError& e) {
        std::cerr << "convdiff-study: the calculation failed: " << e.what() << "\n";
        return 1;
    } catch (const files::Failure& e) {
        std::cerr << "convdiff-study: " << e.what() << "\n";
        return 1;
    } catch (const std::bad_alloc&) {
        // Caught here, once the unfinished files are dropped and their
        // temporaries removed.
        std::cerr << "convdiff-study: cannot allocate memory for the study ";
        if (o.plan.refine == 0)
            std::cerr << "at N = " << o.plan.N << "\n";
        else
            std::cerr << "at N = " << o.plan.N << " to " << (o.plan.N << o.plan.refine) << "\n";
        return 1;
    }
}
