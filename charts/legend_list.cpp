// The legend list beside a chart: filled from the chart's legend markers,
// one entry for each name of a series on show, with a swatch drawn from the
// series' own pen, marker or fill.
#include "legend_list.hpp"

#include "present.hpp"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QEvent>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QLegend>
#include <QLegendMarker>
#include <QPainter>
#include <QScatterSeries>
#include <QScrollBar>
#include <QXYSeries>
#include <algorithm>

namespace charts {

namespace {

struct Entry {
    QString name;
    QAbstractSeries* series;
    QLegendMarker* marker;
};

// The entries the legend shows: markers of series on show with a name,
// a name met before (the faces on a limiter's curve) listed once.
std::vector<Entry> Entries(QChart* chart) {
    std::vector<Entry> entries;
    for (QLegendMarker* marker : chart->legend()->markers()) {
        QAbstractSeries* s = marker->series();
        const QString name = marker->label();
        if (name.isEmpty() || (s && !s->isVisible())) continue;
        if (std::any_of(entries.begin(), entries.end(), [&](const Entry& e) { return e.name == name; })) continue;
        entries.push_back({name, s, marker});
    }
    return entries;
}

// A swatch `size` across: a stretch of the series' line with its marker in
// the middle, a scatter series' marker, or an area's fill.
QIcon Swatch(const Entry& e, QSize size) {
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box(QPointF(0, 0), QSizeF(size));
    const QPointF mid = box.center();
    const qreal dot = std::min<qreal>(size.height() * 0.6, 12);
    if (auto* scatter = qobject_cast<QScatterSeries*>(e.series)) {
        painter.setPen(QPen(scatter->borderColor(), 1));
        painter.setBrush(scatter->color());
        const QRectF r(mid.x() - dot / 2, mid.y() - dot / 2, dot, dot);
        scatter->markerShape() == QScatterSeries::MarkerShapeRectangle ? painter.drawRect(r) : painter.drawEllipse(r);
    } else if (auto* xy = qobject_cast<QXYSeries*>(e.series)) {
        QPen pen = xy->pen();
        pen.setWidthF(std::clamp<qreal>(pen.widthF(), 1.5, 4));
        painter.setPen(pen);
        painter.drawLine(QPointF(2, mid.y()), QPointF(box.right() - 2, mid.y()));
        const QImage marker = xy->lightMarker();
        if (!marker.isNull())
            painter.drawImage(QRectF(mid.x() - dot / 2, mid.y() - dot / 2, dot, dot), marker);
    } else {
        const QBrush brush = qobject_cast<QAreaSeries*>(e.series) ? static_cast<QAreaSeries*>(e.series)->brush()
                                                                  : e.marker->brush();
        painter.setPen(e.marker->pen());
        painter.setBrush(brush);
        painter.drawRect(box.adjusted(2, size.height() * 0.2, -2, -size.height() * 0.2));
    }
    return QIcon(picture);
}

// What a list filled from `entries` depends on: names, pens and markers.
QString Key(const std::vector<Entry>& entries, int iconHeight) {
    QString key = QString::number(iconHeight);
    for (const Entry& e : entries) {
        key += '\n' + e.name + '|' + e.marker->pen().color().name() + QString::number(int(e.marker->pen().style()));
        if (auto* xy = qobject_cast<QXYSeries*>(e.series)) key += QString::number(xy->lightMarker().cacheKey());
    }
    return key;
}

}  // namespace

LegendList::LegendList(QChart* chart, QWidget* parent) : QListWidget(parent), chart_(chart) {
    setObjectName("legendList");
    setAccessibleName("Legend");
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideNone);
    setFrameShape(QFrame::NoFrame);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    hide();
}

void LegendList::SetShown(bool on) {
    if (on == shown_) return;
    shown_ = on;
    if (on) {
        legendWasVisible_ = chart_->legend()->isVisible();
        // The chart's series come and go as it shows a new result.
        if (chart_->scene())
            connect(chart_->scene(), &QGraphicsScene::changed, this, &LegendList::Refill, Qt::UniqueConnection);
        Refill();
        chart_->legend()->setVisible(false);
    } else {
        if (chart_->scene()) disconnect(chart_->scene(), &QGraphicsScene::changed, this, &LegendList::Refill);
        chart_->legend()->setVisible(legendWasVisible_);
    }
    setVisible(on);
    updateGeometry();
}

QStringList LegendList::Names() const {
    QStringList names;
    for (int i = 0; i < count(); ++i) names.append(item(i)->data(Qt::UserRole).toString());
    return names;
}

void LegendList::Refill() {
    const int line = fontMetrics().height();
    const std::vector<Entry> entries = Entries(chart_);
    const QString key = Key(entries, line);
    if (key == filled_) return;
    filled_ = key;
    const QSize icon(2 * line, line);
    setIconSize(icon);
    clear();
    for (const Entry& e : entries) {
        auto* row = new QListWidgetItem(Swatch(e, icon), Broken(e.name));
        row->setData(Qt::UserRole, e.name);
        row->setToolTip(e.name);
        addItem(row);
    }
    updateGeometry();
}

// A long name broken between words into lines of at most Room() pixels
// (a word longer than that keeps a line of its own, whole).
QString LegendList::Broken(const QString& name) const {
    const QFontMetrics metrics = fontMetrics();
    return WordLines(name, [&](const QString& line) { return qreal(metrics.horizontalAdvance(line)); }, Room())
        .join('\n');
}

int LegendList::Room() const { return kLineLetters * fontMetrics().averageCharWidth(); }

QSize LegendList::sizeHint() const {
    int widest = 0;
    for (int i = 0; i < count(); ++i)
        for (const QString& line : item(i)->text().split('\n'))
            widest = std::max(widest, fontMetrics().horizontalAdvance(line));
    // The swatch, the gaps around it and the text, the frame, and a scroll
    // bar for a list taller than its room.
    const int width = widest + iconSize().width() + 4 * spacing() + 24 + 2 * frameWidth() +
                      verticalScrollBar()->sizeHint().width();
    int height = 0;
    for (int i = 0; i < count(); ++i) height += sizeHintForRow(i);
    return {width, std::max(height, fontMetrics().height()) + 2 * frameWidth()};
}

QSize LegendList::minimumSizeHint() const { return {sizeHint().width(), fontMetrics().height() * 2}; }

void LegendList::changeEvent(QEvent* event) {
    QListWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange && shown_) {
        filled_.clear();
        Refill();
    }
}

QWidget* WithLegendList(QChartView* view) {
    auto* pane = new QWidget;
    auto* layout = new QHBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(view, 1);
    layout->addWidget(new LegendList(view->chart()));
    return pane;
}

}  // namespace charts
