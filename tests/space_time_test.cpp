// The space-time picture's colour scale: fixed by the run's natural bounds,
// ticks at round numbers, its own colours for values beyond, and a field of
// zeros painted as zero on a scale that labels it.
#include <gtest/gtest.h>

#include <cmath>

#include "charts/space_time.hpp"
#include "fixed_ends.hpp"

namespace {

transient::Plan PlanOf(transient::Initial initial, double phiA, double phiB) {
    transient::Plan plan;
    plan.problem = FixedEnds(phiA, phiB);
    plan.N = 50;
    plan.schemes = {study::Scheme::Upwind};
    plan.dt = 0.01;
    plan.tEnd = 0.1;
    plan.frames = 10;
    plan.initial = std::move(initial);
    return plan;
}

// Whether `v` is 1, 2 or 5 times a power of ten.
bool Round(double v) {
    const double power = std::pow(10.0, std::floor(std::log10(v) + 1e-9));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (std::fabs(v - m * power) <= 1e-9 * v) return true;
    return false;
}

double Distance(const QColor& a, const QColor& b) {
    return std::hypot(a.red() - b.red(), a.green() - b.green(), a.blue() - b.blue());
}

}  // namespace

TEST(SpaceTimeScale, TheNaturalBoundsOfTheInitialStateAndTheEnds) {
    using transient::Shape;
    struct Case {
        transient::Initial initial;
        double phiA, phiB, lo, hi;
    };
    // A pulse's top at the nodes: 0.5 lies on a face, the nearest nodes
    // 0.01 away, so exp(-(0.01 / 0.05)^2 / 2).
    const Case cases[] = {
        {transient::Initial(Shape::Step, 0.5), 1, 0, 0, 1},
        {transient::Initial(Shape::Pulse, 0.5, 0.05), 0, 0, 0, std::exp(-0.02)},
        {transient::Initial(Shape::Pulse, 0.5, 0.05), 1.25, -0.25, -0.25, 1.25},
        {transient::Initial(Shape::Square, 0.2, 0.4), 2, -1, -1, 2},
        {transient::Initial(Shape::Uniform, 0.3), 0.2, 0.5, 0.2, 0.5},
    };
    for (const Case& c : cases) {
        const charts::ColourScale s = charts::ScaleOf(PlanOf(c.initial, c.phiA, c.phiB));
        EXPECT_NEAR(s.lo, c.lo, 1e-12) << transient::Text(c.initial);
        EXPECT_NEAR(s.hi, c.hi, 1e-12) << transient::Text(c.initial);
    }
}

TEST(SpaceTimeScale, TicksFallOnRoundNumbersAcrossTheScale) {
    const std::pair<double, double> ranges[] = {{0, 1},     {0, 0.94},       {-0.25, 1.25}, {0, 0.126},
                                                {3, 17},    {-2e-4, 7e-4},   {-1, 2},       {1e5, 1.3e5},
                                                {-60, -40}, {0.999, 1.0001}};
    for (const auto& [lo, hi] : ranges) {
        const charts::ColourScale s = charts::ScaleOver(lo, hi);
        const std::vector<double> ticks = s.Ticks();
        EXPECT_TRUE(Round(s.tick)) << lo << " " << hi << ": " << s.tick;
        ASSERT_GE(ticks.size(), 2u) << lo << " " << hi;
        EXPECT_LE(ticks.size(), 6u) << lo << " " << hi;
        EXPECT_LT(ticks.front() - s.lo, s.tick) << lo << " " << hi;
        EXPECT_LT(s.hi - ticks.back(), s.tick) << lo << " " << hi;
        for (double t : ticks) {
            EXPECT_GE(t, s.lo - 1e-12 * std::fabs(s.lo));
            EXPECT_LE(t, s.hi + 1e-12 * std::fabs(s.hi));
            const double k = t / s.tick;
            EXPECT_NEAR(k, std::round(k), 1e-6) << lo << " " << hi << ": tick " << t;
        }
    }
    const std::vector<double> unit = charts::ScaleOver(0, 1).Ticks();
    ASSERT_EQ(unit.size(), 6u);
    for (std::size_t k = 0; k < unit.size(); ++k) EXPECT_NEAR(unit[k], 0.2 * double(k), 1e-12);
}

