// The banded solves of the rows.
#include "band_solve.hpp"

#include "cyclic_solve.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

extern "C" {
void dgtsv_(const int* n, const int* nrhs, double* dl, double* d, double* du, double* b, const int* ldb, int* info);
void dgttrf_(const int* n, double* dl, double* d, double* du, double* du2, int* ipiv, int* info);
void dgttrs_(const char* trans, const int* n, const int* nrhs, const double* dl, const double* d, const double* du,
             const double* du2, const int* ipiv, double* b, const int* ldb, int* info);
}

namespace study {

namespace {

std::string Singular(int info) { return "the system is singular (zero pivot in row " + std::to_string(info) + ")"; }

bool Tridiagonal(Rows& r, std::vector<double>& phi, std::string& why) {
    const int n = static_cast<int>(r.aP.size());
    const int one = 1;
    int info = 0;
    dgtsv_(&n, &one, r.aW.data() + 1, r.aP.data(), r.aE.data(), r.Su.data(), &n, &info);
    if (info != 0) {
        why = Singular(info);
        return false;
    }
    phi = std::move(r.Su);
    return true;
}

}  // namespace

bool ThreeBandFactors::Factor(Rows& r, std::string& why) {
    const int n = static_cast<int>(r.aP.size());
    dl_.assign(r.aW.begin() + 1, r.aW.end());
    d_ = std::move(r.aP);
    du_ = std::move(r.aE);
    du_.resize(std::size_t(std::max(n - 1, 0)));
    du2_.assign(std::size_t(std::max(n - 2, 0)) + 1, 0.0);
    pivots_.assign(std::size_t(n), 0);
    int info = 0;
    dgttrf_(&n, dl_.data(), d_.data(), du_.data(), du2_.data(), pivots_.data(), &info);
    if (info != 0) {
        why = Singular(info);
        return false;
    }
    return true;
}

void ThreeBandFactors::Solve(std::vector<double>& b) const {
    const int n = static_cast<int>(d_.size()), one = 1;
    int info = 0;
    dgttrs_("N", &n, &one, dl_.data(), d_.data(), du_.data(), du2_.data(), pivots_.data(), b.data(), &n, &info);
}

// Gaussian elimination with partial pivoting, as LAPACK's dgbsv does it,
// written for two sub- and two super-diagonals so that it needs no band
// copy: three rows are active at a time, each held as its five entries in
// columns j to j+4. Row j of U (the pivot row, up to four entries right of
// the diagonal after row swaps) goes back into the storage of row j, which
// has been read by then; the multipliers and the swap of each column are
// kept for the right-hand sides.
bool FiveBandFactors::Factor(Rows& r, std::string& why) {
    const std::size_t n = r.aP.size();
    lower1_.assign(n, 0.0);
    lower2_.assign(n, 0.0);
    pivot_.assign(n, 0);
    struct Active {
        double a[5];
    };
    auto load = [&](std::size_t i) {  // row i's columns i-2 .. i+2, or nothing past the end
        if (i >= n) return Active{{0, 0, 0, 0, 0}};
        return Active{{r.aWW[i], r.aW[i], r.aP[i], r.aE[i], r.aEE[i]}};
    };
    // Rows 0 and 1 enter with columns left of 0 that do not exist.
    Active w[3] = {load(0), load(1), load(2)};
    w[0] = Active{{w[0].a[2], w[0].a[3], w[0].a[4], 0, 0}};
    w[1] = Active{{w[1].a[1], w[1].a[2], w[1].a[3], w[1].a[4], 0}};
    double* u[5] = {r.aWW.data(), r.aW.data(), r.aP.data(), r.aE.data(), r.aEE.data()};
    for (std::size_t j = 0; j < n; ++j) {
        const std::size_t rows = std::min<std::size_t>(3, n - j);
        std::size_t p = 0;
        for (std::size_t k = 1; k < rows; ++k)
            if (std::fabs(w[k].a[0]) > std::fabs(w[p].a[0])) p = k;
        if (w[p].a[0] == 0.0) {
            why = Singular(int(j + 1));
            return false;
        }
        std::swap(w[0], w[p]);
        pivot_[j] = static_cast<unsigned char>(p);
        for (std::size_t k = 1; k < rows; ++k) {
            const double f = w[k].a[0] / w[0].a[0];
            for (int c = 1; c < 5; ++c) w[k].a[c] -= f * w[0].a[c];
            (k == 1 ? lower1_ : lower2_)[j] = f;
        }
        for (int c = 0; c < 5; ++c) u[c][j] = w[0].a[c];
        for (std::size_t k = 0; k < 2; ++k)
            w[k] = Active{{w[k + 1].a[1], w[k + 1].a[2], w[k + 1].a[3], w[k + 1].a[4], 0}};
        w[2] = load(j + 3);
    }
    u_ = std::move(r);
    return true;
}

void FiveBandFactors::Solve(std::vector<double>& b) const {
    const std::size_t n = b.size();
    // Forward: the active window of three right-hand side values; y(j) goes
    // into b(j), which the window has read by then.
    double w[3] = {b[0], n > 1 ? b[1] : 0.0, n > 2 ? b[2] : 0.0};
    for (std::size_t j = 0; j < n; ++j) {
        std::swap(w[0], w[pivot_[j]]);
        w[1] -= lower1_[j] * w[0];
        w[2] -= lower2_[j] * w[0];
        b[j] = w[0];
        w[0] = w[1];
        w[1] = w[2];
        w[2] = j + 3 < n ? b[j + 3] : 0.0;
    }
    const double* u[5] = {u_.aWW.data(), u_.aW.data(), u_.aP.data(), u_.aE.data(), u_.aEE.data()};
    for (std::size_t j = n; j-- > 0;) {
        double x = b[j];
        for (std::size_t c = 1; c < 5 && j + c < n; ++c) x -= u[c][j] * b[j + c];
        b[j] = x / u[0][j];
    }
}

namespace {

// Factors the rows with `Factors` and solves for their right-hand side.
template <class Factors>
bool FactorAndSolve(Rows& r, std::vector<double>& phi, std::string& why) {
    std::vector<double> b = std::move(r.Su);
    Factors factors;
    if (!factors.Factor(r, why)) return false;
    factors.Solve(b);
    phi = std::move(b);
    return true;
}

}  // namespace

bool SolveRows(Rows& rows, std::vector<double>& phi, std::string& why) {
    if (rows.cyclic) return FactorAndSolve<AnyBandFactors>(rows, phi, why);
    return rows.FiveBand() ? FactorAndSolve<FiveBandFactors>(rows, phi, why) : Tridiagonal(rows, phi, why);
}

}  // namespace study
