// The bounded schemes' library: each limiter against its table, the
// balance that reduces to the central and upwind rows, the mirror image for
// flow to the left, and the solve, steady or with a time step's shift.
#include "study/tvd.hpp"
#include "fixed_ends.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "study/csv.hpp"
#include "study/rows.hpp"
#include "study/study.hpp"
#include "test_support.hpp"

using study::Limiter;

namespace {

study::Grid GridAt(double F, double D, long N) {
    study::Grid g;
    g.N = N;
    g.dx = 1.0 / double(N);
    g.F = F;
    g.D = D;
    g.Pe = F / D;
    return g;
}

// rows phi - Su, node by node.
std::vector<double> RowsTimes(const study::Rows& r, const std::vector<double>& phi) {
    std::vector<double> out(phi.size());
    for (std::size_t k = 0; k < phi.size(); ++k) {
        out[k] = r.aP[k] * phi[k] - r.Su[k];
        if (k > 0) out[k] += r.aW[k] * phi[k - 1];
        if (k + 1 < phi.size()) out[k] += r.aE[k] * phi[k + 1];
    }
    return out;
}

std::vector<double> Random(long N, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> value(-2.0, 3.0);
    std::vector<double> phi(static_cast<std::size_t>(N));
    for (double& v : phi) v = value(gen);
    return phi;
}

double One(double) { return 1.0; }
double Zero(double) { return 0.0; }

}  // namespace

