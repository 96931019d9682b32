// The problem every scheme of the study solves, and what follows from it:
//   d(rho u phi)/dx = d(Gamma dphi/dx)/dx + Su + Sp phi on 0 <= x <= L,
// with a condition at each end (ends.hpp), on N control volumes, equal ones
// with nodes at x_i = (i - 1/2) dx or as the grid lays them out
// (grid_layout.hpp), the nodes at the cells' centres.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "ends.hpp"
#include "grid_layout.hpp"

namespace study {

// Six linear schemes, then nine bounded (TVD) ones, each a limiter of the
// second-order upwind face value (tvd.hpp).
enum class Scheme {
    Central,
    Upwind,
    Hybrid,
    Quick,
    PowerLaw,
    Exponential,
    MinMod,
    VanLeer,
    VanAlbada,
    Superbee,
    MC,
    Koren,
    Ospre,
    Umist,
    QuickLimited
};

inline constexpr std::array<Scheme, 6> kLinearSchemes{Scheme::Central, Scheme::Upwind,   Scheme::Hybrid,
                                                   Scheme::Quick,   Scheme::PowerLaw, Scheme::Exponential};
inline constexpr std::array<Scheme, 9> kTvdSchemes{Scheme::MinMod, Scheme::VanLeer, Scheme::VanAlbada,
                                                   Scheme::Superbee, Scheme::MC, Scheme::Koren,
                                                   Scheme::Ospre, Scheme::Umist, Scheme::QuickLimited};
inline constexpr std::array<Scheme, 15> kAllSchemes{
    Scheme::Central, Scheme::Upwind,   Scheme::Hybrid,    Scheme::Quick, Scheme::PowerLaw,
    Scheme::Exponential, Scheme::MinMod, Scheme::VanLeer, Scheme::VanAlbada, Scheme::Superbee,
    Scheme::MC,      Scheme::Koren,    Scheme::Ospre,     Scheme::Umist, Scheme::QuickLimited};

// The name used on the command line and in the CSV files: "central",
// "upwind", "hybrid", "quick", "powerlaw", "exponential", "minmod",
// "vanleer", "vanalbada", "superbee", "mc", "koren", "ospre", "umist",
// "quicklimited".
std::string_view Name(Scheme s);
// The name for people: "Central", "Upwind", "Hybrid", "QUICK", "Power law",
// "Exponential", "Min-mod", "Van Leer", ..., "QUICK (limited)".
std::string_view Title(Scheme s);
// True for the nine bounded (TVD) schemes.
bool IsTvd(Scheme s);
// The scheme of a command-line name; "hibrid" is taken for "hybrid".
std::optional<Scheme> SchemeNamed(std::string_view name);

// A list of schemes that names none; the message says which name is wrong:
// "an empty name" or "unknown scheme 'name'".
class SchemeListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
// The schemes of a comma-separated list of names and of the groups linear,
// tvd and all, in any case ("Superbee", "QUICK"), each scheme once, in the
// order first met. Raises SchemeListError.
std::vector<Scheme> SchemesNamed(std::string_view list);
// The fewest control volumes a scheme works on: QUICK's end rows reach two
// nodes inwards, so it needs 3; the others 1.
long MinimumN(Scheme s);

// The most control volumes the study solves on.
inline constexpr long kMaxN = 10'000'000;

// One value for the whole problem, handed whole to every function: its
// ends, its coefficients and its source.
struct Problem {
    End left = End::Fixed(1.0);   // at x = 0
    End right = End::Fixed(0.0);  // at x = L
    double u = 0.1;      // m/s
    double L = 1.0;      // m
    double rho = 1.0;    // kg/m3
    double gamma = 0.1;  // kg/(m s)
    double su = 0;       // the source Su + Sp phi per unit volume
    double sp = 0;       // 0 or below
    // Time runs only: no ends, phi(x + L) = phi(x).
    bool periodic = false;
    // How the control volumes are laid out.
    GridLayout grid;

    // No source, both ends fixed: the problem of the main window.
    bool Plain() const { return left.IsValue() && right.IsValue() && su == 0 && sp == 0 && !periodic; }
    bool Stretched() const { return grid.kind != GridKind::Uniform; }
    bool HasSource() const { return su != 0 || sp != 0; }
    bool operator==(const Problem&) const = default;
};

// What the grid of N control volumes makes of the problem.
struct Grid {
    long N = 0;
    double dx = 0;  // L / N: every cell's width on a uniform grid, the mean on another
    double F = 0;   // rho u, the convective flux
    double D = 0;   // Gamma / dx, the diffusion conductance of a face
    double Pe = 0;  // F / D, the cell Peclet number
    // The face positions 0 = f_0 < ... < f_N = L of a grid whose cells
    // differ; null for equal cells.
    std::shared_ptr<const std::vector<double>> faces;

    bool Uniform() const { return !faces; }
    // The centre of control volume i, 1 <= i <= N.
    double x(long i) const {
        if (!faces) return (static_cast<double>(i) - 0.5) * dx;
        return 0.5 * ((*faces)[std::size_t(i - 1)] + (*faces)[std::size_t(i)]);
    }
    // The width of control volume i, 1 <= i <= N.
    double Width(long i) const {
        if (!faces) return dx;
        return (*faces)[std::size_t(i)] - (*faces)[std::size_t(i - 1)];
    }
    // Face k, 0 <= k <= N.
    double Face(long k) const { return faces ? (*faces)[std::size_t(k)] : static_cast<double>(k) * dx; }
    // The narrowest and the widest cell.
    double Narrowest() const;
    double Widest() const;
};

Grid MakeGrid(const Problem& p, long N);

// rho u L / Gamma, the Peclet number of the whole domain.
double DomainPeclet(const Problem& p);

// The exact solution at x. With two fixed ends and no source it is
// phiA + (phiB - phiA) (e^(P x/L) - 1) / (e^P - 1) with P the domain Peclet
// number: finite for every finite P, the straight line for P = 0, a
// boundary layer at the outflow end for large |P|. Every other problem's is
// ExactSolution's (exact.hpp); make one of those to evaluate many points.
double Exact(const Problem& p, double x);
// The same closed form for two fixed ends and no source.
double PlainExact(const Problem& p, double x);

// The size of phi that the ends set: max(1, |end values|, |G| L).
double EndMagnitude(const Problem& p);

}  // namespace study
