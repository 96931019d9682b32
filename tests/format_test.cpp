// Reading numbers as typed, and writing them through the general form and
// the patterns. The separator is always passed in; the machine's locale
// plays no part.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "format/number_text.hpp"

using numtext::General;
using numtext::Pattern;
using numtext::ReadNumber;
using numtext::RoundedGeneral;

namespace {

double Read(const char* text) {
    const auto r = ReadNumber(text);
    EXPECT_FALSE(r.overflow) << text;
    return r.value;
}

}  // namespace

TEST(ReadNumber, BlanksTabsAndLineFeedsAreIgnoredAnywhere) {
    EXPECT_EQ(Read("1 2"), 12);
    EXPECT_EQ(Read(" \t-\n1 .\t5 "), -1.5);
    EXPECT_EQ(Read("1 e 2"), 100);
    EXPECT_EQ(Read("1\r2"), 1);  // a carriage return is not a blank
}

TEST(ReadNumber, SignDigitsPointAndExponent) {
    EXPECT_EQ(Read("2.5e1"), 25);
    EXPECT_EQ(Read("1D-2"), 0.01);
    EXPECT_EQ(Read("1e-2"), 0.01);
    EXPECT_EQ(Read("1d+2"), 100);
    EXPECT_EQ(Read("+.5"), 0.5);
    EXPECT_EQ(Read("5."), 5);
    EXPECT_EQ(Read("0.1"), 0.1);  // the double nearest 0.1, as any correct reader gives
    EXPECT_EQ(Read("1.5.5"), 1.5);
    EXPECT_EQ(Read("1e"), 1);     // an exponent letter without digits is not read
    EXPECT_EQ(Read("1e+"), 1);
    EXPECT_EQ(Read("1ex"), 1);
    EXPECT_EQ(Read("-000123.4500"), -123.45);
}

TEST(ReadNumber, StopsAtTheFirstCharacterThatCannotContinue) {
    EXPECT_EQ(Read("12abc"), 12);
    EXPECT_EQ(Read("1,5"), 1);
    EXPECT_EQ(Read("5 volumes"), 5);
    EXPECT_EQ(Read("3-4"), 3);
}

TEST(ReadNumber, NoNumberReadsAsZero) {
    EXPECT_EQ(Read(""), 0);
    EXPECT_EQ(Read("-"), 0);
    EXPECT_EQ(Read("."), 0);
    EXPECT_EQ(Read("abc"), 0);
    EXPECT_EQ(Read("e5"), 0);
    EXPECT_EQ(Read("&"), 0);
    EXPECT_EQ(Read("&X1"), 0);
    EXPECT_FALSE(std::signbit(Read("-0")));
    EXPECT_FALSE(std::signbit(Read("-0.0e5")));
}

TEST(ReadNumber, HexadecimalAndOctalWholeNumbers) {
    EXPECT_EQ(Read("&HFF"), 255);
    EXPECT_EQ(Read("&hff"), 255);
    EXPECT_EQ(Read("&O17"), 15);
    EXPECT_EQ(Read("&o18"), 1);  // 8 is no octal digit
    EXPECT_EQ(Read("& H 1 0"), 16);
    EXPECT_EQ(Read("&H"), 0);
}

