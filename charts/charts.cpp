// The study's pictures as Qt Charts: the solutions chart, the convergence chart,
// the colours and titles of the schemes, and drawing a chart to a file.
#include "charts.hpp"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QGraphicsScene>
#include <QLegendMarker>
#include <QPainter>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include "files/whole_file.hpp"
#include "study/exact.hpp"

namespace charts {

QString SchemeTitle(study::Scheme s) {
    return QString::fromUtf8(study::Title(s).data(), qsizetype(study::Title(s).size()));
}

std::optional<study::Scheme> SameAsEarlier(const study::Study& st, std::size_t row) {
    const study::Result& r = st.results.at(row).at(0);
    const study::Problem& p = st.problem;
    const double tolerance = std::max(1e-12, 64 * std::numeric_limits<double>::epsilon() * double(r.grid.N)) *
                             std::max({1.0, std::fabs(study::ExactRange(p).first), std::fabs(study::ExactRange(p).second)});
    for (std::size_t k = 0; k < row; ++k) {
        const study::Result& earlier = st.results[k].at(0);
        if (earlier.phi.size() != r.phi.size() || r.phi.empty()) continue;
        bool same = true;
        for (std::size_t i = 0; same && i < r.phi.size(); ++i) same = std::fabs(r.phi[i] - earlier.phi[i]) <= tolerance;
        if (same) return earlier.scheme;
    }
    return std::nullopt;
}

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

// A range from lo to hi widened to whole steps of 1, 2 or 5 times a power
// of ten, with ticks at the steps, and a little room beyond for the markers
// at the ends: set in one go, as every change of range lays out every series
// again.
void FitRange(QValueAxis* axis, double lo, double hi) {
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
    if (!std::isfinite(from) || !std::isfinite(to) || !(to > from)) {
        // No steps to be had: evenly spaced ticks, never an interval of an
        // earlier range over this one.
        axis->setTickType(QValueAxis::TicksFixed);
        axis->setTickCount(5);
        axis->setRange(lo, hi);
        return;
    }
    // A marker is about 14 pixels across, on a plot of 300 and more.
    const double room = 0.025 * (to - from);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(from);
    axis->setTickInterval(step);
    axis->setRange(from - room, to + room);
}

}  // namespace

QList<QPointF> ExactCurve(const study::Problem& p, int points) {
    std::vector<double> shares;
    for (int k = 0; k <= points; ++k) shares.push_back(double(k) / points);
    // The boundary layer is about L/|P| thick, at the outflow end.
    const double P = study::DomainPeclet(p);
    if (std::fabs(P) > 20)
        for (int k = 1; k < points / 2; ++k) {
            const double depth = 8.0 * k / (points / 2) / std::fabs(P);
            shares.push_back(P > 0 ? 1.0 - depth : depth);
        }
    std::sort(shares.begin(), shares.end());
    QList<QPointF> curve;
    curve.reserve(qsizetype(shares.size()));
    if (p.Plain()) {
        for (double r : shares) curve.append({r * p.L, study::Exact(p, r * p.L)});
        return curve;
    }
    const study::ExactSolution exact(p);
    for (double r : shares) curve.append({r * p.L, exact(r * p.L)});
    return curve;
}

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
    const QList<QPointF> exact = ExactCurve(st.problem);
    exact_->replace(exact);
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
    // beyond the axis that it is off scale. A legend marker keeps the text
    // it was first laid out with: a change of text takes new markers, and
    // so new series.
    std::vector<QString> labels;
    bool fresh = false;
    for (std::size_t row = 0; row < st.results.size(); ++row) {
        const study::Scheme scheme = st.results[row][0].scheme;
        const auto same = drawing.same.at(row);
        labels.push_back(same ? QString("%1 (same as %2 here)").arg(SchemeTitle(scheme), SchemeTitle(*same))
                              : SchemeTitle(scheme));
        if (offScale_.count(scheme)) labels.back() += kOffScale;
        QLineSeries* s = SeriesOf(scheme);
        fresh = fresh || !s;
        if (s)
            for (QLegendMarker* marker : legend()->markers(s)) fresh = fresh || marker->label() != labels.back();
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
    for (std::size_t row = 0; row < st.results.size(); ++row) {
        const study::Result& r = st.results[row].at(0);
        QLineSeries*& s = series_[r.scheme];
        if (!s) {
            s = new QLineSeries;
            s->setName(SchemeTitle(r.scheme));
            addSeries(s);
            // Attaching sets the axis to the chart's data as it is, a single
            // value when phi is the same everywhere; the ticks of an earlier
            // range over no range at all would never end. FitRange sets them
            // again below.
            y_->setTickType(QValueAxis::TicksFixed);
            s->attachAxis(x_);
            s->attachAxis(y_);
        }
        s->replace(drawing.points.at(row));
        // The chart's theme styles a series as it is added: style it after.
        ApplyLook(s, r.scheme, r.grid.N <= kMostMarkedNodes);
        for (QLegendMarker* marker : legend()->markers(s)) marker->setLabel(labels[row]);
    }
    x_->setRange(std::min(0.0, st.problem.L), std::max(0.0, st.problem.L));
    FitRange(y_, range.Lo(), range.Hi());
    faces_.clear();
    if (g.N <= kMostTickedCells)
        for (long k = 0; k <= g.N; ++k) faces_.push_back(g.Face(k));
    PlaceTicks();
}

