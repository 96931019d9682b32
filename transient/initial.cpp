// The initial states, and their exact solutions on an unbounded or a
// periodic domain.
#include "initial.hpp"

#include <algorithm>
#include <cmath>

#include "study/csv.hpp"

namespace transient {

namespace {

double Gaussian(double x, double centre, double s) {
    const double z = (x - centre) / s;
    return std::exp(-0.5 * z * z);
}

// A term's shape at x, moved by `shift`.
double Moved(const study::Problem& p, const Term& s, double x, double shift) {
    const double y = x - shift;
    const auto [left, right] = StepLevels(p);
    switch (s.shape) {
        case Shape::Uniform: return s.a;
        case Shape::Step: return y < s.a ? left : right;
        case Shape::Pulse: return Gaussian(y, s.a, s.b);
        case Shape::Square: return s.a <= y && y <= s.b ? 1.0 : 0.0;
    }
    return 0;
}

double TermExact(const study::Problem& p, const Term& s, double x, double t) {
    const double alphaT = p.gamma / p.rho * t;
    const double shift = p.u * t;
    if (!(alphaT > 0)) return Moved(p, s, x, shift);
    const double spread = 2.0 * std::sqrt(alphaT);
    switch (s.shape) {
        case Shape::Uniform: return s.a;
        case Shape::Step: {
            const auto [left, right] = StepLevels(p);
            return right + (left - right) * 0.5 * std::erfc((x - s.a - shift) / spread);
        }
        case Shape::Pulse: {
            const double sigma = std::sqrt(s.b * s.b + 2.0 * alphaT);
            return s.b / sigma * Gaussian(x, s.a + shift, sigma);
        }
        case Shape::Square:
            return 0.5 * (std::erf((x - s.a - shift) / spread) - std::erf((x - s.b - shift) / spread));
    }
    return 0;
}

// On a periodic domain a step is the square [0, X0) on the right level.
Term OnePeriod(const Term& s) {
    if (s.shape != Shape::Step) return s;
    return Term{Shape::Square, 0.0, s.a};
}

// The periodic solution of one term: the sum of its images x + m L on the
// unbounded domain, as many as its spread reaches, its shift u t taken
// modulo L first.
double PeriodicTerm(const study::Problem& p, const Term& s, double x, double t) {
    if (s.shape == Shape::Uniform) return s.a;
    const auto [left, right] = StepLevels(p);
    const Term one = OnePeriod(s);
    const double scale = s.shape == Shape::Step ? left - right : 1.0;
    const double base = s.shape == Shape::Step ? right : 0.0;
    const double turns = std::floor(p.u * t / p.L);
    const double y = x - turns * p.L;  // the same point, the shift now within [0, L)
    const double reach = 8 * (std::sqrt(2 * p.gamma / p.rho * t) + (s.shape == Shape::Pulse ? s.b : 0.0));
    const long images = std::min<long>(1000, long(std::ceil(reach / p.L)) + 2);
    double v = 0;
    for (long m = -images; m <= images; ++m) v += TermExact(p, one, y + double(m) * p.L, t);
    return base + scale * v;
}

// What a source adds to a solution without one: phi e^(Sp t / rho) plus
// -(Su / Sp)(1 - e^(Sp t / rho)), or Su t / rho for Sp = 0.
double WithSource(const study::Problem& p, double v, double t) {
    if (!p.HasSource()) return v;
    const double rate = p.sp / p.rho * t;
    if (p.sp == 0) return v + p.su * t / p.rho;
    return v * std::exp(rate) + p.su / p.sp * std::expm1(rate);
}

}  // namespace

std::pair<double, double> StepLevels(const study::Problem& p) {
    if (p.periodic) return {1.0, 0.0};
    return {p.left.IsValue() ? p.left.value : 1.0, p.right.IsValue() ? p.right.value : 0.0};
}

double InitialValue(const study::Problem& p, const Initial& s, double x) {
    if (p.periodic) return ExactValue(p, s, x, 0.0);
    double v = 0;
    for (const Term& term : s.terms) v += Moved(p, term, x, 0.0);
    return v;
}

bool HasExact(const Initial& s) {
    for (const Term& term : s.terms)
        if (term.shape != Shape::Uniform) return true;
    return false;
}

double ExactValue(const study::Problem& p, const Initial& s, double x, double t) {
    double v = 0;
    for (const Term& term : s.terms) v += p.periodic ? PeriodicTerm(p, term, x, t) : TermExact(p, term, x, t);
    return WithSource(p, v, t);
}

bool ExactApplies(const study::Problem& p, const Initial& s, double t) {
    if (p.periodic) return true;
    // Each end as its condition says: the value, or the slope (by a
    // difference over a thousandth of the domain) and, for a wall, both.
    const double h = 1e-3 * p.L;
    auto fits = [&](const study::End& e, double x, double inward) {
        const double v = ExactValue(p, s, x, t);
        const double slope = (ExactValue(p, s, x + inward * h, t) - v) / (inward * h);
        switch (e.kind) {
            case study::EndKind::Value: return std::fabs(v - e.value) <= 1e-3;
            case study::EndKind::Gradient: return std::fabs(slope - e.value) * p.L <= 1e-3;
            case study::EndKind::Robin: return std::fabs(v - e.value) <= 1e-3 && std::fabs(slope) * p.L <= 1e-3;
        }
        return false;
    };
    return fits(p.left, 0.0, 1.0) && fits(p.right, p.L, -1.0);
}

std::string Text(const Term& s) {
    using study::csv::Number;
    switch (s.shape) {
        case Shape::Uniform: return "uniform:" + Number(s.a);
        case Shape::Step: return "step:" + Number(s.a);
        case Shape::Pulse: return "pulse:" + Number(s.a) + ":" + Number(s.b);
        case Shape::Square: return "square:" + Number(s.a) + ":" + Number(s.b);
    }
    return "";
}

std::string Text(const Initial& s) {
    std::string text;
    for (const Term& term : s.terms) {
        if (!text.empty()) text += '+';
        text += Text(term);
    }
    return text;
}

std::string Words(const Initial& s) {
    using study::csv::Number;
    std::string words;
    for (const Term& term : s.terms) {
        if (!words.empty()) words += " + ";
        switch (term.shape) {
            case Shape::Uniform: words += "uniform at " + Number(term.a); break;
            case Shape::Step: words += "a step at x = " + Number(term.a) + " m"; break;
            case Shape::Pulse:
                words += "a Gaussian pulse at x = " + Number(term.a) + " m with standard deviation ";
                words += Number(term.b) + " m";
                break;
            case Shape::Square: words += "a square from x = " + Number(term.a) + " m to " + Number(term.b) + " m"; break;
        }
    }
    return words;
}

}  // namespace transient
