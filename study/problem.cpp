#include "problem.hpp"

#include "exact.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

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

// (e^(P r) - 1) / (e^P - 1) for 0 <= r <= 1: how far phi has gone from one
// end value to the other at r = x/L. For P > 0 it is rewritten with non-positive exponents,
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

std::vector<Scheme> SchemesNamed(std::string_view list) {
    std::vector<Scheme> schemes;
    auto add = [&](Scheme s) {
        if (std::find(schemes.begin(), schemes.end(), s) == schemes.end()) schemes.push_back(s);
    };
    // Names are read without regard to case: "Superbee", "QUICK", "Linear".
    std::string lower(list);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string_view name = std::string_view(lower).substr(start, comma - start);
        if (name == "linear") {
            for (Scheme s : kLinearSchemes) add(s);
        } else if (name == "tvd") {
            for (Scheme s : kTvdSchemes) add(s);
        } else if (name == "all") {
            for (Scheme s : kAllSchemes) add(s);
        } else if (const auto s = SchemeNamed(name)) {
            add(*s);
        } else {
            std::string why = "unknown scheme '";
            why += list.substr(start, comma - start);
            why += '\'';
            throw SchemeListError(name.empty() ? std::string("an empty name") : why);
        }
        start = comma + 1;
    }
    return schemes;
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
    if (p.Stretched() && std::isfinite(p.L) && p.L > 0) g.faces = FacesOf(p.grid, p.L, N);
    return g;
}

double Grid::Narrowest() const {
    double w = dx;
    if (faces)
        for (long i = 1; i <= N; ++i) w = i == 1 ? Width(i) : std::min(w, Width(i));
    return w;
}

double Grid::Widest() const {
    double w = dx;
    if (faces)
        for (long i = 1; i <= N; ++i) w = i == 1 ? Width(i) : std::max(w, Width(i));
    return w;
}

double DomainPeclet(const Problem& p) { return p.rho * p.u * p.L / p.gamma; }

double PlainExact(const Problem& p, double x) {
    const double phiA = p.left.value, phiB = p.right.value;
    const double share = Share(DomainPeclet(p), x / p.L);
    const double direct = phiA + (phiB - phiA) * share;
    if (std::isfinite(direct)) return direct;
    return phiA * (1.0 - share) + phiB * share;  // end values near the double range
}

double Exact(const Problem& p, double x) {
    if (p.Plain()) return PlainExact(p, x);
    return ExactSolution(p)(x);
}

double EndMagnitude(const Problem& p) {
    double m = 1.0;
    for (const End& e : {p.left, p.right})
        m = std::max(m, std::fabs(e.kind == EndKind::Gradient ? e.value * p.L : e.value));
    return m;
}

}  // namespace study
