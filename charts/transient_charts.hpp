// The pictures of a time-dependent run: each scheme's profile at t_end with
// the initial state and the exact solution, and (space_time.hpp) the
// space-time picture, a panel per scheme with phi as colour over x and t.
#pragma once

#include <QChart>
#include <QImage>
#include <QValueAxis>
#include <map>
#include <vector>

#include "space_time.hpp"
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

}  // namespace charts
