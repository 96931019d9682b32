#include "band_solve.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

extern "C" {
void dgtsv_(const int* n, const int* nrhs, double* dl, double* d, double* du, double* b, const int* ldb, int* info);
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

// Gaussian elimination with partial pivoting, as LAPACK's dgbsv does it,
// written for two sub- and two super-diagonals so that it needs no band
// copy: three rows are active at a time, each held as its five entries in
// columns j to j+4. Row j of U (the pivot row, up to four entries right of
// the diagonal after row swaps) goes back into the storage of row j, which
// has been read by then; so does the forward-eliminated right-hand side.
bool Pentadiagonal(Rows& r, std::vector<double>& phi, std::string& why) {
    const std::size_t n = r.aP.size();
    struct Active {
        double a[5];
        double b;
    };
    auto load = [&](std::size_t i) {  // row i's columns i-2 .. i+2, or nothing past the end
        if (i >= n) return Active{{0, 0, 0, 0, 0}, 0};
        return Active{{r.aWW[i], r.aW[i], r.aP[i], r.aE[i], r.aEE[i]}, r.Su[i]};
    };
    // Rows 0 and 1 enter with columns left of 0 that do not exist.
    Active w[3] = {load(0), load(1), load(2)};
    w[0] = Active{{w[0].a[2], w[0].a[3], w[0].a[4], 0, 0}, w[0].b};
    w[1] = Active{{w[1].a[1], w[1].a[2], w[1].a[3], w[1].a[4], 0}, w[1].b};
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
        for (std::size_t k = 1; k < rows; ++k) {
            const double f = w[k].a[0] / w[0].a[0];
            for (int c = 1; c < 5; ++c) w[k].a[c] -= f * w[0].a[c];
            w[k].b -= f * w[0].b;
        }
        for (int c = 0; c < 5; ++c) u[c][j] = w[0].a[c];
        r.Su[j] = w[0].b;
        for (std::size_t k = 0; k < 2; ++k)
            w[k] = Active{{w[k + 1].a[1], w[k + 1].a[2], w[k + 1].a[3], w[k + 1].a[4], 0}, w[k + 1].b};
        w[2] = load(j + 3);
    }
    for (std::size_t j = n; j-- > 0;) {
        double x = r.Su[j];
        for (std::size_t c = 1; c < 5 && j + c < n; ++c) x -= u[c][j] * r.Su[j + c];
        r.Su[j] = x / u[0][j];
    }
    phi = std::move(r.Su);
    return true;
}

}  // namespace

bool SolveRows(Rows& rows, std::vector<double>& phi, std::string& why) {
    return rows.FiveBand() ? Pentadiagonal(rows, phi, why) : Tridiagonal(rows, phi, why);
}

}  // namespace study
