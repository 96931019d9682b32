// The space-time picture of a time-dependent run: a panel per scheme with
// phi as colour over x and t, on one colour scale fixed by the run's
// natural bounds, with a colour bar whose ticks fall on round numbers and
// two boxes for the values beyond the scale.
#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <map>
#include <memory>
#include <vector>

#include "transient/run.hpp"

namespace charts {

// The colour of phi on a scale from lo to hi (dark blue, through green, to
// yellow), clamped to the ends of the map.
QColor ScaleColour(double value, double lo, double hi);

// Values above and below the scale, and where there are none (rows not
// yet computed, or after a blow-up): none of them a colour of the map.
inline const QColor kAboveScale{226, 170, 185};  // light grey-pink
inline const QColor kBelowScale{20, 45, 50};     // dark grey-cyan
inline const QColor kNoValue{235, 235, 235};

struct ColourScale {
    double lo = 0, hi = 1;
    double tick = 0.2;    // between the ticks, 1, 2 or 5 times a power of ten
    double anchor = 0;    // a tick, the others whole multiples of `tick` away
    // The ticks within [lo, hi].
    std::vector<double> Ticks() const;
    // The map's colour within [lo, hi], kAboveScale and kBelowScale beyond.
    QColor Of(double value) const;
};

// The scale over [lo, hi] with ticks at round numbers. Bounds that
// collapse onto one value v (a field of zeros) are widened to
// v -+ max(1, |v|), so that v sits in the middle of the scale with a tick
// of its own.
ColourScale ScaleOver(double lo, double hi);
// The scale of a run: its natural bounds, [min(phi0, ends), max(phi0, ends)].
ColourScale ScaleOf(const transient::Plan& plan);

// Gathers the samples of a run, each scheme's row of at most `columns`
// values (the node nearest each column's centre), and draws them. A copy
// shares the rows gathered so far, so that the rows of a run under way can
// be handed to another thread and drawn there while the run goes on.
class SpaceTime {
public:
    SpaceTime(const transient::Plan& plan, long rows, long columns = 600);
    void Add(const transient::Sample& s);

    const ColourScale& Scale() const { return scale_; }
    long RowsOf(study::Scheme s) const;
    // One scheme's values as colours, a pixel per value, t upwards; rows
    // not yet gathered in kNoValue.
    QImage Data(study::Scheme s) const;

    // One panel per scheme in `order`, x across and t upwards inside Qt
    // Charts axes, and a colour bar, at `size` (labels at the charts' usual
    // size, however large the picture), or at a size of its own.
    QImage Picture(const std::vector<study::Scheme>& order, QSize size) const;
    QImage Picture(const std::vector<study::Scheme>& order) const;

private:
    using Row = std::shared_ptr<const std::vector<float>>;
    transient::Plan plan_;
    long rows_, columns_;
    ColourScale scale_;
    std::map<study::Scheme, std::vector<Row>> samples_;  // [scheme][row][column]
};

}  // namespace charts
