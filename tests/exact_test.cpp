// The exact solution against its closed forms, against a long double RK4
// solve of the equation for every pair of ends, and where it cannot be had.
#include "study/exact.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

using study::End;
using study::EndKind;
using study::ExactSolution;
using study::Problem;

namespace {

// rho = 1, L = 1, Gamma = 0.1: the domain Peclet number is 10 u.
Problem Make(End left, End right, double u, double sp = 0, double su = 0, double gamma = 0.1) {
    Problem p;
    p.left = left, p.right = right, p.u = u, p.su = su, p.sp = sp, p.gamma = gamma;
    return p;
}

// phi and phi' at x1, integrated in long double from the exact phi and phi'
// at x0; |x1 - x0| is kept to half the shortest length of the solution, so
// that neither exponential grows much on the way.
std::pair<long double, long double> Shoot(const Problem& p, const ExactSolution& e, double x0, double x1) {
    auto f = [&](long double y, long double dy) { return (p.rho * p.u * dy - p.sp * y - p.su) / p.gamma; };
    long double y = e(x0), dy = e.Slope(x0);
    const long double h = (static_cast<long double>(x1) - x0) / 400;
    for (int i = 0; i < 400; ++i) {
        const long double l1 = f(y, dy), k2 = dy + h / 2 * l1, l2 = f(y + h / 2 * dy, k2), k3 = dy + h / 2 * l2;
        const long double l3 = f(y + h / 2 * k2, k3), k4 = dy + h * l3, l4 = f(y + h * k3, k4);
        y += h / 6 * (dy + 2 * k2 + 2 * k3 + k4);
        dy += h / 6 * (l1 + 2 * l2 + 2 * l3 + l4);
    }
    return {y, dy};
}

// The ends held, the equation met from each sample on, and every value within
// Range(), for a problem with a finite solution.
void CheckSolution(const Problem& p) {
    const ExactSolution e(p);
    ASSERT_TRUE(e.Finite()) << e.Why();
    const double samples[] = {0, 1e-5, 1e-3, 0.05, 0.3, 0.6, 0.95, 0.999, 0.99999, 1};
    double size = 1e-300, slope = 0;
    for (double x : samples) size = std::max(size, std::fabs(e(x))), slope = std::max(slope, std::fabs(e.Slope(x)));
    const double tolV = 1e-12 * size, tolD = 1e-12 * slope + 1e-14 * size;
    for (auto [end, x, out] : {std::tuple(p.left, 0.0, 1.0), std::tuple(p.right, 1.0, -1.0)}) {
        const double held = end.kind == EndKind::Value      ? e(x)
                            : end.kind == EndKind::Gradient ? e.Slope(x)
                                                            : e(x) - out * p.gamma * e.Slope(x) / end.h;
        EXPECT_NEAR(held, end.value, end.kind == EndKind::Value ? tolV : tolV + tolD) << x;
    }
    const double step = std::min(1.0, 0.5 / (std::fabs(p.u) / p.gamma + std::sqrt(-p.sp / p.gamma)));
    for (double x0 : samples) {
        const double x1 = x0 + step <= 1 ? x0 + step : x0 - step;
        const auto [y, dy] = Shoot(p, e, x0, x1);
        EXPECT_NEAR(e(x1), static_cast<double>(y), tolV) << x0;
        EXPECT_NEAR(e.Slope(x1), static_cast<double>(dy), tolD) << x0;
    }
    int outside = 0;
    for (int i = 0; i <= 2000; ++i) {
        const double phi = e(i / 2000.0);
        outside += std::clamp(phi, e.Range().first - tolV / 100, e.Range().second + tolV / 100) != phi;
    }
    EXPECT_EQ(outside, 0);
}

}  // namespace