ConvergenceChart::ConvergenceChart() : x_(new QLogValueAxis), y_(new QLogValueAxis) {
    x_->setTitleText("N (control volumes)");
    x_->setLabelFormat("%g");
    y_->setTitleText("max error (units of φ)");
    y_->setLabelFormat("%.0e");
    // A chart filled while its view is hidden lays out its labels at the
    // hidden view's size, and would keep them cut short ("1...") once shown.
    x_->setTruncateLabels(false);
    y_->setTruncateLabels(false);
    addAxis(x_, Qt::AlignBottom);
    addAxis(y_, Qt::AlignLeft);
    legend()->setAlignment(Qt::AlignBottom);
    // Legend markers drawn like their lines, so that the dashed and the
    // dotted reference slopes tell themselves apart.
    legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    setMargins(QMargins(6, 6, 6, 6));
}

double RoundingLevel(const study::Problem& p) {
    const auto [lo, hi] = study::ExactRange(p);
    const double scale = std::max(std::fabs(lo), std::fabs(hi));
    return kRoundingShare * (std::isfinite(scale) && scale > 0 ? scale : 1.0);
}

void ConvergenceChart::Show(const study::Study& st) {
    removeAllSeries();
    const study::Grid first = study::MakeGrid(st.problem, st.sizes.front());
    setTitle(QString("Max error against N (cell Pe = %1 at N = %2)").arg(first.Pe, 0, 'g', 4).arg(first.N));
    floor_ = RoundingLevel(st.problem);
    auto* rounding = new QScatterSeries;
    double lo = HUGE_VAL, hi = 0, logSum = 0;
    int count = 0;
    for (const auto& perScheme : st.results) {
        auto* s = new QLineSeries;
        bool floored = false;
        for (const study::Result& r : perScheme) {
            if (std::isnan(r.maxError)) continue;  // no place on the chart
            // An error at the rounding level says only that the scheme is
            // exact here: drawn at the floor, ringed.
            const double e = std::max(r.maxError, floor_);
            s->append(double(r.grid.N), e);
            if (r.maxError < floor_) {
                rounding->append(double(r.grid.N), e);
                floored = true;
            }
            lo = std::min(lo, e);
            hi = std::max(hi, e);
        }
        s->setName(SchemeTitle(perScheme.at(0).scheme) + (floored ? " (at rounding level)" : ""));
        // Errors at the rounding level would drag the reference lines off.
        if (!perScheme.empty() && perScheme[0].maxError > 1e-10) {
            logSum += std::log10(perScheme[0].maxError);
            ++count;
        }
        addSeries(s);
        s->attachAxis(x_);
        s->attachAxis(y_);
        ApplyLook(s, perScheme[0].scheme, true);
    }
    // Reference slopes through the geometric mean of the first errors.
    const double n0 = double(st.sizes.front()), n1 = double(st.sizes.back());
    const double e0 = count ? std::pow(10.0, logSum / count) : 1.0;
    for (int slope : {1, 2}) {
        auto* s = new QLineSeries;
        s->setName(QString("slope %1").arg(slope));
        QPen pen(QColor(120, 120, 120));
        pen.setStyle(slope == 1 ? Qt::DashLine : Qt::DotLine);
        pen.setWidthF(1.4);
        s->setPen(pen);
        s->append(n0, e0);
        s->append(n1, std::max(e0 * std::pow(n0 / n1, slope), floor_));
        lo = std::min(lo, s->at(1).y());
        hi = std::max(hi, e0);
        addSeries(s);
        s->attachAxis(x_);
        s->attachAxis(y_);
    }
    if (rounding->count() > 0) {
        rounding->setName(QString("below the rounding level %1, drawn at it").arg(floor_, 0, 'g', 2));
        addSeries(rounding);
        rounding->attachAxis(x_);
        rounding->attachAxis(y_);
        rounding->setMarkerSize(15);
        rounding->setBrush(Qt::NoBrush);
        rounding->setPen(QPen(Qt::black, 1.2));
    } else {
        delete rounding;
    }
    x_->setRange(n0 / 1.5, n1 * 1.5);
    y_->setRange(lo / 3, hi * 3);
}

void Render(QChart* chart, QPainter& painter, QSize size) {
    QGraphicsScene scene;
    scene.addItem(chart);
    const QRectF area(QPointF(0, 0), QSizeF(size));
    chart->setGeometry(area);
    scene.setSceneRect(area);
    QCoreApplication::sendPostedEvents();  // lets the chart lay itself out at the new size
    // Items of series removed since are deleted, not drawn where they were
    // never laid out (at the picture's corner).
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, area, area);
    scene.removeItem(chart);
}

QImage Image(QChart* chart, QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    Render(chart, painter, size);
    return image;
}

bool SvgName(std::string_view name) {
    constexpr std::string_view kEnd = ".svg";
    if (name.size() < kEnd.size()) return false;
    const std::string_view end = name.substr(name.size() - kEnd.size());
    return std::equal(end.begin(), end.end(), kEnd.begin(),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

QByteArray Encode(QChart* chart, bool svg, QSize size) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setTitle(chart->title());
        QPainter painter(&generator);
        Render(chart, painter, size);
    } else if (!Image(chart, size).save(&buffer, "PNG")) {
        return {};
    }
    return bytes;
}

QString Save(QChart* chart, const QString& path, QSize size) {
    const QByteArray name = QFile::encodeName(path);
    const QByteArray bytes = Encode(chart, SvgName(name.toStdString()), size);
    if (bytes.isEmpty()) return "the picture could not be encoded";
    const std::string why =
        files::WriteWhole(name.toStdString(), std::string_view(bytes.constData(), std::size_t(bytes.size())));
    return why.empty() ? QString() : QString::fromLocal8Bit(files::Reason(why));
}

}  // namespace charts
