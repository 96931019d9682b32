// The scheme study against what must hold: the exponential scheme is exact,
// every scheme is symmetric under reversing the flow, the shared rows are
// the window's, and the orders of accuracy come out as the textbooks say.
#include "study/study.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "schemes/schemes.hpp"
#include "study/csv.hpp"
#include "study/warnings.hpp"
#include "test_support.hpp"

using study::Scheme;

namespace {

// The default problem with the velocity that gives cell Peclet number `pe`
// on N control volumes.
study::Problem AtPeclet(double pe, long N) {
    study::Problem p;
    p.u = pe * p.gamma * double(N) / (p.rho * p.L);
    return p;
}

study::Result SolveAt(const study::Problem& p, Scheme s, long N) {
    return study::Solve(p, s, N, study::ExactAtNodes(p, study::MakeGrid(p, N)));
}

}  // namespace

TEST(Exact, FiniteEverywhereAndRightAtTheEnds) {
    for (double P : {-1e6, -700.0, -1.0, -1e-10, 0.0, 1e-10, 1.0, 700.0, 1e6}) {
        study::Problem p;
        p.u = P * p.gamma / (p.rho * p.L);
        for (double x : {0.0, 0.25, 0.5, 0.999, 1.0}) EXPECT_TRUE(std::isfinite(study::Exact(p, x))) << P << " " << x;
        EXPECT_DOUBLE_EQ(study::Exact(p, 0.0), 1.0) << P;
        EXPECT_NEAR(study::Exact(p, 1.0), 0.0, 1e-15) << P;
    }
    study::Problem still;
    still.u = 0;
    EXPECT_DOUBLE_EQ(study::Exact(still, 0.3), 0.7);
    study::Problem p;  // P = 1, against the formula as written
    EXPECT_NEAR(study::Exact(p, 0.4), 1 - std::expm1(0.4) / std::expm1(1.0), 1e-15);
}

TEST(Exponential, NodalValuesAreExactAtAnyPeclet) {
    for (double pe : {-500.0, -20.0, -2.0, -0.3, 0.0, 0.3, 2.0, 20.0, 500.0}) {
        const study::Problem p = AtPeclet(pe, 20);
        const study::Result r = SolveAt(p, Scheme::Exponential, 20);
        EXPECT_LT(r.maxError, 1e-13) << "Pe = " << pe;
        EXPECT_TRUE(r.bounded) << pe;
        EXPECT_FALSE(r.NegativeCoefficients()) << pe;
    }
}

TEST(EveryScheme, ReversedFlowGivesTheMirroredSolution) {
    for (Scheme s : study::kAllSchemes)
        for (double pe : {0.4, 3.0, 40.0}) {
            const study::Problem p = AtPeclet(pe, 7);
            study::Problem mirror = p;
            mirror.u = -p.u;
            std::swap(mirror.left.value, mirror.right.value);
            const study::Result a = SolveAt(p, s, 7), b = SolveAt(mirror, s, 7);
            for (std::size_t i = 0; i < 7; ++i)
                EXPECT_NEAR(a.phi[i], b.phi[6 - i], 1e-12) << study::Name(s) << " Pe " << pe << " node " << i + 1;
            EXPECT_EQ(a.bounded, b.bounded);
            EXPECT_EQ(a.NegativeCoefficients(), b.NegativeCoefficients());
        }
}

// The window's arrays after a scheme has run, against the study's rows.
void ExpectWindowRows(Scheme s, void (*windowScheme)(Mdl_Common::ProblemState&, calc::Listing&), double pe) {
    const long N = 6;
    const study::Problem p = AtPeclet(pe, N);
    const study::Grid g = study::MakeGrid(p, N);
    auto state = testing_support::State(double(N), g.F, g.D, p.left.value, p.right.value);
    calc::Listing list;
    windowScheme(state, list);
    const study::Rows rows = study::Assemble(p, s, N);
    const bool quick = s == Scheme::Quick;
    for (long i = 1; i <= N; ++i) {
        const auto k = std::size_t(i - 1);
        SCOPED_TRACE(std::string(study::Name(s)) + " Pe " + std::to_string(pe) + " node " + std::to_string(i));
        EXPECT_EQ(rows.aW[k], state.aW(i));
        EXPECT_EQ(rows.aP[k], state.aP(i));
        EXPECT_EQ(rows.aE[k], state.aE(i));
        EXPECT_EQ(rows.Su[k], quick ? state.Su(i)
                                    : (i == 1   ? p.left.value * -state.Sp(1)
                                       : i == N ? p.right.value * -state.Sp(N)
                                                : 0));
        if (quick) {
            EXPECT_EQ(rows.aWW[k], state.aWW(i));
            EXPECT_EQ(rows.aEE[k], state.aEE(i));
        }
    }
}

