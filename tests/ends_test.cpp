// Ends of every kind and a linear source: each scheme converges to the exact
// solution at its order whatever the ends, its face fluxes balance the
// domain to rounding, flow to the left is the mirror image of flow to the
// right, and a periodic run conserves and translates exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <string>

#include "study/fluxes.hpp"
#include "study/rules.hpp"
#include "study/study.hpp"
#include "transient/march.hpp"
#include "transient/run.hpp"

using study::End;
using study::Scheme;

namespace {

struct EndPair {
    const char* name;
    End left, right;
    double su, sp;
};

// The chapter's problems and each kind of end on each side, at a domain
// Peclet number of 2 (u = 0.2, Gamma = 0.1), so that every grid from 20
// volumes has |cell Pe| below 2 and hybrid is central.
const EndPair kPairs[] = {
    {"value/value + source", End::Fixed(1), End::Fixed(0), 2, -1},
    {"value/gradient", End::Fixed(1), End::Slope(-0.5), 0, 0},
    {"value/outflow + sink", End::Fixed(1), End::Outflow(), 0, -3},
    {"value/robin", End::Fixed(0.5), End::Robin(4, 0.2), 1, 0},
    {"gradient/value", End::Slope(0.7), End::Fixed(0), 1, 0},
    {"robin/value", End::Robin(3, 1), End::Fixed(0), 0, -1},
    {"robin/robin + source", End::Robin(2, 1), End::Robin(5, 0), 3, -0.5},
    {"gradient/robin", End::Slope(-1), End::Robin(1, 0.3), 0, 0},
    {"robin/gradient + sink", End::Robin(2, 0), End::Slope(1), 1, -2},
    {"gradient/gradient + sink", End::Slope(1), End::Slope(-1), 0.5, -1},
};

study::Problem ProblemOf(const EndPair& e, double u) {
    study::Problem p;
    p.left = e.left, p.right = e.right, p.su = e.su, p.sp = e.sp;
    p.u = u;
    return p;
}

// The schemes' observed RMS orders between the two finest of 20..320
// volumes, against the least each must show.
struct Expected {
    Scheme scheme;
    double least, most;
};
const Expected kOrders[] = {
    {Scheme::Central, 1.9, 2.1},     {Scheme::Hybrid, 1.9, 2.1},  {Scheme::Upwind, 0.9, 1.1},
    {Scheme::Quick, 1.8, 3.2},       {Scheme::PowerLaw, 0.8, 2.1}, {Scheme::Exponential, 0.8, 2.1},
    {Scheme::VanLeer, 1.8, 2.2},     {Scheme::MinMod, 1.8, 2.2},  {Scheme::Superbee, 1.8, 2.2},
    {Scheme::QuickLimited, 1.8, 2.2}, {Scheme::Koren, 1.8, 2.2},
};

}  // namespace

TEST(Ends, EverySchemeConvergesAtItsOrderForEveryPairOfEnds) {
    for (const EndPair& pair : kPairs)
        for (double u : {0.2, -0.2}) {
            const study::Problem p = ProblemOf(pair, u);
            ASSERT_FALSE(study::Unusable(p, study::Use::Steady)) << pair.name;
            study::Plan plan;
            plan.N = 20;
            plan.refine = 4;
            plan.schemes.clear();
            for (const Expected& e : kOrders) plan.schemes.push_back(e.scheme);
            const study::Study st = study::Run(p, plan);
            for (std::size_t s = 0; s < plan.schemes.size(); ++s) {
                const study::Result& finest = st.results[s].back();
                ASSERT_TRUE(finest.orderRms.has_value()) << pair.name;
                EXPECT_GE(*finest.orderRms, kOrders[s].least)
                    << pair.name << " u = " << u << " " << study::Name(kOrders[s].scheme);
                EXPECT_LE(*finest.orderRms, kOrders[s].most)
                    << pair.name << " u = " << u << " " << study::Name(kOrders[s].scheme);
                EXPECT_LT(finest.maxError, 0.5 * st.results[s].front().maxError + 1e-12)
                    << pair.name << " " << study::Name(kOrders[s].scheme);
            }
        }
}

