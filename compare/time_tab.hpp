// The comparison window's Time tab: the ticked schemes marched from an
// initial state by the chosen time method on the window's inputs, off the
// window's thread, each frame shown as it is made; play, step, rewind and a
// time slider over the frames made so far; a banner on the stability of
// the step; the amplification factor; a space-time picture that fills in
// as the run goes, and a progress bar for runs that take a while. The problem
// is the steady tabs', or, when Periodic is ticked, the same on a periodic
// domain.
#pragma once

#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "input_panel.hpp"
#include "time_export.hpp"
#include "time_run.hpp"

class QChartView;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSettings;
class QSlider;
class QSpinBox;

namespace charts {
class Handout;
}

namespace compare {

class TimeProfileChart;
class AmplificationChart;
class SpaceTimeView;

class TimeTab : public QWidget {
    Q_OBJECT

public:
    explicit TimeTab(QWidget* parent = nullptr);
    ~TimeTab() override;

    // The window's inputs, or nothing and why they cannot be used. A change
    // restarts the run from t = 0 (from the event loop; while the tab is out
    // of sight, once it comes into sight, so that the steady tabs keep the
    // cores).
    void SetInputs(const std::optional<Inputs>& in, const QString& why);
    // Restarts a pending run now.
    void UpdateNow();

    // The plan being marched, once the inputs are good.
    const transient::Plan* Plan() const { return plan_ ? &*plan_ : nullptr; }
    long FramesReady() const { return long(frames_.size()); }
    long FrameShown() const { return shown_; }
    const FrameSet* Frame(long k) const { return frames_.at(std::size_t(k)).get(); }
    bool Finished() const { return finished_; }
    bool Playing() const;
    void ShowFrame(long k);
    TimeJob& Marching() { return marching_; }
    TimeProfileChart* ProfileChart() const { return profile_; }
    SpaceTimeView* SpaceTimePicture() const { return spaceTime_; }
    // Started with each run: when it times out with the run still going,
    // the progress bar shows.
    QTimer* ProgressDelay() const { return progressDelay_; }

    // For the inputs as they are now, whether or not the tab has marched
    // them yet. The tables are written in the background (Exporting() says
    // how it ends): "" once started, or why they cannot be.
    QString ExportHistory(const QString& path);
    QString ExportErrors(const QString& path);
    TimeExport& Exporting() { return exporting_; }
    QString ExportChart(const QString& path) const;
    // The finished run's part of a handout: its first, middle and last
    // frames, the space-time picture and the verdicts; the problem too when
    // it is not `steady` (a periodic domain). Nothing before the run ends.
    void AddToHandout(charts::Handout& h, const study::Problem& steady) const;

    void Save(QSettings& settings) const;
    void Load(const QSettings& settings);
    void Reset();

    // Room enough for large fonts: the charts taller, the tab scrolling
    // when the window is too short for them.
    void SetRoomy(bool on);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    int LeastAmplificationWidth() const;
    void BuildProgress();
    std::optional<transient::Plan> Read(QString& why);
    // The plan of the inputs as they are now, or why there is none.
    std::optional<transient::Plan> Now(QString& why);
    QString StartExport(const QString& path, bool history);
    void Restart();
    void Arrived(std::shared_ptr<const FrameSet> f);
    void Ended(TimeResult result);
    void Tick();
    void ShowSpaceTime();
    void StopProgress();
    void InitialChosen();
    std::vector<const Shot*> LastGood(long k) const;

    QComboBox* initial_;
    QLabel* labelA_;
    QLabel* labelB_;
    QLineEdit* a_;
    QLineEdit* b_;
    QCheckBox* periodic_;  // phi(x + L) = phi(x): the ends play no part
    QComboBox* scheme_;  // the time method
    QString leftOut_;    // the ticked schemes the method does not march, in words
    QLineEdit* dt_;
    QLineEdit* tEnd_;
    QLabel* figures_;
    QLabel* banner_;
    QPushButton* play_;
    QPushButton* step_;
    QPushButton* rewind_;
    QSlider* time_;
    QSpinBox* speed_;
    QChartView* profileView_;
    QChartView* amplificationView_;
    QComboBox* spaceTimeScheme_;
    SpaceTimeView* spaceTime_;
    QProgressBar* progress_;  // the share of t_end reached, for runs over half a second
    QTimer* progressDelay_;
    TimeProfileChart* profile_;
    AmplificationChart* amplification_;

    TimeJob marching_;
    QTimer pending_;
    QTimer player_;
    std::optional<Inputs> inputs_;
    QString inputsWhy_;
    std::optional<transient::Plan> plan_;
    std::vector<std::shared_ptr<const FrameSet>> frames_;
    std::vector<long> lastAlive_;  // each scheme's last frame
    long shown_ = -1;
    bool finished_ = false;
    bool stale_ = false;  // a change came while the tab was out of sight
    TimeResult result_;
    std::shared_ptr<const charts::SpaceTime> spaceTimeRows_;  // the newest rows, or the run's all
    TimeExport exporting_{this};
};

}  // namespace compare
