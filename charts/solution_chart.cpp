// The solutions chart: each scheme's nodal values against the exact
// solution, its legend telling which schemes coincide and which are off
// scale. Every layout of a series strokes its whole outline afresh, so the
// series are kept from one change of the inputs to the next and each is
// laid out once for each change.
#include <QGraphicsLayout>
#include <QLegend>
#include <QLegendMarker>
#include <algorithm>
#include <cmath>

#include "charts.hpp"

namespace charts {

namespace {

// The nodal values as points, thinned to about kMostDrawnPoints: each
// stretch of nodes gives its lowest and its highest value, in node order.
QList<QPointF> NodePoints(const study::Result& r) {
    const long n = r.grid.N;
    QList<QPointF> points;
    if (n <= kMostDrawnPoints) {
        points.reserve(n);
        for (long i = 1; i <= n; ++i) points.append({r.grid.x(i), r.phi[std::size_t(i - 1)]});
        return points;
    }
    const long stretches = kMostDrawnPoints / 2;
    points.reserve(kMostDrawnPoints);
    for (long b = 0; b < stretches; ++b) {
        const long from = b * n / stretches, to = (b + 1) * n / stretches;  // nodes from+1 .. to
        long lo = from, hi = from;
        for (long k = from; k < to; ++k) {
            if (r.phi[std::size_t(k)] < r.phi[std::size_t(lo)]) lo = k;
            if (r.phi[std::size_t(k)] > r.phi[std::size_t(hi)]) hi = k;
        }
        for (long k : {std::min(lo, hi), std::max(lo, hi)}) points.append({r.grid.x(k + 1), r.phi[std::size_t(k)]});
    }
    return points;
}

// A value axis' range: lo to hi widened to whole steps of 1, 2 or 5 times a
// power of ten, with ticks at the steps from `anchor`, and a little room
// beyond for the markers at the ends; with no steps to be had (step 0),
// five evenly spaced ticks from lo to hi.
struct AxisFit {
    double lo, hi, anchor = 0, step = 0;
};

AxisFit FitOf(double lo, double hi) {
    if (!(hi > lo)) {
        lo -= 0.5;
        hi += 0.5;
    }
    const double rough = (hi - lo) / 5;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power;
    for (double factor : {2.0, 5.0, 10.0})
        if (step < rough) step = factor * power;
    const double from = std::floor(lo / step) * step, to = std::ceil(hi / step) * step;
    // Never an interval of an earlier range over this one.
    if (!std::isfinite(from) || !std::isfinite(to) || !(to > from)) return {lo, hi};
    // A marker is about 14 pixels across, on a plot of 300 and more.
    const double room = 0.025 * (to - from);
    return {from - room, to + room, from, step};
}

// Set in one go: every change of range lays out every series again.
void Apply(QValueAxis* axis, const AxisFit& fit) {
    if (fit.step == 0) {
        axis->setTickType(QValueAxis::TicksFixed);
        axis->setTickCount(5);
    } else {
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(fit.anchor);
        axis->setTickInterval(fit.step);
    }
    axis->setRange(fit.lo, fit.hi);
}

}  // namespace

SolutionChart::SolutionChart()
    : x_(new QValueAxis), y_(new QValueAxis), exact_(new QLineSeries), ticks_(new QGraphicsPathItem(this)) {
    x_->setTitleText("x (m)");
    y_->setTitleText("φ (units of φA, φB)");
    addAxis(x_, Qt::AlignBottom);
    addAxis(y_, Qt::AlignLeft);
    exact_->setName("Exact");
    QPen pen(Qt::black);
    pen.setWidthF(2.2);
    exact_->setPen(pen);
    addSeries(exact_);
    exact_->attachAxis(x_);
    exact_->attachAxis(y_);
    legend()->setAlignment(Qt::AlignBottom);
    legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);  // the schemes' looks
    setMargins(QMargins(6, 6, 6, 6));
    ticks_->setPen(QPen(QColor(70, 70, 70), 1));
    ticks_->setZValue(10);  // above the plot's background and grid lines
    connect(this, &QChart::plotAreaChanged, this, &SolutionChart::PlaceTicks);
}

QLineSeries* SolutionChart::SeriesOf(study::Scheme s) const {
    const auto it = series_.find(s);
    return it == series_.end() ? nullptr : it->second;
}

QString SolutionChart::OffScaleText(study::Scheme s) const {
    const auto it = offScale_.find(s);
    return it == offScale_.end() ? QString() : RangeText(s, it->second.first, it->second.second);
}

SolutionDrawing DrawingOf(const study::Study& st) {
    SolutionDrawing drawing;
    for (std::size_t row = 0; row < st.results.size(); ++row) {
        drawing.points.push_back(NodePoints(st.results[row].at(0)));
        drawing.same.push_back(SameAsEarlier(st, row));
    }
    return drawing;
}

