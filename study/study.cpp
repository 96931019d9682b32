#include "study.hpp"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <exception>
#include <limits>
#include <thread>

#include "band_solve.hpp"
#include "exact.hpp"
#include "limiter_pieces.hpp"
#include "solver/errors.hpp"
#include "solver/vector_state.hpp"

namespace study {

namespace {

bool Finite(const Grid& g) {
    return std::isfinite(g.dx) && std::isfinite(g.F) && std::isfinite(g.D) && std::isfinite(g.Pe) && g.dx != 0 &&
           g.D != 0;
}

// Max and root-mean-square of the differences, scaled by the largest so
// that the squares cannot overflow. Returns false if a difference is not
// finite.
bool Norms(const std::vector<double>& phi, const std::vector<double>& exact, Result& r) {
    double largest = 0;
    for (std::size_t i = 0; i < phi.size(); ++i) largest = std::max(largest, std::fabs(phi[i] - exact[i]));
    if (!std::isfinite(largest)) return false;
    double sum = 0;
    if (largest > 0)
        for (std::size_t i = 0; i < phi.size(); ++i) {
            const double e = (phi[i] - exact[i]) / largest;
            sum += e * e;
        }
    r.maxError = largest;
    r.rmsError = largest * std::sqrt(sum / static_cast<double>(phi.size()));
    return true;
}

void Bounds(const Problem& p, const std::vector<double>& phi, Result& r) {
    const auto [lo, hi] = std::minmax_element(phi.begin(), phi.end());
    r.phiMin = *lo;
    r.phiMax = *hi;
    const double tolerance = BoundsTolerance(p, static_cast<long>(phi.size()));
    const auto [least, largest] = ExactRange(p);
    r.bounded = r.phiMin >= least - tolerance && r.phiMax <= largest + tolerance;
}

// Work of fewer nodes than this is done on the calling thread alone.
constexpr long kNodesWorthAThread = 50'000;

unsigned Threads(long nodes) {
    if (nodes < kNodesWorthAThread) return 1;
    return std::max(1u, std::thread::hardware_concurrency());
}

// Runs job(0) to job(count - 1), each once, on up to `threads` threads, the
// calling one included. If jobs fail, the failure of the first of them is
// raised here once all have stopped; no job starts after a failure.
template <class Job>
void ParallelFor(std::size_t count, unsigned threads, const Job& job) {
    std::vector<std::exception_ptr> failures(count);
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    auto work = [&] {
        calc::ClearUpperVectorState();
        for (std::size_t i; !failed && (i = next++) < count;) {
            try {
                job(i);
            } catch (...) {
                failures[i] = std::current_exception();
                failed = true;
            }
        }
    };
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < std::min<std::size_t>(threads, count); ++t) helpers.emplace_back(work);
    work();
    for (std::thread& h : helpers) h.join();
    for (const std::exception_ptr& f : failures)
        if (f) std::rethrow_exception(f);
}

// "3.1e-7": two digits, the exponent without padding.
std::string Short(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2g", v);
    std::string out = text;
    for (const char* padded : {"e-0", "e+0"})
        if (const std::size_t at = out.find(padded); at != std::string::npos) out.erase(at + 2, 1);
    if (const std::size_t at = out.find("e+"); at != std::string::npos) out.erase(at + 1, 1);
    return out;
}

// A bounded scheme: its nonlinear equations solved from phi = 0, whose
// first step is the upwind solution. Its rows are the upwind ones, whose
// coefficients are never negative.
void SolveBounded(const Problem& p, Scheme s, int maxIterations, Result& r) {
    r.phi.assign(static_cast<std::size_t>(r.grid.N), 0.0);
    TvdIterations t;
    try {
        const auto [least, largest] = ExactRange(p);
        t = SolveTvdSystem(p, r.grid, *LimiterOf(s), 0.0, {}, r.phi,
                           TvdTolerance(p, r.grid, std::max(std::fabs(least), std::fabs(largest))), maxIterations);
    } catch (const calc::CalcError& e) {
        throw SolveError(s, r.grid.N, e.what());
    }
    if (!t.converged) throw SolveError(s, r.grid.N, t);
    r.iterations = t.iterations;
    r.pieces = PieceCounts(p, r.grid, *LimiterOf(s), r.phi);
}

// Why a gradient at the inflow end can leave a system singular: where a
// scheme's rows carry no diffusion (hybrid beyond |Pe| = 2), or little, the
// gradient there has nothing to act on, and nothing fixes phi at that end.
std::string Unfixed(const Problem& p, const Grid& g, Scheme s) {
    const End& inflow = g.F >= 0 ? p.left : p.right;
    if (inflow.kind != EndKind::Gradient || g.F == 0) return "";
    return std::string("; the gradient is given at the inflow end (x = ") + (g.F > 0 ? "0" : "L") + "), where " +
           (s == Scheme::Hybrid && std::fabs(g.Pe) >= 2 ? "hybrid's rows at |Pe| >= 2 carry no diffusion"
                                                        : "its rows carry little diffusion") +
           ", so nothing fixes phi there: give the value at the inflow end, or refine until |Pe| < 2";
}

std::optional<double> Order(double coarse, double fine) {
    if (!(coarse > 0) || !(fine > 0)) return std::nullopt;
    return std::log2(coarse) - std::log2(fine);
}

}  // namespace

