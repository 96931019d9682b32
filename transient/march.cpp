#include "march.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "rows.hpp"
#include "stability.hpp"
#include "study/cyclic_solve.hpp"
#include "study/study.hpp"
#include "study/tvd.hpp"
#include "verdict_text.hpp"  // Short

namespace transient {

namespace {

std::array<double, 6> RowAt(const study::Rows& r, std::size_t i) {
    const bool five = r.FiveBand();
    return {five ? r.aWW[i] : 0.0, r.aW[i], r.aP[i], r.aE[i], five ? r.aEE[i] : 0.0, r.Su[i]};
}

}  // namespace

ExplicitPart::Row ExplicitPart::Scaled(const study::Rows& rows, std::size_t i) const {
    const std::array<double, 6> a = RowAt(rows, i);
    Row row{};
    for (std::size_t j = 0; j < 5; ++j) row.k[j] = -lambda_ * w_ * a[j];
    row.k[2] += 1.0;
    row.s = lambda_ * a[5];
    return row;
}

ExplicitPart::ExplicitPart(const study::Rows& rows, double lambda, double w)
    : lambda_(lambda), w_(w), cyclic_(rows.cyclic) {
    n_ = static_cast<long>(rows.aP.size());
    width_ = rows.FiveBand() ? 2 : 1;
    lo_ = std::min<long>(width_, n_);
    hi_ = std::max(lo_, n_ - width_);
    bool constant = lo_ < hi_;
    for (long i = lo_ + 1; constant && i < hi_; ++i) constant = RowAt(rows, std::size_t(i)) == RowAt(rows, std::size_t(lo_));
    if (!constant) lo_ = hi_ = n_;
    if (lo_ < hi_) interior_ = Scaled(rows, std::size_t(lo_));
    for (long i = 0; i < n_; ++i)
        if (i < lo_ || i >= hi_) edges_.push_back(Scaled(rows, std::size_t(i)));
}

// The loops over the interior rows are written for the compiler's vector
// instructions (-fopenmp-simd), the check of phi riding along as
// reductions that vectorise.
bool ExplicitPart::Apply(const std::vector<double>& phi, std::vector<double>& out, double limit) const {
    out.resize(phi.size());
    const double* __restrict p = phi.data();
    double* __restrict o = out.data();
    unsigned bad = 0;
    auto edge = [&](long i, const Row& row) {
        double v = row.s;
        for (long j = -2; j <= 2; ++j)
            if (i + j >= 0 && i + j < n_)
                v += row.k[std::size_t(j + 2)] * p[i + j];
            else if (cyclic_)  // across the ends, to the node a period away
                v += row.k[std::size_t(j + 2)] * p[((i + j) % n_ + n_) % n_];
        o[i] = v;
        bad |= unsigned(!(std::fabs(p[i]) <= limit));
    };
    std::size_t e = 0;
    for (long i = 0; i < lo_; ++i) edge(i, edges_[e++]);
    // The largest |phi_i|, and a sum of phi_i - phi_i that only an
    // infinity or a NaN makes other than 0.
    double largest = 0, zero = 0;
    const Row& c = interior_;
    if (width_ == 1) {
        const double kW = c.k[1], kP = c.k[2], kE = c.k[3], s = c.s;
#pragma omp simd reduction(max : largest) reduction(+ : zero)
        for (long i = lo_; i < hi_; ++i) {
            o[i] = kW * p[i - 1] + kP * p[i] + kE * p[i + 1] + s;
            largest = std::max(largest, std::fabs(p[i]));
            zero += p[i] - p[i];
        }
    } else {
        const double kWW = c.k[0], kW = c.k[1], kP = c.k[2], kE = c.k[3], kEE = c.k[4], s = c.s;
#pragma omp simd reduction(max : largest) reduction(+ : zero)
        for (long i = lo_; i < hi_; ++i) {
            o[i] = kWW * p[i - 2] + kW * p[i - 1] + kP * p[i] + kE * p[i + 1] + kEE * p[i + 2] + s;
            largest = std::max(largest, std::fabs(p[i]));
            zero += p[i] - p[i];
        }
    }
    for (long i = hi_; i < n_; ++i) edge(i, edges_[e++]);
    return bad == 0 && largest <= limit && zero == 0;
}

// A linear scheme: the explicit part, and for theta > 0 the factors of
// I + theta lambda A.
struct Stepper::Linear {
    explicit Linear(ExplicitPart p) : part(std::move(p)) {}
    ExplicitPart part;
    bool implicit = false;
    study::AnyBandFactors factors;
};

// A bounded scheme: the TVD balance B, explicit as phi' = phi - lambda B(phi);
// with theta > 0 each step solves
//   B(phi') + shift phi' = shift phi - (1 - theta)/theta B(phi),
// shift = rho dx / (theta dt), to the steady solve's tolerance with the
// shift and the initial state's magnitude in it.
struct Stepper::Bounded {
    study::Scheme scheme{};
    study::Problem p;
    study::Grid g;
    study::Limiter limiter{};
    double theta = 0, lambda = 0, shift = 0, share = 0, tolerance = 0;
    std::function<bool()> cancelled;
    std::vector<double> balance, extra;

