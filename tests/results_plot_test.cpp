// The results table byte for byte, and the plot model: scale, shapes in
// drawing order, and the exact curve where its formula breaks down.
#include <gtest/gtest.h>

#include <cmath>

#include "app/calculation.hpp"
#include "app/results_file.hpp"
#include "app/solution_plot.hpp"
#include "test_support.hpp"

using driver::Scheme;
using plot::Shape;

namespace {

driver::Outputs Calc(const driver::InputTexts& in, Scheme scheme, const std::string& separator = ".") {
    Mdl_Common::ProblemState s;
    driver::Outputs out;
    out.list1.separator = separator;
    driver::Calculate(in, scheme, s, out);
    return out;
}

driver::InputTexts Inputs(const char* N, const char* u = "0.1", const char* FiA = "1", const char* FiB = "0") {
    driver::InputTexts in;
    in.N = N;
    in.u = u;
    in.FiA = FiA;
    in.FiB = FiB;
    return in;
}

std::size_t Count(const plot::PlotModel& m, Shape::Kind kind, plot::Rgb colour) {
    std::size_t n = 0;
    for (const Shape& s : m.shapes)
        if (s.kind == kind && s.colour == colour) ++n;
    return n;
}

}  // namespace

TEST(ResultsText, DefaultCentralCase) {
    EXPECT_EQ(*Calc({}, Scheme::Central).resultsText,
              " i    AW    AP   AE   Su   T\r\n"
              "\r\n"
              " 1   0.  -000.  -001.  002.  001.  000.94\r\n"
              " 2   -1.  -000.  000.  001.  001.  000.80\r\n"
              " 3   -1.  -000.  000.  001.  001.  000.63\r\n"
              " 4   -1.  -000.  000.  001.  000.  000.42\r\n"
              " 5   -1.  000.  -001.  001.  000.  000.16\r\n");
}

TEST(ResultsText, TenNodesShiftByOneAndCommaSeparator) {
    const std::string text = *Calc(Inputs("10"), Scheme::Upwind, ",").resultsText;
    const std::string last = "\r\n 9   -1,  -001,  000,  002,  000,  000,22\r\n 10   -1,  000,  -002,  003,  000,  000,08\r\n";
    EXPECT_EQ(text.substr(text.size() - last.size()), last);
    EXPECT_EQ(text.find('.'), std::string::npos);
}

TEST(ResultsText, QuickShowsItsSourceAndAZeroSolution) {
    driver::InputTexts in = Inputs("4", "2", "1", "2");
    in.Gama = "0.75";
    EXPECT_EQ(*Calc(in, Scheme::QUICK).resultsText,
              " i    AW    AP   AE   Su   T\r\n"
              "\r\n"
              " 1   0.  -003.  -011.  014.  011.  000.00\r\n"
              " 2   -5.  -002.  001.  007.  -001.  000.00\r\n"
              " 3   -5.  -002.  000.  007.  000.  000.00\r\n"
              " 4   -6.  000.  -006.  011.  012.  000.00\r\n");
}

TEST(SolutionPlot, DefaultCase) {
    const plot::PlotModel m = *Calc({}, Scheme::Central).plot;
    EXPECT_EQ(m.aExact, 1);
    EXPECT_NEAR(m.cExact, -0.581977, 5e-7);
    ASSERT_EQ(m.xExact.size(), 100u);
    EXPECT_EQ(m.fiExact[0], 1);
    EXPECT_EQ(m.xExact[50], 0.5);
    EXPECT_NEAR(m.fiExact[50], 0.622459, 5e-7);
    EXPECT_NEAR(m.xExact[99], 0.99, 1e-15);
    EXPECT_NEAR(m.fiExact[99], 0.015741, 5e-7);
    EXPECT_NEAR(m.rMarker, 0.018, 1e-15);
    EXPECT_NEAR(m.tMax, 0.94211, 5e-6);
    EXPECT_NEAR(m.left, -0.1, 1e-15);
    EXPECT_NEAR(m.top, 1.22473, 2e-5);  // 1.3 Tmax
    EXPECT_NEAR(m.right, 1.1, 1e-15);
    EXPECT_NEAR(m.bottom, -0.094211, 5e-7);

    // Axes, five circles, four red segments, 99 blue segments, in that order.
    ASSERT_EQ(m.shapes.size(), 2u + 5u + 4u + 99u);
    EXPECT_FALSE(m.shapes[0].colour.has_value());
    EXPECT_EQ(m.shapes[0].x2, 1.0f);
    EXPECT_EQ(m.shapes[1].x2, 0.0f);
    EXPECT_NEAR(m.shapes[1].y2, 1.13052, 2e-5);  // 1.2 Tmax
    EXPECT_EQ(m.shapes[2].kind, Shape::Kind::Circle);
    EXPECT_EQ(m.shapes[2].colour, plot::kRed);
    EXPECT_EQ(m.shapes[2].x1, 0.1);
    EXPECT_EQ(m.shapes[2].radius, m.rMarker);
    EXPECT_EQ(m.shapes[7].kind, Shape::Kind::Line);
    EXPECT_EQ(m.shapes[7].colour, plot::kRed);
    EXPECT_EQ(m.shapes[11].colour, plot::kBlue);
    EXPECT_EQ(Count(m, Shape::Kind::Line, plot::kBlue), 99u);
}

