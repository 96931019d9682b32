#include "initial.hpp"

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
    switch (s.shape) {
        case Shape::Uniform: return s.a;
        case Shape::Step: return y < s.a ? p.phiA : p.phiB;
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
        case Shape::Step: return p.phiB + (p.phiA - p.phiB) * 0.5 * std::erfc((x - s.a - shift) / spread);
        case Shape::Pulse: {
            const double sigma = std::sqrt(s.b * s.b + 2.0 * alphaT);
            return s.b / sigma * Gaussian(x, s.a + shift, sigma);
        }
        case Shape::Square:
            return 0.5 * (std::erf((x - s.a - shift) / spread) - std::erf((x - s.b - shift) / spread));
    }
    return 0;
}

}  // namespace

double InitialValue(const study::Problem& p, const Initial& s, double x) {
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
    for (const Term& term : s.terms) v += TermExact(p, term, x, t);
    return v;
}

bool ExactApplies(const study::Problem& p, const Initial& s, double t) {
    return std::fabs(ExactValue(p, s, 0.0, t) - p.phiA) <= 1e-3 && std::fabs(ExactValue(p, s, p.L, t) - p.phiB) <= 1e-3;
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
    for (const Term& term : s.terms) text += (text.empty() ? "" : "+") + Text(term);
    return text;
}

}  // namespace transient
