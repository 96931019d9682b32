// The least a program can do for what `convdiff-study --schemes
// central,upwind,hybrid` does: assemble the three tridiagonal systems of
// the default problem at N nodes, solve each with LAPACK's dgtsv, evaluate
// the exact solution and each scheme's max error. The yardstick for the
// study's whole-process time. Usage: baseline_study N
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" void dgtsv_(const int* n, const int* nrhs, double* dl, double* d, double* du, double* b, const int* ldb,
                       int* info);

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const double phiA = 1, phiB = 0, u = 0.1, L = 1, rho = 1, gamma = 0.1;
    const double dx = L / n, F = rho * u, D = gamma / dx, P = rho * u * L / gamma;

    std::vector<double> exact(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) exact[i] = phiA + (phiB - phiA) * std::expm1(P * (i + 0.5) * dx / L) / std::expm1(P);

    // west, east, and the end brackets 2D + tW, 2D - tE of each scheme
    const double hw = std::max({0.0, F, D + F / 2}), he = std::max({0.0, -F, D - F / 2});
    const double schemes[3][4] = {
        {D + F / 2, D - F / 2, 2 * D + F, 2 * D - F},
        {D + std::max(F, 0.0), D + std::max(-F, 0.0), 2 * D + std::max(F, 0.0), 2 * D + std::max(-F, 0.0)},
        {hw, he, 2 * D + F, 2 * D - F}};
    for (const auto& c : schemes) {
        std::vector<double> dl(n - 1, -c[0]), d(n, c[0] + c[1]), du(n - 1, -c[1]), b(n, 0.0);
        d[0] = c[1] + c[2];
        d[n - 1] = c[0] + c[3];
        b[0] = c[2] * phiA;
        b[n - 1] = c[3] * phiB;
        const int one = 1;
        int info = 0;
        dgtsv_(&n, &one, dl.data(), d.data(), du.data(), b.data(), &n, &info);
        double worst = 0;
        for (int i = 0; i < n; ++i) worst = std::max(worst, std::fabs(b[i] - exact[i]));
        std::printf("max error %.6e (info %d)\n", worst, info);
    }
}
