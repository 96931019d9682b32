#include "plot_area.hpp"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

QColor ToQColor(const plot::Rgb& c) { return QColor(c.r, c.g, c.b); }

// Clips the segment p-q to `box` (Liang-Barsky). Returns false when nothing
// of it lies inside. Keeps QPainter away from coordinates far off screen.
bool ClipSegment(QPointF& p, QPointF& q, const QRectF& box) {
    double t0 = 0.0;
    double t1 = 1.0;
    const double dx = q.x() - p.x();
    const double dy = q.y() - p.y();
    const double edges[4][2] = {{-dx, p.x() - box.left()},
                                {dx, box.right() - p.x()},
                                {-dy, p.y() - box.top()},
                                {dy, box.bottom() - p.y()}};
    for (const auto& e : edges) {
        const double pe = e[0];
        const double qe = e[1];
        if (pe == 0.0) {
            if (qe < 0.0) return false;
            continue;
        }
        const double t = qe / pe;
        if (pe < 0.0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
    }
    const QPointF start = p;
    p = QPointF(start.x() + t0 * dx, start.y() + t0 * dy);
    q = QPointF(start.x() + t1 * dx, start.y() + t1 * dy);
    return true;
}

bool Finite(const QPointF& p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

}  // namespace

PlotArea::PlotArea(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFocusPolicy(Qt::TabFocus);
}

void PlotArea::SetModel(std::optional<plot::PlotModel> model) {
    model_ = std::move(model);
    update();
}

QPointF PlotArea::ToPixels(double x, double y) const {
    const QRectF area = contentsRect();
    const plot::PlotModel& m = *model_;
    const double px = area.left() + (x - m.left) / (m.right - m.left) * area.width();
    const double py = area.top() + (y - m.top) / (m.bottom - m.top) * area.height();
    return {px, py};
}

void PlotArea::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.fillRect(area, ToQColor(plot::kBackground));
    if (!model_) return;
    const plot::PlotModel& m = *model_;
    const double width = m.right - m.left;
    const double height = m.bottom - m.top;
    if (!std::isfinite(width) || !std::isfinite(height) || width == 0.0 || height == 0.0) return;

    painter.setClipRect(area);
    painter.setBrush(Qt::NoBrush);
    const QRectF reach = QRectF(area).adjusted(-10, -10, 10, 10);
    const double pixelsPerUnit = std::fabs(area.width() / width);
    for (const plot::Shape& s : m.shapes) {
        painter.setPen(QPen(s.colour ? ToQColor(*s.colour) : palette().color(QPalette::WindowText), 0));
        QPointF a = ToPixels(s.x1, s.y1);
        if (!Finite(a)) continue;
        if (s.kind == plot::Shape::Kind::Circle) {
            const double r = std::fabs(s.radius) * pixelsPerUnit;
            if (!std::isfinite(r) || !reach.adjusted(-r, -r, r, r).contains(a)) continue;
            painter.drawEllipse(a, std::min(r, 1e5), std::min(r, 1e5));
        } else {
            QPointF b = ToPixels(s.x2, s.y2);
            if (!Finite(b) || !ClipSegment(a, b, reach)) continue;
            painter.drawLine(a, b);
        }
    }
}
