// The four schemes against the worked cases: listing lines to the character
// and solutions to five decimals.
#include <gtest/gtest.h>

#include "schemes/schemes.hpp"
#include "solver/errors.hpp"
#include "test_support.hpp"

using testing_support::MessageOf;
using testing_support::State;
using testing_support::Values;
using Lines = std::vector<std::string>;

namespace {

const std::string kThreePointHeader = " aW    aE   Sp   aP   Su";
const std::string kQuickHeader = " aWW   aW    aE   aEE   Sp   aP   Su";

// The listing of a scheme: the header block, then the value lines.
Lines Listing(const std::string& header, const Lines& values) {
    Lines lines{" ", header, " "};
    lines.insert(lines.end(), values.begin(), values.end());
    return lines;
}

void ExpectSolution(const Mdl_Common::ProblemState& s, const std::vector<double>& expected) {
    ASSERT_EQ(s.T.Upper(), static_cast<long>(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(s.T(static_cast<long>(i + 1)), expected[i], 5e-6) << "T(" << i + 1 << ")";
}

using SchemeFn = void (*)(Mdl_Common::ProblemState&, calc::Listing&);

// Runs a scheme on the default boundary values (FiA = 1, FiB = 0), D = 0.5
// and N = 5, with the given F.
Mdl_Common::ProblemState RunScheme(SchemeFn scheme, double F, calc::Listing& list, double N = 5) {
    auto s = State(N, F, 0.5, 1, 0);
    scheme(s, list);
    return s;
}

}  // namespace

TEST(CentralScheme, DefaultInputs) {
    calc::Listing list;
    const auto s = RunScheme(Mdl_Central::CentralScheme, 0.1, list);
    EXPECT_EQ(list.Lines(), Listing(kThreePointHeader, {"0.00   -0.45   -1.10   1.55   1.10",
                                                      "-0.55   -0.45   0.00   1.00   0.00",
                                                      "-0.55   -0.45   0.00   1.00   0.00",
                                                      "-0.55   -0.45   0.00   1.00   0.00",
                                                      "-0.55   0.00   -0.90   1.45   0.00"}));
    ExpectSolution(s, {0.94211, 0.80060, 0.62765, 0.41626, 0.15789});
    // Su holds the solution after the solve; aW and aE the negated values.
    EXPECT_EQ(s.Su(3), s.T(3));
    EXPECT_EQ(s.aW(2), -0.55);
    EXPECT_EQ(s.aP(1), 1.55);
}

TEST(CentralScheme, CellPecletFiveOscillates) {
    calc::Listing list;
    const auto s = RunScheme(Mdl_Central::CentralScheme, 2.5, list);
    EXPECT_EQ(list.Lines()[4], "-1.75   0.75   0.00   1.00   0.00");
    EXPECT_EQ(s.Sp(5), 1.5);
    EXPECT_EQ(s.aP(5), 0.25);
    ExpectSolution(s, {1.03563, 0.86935, 1.25733, 0.35205, 2.46437});
}

TEST(CentralScheme, OneNodeTakesTheRightEndValues) {
    calc::Listing list;
    auto s = State(1, 0.1, 0.5, 1, 0.7);
    Mdl_Central::CentralScheme(s, list);
    EXPECT_EQ(list.Lines(), Listing(kThreePointHeader, {"0.00   0.00   -0.90   0.90   0.63"}));
    ExpectSolution(s, {0.7});
}

TEST(CentralScheme, NonWholeNodeCounts) {
    // 5.5: arrays 0 to 6, loops 1 to 5; node 5 keeps its interior aE, the end
    // values go to index 6, and the solver meets the never-formed row 6.
    calc::Listing list;
    auto s = State(5.5, 0.1, 0.5, 1, 0);
    EXPECT_EQ(MessageOf<calc::DivisionByZero>([&] { Mdl_Central::CentralScheme(s, list); }),
              "Division by zero in the tridiagonal solver at row 6 (zero divided by zero).");
    EXPECT_EQ(s.aP.Upper(), 6);
    ASSERT_EQ(list.Lines().size(), 8u);  // the listing is complete before the solve
    EXPECT_EQ(list.Lines()[7], "-0.55   -0.45   0.00   1.00   0.00");
    EXPECT_EQ(s.Sp(6), -0.9);

    // 5.3 is 5.
    calc::Listing list53;
    const auto s53 = RunScheme(Mdl_Central::CentralScheme, 0.1, list53, 5.3);
    ExpectSolution(s53, {0.94211, 0.80060, 0.62765, 0.41626, 0.15789});

    // 4.5 rounds to 4 and every node is solved.
    calc::Listing list45;
    const auto s45 = RunScheme(Mdl_Central::CentralScheme, 0.1, list45, 4.5);
    for (long i = 1; i <= 4; ++i) EXPECT_GT(s45.T(i), 0.0) << i;
}

TEST(CentralScheme, SecondCalculationKeepsNothingOfTheFirst) {
    calc::Listing list;
    auto s = State(8, 0.1, 0.5, 1, 0);
    Mdl_Central::CentralScheme(s, list);
    s.N = 2;
    Mdl_Central::CentralScheme(s, list);
    EXPECT_EQ(list.Lines().size(), 5u);
    EXPECT_EQ(s.T.Upper(), 2);
    EXPECT_EQ(s.aW.Upper(), 2);
}

TEST(UpwindScheme, DefaultInputs) {
    calc::Listing list;
    const auto s = RunScheme(Mdl_Upwind::UpwindScheme, 0.1, list);
    EXPECT_EQ(list.Lines(), Listing(kThreePointHeader, {"0.00   -0.50   -1.10   1.60   1.10",
                                                      "-0.60   -0.50   0.00   1.10   0.00",
                                                      "-0.60   -0.50   0.00   1.10   0.00",
                                                      "-0.60   -0.50   0.00   1.10   0.00",
                                                      "-0.60   0.00   -1.00   1.60   0.00"}));
    ExpectSolution(s, {0.93373, 0.78795, 0.61300, 0.40307, 0.15115});
}

TEST(UpwindScheme, FlowDirections) {
    calc::Listing list;
    ExpectSolution(RunScheme(Mdl_Upwind::UpwindScheme, 2.5, list), {0.99984, 0.99874, 0.99213, 0.95244, 0.71433});

    const auto back = RunScheme(Mdl_Upwind::UpwindScheme, -0.1, list);
    EXPECT_EQ(back.aW(3), -0.5);
    EXPECT_EQ(back.aE(3), -0.6);
    EXPECT_EQ(back.Sp(1), -1);
    EXPECT_NEAR(back.Sp(5), -1.1, 1e-15);
    EXPECT_EQ(list.Lines()[7], "-0.50   0.00   -1.10   1.60   0.00");  // Su(5) = 0 before the solve
    ExpectSolution(back, {0.84885, 0.59693, 0.38700, 0.21205, 0.06627});

    const auto still = RunScheme(Mdl_Upwind::UpwindScheme, 0, list);
    ExpectSolution(still, {0.9, 0.7, 0.5, 0.3, 0.1});
    EXPECT_EQ(list.Lines()[3], "0.00   -0.50   -1.00   1.50   1.00");
}

TEST(HibridScheme, DefaultInputs) {
    calc::Listing list;
    const auto s = RunScheme(Mdl_Hibrid::HibridScheme, 0.1, list);
    EXPECT_EQ(list.Lines(), Listing(kThreePointHeader, {"0.00   -0.45   -1.55   2.00   1.55",
                                                      "-0.55   -0.45   0.00   1.00   0.00",
                                                      "-0.55   -0.45   0.00   1.00   0.00",
                                                      "-0.55   -0.45   0.00   1.00   0.00",
                                                      "-0.55   0.00   -0.55   1.10   0.00"}));
    ExpectSolution(s, {0.96209, 0.83151, 0.67190, 0.47683, 0.23842});
}

TEST(HibridScheme, PecletNumbersAtAndBeyondTwo) {
    calc::Listing list;
    const auto five = RunScheme(Mdl_Hibrid::HibridScheme, 2.5, list);
    EXPECT_EQ(five.Sp(1), -3.5);
    EXPECT_EQ(five.aP(5), 3.5);
    ExpectSolution(five, {1, 1, 1, 1, 0.71429});

    // Pe = 2: the east term keeps its starting zero, listed without a sign.
    const auto two = RunScheme(Mdl_Hibrid::HibridScheme, 1, list);
    EXPECT_EQ(list.Lines()[4], "-1.00   0.00   0.00   1.00   0.00");
    ExpectSolution(two, {1, 1, 1, 1, 0.5});

    // Pe = -5: the right-end bracket 2D + F is negative and aP(5) with it.
    const auto back = RunScheme(Mdl_Hibrid::HibridScheme, -2.5, list);
    EXPECT_EQ(back.Sp(5), 1.5);
    EXPECT_EQ(back.aP(5), -1.5);
    EXPECT_EQ(back.Su(1), back.T(1));
    ExpectSolution(back, {0.28571, 0, 0, 0, 0});

    // Pe = -2: aP(5) is zero and the solve stops on it.
    auto s = State(5, -1, 0.5, 1, 0);
    EXPECT_EQ(MessageOf<calc::DivisionByZero>([&] { Mdl_Hibrid::HibridScheme(s, list); }),
              "Division by zero in the tridiagonal solver at row 5 (zero divided by zero).");
}

TEST(HibridScheme, NoFlowIsPureDiffusion) {
    calc::Listing list;
    const auto s = RunScheme(Mdl_Hibrid::HibridScheme, 0, list);
    EXPECT_EQ(s.Sp(1), -1.5);
    EXPECT_EQ(s.Su(1) > 0, true);
    EXPECT_EQ(s.Sp(5), -0.5);
    ExpectSolution(s, {0.9375, 0.75, 0.5625, 0.375, 0.1875});

    calc::Listing one;
    auto single = State(1, 0.1, 0.5, 1, 0.7);
    Mdl_Hibrid::HibridScheme(single, one);
    ExpectSolution(single, {0.7});
}

TEST(QuickScheme, WorkedExampleOfFourNodes) {
    calc::Listing list;
    auto s = State(4, 2, 3, 1, 2);
    Mdl_QUICK::QuickScheme(s, list);
    EXPECT_EQ(list.Lines(), Listing(kQuickHeader, {"0.000   0.000   -3.250   0.000   -10.500   13.750   10.500   ",
                                                 "0.000   -5.000   -2.250   0.000   0.500   6.750   -0.500   ",
                                                 "0.250   -4.750   -2.250   0.000   0.000   6.750   0.000   ",
                                                 "0.250   -5.500   0.000   0.000   -6.000   11.250   12.000   "}));
    // Nothing is solved: T is sized and all zero.
    EXPECT_EQ(Values(s.T, 4), (std::vector<double>{0, 0, 0, 0}));
    // Every row: the stored entries sum to -Sp; interior rows to zero.
    for (long i = 1; i <= 4; ++i)
        EXPECT_DOUBLE_EQ(s.aP(i) + s.aWW(i) + s.aW(i) + s.aE(i) + s.aEE(i), -s.Sp(i)) << i;
}

TEST(QuickScheme, FlowToTheLeftMirrorsTheInteriorRow) {
    calc::Listing list;
    auto s = State(4, -2, 3, 1, 2);
    Mdl_QUICK::QuickScheme(s, list);
    EXPECT_EQ(s.aWW(3), 0);
    EXPECT_EQ(s.aW(3), -2.25);
    EXPECT_EQ(s.aE(3), -4.75);
    EXPECT_EQ(s.aEE(3), 0.25);
    EXPECT_EQ(s.aP(3), 6.75);
    EXPECT_EQ(s.aEE(4), 0.25);  // beyond node N, still kept
    EXPECT_EQ(list.Lines()[5], "0.000   -2.250   -4.750   0.250   0.000   6.750   0.000   ");
}

TEST(QuickScheme, NoFlow) {
    calc::Listing list;
    auto s = State(5, 0, 3, 1, 2);
    Mdl_QUICK::QuickScheme(s, list);
    EXPECT_EQ(s.aW(3), -3);
    EXPECT_EQ(s.aE(3), -3);
    EXPECT_EQ(s.aP(3), 6);
    EXPECT_EQ(s.aE(1), -4);
    EXPECT_EQ(s.Sp(1), -8);
    EXPECT_EQ(s.Su(1), 8);
    EXPECT_EQ(s.aP(1), 12);
    EXPECT_EQ(s.aW(5), -4);
    EXPECT_EQ(s.Su(5), 16);
    EXPECT_EQ(s.aP(5), 12);
}

TEST(QuickScheme, FewAndNonWholeNodeCounts) {
    calc::Listing list;
    // Three nodes: node 3 carries the node-N row.
    auto three = State(3, 2, 3, 1, 2);
    Mdl_QUICK::QuickScheme(three, list);
    EXPECT_EQ(three.aW(3), -5.5);
    EXPECT_EQ(three.aP(3), 11.25);

    // Two nodes: node 2 carries the node-N row, not the second-node row.
    auto two = State(2, 2, 3, 1, 2);
    Mdl_QUICK::QuickScheme(two, list);
    EXPECT_EQ(two.aWW(2), 0.25);
    EXPECT_EQ(two.aW(2), -5.5);
    EXPECT_EQ(two.aE(2), 0);
    EXPECT_EQ(list.Lines().size(), 5u);

    // 4.6: the node-N row goes to index 5, which no loop visits; node 4
    // keeps its interior row.
    auto odd = State(4.6, 2, 3, 1, 2);
    Mdl_QUICK::QuickScheme(odd, list);
    EXPECT_EQ(odd.aP.Upper(), 5);
    EXPECT_EQ(odd.aW(4), -4.75);
    EXPECT_EQ(odd.aW(5), 5.5);  // written, never sign-changed
    EXPECT_EQ(odd.aP(5), 0);    // never summed
    EXPECT_EQ(list.Lines().size(), 7u);

    // One node has no second-node row: refused without writing outside.
    auto one = State(1, 2, 3, 1, 2);
    EXPECT_THROW(Mdl_QUICK::QuickScheme(one, list), calc::SubscriptOutOfRange);
}

TEST(QuickScheme, SmallerSecondCalculationAndFarCoefficientsThatStay) {
    calc::Listing list;
    auto s = State(6, 2, 3, 1, 2);
    Mdl_QUICK::QuickScheme(s, list);
    s.N = 4;
    Mdl_QUICK::QuickScheme(s, list);
    EXPECT_EQ(s.aWW.Upper(), 4);
    EXPECT_EQ(s.aEE.Upper(), 4);
    EXPECT_EQ(list.Lines().size(), 7u);
    EXPECT_EQ(s.aW(4), -5.5);

    // A three-point scheme afterwards leaves aWW and aEE alone.
    Mdl_Central::CentralScheme(s, list);
    EXPECT_EQ(s.aWW(3), 0.25);
}