TEST(ExactSolution, MatchesTheClosedForms) {
    for (double P : {-1e4, -30.0, -1.0, 1e-13, 0.0, 2.0, 50.0, 1e4}) {  // two values, no source
        const ExactSolution e(Make(End::Fixed(1), End::Fixed(-2), P / 10));
        for (double x : {0.0, 1e-5, 0.3, 0.9999, 1.0}) {
            const long double share = P == 0 ? x : expm1l(static_cast<long double>(P) * x) / expm1l(P);
            EXPECT_NEAR(e(x), static_cast<double>(1 - 3 * share), 1e-13) << P << " " << x;
        }
        EXPECT_EQ(e.Range(), std::pair(-2.0, 1.0)) << P;
    }
    const ExactSolution plate(Make(End::Fixed(1), End::Fixed(-2), 0, 0, 3));
    const ExactSolution hot(Make(End::Fixed(0), End::Fixed(0), 0, 0, 3));
    for (double x : {0.0, 0.1, 0.5, 0.77, 1.0}) EXPECT_NEAR(plate(x), 1 - 3 * x + 15 * x * (1 - x), 1e-13) << x;
    EXPECT_NEAR(hot.Range().second, 3.0 / 8 / 0.1, 1e-13);  // at the middle, found between the ends
    for (double sp : {-1e-3, -0.1, -1.0, -1e6}) {  // a fin at 5 in air at 2, its tip insulated
        const ExactSolution fin(Make(End::Fixed(5), End::Slope(0), 0, sp, -sp * 2));
        const long double m = std::sqrt(-sp / 0.1);
        for (double x : {0.0, 1e-4, 0.4, 1.0})
            EXPECT_NEAR(fin(x), static_cast<double>(2 + 3 * coshl(m * (1 - x)) / coshl(m)), 1e-13) << sp << " " << x;
    }
    // No gradient where the flow comes in at Pe = 1e4: the other end's value throughout.
    EXPECT_EQ(ExactSolution(Make(End::Slope(0), End::Fixed(4), 1e3))(0), 4);
    EXPECT_EQ(ExactSolution(Make(End::Fixed(4), End::Slope(0), -1e3))(1), 4);
}

TEST(ExactSolution, SatisfiesEndsAndEquationForEveryPairOfEnds) {
    const End left[] = {End::Fixed(1), End::Slope(0.5), End::Robin(2, 3)};
    const End right[] = {End::Fixed(0.2), End::Slope(-0.7), End::Robin(4, -1)};
    for (double u : {1e3, -1e3, 0.3, -0.2, 1e-14, 0.0})
        for (double sp : {0.0, -1e-15, -3.0, -1e6})
            for (int k = 0; k < 18; ++k) {  // the nine pairs of ends, without and with Su
                const Problem p = Make(left[k % 3], right[k / 3 % 3], u, sp, k < 9 ? 0 : 5);
                SCOPED_TRACE(testing::Message() << "u " << u << " Sp " << sp << " case " << k);
                const bool gradients = p.left.kind == EndKind::Gradient && p.right.kind == EndKind::Gradient;
                const bool inflow = (u > 0 ? p.left : p.right).kind == EndKind::Gradient;
                if (sp == 0 && (gradients || (std::fabs(u) == 1e3 && inflow)))
                    EXPECT_FALSE(ExactSolution(p).Finite());
                else
                    CheckSolution(p);
            }
}

TEST(ExactSolution, SaysWhyThereIsNone) {
    for (double u : {0.0, 1e-14, 0.3, 1e3, -1e3}) {
        const ExactSolution e(Make(End::Slope(1), End::Slope(1), u));
        EXPECT_TRUE(!e.Finite() && e.Why().starts_with("no unique solution") && std::isnan(e(0.5))) << e.Why();
    }
    EXPECT_EQ(ExactSolution(Make(End::Slope(1), End::Fixed(0), 1e3)).Why(),
              "the exact solution grows beyond the range of a double (it rises like e^(Pe) with the domain "
              "Peclet number 1e4)");
    const ExactSolution back(Make(End::Fixed(0), End::Slope(1), -1e3, 0, 1));
    EXPECT_TRUE(back.Why().ends_with("e^(|Pe|) with the domain Peclet number -1e4)")) << back.Why();
    EXPECT_NE(ExactSolution(Make(End::Fixed(1), End::Fixed(0), 0.1, 0, 0, 0)).Why().find("Gamma must be above zero"), std::string::npos);
    EXPECT_TRUE(ExactSolution(Make(End::Slope(1), End::Slope(1), 0, -1e-15)).Finite());
}
