// The study's pictures as Qt Charts: the solutions of every scheme against
// the exact one, and the convergence of the max error under refinement.
// The command-line program exports them and the comparison window shows
// them, so both draw the same picture.
#pragma once

#include <QChart>
#include <QColor>
#include <QGraphicsPathItem>
#include <QImage>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPainter>
#include <QString>
#include <QValueAxis>
#include <limits>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "scheme_look.hpp"
#include "study/study.hpp"

namespace charts {

// "Central", "QUICK", "Power law", ...
QString SchemeTitle(study::Scheme s);

// The first scheme before row `row` of a study whose solution on the first
// grid is the same as that row's, to rounding (central and hybrid for
// |Pe| < 2): two schemes that coincide hide each other on a chart.
std::optional<study::Scheme> SameAsEarlier(const study::Study& st, std::size_t row);

// What the solutions chart draws of a study, for each of its rows: the
// nodal values thinned for drawing, and SameAsEarlier. It reads every node,
// so that a large grid's is made where the study is, off the window's
// thread, and not again for each repaint.
struct SolutionDrawing {
    std::vector<QList<QPointF>> points;
    std::vector<std::optional<study::Scheme>> same;
};
SolutionDrawing DrawingOf(const study::Study& st);

// Markers at the nodes up to this many nodes; beyond, lines alone.
inline constexpr long kMostMarkedNodes = 60;
// Series longer than this are thinned for drawing, keeping each stretch's
// lowest and highest value so that oscillations stay visible.
inline constexpr long kMostDrawnPoints = 1200;
// Ticks at the cells' faces under the solutions up to this many cells;
// beyond, they would run together into a bar.
inline constexpr long kMostTickedCells = 200;

// The node whose cell holds x (1 to N), the nearest cell at either end.
long NodeAt(const study::Grid& g, double x);

// The solutions at the first grid of a study: the exact solution as a
// smooth curve, each scheme's nodal values as markers joined by lines.
class SolutionChart : public QChart {
public:
    SolutionChart();
    // Shows `st`; series are kept and refilled from one call to the next.
    void Show(const study::Study& st) { Show(st, DrawingOf(st)); }
    // The same with the drawing of `st` made beforehand.
    void Show(const study::Study& st, const SolutionDrawing& drawing);
    // The series of a scheme, or null when it is not shown.
    QLineSeries* SeriesOf(study::Scheme s) const;
    // The face positions ticked along the foot of the plot (none beyond
    // kMostTickedCells cells), and the ticks as drawn: one line each, up
    // from the x axis, in the chart's coordinates.
    const std::vector<double>& TickedFaces() const { return faces_; }
    const QGraphicsPathItem* CellTicks() const { return ticks_; }
    // For a scheme off scale (see PhiRange), what its values span ("Central:
    // φ from -2.58 to 3.58"); empty for one within the axis.
    QString OffScaleText(study::Scheme s) const;

private:
    // The ticks for the plot area as it is laid out now.
    void PlaceTicks();

    QValueAxis* x_;
    QValueAxis* y_;
    QLineSeries* exact_;
    std::map<study::Scheme, QLineSeries*> series_;
    std::map<study::Scheme, std::pair<double, double>> offScale_;  // each one's lowest and highest phi
    std::vector<double> faces_;
    QGraphicsPathItem* ticks_;  // a child of the chart, no series: out of the legend
};

// Errors below this share of the exact solution's largest |φ|, 512 units in
// the last place of it, are rounding: the solution is exact to the
// arithmetic there, whatever the scheme.
inline constexpr double kRoundingShare = 512 * std::numeric_limits<double>::epsilon();
// kRoundingShare of max |φ| of the exact solution (of 1 when that is 0).
double RoundingLevel(const study::Problem& p);

// Max error against N on log-log axes, with reference slopes 1 and 2. The
// errors axis goes down to the rounding level and no further: an error
// below it is drawn at it, ringed, and the scheme's legend entry says "(at
// rounding level)".
class ConvergenceChart : public QChart {
public:
    ConvergenceChart();
    void Show(const study::Study& st);
    // The rounding level of the study shown.
    double Floor() const { return floor_; }

private:
    QLogValueAxis* x_;
    QLogValueAxis* y_;
    double floor_ = 0;
};

// The exact solution sampled finely enough to look smooth, with extra
// points in the boundary layer at large Peclet numbers.
QList<QPointF> ExactCurve(const study::Problem& p, int points = 400);

// Draws a chart that no view shows, laid out at `size`, onto `painter` at
// its origin, as vectors where the painter's device keeps them (SVG, PDF):
// the chart is put in a scene of its own for the time of the drawing.
void Render(QChart* chart, QPainter& painter, QSize size);

// The chart drawn at `size` pixels.
QImage Image(QChart* chart, QSize size);

// Whether a file name ends in `end` (".svg"), in any case.
bool NameEndsIn(std::string_view name, std::string_view end);
// Whether a file name asks for SVG rather than PNG: it ends in ".svg", in
// any case.
inline bool SvgName(std::string_view name) { return NameEndsIn(name, ".svg"); }

// The chart drawn at `size` as the bytes of a PNG file, or of an SVG file;
// empty if the picture could not be encoded.
QByteArray Encode(QChart* chart, bool svg, QSize size);

// Writes the chart as PNG or SVG, by the file name's ending, whole or not at
// all (through files::Output). Returns an empty text, or why the file could
// not be written, in the system's words ("No space left on device").
QString Save(QChart* chart, const QString& path, QSize size);

}  // namespace charts