    Bounded(const study::Problem& problem, study::Scheme s, long N, double th, double dt, double magnitude,
            std::function<bool()> stop)
        : scheme(s),
          p(problem),
          g(study::MakeGrid(problem, N)),
          limiter(*study::LimiterOf(s)),
          theta(th),
          cancelled(std::move(stop)) {
        lambda = dt / (p.rho * g.dx);
        if (theta <= 0) return;
        shift = p.rho * g.dx / (theta * dt);
        share = (1 - theta) / theta;
        // A theta so small (subnormal) that the shift or (1 - theta)/theta
        // is beyond the range of a double has theta lambda below 1 / DBL_MAX:
        // the implicit part of the step, theta lambda B(phi'), is then far
        // below the rounding of phi, and the step is the explicit one. The
        // equations with infinite coefficients would leave phi where it is.
        if (!std::isfinite(shift) || !std::isfinite(share)) {
            theta = shift = share = 0;
            return;
        }
        tolerance = study::TvdTolerance(p, g, magnitude, shift);
    }

    // Returns false when the iterations ran beyond `limit`.
    bool Step(const std::vector<double>& phi, std::vector<double>& next, double limit, long& iterations) {
        if (theta < 1) study::TvdBalance(p, g, limiter, phi, balance);
        next.resize(phi.size());
        if (theta <= 0) {
            for (std::size_t i = 0; i < phi.size(); ++i) next[i] = phi[i] - lambda * balance[i];
            return true;
        }
        extra.resize(phi.size());
        for (std::size_t i = 0; i < phi.size(); ++i) extra[i] = shift * phi[i] - (theta < 1 ? share * balance[i] : 0.0);
        next = phi;
        const study::TvdIterations t =
            study::SolveTvdSystem(p, g, limiter, shift, extra, next, tolerance, study::kMaxTvdIterations, cancelled);
        iterations += t.iterations;
        if (t.converged) return true;
        // A step that runs away is a blow-up; one that stays in range but
        // does not meet its tolerance stops the scheme.
        if (!Within(next, limit)) return false;
        throw Stalled(scheme, g.N, t);
    }
};

// The explicit methods made for the limiters, built of forward-Euler
// stages E(phi) = phi + dt L(phi). A linear scheme's stage is its explicit
// part (L from its rows), a limiter's phi - lambda B(phi) with B the TVD
// balance, its corrections scaled by 1 - c under Lax-Wendroff (where the
// linear schemes are balances too: psi = 1 central, psi = 0 upwind).
struct Stepper::Staged {
    Method method{};
    std::optional<ExplicitPart> part;      // a linear scheme under SSP Runge-Kutta
    std::optional<study::TvdStage> stage;  // a limiter, or a linear scheme under Lax-Wendroff
    double lambda = 0;
    std::vector<double> first, second;  // kept from step to step

    // out = a base + (1 - a) E(in), or E(in) itself for a = 0. Returns
    // false when some |in_i| is beyond `limit` or not finite.
    bool Stage(const std::vector<double>& in, std::vector<double>& out, double limit, const std::vector<double>& base,
               double a) {
        if (stage) return (*stage)(in, lambda, base, a, out, limit);
        if (!part->Apply(in, out, limit)) return false;
        if (a != 0) Mix(base, a, out);
        return true;
    }

    // out = a base + (1 - a) out.
    static void Mix(const std::vector<double>& base, double a, std::vector<double>& out) {
        const double* __restrict w = base.data();
        double* __restrict o = out.data();
        const double keep = 1 - a;
#pragma omp simd
        for (std::size_t i = 0; i < out.size(); ++i) o[i] = a * w[i] + keep * o[i];
    }