TEST(Ends, FaceFluxesBalanceTheDomainToRounding) {
    for (const EndPair& pair : kPairs)
        for (double u : {0.2, -0.5})
            for (Scheme s : study::kAllSchemes)
                for (long N : {3L, 17L}) {
                    const study::Problem p = ProblemOf(pair, u);
                    const std::vector<double> exact = study::ExactAtNodes(p, study::MakeGrid(p, N));
                    const study::Result r = study::Solve(p, s, N, exact);
                    const std::vector<study::FaceFlux> faces = study::FaceFluxes(p, s, r.grid, r.phi);
                    ASSERT_EQ(faces.size(), std::size_t(N + 1));
                    const study::FluxBalance b = study::BalanceOf(p, r.grid, faces, r.phi);
                    const double scale = std::fabs(b.in) + std::fabs(b.out) + std::fabs(b.source) + 1e-3;
                    EXPECT_LE(std::fabs(b.leftover), 1e-11 * scale)
                        << pair.name << " u = " << u << " " << study::Name(s) << " N = " << N;
                    // Every cell balances too: the fluxes are the ones the rows use.
                    for (long i = 0; i < N; ++i) {
                        const double cell = faces[std::size_t(i)].total - faces[std::size_t(i + 1)].total +
                                            (p.su + p.sp * r.phi[std::size_t(i)]) * r.grid.dx;
                        EXPECT_LE(std::fabs(cell), 1e-11 * scale)
                            << pair.name << " u = " << u << " " << study::Name(s) << " node " << i + 1;
                    }
                    EXPECT_DOUBLE_EQ(faces.front().x, 0.0);
                    EXPECT_DOUBLE_EQ(faces.back().x, p.L);
                }
}

TEST(Ends, FlowToTheLeftIsTheMirrorImage) {
    // x -> L - x: the ends change places and their gradients change sign.
    auto turned = [](End e) {
        if (e.kind == study::EndKind::Gradient) e.value = -e.value;
        return e;
    };
    for (const EndPair& pair : kPairs)
        for (Scheme s : study::kAllSchemes) {
            const long N = 9;
            study::Problem right = ProblemOf(pair, 0.7), left = right;
            left.u = -0.7;
            left.left = turned(right.right), left.right = turned(right.left);
            const study::Result a = study::Solve(right, s, N, study::ExactAtNodes(right, study::MakeGrid(right, N)));
            const study::Result b = study::Solve(left, s, N, study::ExactAtNodes(left, study::MakeGrid(left, N)));
            for (long i = 0; i < N; ++i)
                EXPECT_NEAR(a.phi[std::size_t(i)], b.phi[std::size_t(N - 1 - i)],
                            1e-11 * std::max(1.0, std::fabs(a.phi[std::size_t(i)])))
                    << pair.name << " " << study::Name(s) << " node " << i + 1;
        }
}

TEST(Ends, TheRulesSayWhatIsWrong) {
    auto fault = [](study::Problem p, study::Use use) {
        const auto f = study::Unusable(p, use);
        return f ? f->input + ": " + f->reason : std::string();
    };
    study::Problem p;
    EXPECT_EQ(fault(p, study::Use::Steady), "");
    p.sp = 1;
    EXPECT_EQ(fault(p, study::Use::Steady).rfind("sp: Sp must be 0 or below", 0), 0u);
    p.sp = 0, p.left = End::Outflow(), p.right = End::Slope(2);
    EXPECT_NE(fault(p, study::Use::Steady).find("no unique solution"), std::string::npos);
    EXPECT_EQ(fault(p, study::Use::Transient), "");  // a time run needs no steady state
    p.sp = -0.1;
    EXPECT_EQ(fault(p, study::Use::Steady), "");
    p = {}, p.right = End::Robin(0, 1);
    EXPECT_EQ(fault(p, study::Use::Steady).rfind("right: Robin's H must be above 0", 0), 0u);
    p = {}, p.gamma = 0;
    EXPECT_EQ(fault(p, study::Use::Steady).rfind("gamma:", 0), 0u);
    EXPECT_EQ(fault(p, study::Use::Transient), "");
    p = {}, p.periodic = true;
    EXPECT_EQ(fault(p, study::Use::Steady).rfind("periodic: a periodic domain is for time runs only", 0), 0u);
}

