#include "solution_plot.hpp"

#include <algorithm>
#include <cmath>

#include "../solver/checked.hpp"

namespace plot {

namespace {

constexpr int kExactPoints = 100;

Shape Line(double x1, double y1, double x2, double y2, std::optional<Rgb> colour) {
    Shape s;
    s.kind = Shape::Kind::Line;
    s.x1 = x1;
    s.y1 = y1;
    s.x2 = x2;
    s.y2 = y2;
    s.colour = colour;
    return s;
}

Shape Circle(double x, double y, double r, Rgb colour) {
    Shape s;
    s.kind = Shape::Kind::Circle;
    s.x1 = x;
    s.y1 = y;
    s.radius = r;
    s.colour = colour;
    return s;
}

// (exp(a x) - 1) / (exp(a L) - 1) for 0 <= x/L < 1, without overflow: the
// share of the way from FiA to FiB at x. `share` is x / L.
double StableRatio(double a, double x, double L, double share) {
    const double aL = a * L;
    if (std::isnan(aL) || aL == 0.0) return share;
    if (std::isinf(aL)) {
        // Infinite Peclet number: the profile jumps at the downstream end.
        if (aL > 0) return 0.0;
        return share > 0 ? 1.0 : 0.0;
    }
    const double ax = a * x;
    if (aL > 0 && aL > 700.0) return std::exp(ax - aL) * std::expm1(-ax) / std::expm1(-aL);
    const double denominator = std::expm1(aL);
    if (denominator == 0.0) return share;
    return std::expm1(ax) / denominator;
}

// FiA + (FiB - FiA) ratio, written so that neither difference nor product
// overflows when the end values are huge.
double Blend(double FiA, double FiB, double ratio) {
    const double direct = FiA + (FiB - FiA) * ratio;
    if (std::isfinite(direct)) return direct;
    return FiA * (1.0 - ratio) + FiB * ratio;
}

// Vertical extent when no solution value is positive: from the lowest to
// the highest value drawn (zero included), with the usual margins.
void FallbackScale(const std::vector<double>& values, double& top, double& bottom, double& axisFrom, double& axisTo) {
    double lo = 0.0;
    double hi = 0.0;
    for (double v : values) {
        if (!std::isfinite(v)) continue;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    double span = hi - lo;
    if (span == 0.0) {
        hi = 1.0;
        span = 1.0;
    }
    if (!std::isfinite(span)) {
        top = hi;
        bottom = lo;
        axisFrom = lo;
        axisTo = hi;
        return;
    }
    top = hi + 0.3 * span;
    bottom = lo - 0.1 * span;
    axisFrom = lo;
    axisTo = hi + 0.2 * span;
}

}  // namespace

void ExactSolution(double FiA, double FiB, double L, double a, std::vector<double>& xs, std::vector<double>& values,
                   double& cExact) {
    xs.assign(kExactPoints, 0.0);
    values.assign(kExactPoints, 0.0);
    const double dxExact = L / kExactPoints;
    for (int i = 1; i <= kExactPoints; ++i) xs[static_cast<std::size_t>(i - 1)] = (i - 1) * dxExact;

    // The formula as written, wherever every step of it is a finite number.
    const double denominator = std::exp(a * L) - 1.0;
    cExact = (FiB - FiA) / denominator;
    bool literal = denominator != 0.0 && std::isfinite(denominator) && std::isfinite(cExact);
    for (int i = 0; literal && i < kExactPoints; ++i) {
        const auto k = static_cast<std::size_t>(i);
        values[k] = FiA + cExact * (std::exp(a * xs[k]) - 1.0);
        literal = std::isfinite(values[k]);
    }
    if (literal) return;

    // Its limit otherwise: a straight line for a = 0, a boundary layer at the
    // downstream end for a very large Peclet number.
    cExact = 0.0;
    for (int i = 0; i < kExactPoints; ++i) {
        const auto k = static_cast<std::size_t>(i);
        values[k] = Blend(FiA, FiB, StableRatio(a, xs[k], L, i / double(kExactPoints)));
    }
}

PlotModel BuildSolutionPlot(const Mdl_Common::ProblemState& s, double L, double u, double Rho, double Gama) {
    PlotModel m;

    // The largest solution value, or 0 when none is positive.
    double tMax = 0.0;
    for (long i = 1; i <= s.N; ++i)
        if (s.T(i) > tMax) tMax = s.T(i);
    m.tMax = tMax;

    m.aExact = (Rho * u) / Gama;
    ExactSolution(s.FiA, s.FiB, L, m.aExact, m.xExact, m.fiExact, m.cExact);

    // The user scale and the vertical axis.
    m.left = -0.1 * L;
    m.right = 1.1 * L;
    double axisFrom = 0.0;
    double axisTo = 1.2 * tMax;
    m.top = 1.3 * tMax;
    m.bottom = -0.1 * tMax;
    if (tMax == 0.0 || !std::isfinite(m.top)) {
        std::vector<double> drawn(m.fiExact);
        for (long i = 1; i <= s.N; ++i) drawn.push_back(s.T(i));
        FallbackScale(drawn, m.top, m.bottom, axisFrom, axisTo);
    }

    m.shapes.push_back(Line(0, 0, 1, 0, std::nullopt));
    m.shapes.push_back(Line(0, axisFrom, 0, axisTo, std::nullopt));

    // The numerical solution: a circle at every node, then the segments.
    const long last = calc::RoundIndex(s.N, {"the plot"});
    m.rMarker = 0.02 * s.x(last);
    for (long i = 1; i <= s.N; ++i) m.shapes.push_back(Circle(s.x(i), s.T(i), m.rMarker, kRed));
    for (long i = 2; i <= s.N; ++i) m.shapes.push_back(Line(s.x(i - 1), s.T(i - 1), s.x(i), s.T(i), kRed));

    // The exact solution: 99 segments through the 100 points.
    for (std::size_t i = 1; i < m.xExact.size(); ++i)
        m.shapes.push_back(Line(m.xExact[i - 1], m.fiExact[i - 1], m.xExact[i], m.fiExact[i], kBlue));
    return m;
}

}  // namespace plot
