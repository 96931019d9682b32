#include "report.hpp"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <stdexcept>

#include "study/describe.hpp"
#include "study/fluxes.hpp"
#include "study/limiter_pieces.hpp"
#include "study/warnings.hpp"

namespace cli {

namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

std::string G(double v) { return study::Short(v); }

constexpr long kMostNodesShown = 40;

std::string Heading(const study::Study& st) {
    const study::Problem& p = st.problem;
    std::string out = "Convection-diffusion study: " + study::EndsText(p) + ", u = " + G(p.u) +
                      " m/s, L = " + G(p.L) + " m, rho = " + G(p.rho) + " kg/m3, Gamma = " + G(p.gamma) + " kg/(m s)\n";
    out += "Peclet number of the domain, rho u L / Gamma = " + G(study::DomainPeclet(p)) + "\n";
    if (const std::string grid = study::GridLine(p, st.plan.N); !grid.empty())
        out += "Grid" + grid.substr(std::string(", grid").size()) + "\n";
    return out;
}

// The widest line of the node table; more schemes than fit are shown in
// blocks, each with the node, x and exact columns again.
constexpr std::size_t kWidestLine = 120;
constexpr std::size_t kLeadWidth = 31;  // "%5s %12s %12s"

int ColumnWidth(const study::Result& r) { return std::max(12, int(Title(r.scheme).size())); }

// The schemes of each block: as many in a row as fit in kWidestLine.
std::vector<std::vector<std::size_t>> Blocks(const study::Study& st) {
    std::vector<std::vector<std::size_t>> blocks(1);
    std::size_t width = kLeadWidth;
    for (std::size_t s = 0; s < st.results.size(); ++s) {
        const std::size_t column = 1 + std::size_t(ColumnWidth(st.results[s][0]));
        if (!blocks.back().empty() && width + column > kWidestLine) {
            blocks.emplace_back();
            width = kLeadWidth;
        }
        blocks.back().push_back(s);
        width += column;
    }
    return blocks;
}

std::string NodeBlock(const study::Study& st, const std::vector<std::size_t>& schemes) {
    const study::Grid& g = st.results.at(0).at(0).grid;
    std::string out = Format("%5s %12s %12s", "node", "x", "exact");
    for (std::size_t s : schemes) {
        const study::Result& r = st.results[s][0];
        out += Format(" %*s", ColumnWidth(r), std::string(Title(r.scheme)).c_str());
    }
    out += "\n";
    for (long i = 1; i <= g.N; ++i) {
        const auto k = static_cast<std::size_t>(i - 1);
        out += Format("%5ld %12.6g %12.6f", i, g.x(i), st.exact.at(k));
        for (std::size_t s : schemes) {
            const study::Result& r = st.results[s][0];
            out += Format(" %*.6f", ColumnWidth(r), r.phi.at(k));
        }
        out += "\n";
    }
    return out;
}

std::string NodeTable(const study::Study& st) {
    const study::Grid& g = st.results.at(0).at(0).grid;
    std::string out = "\nNodal values at N = " + std::to_string(g.N) + " (dx = " + G(g.dx) + " m, F = " + G(g.F) +
                      ", D = " + G(g.D) + ", cell Pe = " + G(g.Pe) + ")\n";
    if (!g.Uniform())
        out = "\nNodal values at N = " + std::to_string(g.N) + " (cells " + G(g.Narrowest()) + " to " + G(g.Widest()) +
              " m, F = " + G(g.F) + ", cell Pe " + G(g.F * g.Narrowest() / (g.D * g.dx)) + " in the narrowest cell, " +
              G(g.F * g.Widest() / (g.D * g.dx)) + " in the widest)\n";
    if (g.N > kMostNodesShown)
        return out + "  (" + std::to_string(g.N) + " nodes: too many to list here; --nodes FILE writes them all)\n";
    const std::vector<std::vector<std::size_t>> blocks = Blocks(st);
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        if (b > 0) out += '\n';
        out += NodeBlock(st, blocks[b]);
    }
    return out;
}

std::string Order(const std::optional<double>& order) { return order ? Format("%6.2f", *order) : "     -"; }

// Why an error did not fall from one grid to the next. Hybrid changes its
// rows where |Pe| crosses 2: from upwind to central, so the error may rise
// there. A piecewise limiter changes its rows where faces move from one
// piece of psi(r) to another (SUPERBEE from psi = 2r to psi = 1 as the
// profile is resolved), and its error settles into the scheme's order only
// once its faces are on the pieces they keep on the finest grid; until
// then the error may rise. Otherwise: the rows of N control volumes carry coefficients of size
// N (D = Gamma N / L), so the rounding in a solve can reach the machine
// epsilon times N^2; an error within a hundred times that is rounding, a
// larger one means the grid is still too coarse for the scheme to settle.
// Which pieces of psi(r) have faces on them.
std::vector<bool> Occupied(const std::vector<long>& pieces) {
    std::vector<bool> occupied;
    for (long faces : pieces) occupied.push_back(faces > 0);
    return occupied;
}

// The finest grid's result of a scheme.
const study::Result& FinestOf(const study::Study& st, study::Scheme s) {
    for (const auto& perScheme : st.results)
        if (perScheme.at(0).scheme == s) return perScheme.back();
    throw std::logic_error("a scheme that is not in the study");
}