namespace {

transient::Plan PeriodicPlan(Scheme s, transient::Method m, double theta, double c) {
    transient::Plan plan;
    plan.N = 40;
    plan.problem.periodic = true;
    plan.problem.u = 1;
    plan.problem.gamma = 0;
    plan.schemes = {s};
    plan.method = m;
    plan.theta = theta;
    plan.dt = c / double(plan.N);
    plan.tEnd = 2.0;  // twice round the domain
    plan.frames = 4;
    plan.initial = transient::Initial(transient::Shape::Square, 0.2, 0.45);
    return plan;
}

}  // namespace

TEST(Periodic, EverySchemeConservesTheTotalOfPhi) {
    struct Case {
        Scheme scheme;
        transient::Method method;
        double theta, c, gamma;
    };
    const Case cases[] = {
        {Scheme::Upwind, transient::Method::Theta, 0, 0.8, 0},
        {Scheme::Central, transient::Method::Theta, 0.5, 0.8, 0.01},
        {Scheme::Quick, transient::Method::Theta, 1, 2.0, 0},
        {Scheme::Hybrid, transient::Method::Theta, 1, 0.5, 0.01},
        {Scheme::VanLeer, transient::Method::Ssprk3, 0, 0.8, 0},
        {Scheme::Superbee, transient::Method::LaxWendroff, 0, 0.8, 0},
        {Scheme::MinMod, transient::Method::Theta, 1, 1.5, 0.005},
        {Scheme::Koren, transient::Method::Theta, 0.5, 0.5, 0},
    };
    for (const Case& k : cases) {
        transient::Plan plan = PeriodicPlan(k.scheme, k.method, k.theta, k.c);
        plan.problem.gamma = k.gamma;
        double first = 0;
        bool seen = false;
        transient::Callbacks cb;
        cb.frame = [&](const transient::Frame& f) {
            const double total = std::accumulate(f.phi.begin(), f.phi.end(), 0.0);
            if (!seen) first = total, seen = true;
            EXPECT_NEAR(total, first, 1e-11) << study::Name(k.scheme) << " frame " << f.index;
        };
        transient::Run run(plan);
        const transient::Outcome out = run.Go(cb);
        EXPECT_FALSE(out.schemes[0].blewUp) << study::Name(k.scheme);
        EXPECT_GT(first, 0);
    }
}

TEST(Periodic, UpwindAtCourantOneTranslatesExactlyAndComesBackIn) {
    // Each step moves every value one cell on, the last cell's into the first.
    transient::Plan plan = PeriodicPlan(Scheme::Upwind, transient::Method::Theta, 0, 1.0);
    transient::Stepper stepper(plan.problem, Scheme::Upwind, plan.N, plan.method, 0, plan.dt);
    const study::Grid g = study::MakeGrid(plan.problem, plan.N);
    std::vector<double> phi(std::size_t(plan.N)), next;
    for (long i = 1; i <= plan.N; ++i) phi[std::size_t(i - 1)] = transient::InitialValue(plan.problem, plan.initial, g.x(i));
    const std::vector<double> start = phi;
    for (long step = 1; step <= plan.N; ++step) {
        ASSERT_TRUE(stepper.Step(phi, next, 1e6));
        for (long i = 0; i < plan.N; ++i)
            ASSERT_EQ(next[std::size_t(i)], phi[std::size_t((i + plan.N - 1) % plan.N)]) << "step " << step;
        phi.swap(next);
    }
    EXPECT_EQ(phi, start);  // once round the domain
    // The exact reference, moved round the domain, is the initial state again.
    for (long i = 1; i <= plan.N; ++i)
        EXPECT_NEAR(transient::ExactValue(plan.problem, plan.initial, g.x(i), 1.0),
                    transient::InitialValue(plan.problem, plan.initial, g.x(i)), 1e-12);
}
