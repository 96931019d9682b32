// Each bounded scheme's converged solve at N = 10^6 beside one LAPACK dgtsv
// solve of the same size (the upwind rows), measured in the same run, at a
// smooth case (cell Pe 1e-5) and a sharp one (cell Pe 1): the ratio of the
// median times and the iterations. Inputs are copied outside the timing.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "study/rows.hpp"
#include "study/tvd.hpp"

extern "C" {
void dgtsv_(const int* n, const int* nrhs, double* dl, double* d, double* du, double* b, const int* ldb, int* info);
}

namespace {

constexpr long kN = 1'000'000;

template <class Setup, class Work>
double MedianMs(int runs, const Setup& setup, const Work& work) {
    std::vector<double> times;
    for (int k = 0; k < runs; ++k) {
        auto input = setup();
        const auto start = std::chrono::steady_clock::now();
        work(input);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Returns the largest ratio.
double Case(const char* name, double cellPe) {
    study::Problem p;
    p.u = cellPe * p.gamma * double(kN) / (p.rho * p.L);
    const study::Grid g = study::MakeGrid(p, kN);
    const study::Rows rows = study::Assemble(p, study::Scheme::Upwind, kN);
    const double lapack = MedianMs(
        5, [&] { return rows; },
        [](study::Rows& r) {
            const int n = int(kN), one = 1;
            int info = 0;
            dgtsv_(&n, &one, r.aW.data() + 1, r.aP.data(), r.aE.data(), r.Su.data(), &n, &info);
        });
    std::printf("%s case, cell Pe = %g: dgtsv %.1f ms\n", name, g.Pe, lapack);
    double worst = 0;
    for (study::Limiter l : study::kLimiters) {
        study::TvdIterations t;
        const double ms = MedianMs(
            3, [] { return std::vector<double>(kN, 0.0); },
            [&](std::vector<double>& phi) {
                t = study::SolveTvdSystem(p, g, l, 0.0, {}, phi, study::TvdTolerance(p, g),
                                          study::kMaxTvdIterations);
            });
        const std::string title(study::Title(study::SchemeOf(l)));
        std::printf("  %-26s %8.1f ms  %5.1f x dgtsv  %2d iterations%s\n", title.c_str(), ms, ms / lapack,
                    t.iterations, t.converged ? "" : "  NOT CONVERGED");
        worst = std::max(worst, ms / lapack);
    }
    return worst;
}

}  // namespace

int main() {
    const double smooth = Case("Smooth", 1e-5);
    const double sharp = Case("Sharp", 1.0);
    std::printf("largest ratio: %.1f (smooth), %.1f (sharp); target: at most 20\n", smooth, sharp);
    return 0;
}
