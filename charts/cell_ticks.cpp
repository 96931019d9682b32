// The solutions chart's ticks at the cells' faces, drawn by the chart itself
// along the foot of the plot, and the node a point of the chart belongs to.
#include <QPen>
#include <algorithm>
#include <cmath>

#include "charts.hpp"

namespace charts {

namespace {
constexpr double kTickLength = 7;  // pixels, up from the x axis
}

long NodeAt(const study::Grid& g, double x) {
    if (g.N < 1) return 1;
    if (g.Uniform()) return std::clamp(long(std::floor(x / g.dx)) + 1, 1L, g.N);
    const std::vector<double>& f = *g.faces;
    // The first face beyond x closes the cell that holds it.
    const auto beyond = std::upper_bound(f.begin() + 1, f.end() - 1, x);
    return long(beyond - f.begin());
}

void SolutionChart::PlaceTicks() {
    QPainterPath path;
    const QRectF area = plotArea();
    const double from = x_->min(), span = x_->max() - x_->min();
    if (span > 0 && area.width() > 0)
        for (double f : faces_) {
            const double at = area.left() + (f - from) / span * area.width();
            path.moveTo(at, area.bottom());
            path.lineTo(at, area.bottom() - kTickLength);
        }
    ticks_->setPath(path);
}

}  // namespace charts
