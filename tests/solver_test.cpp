// The tridiagonal solver: the worked example, the rows it must ignore, its
// capacity, and every way a solve can fail.
#include <gtest/gtest.h>

#include "solver/Mdl_Thomas.hpp"
#include "solver/errors.hpp"
#include "test_support.hpp"

using Mdl_Thomas::ThomasSolve;
using testing_support::MessageOf;
using testing_support::Rows;
using testing_support::Values;

namespace {

// The system -phi(i-1) + 2 phi(i) - phi(i+1) with both ends held at 1 by the
// right-hand side: its solution is 1 everywhere.
struct Laplace {
    explicit Laplace(long n) {
        for (calc::RealArray* a : {&aW, &aP, &aE, &Su}) a->Resize(static_cast<double>(n));
        for (long i = 1; i <= n; ++i) {
            aW(i) = -1;
            aP(i) = 2;
            aE(i) = -1;
        }
        Su(1) = 1;
        Su(n) += 1;
    }
    calc::RealArray aW{"aW"}, aP{"aP"}, aE{"aE"}, Su{"Su"};
};

}  // namespace

TEST(ThomasSolve, WorkedExampleOfThreeRows) {
    const auto aW = Rows("aW", {99, -1, -1});
    const auto aP = Rows("aP", {2, 2, 2});
    const auto aE = Rows("aE", {-1, -1, 99});
    auto Su = Rows("Su", {1, 0, 1});
    ThomasSolve(3, aW, aP, aE, Su);
    const std::vector<double> ones{1, 1, 1};
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(Values(Su, 3)[static_cast<std::size_t>(i)], 1.0, 1e-15);
    // The coefficients are read only; aW(1) and aE(N) are never read at all.
    EXPECT_EQ(Values(aW, 3), (std::vector<double>{99, -1, -1}));
    EXPECT_EQ(Values(aP, 3), (std::vector<double>{2, 2, 2}));
    EXPECT_EQ(Values(aE, 3), (std::vector<double>{-1, -1, 99}));
}

TEST(ThomasSolve, OneRowIsADivision) {
    const auto aW = Rows("aW", {5});
    const auto aP = Rows("aP", {4});
    const auto aE = Rows("aE", {7});
    auto Su = Rows("Su", {3});
    ThomasSolve(1, aW, aP, aE, Su);
    EXPECT_EQ(Su(1), 0.75);
}

TEST(ThomasSolve, ThreeHundredRowsIsTheCapacity) {
    Laplace full(300);
    ThomasSolve(300, full.aW, full.aP, full.aE, full.Su);
    EXPECT_NEAR(full.Su(1), 1.0, 1e-10);
    EXPECT_NEAR(full.Su(150), 1.0, 1e-10);
    EXPECT_NEAR(full.Su(300), 1.0, 1e-10);

    Laplace over(301);
    EXPECT_EQ(MessageOf<calc::SubscriptOutOfRange>([&] { ThomasSolve(301, over.aW, over.aP, over.aE, over.Su); }),
              "Subscript out of range in the tridiagonal solver: row 301 is beyond its capacity of 300 rows.");
    EXPECT_EQ(over.Su(1), 1);  // nothing written before the failure
    EXPECT_EQ(over.Su(2), 0);
    EXPECT_EQ(over.Su(301), 1);
}

TEST(ThomasSolve, ZeroPivotIsADivisionByZero) {
    Laplace two(2);
    two.aP(1) = 0;
    EXPECT_EQ(MessageOf<calc::DivisionByZero>([&] { ThomasSolve(2, two.aW, two.aP, two.aE, two.Su); }),
              "Division by zero in the tridiagonal solver at row 2.");

    auto aP = Rows("aP", {0});
    auto Su = Rows("Su", {3});
    EXPECT_EQ(MessageOf<calc::DivisionByZero>([&] { ThomasSolve(1, aP, aP, aP, Su); }),
              "Division by zero in the tridiagonal solver at row 1.");
    Su(1) = 0;
    EXPECT_EQ(MessageOf<calc::DivisionByZero>([&] { ThomasSolve(1, aP, aP, aP, Su); }),
              "Division by zero in the tridiagonal solver at row 1 (zero divided by zero).");
}

TEST(ThomasSolve, ResultsBeyondTheDoubleRangeAreOverflow) {
    auto aW = Rows("aW", {0, 1e300});
    auto aP = Rows("aP", {1e-300, 1});
    auto aE = Rows("aE", {1e300, 0});
    auto Su = Rows("Su", {1, 1});
    EXPECT_EQ(MessageOf<calc::Overflow>([&] { ThomasSolve(2, aW, aP, aE, Su); }),
              "Overflow in the tridiagonal solver at row 2: a result is too large for a double.");
}

TEST(ThomasSolve, NonWholeRowCounts) {
    // 5.3 behaves as 5.
    Laplace a(5), b(5);
    ThomasSolve(5, a.aW, a.aP, a.aE, a.Su);
    ThomasSolve(5.3, b.aW, b.aP, b.aE, b.Su);
    EXPECT_EQ(Values(a.Su, 5), Values(b.Su, 5));

    // 4.5 rounds to 4 (ties to even) and every one of the four rows is
    // solved; 2.5 likewise gives two rows.
    Laplace c(4);
    ThomasSolve(4.5, c.aW, c.aP, c.aE, c.Su);
    for (long i = 1; i <= 4; ++i) EXPECT_NEAR(c.Su(i), 1.0, 1e-14) << i;
    Laplace d(2);
    ThomasSolve(2.5, d.aW, d.aP, d.aE, d.Su);
    EXPECT_NEAR(d.Su(1), 1.0, 1e-15);
    EXPECT_NEAR(d.Su(2), 1.0, 1e-15);

    // 4.6 eliminates rows 2 to 4 but its last row is 5, never eliminated:
    // zero divided by zero.
    Laplace e(5);
    EXPECT_EQ(MessageOf<calc::DivisionByZero>([&] { ThomasSolve(4.6, e.aW, e.aP, e.aE, e.Su); }),
              "Division by zero in the tridiagonal solver at row 5 (zero divided by zero).");
}

TEST(RealArray, SizingAndBounds) {
    calc::RealArray a("aW");
    EXPECT_EQ(a.Upper(), -1);
    a.Resize(4.5);
    EXPECT_EQ(a.Upper(), 4);
    a.Resize(5.5);
    EXPECT_EQ(a.Upper(), 6);
    a(6) = 2;
    a.Resize(2);
    EXPECT_EQ(a(2), 0);  // old contents gone
    EXPECT_EQ(MessageOf<calc::SubscriptOutOfRange>([&] { a(3) = 1; }),
              "Subscript out of range: aW(3) does not exist; it has the indices 0 to 2.");
    EXPECT_THROW(a(-1), calc::SubscriptOutOfRange);
    EXPECT_THROW(a.Resize(-3), calc::SubscriptOutOfRange);
    EXPECT_THROW(a.Resize(1e12), calc::Overflow);
}
