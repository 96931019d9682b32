// The nine limiters as types, for the loops over the faces of tvd.cpp to be
// compiled once for each: psi(r) as the table of the schemes writes it, and
// psi with its slope, piece by piece.
#pragma once

#include <algorithm>
#include <cmath>

#include "tvd.hpp"

namespace study::limiters {

// psi and dpsi/dr at one r.
struct Slope {
    double psi, dpsi;
};

// Beyond this r every limiter is at its limit to within 1e-50; r is cut
// here so that no formula meets an infinity.
constexpr double kLargeR = 1e50;

// Each limiter's psi(r) as the table of the schemes writes it, and its slope
// piece by piece (at a kink, the slope of the piece on either side).
struct MinMod {
    static double Psi(double r) { return r > 0 ? std::min(r, 1.0) : 0.0; }
    static Slope Both(double r) { return r > 0 ? (r < 1 ? Slope{r, 1} : Slope{1, 0}) : Slope{0, 0}; }
};
struct VanLeer {
    static double Psi(double r) { return r > 0 ? (r + std::fabs(r)) / (1 + std::fabs(r)) : 0.0; }
    static Slope Both(double r) { return r > 0 ? Slope{Psi(r), 2 / ((1 + r) * (1 + r))} : Slope{0, 0}; }
};
struct VanAlbada {
    static double Psi(double r) { return r > 0 ? (r + r * r) / (1 + r * r) : 0.0; }
    static Slope Both(double r) {
        const double q = 1 + r * r;
        return r > 0 ? Slope{Psi(r), (1 + 2 * r - r * r) / (q * q)} : Slope{0, 0};
    }
};
struct Superbee {
    static double Psi(double r) { return r > 0 ? std::max(std::min(2 * r, 1.0), std::min(r, 2.0)) : 0.0; }
    static Slope Both(double r) {
        if (!(r > 0)) return {0, 0};
        if (r < 0.5) return {2 * r, 2};
        if (r < 1) return {1, 0};
        if (r < 2) return {r, 1};
        return {2, 0};
    }
};
struct MC {
    static double Psi(double r) { return r > 0 ? std::min({2 * r, (1 + r) / 2, 2.0}) : 0.0; }
    static Slope Both(double r) {
        if (!(r > 0)) return {0, 0};
        if (2 * r <= (1 + r) / 2) return {2 * r, 2};
        if (r < 3) return {(1 + r) / 2, 0.5};
        return {2, 0};
    }
};
struct Koren {
    static double Psi(double r) { return r > 0 ? std::min({2 * r, (2 + r) / 3, 2.0}) : 0.0; }
    static Slope Both(double r) {
        if (!(r > 0)) return {0, 0};
        if (2 * r <= (2 + r) / 3) return {2 * r, 2};
        if (r < 4) return {(2 + r) / 3, 1.0 / 3};
        return {2, 0};
    }
};
struct Ospre {
    static double Psi(double r) { return r > 0 ? 1.5 * (r * r + r) / (r * r + r + 1) : 0.0; }
    static Slope Both(double r) {
        const double q = r * r + r + 1;
        return r > 0 ? Slope{Psi(r), 1.5 * (2 * r + 1) / (q * q)} : Slope{0, 0};
    }
};
struct Umist {
    static double Psi(double r) { return r > 0 ? std::min({2 * r, (1 + 3 * r) / 4, (3 + r) / 4, 2.0}) : 0.0; }
    static Slope Both(double r) {
        if (!(r > 0)) return {0, 0};
        if (2 * r <= (1 + 3 * r) / 4) return {2 * r, 2};
        if (r < 1) return {(1 + 3 * r) / 4, 0.75};
        if (r < 5) return {(3 + r) / 4, 0.25};
        return {2, 0};
    }
};
struct QuickLimited {
    static double Psi(double r) { return r > 0 ? std::min({2 * r, (3 + r) / 4, 2.0}) : 0.0; }
    static Slope Both(double r) {
        if (!(r > 0)) return {0, 0};
        if (2 * r <= (3 + r) / 4) return {2 * r, 2};
        if (r < 5) return {(3 + r) / 4, 0.25};
        return {2, 0};
    }
};

// Any function of r, for the balances of the linear schemes it reproduces.
struct AnyPsi {
    double (*psi)(double);
    double Psi(double r) const { return psi(r); }
};

// Calls fn with the limiter as an object, so that the loops over the faces
// are compiled once for each limiter.
template <class Fn>
decltype(auto) WithLimiter(Limiter l, Fn&& fn) {
    switch (l) {
        case Limiter::MinMod: return fn(MinMod{});
        case Limiter::VanLeer: return fn(VanLeer{});
        case Limiter::VanAlbada: return fn(VanAlbada{});
        case Limiter::Superbee: return fn(Superbee{});
        case Limiter::MC: return fn(MC{});
        case Limiter::Koren: return fn(Koren{});
        case Limiter::Ospre: return fn(Ospre{});
        case Limiter::Umist: return fn(Umist{});
        case Limiter::QuickLimited: break;
    }
    return fn(QuickLimited{});
}

}  // namespace study::limiters
