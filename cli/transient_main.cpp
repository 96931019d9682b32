// convdiff-transient: every scheme marched in time by the theta-method,
// with stability verdicts before marching and an exact reference or the
// distance to the steady state while marching; a report on standard
// output, CSV tables and charts on request. Exit 0 done (a blow-up is a
// result), 1 a calculation or a file failed, 2 a bad option.
#include <QApplication>
#include <QBuffer>
#include <iostream>
#include <memory>
#include <new>
#include <optional>

#include "charts/charts.hpp"
#include "charts/handout_time.hpp"
#include "charts/transient_charts.hpp"
#include "files/spilled_output.hpp"
#include "files/whole_file.hpp"
#include "transient/csv.hpp"
#include "transient_options.hpp"
#include "transient_report.hpp"

namespace {

using cli::Progress;

// A CSV file filled while the run goes, a few megabytes at a time, and put
// in place only when it is complete.
using Table = files::SpilledOutput;

// Qt Charts needs an application object; it is made only when a chart is
// asked for, and always on the offscreen platform: this program draws into
// files and needs no display.
void ChartApplication(std::optional<QApplication>& app, int& argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << text.toStdString() << "\n";
    });
    app.emplace(argc, argv);
}

void WriteBytes(const std::string& path, const QByteArray& bytes) {
    if (bytes.isEmpty()) throw files::Failure("cannot write " + path + ": the picture could not be encoded");
    files::Output out(path);
    out.Write(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    out.Commit();
}

// Each scheme's profile at frame k, or its last good one, named as having
// stopped, where its run ended before k.
std::vector<charts::Profile> ProfilesAt(long k, const transient::Outcome& out,
                                        const std::map<study::Scheme, charts::Profile>& at,
                                        const std::map<study::Scheme, charts::Profile>& last) {
    std::vector<charts::Profile> shown;
    for (const transient::SchemeOutcome& s : out.schemes) {
        if (const auto it = at.find(s.scheme); it != at.end()) {
            shown.push_back(it->second);
        } else if (const auto good = last.find(s.scheme); good != last.end() && s.lastFrame < k) {
            charts::Profile pr = good->second;
            pr.blewUp = s.blewUp;
            pr.stalled = s.stalled;
            pr.stopTime = s.blewUp ? s.blowUpTime : s.stallTime;
            shown.push_back(pr);
        }
    }
    return shown;
}

QByteArray Png(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return picture.save(&buffer, "PNG") ? bytes : QByteArray();
}

}  // namespace

