// One calculation from the seven input texts to every output, and the
// inputs that are refused before anything is computed.
#include <gtest/gtest.h>

#include "app/calculation.hpp"
#include "solver/errors.hpp"
#include "test_support.hpp"

using driver::Calculate;
using driver::InputError;
using driver::InputTexts;
using driver::Outputs;
using driver::Scheme;
using testing_support::MessageOf;
using testing_support::Values;

namespace {

Outputs Calc(const InputTexts& in, Scheme scheme, Mdl_Common::ProblemState& s) {
    Outputs out;
    Calculate(in, scheme, s, out);
    return out;
}

std::vector<std::string> Tail(const std::vector<std::string>& lines, std::size_t count) {
    return {lines.end() - static_cast<long>(count), lines.end()};
}

}  // namespace

TEST(Calculation, DefaultInputsWithCentralDifferencing) {
    Mdl_Common::ProblemState s;
    const Outputs out = Calc({}, Scheme::Central, s);
    EXPECT_EQ(out.peText, "0.2");
    EXPECT_EQ(s.F, 0.1);
    EXPECT_EQ(s.D, 0.5);
    EXPECT_EQ(s.Pe, 0.2);
    EXPECT_EQ(s.x.Upper(), 5);
    const std::vector<double> centres{0.1, 0.3, 0.5, 0.7, 0.9};
    for (long i = 1; i <= 5; ++i) EXPECT_NEAR(s.x(i), centres[static_cast<std::size_t>(i - 1)], 1e-15);
    EXPECT_EQ(out.list1.Lines().size(), 3u + 5u + 3u + 5u);
    EXPECT_EQ(out.list1.Lines()[3], "0.00   -0.45   -1.10   1.55   1.10");
    EXPECT_EQ(Tail(out.list1.Lines(), 8),
              (std::vector<std::string>{" ", "Solution", " ", " Phi(1) = 0.9421", " Phi(2) = 0.8006",
                                        " Phi(3) = 0.6276", " Phi(4) = 0.4163", " Phi(5) = 0.1579"}));
    ASSERT_TRUE(out.resultsText.has_value());
    ASSERT_TRUE(out.plot.has_value());
}

TEST(Calculation, PecletNumberIsRoundedToEven) {
    Mdl_Common::ProblemState s;
    InputTexts in;
    in.u = "0.125";
    in.N = "1";
    in.Gama = "1";
    EXPECT_EQ(Calc(in, Scheme::Central, s).peText, "0.12");
    in.u = "0.375";
    EXPECT_EQ(Calc(in, Scheme::Central, s).peText, "0.38");
    in.u = "";
    EXPECT_EQ(Calc(in, Scheme::Central, s).peText, "0");
    EXPECT_EQ(s.F, 0);
}

TEST(Calculation, NumbersAreReadAsTyped) {
    Mdl_Common::ProblemState s;
    InputTexts in;
    in.N = "2.5e1";
    Calc(in, Scheme::Central, s);
    EXPECT_EQ(s.N, 25);
    in.N = "5 volumes";
    in.u = " 0 .1 ";
    in.Gama = "1D-1";
    const Outputs out = Calc(in, Scheme::Central, s);
    EXPECT_EQ(s.N, 5);
    EXPECT_EQ(out.peText, "0.2");
}

TEST(Calculation, NonWholeNodeCountFailsInTheSolverAfterTheListing) {
    Mdl_Common::ProblemState s;
    InputTexts in;
    in.N = "4.6";
    Outputs out;
    EXPECT_EQ(MessageOf<calc::DivisionByZero>([&] { Calculate(in, Scheme::Central, s, out); }),
              "Division by zero in the tridiagonal solver at row 5 (zero divided by zero).");
    EXPECT_EQ(s.x.Upper(), 5);
    EXPECT_EQ(s.x(5), 0);  // the loop stops at 4
    EXPECT_EQ(out.peText, "0.22");
    EXPECT_EQ(out.list1.Lines().size(), 7u);  // the coefficient listing of four nodes
    EXPECT_FALSE(out.resultsText.has_value());
    EXPECT_FALSE(out.plot.has_value());
}

TEST(Calculation, QuickListsZeroSolution) {
    Mdl_Common::ProblemState s;
    const Outputs out = Calc({}, Scheme::QUICK, s);
    EXPECT_EQ(Tail(out.list1.Lines(), 8),
              (std::vector<std::string>{" ", "Solution", " ", " Phi(1) = 0", " Phi(2) = 0", " Phi(3) = 0",
                                        " Phi(4) = 0", " Phi(5) = 0"}));
}

