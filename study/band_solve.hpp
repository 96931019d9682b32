// The banded solves: LAPACK's dgtsv for three-point rows (and its
// dgttrf/dgttrs to factor once and solve many times); for five-point
// rows the LU factorisation with partial pivoting of LAPACK's dgbsv, written
// out for two sub- and two super-diagonals (it needs no band copy and runs
// several times faster than the general routine).
#pragma once

#include <string>
#include <vector>

#include "rows.hpp"

namespace study {

// Solves the rows in place and returns the solution (the rows' storage is
// consumed). On a singular system returns nothing and sets `why`.
bool SolveRows(Rows& rows, std::vector<double>& phi, std::string& why);

// LAPACK's LU factorisation of three-point rows (dgttrf), kept for many
// right-hand sides (dgttrs).
class ThreeBandFactors {
public:
    // Consumes the rows. On a singular system returns false and sets `why`.
    bool Factor(Rows& rows, std::string& why);
    // Overwrites `b` (N values) with the solution.
    void Solve(std::vector<double>& b) const;

private:
    std::vector<double> dl_, d_, du_, du2_;
    std::vector<int> pivots_;
};

// The same five-point elimination kept for many right-hand sides: the rows
// are factored once, then each Solve replays the row swaps and multipliers
// on a new right-hand side and substitutes back.
class FiveBandFactors {
public:
    // Consumes the rows (U is kept in their storage). On a singular system
    // returns false and sets `why`.
    bool Factor(Rows& rows, std::string& why);
    // Overwrites `b` (N values) with the solution.
    void Solve(std::vector<double>& b) const;

private:
    Rows u_;                            // U's rows: diagonal in aWW, then four to its right
    std::vector<double> lower1_, lower2_;  // multipliers of the two rows below each pivot
    std::vector<unsigned char> pivot_;     // which of the three active rows was swapped up
};

}  // namespace study
