// The pieces of the piecewise limiters, and the faces of a solution on each.
#include "limiter_pieces.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace study {

namespace {

// Each piecewise limiter's pieces in order of r, as its slope is taken in
// limiters.hpp: the first is psi = 0 for r <= 0.
struct Pieces {
    std::array<const char*, 5> text;
    int count;
};

Pieces PiecesOf(Limiter l) {
    switch (l) {
        case Limiter::MinMod: return {{"psi = 0", "psi = r", "psi = 1"}, 3};
        case Limiter::Superbee: return {{"psi = 0", "psi = 2r", "psi = 1", "psi = r", "psi = 2"}, 5};
        case Limiter::MC: return {{"psi = 0", "psi = 2r", "psi = (1 + r)/2", "psi = 2"}, 4};
        case Limiter::Koren: return {{"psi = 0", "psi = 2r", "psi = (2 + r)/3", "psi = 2"}, 4};
        case Limiter::Umist: return {{"psi = 0", "psi = 2r", "psi = (1 + 3r)/4", "psi = (3 + r)/4", "psi = 2"}, 5};
        case Limiter::QuickLimited: return {{"psi = 0", "psi = 2r", "psi = (3 + r)/4", "psi = 2"}, 4};
        case Limiter::VanLeer:
        case Limiter::VanAlbada:
        case Limiter::Ospre: break;
    }
    return {{}, 0};
}

}  // namespace

std::optional<int> PieceOf(Limiter l, double r) {
    if (PiecesOf(l).count == 0) return std::nullopt;
    if (!(r > 0)) return 0;
    switch (l) {
        case Limiter::MinMod: return r < 1 ? 1 : 2;
        case Limiter::Superbee: return r < 0.5 ? 1 : r < 1 ? 2 : r < 2 ? 3 : 4;
        case Limiter::MC: return 2 * r <= (1 + r) / 2 ? 1 : r < 3 ? 2 : 3;
        case Limiter::Koren: return 2 * r <= (2 + r) / 3 ? 1 : r < 4 ? 2 : 3;
        case Limiter::Umist: return 2 * r <= (1 + 3 * r) / 4 ? 1 : r < 1 ? 2 : r < 5 ? 3 : 4;
        case Limiter::QuickLimited: return 2 * r <= (3 + r) / 4 ? 1 : r < 5 ? 2 : 3;
        default: return std::nullopt;
    }
}

std::string PieceText(Limiter l, int piece) {
    const Pieces pieces = PiecesOf(l);
    return piece >= 0 && piece < pieces.count ? pieces.text[std::size_t(piece)] : "";
}

std::vector<long> PieceCounts(const Problem& p, const Grid& g, Limiter l, const std::vector<double>& phi) {
    std::vector<long> counts(std::size_t(PiecesOf(l).count), 0);
    if (counts.empty()) return counts;
    const std::vector<Face> faces = LimitedFaces(p, g, l, phi);
    double largest = 0;
    for (const Face& f : faces) largest = std::max(largest, std::fabs(f.step));
    for (const Face& f : faces)
        if (std::fabs(f.step) >= kCarryingStep * largest)
            if (const auto piece = PieceOf(l, f.r)) ++counts[std::size_t(*piece)];
    return counts;
}

std::string PiecesText(Limiter l, const std::vector<long>& counts) {
    std::string text;
    bool first = true;
    for (std::size_t k = 0; k < counts.size(); ++k) {
        if (counts[k] == 0) continue;
        if (!text.empty()) text += ", ";
        text += PieceText(l, int(k)) + " at " + std::to_string(counts[k]);
        if (first) text += counts[k] == 1 ? " face" : " faces";
        first = false;
    }
    return text.empty() ? "no limited face" : text;
}

}  // namespace study
