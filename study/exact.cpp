// The exact steady solution for any two ends and a linear source.
#include "exact.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace study {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A number as a student would write it: "1e4", "-2.5e-7", "150".
std::string Written(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", v);
    std::string s = text;
    const std::size_t e = s.find('e');
    if (e == std::string::npos) return s;
    std::string exponent = s.substr(e + 1);
    const bool negative = exponent[0] == '-';
    exponent.erase(0, exponent.find_first_not_of("+-0"));
    return s.substr(0, e + 1) + (negative ? "-" : "") + exponent;
}

// One end as a phi + b phi' = c.
struct Row {
    double a, b, c;
};

Row RowOf(const End& end, double gamma, bool atLeft) {
    switch (end.kind) {
        case EndKind::Value:
            return {1, 0, end.value};
        case EndKind::Gradient:
            return {0, 1, end.value};
        case EndKind::Robin:
            break;
    }
    // The diffusive flux leaving: Gamma phi'(0) at x = 0, -Gamma phi'(L) at L.
    return {end.h, atLeft ? -gamma : gamma, end.h * end.value};
}

bool FixesPhi(const End& end) { return end.kind != EndKind::Gradient; }

// Why the problem has no exact solution here, or "".
std::string Refusal(const Problem& p) {
    for (double v : {p.gamma, p.rho, p.u, p.L, p.su, p.sp, p.left.value, p.left.h, p.right.value, p.right.h})
        if (!std::isfinite(v)) return "no exact solution: a number of the problem is not finite";
    if (p.gamma <= 0) return "no exact solution without diffusion: Gamma must be above zero";
    if (p.L <= 0) return "no exact solution: the length L must be above zero";
    if (p.sp > 0) return "no exact solution here for Sp above zero (Sp must be 0 or below)";
    for (const End* end : {&p.left, &p.right})
        if (end->kind == EndKind::Robin && end->h <= 0) return "no exact solution: a Robin end needs H above zero";
    if (!FixesPhi(p.left) && !FixesPhi(p.right) && p.sp == 0)
        return "no unique solution: both ends give only a gradient and Sp is 0, so any constant added to phi "
               "is a solution too";
    return "";
}

}  // namespace

ExactSolution::ExactSolution(const Problem& p)
    : gamma_(p.gamma), f_(p.rho * p.u), sp_(p.sp), su_(p.su), L_(p.L), a_(kNaN), b_(kNaN), range_(kNaN, kNaN) {
    why_ = Refusal(p);
    if (!why_.empty()) return;
    // The root of larger size from the quadratic formula with the sign of F,
    // the other from the product of the roots, Sp / Gamma: no cancellation.
    const double q = 0.5 * (f_ + std::copysign(std::hypot(f_, 2 * std::sqrt(gamma_) * std::sqrt(-sp_)), f_));
    const double big = q / gamma_, other = q == 0 ? 0 : sp_ / q;
    m1_ = std::max(big, other);
    m2_ = std::min(big, other);
    d_ = m1_ - m2_;
    Solve(p);
    if (std::isfinite(a_) && std::isfinite(b_)) FindRange(p);
    if (!std::isfinite(range_.first) || !std::isfinite(range_.second)) {
        const double pe = f_ * L_ / gamma_;
        why_ = "the exact solution grows beyond the range of a double";
        if (!std::isfinite(pe))
            why_ += " (as does the domain Peclet number itself)";
        else if (std::fabs(pe) > 700)
            why_ += std::string(" (it rises like e^(") + (pe < 0 ? "|Pe|" : "Pe") +
                    ") with the domain Peclet number " + Written(pe) + ")";
        a_ = b_ = kNaN;
        range_ = {kNaN, kNaN};
    }
}

