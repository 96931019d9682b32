// The comparison window: every scheme solved side by side as the inputs
// change, against the exact solution, with each scheme's error, observed
// order and boundedness, and the convergence of the max error under
// refinement on a second tab.
#pragma once

#include <QFutureWatcher>
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <atomic>
#include <map>
#include <memory>
#include <optional>

#include "study/study.hpp"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QSlider;
class QTabWidget;
class QTableWidget;
class QChartView;

namespace charts {
class SolutionChart;
class ConvergenceChart;
}  // namespace charts

namespace compare {

// The inputs as typed, in the window's order.
struct InputTexts {
    QString phiA = "1", phiB = "0", u = "0.1", N = "5", L = "1", rho = "1", gamma = "0.1";
};

class CompareWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit CompareWindow(QWidget* parent = nullptr);
    ~CompareWindow() override;

    // The study the charts and the table show: the last good inputs.
    const study::Study* Current() const { return current_.get(); }
    // The convergence study shown on the second tab, once computed.
    const study::Study* Convergence() const { return convergence_.get(); }
    bool ConvergenceRunning() const;
    // Whether a large calculation is under way off the window's thread.
    bool Calculating() const;
    int CancelledConvergenceRuns() const { return cancelledRuns_; }

    // Runs a pending update now (the window coalesces changes and updates
    // from the event loop).
    void UpdateNow();

    // File and Edit actions, without dialogs.
    QString ExportChart(const QString& path);
    QString ExportNodes(const QString& path);
    QString ExportErrors(const QString& path);
    QString TableText() const;

    void ResetToDefaults();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildInputs(QWidget* panel);
    void BuildMenus();
    void SetInputs(const InputTexts& texts);
    void Changed();
    void Recalculate();
    void Shown(std::shared_ptr<const study::Study> st);
    void Failed(const std::string& why);
    bool ReadInputs(study::Problem& p, long& N);
    void Show(std::shared_ptr<const study::Study> st);
    void FillTable(const study::Study& st);
    void ConnectHover();
    void CancelConvergence();
    void StartConvergence();
    void SliderMoved(int value);
    void SyncSlider();
    std::vector<study::Scheme> Ticked() const;
    QChartView* CurrentChartView() const;
    void LoadSettings();
    void SaveSettings() const;
    void AskAndExportChart();
    void AskAndExport(bool nodes);

    std::array<QLineEdit*, 7> boxes_{};
    QLineEdit *phiA_, *phiB_, *u_, *N_, *L_, *rho_, *gamma_;
    QSlider* peclet_;
    std::map<study::Scheme, QCheckBox*> show_;
    QLabel* banner_;
    QTabWidget* tabs_;
    QChartView* solutionView_;
    QChartView* convergenceView_;
    charts::SolutionChart* solutionChart_;
    charts::ConvergenceChart* convergenceChart_;
    QTableWidget* table_;
    QProgressBar* progress_;

    // A calculation too large for the window's thread, and how it ended.
    struct Outcome {
        std::shared_ptr<const study::Study> study;
        std::string error;
    };
    QFutureWatcher<Outcome>* computing_;
    std::shared_ptr<std::atomic<bool>> cancelLive_;

    QTimer pending_;           // coalesces changes into one update
    QTimer convergenceDelay_;  // starts the convergence run once the inputs rest
    std::shared_ptr<const study::Study> current_;
    std::shared_ptr<const study::Study> convergence_;
    QFutureWatcher<std::shared_ptr<const study::Study>>* converging_;
    std::shared_ptr<std::atomic<bool>> cancelConvergence_;
    std::shared_ptr<std::atomic<int>> convergenceProgress_;
    QTimer progressTimer_;
    int cancelledRuns_ = 0;
    bool settingSlider_ = false;
};

}  // namespace compare