TEST(SpaceTimeScale, ValuesBeyondTakeColoursOfTheirOwn) {
    const charts::ColourScale s = charts::ScaleOver(0, 1);
    // None of the three near a colour of the map, nor near each other.
    const QColor own[] = {charts::kAboveScale, charts::kBelowScale, charts::kNoValue};
    for (int r = 0; r <= 1000; ++r)
        for (const QColor& c : own) EXPECT_GT(Distance(c, charts::ScaleColour(r / 1000.0, 0, 1)), 50) << r;
    EXPECT_GT(Distance(own[0], own[1]), 100);
    EXPECT_GT(Distance(own[0], own[2]), 50);
    EXPECT_GT(Distance(own[1], own[2]), 100);

    EXPECT_EQ(s.Of(1.01), charts::kAboveScale);
    EXPECT_EQ(s.Of(-0.01), charts::kBelowScale);
    // A rounding beyond an end (a float kept of the top) is the end.
    EXPECT_EQ(charts::ScaleOver(0, 0.9802).Of(double(float(0.9802))), charts::ScaleColour(1, 0, 1));
    EXPECT_EQ(s.Of(0.5), charts::ScaleColour(0.5, 0, 1));

    // In the picture's rows: a central scheme's over- and undershoots.
    transient::Plan plan = PlanOf(transient::Initial(transient::Shape::Step, 0.5), 1, 0);
    plan.N = 4;
    charts::SpaceTime st(plan, 10);
    const std::vector<double> phi{1.2, 0.5, -0.1, 0};
    st.Add(transient::Sample{study::Scheme::Upwind, 0, 0, phi});
    const QImage data = st.Data(study::Scheme::Upwind);
    ASSERT_EQ(data.width(), 4);
    const int bottom = data.height() - 1;
    EXPECT_EQ(data.pixelColor(0, bottom), charts::kAboveScale);
    EXPECT_EQ(data.pixelColor(1, bottom), charts::ScaleColour(0.5, 0, 1));
    EXPECT_EQ(data.pixelColor(2, bottom), charts::kBelowScale);
    EXPECT_EQ(data.pixelColor(3, bottom), charts::ScaleColour(0, 0, 1));
    EXPECT_EQ(data.pixelColor(0, bottom - 1), charts::kNoValue);  // not yet computed
}

TEST(SpaceTimeScale, AFieldOfZerosIsPaintedAsTheScalesZeroTick) {
    for (double v : {0.0, 3.0, -0.37}) {
        const transient::Plan plan = PlanOf(transient::Initial(transient::Shape::Uniform, v), v, v);
        charts::SpaceTime st(plan, 10);
        const charts::ColourScale& s = st.Scale();
        EXPECT_LT(s.lo, v);
        EXPECT_GT(s.hi, v);
        const std::vector<double> ticks = s.Ticks();
        EXPECT_NE(std::find(ticks.begin(), ticks.end(), v), ticks.end()) << v;
        const std::vector<double> field(std::size_t(plan.N), v);
        st.Add(transient::Sample{study::Scheme::Upwind, 0, 0, field});
        // The field's colour is the bar's where v is marked.
        const QColor painted = st.Data(study::Scheme::Upwind).pixelColor(7, 9);
        EXPECT_EQ(painted, charts::ScaleColour((v - s.lo) / (s.hi - s.lo), 0, 1)) << v;
        EXPECT_NE(painted, charts::kNoValue);
    }
    const charts::ColourScale zero = charts::ScaleOver(0, 0);
    EXPECT_EQ(zero.Ticks(), (std::vector<double>{-1, -0.5, 0, 0.5, 1}));
}
