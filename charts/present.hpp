// Presentation mode for the charts: larger fonts and thicker lines for a
// projector, the legend as a list at the right with every name whole; and,
// out of it, a bottom legend kept whole by moving it to the right when the
// chart is too narrow for its names in one row.
#pragma once

#include <QFont>
#include <QStringList>
#include <functional>

class QChart;

namespace charts {

// How much larger presentation mode draws fonts and lines, and the least
// size of any of its texts.
inline constexpr double kPresentScale = 1.6;
inline constexpr double kLeastPresentPoints = 14;

// `font` as presentation mode draws it: kPresentScale times larger, and at
// least kLeastPresentPoints.
QFont Enlarged(const QFont& font);

// Turns presentation mode on or off for `chart`: the title, axis and legend
// fonts enlarged, series pens and markers widened, the legend at the right.
// Series and axes the chart adds later follow while it is on (once the
// chart is in a view's scene). Off restores the chart's own look exactly.
void Present(QChart* chart, bool on);
bool Presented(const QChart* chart);

// `text` broken between words into lines no wider than `room`, as `width`
// measures a line (a word wider than that stands on a line of its own).
QStringList WordLines(const QString& text, const std::function<qreal(const QString&)>& width, qreal room);

// Lays `chart` out at once in its present size and fonts, its titles broken
// to fit while presented (otherwise that follows from the event loop).
void LayOutNow(QChart* chart);

}  // namespace charts