void ExactSolution::Solve(const Problem& p) {
    if (!std::isfinite(d_)) return;  // a Peclet number too large to hold
    const double dL = d_ * L_;
    small_ = dL <= 2;
    if (small_) {
        // The particular solution is e^(m2 x) x^2 sum_j h_j(|m2|, d) (x/L)^j
        // L^j / (j+2)!, h_j the complete homogeneous polynomials: every term
        // is positive. With |m2| L <= d L <= 2 the j-th term is at most
        // (j+1) (dL)^j / (j+2)! of the first, 1/2.
        const double a = -m2_ * L_;
        double h = 1, power = 1, factorial = 2, bound = 1;
        for (terms_ = 0; terms_ < static_cast<int>(series_.size()); ++terms_) {
            if (terms_ > 0) {
                power *= a;
                h = dL * h + power;
                factorial *= terms_ + 2;
                bound *= dL;
                if ((terms_ + 1) * bound / factorial < 1e-18) break;
            }
            series_[terms_] = h / factorial;
        }
    } else {
        // ms, the root nearer 0, and the other mb: Gamma mb ms = Sp.
        ms_ = std::fabs(m1_) < std::fabs(m2_) ? m1_ : m2_;
        const double mb = ms_ == m1_ ? m2_ : m1_;
        constant_ = std::fabs(ms_) * L_ > 1;
        if (constant_) {
            level_ = -su_ / sp_;
        } else {
            drift_ = su_ / (gamma_ * mb);  // phi' at x = 0; Su / F when Sp = 0
        }
    }
    Row r0 = RowOf(p.left, gamma_, true), rL = RowOf(p.right, gamma_, false);
    const Parts at0 = At(0), atL = At(L_);
    r0.c -= r0.a * at0.vp + r0.b * at0.dp;
    rL.c -= rL.a * atL.vp + rL.b * atL.dp;
    if (small_) {
        // The first solution is 1 and the second 0 at x = 0, slopes the other
        // way round; for every pair of ends the determinant is a sum of terms
        // of one sign.
        const double p0 = r0.a, q0 = r0.b;
        const double pL = rL.a * atL.v1 + rL.b * atL.d1, qL = rL.a * atL.v2 + rL.b * atL.d2;
        const double det = p0 * qL - q0 * pL;
        a_ = (r0.c * qL - q0 * rL.c) / det;
        b_ = (p0 * rL.c - r0.c * pL) / det;
        return;
    }
    // At x = 0 the first solution is P = e^(-m1 L) times (1, m1) and the
    // second (1, m2); at x = L the first is (1, m1) and the second Q =
    // e^(m2 L) times (1, m2). The determinant PQ al0 beL - be0 alL never
    // cancels (PQ <= e^-2 and the terms' signs), but P or Q underflow at large
    // Peclet numbers, so a column a row does not see is solved from the other.
    const double al0 = r0.a + r0.b * m1_, be0 = r0.a + r0.b * m2_;
    const double alL = rL.a + rL.b * m1_, beL = rL.a + rL.b * m2_;
    if (be0 == 0) {  // a gradient at x = 0 with m2 = 0: Q = 1
        a_ = r0.c == 0 ? 0 : r0.c / al0 * std::exp(m1_ * L_);
        b_ = (rL.c - alL * a_) / beL;
    } else if (alL == 0) {  // a gradient at x = L with m1 = 0: P = 1
        b_ = rL.c == 0 ? 0 : rL.c / beL * std::exp(-m2_ * L_);
        a_ = (r0.c - be0 * b_) / al0;
    } else {
        const double P = std::exp(-m1_ * L_), Q = std::exp(m2_ * L_);
        const double det = std::exp(-dL) * al0 * beL - be0 * alL;
        a_ = (r0.c * beL * Q - be0 * rL.c) / det;
        b_ = (al0 * P * rL.c - r0.c * alL) / det;
    }
}

ExactSolution::Parts ExactSolution::At(double x) const {
    Parts t;
    if (small_) {
        // (e^(m1 x) - e^(m2 x)) / (m1 - m2) = e^(m2 x) expm1(d x) / d, and the
        // first solution e^(m2 x) (1 - m2 expm1(d x) / d): no differences.
        const double e = std::exp(m2_ * x), E = d_ > 0 ? std::expm1(d_ * x) / d_ : x;
        t.v2 = e * E;
        t.d2 = e + m1_ * t.v2;
        t.v1 = e - m2_ * t.v2;
        t.d1 = (-sp_ / gamma_) * t.v2;
        const double s = x / L_;
        double sum = 0;
        for (int j = terms_; j-- > 0;) sum = sum * s + series_[j];
        const double scale = -su_ / gamma_;
        t.vp = scale * e * x * x * sum;
        t.dp = scale * t.v2;
        return t;
    }
    t.v1 = std::exp(m1_ * (x - L_));
    t.d1 = m1_ * t.v1;
    t.v2 = std::exp(m2_ * x);
    t.d2 = m2_ * t.v2;
    if (constant_) {
        t.vp = level_;
        t.dp = 0;
    } else {
        t.vp = drift_ * (ms_ != 0 ? std::expm1(ms_ * x) / ms_ : x);
        t.dp = drift_ + ms_ * t.vp;  // drift_ e^(ms x)
    }
    return t;
}

double ExactSolution::operator()(double x) const {
    const Parts t = At(x);
    return a_ * t.v1 + b_ * t.v2 + t.vp;
}

double ExactSolution::Slope(double x) const {
    const Parts t = At(x);
    return a_ * t.d1 + b_ * t.d2 + t.dp;
}

void ExactSolution::FindRange(const Problem& p) {
    // A fixed end's own value rather than phi there, which may be an ulp off.
    double lo = p.left.IsValue() ? p.left.value : (*this)(0);
    double hi = p.right.IsValue() ? p.right.value : (*this)(L_);
    if (lo > hi) std::swap(lo, hi);
    // phi' is e^(m2 x) (alpha e^(d x) + beta), or linear when d = 0: at most
    // one zero, found by bisection when the slopes at the ends differ in
    // sign. A zero made up by rounding only adds a value phi does take.
    const double s0 = Slope(0), sL = Slope(L_);
    if ((s0 < 0 && sL > 0) || (s0 > 0 && sL < 0)) {
        double left = 0, right = L_;
        for (int i = 0; i < 200; ++i) {
            const double mid = 0.5 * (left + right);
            if (mid <= left || mid >= right) break;
            const double s = Slope(mid);
            if (s == 0) {
                left = right = mid;
                break;
            }
            ((s < 0) == (s0 < 0) ? left : right) = mid;
        }
        const double extreme = (*this)(0.5 * (left + right));
        lo = std::min(lo, extreme);
        hi = std::max(hi, extreme);
    }
    range_ = {lo, hi};
}

}  // namespace study