std::string Stall(const study::Study& st, const study::Result& r, const study::Result& coarse) {
    if (r.maxError < coarse.maxError) return "";
    if (r.scheme == study::Scheme::Hybrid && (std::fabs(coarse.grid.Pe) < 2) != (std::fabs(r.grid.Pe) < 2))
        return "  <- hybrid switches here: upwind for |Pe| >= 2, central below";
    if (const auto l = study::LimiterOf(r.scheme); l && !r.pieces.empty()) {
        const study::Result& finest = FinestOf(st, r.scheme);
        const bool changes = Occupied(r.pieces) != Occupied(coarse.pieces);
        if (changes || Occupied(r.pieces) != Occupied(finest.pieces)) {
            const study::Result& other = changes ? coarse : finest;
            std::string why = changes ? "  <- the limiter changes branch: " : "  <- the limiter is not yet on the branch it keeps: ";
            why += study::PiecesText(*l, r.pieces);
            why += " here, " + study::PiecesText(*l, other.pieces);
            why += " at N = " + std::to_string(other.grid.N);
            return why;
        }
    }
    const study::Problem& p = st.problem;
    const auto [least, largest] = study::ExactRange(p);
    const double scale = std::max({1.0, std::fabs(least), std::fabs(largest)});
    const double n = double(r.grid.N);
    if (r.maxError < 100 * 2.22e-16 * n * n * scale) return "  <- stops falling: rounding error has taken over";
    return "  <- does not fall yet: the grid is still too coarse";
}

std::string ErrorTables(const study::Study& st) {
    std::string out = "\nErrors against the exact solution (order: log2 of the error's fall from N/2 to N)\n";
    for (const auto& perScheme : st.results) {
        const bool bounded = study::IsTvd(perScheme[0].scheme);
        out += '\n';
        out += Title(perScheme[0].scheme);
        out += '\n';
        out += Format("%10s %10s %12s %6s %12s %6s", "N", "cell Pe", "max error", "order", "RMS error", "order");
        out += bounded ? Format(" %10s\n", "iterations") : "\n";
        for (std::size_t k = 0; k < perScheme.size(); ++k) {
            const study::Result& r = perScheme[k];
            out += Format("%10ld %10.4g %12.4e %s %12.4e %s", r.grid.N, r.grid.Pe, r.maxError,
                          Order(r.orderMax).c_str(), r.rmsError, Order(r.orderRms).c_str());
            if (r.iterations) out += Format(" %10d", *r.iterations);
            if (k > 0) out += Stall(st, r, perScheme[k - 1]);
            out += "\n";
        }
    }
    return out;
}

// Where a condition holds among a scheme's grids: "on all 7 grids" ("on
// both grids" of two), "only at N = 5", "at N = 5, 10 and 20", "on 4 of 7
// grids, N = 5 to 40".
std::string Where(const std::vector<long>& sizes, std::size_t grids) {
    if (sizes.size() == grids) return grids == 2 ? "on both grids" : "on all " + std::to_string(grids) + " grids";
    if (sizes.size() == 1) return "only at N = " + std::to_string(sizes[0]);
    if (sizes.size() > 3)
        return "on " + std::to_string(sizes.size()) + " of " + std::to_string(grids) + " grids, N = " +
               std::to_string(sizes.front()) + " to " + std::to_string(sizes.back());
    std::string list = "at N = ";
    for (std::size_t k = 0; k < sizes.size(); ++k)
        list += (k == 0 ? "" : k + 1 == sizes.size() ? " and " : ", ") + std::to_string(sizes[k]);
    return list;
}

// For a scheme flagged on some grid of several: on which grids each flag
// holds, each counted apart.
std::string Extent(const std::vector<study::Result>& perScheme) {
    std::vector<long> negative, unbounded;
    bool oscillates = false;
    for (const study::Result& r : perScheme) {
        if (r.NegativeCoefficients()) negative.push_back(r.grid.N);
        if (!r.bounded) unbounded.push_back(r.grid.N);
        oscillates |= !r.bounded && r.NegativeCoefficients();
    }
    std::string out;
    if (!negative.empty()) out += "negative coefficients " + Where(negative, perScheme.size());
    if (!unbounded.empty())
        out += (out.empty() ? "" : "; ") + std::string(oscillates ? "oscillates " : "not bounded ") +
               Where(unbounded, perScheme.size());
    return out;
}

std::string Warnings(const study::Study& st) {
    std::string out;
    for (const auto& perScheme : st.results) {
        for (const study::Result& r : perScheme) {
            const std::string line = study::Warning(st, r);
            if (line.empty()) continue;
            out += "  " + line;
            out += perScheme.size() > 1 ? " (" + Extent(perScheme) + ")\n" : "\n";
            break;
        }
    }
    return out.empty() ? "" : "\nWarnings\n" + out;
}

// Each scheme's balance of the whole domain at the first N: what its face
// fluxes carry in and out, what the source adds, and what is left over.
std::string Balances(const study::Study& st) {
    const study::Grid& g = st.results.at(0).at(0).grid;
    std::string out = "\nConservation at N = " + std::to_string(g.N) +
                      " (total flux per unit area: in at x = 0, out at x = L, the source's total,\n"
                      "and what is left over: in - out + source, rounding for a conservative scheme)\n";
    out += Format("%-26s %13s %13s %13s %13s\n", "", "in", "out", "source", "left over");
    for (const auto& perScheme : st.results) {
        const study::Result& r = perScheme.at(0);
        const std::vector<study::FaceFlux> faces = study::FaceFluxes(st.problem, r.scheme, r.grid, r.phi);
        const study::FluxBalance b = study::BalanceOf(st.problem, r.grid, faces, r.phi);
        out += Format("%-26s %13.6g %13.6g %13.6g %13.2e\n", std::string(Title(r.scheme)).c_str(), b.in, b.out,
                      b.source, b.leftover);
    }
    return out;
}

}  // namespace

std::string Report(const study::Study& st, const std::vector<std::string>& notes) {
    std::string out = Heading(st);
    for (const std::string& note : notes) out += "Note: " + note + "\n";
    return out + NodeTable(st) + ErrorTables(st) + Balances(st) + Warnings(st);
}

}  // namespace cli
