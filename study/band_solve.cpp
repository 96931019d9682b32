#include "band_solve.hpp"

#include <utility>

extern "C" {
void dgtsv_(const int* n, const int* nrhs, double* dl, double* d, double* du, double* b, const int* ldb, int* info);
void dgbsv_(const int* n, const int* kl, const int* ku, const int* nrhs, double* ab, const int* ldab, int* ipiv,
            double* b, const int* ldb, int* info);
}

namespace study {

namespace {

std::string Singular(int info) {
    return "the system is singular (zero pivot in row " + std::to_string(info) + ")";
}

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

// Band storage for dgbsv with two sub- and two super-diagonals: column j
// holds A(i, j) at row kl + ku + i - j, above it room for the fill-in of
// the pivoting.
bool Pentadiagonal(Rows& r, std::vector<double>& phi, std::string& why) {
    constexpr int kl = 2, ku = 2, ldab = 2 * kl + ku + 1;
    const int n = static_cast<int>(r.aP.size());
    std::vector<double> ab(static_cast<std::size_t>(ldab) * static_cast<std::size_t>(n), 0.0);
    auto at = [&](long i, long j) -> double& {  // 0-based row i, column j
        return ab[static_cast<std::size_t>(kl + ku + i - j) + static_cast<std::size_t>(j) * ldab];
    };
    for (long i = 0; i < n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        if (i >= 2) at(i, i - 2) = r.aWW[k];
        if (i >= 1) at(i, i - 1) = r.aW[k];
        at(i, i) = r.aP[k];
        if (i + 1 < n) at(i, i + 1) = r.aE[k];
        if (i + 2 < n) at(i, i + 2) = r.aEE[k];
    }
    for (auto* v : {&r.aWW, &r.aW, &r.aP, &r.aE, &r.aEE}) std::vector<double>().swap(*v);
    std::vector<int> pivots(static_cast<std::size_t>(n));
    const int one = 1;
    int info = 0;
    dgbsv_(&n, &kl, &ku, &one, ab.data(), &ldab, pivots.data(), r.Su.data(), &n, &info);
    if (info != 0) {
        why = Singular(info);
        return false;
    }
    phi = std::move(r.Su);
    return true;
}

}  // namespace

bool SolveRows(Rows& rows, std::vector<double>& phi, std::string& why) {
    return rows.FiveBand() ? Pentadiagonal(rows, phi, why) : Tridiagonal(rows, phi, why);
}

}  // namespace study