    // Shu and Osher's forms: SSPRK2 u1 = E(u), u' = u/2 + E(u1)/2; SSPRK3
    // u1 = E(u), u2 = 3u/4 + E(u1)/4, u' = u/3 + 2 E(u2)/3. Only phi is
    // checked against the limit: a stage that runs away makes a next state
    // that the following step, or the frame, finds beyond it.
    bool Step(const std::vector<double>& phi, std::vector<double>& next, double limit) {
        constexpr double unchecked = std::numeric_limits<double>::infinity();
        switch (method) {
            case Method::Theta:
            case Method::LaxWendroff: return Stage(phi, next, limit, phi, 0);
            case Method::Ssprk2: return Stage(phi, first, limit, phi, 0) && Stage(first, next, unchecked, phi, 0.5);
            case Method::Ssprk3:
                return Stage(phi, first, limit, phi, 0) && Stage(first, second, unchecked, phi, 0.75) &&
                       Stage(second, next, unchecked, phi, 1.0 / 3.0);
        }
        return false;
    }
};

namespace {

double One(double) { return 1; }
double Zero(double) { return 0; }

}  // namespace

namespace {

std::string Unconverged(const study::TvdIterations& t) {
    return "iterations did not converge (" +
           (std::isfinite(t.residual) ? "residual " + Short(t.residual, 2)
                                      : std::string("the residual beyond the range of a double")) +
           " after " + std::to_string(t.iterations) + ")";
}

}  // namespace

Stalled::Stalled(study::Scheme s, long N, const study::TvdIterations& t)
    : study::SolveError(s, N, "a time step's " + Unconverged(t)), reason(Unconverged(t)) {}

Stepper::Stepper(const study::Problem& p, study::Scheme s, long N, Method m, double theta, double dt,
                 double magnitude, std::function<bool()> cancelled) {
    if (!MarchesBy(m, s))
        throw std::invalid_argument(std::string(study::Name(s)) + " cannot be marched by " +
                                    std::string(MethodTitle(m)));
    if (m != Method::Theta) {
        staged_ = std::make_unique<Staged>();
        Staged& st = *staged_;
        st.method = m;
        const study::Grid g = study::MakeGrid(p, N);
        st.lambda = dt / (p.rho * g.dx);
        const double scale = m == Method::LaxWendroff ? 1 - NumbersOf(p, N, dt).courant : 1.0;
        if (const std::optional<study::Limiter> l = study::LimiterOf(s))
            st.stage.emplace(p, g, *l, scale);
        else if (m == Method::LaxWendroff)
            st.stage.emplace(s == study::Scheme::Central ? One : Zero, p, g, scale);
        else
            st.part.emplace(Rows(p, s, N), st.lambda, 1.0);
        return;
    }
    if (IsTvd(s)) {
        bounded_ = std::make_unique<Bounded>(p, s, N, theta, dt, magnitude, std::move(cancelled));
        return;
    }
    const double lambda = dt / (p.rho * p.L / static_cast<double>(N));
    study::Rows rows = Rows(p, s, N);
    linear_ = std::make_unique<Linear>(ExplicitPart(rows, lambda, theta > 0 ? 1.0 - theta : 1.0));
    if (theta <= 0) return;
    linear_->implicit = true;
    const double scale = theta * lambda;
    for (auto* v : {&rows.aWW, &rows.aW, &rows.aP, &rows.aE, &rows.aEE})
        for (double& a : *v) a *= scale;
    for (double& a : rows.aP) a += 1.0;
    std::string why;
    if (!linear_->factors.Factor(rows, why)) throw study::SolveError(s, N, why);
}

Stepper::~Stepper() = default;
Stepper::Stepper(Stepper&&) noexcept = default;

bool Stepper::Step(const std::vector<double>& phi, std::vector<double>& next, double limit) {
    if (staged_) return staged_->Step(phi, next, limit);
    if (bounded_) {
        return Within(phi, limit) && bounded_->Step(phi, next, limit, iterations_);
    }
    Linear& l = *linear_;
    if (!l.part.Apply(phi, next, limit)) return false;
    if (l.implicit) l.factors.Solve(next);
    return true;
}

std::vector<double> SteadySolution(const study::Problem& p, study::Scheme s, long N,
                                   const std::function<bool()>& cancelled) {
    if (IsTvd(s)) {
        // From the upwind solution, as the study starts its own.
        std::vector<double> phi = SteadySolution(p, study::Scheme::Upwind, N);
        const study::Grid g = study::MakeGrid(p, N);
        // The size of phi that a source or a wall sets, besides the ends.
        const auto [least, largest] = study::ExactRange(p);
        const double magnitude = std::isfinite(least) && std::isfinite(largest)
                                     ? std::max(std::fabs(least), std::fabs(largest))
                                     : 0.0;
        const study::TvdIterations t = study::SolveTvdSystem(p, g, *study::LimiterOf(s), 0.0, {}, phi,
                                                             study::TvdTolerance(p, g, magnitude),
                                                             study::kMaxTvdIterations, cancelled);
        if (!t.converged) throw study::SolveError(s, N, "the steady iterations did not converge");
        return phi;
    }
    study::Rows rows = Rows(p, s, N);
    std::vector<double> phi;
    std::string why;
    if (!study::SolveRows(rows, phi, why)) throw study::SolveError(s, N, why);
    return phi;
}

bool Within(const std::vector<double>& phi, double limit) {
    unsigned bad = 0;
    const double* __restrict p = phi.data();
#pragma omp simd reduction(| : bad)
    for (std::size_t i = 0; i < phi.size(); ++i) bad |= unsigned(!(std::fabs(p[i]) <= limit));
    return bad == 0;
}

}  // namespace transient
