// The picture of one calculation as data: a user scale and the shapes drawn
// in it, in drawing order. The window's plot widget only paints this model,
// so the picture can be checked without pixels and repainted at any time.
#pragma once

#include <optional>
#include <vector>

#include "../schemes/Mdl_Common.hpp"

namespace plot {

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kBackground{255, 255, 192};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kBlue{0, 0, 255};

// A straight line, or the outline of a circle whose radius is measured in
// horizontal user units and which is round on screen. Coordinates are
// doubles all the way to the pixels, so that a plot at any finite magnitude
// (phiA = 1e39 as much as 1) is drawn; a shape without a colour is drawn in
// the foreground colour.
struct Shape {
    enum class Kind { Line, Circle };
    Kind kind = Kind::Line;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // line ends; a circle's centre is (x1, y1)
    double radius = 0;
    std::optional<Rgb> colour;
};

struct PlotModel {
    // The user scale: (left, top) is the top-left corner of the drawing area
    // and (right, bottom) the bottom-right one.
    double left = 0, top = 1, right = 1, bottom = 0;
    std::vector<Shape> shapes;

    // Figures of the calculation, kept for the curious and for tests.
    double tMax = 0;
    double rMarker = 0;
    double aExact = 0;
    double cExact = 0;
    std::vector<double> xExact;   // the 100 points of the exact curve
    std::vector<double> fiExact;  // (element 0 is the first point)
};

// Builds the plot: the axes, the numerical solution as red circles joined by
// a red polyline, and the exact solution as a blue curve of 100 points.
//
// When no solution value is positive the usual scale (-0.1 Tmax to 1.3 Tmax)
// has no height; the vertical extent is then taken from the values that are
// drawn, so that the solution and the exact curve stay visible.
PlotModel BuildSolutionPlot(const Mdl_Common::ProblemState& s, double L, double u, double Rho, double Gama);

// The exact solution of the convection-diffusion problem with fixed end
// values, at x: FiA + (FiB - FiA) (exp(a x) - 1) / (exp(a L) - 1), a = Rho u /
// Gama. `values` receive the 100 points x = 0, L/100, ..., 0.99 L. Where the
// formula cannot be evaluated as written (a = 0, exp overflowing) the values
// are those of its limit, computed in a form that does not overflow, and
// `cExact`, which has no value then, is set to 0.
void ExactSolution(double FiA, double FiB, double L, double a, std::vector<double>& xs, std::vector<double>& values,
                   double& cExact);

}  // namespace plot
