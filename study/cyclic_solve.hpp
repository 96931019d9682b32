// Banded rows that reach round the ends (a periodic problem's): the band
// without its corner entries is factored by the banded solves, and the
// corners are put back by the Sherman-Morrison-Woodbury formula, a dense
// system of at most four unknowns.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "band_solve.hpp"

namespace study {

// Factors any rows, cyclic or not, once for many right-hand sides.
class AnyBandFactors {
public:
    AnyBandFactors();
    ~AnyBandFactors();
    AnyBandFactors(AnyBandFactors&&) noexcept;
    AnyBandFactors& operator=(AnyBandFactors&&) noexcept;
    // Consumes the rows. On a singular system returns false and sets `why`.
    bool Factor(Rows& rows, std::string& why);
    // Overwrites `b` (N values) with the solution.
    void Solve(std::vector<double>& b) const;

private:
    struct Corners;
    bool five_ = false;
    ThreeBandFactors three_;
    FiveBandFactors fiveBand_;
    std::unique_ptr<Corners> corners_;
    void BandSolve(std::vector<double>& b) const;
};

}  // namespace study