TEST(Calculation, SecondCalculationReplacesEverything) {
    Mdl_Common::ProblemState s;
    InputTexts in;
    in.N = "8";
    Outputs out;
    Calculate(in, Scheme::Upwind, s, out);
    in = InputTexts{};
    in.N = "3";
    in.FiA = "2";
    Calculate(in, Scheme::Central, s, out);  // the same list, as the window hands it back
    EXPECT_EQ(out.list1.Lines().size(), 3u + 3u + 3u + 3u);
    EXPECT_EQ(s.FiA, 2);
    EXPECT_EQ(s.T.Upper(), 3);
    EXPECT_EQ(s.x.Upper(), 3);
}

TEST(Calculation, UnusableInputIsRefusedBeforeAnythingChanges) {
    Mdl_Common::ProblemState s;
    Outputs first = Calc({}, Scheme::Central, s);
    const std::vector<double> before = Values(s.T, 5);

    auto refused = [&](InputTexts in, Scheme scheme) {
        Outputs out;
        out.list1 = first.list1;
        const std::string message = MessageOf<InputError>([&] { Calculate(in, scheme, s, out); });
        EXPECT_EQ(s.N, 5);
        EXPECT_EQ(Values(s.T, 5), before);
        EXPECT_EQ(out.list1.Lines(), first.list1.Lines());
        EXPECT_FALSE(out.peText.has_value());
        return message;
    };
    auto withN = [](const char* n) {
        InputTexts in;
        in.N = n;
        return in;
    };
    const std::string tooFew = "N must be at least 1: it is the number of control volumes.";
    const std::string tooMany = "N may be at most 300: the tridiagonal solver takes at most 300 rows.";
    EXPECT_EQ(refused(withN("0"), Scheme::Central), tooFew);
    EXPECT_EQ(refused(withN("0.5"), Scheme::Upwind), tooFew);
    EXPECT_EQ(refused(withN("-3"), Scheme::Hibrid), tooFew);
    EXPECT_EQ(refused(withN("abc"), Scheme::Central), tooFew);
    EXPECT_EQ(refused(withN("301"), Scheme::Central), tooMany);
    EXPECT_EQ(refused(withN("300.6"), Scheme::Central), tooMany);
    EXPECT_EQ(refused(withN("1e9"), Scheme::Central), tooMany);
    EXPECT_EQ(refused(withN("1.4"), Scheme::QUICK), "The QUICK scheme needs N of at least 2 control volumes.");
    EXPECT_EQ(refused(withN("100001"), Scheme::QUICK), "N may be at most 100000 for the QUICK scheme.");
    EXPECT_EQ(refused(withN("1e999"), Scheme::Central), "The number typed for N is too large to calculate with.");

    InputTexts in;
    in.L = "0";
    EXPECT_EQ(refused(in, Scheme::Central), "L must not be 0: the domain would have no length.");
    in = InputTexts{};
    in.Gama = "";
    EXPECT_EQ(refused(in, Scheme::Central),
              "Γ must not be 0: the diffusion conductance D would be 0 and Pe = F/D undefined.");
    in = InputTexts{};
    in.Rho = "-1e400";
    EXPECT_EQ(refused(in, Scheme::Central), "The number typed for ρ is too large to calculate with.");
}

TEST(Calculation, ComputableOddInputsAreAccepted) {
    Mdl_Common::ProblemState s;
    InputTexts in;
    in.u = "-0.1";
    in.L = "-1";
    in.Gama = "-0.1";
    in.N = "300.4";
    const Outputs out = Calc(in, Scheme::Central, s);
    EXPECT_EQ(s.T.Upper(), 300);
    EXPECT_EQ(out.list1.Lines().size(), 3u + 300u + 3u + 300u);

    in = InputTexts{};
    in.N = "2";
    in.u = "&H10";
    EXPECT_EQ(Calc(in, Scheme::Central, s).peText, "80");  // u = 16, D = 0.2
}

TEST(Calculation, OverflowPartWayIsAnError) {
    Mdl_Common::ProblemState s;
    InputTexts in;
    in.u = "1e200";
    in.Rho = "1e200";
    EXPECT_EQ(MessageOf<calc::Overflow>([&] { Calc(in, Scheme::Central, s); }),
              "Overflow in computing F = ρ u: a result is too large for a double.");
    in = InputTexts{};
    in.Gama = "1e-300";
    in.L = "1e300";
    in.N = "1";
    EXPECT_THROW(Calc(in, Scheme::Central, s), calc::DivisionByZero);  // D underflows to 0
}
