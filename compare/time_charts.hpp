// The Time tab's charts: each ticked scheme's profile at the frame on show
// with the initial state dashed and the exact solution at that time, series
// kept and refilled from frame to frame with no more points than the plot
// has pixel columns; and the amplification factor |G(k)| of the ticked
// linear schemes at the step and time method of the run.
#pragma once

#include <QChart>
#include <QImage>
#include <QWidget>
#include <QLineSeries>
#include <QValueAxis>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "time_run.hpp"

namespace compare {

class TimeProfileChart : public QChart {
public:
    TimeProfileChart();
    // A new run: its schemes' series, the initial state and the axes.
    void Start(const transient::Plan& plan);
    // Frame `f`; a scheme with no shot in it shows `lastGood[s]` (its last
    // good shot, or none), named as having blown up.
    void ShowFrame(const FrameSet& f, const std::vector<const Shot*>& lastGood);
    // How each scheme's run ended before t_end, once the run is over
    // (" (blew up at t = 2.18 s)"; empty for one that reached it); until
    // then a scheme with no shot is named " (ended early)", as the run has
    // yet to say how.
    void SetEndings(std::vector<QString> endings) { endings_ = std::move(endings); }
    QLineSeries* SeriesOf(study::Scheme s) const;
    QLineSeries* Exact() const { return exact_; }
    // For a scheme off scale in the frame shown (see charts::PhiRange), what
    // its values span ("Central: φ from -2.58 to 3.58"); else empty.
    QString OffScaleText(study::Scheme s) const;

private:
    void Fill(QLineSeries* series, const Shot& shot) const;

    transient::Plan plan_;
    QValueAxis* x_;
    QValueAxis* y_;
    QLineSeries* initial_;
    QLineSeries* exact_;
    std::vector<QLineSeries*> schemes_;  // in plan order
    std::vector<QString> endings_;
    double referenceLo_ = 0, referenceHi_ = 1;  // the initial state's and the exact solution's
    double lo_ = 0, hi_ = 1;                    // the axis'
    std::vector<std::optional<std::pair<double, double>>> offScale_;  // in plan order
};

// How each scheme's run ended before t_end, for SetEndings: " (blew up at
// t = 2.18 s)", " (stopped at t = 0.2 s)", or empty.
std::vector<QString> Endings(const transient::Outcome& out);

// The space-time picture of one or more schemes, drawn at the view's own
// size so that its labels are as large as the other charts'; from the rows
// gathered so far while a run goes, those not yet computed left blank.
class SpaceTimeView : public QWidget {
public:
    using QWidget::QWidget;
    void SetRows(std::shared_ptr<const charts::SpaceTime> rows, std::vector<study::Scheme> order);
    const charts::SpaceTime* Rows() const { return rows_.get(); }
    // The picture as it is shown; null without rows.
    const QImage& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    // Drawn here, never while painting: the charts it is drawn with are
    // widgets of a scene of their own.
    void Draw();

    std::shared_ptr<const charts::SpaceTime> rows_;
    std::vector<study::Scheme> order_;
    QImage picture_;  // of rows_ at this size
    bool drawing_ = false, again_ = false;
};

class AmplificationChart : public QChart {
public:
    AmplificationChart();
    // |G(k)| for 0 <= k <= pi of the linear schemes of `plan`, at the step
    // dt by the plan's time method.
    void Show(const transient::Plan& plan, double dt);

private:
    QValueAxis* k_;
    QValueAxis* g_;
    QLineSeries* one_;
};

}  // namespace compare