int main(int argc, char** argv) {
    files::RemoveTemporariesOnSignals();
    cli::TransientOptions o;
    try {
        o = cli::ParseTransient(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const cli::UsageError& e) {
        std::cerr << "convdiff-transient: " << e.what() << "\n";
        return 2;
    }
    try {
        if (o.help || o.version) {
            cli::WriteText("-", o.help ? std::string(cli::kTransientUsage)
                                       : std::string("convdiff-transient " CONVDIFF_VERSION "\n"));
            return 0;
        }
        std::unique_ptr<Table> history, errors;
        if (!o.historyFile.empty()) history = std::make_unique<Table>(o.historyFile, transient::csv::kHistoryHeader);
        if (!o.errorsFile.empty()) errors = std::make_unique<Table>(o.errorsFile, transient::csv::kErrorsHeader);
        const bool handout = !o.handoutFile.empty();
        const bool pictures = !o.plotFile.empty() || !o.spaceTimePlotFile.empty() || handout;
        std::optional<QApplication> app;
        if (pictures) ChartApplication(app, argc, argv);

        transient::Plan plan = o.plan;
        const long kSpaceTimeRows = 400;
        if (!o.spaceTimePlotFile.empty() || handout) plan.samples = kSpaceTimeRows;
        std::optional<charts::SpaceTime> spaceTime;
        if (!o.spaceTimePlotFile.empty() || handout) spaceTime.emplace(plan, kSpaceTimeRows);
        std::map<study::Scheme, charts::Profile> profiles;
        // The handout's frames: the first, the middle and the last.
        const std::vector<long> handoutFrames = charts::HandoutFrames(plan.frames);
        std::vector<std::map<study::Scheme, charts::Profile>> framed(handoutFrames.size());
        const study::Grid grid = study::MakeGrid(plan.problem, plan.N);

        cli::TransientReport report(o);
        Progress progress;
        transient::Callbacks callbacks;
        callbacks.progress = [&](double share) { progress(share); };
        callbacks.frame = [&](const transient::Frame& f) {
            report.Add(f);
            if (history) {
                transient::csv::AppendHistory(history->Buffer(), grid, f);
                history->Spill();
            }
            if (errors) {
                transient::csv::AppendErrors(errors->Buffer(), f);
                errors->Spill();
            }
            // The last good profile of each scheme, for the plot.
            if (!o.plotFile.empty() || handout) profiles[f.scheme] = {f.scheme, f.phi, f.t};
            if (handout)
                for (std::size_t j = 0; j < handoutFrames.size(); ++j)
                    if (f.index == handoutFrames[j]) framed[j][f.scheme] = {f.scheme, f.phi, f.t};
        };
        if (spaceTime) callbacks.sampled = [&](const transient::Sample& s) { spaceTime->Add(s); };
        transient::Run run(plan);
        const transient::Outcome out = run.Go(callbacks);
        progress.Clear();

        if (history) history->Commit();
        if (errors) errors->Commit();
        if (!o.stabilityFile.empty()) {
            const std::string why = files::WriteWhole(o.stabilityFile, transient::csv::StabilityTable(plan, out));
            if (!why.empty()) throw files::Failure(why);
        }
        if (!o.outcomeFile.empty()) {
            const std::string why = files::WriteWhole(o.outcomeFile, transient::csv::OutcomeTable(out));
            if (!why.empty()) throw files::Failure(why);
        }
        if (!o.plotFile.empty()) {
            std::vector<charts::Profile> shown;
            for (const transient::SchemeOutcome& s : out.schemes) {
                if (!profiles.count(s.scheme)) continue;
                charts::Profile& pr = profiles[s.scheme];
                pr.blewUp = s.blewUp;
                pr.stalled = s.stalled;
                pr.stopTime = s.blewUp ? s.blowUpTime : s.stallTime;
                shown.push_back(pr);
            }
            charts::TransientProfileChart chart;
            chart.Show(plan, shown);
            WriteBytes(o.plotFile, charts::Encode(&chart, charts::SvgName(o.plotFile), QSize(1000, 650)));
        }
        if (!o.spaceTimePlotFile.empty()) WriteBytes(o.spaceTimePlotFile, Png(spaceTime->Picture(plan.schemes)));
        if (handout) {
            std::vector<std::unique_ptr<QChart>> frames;
            for (std::size_t j = 0; j < handoutFrames.size(); ++j) {
                const double t = double(handoutFrames[j] * out.steps.perFrame) * out.steps.dt;
                frames.push_back(charts::FrameChart(plan, t, ProfilesAt(handoutFrames[j], out, framed[j], profiles)));
            }
            charts::Handout sheet("Convection-diffusion in time: the schemes marched");
            for (const std::string& note : o.notes) sheet.Text(QString::fromStdString("Note: " + note));
            charts::AddTimeRun(sheet, plan, out, std::move(frames), spaceTime->Picture(plan.schemes), true, false);
            if (const std::string why = sheet.Write(o.handoutFile); !why.empty()) throw files::Failure(why);
        }
        // The report comes last, once every file is whole: a report that
        // cannot be written is then the only failure there is to say. A
        // table on standard output is all that goes there.
        if (o.report) cli::WriteText("-", report.Text(out));
    } catch (const study::SolveError& e) {
        std::cerr << "convdiff-transient: the calculation failed: " << e.what() << "\n";
        return 1;
    } catch (const files::Failure& e) {
        std::cerr << "convdiff-transient: " << e.what() << "\n";
        return 1;
    } catch (const std::bad_alloc&) {
        // Caught here, once the unfinished files are dropped and their
        // temporaries removed.
        std::cerr << "convdiff-transient: cannot allocate memory for the run at N = " << o.plan.N << "\n";
        return 1;
    }
    return 0;
}
