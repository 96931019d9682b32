// Timings of one whole calculation (reading the inputs, assembly, listing,
// solve, results text and plot model) for each scheme, and of the
// tridiagonal solver alone beside LAPACK's dgtsv on the same system.
#include <benchmark/benchmark.h>

#include <vector>

#include "app/calculation.hpp"
#include "solver/Mdl_Thomas.hpp"

extern "C" void dgtsv_(const int* n, const int* nrhs, double* dl, double* d, double* du, double* b, const int* ldb,
                       int* info);

namespace {

void Calculation(benchmark::State& st, driver::Scheme scheme) {
    driver::InputTexts in;
    in.N = std::to_string(st.range(0));
    Mdl_Common::ProblemState state;
    for (auto _ : st) {
        driver::Outputs out;
        driver::Calculate(in, scheme, state, out);
        benchmark::DoNotOptimize(out);
    }
}

// The central-differencing system of the default inputs at N nodes.
struct System {
    explicit System(int n) : n(n) {
        for (calc::RealArray* a : {&aW, &aP, &aE, &Su}) a->Resize(n);
        const double D = 0.1 * n, F = 0.1;
        for (int i = 1; i <= n; ++i) {
            aW(i) = i == 1 ? 0 : -(D + F / 2);
            aE(i) = i == n ? 0 : -(D - F / 2);
            aP(i) = 2 * D;
        }
        aP(1) = 3 * D + F / 2;
        aP(n) = 3 * D - F / 2;
        Su(1) = 2 * D + F;
    }
    int n;
    calc::RealArray aW{"aW"}, aP{"aP"}, aE{"aE"}, Su{"Su"};
};

void ThomasSolve300(benchmark::State& st) {
    System sys(300);
    const calc::RealArray rhs = sys.Su;
    for (auto _ : st) {
        sys.Su = rhs;  // the solve overwrites the right-hand side
        Mdl_Thomas::ThomasSolve(sys.n, sys.aW, sys.aP, sys.aE, sys.Su);
        benchmark::DoNotOptimize(sys.Su(1));
    }
}

void LapackDgtsv300(benchmark::State& st) {
    System sys(300);
    const int n = sys.n;
    std::vector<double> dl0(n - 1), d0(n), du0(n - 1), b0(n);
    for (int i = 1; i <= n; ++i) {
        d0[i - 1] = sys.aP(i);
        b0[i - 1] = sys.Su(i);
        if (i > 1) dl0[i - 2] = sys.aW(i);
        if (i < n) du0[i - 1] = sys.aE(i);
    }
    std::vector<double> dl, d, du, b;
    const int nrhs = 1;
    int info = 0;
    for (auto _ : st) {
        dl = dl0;  // dgtsv overwrites all four arrays
        d = d0;
        du = du0;
        b = b0;
        dgtsv_(&n, &nrhs, dl.data(), d.data(), du.data(), b.data(), &n, &info);
        benchmark::DoNotOptimize(b[0]);
    }
}

}  // namespace

BENCHMARK_CAPTURE(Calculation, central, driver::Scheme::Central)->Arg(5)->Arg(300)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Calculation, upwind, driver::Scheme::Upwind)->Arg(5)->Arg(300)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Calculation, hibrid, driver::Scheme::Hibrid)->Arg(5)->Arg(300)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Calculation, quick, driver::Scheme::QUICK)->Arg(5)->Arg(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(ThomasSolve300);
BENCHMARK(LapackDgtsv300);

BENCHMARK_MAIN();
