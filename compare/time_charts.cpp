// The Time tab's profile and amplification charts, and its space-time
// picture drawn at the view's size.
#include "time_charts.hpp"

#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "charts/charts.hpp"
#include "transient/stability.hpp"

namespace compare {

namespace {

void Attach(QChart* chart, QLineSeries* s, QValueAxis* x, QValueAxis* y) {
    chart->addSeries(s);
    s->attachAxis(x);
    s->attachAxis(y);
}

void Widen(QValueAxis* axis, double lo, double hi) {
    const double pad = std::max(0.05 * (hi - lo), 1e-9);
    axis->setRange(lo - pad, hi + pad);
    axis->applyNiceNumbers();
}

// The amplification factor of a step of the plan's method, from the
// forward-Euler factor G1 = 1 - lambda s(k) of the rows: the theta-method's
// own; for SSP Runge-Kutta, whose stages on a linear system make the Taylor
// polynomial of z = G1 - 1 (1 + z + z^2/2, and + z^3/6 for three stages);
// for Lax-Wendroff, whose face values blend upwind and central by c and
// 1 - c, the same blend of their forward-Euler factors.
std::complex<double> StepFactor(const transient::Plan& plan, study::Scheme scheme, const transient::InteriorRow& row,
                                const transient::Numbers& n, double k) {
    if (plan.method == transient::Method::Theta) return transient::Amplification(row, plan.theta, n.lambda, k);
    const std::complex<double> g1 = transient::Amplification(row, 0, n.lambda, k), z = g1 - 1.0;
    switch (plan.method) {
        case transient::Method::Ssprk2: return 1.0 + z + z * z / 2.0;
        case transient::Method::Ssprk3: return 1.0 + z + z * z / 2.0 + z * z * z / 6.0;
        case transient::Method::LaxWendroff: {
            if (scheme != study::Scheme::Central) return g1;  // upwind: psi = 0, no correction to scale
            const transient::InteriorRow up = transient::InteriorRowOf(plan.problem, study::Scheme::Upwind, plan.N);
            return n.courant * transient::Amplification(up, 0, n.lambda, k) + (1 - n.courant) * g1;
        }
        case transient::Method::Theta: break;
    }
    return g1;
}

}  // namespace

TimeProfileChart::TimeProfileChart()
    : x_(new QValueAxis), y_(new QValueAxis), initial_(new QLineSeries), exact_(new QLineSeries) {
    x_->setTitleText("x (m)");
    y_->setTitleText("φ");
    y_->setLabelFormat("%.3g");
    addAxis(x_, Qt::AlignBottom);
    addAxis(y_, Qt::AlignLeft);
    initial_->setName("initial state");
    exact_->setName("exact");
    Attach(this, initial_, x_, y_);
    Attach(this, exact_, x_, y_);
    initial_->setPen(QPen(Qt::gray, 1.5, Qt::DashLine));
    exact_->setPen(QPen(Qt::black, 2));
    legend()->setAlignment(Qt::AlignBottom);
    legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);  // the schemes' looks
    setMargins(QMargins(6, 6, 6, 6));
}

void TimeProfileChart::Start(const transient::Plan& plan) {
    plan_ = plan;
    endings_.clear();
    for (QLineSeries* s : schemes_) {
        removeSeries(s);
        delete s;
    }
    schemes_.clear();
    const study::Problem& p = plan.problem;
    std::vector<double> phi0;
    const study::Grid g = study::MakeGrid(p, plan.N);
    for (long i = 1; i <= plan.N; ++i) phi0.push_back(transient::InitialValue(p, plan.initial, g.x(i)));
    std::tie(lo_, hi_) = transient::NaturalBounds(p, phi0, plan.tEnd);
    QList<QPointF> initial;
    constexpr int kFine = 400;
    for (int j = 0; j <= kFine; ++j) {
        const double x = p.L * j / kFine, v = transient::InitialValue(p, plan.initial, x);
        initial.append({x, v});
        lo_ = std::min(lo_, v);
        hi_ = std::max(hi_, v);
    }
    initial_->replace(initial);
    exact_->clear();
    exact_->setVisible(transient::HasExact(plan.initial));
    for (study::Scheme scheme : plan.schemes) {
        auto* s = new QLineSeries;
        s->setName(charts::SchemeTitle(scheme));
        Attach(this, s, x_, y_);
        charts::ApplyLook(s, scheme, plan.N <= charts::kMostMarkedNodes, 1.8);
        schemes_.push_back(s);
    }
    referenceLo_ = lo_;
    referenceHi_ = hi_;
    offScale_.assign(plan.schemes.size(), std::nullopt);
    x_->setRange(0, p.L);
    Widen(y_, lo_, hi_);
}

