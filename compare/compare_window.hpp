// The comparison window: every scheme solved side by side as the inputs
// change, against the exact solution, with each scheme's error, observed
// order and boundedness, and the convergence of the max error under
// refinement on a second tab. The window lays out its pieces and holds the
// menus; each piece does one job (compare/*.hpp).
#pragma once

#include <QFont>
#include <QMainWindow>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>

#include "background_job.hpp"
#include "study/study.hpp"

class QAction;
class QLabel;
class QProgressBar;
class QSplitter;
class QTabWidget;
class QTableView;
class QChartView;

namespace charts {
class SolutionChart;
class ConvergenceChart;
struct SolutionDrawing;
}  // namespace charts

namespace compare {

class InputPanel;
class LimitersPage;
class TimeTab;
class ErrorsModel;
class MarkerTip;

class CompareWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit CompareWindow(QWidget* parent = nullptr);
    ~CompareWindow() override;

    // The study the charts and the table show: the last good inputs.
    const study::Study* Current() const { return current_.get(); }
    // The convergence study shown on the second tab, once computed.
    const study::Study* Convergence() const { return convergence_.get(); }
    bool ConvergenceRunning() const { return converging_.Running(); }
    // Whether a large calculation is under way off the window's thread.
    bool Calculating() const { return calculating_.Running(); }
    int CancelledConvergenceRuns() const { return converging_.CancelledRuns(); }
    // The background work, for tests that hold it.
    JobBase& LiveCalculation() { return calculating_; }
    JobBase& ConvergenceRun() { return converging_; }
    QTabWidget* Tabs() const { return tabs_; }
    LimitersPage* Limiters() const { return limiters_; }
    TimeTab* Time() const { return time_; }

    // Runs a pending update now (the window coalesces changes and updates
    // from the event loop).
    void UpdateNow();

    // File and Edit actions, without dialogs.
    QString ExportChart(const QString& path);
    QString ExportNodes(const QString& path);
    QString ExportErrors(const QString& path);
    // The handout (PDF): "" or "PATH: the system's reason".
    QString ExportHandout(const QString& path);
    QString TableText() const;

    void ResetToDefaults();

    // Presentation mode (View > Presentation, F5): every text and line of
    // the window larger for a projector, the legends beside the charts.
    void SetPresentation(bool on);
    bool Presenting() const { return presenting_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // A calculation too large for the window's thread, and how it ended.
    struct Outcome {
        std::shared_ptr<const study::Study> study;
        std::shared_ptr<const charts::SolutionDrawing> drawing;  // made with the study
        std::string error;
    };

    QWidget* BuildConvergencePage();
    void BuildTable();
    void BuildMenus();
    void Recalculate();
    void Shown(std::shared_ptr<const study::Study> st, std::shared_ptr<const charts::SolutionDrawing> drawing);
    void Failed(const std::string& why);
    void Converged(std::shared_ptr<const study::Study> st);
    void StartConvergence();
    void FitTable();
    void ConnectHover();
    // The solutions chart brought up to the study on show. Every layout of
    // its series strokes them whole: on another tab it waits until it comes
    // into sight.
    void ShowSolutions();
    bool SolutionsInSight() const;
    QChartView* CurrentChartView() const;
    void AskAndExportChart();
    void AskAndExport(bool nodes);
    void AskAndExportTime(bool history);
    void AskAndExportHandout();
    void FitScreen();

    InputPanel* inputs_;
    QLabel* banner_;
    QTabWidget* tabs_;
    QChartView* solutionView_;
    QChartView* convergenceView_;
    LimitersPage* limiters_;
    TimeTab* time_;
    charts::SolutionChart* solutionChart_;
    bool solutionsStale_ = false;  // the chart shows an older study than current_
    MarkerTip* markerTip_;
    charts::ConvergenceChart* convergenceChart_;
    ErrorsModel* errors_;
    QTableView* table_;
    QSplitter* right_;
    QProgressBar* progress_;
    QAction* presentation_ = nullptr;
    bool presenting_ = false;
    std::optional<QFont> normalFont_;  // the window's own font, when it had one

    BackgroundJob<Outcome> calculating_;
    BackgroundJob<std::shared_ptr<const study::Study>> converging_;
    QTimer pending_;           // coalesces changes into one update
    QTimer convergenceDelay_;  // starts the convergence run once the inputs rest
    bool convergenceWaits_ = false;  // for a steady tab to come into sight
    std::shared_ptr<const study::Study> current_;
    std::shared_ptr<const charts::SolutionDrawing> drawing_;  // current_'s
    std::shared_ptr<const study::Study> convergence_;
};

}  // namespace compare
