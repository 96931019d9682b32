// A tip inside a chart's view that tells about the marker under the mouse.
// It is a child of the view, not a window of its own: a tooltip window is
// hidden again at once on an X server where its appearing moves the focus.
#pragma once

#include <QLabel>
#include <QPointF>
#include <functional>

class QChartView;
class QLineSeries;

namespace compare {

class MarkerTip : public QLabel {
    Q_OBJECT

public:
    explicit MarkerTip(QChartView* view);

    // Hovering over `series` shows what `text` says about the point there
    // (in the series' values), and below it what `whole` says of the series
    // (its range when off scale); hovering over its legend entry shows
    // `whole` alone. An empty text shows nothing. Once per series, after it
    // is added to its chart.
    void Follow(QLineSeries* series, std::function<QString(QPointF)> text, std::function<QString()> whole = {});
    // Shows `text` beside the mouse, or hides the tip for an empty text.
    void ShowAtMouse(const QString& text);
};

}  // namespace compare
