// The exact steady solution of the problem with any two ends and a linear
// source, and the range of its values on the domain.
#pragma once

#include <array>
#include <string>
#include <utility>

#include "problem.hpp"

namespace study {

// phi(x) solving Gamma phi'' - F phi' + Sp phi + Su = 0 on 0 <= x <= L, with
// F = rho u, Sp <= 0 and the two ends of the problem (a periodic problem is
// taken as if it had its ends). The coefficients are worked out once; a value
// then costs two or three exponentials and stays accurate for any domain
// Peclet number, from 0 to far beyond the reach of e^Pe, and for Sp from 0
// down to large negative values.
class ExactSolution {
public:
    explicit ExactSolution(const Problem& p);

    // phi and dphi/dx at 0 <= x <= L; NaN when the solution is not Finite().
    double operator()(double x) const;
    double Slope(double x) const;

    // False when there is no single solution (no end fixes phi and Sp = 0,
    // Gamma <= 0, Sp > 0, a coefficient not finite) or when its values are
    // beyond the range of a double. Why() then says which in words for a
    // student; it is "" for a finite solution.
    bool Finite() const { return why_.empty(); }
    const std::string& Why() const { return why_; }

    // The least and the largest phi on [0, L], from the two ends and the one
    // interior extremum there may be; NaNs when the solution is not Finite().
    std::pair<double, double> Range() const { return range_; }

private:
    // The two solutions of the homogeneous equation the solution is made of,
    // a particular solution, and the slopes of all three, at one x.
    struct Parts {
        double v1, d1, v2, d2, vp, dp;
    };
    Parts At(double x) const;
    void Solve(const Problem& p);
    void FindRange(const Problem& p);

    double gamma_, f_, sp_, su_, L_;
    // The roots m1 >= 0 >= m2 of Gamma m^2 - F m + Sp = 0, and m1 - m2.
    double m1_ = 0, m2_ = 0, d_ = 0;
    // (m1 - m2) L <= 2: the solutions that start at x = 0 with phi = 1,
    // phi' = 0 and with phi = 0, phi' = 1, and the particular solution with
    // phi(0) = phi'(0) = 0 (a power series, coefficients below).
    // Otherwise e^(m1 (x - L)) and e^(m2 x), each at most 1 on [0, L].
    bool small_ = true;
    std::array<double, 32> series_{};
    int terms_ = 0;
    // The large case's particular solution: the constant -Su/Sp, or, when
    // the smaller root ms has |ms| L <= 1, drift_ expm1(ms x) / ms.
    bool constant_ = true;
    double level_ = 0, drift_ = 0, ms_ = 0;
    // phi = a_ (first) + b_ (second) + particular.
    double a_, b_;
    std::pair<double, double> range_;
    std::string why_;
};

}  // namespace study
