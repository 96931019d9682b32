// Thousands of random problems for the three-point schemes: the solution
// must satisfy the assembled system and agree with an independent dense
// Gaussian elimination with partial pivoting.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "schemes/schemes.hpp"
#include "solver/errors.hpp"
#include "test_support.hpp"

namespace {

using SchemeFn = void (*)(Mdl_Common::ProblemState&, calc::Listing&);

// Solves A x = b for a dense matrix, rows and columns 0..n-1.
std::vector<double> DenseSolve(std::vector<std::vector<double>> A, std::vector<double> b) {
    const std::size_t n = b.size();
    for (std::size_t k = 0; k < n; ++k) {
        std::size_t pivot = k;
        for (std::size_t r = k + 1; r < n; ++r)
            if (std::fabs(A[r][k]) > std::fabs(A[pivot][k])) pivot = r;
        std::swap(A[k], A[pivot]);
        std::swap(b[k], b[pivot]);
        for (std::size_t r = k + 1; r < n; ++r) {
            const double m = A[r][k] / A[k][k];
            for (std::size_t c = k; c < n; ++c) A[r][c] -= m * A[k][c];
            b[r] -= m * b[k];
        }
    }
    std::vector<double> x(n);
    for (std::size_t k = n; k-- > 0;) {
        double sum = b[k];
        for (std::size_t c = k + 1; c < n; ++c) sum -= A[k][c] * x[c];
        x[k] = sum / A[k][k];
    }
    return x;
}

struct Counts {
    int checked = 0;
    int refused = 0;
};

// One random problem: N from 1 to 60, F and D of either moderate size, end
// values of either sign.
void CheckRandomProblem(SchemeFn scheme, std::mt19937_64& rng, Counts& counts) {
    std::uniform_int_distribution<int> nodes(1, 60);
    std::uniform_real_distribution<double> flux(-5, 5), conductance(0.01, 5), end(-10, 10);
    const long n = nodes(rng);
    auto s = testing_support::State(static_cast<double>(n), flux(rng), conductance(rng), end(rng), end(rng));
    calc::Listing list;
    try {
        scheme(s, list);
    } catch (const calc::CalcError&) {
        ++counts.refused;  // a zero pivot: reported, not a wrong answer
        return;
    }
    ++counts.checked;

    // The right-hand side as assembled: only the end rows carry a source,
    // and with one node the right end's replaces the left end's.
    std::vector<double> b(static_cast<std::size_t>(n), 0.0);
    b.front() = -s.Sp(1) * s.FiA;
    b.back() = -s.Sp(n) * s.FiB;

    std::vector<std::vector<double>> A(static_cast<std::size_t>(n), std::vector<double>(static_cast<std::size_t>(n)));
    for (long i = 1; i <= n; ++i) {
        const auto r = static_cast<std::size_t>(i - 1);
        if (i > 1) A[r][r - 1] = s.aW(i);
        A[r][r] = s.aP(i);
        if (i < n) A[r][r + 1] = s.aE(i);
    }

    double scale = 0;
    for (long i = 1; i <= n; ++i) scale = std::max(scale, std::fabs(s.T(i)));
    for (long i = 1; i <= n; ++i) {
        const auto r = static_cast<std::size_t>(i - 1);
        double residual = A[r][r] * s.T(i) - b[r];
        double size = std::fabs(A[r][r] * s.T(i)) + std::fabs(b[r]);
        if (i > 1) {
            residual += A[r][r - 1] * s.T(i - 1);
            size += std::fabs(A[r][r - 1] * s.T(i - 1));
        }
        if (i < n) {
            residual += A[r][r + 1] * s.T(i + 1);
            size += std::fabs(A[r][r + 1] * s.T(i + 1));
        }
        ASSERT_LE(std::fabs(residual), 1e-10 * size + 1e-300) << "row " << i << " of N = " << n << ", F = " << s.F
                                                              << ", D = " << s.D;
    }
    const std::vector<double> dense = DenseSolve(A, b);
    for (long i = 1; i <= n; ++i)
        ASSERT_NEAR(s.T(i), dense[static_cast<std::size_t>(i - 1)], 1e-7 * std::max(1.0, scale))
            << "node " << i << " of N = " << n << ", F = " << s.F << ", D = " << s.D;
}

void CheckMany(SchemeFn scheme, unsigned seed) {
    std::mt19937_64 rng(seed);
    Counts counts;
    for (int k = 0; k < 2000; ++k) {
        CheckRandomProblem(scheme, rng, counts);
        if (::testing::Test::HasFatalFailure()) return;
    }
    EXPECT_GT(counts.checked, 1900);
}

}  // namespace

TEST(RandomProblems, CentralSolutionSatisfiesItsSystem) { CheckMany(Mdl_Central::CentralScheme, 1); }
TEST(RandomProblems, UpwindSolutionSatisfiesItsSystem) { CheckMany(Mdl_Upwind::UpwindScheme, 2); }
TEST(RandomProblems, HibridSolutionSatisfiesItsSystem) { CheckMany(Mdl_Hibrid::HibridScheme, 3); }