TEST(SharedRows, CentralUpwindAndQuickAreTheWindowsForFlowToTheRight) {
    for (double pe : {0.0, 0.2, 5.0}) {
        ExpectWindowRows(Scheme::Central, Mdl_Central::CentralScheme, pe);
        ExpectWindowRows(Scheme::Upwind, Mdl_Upwind::UpwindScheme, pe);
        ExpectWindowRows(Scheme::Quick, Mdl_QUICK::QuickScheme, pe);
    }
    // Hybrid: the window's rows at Pe >= 2, where its ends are upwind's.
    ExpectWindowRows(Scheme::Hybrid, Mdl_Hibrid::HibridScheme, 5.0);
}

TEST(SharedRows, HybridEndsAreCentralBelowPecletTwo) {
    const study::Problem p = AtPeclet(0.5, 6);
    const study::Rows hybrid = study::Assemble(p, Scheme::Hybrid, 6), central = study::Assemble(p, Scheme::Central, 6);
    EXPECT_EQ(hybrid.aP.front(), central.aP.front());
    EXPECT_EQ(hybrid.aP.back(), central.aP.back());
    EXPECT_EQ(hybrid.Su.front(), central.Su.front());
}

TEST(Orders, CentralTendsToTwoAndUpwindToOne) {
    study::Plan plan;
    plan.schemes = {Scheme::Central, Scheme::Upwind, Scheme::Quick};
    plan.N = 10;
    plan.refine = 5;
    const study::Study st = study::Run(study::Problem{}, plan);
    EXPECT_FALSE(st.results[0][0].orderMax.has_value());
    EXPECT_NEAR(*st.results[0].back().orderMax, 2.0, 0.05);
    EXPECT_NEAR(*st.results[0].back().orderRms, 2.0, 0.05);
    EXPECT_NEAR(*st.results[1].back().orderMax, 1.0, 0.05);
    EXPECT_GT(*st.results[2].back().orderMax, 1.8);
    EXPECT_EQ(st.sizes, (std::vector<long>{10, 20, 40, 80, 160, 320}));
    EXPECT_EQ(st.results[0][1].phi.size(), 0u) << "only the first grid keeps its nodal values";
}

// QUICK at the window's defaults with u = 0.2: the window lists the rows,
// a plain dense elimination of those rows must give the study's values.
TEST(Quick, SolvesTheRowsTheWindowLists) {
    auto s = testing_support::State(5, 0.2, 0.5, 1, 0);
    calc::Listing list;
    Mdl_QUICK::QuickScheme(s, list);
    double a[5][6] = {};
    for (int i = 0; i < 5; ++i) {
        const double row[5] = {s.aWW(i + 1), s.aW(i + 1), s.aP(i + 1), s.aE(i + 1), s.aEE(i + 1)};
        for (int j = 0; j < 5; ++j)
            if (i - 2 + j >= 0 && i - 2 + j < 5) a[i][i - 2 + j] = row[j];
        a[i][5] = s.Su(i + 1);
    }
    for (int c = 0; c < 5; ++c)
        for (int r = c + 1; r < 5; ++r)
            for (int k = 5; k >= c; --k) a[r][k] -= a[r][c] / a[c][c] * a[c][k];
    double phi[5];
    for (int r = 4; r >= 0; --r) {
        phi[r] = a[r][5];
        for (int k = r + 1; k < 5; ++k) phi[r] -= a[r][k] * phi[k];
        phi[r] /= a[r][r];
    }
    study::Problem p;
    p.u = 0.2;
    const study::Result r = SolveAt(p, Scheme::Quick, 5);
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(r.phi[std::size_t(i)], phi[i], 1e-14) << "node " << i + 1;
}

TEST(Flags, CentralOscillatesPastPecletTwoWhileUpwindStaysBounded) {
    const study::Problem p = AtPeclet(5, 5);
    const study::Result central = SolveAt(p, Scheme::Central, 5), upwind = SolveAt(p, Scheme::Upwind, 5);
    EXPECT_FALSE(central.bounded);
    EXPECT_EQ(central.negative, unsigned(study::kNegativeE));
    EXPECT_NEAR(central.phiMax, 2.46437, 5e-6);  // the window's worked case
    EXPECT_TRUE(upwind.bounded);
    EXPECT_FALSE(upwind.NegativeCoefficients());
    EXPECT_TRUE(SolveAt(p, Scheme::Quick, 5).negative & study::kNegativeWW);
}

TEST(Flags, RoundingOnAFineGridIsNotAnOvershoot) {
    study::Problem p;
    p.u = 2.5;
    // Monotone solutions whose rounding reaches some 5e-11 above phiA.
    for (Scheme s : {Scheme::Central, Scheme::Upwind, Scheme::Hybrid}) {
        const study::Result r = SolveAt(p, s, 5'000'000);
        EXPECT_TRUE(r.bounded) << study::Name(s) << ": max " << r.phiMax - 1;
    }
    EXPECT_EQ(study::BoundsTolerance(p, 5), 1e-12);
    EXPECT_EQ(study::BoundsTolerance(p, 5'000'000), 64 * 2.220446049250313e-16 * 5e6);
    p.right = study::End::Fixed(-1e6);
    EXPECT_EQ(study::BoundsTolerance(p, 5), 1e-6);
}