TEST(SolutionPlot, HorizontalAxisEndsAtOneWhateverTheLength) {
    driver::InputTexts in;
    in.L = "2";
    const plot::PlotModel m = *Calc(in, Scheme::Central).plot;
    EXPECT_EQ(m.shapes[0].x2, 1.0f);
    EXPECT_NEAR(m.right, 2.2, 1e-15);
}

TEST(SolutionPlot, OneNodeHasOneMarkerAndNoSegment) {
    const plot::PlotModel m = *Calc(Inputs("1"), Scheme::Central).plot;
    EXPECT_EQ(Count(m, Shape::Kind::Circle, plot::kRed), 1u);
    EXPECT_EQ(Count(m, Shape::Kind::Line, plot::kRed), 0u);
}

TEST(SolutionPlot, ExactCurveWithoutFlowIsAStraightLine) {
    const plot::PlotModel m = *Calc(Inputs("5", "0"), Scheme::Upwind).plot;
    for (std::size_t i = 0; i < 100; ++i) EXPECT_NEAR(m.fiExact[i], 1.0 - m.xExact[i], 1e-15) << i;
}

TEST(SolutionPlot, ExactCurveAtLargePecletNumbersStaysFinite) {
    driver::InputTexts in = Inputs("5", "1000");
    in.Gama = "0.001";
    const plot::PlotModel m = *Calc(in, Scheme::Upwind).plot;
    EXPECT_EQ(m.fiExact[0], 1);
    EXPECT_NEAR(m.fiExact[99], 1.0, 1e-12);  // the boundary layer lies beyond x = 0.99 L
    for (double v : m.fiExact) EXPECT_TRUE(std::isfinite(v));

    in.u = "-1000";  // flow to the left: the layer sits at x = 0
    const plot::PlotModel back = *Calc(in, Scheme::Upwind).plot;
    EXPECT_EQ(back.fiExact[0], 1);
    EXPECT_NEAR(back.fiExact[1], 0.0, 1e-12);
    EXPECT_NEAR(back.fiExact[99], 0.0, 1e-12);

    // Moderate Peclet numbers take the formula as written.
    std::vector<double> xs, values;
    double c = 0;
    plot::ExactSolution(1, 0, 1, 700, xs, values, c);
    EXPECT_NE(c, 0.0);
    plot::ExactSolution(1, 0, 1, 800, xs, values, c);
    EXPECT_EQ(c, 0.0);
    for (double v : values) EXPECT_TRUE(std::isfinite(v));
    plot::ExactSolution(1e308, -1e308, 1, 1, xs, values, c);
    EXPECT_EQ(values[0], 1e308);
    for (double v : values) EXPECT_TRUE(std::isfinite(v));
}

TEST(SolutionPlot, NoPositiveSolutionStillHasAScaleWithHeight) {
    // QUICK: T is all zero; the exact curve runs from 1 to 0.
    const plot::PlotModel quick = *Calc({}, Scheme::QUICK).plot;
    EXPECT_EQ(quick.tMax, 0);
    EXPECT_NEAR(quick.top, 1.3, 1e-12);
    EXPECT_NEAR(quick.bottom, -0.1, 1e-12);

    // Everything zero.
    const plot::PlotModel zero = *Calc(Inputs("5", "0.1", "0", "0"), Scheme::Central).plot;
    EXPECT_GT(zero.top, zero.bottom);

    // Everything negative: the values lie inside the scale.
    const plot::PlotModel negative = *Calc(Inputs("5", "0.1", "-1", "0"), Scheme::Central).plot;
    EXPECT_NEAR(negative.top, 0.3, 1e-12);
    EXPECT_NEAR(negative.bottom, -1.1, 1e-12);
}

TEST(SolutionPlot, ValuesBelowTheScaleAreKeptForTheEdgeToCut) {
    // Central at Pe = 5 with FiA = 0, FiB = 1: wiggles go below zero.
    driver::InputTexts in = Inputs("5", "2.5", "0", "1");
    const plot::PlotModel m = *Calc(in, Scheme::Central).plot;
    EXPECT_GT(m.tMax, 0);
    EXPECT_NEAR(m.bottom, -0.1 * m.tMax, 1e-15);
}