TEST(ReadNumber, TooLargeIsAnOverflowTooSmallIsZero) {
    EXPECT_TRUE(ReadNumber("1e999").overflow);
    EXPECT_TRUE(ReadNumber("-1e309").overflow);
    EXPECT_TRUE(ReadNumber("1e99999999999999999999").overflow);
    EXPECT_TRUE(ReadNumber(std::string(400, '9')).overflow);
    EXPECT_TRUE(ReadNumber("&H" + std::string(300, 'F')).overflow);
    EXPECT_EQ(Read("1.7976931348623157e308"), std::numeric_limits<double>::max());
    EXPECT_EQ(Read("1e-999"), 0);
    EXPECT_EQ(Read("1e-99999999999999999999"), 0);
    EXPECT_EQ(Read("4.9406564584124654e-324"), std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(Read(("0." + std::string(500, '0') + "1e510").c_str()), 1e9);
}

TEST(RoundedGeneral, TiesGoToTheEvenDigit) {
    EXPECT_EQ(RoundedGeneral(0.125, 2, "."), "0.12");
    EXPECT_EQ(RoundedGeneral(0.375, 2, "."), "0.38");
    EXPECT_EQ(RoundedGeneral(0.2, 2, "."), "0.2");
    EXPECT_EQ(RoundedGeneral(2.5, 0, "."), "2");
    EXPECT_EQ(RoundedGeneral(0.627812, 4, "."), "0.6278");
    EXPECT_EQ(RoundedGeneral(0.94211, 4, "."), "0.9421");
    EXPECT_EQ(RoundedGeneral(0.99999, 4, "."), "1");
    EXPECT_EQ(RoundedGeneral(-0.00004, 4, "."), "0");
    EXPECT_EQ(RoundedGeneral(-0.0, 2, "."), "0");
    EXPECT_EQ(RoundedGeneral(-1.23456, 4, ","), "-1,2346");
}

TEST(General, FifteenSignificantDigitsAndExponentFrom1E15) {
    EXPECT_EQ(General(2, "."), "2");
    EXPECT_EQ(General(0.5, "."), "0.5");
    EXPECT_EQ(General(-0.5, "."), "-0.5");
    EXPECT_EQ(General(0.1 + 0.2, "."), "0.3");
    EXPECT_EQ(General(999999999999999, "."), "999999999999999");
    EXPECT_EQ(General(1e15, "."), "1E+15");
    EXPECT_EQ(General(-1.5e15, "."), "-1.5E+15");
    EXPECT_EQ(General(123456789012345678.0, ","), "1,23456789012346E+17");
    EXPECT_EQ(General(1e300, "."), "1E+300");
    EXPECT_EQ(General(9999999999999999.0, "."), "1E+16");
    EXPECT_EQ(RoundedGeneral(999999999999999.5, 2, "."), "1E+15");
    EXPECT_EQ(General(-std::numeric_limits<double>::max(), "."), "-1.79769313486232E+308");
    EXPECT_EQ(Pattern(std::numeric_limits<double>::max(), "0.", ".").size(), 310u);
    EXPECT_EQ(General(0.001, "."), "0.001");
    EXPECT_EQ(General(12345.678, ","), "12345,678");
    EXPECT_THROW(General(std::nan(""), "."), std::domain_error);
    EXPECT_THROW(General(INFINITY, "."), std::domain_error);
}

TEST(Pattern, WholeNumberPatterns) {
    EXPECT_EQ(Pattern(0.3, "0.", "."), "0.");
    EXPECT_EQ(Pattern(12.5, "0.", "."), "13.");
    EXPECT_EQ(Pattern(-0.55, "0.", "."), "-1.");
    EXPECT_EQ(Pattern(0.45, "0#0.", "."), "000.");
    EXPECT_EQ(Pattern(-0.45, "0#0.", "."), "-000.");
    EXPECT_EQ(Pattern(1.55, "0#0.", "."), "002.");
    EXPECT_EQ(Pattern(-1.1, "0#0.", "."), "-001.");
    EXPECT_EQ(Pattern(42, "0#0.", "."), "042.");
    EXPECT_EQ(Pattern(5, "0#0.", "."), "005.");
    EXPECT_EQ(Pattern(123456, "0#0.", "."), "123456.");
    EXPECT_EQ(Pattern(1e20, "0.", "."), "100000000000000000000.");
    EXPECT_EQ(Pattern(0.5, "0.", "."), "1.");
    EXPECT_EQ(Pattern(-0.5, "0.", "."), "-1.");
}

TEST(Pattern, PatternsWithDecimals) {
    EXPECT_EQ(Pattern(0.9421, "0#0.#0", "."), "000.94");
    EXPECT_EQ(Pattern(0.5, "0#0.#0", "."), "000.50");
    EXPECT_EQ(Pattern(1, "0#0.#0", "."), "001.00");
    EXPECT_EQ(Pattern(12.345, "0#0.#0", "."), "012.35");
    EXPECT_EQ(Pattern(0.55, "#0.#0", "."), "0.55");
    EXPECT_EQ(Pattern(-1.1, "#0.#0", "."), "-1.10");
    EXPECT_EQ(Pattern(0, "#0.#0", "."), "0.00");
    EXPECT_EQ(Pattern(0.125, "#0.#0", "."), "0.13");
    EXPECT_EQ(Pattern(12.5, "#0.#0", "."), "12.50");
    EXPECT_EQ(Pattern(13.75, "#0.##0", "."), "13.750");
    EXPECT_EQ(Pattern(-0.5, "#0.##0", "."), "-0.500");
    EXPECT_EQ(Pattern(0, "#0.##0", "."), "0.000");
    EXPECT_EQ(Pattern(12, "#0.##0", "."), "12.000");
    EXPECT_EQ(Pattern(9.9996, "#0.##0", "."), "10.000");
}

TEST(Pattern, RoundsTheNumberAsAPersonReadsIt) {
    EXPECT_EQ(Pattern(2.675, "#0.#0", "."), "2.68");
    EXPECT_EQ(Pattern(1.005, "#0.#0", "."), "1.01");
    EXPECT_EQ(Pattern(0.37499999999999994, "0#0.#0", "."), "000.38");
    EXPECT_EQ(Pattern(-2.675, "#0.#0", "."), "-2.68");
}

TEST(Pattern, SignOfZeroAndOfValuesRoundingToZero) {
    EXPECT_EQ(Pattern(-0.0, "#0.#0", "."), "0.00");
    EXPECT_EQ(Pattern(-0.0, "0#0.", "."), "000.");
    EXPECT_EQ(Pattern(-0.001, "#0.#0", "."), "-0.00");
    EXPECT_EQ(Pattern(-1e-300, "0.", "."), "-0.");
    EXPECT_EQ(Pattern(1e-300, "0#0.#0", "."), "000.00");
}

TEST(Pattern, LocaleSeparatorAndBadArguments) {
    EXPECT_EQ(Pattern(0.8006, "0#0.#0", ","), "000,80");
    EXPECT_EQ(Pattern(-0.45, "0#0.", ","), "-000,");
    EXPECT_EQ(Pattern(1.5, "#0.##0", "\xD9\xAB"), "1\xD9\xAB" "500");
    EXPECT_THROW(Pattern(1, "0.0.", "."), std::domain_error);
    EXPECT_THROW(Pattern(1, "00", "."), std::domain_error);
    EXPECT_THROW(Pattern(INFINITY, "0.", "."), std::domain_error);
}
