// The schemes' looks, their marker images, and the range a φ axis follows.
#include "scheme_look.hpp"

#include <QLegend>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <tuple>
#include <utility>

#include "charts.hpp"

namespace charts {

namespace {

// Okabe and Ito's colours.
const QColor kVermillion(213, 94, 0), kBlue(0, 114, 178), kGreen(0, 158, 115), kOrange(230, 159, 0),
    kPurple(204, 121, 167), kSky(86, 180, 233);

// A regular polygon of `corners` corners (alternately at `inner` of the
// radius when `inner` is below 1: a star), one corner up, in a box of side 1
// centred on 0.
QPolygonF Polygon(int corners, double inner = 1) {
    QPolygonF p;
    const int points = inner < 1 ? 2 * corners : corners;
    for (int k = 0; k < points; ++k) {
        const double a = -std::numbers::pi / 2 + 2 * std::numbers::pi * k / points;
        const double r = (inner < 1 && k % 2) ? 0.5 * inner : 0.5;
        p << QPointF(r * std::cos(a), r * std::sin(a));
    }
    return p;
}

}  // namespace

Look SchemeLook(study::Scheme s) {
    using study::Scheme;
    switch (s) {
        case Scheme::Central: return {kVermillion, Qt::SolidLine, Marker::Circle};
        case Scheme::Upwind: return {kBlue, Qt::SolidLine, Marker::Square};
        case Scheme::Hybrid: return {kGreen, Qt::SolidLine, Marker::Triangle};
        case Scheme::Quick: return {kOrange, Qt::SolidLine, Marker::Diamond};
        case Scheme::PowerLaw: return {kPurple, Qt::SolidLine, Marker::Star};
        case Scheme::Exponential: return {kSky, Qt::SolidLine, Marker::Pentagon};
        case Scheme::MinMod: return {kVermillion, Qt::DashLine, Marker::Square};
        case Scheme::VanLeer: return {kGreen, Qt::DashLine, Marker::Diamond};
        case Scheme::VanAlbada: return {kPurple, Qt::DashLine, Marker::Pentagon};
        case Scheme::Superbee: return {kVermillion, Qt::DashDotLine, Marker::Triangle};
        case Scheme::MC: return {kGreen, Qt::DashDotLine, Marker::Star};
        case Scheme::Koren: return {kPurple, Qt::DashDotLine, Marker::Circle};
        case Scheme::Ospre: return {kBlue, Qt::DotLine, Marker::Star};
        case Scheme::Umist: return {kSky, Qt::DotLine, Marker::Triangle};
        case Scheme::QuickLimited: return {kOrange, Qt::DotLine, Marker::Circle};
    }
    return {Qt::gray, Qt::SolidLine, Marker::Circle};
}

QPen LookPen(const Look& look, double width) {
    QPen pen(look.colour);
    pen.setWidthF(width);
    pen.setStyle(look.line);
    return pen;
}

QImage MarkerImage(const Look& look, int size) {
    // Keyed by what is drawn; only the window's thread draws.
    static std::map<std::tuple<QRgb, int, int>, QImage> made;
    const auto key = std::make_tuple(look.colour.rgb(), int(look.marker), size);
    if (const auto it = made.find(key); it != made.end()) return it->second;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(look.colour.darker(150), 1));
    painter.setBrush(look.colour);
    const double side = size - 1.5;  // inside the image with the edge
    painter.translate(size / 2.0, size / 2.0);
    painter.scale(side, side);
    painter.setPen(QPen(look.colour.darker(150), 1 / side));
    switch (look.marker) {
        case Marker::Circle: painter.drawEllipse(QPointF(0, 0), 0.45, 0.45); break;
        case Marker::Square: painter.drawRect(QRectF(-0.4, -0.4, 0.8, 0.8)); break;
        case Marker::Triangle: painter.drawPolygon(Polygon(3).translated(0, 0.08)); break;
        case Marker::Diamond: painter.drawPolygon(Polygon(4)); break;
        case Marker::Star: painter.drawPolygon(Polygon(5, 0.45)); break;
        case Marker::Pentagon: painter.drawPolygon(Polygon(5)); break;
    }
    painter.end();
    return made.emplace(key, image).first->second;
}

QImage SwatchImage(study::Scheme s, int width, int height) {
    const Look look = SchemeLook(s);
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(LookPen(look, 2));
    painter.drawLine(QPointF(0, height / 2.0), QPointF(width, height / 2.0));
    const int side = std::min({height, width, kMarkerPixels + 2});
    painter.drawImage(QPointF((width - side) / 2.0, (height - side) / 2.0), MarkerImage(look, side));
    return image;
}

QScatterSeries::MarkerShape ScatterShape(Marker m) {
    switch (m) {
        case Marker::Circle: return QScatterSeries::MarkerShapeCircle;
        case Marker::Square: return QScatterSeries::MarkerShapeRectangle;
        case Marker::Triangle: return QScatterSeries::MarkerShapeTriangle;
        case Marker::Diamond: return QScatterSeries::MarkerShapeRotatedRectangle;
        case Marker::Star: return QScatterSeries::MarkerShapeStar;
        case Marker::Pentagon: return QScatterSeries::MarkerShapePentagon;
    }
    return QScatterSeries::MarkerShapeCircle;
}

void ApplyLook(QLineSeries* series, study::Scheme s, bool markers, double width) {
    const Look look = SchemeLook(s);
    const QPen pen = LookPen(look, width);
    if (series->pen() != pen) series->setPen(pen);
    // A light marker is drawn at every point whatever pointsVisible says,
    // as an image: much cheaper than the shapes Qt Charts paints.
    // Every setter below lays the series out again, its outline stroked
    // afresh, whether or not the value changed: only changes are set.
    if (series->pointsVisible()) series->setPointsVisible(false);
    if (series->markerSize() != kMarkerPixels) series->setMarkerSize(kMarkerPixels);
    const QImage marker = markers ? MarkerImage(look, kMarkerPixels) : QImage();
    if (series->lightMarker().cacheKey() != marker.cacheKey()) series->setLightMarker(marker);
}

PhiRange::PhiRange(double lo, double hi) : lo_(lo), hi_(hi) {
    const double span = hi - lo;
    const double margin =
        kOffScaleMargin * (span > 0 ? span : std::max({1.0, std::fabs(lo), std::fabs(hi)}));
    reachLo_ = lo - margin;
    reachHi_ = hi + margin;
}

bool PhiRange::Take(double lo, double hi) {
    if (!(lo >= reachLo_ && hi <= reachHi_)) return false;  // NaN too
    lo_ = std::min(lo_, lo);
    hi_ = std::max(hi_, hi);
    return true;
}

QString RangeText(study::Scheme s, double lo, double hi) {
    return QString("%1: φ from %2 to %3").arg(SchemeTitle(s)).arg(lo, 0, 'g', 3).arg(hi, 0, 'g', 3);
}

}  // namespace charts
