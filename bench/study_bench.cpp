// The study's solve of each scheme's rows at N = 10^6 beside LAPACK's own
// solve of the same matrix (dgtsv for three-point rows, dgbsv for QUICK's
// five-point rows, already in band storage). Copies of the rows are made
// outside the timing: both solves consume their input.
#include <benchmark/benchmark.h>

#include "study/band_solve.hpp"
#include "study/rows.hpp"

extern "C" {
void dgtsv_(const int* n, const int* nrhs, double* dl, double* d, double* du, double* b, const int* ldb, int* info);
void dgbsv_(const int* n, const int* kl, const int* ku, const int* nrhs, double* ab, const int* ldab, int* ipiv,
            double* b, const int* ldb, int* info);
}

namespace {

constexpr long kN = 1'000'000;

study::Rows RowsOf(study::Scheme s) {
    study::Problem p;
    p.u = 2.5;
    return study::Assemble(p, s, kN);
}

void StudySolve(benchmark::State& st, study::Scheme s) {
    const study::Rows rows = RowsOf(s);
    for (auto _ : st) {
        st.PauseTiming();
        study::Rows work = rows;
        std::vector<double> phi;
        std::string why;
        st.ResumeTiming();
        benchmark::DoNotOptimize(study::SolveRows(work, phi, why));
    }
}

// LAPACK on the same matrix, with the band storage for QUICK made
// beforehand.
void LapackSolve(benchmark::State& st, study::Scheme s) {
    const study::Rows rows = RowsOf(s);
    const int n = int(kN), one = 1, kl = 2, ku = 2, ldab = 7;
    std::vector<double> band;
    if (rows.FiveBand()) {
        band.assign(std::size_t(ldab) * kN, 0.0);
        for (long i = 0; i < kN; ++i) {
            const double values[5] = {rows.aWW[i], rows.aW[i], rows.aP[i], rows.aE[i], rows.aEE[i]};
            for (long d = -2; d <= 2; ++d)
                if (i + d >= 0 && i + d < kN) band[std::size_t(kl + ku - d + (i + d) * ldab)] = values[d + 2];
        }
    }
    for (auto _ : st) {
        st.PauseTiming();
        study::Rows work = rows;
        std::vector<double> ab = band;
        std::vector<int> pivots(kN);
        st.ResumeTiming();
        int info = 0;
        if (rows.FiveBand())
            dgbsv_(&n, &kl, &ku, &one, ab.data(), &ldab, pivots.data(), work.Su.data(), &n, &info);
        else
            dgtsv_(&n, &one, work.aW.data() + 1, work.aP.data(), work.aE.data(), work.Su.data(), &n, &info);
        benchmark::DoNotOptimize(info);
    }
}

}  // namespace

#define SCHEME_PAIR(name, scheme)                                                              \
    BENCHMARK_CAPTURE(StudySolve, name, scheme)->Unit(benchmark::kMillisecond)->UseRealTime(); \
    BENCHMARK_CAPTURE(LapackSolve, name, scheme)->Unit(benchmark::kMillisecond)->UseRealTime();
SCHEME_PAIR(central, study::Scheme::Central)
SCHEME_PAIR(upwind, study::Scheme::Upwind)
SCHEME_PAIR(hybrid, study::Scheme::Hybrid)
SCHEME_PAIR(quick, study::Scheme::Quick)
SCHEME_PAIR(powerlaw, study::Scheme::PowerLaw)
SCHEME_PAIR(exponential, study::Scheme::Exponential)

BENCHMARK_MAIN();