TEST(Limiters, EachPsiAsItsTableWritesIt) {
    struct Case {
        Limiter l;
        double r, psi;
    };
    const Case cases[] = {
        {Limiter::MinMod, 0.5, 0.5},          {Limiter::MinMod, 3, 1},
        {Limiter::VanLeer, 1, 1},             {Limiter::VanLeer, 3, 1.5},
        {Limiter::VanAlbada, 2, 1.2},         {Limiter::VanAlbada, 0.5, 0.6},
        {Limiter::Superbee, 0.25, 0.5},       {Limiter::Superbee, 0.75, 1},
        {Limiter::Superbee, 1.5, 1.5},        {Limiter::Superbee, 4, 2},
        {Limiter::MC, 0.25, 0.5},             {Limiter::MC, 2, 1.5},
        {Limiter::MC, 5, 2},                  {Limiter::Koren, 0.25, 0.5},
        {Limiter::Koren, 1, 1},               {Limiter::Koren, 7, 2},
        {Limiter::Ospre, 1, 1},               {Limiter::Ospre, 2, 1.5 * 6 / 7},
        {Limiter::Umist, 0.1, 0.2},           {Limiter::Umist, 0.6, 0.7},
        {Limiter::Umist, 3, 1.5},             {Limiter::Umist, 6, 2},
        {Limiter::QuickLimited, 0.2, 0.4},    {Limiter::QuickLimited, 1, 1},
        {Limiter::QuickLimited, 9, 2},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(study::Psi(c.l, c.r), c.psi, 1e-15) << study::Name(study::SchemeOf(c.l)) << " r = " << c.r;
    for (Limiter l : study::kLimiters) {
        const std::string name(study::Name(study::SchemeOf(l)));
        for (double r : {-1e300, -2.0, -1e-9, 0.0}) EXPECT_EQ(study::Psi(l, r), 0.0) << name << " r = " << r;
        EXPECT_NEAR(study::Psi(l, 1.0), 1.0, 1e-15) << name;  // second order: every limiter passes (1, 1)
        const double far = study::Psi(l, HUGE_VAL);
        EXPECT_TRUE(far >= 1 && far <= 2) << name << " " << far;
        EXPECT_EQ(study::LimiterOf(study::SchemeOf(l)), l);
    }
    EXPECT_EQ(study::LimiterOf(study::Scheme::Quick), std::nullopt);
}

TEST(Balance, PsiOneIsTheCentralSchemeAndPsiZeroTheUpwindEndRowsIncluded) {
    for (long N : {1L, 2L, 3L, 9L})
        for (double F : {0.7, -0.7, 0.0}) {
            const study::Grid g = GridAt(F, 0.3, N);
            const std::vector<double> phi = Random(N, unsigned(N));
            for (const auto& [psi, scheme] : {std::pair{&One, study::Scheme::Central}, {&Zero, study::Scheme::Upwind}}) {
                std::vector<double> balance;
                study::TvdBalanceWith(psi, FixedEnds(1.5, -0.5), g, phi, balance);
                const std::vector<double> rows = RowsTimes(study::Assemble(FixedEnds(1.5, -0.5), g, scheme), phi);
                ASSERT_EQ(balance.size(), rows.size());
                for (std::size_t k = 0; k < rows.size(); ++k)
                    EXPECT_NEAR(balance[k], rows[k], 1e-13)
                        << study::Name(scheme) << " N = " << N << " F = " << F << " node " << k + 1;
            }
        }
}

TEST(Balance, EveryLimiterIsCentralOnAStraightLineThroughTheEndValues) {
    // r = 1 at every face, the two mirror faces included.
    const long N = 6;
    const study::Grid g = GridAt(2.0, 0.5, N);
    std::vector<double> line;
    for (long i = 1; i <= N; ++i) line.push_back(1.0 - 3.0 * g.x(i));
    const std::vector<double> central = RowsTimes(study::Assemble(FixedEnds(1.0, -2.0), g, study::Scheme::Central), line);
    for (Limiter l : study::kLimiters) {
        std::vector<double> balance;
        study::TvdBalance(FixedEnds(1.0, -2.0), g, l, line, balance);
        for (std::size_t k = 0; k < balance.size(); ++k)
            EXPECT_NEAR(balance[k], central[k], 1e-13) << study::Name(study::SchemeOf(l)) << " node " << k + 1;
    }
}

TEST(Solve, ConvergesToAZeroBalanceAndReversedFlowGivesTheMirrorImage) {
    for (Limiter l : study::kLimiters)
        for (double pe : {0.3, 5.0, 50.0}) {
            const long N = 12;
            const study::Grid right = GridAt(pe * 0.2, 0.2, N), left = GridAt(-pe * 0.2, 0.2, N);
            std::vector<double> a(N, 0.0), b(N, 0.0);
            const auto ta = study::SolveTvdSystem(FixedEnds(1.0, 0.25), right, l, 0, {}, a, 1e-13, 500);
            const auto tb = study::SolveTvdSystem(FixedEnds(0.25, 1.0), left, l, 0, {}, b, 1e-13, 500);
            const std::string name(study::Name(study::SchemeOf(l)));
            ASSERT_TRUE(ta.converged && tb.converged) << name << " Pe = " << pe;
            EXPECT_EQ(ta.iterations, tb.iterations) << name;
            std::vector<double> balance;
            study::TvdBalance(FixedEnds(1.0, 0.25), right, l, a, balance);
            for (std::size_t k = 0; k < a.size(); ++k) {
                EXPECT_LE(std::fabs(balance[k]), 1e-13) << name << " Pe = " << pe << " node " << k + 1;
                EXPECT_EQ(a[k], b[N - 1 - k]) << name << " Pe = " << pe << " node " << k + 1;
                EXPECT_TRUE(a[k] >= 0.25 - 1e-15 && a[k] <= 1.0 + 1e-15) << name << " Pe = " << pe << ": " << a[k];
            }
        }
}

TEST(Solve, TimeStepShiftAndExtraRightHandSide) {
    // TvdBalance(phi) + shift phi = extra, from a guess far from the answer.
    for (double F : {3.0, -3.0})
        for (Limiter l : {Limiter::Superbee, Limiter::VanLeer, Limiter::MinMod}) {
            const long N = 20;
            const study::Grid g = GridAt(F, 0.1, N);
            const double shift = 4.0;
            const std::vector<double> extra = Random(N, 7);
            std::vector<double> phi = Random(N, 8);
            const auto t = study::SolveTvdSystem(FixedEnds(0.0, 1.0), g, l, shift, extra, phi, 1e-12, 100);
            ASSERT_TRUE(t.converged) << t.residual;
            EXPECT_LE(t.residual, 1e-12);
            std::vector<double> balance;
            study::TvdBalance(FixedEnds(0.0, 1.0), g, l, phi, balance);
            for (std::size_t k = 0; k < phi.size(); ++k)
                EXPECT_NEAR(balance[k] + shift * phi[k], extra[k], 1e-12) << "F = " << F << " node " << k + 1;
        }
}

TEST(Solve, StopsAtItsCapAndSaysSo) {
    const study::Grid g = GridAt(10.0, 0.2, 40);
    std::vector<double> phi(40, 0.0);
    const auto t = study::SolveTvdSystem(FixedEnds(1.0, 0.0), g, Limiter::Superbee, 0, {}, phi, 1e-12, 1);
    EXPECT_FALSE(t.converged);
    EXPECT_EQ(t.iterations, 1);
    EXPECT_GT(t.residual, 1e-12);
    // A guess that already solves the equations takes no iteration.
    const auto again = study::SolveTvdSystem(FixedEnds(1.0, 0.0), g, Limiter::Superbee, 0, {}, phi, 1e-12, 500);
    ASSERT_TRUE(again.converged);
    EXPECT_EQ(study::SolveTvdSystem(FixedEnds(1.0, 0.0), g, Limiter::Superbee, 0, {}, phi, 1e-12, 500).iterations, 0);
    // Values that do not match the grid are refused, not read past.
    std::vector<double> few(39, 0.0), balance;
    EXPECT_THROW(study::SolveTvdSystem(FixedEnds(1.0, 0.0), g, Limiter::MC, 0, {}, few, 1e-12, 5), std::invalid_argument);
    EXPECT_THROW(study::SolveTvdSystem(FixedEnds(1.0, 0.0), g, Limiter::MC, 1, few, phi, 1e-12, 5), std::invalid_argument);
    EXPECT_THROW(study::TvdBalance(FixedEnds(1.0, 0.0), g, Limiter::MC, few, balance), std::invalid_argument);
    EXPECT_THROW(study::LimitedFaces(FixedEnds(1.0, 0.0), g, Limiter::MC, {}), std::invalid_argument);
}

TEST(Faces, EveryLimitedFaceWithItsRAndPsiInOrderOfX) {
    const long N = 5;
    const std::vector<double> phi{1.0, 0.9, 0.9, 0.5, 0.2};
    for (double F : {1.0, -1.0}) {
        const study::Grid g = GridAt(F, 0.5, N);
        const std::vector<study::Face> faces = study::LimitedFaces(FixedEnds(1.0, 0.0), g, Limiter::VanLeer, phi);
        // Flow to the right: faces at x = 0.2 .. 1 (the outflow face), the
        // one between the equal nodes 2 and 3 left out.
        if (F > 0) {
            ASSERT_EQ(faces.size(), 4u);
            EXPECT_NEAR(faces[0].x, 0.2, 1e-15);
            EXPECT_NEAR(faces[0].r, (1.0 - (2 * 1.0 - 1.0)) / (0.9 - 1.0), 1e-15);
            EXPECT_NEAR(faces[1].x, 0.6, 1e-15);
            EXPECT_NEAR(faces[1].r, 0.0, 1e-15);
            EXPECT_NEAR(faces[3].x, 1.0, 1e-15);
            EXPECT_NEAR(faces[3].r, (0.2 - 0.5) / (2 * 0.0 - 0.2 - 0.2), 1e-15);
        } else {
            // Flow to the left: the outflow face at x = 0 has phi_D = phi_U
            // (its mirror node 2 phiA - phi_1 = phi_1), and so has x = 0.4.
            ASSERT_EQ(faces.size(), 3u);
            EXPECT_NEAR(faces[0].x, 0.2, 1e-15);
            EXPECT_NEAR(faces[0].r, 0.0, 1e-15);
            EXPECT_NEAR(faces[2].x, 0.8, 1e-15);
            EXPECT_NEAR(faces[2].r, (0.2 - (2 * 0.0 - 0.2)) / (0.5 - 0.2), 1e-15);
        }
        for (const study::Face& f : faces) EXPECT_EQ(f.psi, study::Psi(Limiter::VanLeer, f.r));
        for (std::size_t k = 1; k < faces.size(); ++k) EXPECT_LT(faces[k - 1].x, faces[k].x);
    }
}

namespace {

study::Problem AtPeclet(double pe, long N) {
    study::Problem p;
    p.u = pe * p.gamma * double(N) / (p.rho * p.L);
    return p;
}

study::Result SolveAt(const study::Problem& p, study::Scheme s, long N, int cap = study::kMaxTvdIterations) {
    return study::Solve(p, s, N, study::ExactAtNodes(p, study::MakeGrid(p, N)), cap);
}

}  // namespace

TEST(Study, EveryLimiterBoundedWhereCentralAndQuickOscillate) {
    for (double pe : {5.0, 10.0, 50.0, -5.0, -10.0, -50.0}) {
        const study::Problem p = AtPeclet(pe, 20);
        EXPECT_FALSE(SolveAt(p, study::Scheme::Central, 20).bounded) << pe;
        EXPECT_FALSE(SolveAt(p, study::Scheme::Quick, 20).bounded) << pe;
        for (study::Scheme s : study::kTvdSchemes) {
            const study::Result r = SolveAt(p, s, 20);
            EXPECT_TRUE(r.bounded) << study::Name(s) << " Pe = " << pe << ": " << r.phiMin << " .. " << r.phiMax;
            EXPECT_FALSE(r.NegativeCoefficients()) << study::Name(s);
            ASSERT_TRUE(r.iterations.has_value());
            EXPECT_LT(*r.iterations, 20) << study::Name(s) << " Pe = " << pe;
        }
    }
    EXPECT_FALSE(SolveAt(AtPeclet(5, 20), study::Scheme::Upwind, 20).iterations.has_value());
}

TEST(Study, EveryLimiterTendsToSecondOrderAtSmallPeclet) {
    study::Plan plan;
    plan.schemes.assign(study::kTvdSchemes.begin(), study::kTvdSchemes.end());
    plan.N = 20;
    plan.refine = 4;
    study::Problem p;
    p.u = 0.5;  // cell Pe 0.25 down to 0.016
    const study::Study st = study::Run(p, plan);
    for (const auto& perScheme : st.results) {
        const study::Result& finest = perScheme.back();
        ASSERT_TRUE(finest.orderMax && finest.orderRms);
        EXPECT_NEAR(*finest.orderMax, 2.0, 0.1) << study::Name(finest.scheme);
        EXPECT_NEAR(*finest.orderRms, 2.0, 0.1) << study::Name(finest.scheme);
    }
}

TEST(Study, BoundedSchemesConvergeWithANegativeLengthOrDiffusionAtRest) {
    // u = 0 makes F = 0: the tolerance then comes from |D| alone, which is
    // negative D itself when L or Gamma is.
    for (const auto& [L, gamma] : {std::pair{-1.0, 0.1}, {1.0, -0.1}, {-1.0, -0.1}}) {
        study::Problem p;
        p.u = 0;
        p.L = L;
        p.gamma = gamma;
        study::Plan plan;
        plan.schemes.assign(study::kTvdSchemes.begin(), study::kTvdSchemes.end());
        EXPECT_NO_THROW(study::Run(p, plan)) << "L = " << L << ", Gamma = " << gamma;
    }
}

TEST(Study, ANonConvergedSolveFailsNamingSchemeNAndResidual) {
    const std::string message = testing_support::MessageOf<study::SolveError>(
        [&] { SolveAt(AtPeclet(5, 40), study::Scheme::Superbee, 40, 1); });
    EXPECT_EQ(message.rfind("superbee at N = 40 did not converge in 1 iteration (residual ", 0), 0u) << message;
    EXPECT_EQ(message.find("e-0"), std::string::npos) << message;
    study::Plan plan;
    plan.schemes = {study::Scheme::Upwind, study::Scheme::VanLeer};
    plan.maxIterations = 2;
    plan.N = 40;
    EXPECT_THROW(study::Run(AtPeclet(5, 40), plan), study::SolveError);
}

TEST(Study, ErrorsTableCountsTheIterationsOfTheBoundedSchemesOnly) {
    study::Plan plan;
    plan.schemes = {study::Scheme::Central, study::Scheme::MinMod};
    const study::Study st = study::Run(AtPeclet(5, 5), plan);
    const std::string errors = study::csv::ErrorsTable(st);
    const std::size_t central = errors.find("\ncentral,"), minmod = errors.find("\nminmod,");
    ASSERT_NE(minmod, std::string::npos) << errors;
    EXPECT_EQ(errors.substr(minmod - 6, 7), ",true,\n") << "central: negative coefficients and no iterations";
    const std::string end = ",false," + std::to_string(*st.results[1][0].iterations) + "\n";
    EXPECT_EQ(errors.substr(errors.size() - end.size()), end);
    EXPECT_LT(central, minmod);
}
