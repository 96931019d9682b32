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

QColor ScaleColour(double value, double lo, double hi) {
    // A few stops of a perceptually even map, interpolated.
    static const QColor stops[] = {QColor(68, 1, 84),    QColor(59, 82, 139),  QColor(33, 145, 140),
                                   QColor(94, 201, 98), QColor(253, 231, 37)};
    const int last = int(std::size(stops)) - 1;
    double share = hi > lo ? (value - lo) / (hi - lo) : 0.5;
    share = std::clamp(share, 0.0, 1.0) * last;
    const int i = std::min(int(share), last - 1);
    const double f = share - i;
    auto mix = [&](int a, int b) { return int(std::lround(a + f * (b - a))); };
    return QColor(mix(stops[i].red(), stops[i + 1].red()), mix(stops[i].green(), stops[i + 1].green()),
                  mix(stops[i].blue(), stops[i + 1].blue()));
}

SpaceTime::SpaceTime(const transient::Plan& plan, long rows, long columns)
    : plan_(plan), rows_(rows), columns_(std::min(columns, plan.N)) {
    if (const auto steps = transient::StepsOf(plan.tEnd, plan.dt, plan.frames)) rows_ = std::min(rows_, steps->n + 1);
    // The colour scale spans the initial state and the boundary values, with
    // room for moderate over- and undershoots; beyond, colours saturate, so
    // that a scheme that blows up does not flatten the others.
    const study::Grid g = study::MakeGrid(plan.problem, plan.N);
    std::vector<double> phi0(std::size_t(plan.N));
    for (long i = 1; i <= plan.N; ++i) phi0[std::size_t(i - 1)] = transient::InitialValue(plan.problem, plan.initial, g.x(i));
    const auto [lo, hi] = transient::NaturalBounds(plan.problem, phi0, plan.tEnd);
    const double room = hi > lo ? 0.25 * (hi - lo) : 0.5;
    reachLo_ = lo - room;
    reachHi_ = hi + room;
}

void SpaceTime::Add(const transient::Sample& s) {
    std::vector<float> row(static_cast<std::size_t>(columns_));
    const double perColumn = double(plan_.N) / double(columns_);
    for (long c = 0; c < columns_; ++c) {
        const auto i = std::min<long>(plan_.N - 1, long((double(c) + 0.5) * perColumn));
        const double v = s.phi[std::size_t(i)];
        row[std::size_t(c)] = float(v);
        lo_ = std::max(reachLo_, any_ ? std::min(lo_, v) : v);
        hi_ = std::min(reachHi_, any_ ? std::max(hi_, v) : v);
        any_ = true;
    }
    samples_[s.scheme].push_back(std::move(row));
}

QImage SpaceTime::Picture(const std::vector<study::Scheme>& order) const {
    // As square as the panels allow: 2 x 2 for four, 3 then 3 for six.
    const int count = std::max<int>(1, int(order.size()));
    const int perRow = count <= 3 ? count : int(std::ceil(std::sqrt(double(count))));
    const int panelRows = (int(order.size()) + perRow - 1) / perRow;
    const QSize panel(460, 380), bar(175, 380);
    QImage picture(panel.width() * perRow + bar.width(), panel.height() * std::max(panelRows, 1),
                   QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::white);
    QPainter painter(&picture);

    // Each panel is laid out once to learn its plot area, then drawn with
    // the samples as the plot area's background.
    auto draw = [&](QChart& chart, QValueAxis* x, QValueAxis* y, const QImage& data, QPoint at, QSize size) {
        chart.legend()->hide();
        y->setLabelFormat("%.3g");
        chart.addAxis(x, Qt::AlignBottom);
        chart.addAxis(y, Qt::AlignLeft);
        Image(&chart, size);
        const QRectF area = chart.plotArea();
        const QImage scaled = data.scaled(area.size().toSize(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
        QBrush brush(scaled);
        brush.setTransform(QTransform::fromTranslate(area.left(), area.top()));
        chart.setPlotAreaBackgroundBrush(brush);
        chart.setPlotAreaBackgroundVisible(true);
        painter.drawImage(at, Image(&chart, size));
    };

    for (std::size_t s = 0; s < order.size(); ++s) {
        const auto found = samples_.find(order[s]);
        const std::size_t count = found == samples_.end() ? 0 : found->second.size();
        QImage data(int(columns_), int(std::max<long>(rows_, 1)), QImage::Format_RGB32);
        data.fill(QColor(235, 235, 235));  // after a blow-up: no data
        for (std::size_t r = 0; r < count; ++r)
            for (long c = 0; c < columns_; ++c)
                data.setPixelColor(int(c), data.height() - 1 - int(r),
                                   ScaleColour(found->second[r][std::size_t(c)], lo_, hi_));
        QChart chart;
        chart.setTitle(SchemeTitle(order[s]));
        auto* x = new QValueAxis;
        auto* y = new QValueAxis;
        x->setTitleText("x (m)");
        y->setTitleText("t (s)");
        x->setRange(0, plan_.problem.L);
        y->setRange(0, plan_.tEnd);
        draw(chart, x, y, data, QPoint(int(s % perRow) * panel.width(), int(s / perRow) * panel.height()), panel);
    }

    QImage scale(1, 256, QImage::Format_RGB32);
    for (int r = 0; r < 256; ++r) scale.setPixelColor(0, 255 - r, ScaleColour(r, 0, 255));
    QChart chart;
    chart.setTitle("phi");
    auto* x = new QValueAxis;
    auto* y = new QValueAxis;
    x->setRange(0, 1);
    x->setLabelsVisible(false);
    x->setTickCount(2);
    x->setGridLineVisible(false);
    y->setRange(lo_, hi_ > lo_ ? hi_ : lo_ + 1);
    draw(chart, x, y, scale, QPoint(panel.width() * perRow, 0), bar);
    return picture;
}

}  // namespace charts
