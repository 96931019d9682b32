// The explicit methods made for the limiters: flux-limited Lax-Wendroff
// stays bounded and is the classical step for psi = 1, SSP Runge-Kutta has
// its order in time and keeps the variation down, and the summed initial
// states and the L1 error.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "study/tvd.hpp"
#include "transient/march.hpp"
#include "transient/run.hpp"

using study::Scheme;
using transient::Method;

namespace {

// u (m/s), rho = 1, L = 1 on N volumes, phiA = phiB = 0.
study::Problem Flow(double u, double gamma) {
    study::Problem p;
    p.u = u;
    p.gamma = gamma;
    p.left = study::End::Fixed(0);
    p.right = study::End::Fixed(0);
    return p;
}

std::vector<double> Sampled(const study::Problem& p, long N, const transient::Initial& s) {
    const study::Grid g = study::MakeGrid(p, N);
    std::vector<double> phi(std::size_t(N), 0.0);
    for (long i = 1; i <= N; ++i) phi[std::size_t(i - 1)] = transient::InitialValue(p, s, g.x(i));
    return phi;
}

// phi after `steps` steps of dt.
std::vector<double> Marched(const study::Problem& p, Scheme s, long N, Method m, double dt, long steps,
                            std::vector<double> phi) {
    transient::Stepper stepper(p, s, N, m, 0.0, dt);
    std::vector<double> next;
    for (long k = 0; k < steps; ++k) {
        EXPECT_TRUE(stepper.Step(phi, next, 1e6));
        phi.swap(next);
    }
    return phi;
}

double MaxDifference(const std::vector<double>& a, const std::vector<double>& b) {
    double worst = 0;
    for (std::size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::fabs(a[i] - b[i]));
    return worst;
}

}  // namespace

TEST(LaxWendroff, EveryLimiterKeepsASquareWithinItsBoundsAtCourant08) {
    const long N = 1000;
    const study::Problem p = Flow(1, 0);
    const double dt = 0.8 / double(N);
    for (study::Limiter l : study::kLimiters) {
        const Scheme s = study::SchemeOf(l);
        transient::Stepper stepper(p, s, N, Method::LaxWendroff, 0.0, dt);
        std::vector<double> phi = Sampled(p, N, {transient::Shape::Square, 0.05, 0.15}), next;
        double lo = 0, hi = 1;
        for (int k = 0; k < 1000; ++k) {
            ASSERT_TRUE(stepper.Step(phi, next, 1e6));
            phi.swap(next);
            for (double v : phi) lo = std::min(lo, v), hi = std::max(hi, v);
        }
        EXPECT_GE(lo, -1e-12) << study::Name(s);
        EXPECT_LE(hi, 1 + 1e-12) << study::Name(s);
        EXPECT_GT(*std::max_element(phi.begin(), phi.end()), 0.5) << study::Name(s) << ": the square got lost";
    }
}

// psi = 1 is the classical Lax-Wendroff step plus explicit central
// diffusion, psi = 0 the upwind step, in the interior, either way of flow:
//   phi_i - nu/2 (phi_(i+1) - phi_(i-1)) + (nu^2/2 + d)(phi_(i+1) - 2 phi_i + phi_(i-1)).
TEST(LaxWendroff, LinearSchemesAreTheClassicalUpdatesInTheInterior) {
    struct Case {
        Scheme s;
        double u, gamma, dt;
    };
    const long N = 40;
    const Case cases[] = {{Scheme::Central, 1, 0, 0.02},      {Scheme::Central, 1, 0.01, 0.01},
                          {Scheme::Central, -0.7, 0.005, 0.02}, {Scheme::Upwind, 1, 0.01, 0.015},
                          {Scheme::Upwind, -1, 0, 0.02}};
    std::vector<double> phi(N);
    for (long i = 0; i < N; ++i) phi[std::size_t(i)] = std::sin(0.3 * double(i)) + 0.01 * double(i * i % 7);
    for (const Case& c : cases) {
        const study::Problem p = Flow(c.u, c.gamma);
        const double dx = 1.0 / double(N), nu = c.u * c.dt / dx, d = c.gamma * c.dt / (dx * dx);
        const std::vector<double> next = Marched(p, c.s, N, Method::LaxWendroff, c.dt, 1, phi);
        for (long i = 2; i + 2 < N; ++i) {
            const double w = phi[std::size_t(i - 1)], P = phi[std::size_t(i)], e = phi[std::size_t(i + 1)];
            const double expected = c.s == Scheme::Central
                                        ? P - nu / 2 * (e - w) + (nu * nu / 2 + d) * (e - 2 * P + w)
                                        : P - (nu > 0 ? nu * (P - w) : nu * (e - P)) + d * (e - 2 * P + w);
            EXPECT_NEAR(next[std::size_t(i)], expected, 1e-13) << study::Name(c.s) << " u " << c.u << " node " << i;
        }
    }
}

