#include "study.hpp"

#include <algorithm>
#include <cmath>

#include "band_solve.hpp"
#include "solver/errors.hpp"

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
    const double tolerance = 1e-12 * std::max({1.0, std::fabs(p.phiA), std::fabs(p.phiB)});
    r.bounded = r.phiMin >= std::min(p.phiA, p.phiB) - tolerance && r.phiMax <= std::max(p.phiA, p.phiB) + tolerance;
}

std::optional<double> Order(double coarse, double fine) {
    if (!(coarse > 0) || !(fine > 0)) return std::nullopt;
    return std::log2(coarse) - std::log2(fine);
}

}  // namespace

SolveError::SolveError(Scheme s, long n, const std::string& why)
    : std::runtime_error(std::string(Name(s)) + " at N = " + std::to_string(n) + ": " + why), scheme(s), N(n) {}

std::vector<double> ExactAtNodes(const Problem& p, const Grid& g) {
    std::vector<double> exact(static_cast<std::size_t>(g.N));
    for (long i = 1; i <= g.N; ++i) exact[static_cast<std::size_t>(i - 1)] = Exact(p, g.x(i));
    return exact;
}

Result Solve(const Problem& p, Scheme s, long N, const std::vector<double>& exact) {
    Result r;
    r.scheme = s;
    r.grid = MakeGrid(p, N);
    if (N < MinimumN(s) || N > kMaxN)
        throw SolveError(s, N, "N must be from " + std::to_string(MinimumN(s)) + " to " + std::to_string(kMaxN));
    if (!Finite(r.grid) || !std::isfinite(DomainPeclet(p)))
        throw SolveError(s, N, "dx, D or the Peclet number is zero or beyond the range of a double");
    Rows rows;
    try {
        rows = Assemble(p, s, N);
    } catch (const calc::CalcError& e) {
        throw SolveError(s, N, e.what());
    }
    r.negative = rows.negative;
    std::string why;
    if (!SolveRows(rows, r.phi, why)) throw SolveError(s, N, why);
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
        std::vector<double> exact = ExactAtNodes(p, MakeGrid(p, N));
        for (std::size_t s = 0; s < plan.schemes.size(); ++s) {
            if (callbacks.cancelled && callbacks.cancelled()) throw Cancelled();
            Result r = Solve(p, plan.schemes[s], N, exact);
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
