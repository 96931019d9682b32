// The pictures of a time-dependent run: each scheme's profile at t_end with
// the initial state and the exact solution, and the space-time picture, a
// panel per scheme with phi as colour over x and t on one colour scale.
#pragma once

#include <QChart>
#include <QImage>
#include <QValueAxis>
#include <map>
#include <vector>

#include "transient/run.hpp"

namespace charts {

// Each scheme's last good profile.
struct Profile {
    study::Scheme scheme{};
    std::vector<double> phi;
    double t = 0;
    // Where the run of the scheme ended before t_end: it blew up, or an
    // implicit step's iterations stalled, at `stopTime`; `t` is then the
    // last good profile's time, and the legend names the stop.
    bool blewUp = false, stalled = false;
    double stopTime = 0;
};

class TransientProfileChart : public QChart {
public:
    TransientProfileChart();
    // The profiles of `profiles` at the nodes of N volumes, the initial state
    // dashed and, where the state has one, the exact solution at t_end.
    void Show(const transient::Plan& plan, const std::vector<Profile>& profiles);

private:
    QValueAxis* x_;
    QValueAxis* y_;
};

// The colour of phi on a scale from lo to hi (dark blue, through green, to
// yellow).
QColor ScaleColour(double value, double lo, double hi);

// Gathers the samples of a run, each scheme's row of at most `columns`
// values (the node nearest each column's centre), and draws them.
class SpaceTime {
public:
    SpaceTime(const transient::Plan& plan, long rows, long columns = 600);
    void Add(const transient::Sample& s);
    // One panel per scheme in `order`, x across and t upwards inside Qt
    // Charts axes, and a colour bar.
    QImage Picture(const std::vector<study::Scheme>& order) const;

private:
    transient::Plan plan_;
    long rows_, columns_;
    std::map<study::Scheme, std::vector<std::vector<float>>> samples_;  // [scheme][row][column]
    double lo_ = 0, hi_ = 0;            // the colour scale
    double reachLo_ = 0, reachHi_ = 0;  // how far it may reach
    bool any_ = false;
};

}  // namespace charts