// On a fixed grid the error against a much finer step of the same
// semi-discrete system falls as dt^order.
TEST(SspRungeKutta, HasItsOrderInTime) {
    const long N = 50;
    const study::Problem p = Flow(1, 0.01);
    const std::vector<double> phi0 = Sampled(p, N, {transient::Shape::Pulse, 0.3, 0.08});
    const double tEnd = 0.2, dt = 0.01;  // c = 0.5, d = 0.25
    for (Scheme s : {Scheme::Central, Scheme::Quick}) {
        const std::vector<double> reference = Marched(p, s, N, Method::Ssprk3, dt / 256, 256 * 20, phi0);
        for (auto [m, order] : {std::pair{Method::Ssprk2, 2.0}, std::pair{Method::Ssprk3, 3.0}}) {
            double previous = 0;
            for (long halvings = 0; halvings < 3; ++halvings) {
                const long steps = std::lround(tEnd / dt) << halvings;
                const double error =
                    MaxDifference(Marched(p, s, N, m, tEnd / double(steps), steps, phi0), reference);
                if (halvings > 0) {
                    EXPECT_NEAR(std::log2(previous / error), order, 0.2)
                        << study::Name(s) << " " << transient::MethodName(m) << " halvings " << halvings;
                }
                previous = error;
            }
        }
    }
}

// Within the forward-Euler TVD bound, c (1 + beta/2) <= 1, the run's own
// record of every step shows no growth of the total variation.
TEST(SspRungeKutta, WithALimiterNeverIncreasesTheVariationOfASquare) {
    transient::Plan plan;
    plan.problem = Flow(1, 0);
    plan.N = 200;
    plan.method = Method::Ssprk3;
    plan.dt = 0.45 / 200;  // c = 0.45, beta = 2 at most
    plan.tEnd = 0.45;
    plan.frames = 200;  // every step a frame
    plan.initial = {transient::Shape::Square, 0.1, 0.3};
    plan.schemes.assign(study::kTvdSchemes.begin(), study::kTvdSchemes.end());
    transient::Callbacks cb;
    long frames = 0;
    cb.frame = [&](const transient::Frame& f) {
        ++frames;
        EXPECT_FALSE(f.stats.variationGrew) << study::Name(f.scheme) << " at step " << f.step;
        EXPECT_LE(f.stats.totalVariation, 2 + 1e-12) << study::Name(f.scheme) << " at step " << f.step;
    };
    transient::Run run(plan);
    const transient::Outcome out = run.Go(cb);
    EXPECT_EQ(frames, 201 * long(study::kTvdSchemes.size()));
    for (const transient::SchemeOutcome& s : out.schemes) EXPECT_FALSE(s.blewUp) << study::Name(s.scheme);
}

TEST(InitialState, ASumsValueAndExactReferenceAreTheSumsOfItsTerms) {
    study::Problem p = Flow(0.5, 0.01);
    const transient::Initial pulse{transient::Shape::Pulse, 0.3, 0.05}, square{transient::Shape::Square, 0.6, 0.8},
        level{transient::Shape::Uniform, 0.25};
    transient::Initial sum = pulse;
    sum.terms.push_back(square.terms[0]);
    sum.terms.push_back(level.terms[0]);
    EXPECT_EQ(transient::Text(sum), "pulse:0.3:0.05+square:0.6:0.8+uniform:0.25");
    EXPECT_TRUE(transient::HasExact(sum));
    EXPECT_FALSE(transient::HasExact(level));
    for (double x : {0.0, 0.3, 0.61, 0.7, 0.95})
        EXPECT_DOUBLE_EQ(transient::InitialValue(p, sum, x),
                         transient::InitialValue(p, pulse, x) + transient::InitialValue(p, square, x) + 0.25);
    for (double t : {0.0, 0.2, 1.0})
        for (double x : {0.1, 0.4, 0.75})
            EXPECT_DOUBLE_EQ(transient::ExactValue(p, sum, x, t), transient::ExactValue(p, pulse, x, t) +
                                                                      transient::ExactValue(p, square, x, t) + 0.25);
}

TEST(FrameStats, TheL1ErrorIsDxTimesTheSumOfTheErrors) {
    study::Problem p;  // L = 1
    const std::vector<double> phi{1, 2, 3, 4}, exact{1, 2.5, 2, 4};
    const transient::FrameStats st = transient::StatsOf(p, phi, &exact, nullptr, -1);
    EXPECT_DOUBLE_EQ(*st.l1Error, 0.25 * 1.5);
    EXPECT_DOUBLE_EQ(*st.maxError, 1);
    EXPECT_FALSE(transient::StatsOf(p, phi, nullptr, nullptr, -1).l1Error);
}
