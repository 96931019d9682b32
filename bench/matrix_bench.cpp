// The matrix stability test at N = 2000: each linear scheme's eigenvalues
// (SpectrumOf) and a verdict from them (Assess), at a cell Pe of 0.5 and of
// 5, beside LAPACK's dhseqr on the same matrix held dense (eigenvalues only),
// measured in the same run. An optional argument sets N.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "study/problem.hpp"
#include "transient/rows.hpp"
#include "transient/stability.hpp"

extern "C" {
void dhseqr_(const char* job, const char* compz, const int* n, const int* ilo, const int* ihi, double* h,
             const int* ldh, double* wr, double* wi, double* z, const int* ldz, double* work, const int* lwork,
             int* info);
}

namespace {

double Ms(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// K held dense as an upper Hessenberg matrix: K itself, or its transpose
// when it has entries two below the diagonal (QUICK with flow to the right).
std::vector<double> DenseHessenberg(const study::Rows& r, int n) {
    const bool transpose = r.FiveBand() && r.aWW.size() > 2 && r.aWW[2] != 0;
    std::vector<double> h(std::size_t(n) * std::size_t(n), 0.0);
    const auto put = [&](long i, long j, double v) {
        if (j < 0 || j >= n) return;
        if (transpose) std::swap(i, j);
        h[std::size_t(i) + std::size_t(j) * std::size_t(n)] = v;
    };
    for (long i = 0; i < n; ++i) {
        const auto e = std::size_t(i);
        put(i, i - 1, r.aW[e]);
        put(i, i, r.aP[e]);
        put(i, i + 1, r.aE[e]);
        if (r.FiveBand()) {
            put(i, i - 2, r.aWW[e]);
            put(i, i + 2, r.aEE[e]);
        }
    }
    return h;
}

double BaselineMs(const study::Rows& r, int n) {
    std::vector<double> h = DenseHessenberg(r, n), wr(static_cast<std::size_t>(n)), wi(static_cast<std::size_t>(n));
    const int one = 1;
    int ilo = 1, ihi = n, info = 0, lwork = -1;
    double z = 0, query = 0;
    dhseqr_("E", "N", &n, &ilo, &ihi, h.data(), &n, wr.data(), wi.data(), &z, &one, &query, &lwork, &info);
    lwork = std::max(n, int(query));
    std::vector<double> work(static_cast<std::size_t>(lwork));
    const auto start = std::chrono::steady_clock::now();
    dhseqr_("E", "N", &n, &ilo, &ihi, h.data(), &n, wr.data(), wi.data(), &z, &one, work.data(), &lwork, &info);
    const double ms = Ms(start);
    if (info != 0) std::printf("  (dhseqr reported info = %d)\n", info);
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    const long N = argc > 1 ? std::atol(argv[1]) : transient::kMatrixLimit;
    std::printf("%-12s %6s %14s %12s %14s %8s  %s\n", "scheme", "Pe", "SpectrumOf ms", "Assess ms", "dhseqr ms",
                "ratio", "max|g| at c = 0.5, explicit");
    for (double pe : {0.5, 5.0})
        for (study::Scheme s : study::kLinearSchemes) {
            study::Problem p;
            p.u = 1;
            p.gamma = p.rho * p.u * (p.L / double(N)) / pe;
            const double dt = 0.5 * p.L / double(N);
            auto start = std::chrono::steady_clock::now();
            const transient::Spectrum sp = transient::SpectrumOf(p, s, N);
            const double spectrumMs = Ms(start);
            start = std::chrono::steady_clock::now();
            const transient::Verdict v = transient::Assess(p, s, N, transient::Method::Theta, 0, dt, &sp);
            const double assessMs = Ms(start);
            const double baseMs = BaselineMs(transient::Rows(p, s, N), int(N));
            std::printf("%-12s %6.1f %14.1f %12.1f %14.1f %8.3f  %.6g\n", std::string(study::Name(s)).c_str(), pe,
                        spectrumMs, assessMs, baseMs, (spectrumMs + assessMs) / baseMs, v.matrixMaxAmplification);
            std::fflush(stdout);
        }
}
