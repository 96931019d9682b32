// The Time tab's exports, made in the background and streamed to the file,
// and their progress in the window's status bar.
#include "time_export.hpp"

#include <QHBoxLayout>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

#include "files/spilled_output.hpp"
#include "transient/csv.hpp"

namespace compare {

std::optional<QString> WriteTimeTable(const transient::Plan& plan, const QString& path, bool history,
                                      JobControl& control, const ExportJob::Hand& hand) {
    try {
        const study::Grid grid = study::MakeGrid(plan.problem, plan.N);
        files::SpilledOutput out(path.toStdString(),
                                 history ? transient::csv::kHistoryHeader : transient::csv::kErrorsHeader);
        transient::Run run(plan);
        // The run stops at its next step once the job is cancelled.
        auto stopIfCancelled = [&] {
            if (control.Cancelled()) run.Cancel();
        };
        transient::Callbacks callbacks;
        long handed = -1;
        callbacks.frame = [&](const transient::Frame& f) {
            stopIfCancelled();
            if (history)
                transient::csv::AppendHistory(out.Buffer(), grid, f);
            else
                transient::csv::AppendErrors(out.Buffer(), f);
            out.Spill();
            if (f.index != handed) {
                handed = f.index;
                hand(int(100 * f.index / std::max(1L, plan.frames)));
            }
        };
        callbacks.progress = [&](double share) {
            stopIfCancelled();
            control.Progress(share);
        };
        run.Go(callbacks);
        // A cancel after the last step still leaves the file as it was.
        if (control.Cancelled()) return std::nullopt;
        out.Commit();
        return QString();
    } catch (const study::Cancelled&) {
        return std::nullopt;
    } catch (const study::SolveError& e) {
        return QString("the calculation failed: %1").arg(e.what());
    } catch (const files::Failure& e) {
        return QString::fromStdString(e.what());
    }
}

TimeExport::TimeExport(QObject* parent)
    : QObject(parent),
      job_(
          this, [this](int percent) { progressed(percent); },
          [this](QString why) { finished(path_, why); }) {}

void TimeExport::Start(const transient::Plan& plan, const QString& path, bool history) {
    Cancel();
    path_ = path;
    job_.Start([plan, path, history](JobControl& control, const ExportJob::Hand& hand) {
        return WriteTimeTable(plan, path, history, control, hand);
    });
    started(path);
}

void TimeExport::Cancel() {
    if (!job_.Running()) return;
    job_.Cancel();
    cancelled(path_);
}

void ShowTimeExports(QMainWindow& window, TimeExport& exporting) {
    auto* pane = new QWidget;
    auto* layout = new QHBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QProgressBar;
    bar->setObjectName("exportProgress");
    bar->setAccessibleName("Export of the time table");
    bar->setRange(0, 100);
    bar->setMaximumWidth(160);
    auto* cancel = new QPushButton("Cancel");
    cancel->setObjectName("cancelExport");
    cancel->setToolTip("Stop the export; the file is left as it was");
    layout->addWidget(bar);
    layout->addWidget(cancel);
    pane->hide();
    window.statusBar()->addPermanentWidget(pane);
    QStatusBar* status = window.statusBar();

    QObject::connect(cancel, &QPushButton::clicked, &exporting, &TimeExport::Cancel);
    QObject::connect(&exporting, &TimeExport::progressed, bar, &QProgressBar::setValue);
    QObject::connect(&exporting, &TimeExport::started, pane, [pane, bar, status](const QString& path) {
        bar->setValue(0);
        pane->show();
        status->showMessage("Exporting to " + path + " …");
    });
    QObject::connect(&exporting, &TimeExport::cancelled, pane, [pane, status](const QString& path) {
        pane->hide();
        status->showMessage("The export to " + path + " was cancelled; the file is as it was");
    });
    QObject::connect(&exporting, &TimeExport::finished, pane,
                     [pane, status, &window](const QString& path, const QString& why) {
                         pane->hide();
                         if (why.isEmpty()) return status->showMessage("Wrote " + path);
                         status->showMessage("The table could not be written: " + why);
                         // Not modal: the window goes on while the box is up.
                         auto* box = new QMessageBox(QMessageBox::Warning, window.windowTitle(),
                                                     "The table could not be written: " + why, QMessageBox::Ok,
                                                     &window);
                         box->setObjectName("exportFailed");
                         box->setAttribute(Qt::WA_DeleteOnClose);
                         box->open();
                     });
}

}  // namespace compare
