// The Time tab's profile chart leaves a profile far beyond the others off
// its axis, and says so.
#include <gtest/gtest.h>

#include <QLineSeries>
#include <QValueAxis>

#include "compare/time_charts.hpp"

TEST(TimeProfileChart, AProfileFarBeyondTheOthersIsOffScaleAndLeavesTheAxisAlone) {
    transient::Plan plan;
    plan.problem.u = 1;
    plan.N = 20;
    plan.schemes = {study::Scheme::Central, study::Scheme::Upwind};
    compare::TimeProfileChart chart;
    chart.Start(plan);
    auto* y = static_cast<QValueAxis*>(chart.axes(Qt::Vertical).at(0));
    const double lo = y->min(), hi = y->max();
    std::vector<double> calm(20, 0.5), wild(20, 0.5);
    wild[7] = 3e4;
    wild[8] = -3e4;
    const compare::Shot wildShot = compare::Keep(wild);
    compare::FrameSet f;
    f.index = 1;
    f.t = 1;
    f.alive = {true, true};
    f.shots = {wildShot, compare::Keep(calm)};
    chart.ShowFrame(f, {nullptr, nullptr});
    EXPECT_EQ(y->min(), lo);
    EXPECT_EQ(y->max(), hi);
    EXPECT_EQ(chart.SeriesOf(study::Scheme::Central)->name(), "Central (off scale)");
    EXPECT_EQ(chart.SeriesOf(study::Scheme::Upwind)->name(), "Upwind");
    EXPECT_EQ(chart.OffScaleText(study::Scheme::Central), "Central: φ from -3e+04 to 3e+04");
    EXPECT_EQ(chart.OffScaleText(study::Scheme::Upwind), "");
    // Blown up since: its last good profile, with how and when it ended.
    chart.SetEndings({" (blew up at t = 1.1 s)", ""});
    f.alive = {false, true};
    chart.ShowFrame(f, {&wildShot, nullptr});
    EXPECT_EQ(chart.SeriesOf(study::Scheme::Central)->name(), "Central (blew up at t = 1.1 s) (off scale)");
    EXPECT_EQ(y->max(), hi);
}
