#include "problem.hpp"

#include <cmath>

namespace study {

namespace {

struct Names {
    Scheme scheme;
    std::string_view name, title;
};
constexpr std::array<Names, 15> kNames{{{Scheme::Central, "central", "Central"},
                                        {Scheme::Upwind, "upwind", "Upwind"},
                                        {Scheme::Hybrid, "hybrid", "Hybrid"},
                                        {Scheme::Quick, "quick", "QUICK"},
                                        {Scheme::PowerLaw, "powerlaw", "Power law"},
                                        {Scheme::Exponential, "exponential", "Exponential"},
                                        {Scheme::MinMod, "minmod", "Min-mod"},
                                        {Scheme::VanLeer, "vanleer", "Van Leer"},
                                        {Scheme::VanAlbada, "vanalbada", "Van Albada"},
                                        {Scheme::Superbee, "superbee", "SUPERBEE"},
                                        {Scheme::MC, "mc", "MC (monotonised central)"},
                                        {Scheme::Koren, "koren", "Koren"},
                                        {Scheme::Ospre, "ospre", "OSPRE"},
                                        {Scheme::Umist, "umist", "UMIST"},
                                        {Scheme::QuickLimited, "quicklimited", "QUICK (limited)"}}};

const Names& Of(Scheme s) { return kNames.at(static_cast<std::size_t>(s)); }

// (e^(P r) - 1) / (e^P - 1) for 0 <= r <= 1: how far phi has gone from phiA
// to phiB at r = x/L. For P > 0 it is rewritten with non-positive exponents,
// e^(P (r-1)) (1 - e^(-P r)) / (1 - e^(-P)), so that nothing overflows;
// expm1 keeps the small differences exact.
double Share(double P, double r) {
    if (std::fabs(P) < 1e-300) return r;
    if (P > 0) return std::exp(P * (r - 1.0)) * std::expm1(-P * r) / std::expm1(-P);
    return std::expm1(P * r) / std::expm1(P);
}

}  // namespace

std::string_view Name(Scheme s) { return Of(s).name; }
std::string_view Title(Scheme s) { return Of(s).title; }

std::optional<Scheme> SchemeNamed(std::string_view name) {
    if (name == "hibrid") return Scheme::Hybrid;
    for (const Names& n : kNames)
        if (n.name == name) return n.scheme;
    return std::nullopt;
}

bool IsTvd(Scheme s) { return s >= Scheme::MinMod; }

long MinimumN(Scheme s) { return s == Scheme::Quick ? 3 : 1; }

Grid MakeGrid(const Problem& p, long N) {
    Grid g;
    g.N = N;
    g.dx = p.L / static_cast<double>(N);
    g.F = p.rho * p.u;
    g.D = p.gamma / g.dx;
    g.Pe = g.F / g.D;
    return g;
}

double DomainPeclet(const Problem& p) { return p.rho * p.u * p.L / p.gamma; }

double Exact(const Problem& p, double x) {
    const double share = Share(DomainPeclet(p), x / p.L);
    const double direct = p.phiA + (p.phiB - p.phiA) * share;
    if (std::isfinite(direct)) return direct;
    return p.phiA * (1.0 - share) + p.phiB * share;  // end values near the double range
}

}  // namespace study
