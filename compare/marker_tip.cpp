// The marker tip of the comparison window's solutions chart.
#include "marker_tip.hpp"

#include <QChartView>
#include <QCursor>
#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QToolTip>
#include <algorithm>

namespace compare {

MarkerTip::MarkerTip(QChartView* view) : QLabel(view->viewport()) {
    setObjectName("markerTip");
    setPalette(QToolTip::palette());
    setAutoFillBackground(true);
    setFrameShape(QFrame::Box);
    setMargin(3);
    setAttribute(Qt::WA_TransparentForMouseEvents);  // never between the mouse and the markers
    hide();
}

void MarkerTip::Follow(QLineSeries* series, std::function<QString(QPointF)> text, std::function<QString()> whole) {
    if (series->property("markerTip").toBool()) return;
    series->setProperty("markerTip", true);
    connect(series, &QLineSeries::hovered, this, [this, text, whole](const QPointF& point, bool state) {
        if (!state) return hide();
        const QString about = whole ? whole() : QString(), here = text(point);
        ShowAtMouse(about.isEmpty() ? here : here.isEmpty() ? about : here + "\n" + about);
    });
    if (!whole || !series->chart()) return;
    for (QLegendMarker* marker : series->chart()->legend()->markers(series))
        connect(marker, &QLegendMarker::hovered, this, [this, whole](bool state) { ShowAtMouse(state ? whole() : ""); });
}

void MarkerTip::ShowAtMouse(const QString& text) {
    if (text.isEmpty()) return hide();
    setText(text);
    adjustSize();
    // Below right of the mouse, inside the view.
    const QWidget* area = parentWidget();
    const QPoint mouse = area->mapFromGlobal(QCursor::pos());
    const int x = std::clamp(mouse.x() + 14, 0, std::max(0, area->width() - width()));
    const int y = mouse.y() + 18 + height() <= area->height() ? mouse.y() + 18 : std::max(0, mouse.y() - 8 - height());
    move(x, y);
    show();
    raise();
}

}  // namespace compare