SolveError::SolveError(Scheme s, long n, const std::string& why)
    : std::runtime_error(std::string(Name(s)) + " at N = " + std::to_string(n) + ": " + why), scheme(s), N(n) {}

std::pair<double, double> ExactRange(const Problem& p) {
    if (p.Plain()) return std::minmax(p.left.value, p.right.value);
    return ExactSolution(p).Range();
}

double BoundsTolerance(const Problem& p, long N) {
    const double grid = std::max(1e-12, 64 * std::numeric_limits<double>::epsilon() * static_cast<double>(N));
    const auto [least, largest] = ExactRange(p);
    return grid * std::max({1.0, std::fabs(least), std::fabs(largest)});
}

SolveError::SolveError(Scheme s, long n, const TvdIterations& stopped)
    : std::runtime_error(std::string(Name(s)) + " at N = " + std::to_string(n) + " did not converge in " +
                         std::to_string(stopped.iterations) + " iteration" + (stopped.iterations == 1 ? "" : "s") +
                         (std::isfinite(stopped.residual) ? " (residual " + Short(stopped.residual) + ")"
                                                          : " (the residual is beyond the range of a double)")),
      scheme(s),
      N(n) {}

std::vector<double> ExactAtNodes(const Problem& p, const Grid& g) {
    std::vector<double> exact(static_cast<std::size_t>(g.N));
    // In stretches, on as many threads as there are cores for a large grid.
    constexpr long kStretch = 1 << 16;
    const auto stretches = static_cast<std::size_t>((g.N + kStretch - 1) / kStretch);
    if (p.Plain()) {
        ParallelFor(stretches, Threads(g.N), [&](std::size_t k) {
            const long last = std::min(g.N, long(k + 1) * kStretch);
            for (long i = long(k) * kStretch + 1; i <= last; ++i)
                exact[static_cast<std::size_t>(i - 1)] = PlainExact(p, g.x(i));
        });
        return exact;
    }
    const ExactSolution solution(p);
    ParallelFor(stretches, Threads(g.N), [&](std::size_t k) {
        const long last = std::min(g.N, long(k + 1) * kStretch);
        for (long i = long(k) * kStretch + 1; i <= last; ++i) exact[static_cast<std::size_t>(i - 1)] = solution(g.x(i));
    });
    return exact;
}

Result Solve(const Problem& p, Scheme s, long N, const std::vector<double>& exact, int maxIterations) {
    Result r;
    r.scheme = s;
    r.grid = MakeGrid(p, N);
    if (N < MinimumN(s) || N > kMaxN)
        throw SolveError(s, N, "N must be from " + std::to_string(MinimumN(s)) + " to " + std::to_string(kMaxN));
    if (!Finite(r.grid) || !std::isfinite(DomainPeclet(p)))
        throw SolveError(s, N,
                         "F = rho u, D = Gamma / dx or a Peclet number is beyond the range of a double, "
                         "or dx or D is 0");
    if (IsTvd(s)) {
        SolveBounded(p, s, maxIterations, r);
    } else {
        Rows rows;
        try {
            rows = Assemble(p, s, N);
        } catch (const calc::CalcError& e) {
            throw SolveError(s, N, e.what());
        }
        r.negative = rows.negative;
        std::string why;
        if (!SolveRows(rows, r.phi, why)) throw SolveError(s, N, why + Unfixed(p, r.grid, s));
    }
    if (!Norms(r.phi, exact, r)) throw SolveError(s, N, "the solution is beyond the range of a double");
    Bounds(p, r.phi, r);
    return r;
}

std::vector<long> GridSizes(const Plan& plan) {
    std::vector<long> sizes{plan.N};
    for (int k = 1; k <= plan.refine; ++k) sizes.push_back(sizes.back() * 2);
    return sizes;
}

Study Run(const Problem& p, const Plan& plan, const Callbacks& callbacks) {
    Study st{p, plan, GridSizes(plan), {}, {}};
    st.results.resize(plan.schemes.size());
    double total = 0, done = 0;
    for (long n : st.sizes) total += static_cast<double>(n) * static_cast<double>(plan.schemes.size());

    for (std::size_t k = 0; k < st.sizes.size(); ++k) {
        const long N = st.sizes[k];
        if (callbacks.cancelled && callbacks.cancelled()) throw Cancelled();
        std::vector<double> exact = ExactAtNodes(p, MakeGrid(p, N));
        // The schemes of one grid are independent: solved side by side.
        std::vector<Result> solved(plan.schemes.size());
        ParallelFor(plan.schemes.size(), Threads(N * long(plan.schemes.size())), [&](std::size_t s) {
            if (callbacks.cancelled && callbacks.cancelled()) throw Cancelled();
            solved[s] = Solve(p, plan.schemes[s], N, exact, plan.maxIterations);
        });
        for (std::size_t s = 0; s < plan.schemes.size(); ++s) {
            Result& r = solved[s];
            if (k > 0) {
                const Result& coarse = st.results[s][k - 1];
                r.orderMax = Order(coarse.maxError, r.maxError);
                r.orderRms = Order(coarse.rmsError, r.rmsError);
            }
            if (callbacks.solved) callbacks.solved(r, exact);
            if (k > 0) std::vector<double>().swap(r.phi);
            st.results[s].push_back(std::move(r));
            done += static_cast<double>(N);
            if (callbacks.progress) callbacks.progress(done / total);
        }
        if (k == 0) st.exact = std::move(exact);
    }
    return st;
}

}  // namespace study