void SolutionChart::Show(const study::Study& st, const SolutionDrawing& drawing) {
    const study::Grid& g = st.results.empty() ? study::MakeGrid(st.problem, st.plan.N) : st.results[0][0].grid;
    if (g.Uniform())
        setTitle(QString("Solutions at N = %1, cell Pe = %2").arg(g.N).arg(g.Pe, 0, 'g', 4));
    else  // each cell its own Peclet number
        setTitle(QString("Solutions at N = %1 (%2), cell Pe %3 to %4")
                     .arg(g.N)
                     .arg(QString::fromStdString(study::GridText(st.problem.grid)))
                     .arg(g.Pe * g.Narrowest() / g.dx, 0, 'g', 3)
                     .arg(g.Pe * g.Widest() / g.dx, 0, 'g', 3));
    // The units of the end values only where the ends are values alone.
    y_->setTitleText(st.problem.Plain() ? "φ (units of φA, φB)" : "φ");
    // The axis follows the exact solution and the schemes near it.
    PhiRange range(study::ExactRange(st.problem).first, study::ExactRange(st.problem).second);
    offScale_.clear();
    for (std::size_t row = 0; row < st.results.size(); ++row) {
        const study::Result& r = st.results[row].at(0);
        if (!range.Take(r.phiMin, r.phiMax)) offScale_[r.scheme] = {r.phiMin, r.phiMax};
    }

    // A scheme hidden under an earlier one says so in the legend, and one
    // beyond the axis that it is off scale.
    std::vector<QString> labels;
    bool fresh = false;
    for (std::size_t row = 0; row < st.results.size(); ++row) {
        const study::Scheme scheme = st.results[row][0].scheme;
        const auto same = drawing.same.at(row);
        labels.push_back(same ? QString("%1 (same as %2 here)").arg(SchemeTitle(scheme), SchemeTitle(*same))
                              : SchemeTitle(scheme));
        if (offScale_.count(scheme)) labels.back() += kOffScale;
        fresh = fresh || !SeriesOf(scheme);
    }
    // A new range would lay out every series at its old points, and again
    // at its new ones: they are emptied first.
    const double xLo = std::min(0.0, st.problem.L), xHi = std::max(0.0, st.problem.L);
    const AxisFit fit = FitOf(range.Lo(), range.Hi());
    if (x_->min() != xLo || x_->max() != xHi || y_->min() != fit.lo || y_->max() != fit.hi) {
        exact_->clear();
        for (const auto& entry : series_) entry.second->clear();
    }
    // A series taken off the chart is deleted, never put back: the chart item
    // that drew it lingers until the event loop deletes it, and would come
    // back into sight with the next change of the series' style. A new
    // series goes to the end of the legend, so with any new one all are new,
    // in the order of the study's schemes.
    std::erase_if(series_, [&](const auto& entry) {
        const bool shown = std::any_of(st.results.begin(), st.results.end(),
                                       [&](const auto& perScheme) { return perScheme.at(0).scheme == entry.first; });
        if (shown && !fresh) return false;
        removeSeries(entry.second);
        delete entry.second;
        return true;
    });
    for (const auto& perScheme : st.results) {
        QLineSeries*& s = series_[perScheme.at(0).scheme];
        if (s) continue;
        s = new QLineSeries;
        s->setName(SchemeTitle(perScheme[0].scheme));
        addSeries(s);
        // Attaching sets the axis to the chart's data as it is, a single
        // value when phi is the same everywhere; the ticks of an earlier
        // range over no range at all would never end. Apply sets them again
        // below.
        y_->setTickType(QValueAxis::TicksFixed);
        s->attachAxis(x_);
        s->attachAxis(y_);
    }
    x_->setRange(xLo, xHi);
    Apply(y_, fit);
    exact_->replace(ExactCurve(st.problem));
    bool relabelled = false;
    for (std::size_t row = 0; row < st.results.size(); ++row) {
        const study::Result& r = st.results[row].at(0);
        QLineSeries* s = series_.at(r.scheme);
        s->replace(drawing.points.at(row));
        // The chart's theme styles a series as it is added: style it after.
        ApplyLook(s, r.scheme, r.grid.N <= kMostMarkedNodes);
        for (QLegendMarker* marker : legend()->markers(s))
            if (marker->label() != labels[row]) {
                marker->setLabel(labels[row]);
                relabelled = true;
            }
    }
    // The legend is laid out anew for its new texts: without this, a
    // legend beside the chart would draw a longer text cut short to the old
    // width until its next layout.
    if (relabelled) legend()->layout()->invalidate();
    faces_.clear();
    if (g.N <= kMostTickedCells)
        for (long k = 0; k <= g.N; ++k) faces_.push_back(g.Face(k));
    PlaceTicks();
}

}  // namespace charts