TEST(Failures, NameTheSchemeAndN) {
    study::Problem p;
    p.gamma = 1e-320;  // D beyond the range of a double
    EXPECT_THROW(SolveAt(p, Scheme::Central, 5), study::SolveError);
    study::Problem fine;
    EXPECT_STREQ(testing_support::MessageOf<study::SolveError>([&] { SolveAt(fine, Scheme::Quick, 2); }).c_str(),
                 "quick at N = 2: N must be from 3 to 10000000");
}

TEST(Csv, ShortestRoundTripNumbersAndFixedColumns) {
    EXPECT_EQ(study::csv::Number(0.1), "0.1");
    EXPECT_EQ(study::csv::Number(1e-5), "1e-05");
    EXPECT_EQ(study::csv::Number(-2.5), "-2.5");
    EXPECT_EQ(study::csv::Number(1.0 / 3), "0.3333333333333333");
    study::Plan plan;
    plan.schemes = {Scheme::Central};
    plan.N = 2;
    plan.refine = 1;
    const study::Study st = study::Run(study::Problem{}, plan);
    const std::string errors = study::csv::ErrorsTable(st);
    EXPECT_EQ(errors.substr(0, errors.find('\n') + 1), study::csv::kErrorsHeader);
    EXPECT_NE(errors.find("\ncentral,2,0.5,"), std::string::npos) << errors;
    EXPECT_NE(errors.find(",,true,false,\ncentral,4,0.25,"), std::string::npos) << "no order on the first N";
    const std::string nodes = study::csv::NodesTable(st);
    EXPECT_EQ(std::count(nodes.begin(), nodes.end(), '\n'), 3);
    EXPECT_EQ(nodes.substr(29, 17), "central,2,1,0.25,");
}

extern "C" void dgbsv_(const int* n, const int* kl, const int* ku, const int* nrhs, double* ab, const int* ldab,
                       int* ipiv, double* b, const int* ldb, int* info);

// The five-point solve is LAPACK's banded LU with partial pivoting written
// out; it must agree with LAPACK's own, also where pivoting is needed.
TEST(Quick, FivePointSolveAgreesWithLapack) {
    for (double pe : {0.5, 8.0, 300.0}) {
        const int n = 50, two = 2, one = 1, ldab = 7;
        study::Problem p = AtPeclet(pe, n);
        p.u = -p.u;  // mirrored rows: the far neighbours east
        const study::Rows rows = study::Assemble(p, Scheme::Quick, n);
        std::vector<double> ab(ldab * n), b = rows.Su;
        for (int i = 0; i < n; ++i) {
            const double v[5] = {rows.aWW[i], rows.aW[i], rows.aP[i], rows.aE[i], rows.aEE[i]};
            for (int d = -2; d <= 2; ++d)
                if (i + d >= 0 && i + d < n) ab[std::size_t(4 - d + (i + d) * ldab)] = v[d + 2];
        }
        std::vector<int> pivots(n);
        int info = 0;
        dgbsv_(&n, &two, &two, &one, ab.data(), &ldab, pivots.data(), b.data(), &n, &info);
        ASSERT_EQ(info, 0);
        const study::Result r = SolveAt(p, Scheme::Quick, n);
        for (int i = 0; i < n; ++i) EXPECT_NEAR(r.phi[std::size_t(i)], b[std::size_t(i)], 1e-13) << pe << " " << i;
    }
}

TEST(Warnings, ShowHowFarASolutionStraysWhereSixDigitsWouldHideIt) {
    study::Study st;
    st.problem.left = study::End::Fixed(1);
    st.problem.right = study::End::Fixed(0);
    study::Result r;
    r.scheme = study::Scheme::Central;
    r.grid.N = 5000000;
    r.bounded = false;
    r.phiMin = 2.49977e-06;
    r.phiMax = 1 + 4.8e-07;
    EXPECT_NE(study::Warning(st, r).find("(phi from 2.49977e-06 to 1 + 4.8e-07, outside [0, 1])"), std::string::npos)
        << study::Warning(st, r);
    r.phiMin = -3e-7;
    r.phiMax = 1.5;
    EXPECT_NE(study::Warning(st, r).find("(phi from -3e-07 to 1.5, outside [0, 1])"), std::string::npos)
        << study::Warning(st, r);
    st.problem.right = study::End::Fixed(2);
    r.phiMin = 1 - 2e-9;
    r.phiMax = 2;
    EXPECT_NE(study::Warning(st, r).find("(phi from 1 - 2e-09 to 2, outside [1, 2])"), std::string::npos)
        << study::Warning(st, r);
}
