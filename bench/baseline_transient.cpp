// The least a program can do for what `convdiff-transient --schemes
// central,upwind,hybrid` does on the default problem at N nodes:
//   implicit: assemble each scheme's matrix I + lambda A, factor it once with
//             LAPACK's dgttrf, and per step form the right-hand side and
//             call dgttrs;
//   explicit: the plain three-point update phi' = phi + lambda (b - A phi).
// The yardstick for the transient program's whole-process time.
// Usage: baseline_transient implicit|explicit N STEPS DT
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" {
void dgttrf_(const int* n, double* dl, double* d, double* du, double* du2, int* ipiv, int* info);
void dgttrs_(const char* trans, const int* n, const int* nrhs, const double* dl, const double* d, const double* du,
             const double* du2, const int* ipiv, double* b, const int* ldb, int* info);
}

int main(int argc, char** argv) {
    if (argc < 5) return 2;
    const bool implicit = std::strcmp(argv[1], "implicit") == 0;
    const int n = std::atoi(argv[2]), steps = std::atoi(argv[3]);
    const double dt = std::atof(argv[4]);
    const double phiA = 1, phiB = 0, u = 0.1, L = 1, rho = 1, gamma = 0.1;
    const double dx = L / n, F = rho * u, D = gamma / dx, lambda = dt / (rho * dx);

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
        std::vector<double> phi(n, 0.0), next(n);
        if (implicit) {
            for (auto& v : dl) v *= lambda;
            for (auto& v : du) v *= lambda;
            for (auto& v : d) v = 1 + lambda * v;
            std::vector<double> du2(n);
            std::vector<int> pivots(n);
            int info = 0;
            const int one = 1;
            dgttrf_(&n, dl.data(), d.data(), du.data(), du2.data(), pivots.data(), &info);
            for (int s = 0; s < steps; ++s) {
                next[0] = phi[0] + lambda * b[0];
                next[n - 1] = phi[n - 1] + lambda * b[n - 1];
                for (int i = 1; i < n - 1; ++i) next[i] = phi[i];
                dgttrs_("N", &n, &one, dl.data(), d.data(), du.data(), du2.data(), pivots.data(), next.data(), &n,
                        &info);
                phi.swap(next);
            }
        } else {
            const double kW = lambda * c[0], kP = 1 - lambda * (c[0] + c[1]), kE = lambda * c[1];
            for (int s = 0; s < steps; ++s) {
                next[0] = phi[0] + lambda * (b[0] - d[0] * phi[0] - du[0] * phi[1]);
                next[n - 1] = phi[n - 1] + lambda * (b[n - 1] - dl[n - 2] * phi[n - 2] - d[n - 1] * phi[n - 1]);
                for (int i = 1; i < n - 1; ++i) next[i] = kW * phi[i - 1] + kP * phi[i] + kE * phi[i + 1];
                phi.swap(next);
            }
        }
        std::printf("phi at the middle %.6e\n", phi[n / 2]);
    }
}
