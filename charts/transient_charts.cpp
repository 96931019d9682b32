#include "transient_charts.hpp"

#include <QLineSeries>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "charts.hpp"

namespace charts {

namespace {

// The nodal values as points, thinned to about kMostDrawnPoints with each
// stretch's lowest and highest value.
QList<QPointF> Points(const std::vector<double>& phi, double dx) {
    QList<QPointF> points;
    const std::size_t n = phi.size(), stretch = std::max<std::size_t>(1, 2 * n / kMostDrawnPoints);
    for (std::size_t i = 0; i < n; i += stretch) {
        const std::size_t end = std::min(n, i + stretch);
        const auto [lo, hi] = std::minmax_element(phi.begin() + long(i), phi.begin() + long(end));
        for (auto it : lo < hi ? std::array{lo, hi} : std::array{hi, lo}) {
            points.append(QPointF((double(it - phi.begin()) + 0.5) * dx, *it));
            if (stretch == 1) break;
        }
    }
    return points;
}

QLineSeries* Curve(QChart* chart, const QString& name, const QList<QPointF>& points, const QPen& pen) {
    auto* s = new QLineSeries;
    s->setName(name);
    s->replace(points);
    s->setPen(pen);
    chart->addSeries(s);
    return s;
}

void Range(QValueAxis* axis, double lo, double hi) {
    if (!(hi > lo)) {
        lo -= 0.5;
        hi += 0.5;
    }
    const double pad = 0.05 * (hi - lo);
    axis->setRange(lo - pad, hi + pad);
}

}  // namespace

TransientProfileChart::TransientProfileChart() : x_(new QValueAxis), y_(new QValueAxis) {
    x_->setTitleText("x (m)");
    y_->setTitleText("phi");
    y_->setLabelFormat("%.4g");
    addAxis(x_, Qt::AlignBottom);
    addAxis(y_, Qt::AlignLeft);
    legend()->setAlignment(Qt::AlignRight);
    legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);  // the schemes' looks
}

void TransientProfileChart::Show(const transient::Plan& plan, const std::vector<Profile>& profiles) {
    removeAllSeries();
    const study::Problem& p = plan.problem;
    setTitle(QString("phi at t = %1 s").arg(plan.tEnd));
    const int fine = 801;
    QList<QPointF> initial, exact;
    for (int j = 0; j < fine; ++j) {
        const double x = p.L * j / (fine - 1);
        initial.append(QPointF(x, transient::InitialValue(p, plan.initial, x)));
        if (transient::HasExact(plan.initial)) exact.append(QPointF(x, transient::ExactValue(p, plan.initial, x, plan.tEnd)));
    }
    std::vector<QLineSeries*> all;
    all.push_back(Curve(this, "initial state", initial, QPen(Qt::gray, 1.5, Qt::DashLine)));
    if (!exact.isEmpty()) all.push_back(Curve(this, "exact", exact, QPen(Qt::black, 2)));
    // The axis follows the initial state, the exact solution and the bounds
    // the exact solution keeps to, and every profile near them.
    std::vector<double> phi0;
    for (const QPointF& q : initial) phi0.push_back(q.y());
    auto [lo, hi] = transient::NaturalBounds(p, phi0, plan.tEnd);
    for (const QLineSeries* s : all)
        for (const QPointF& q : s->points()) {
            lo = std::min(lo, q.y());
            hi = std::max(hi, q.y());
        }
    PhiRange range(lo, hi);
    const double dx = p.L / double(plan.N);
    for (const Profile& pr : profiles) {
        QString name = SchemeTitle(pr.scheme);
        if (pr.blewUp || pr.stalled)
            name += QString(" (%1 at t = %2 s)").arg(pr.blewUp ? "blew up" : "stopped", QString::number(pr.stopTime));
        const auto [least, most] = std::minmax_element(pr.phi.begin(), pr.phi.end());
        if (!pr.phi.empty() && !range.Take(*least, *most)) name += kOffScale;
        QLineSeries* s = Curve(this, name, Points(pr.phi, dx), QPen());
        ApplyLook(s, pr.scheme, plan.N <= kMostMarkedNodes, 1.8);
        all.push_back(s);
    }
    for (QLineSeries* s : all) {
        s->attachAxis(x_);
        s->attachAxis(y_);
    }
    x_->setRange(0, p.L);
    Range(y_, range.Lo(), range.Hi());
    y_->applyNiceNumbers();
}

}  // namespace charts
