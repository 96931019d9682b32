// The study's pictures as Qt Charts: the convergence chart, the titles of the
// schemes, the exact curve, and drawing a chart to a file.
#include "charts.hpp"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QGraphicsScene>
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

bool NameEndsIn(std::string_view name, std::string_view end) {
    if (name.size() < end.size()) return false;
    return std::equal(end.begin(), end.end(), name.end() - std::ptrdiff_t(end.size()), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
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
