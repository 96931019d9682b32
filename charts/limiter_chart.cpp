// Sweby's diagram drawn with Qt Charts: the curves, the region, the faces.
#include "limiter_chart.hpp"

#include <QAreaSeries>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <functional>

#include "charts.hpp"

namespace charts {

namespace {

constexpr int kSamples = 600;

// psi sampled from 0 to kMostR.
QLineSeries* Curve(const std::function<double(double)>& psi) {
    auto* s = new QLineSeries;
    for (int k = 0; k <= kSamples; ++k) {
        const double r = LimiterChart::kMostR * k / kSamples;
        s->append(r, psi(r));
    }
    return s;
}

QPen Pen(QColor colour, double width, Qt::PenStyle style = Qt::SolidLine) {
    QPen pen(colour);
    pen.setWidthF(width);
    pen.setStyle(style);
    return pen;
}

QString TitleOf(study::Limiter l) { return SchemeTitle(study::SchemeOf(l)); }

}  // namespace

QString FaceText(const study::Face& f) {
    return QString("x = %1 m, r = %2, ψ = %3").arg(f.x, 0, 'g', 4).arg(f.r, 0, 'g', 4).arg(f.psi, 0, 'g', 4);
}

LimiterChart::LimiterChart() : r_(new QValueAxis), psi_(new QValueAxis) {
    setTitle("Limiters in Sweby's diagram");
    r_->setTitleText("r, the ratio of successive gradients");
    psi_->setTitleText("ψ(r)");
    r_->setRange(0, kMostR);
    psi_->setRange(0, kMostR);
    r_->setTickCount(7);
    psi_->setTickCount(7);
    addAxis(r_, Qt::AlignBottom);
    addAxis(psi_, Qt::AlignLeft);
    legend()->setAlignment(Qt::AlignRight);
    // Swatches drawn like their lines: the schemes' line styles tell apart
    // curves of one colour.
    legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    setMargins(QMargins(6, 6, 6, 6));
}

void LimiterChart::Show(const std::vector<study::Limiter>& limiters) {
    ClearFaces();
    for (QAbstractSeries* s : curves_) {
        removeSeries(s);
        delete s;
    }
    curves_.clear();
    auto add = [&](QAbstractSeries* s, const QString& name) {
        s->setName(name);
        addSeries(s);
        s->attachAxis(r_);
        s->attachAxis(psi_);
        curves_.push_back(s);
    };
    // The chart's theme styles a series as it is added: pens are set after.
    auto* region = new QAreaSeries(Curve([](double r) { return study::Psi(study::Limiter::Superbee, r); }),
                                   Curve([](double r) { return study::Psi(study::Limiter::MinMod, r); }));
    // The area does not own its bounding lines: they go with it.
    region->upperSeries()->setParent(region);
    region->lowerSeries()->setParent(region);
    add(region, "second-order TVD region");
    region->setBrush(QColor(210, 210, 210, 140));
    region->setPen(Qt::NoPen);

    struct Line {
        const char* name;
        std::function<double(double)> psi;
        QPen pen;
    };
    const Line lines[] = {
        {"TVD bounds ψ = 2r, ψ = 2", [](double r) { return std::min(2 * r, 2.0); }, Pen(Qt::black, 1.4, Qt::DashLine)},
        {"central ψ = 1", [](double) { return 1.0; }, LookPen(SchemeLook(study::Scheme::Central), 1.2)},
        {"upwind ψ = 0", [](double) { return 0.0; }, LookPen(SchemeLook(study::Scheme::Upwind), 2.0)},
        {"second-order upwind ψ = r", [](double r) { return r; }, Pen(Qt::black, 1.2, Qt::DotLine)},
        {"QUICK ψ = (3 + r)/4", [](double r) { return (3 + r) / 4; }, LookPen(SchemeLook(study::Scheme::Quick), 1.2)},
    };
    for (const Line& line : lines) {
        QLineSeries* s = Curve(line.psi);
        add(s, line.name);
        s->setPen(line.pen);
    }
    for (study::Limiter l : limiters) {
        QLineSeries* s = Curve([l](double r) { return study::Psi(l, r); });
        add(s, TitleOf(l));
        s->setPen(LookPen(SchemeLook(study::SchemeOf(l)), 2.2));
    }
}

QScatterSeries* LimiterChart::FacesOf(study::Limiter l) const {
    const auto it = faces_.find(l);
    return it == faces_.end() ? nullptr : it->second;
}

QScatterSeries* LimiterChart::ShowFaces(study::Limiter l, const std::vector<study::Face>& faces) {
    QScatterSeries* s = FacesOf(l);
    if (!s) {
        s = new QScatterSeries;
        s->setName(TitleOf(l));
        addSeries(s);
        s->attachAxis(r_);
        s->attachAxis(psi_);
        const Look look = SchemeLook(study::SchemeOf(l));
        s->setMarkerShape(ScatterShape(look.marker));
        s->setColor(look.colour);
        s->setBorderColor(look.colour.darker(140));
        s->setMarkerSize(8);
        for (QLegendMarker* m : legend()->markers(s)) m->setVisible(false);
        faces_[l] = s;
    }
    QList<QPointF> points;
    points.reserve(qsizetype(faces.size()));
    for (const study::Face& f : faces) points.append({f.r, f.psi});
    s->replace(points);
    return s;
}

void LimiterChart::ClearFaces() {
    for (auto& [l, s] : faces_) {
        removeSeries(s);
        delete s;
    }
    faces_.clear();
}

}  // namespace charts