QLineSeries* TimeProfileChart::SeriesOf(study::Scheme s) const {
    for (std::size_t k = 0; k < plan_.schemes.size() && k < schemes_.size(); ++k)
        if (plan_.schemes[k] == s) return schemes_[k];
    return nullptr;
}

// The kept points, no more than two for each pixel column of the plot: the
// lowest and the highest of the points that fall in it.
void TimeProfileChart::Fill(QLineSeries* series, const Shot& shot) const {
    const double dx = plan_.problem.L / double(plan_.N);
    const std::size_t n = shot.phi.size();
    auto xOf = [&](std::size_t k) { return (double(shot.nodes.empty() ? k : shot.nodes[k]) + 0.5) * dx; };
    const std::size_t columns = std::max<std::size_t>(100, std::size_t(plotArea().width()));
    QList<QPointF> points;
    if (n <= 2 * columns) {
        points.reserve(qsizetype(n));
        for (std::size_t k = 0; k < n; ++k) points.append({xOf(k), shot.phi[k]});
    } else {
        points.reserve(qsizetype(2 * columns));
        for (std::size_t c = 0; c < columns; ++c) {
            const auto from = shot.phi.begin() + long(c * n / columns), to = shot.phi.begin() + long((c + 1) * n / columns);
            if (from == to) continue;
            const auto [lo, hi] = std::minmax_element(from, to);
            for (auto it : {std::min(lo, hi), std::max(lo, hi)})
                points.append({xOf(std::size_t(it - shot.phi.begin())), *it});
        }
    }
    series->replace(points);
}

void TimeProfileChart::ShowFrame(const FrameSet& f, const std::vector<const Shot*>& lastGood) {
    const study::Problem& p = plan_.problem;
    setTitle(QString("φ at t = %1 s (frame %2 of %3)").arg(f.t, 0, 'g', 4).arg(f.index).arg(plan_.frames));
    if (transient::HasExact(plan_.initial)) {
        QList<QPointF> exact;
        constexpr int kFine = 400;
        for (int j = 0; j <= kFine; ++j) {
            const double x = p.L * j / kFine;
            exact.append({x, transient::ExactValue(p, plan_.initial, x, f.t)});
        }
        exact_->replace(exact);
    }
    // The axis follows the initial state, the bounds the exact solution
    // keeps to and the profiles near them (charts::PhiRange); it widens for
    // one that leaves it, and stays so for the run.
    charts::PhiRange range(referenceLo_, referenceHi_);
    for (std::size_t s = 0; s < schemes_.size() && s < f.shots.size(); ++s) {
        const Shot* shot = f.alive[s] ? &f.shots[s] : lastGood[s];
        QString name = charts::SchemeTitle(plan_.schemes[s]);
        if (!f.alive[s]) name += s < endings_.size() && !endings_[s].isEmpty() ? endings_[s] : QString(" (ended early)");
        offScale_[s].reset();
        if (!shot || shot->phi.empty()) {
            schemes_[s]->setName(name);
            schemes_[s]->clear();
            continue;
        }
        const auto [a, b] = std::minmax_element(shot->phi.begin(), shot->phi.end());
        if (!range.Take(double(*a), double(*b))) {
            offScale_[s] = std::make_pair(double(*a), double(*b));
            name += charts::kOffScale;
        }
        schemes_[s]->setName(name);
        Fill(schemes_[s], *shot);
    }
    if (range.Lo() < lo_ || range.Hi() > hi_) {
        lo_ = std::min(lo_, range.Lo());
        hi_ = std::max(hi_, range.Hi());
        Widen(y_, lo_, hi_);
    }
}

