// The Woodbury solve of cyclic banded rows.
#include "cyclic_solve.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

namespace study {

// A = B + U V: B the band, U the unit columns of the rows with corner
// entries, V those entries. A^-1 b = y - Z (I + V Z)^-1 V y, y = B^-1 b,
// Z = B^-1 U.
struct AnyBandFactors::Corners {
    struct Entry {
        std::size_t row, column;
        double value;
    };
    std::vector<std::size_t> rows;     // the rows of U's columns
    std::vector<Entry> entries;        // V, by the index of their row in `rows`
    std::vector<std::vector<double>> z;
    std::vector<double> lu;            // I + V Z, factored
    std::vector<std::size_t> pivots;
    std::size_t m = 0;

    double VTimes(std::size_t i, const std::vector<double>& x) const {
        double sum = 0;
        for (const Entry& e : entries)
            if (e.row == i) sum += e.value * x[e.column];
        return sum;
    }
};

AnyBandFactors::AnyBandFactors() = default;
AnyBandFactors::~AnyBandFactors() = default;
AnyBandFactors::AnyBandFactors(AnyBandFactors&&) noexcept = default;
AnyBandFactors& AnyBandFactors::operator=(AnyBandFactors&&) noexcept = default;

void AnyBandFactors::BandSolve(std::vector<double>& b) const {
    if (five_)
        fiveBand_.Solve(b);
    else
        three_.Solve(b);
}

bool AnyBandFactors::Factor(Rows& r, std::string& why) {
    five_ = r.FiveBand();
    const std::size_t n = r.aP.size();
    corners_.reset();
    if (r.cyclic) {
        auto c = std::make_unique<Corners>();
        // Take every entry that reaches round an end out of the band.
        auto take = [&](std::size_t k, long offset, double& stored) {
            const long j = long(k) + offset;
            if (j >= 0 && j < long(n)) return;
            const std::size_t column = std::size_t((j % long(n) + long(n)) % long(n));
            const double v = stored;
            stored = 0;
            if (v == 0) return;
            if (column == k) {
                r.aP[k] += v;
                return;
            }
            auto at = std::find(c->rows.begin(), c->rows.end(), k);
            if (at == c->rows.end()) at = c->rows.insert(c->rows.end(), k);
            c->entries.push_back({std::size_t(at - c->rows.begin()), column, v});
        };
        for (std::size_t k = 0; k < std::min<std::size_t>(n, 2); ++k) {
            if (five_) take(k, -2, r.aWW[k]);
            take(k, -1, r.aW[k]);
        }
        for (std::size_t k = n - std::min<std::size_t>(n, 2); k < n; ++k) {
            take(k, 1, r.aE[k]);
            if (five_) take(k, 2, r.aEE[k]);
        }
        r.cyclic = false;
        if (!c->rows.empty()) corners_ = std::move(c);
    }
    if (!(five_ ? fiveBand_.Factor(r, why) : three_.Factor(r, why))) return false;
    if (!corners_) return true;
    Corners& c = *corners_;
    c.m = c.rows.size();
    c.z.assign(c.m, std::vector<double>(n, 0.0));
    for (std::size_t i = 0; i < c.m; ++i) {
        c.z[i][c.rows[i]] = 1;
        BandSolve(c.z[i]);
    }
    // I + V Z, then its LU with partial pivoting.
    c.lu.assign(c.m * c.m, 0.0);
    for (std::size_t i = 0; i < c.m; ++i)
        for (std::size_t j = 0; j < c.m; ++j) c.lu[i * c.m + j] = (i == j ? 1.0 : 0.0) + c.VTimes(i, c.z[j]);
    c.pivots.resize(c.m);
    for (std::size_t col = 0; col < c.m; ++col) {
        std::size_t best = col;
        for (std::size_t i = col + 1; i < c.m; ++i)
            if (std::fabs(c.lu[i * c.m + col]) > std::fabs(c.lu[best * c.m + col])) best = i;
        c.pivots[col] = best;
        if (best != col)
            for (std::size_t j = 0; j < c.m; ++j) std::swap(c.lu[col * c.m + j], c.lu[best * c.m + j]);
        const double pivot = c.lu[col * c.m + col];
        if (pivot == 0 || !std::isfinite(pivot)) {
            why = "the system is singular (its rows reaching round the ends)";
            return false;
        }
        for (std::size_t i = col + 1; i < c.m; ++i) {
            const double f = c.lu[i * c.m + col] / pivot;
            c.lu[i * c.m + col] = f;
            for (std::size_t j = col + 1; j < c.m; ++j) c.lu[i * c.m + j] -= f * c.lu[col * c.m + j];
        }
    }
    return true;
}

void AnyBandFactors::Solve(std::vector<double>& b) const {
    BandSolve(b);
    if (!corners_) return;
    const Corners& c = *corners_;
    std::vector<double> w(c.m);
    for (std::size_t i = 0; i < c.m; ++i) w[i] = c.VTimes(i, b);
    for (std::size_t col = 0; col < c.m; ++col) {
        std::swap(w[col], w[c.pivots[col]]);
        for (std::size_t i = col + 1; i < c.m; ++i) w[i] -= c.lu[i * c.m + col] * w[col];
    }
    for (std::size_t col = c.m; col-- > 0;) {
        for (std::size_t j = col + 1; j < c.m; ++j) w[col] -= c.lu[col * c.m + j] * w[j];
        w[col] /= c.lu[col * c.m + col];
    }
    for (std::size_t i = 0; i < c.m; ++i)
        for (std::size_t k = 0; k < b.size(); ++k) b[k] -= c.z[i][k] * w[i];
}

}  // namespace study
