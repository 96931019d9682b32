// Presentation mode for the charts: each chart's own fonts, pens and legend
// place kept in properties of the chart, its axes and its series while the
// mode is on, and given back when it goes off.
#include "present.hpp"

#include <QAbstractAxis>
#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLegend>
#include <QLegendMarker>
#include <QScatterSeries>
#include <QValueAxis>
#include <QXYSeries>
#include <algorithm>

namespace charts {

namespace {

// The properties that keep a chart's own look while it is presented.
constexpr const char* kOn = "presentOn";
constexpr const char* kHooked = "presentHooked";
constexpr const char* kTicks = "presentTicks";  // a value axis' own tick count
constexpr const char* kFresh = "presentFresh";  // fonts changed, not laid out again since
constexpr const char* kTitleFont = "presentTitleFont";
constexpr const char* kLegendFont = "presentLegendFont";
constexpr const char* kLegendPlace = "presentLegendPlace";
constexpr const char* kMovedRight = "legendMovedRight";  // out of presentation mode
constexpr const char* kLabelsFont = "presentLabelsFont";
constexpr const char* kPenWidth = "presentPenWidth";
constexpr const char* kShownPen = "presentShownPen";
constexpr const char* kMarker = "presentMarker";
constexpr const char* kShownMarker = "presentShownMarker";

qreal MarkerSize(const QXYSeries* s) {
    if (const auto* scatter = qobject_cast<const QScatterSeries*>(s)) return scatter->markerSize();
    return s->markerSize();
}

void SetMarkerSize(QXYSeries* s, qreal size) {
    if (auto* scatter = qobject_cast<QScatterSeries*>(s)) return scatter->setMarkerSize(size);
    s->setMarkerSize(size);
}

// Sets a font only when it differs: every change lays the chart out again.
template <class Object, class Get, class Set>
bool Enlarge(Object* o, const char* key, Get get, Set set) {
    if (!o->property(key).isValid()) o->setProperty(key, (o->*get)());
    const QFont wanted = Enlarged(o->property(key).template value<QFont>());
    if ((o->*get)() == wanted) return false;
    (o->*set)(wanted);
    return true;
}

// Qt Charts keeps the sizes its legend and titles asked for in their old
// fonts: they are asked again, or the new fonts' texts are cut short.
void Relayout(QChart* chart) {
    QLegend* legend = chart->legend();
    for (QGraphicsLayoutItem* item : {static_cast<QGraphicsLayoutItem*>(legend), static_cast<QGraphicsLayoutItem*>(chart)})
        item->updateGeometry();
    if (legend->layout()) legend->layout()->invalidate();
    if (chart->layout()) chart->layout()->invalidate();
}

template <class Object, class Set>
void GiveBack(Object* o, const char* key, Set set) {
    const QVariant v = o->property(key);
    if (!v.isValid()) return;
    (o->*set)(v.value<QFont>());
    o->setProperty(key, QVariant());
}

// A series drawn wider: its pen and markers, unless they are already; a
// series the chart restyled since is taken as its own look anew.
void Widen(QXYSeries* s) {
    QPen pen = s->pen();
    if (!s->property(kShownPen).isValid() || pen.widthF() != s->property(kShownPen).toReal()) {
        s->setProperty(kPenWidth, pen.widthF());
        pen.setWidthF(pen.widthF() * kPresentScale);
        s->setProperty(kShownPen, pen.widthF());
        s->setPen(pen);
    }
    const qreal marker = MarkerSize(s);
    if (!s->property(kShownMarker).isValid() || marker != s->property(kShownMarker).toReal()) {
        s->setProperty(kMarker, marker);
        s->setProperty(kShownMarker, marker * kPresentScale);
        SetMarkerSize(s, marker * kPresentScale);
    }
}

void Narrow(QXYSeries* s) {
    QPen pen = s->pen();
    if (s->property(kShownPen).isValid() && pen.widthF() == s->property(kShownPen).toReal()) {
        pen.setWidthF(s->property(kPenWidth).toReal());
        s->setPen(pen);
    }
    if (s->property(kShownMarker).isValid() && MarkerSize(s) == s->property(kShownMarker).toReal())
        SetMarkerSize(s, s->property(kMarker).toReal());
    for (const char* key : {kPenWidth, kShownPen, kMarker, kShownMarker}) s->setProperty(key, QVariant());
}

// A legend moved to a side: its names laid out afresh, or Qt Charts keeps
// them cut to the room they had in their row at the bottom.
void Move(QLegend* legend, Qt::Alignment place) {
    legend->setAlignment(place);
    const QFont font = legend->font();
    QFont other = font;
    other.setPointSizeF(font.pointSizeF() > 0 ? font.pointSizeF() + 1 : 10);
    legend->setFont(other);
    legend->setFont(font);
}

// Laid out once in the new fonts, the axes are asked again for the room
// their labels need: they kept what they needed in the old fonts.
void AskAxesAgain(QChart* chart) {
    for (QAbstractAxis* axis : chart->axes()) {
        const QFont font = axis->labelsFont();
        QFont other = font;
        other.setPointSizeF(font.pointSizeF() + 1);
        axis->setLabelsFont(other);
        axis->setLabelsFont(font);
    }
    Relayout(chart);
}

// A value axis with more ticks than its labels have room for in the large
// font keeps every second or third of them (a subset, so the values stay
// round); its own count comes back out of presentation.
void ThinTicks(QChart* chart) {
    for (QAbstractAxis* axis : chart->axes()) {
        auto* values = qobject_cast<QValueAxis*>(axis);
        if (!values || values->tickType() != QValueAxis::TicksFixed) continue;
        if (!values->property(kTicks).isValid()) values->setProperty(kTicks, values->tickCount());
        const int own = values->property(kTicks).toInt();
        const bool across = axis->orientation() == Qt::Horizontal;
        const qreal along = across ? chart->plotArea().width() : chart->plotArea().height();
        if (along <= 0 || own < 3) continue;
        const QFontMetricsF metrics(values->labelsFont());
        qreal label = metrics.height();
        if (across) {
            const QByteArray format = values->labelFormat().isEmpty() ? QByteArray("%.2f") : values->labelFormat().toLatin1();
            for (double v : {values->min(), values->max()})
                label = std::max(label, metrics.horizontalAdvance(QString::asprintf(format.constData(), v)));
        }
        int steps = own - 1;
        for (int fewer = steps; fewer >= 1; --fewer)
            if ((own - 1) % fewer == 0 && (steps = fewer) * label * 1.3 <= along) break;
        if (values->tickCount() != steps + 1) values->setTickCount(steps + 1);
    }
}

void GiveBackTicks(QChart* chart) {
    for (QAbstractAxis* axis : chart->axes()) {
        auto* values = qobject_cast<QValueAxis*>(axis);
        if (!values || !values->property(kTicks).isValid()) continue;
        values->setTickCount(values->property(kTicks).toInt());
        values->setProperty(kTicks, QVariant());
    }
}

// Titles too wide for their room broken into lines between words (their
// texts are HTML to Qt Charts); unbroken again out of presentation.
QString Unbroken(const QString& title) { return QString(title).replace("<br>", " "); }

QString Broken(const QString& text, const QFont& font, qreal room) {
    const QFontMetricsF metrics(font);
    return WordLines(Unbroken(text), [&](const QString& line) { return metrics.horizontalAdvance(line); }, room)
        .join("<br>");
}

// The chart's title broken for the chart's width, an axis title for the
// plot's width or height along it.
void BreakTitles(QChart* chart) {
    const qreal room = chart->size().width() - chart->margins().left() - chart->margins().right() - 24;
    if (room > 0 && !chart->title().isEmpty()) {
        const QString broken = Broken(chart->title(), chart->titleFont(), room);
        if (broken != chart->title()) chart->setTitle(broken);
    }
    for (QAbstractAxis* axis : chart->axes()) {
        const qreal along = axis->orientation() == Qt::Horizontal ? chart->plotArea().width() : chart->plotArea().height();
        if (along <= 0 || axis->titleText().isEmpty()) continue;
        const QString broken = Broken(axis->titleText(), axis->titleFont(), along);
        if (broken != axis->titleText()) axis->setTitleText(broken);
    }
}

void Apply(QChart* chart) {
    bool changed = Enlarge(chart, kTitleFont, &QChart::titleFont, &QChart::setTitleFont);
    QLegend* legend = chart->legend();
    if (!chart->property(kLegendPlace).isValid())
        chart->setProperty(kLegendPlace, chart->property(kMovedRight).toBool() ? int(Qt::AlignBottom)
                                                                              : int(legend->alignment()));
    changed = Enlarge(legend, kLegendFont, &QLegend::font, &QLegend::setFont) || changed;
    if (legend->alignment() != Qt::AlignRight) Move(legend, Qt::AlignRight);
    for (QAbstractAxis* axis : chart->axes()) {
        changed = Enlarge(axis, kLabelsFont, &QAbstractAxis::labelsFont, &QAbstractAxis::setLabelsFont) || changed;
        changed = Enlarge(axis, kTitleFont, &QAbstractAxis::titleFont, &QAbstractAxis::setTitleFont) || changed;
    }
    if (changed) {
        Relayout(chart);
        chart->setProperty(kFresh, true);
    } else if (chart->property(kFresh).toBool()) {
        chart->setProperty(kFresh, false);
        AskAxesAgain(chart);
    }
    BreakTitles(chart);
    ThinTicks(chart);
    for (QAbstractSeries* s : chart->series())
        if (auto* xy = qobject_cast<QXYSeries*>(s)) Widen(xy);
}

void Undo(QChart* chart) {
    GiveBack(chart, kTitleFont, &QChart::setTitleFont);
    if (chart->title().contains("<br>")) chart->setTitle(Unbroken(chart->title()));
    for (QAbstractAxis* axis : chart->axes())
        if (axis->titleText().contains("<br>")) axis->setTitleText(Unbroken(axis->titleText()));
    GiveBackTicks(chart);
    QLegend* legend = chart->legend();
    GiveBack(legend, kLegendFont, &QLegend::setFont);
    if (chart->property(kLegendPlace).isValid())
        Move(legend, Qt::Alignment(chart->property(kLegendPlace).toInt()));
    chart->setProperty(kLegendPlace, QVariant());
    chart->setProperty(kMovedRight, false);
    for (QAbstractAxis* axis : chart->axes()) {
        GiveBack(axis, kLabelsFont, &QAbstractAxis::setLabelsFont);
        GiveBack(axis, kTitleFont, &QAbstractAxis::setTitleFont);
    }
    for (QAbstractSeries* s : chart->series())
        if (auto* xy = qobject_cast<QXYSeries*>(s)) Narrow(xy);
    Relayout(chart);
}

// Out of presentation mode: a legend at the bottom whose names in one row
// would be cut short goes to the right, and comes back once there is room
// to spare (the room a marker and its spacing take is reckoned generously).
void KeepLegendWhole(QChart* chart) {
    QLegend* legend = chart->legend();
    const bool moved = chart->property(kMovedRight).toBool();
    if (!legend->isVisible() || (!moved && legend->alignment() != Qt::AlignBottom)) return;
    const QFontMetricsF metrics(legend->font());
    qreal row = 0;
    for (QLegendMarker* marker : legend->markers())
        if (marker->isVisible()) row += metrics.horizontalAdvance(marker->label()) + 2 * metrics.height() + 12;
    const QMargins margins = chart->margins();
    const qreal room = chart->size().width() - margins.left() - margins.right() - 24;
    if (!moved && row > room) {
        chart->setProperty(kMovedRight, true);
        Move(legend, Qt::AlignRight);
    } else if (moved && row * 1.1 < room) {
        chart->setProperty(kMovedRight, false);
        Move(legend, Qt::AlignBottom);
    }
}

void Follow(QChart* chart) {
    if (chart->property(kOn).toBool())
        Apply(chart);
    else
        KeepLegendWhole(chart);
}

}  // namespace

QFont Enlarged(const QFont& font) {
    QFont big = font;
    const qreal points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
    big.setPointSizeF(std::max(kLeastPresentPoints, points * kPresentScale));
    return big;
}

void Present(QChart* chart, bool on) {
    chart->setProperty(kOn, on);
    // The chart's series and axes come and go as it shows a new result:
    // whatever its scene changes, the chart is brought in line again.
    if (!chart->property(kHooked).toBool() && chart->scene()) {
        chart->setProperty(kHooked, true);
        QObject::connect(chart->scene(), &QGraphicsScene::changed, chart, [chart] { Follow(chart); });
    }
    if (on)
        Apply(chart);
    else
        Undo(chart);
    Follow(chart);
}

bool Presented(const QChart* chart) { return chart->property(kOn).toBool(); }

void LayOutNow(QChart* chart) {
    if (!chart->layout()) return;
    chart->layout()->activate();
    if (Presented(chart)) {
        chart->setProperty(kFresh, false);
        AskAxesAgain(chart);
        chart->layout()->activate();
        BreakTitles(chart);
        ThinTicks(chart);
    }
    chart->layout()->activate();
}

QStringList WordLines(const QString& text, const std::function<qreal(const QString&)>& width, qreal room) {
    QStringList lines;
    QString line;
    for (const QString& word : text.split(' ')) {
        QString longer = line;
        if (!longer.isEmpty()) longer += ' ';
        longer += word;
        if (!line.isEmpty() && width(longer) > room) {
            lines.append(line);
            line = word;
        } else {
            line = longer;
        }
    }
    lines.append(line);
    return lines;
}

}  // namespace charts