QString TimeProfileChart::OffScaleText(study::Scheme s) const {
    for (std::size_t k = 0; k < plan_.schemes.size() && k < offScale_.size(); ++k)
        if (plan_.schemes[k] == s && offScale_[k]) return charts::RangeText(s, offScale_[k]->first, offScale_[k]->second);
    return {};
}

void SpaceTimeView::SetRows(std::shared_ptr<const charts::SpaceTime> rows, std::vector<study::Scheme> order) {
    rows_ = std::move(rows);
    order_ = std::move(order);
    Draw();
}

void SpaceTimeView::Draw() {
    // Drawing a chart lets the posted events through: a resize, or newer
    // rows, that come meanwhile draw the picture again once it is done.
    if (drawing_) {
        again_ = true;
        return;
    }
    drawing_ = true;
    do {
        again_ = false;
        const std::shared_ptr<const charts::SpaceTime> rows = rows_;  // kept while it draws
        const std::vector<study::Scheme> order = order_;
        picture_ = rows ? rows->Picture(order, size().expandedTo(QSize(1, 1))) : QImage();
    } while (again_);
    drawing_ = false;
    update();
}

void SpaceTimeView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (rows_) Draw();
}

void SpaceTimeView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (picture_.isNull()) {
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, "The space-time picture fills in as the run goes.");
        return;
    }
    painter.drawImage(QPoint(0, 0), picture_);
}

AmplificationChart::AmplificationChart() : k_(new QValueAxis), g_(new QValueAxis), one_(new QLineSeries) {
    setTitle("Amplification factor of one step");
    k_->setTitleText("k δx");
    k_->setTickCount(3);
    k_->setLabelFormat("%.2f");
    g_->setTitleText("|G(k)|");
    k_->setRange(0, std::numbers::pi);
    addAxis(k_, Qt::AlignBottom);
    addAxis(g_, Qt::AlignLeft);
    one_->setName("|G| = 1");
    Attach(this, one_, k_, g_);
    one_->setPen(QPen(Qt::black, 1.2, Qt::DashLine));
    one_->append(0, 1);
    one_->append(std::numbers::pi, 1);
    legend()->setAlignment(Qt::AlignRight);
    legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    setMargins(QMargins(6, 6, 6, 6));
}

void AmplificationChart::Show(const transient::Plan& plan, double dt) {
    for (QAbstractSeries* s : series())
        if (s != one_) {
            removeSeries(s);
            delete s;
        }
    const transient::Numbers numbers = transient::NumbersOf(plan.problem, plan.N, dt);
    double hi = 1.05;
    constexpr int kSamples = 256;
    for (study::Scheme scheme : plan.schemes) {
        if (study::IsTvd(scheme)) continue;
        transient::InteriorRow row;
        try {
            row = transient::InteriorRowOf(plan.problem, scheme, plan.N);
        } catch (const std::exception&) {
            continue;  // a coefficient beyond a double: the banner says why
        }
        auto* s = new QLineSeries;
        s->setName(charts::SchemeTitle(scheme));
        for (int j = 0; j <= kSamples; ++j) {
            const double k = std::numbers::pi * j / kSamples;
            const double g = std::abs(StepFactor(plan, scheme, row, numbers, k));
            s->append(k, std::isfinite(g) ? g : 0);
            if (std::isfinite(g)) hi = std::max(hi, g);
        }
        Attach(this, s, k_, g_);
        charts::ApplyLook(s, scheme, false, 1.8);
    }
    g_->setRange(0, std::min(hi * 1.05, 10.0));
    g_->applyNiceNumbers();
}

std::vector<QString> Endings(const transient::Outcome& out) {
    std::vector<QString> endings;
    for (const transient::SchemeOutcome& o : out.schemes)
        endings.push_back(o.blewUp    ? QString(" (blew up at t = %1 s)").arg(o.blowUpTime, 0, 'g', 4)
                          : o.stalled ? QString(" (stopped at t = %1 s)").arg(o.stallTime, 0, 'g', 4)
                                      : QString());
    return endings;
}

}  // namespace compare
