// The least a program can do for what `convdiff-transient --time lw|ssprk3
// --schemes minmod,vanleer,superbee --u 1` does per step at N nodes: a plain
// loop of limited face values (the upstream node plus psi(r) times half the
// jump, scaled by 1 - c for Lax-Wendroff) with fixed ends, and the update
// from the face fluxes and the central diffusion (Gamma read at run time, as
// the program reads it); SSPRK3 makes three such stages and their convex
// combinations. The yardstick for the transient program's time.
// Usage: baseline_limited lw|ssprk3 N STEPS [GAMMA]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

double MinMod(double r) { return std::max(0.0, std::min(1.0, r)); }
double VanLeer(double r) { return (r + std::fabs(r)) / (1 + std::fabs(r)); }
double Superbee(double r) { return std::max({0.0, std::min(2 * r, 1.0), std::min(r, 2.0)}); }

// out = a base + (1 - a)(in - lambda (F (phi_e - phi_w) - D (phi_E - 2 phi_P + phi_W))),
// u > 0, phi = 0 at both ends (mirror nodes), the inflow face carrying 0.
template <double (*Psi)(double)>
void Stage(const std::vector<double>& in, std::vector<double>& out, const std::vector<double>& base, double a,
           double lambda, double scale, double D) {
    const std::size_t n = in.size();
    const double* x = in.data();
    auto face = [&](double before, double here, double after) {
        const double up = here - before, down = after - here;
        return here + (down == 0 ? 0.0 : 0.5 * scale * Psi(up / down) * down);
    };
    double west = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double before = i > 0 ? x[i - 1] : -x[0], after = i + 1 < n ? x[i + 1] : -x[n - 1];
        const double east = face(before, x[i], after);
        out[i] = a * base[i] + (1 - a) * (x[i] - lambda * (east - west - D * (after - 2 * x[i] + before)));
        west = east;
    }
}

template <double (*Psi)(double)>
double March(bool lw, long n, long steps, double gamma) {
    const double dx = 1.0 / double(n), c = 0.4, lambda = c * dx / dx, D = gamma / dx;  // rho = u = 1: lambda F = c
    std::vector<double> phi(static_cast<std::size_t>(n)), s1(phi.size()), s2(phi.size()), next(phi.size());
    for (long i = 0; i < n; ++i) {
        const double z = ((double(i) + 0.5) * dx - 0.5) / 0.2;
        phi[std::size_t(i)] = std::exp(-0.5 * z * z);
    }
    for (long k = 0; k < steps; ++k) {
        if (lw) {
            Stage<Psi>(phi, next, phi, 0, lambda, 1 - c, D);
        } else {
            Stage<Psi>(phi, s1, phi, 0, lambda, 1, D);
            Stage<Psi>(s1, s2, phi, 0.75, lambda, 1, D);
            Stage<Psi>(s2, next, phi, 1.0 / 3.0, lambda, 1, D);
        }
        phi.swap(next);
    }
    double sum = 0;
    for (double v : phi) sum += v;
    return sum;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    const bool lw = std::strcmp(argv[1], "lw") == 0;
    const long n = std::atol(argv[2]), steps = std::atol(argv[3]);
    const double gamma = argc > 4 ? std::atof(argv[4]) : 0.0;
    const double sum = March<MinMod>(lw, n, steps, gamma) + March<VanLeer>(lw, n, steps, gamma) +
                       March<Superbee>(lw, n, steps, gamma);
    std::printf("%.17g\n", sum);
    return 0;
}
