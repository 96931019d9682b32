// How each scheme looks in every chart and swatch: a colour, a line style
// and a marker shape, chosen so that no two schemes look alike, for
// colour-blind viewers too; and what a chart's φ axis follows.
#pragma once

#include <QColor>
#include <QImage>
#include <QLineSeries>
#include <QPen>
#include <QScatterSeries>
#include <QString>

#include "study/study.hpp"

namespace charts {

enum class Marker { Circle, Square, Triangle, Diamond, Star, Pentagon };

// Colours from Okabe and Ito's palette (black, kept for the exact solution,
// and yellow, too pale on white, left out), solid lines for the linear
// schemes and dashed, dash-dotted or dotted ones for the bounded schemes.
// Two schemes that share a colour never share a line style or a marker,
// and no two share both line style and marker: a chart of lines alone, a
// legend of markers alone and a grey print all tell every scheme apart.
struct Look {
    QColor colour;
    Qt::PenStyle line = Qt::SolidLine;
    Marker marker = Marker::Circle;
};
Look SchemeLook(study::Scheme s);

// The line of a look at `width` pixels.
QPen LookPen(const Look& look, double width);

// The marker of a look drawn `size` pixels across, filled with the colour
// and edged darker; made once for each look and size.
QImage MarkerImage(const Look& look, int size);

// A look as a swatch for a list or a table: a stretch of its line with its
// marker in the middle, `width` by `height` pixels.
QImage SwatchImage(study::Scheme s, int width, int height);

// The same shape as Qt Charts draws it in a scatter series.
QScatterSeries::MarkerShape ScatterShape(Marker m);

// Markers on the solution charts, in pixels across.
inline constexpr int kMarkerPixels = 9;

// Styles a scheme's series: its line, and its marker at every point when
// `markers` (none otherwise, for speed on long series). The chart's legend
// should draw markers from their series (QLegend::MarkerShapeFromSeries) to
// show the look.
void ApplyLook(QLineSeries* series, study::Scheme s, bool markers, double width = 1.6);

// The φ axis of a solution or profile chart follows the reference curves
// (the exact solution, the initial state) and every scheme that stays near
// them: within their range widened by kOffScaleMargin of its span on either
// side (of max(1, |φ|) when the span is nil). A scheme beyond is off scale:
// it is drawn clipped at the plot's edge, its legend entry says so, and the
// axis leaves it out, so that a scheme that blows up never flattens the
// others.
inline constexpr double kOffScaleMargin = 0.25;

class PhiRange {
public:
    // The reference curves' range.
    PhiRange(double lo, double hi);
    // Takes a scheme's range into the axis' if it is within reach; returns
    // whether it was (false for an off-scale one, or one not finite).
    bool Take(double lo, double hi);
    double Lo() const { return lo_; }
    double Hi() const { return hi_; }

private:
    double lo_, hi_, reachLo_, reachHi_;
};

// What a legend adds to the name of a scheme off scale.
inline constexpr const char* kOffScale = " (off scale)";

// What hovering an off-scale scheme says: "Central: φ from -2.58 to 3.58".
QString RangeText(study::Scheme s, double lo, double hi);

}  // namespace charts
