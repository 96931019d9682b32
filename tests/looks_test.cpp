// The schemes' looks (no two alike, colour-blind viewers included), the φ
// axes that leave a scheme off scale rather than follow it, and the
// convergence chart's floor at the rounding level.
#include <gtest/gtest.h>

#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>
#include <QLogValueAxis>
#include <array>
#include <cmath>
#include <set>
#include <tuple>

#include "charts/charts.hpp"
#include "charts/limiter_chart.hpp"
#include "charts/transient_charts.hpp"

namespace {

// sRGB as a viewer sees it: with normal vision, or simulated deuteranopia
// or protanopia (Viénot, Brettel and Mollon's matrices on linear RGB),
// back in sRGB units of 0 to 1.
std::array<double, 3> Seen(const QColor& c, int vision) {
    auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    const std::array<double, 3> rgb{linear(c.redF()), linear(c.greenF()), linear(c.blueF())};
    static const double m[3][3][3] = {
        {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
        {{0.29275, 0.70725, 0}, {0.29275, 0.70725, 0}, {-0.02234, 0.02234, 1}},  // deuteranopia
        {{0.11238, 0.88762, 0}, {0.11238, 0.88762, 0}, {0.00401, -0.00401, 1}},  // protanopia
    };
    std::array<double, 3> out{};
    for (int i = 0; i < 3; ++i) {
        double v = 0;
        for (int j = 0; j < 3; ++j) v += m[vision][i][j] * rgb[std::size_t(j)];
        v = std::clamp(v, 0.0, 1.0);
        out[std::size_t(i)] = v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
    }
    return out;
}

double Distance(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

QLineSeries* Line(QChart& chart, study::Scheme s) {
    for (QAbstractSeries* series : chart.series())
        if (series->name().startsWith(charts::SchemeTitle(s))) return static_cast<QLineSeries*>(series);
    return nullptr;
}

}  // namespace

TEST(SchemeLook, NoTwoSchemesLookAlikeForAnyViewer) {
    std::set<std::tuple<QRgb, int>> colourAndLine, colourAndMarker;
    std::set<std::tuple<int, int>> lineAndMarker;
    for (study::Scheme a : study::kAllSchemes) {
        const charts::Look la = charts::SchemeLook(a);
        EXPECT_NE(la.colour, QColor(Qt::black)) << "black is the exact solution's";
        // A chart of lines alone (large N) and a legend of markers alone
        // (small N) tell every scheme apart, and so does a grey print.
        EXPECT_TRUE(colourAndLine.insert({la.colour.rgb(), int(la.line)}).second) << study::Name(a);
        EXPECT_TRUE(colourAndMarker.insert({la.colour.rgb(), int(la.marker)}).second) << study::Name(a);
        EXPECT_TRUE(lineAndMarker.insert({int(la.line), int(la.marker)}).second) << study::Name(a);
        for (study::Scheme b : study::kAllSchemes) {
            if (a >= b) continue;
            const charts::Look lb = charts::SchemeLook(b);
            // Colours that any viewer may confuse (Okabe and Ito's blue and
            // reddish purple, for one, with protanopia) come with another
            // line style or another marker.
            for (int vision : {0, 1, 2})
                if (Distance(Seen(la.colour, vision), Seen(lb.colour, vision)) < 0.2) {
                    EXPECT_TRUE(la.line != lb.line || la.marker != lb.marker)
                        << study::Name(a) << " " << study::Name(b) << " vision " << vision;
                }
        }
    }
    // The marker images differ where the looks do, and are made once.
    EXPECT_EQ(charts::MarkerImage(charts::SchemeLook(study::Scheme::Central), 9).cacheKey(),
              charts::MarkerImage(charts::SchemeLook(study::Scheme::Central), 9).cacheKey());
    EXPECT_NE(charts::MarkerImage(charts::SchemeLook(study::Scheme::Central), 9),
              charts::MarkerImage(charts::SchemeLook(study::Scheme::Koren), 9));
}

TEST(SchemeLook, SwebysLegendHasNoTwoSwatchesAlike) {
    charts::LimiterChart chart;
    chart.Show({study::kLimiters.begin(), study::kLimiters.end()});
    charts::Image(&chart, QSize(900, 600));  // the legend's markers are made as the chart is laid out
    EXPECT_EQ(chart.legend()->markerShape(), QLegend::MarkerShapeFromSeries);
    std::set<std::tuple<QRgb, int, QRgb>> swatches;
    for (QLegendMarker* m : chart.legend()->markers()) {
        if (!m->isVisible()) continue;
        const auto* line = qobject_cast<QLineSeries*>(m->series());
        const QPen pen = line ? line->pen() : QPen(m->brush().color());
        EXPECT_TRUE(swatches.insert({pen.color().rgba(), int(pen.style()), m->brush().color().rgba()}).second)
            << m->label().toStdString();
    }
    EXPECT_EQ(swatches.size(), 6 + study::kLimiters.size());
}

TEST(SolutionChart, AnOscillatingSchemeIsOffScaleAndTheAxisStaysWithTheOthers) {
    study::Problem p;
    p.u = 2.5;  // cell Pe = 5 at N = 5: central oscillates far beyond [0, 1]
    study::Plan plan;
    plan.schemes = {study::Scheme::Central, study::Scheme::Upwind, study::Scheme::Quick};
    const study::Study st = study::Run(p, plan);
    const study::Result& central = st.results[0][0];
    ASSERT_GT(central.phiMax, 1.5);
    charts::SolutionChart chart;
    chart.Show(st);
    auto* y = static_cast<QValueAxis*>(chart.axes(Qt::Vertical).at(0));
    EXPECT_LT(y->max(), 1.25 + 0.1);
    EXPECT_GT(y->min(), -0.25 - 0.1);
    auto label = [&](study::Scheme s) { return chart.legend()->markers(chart.SeriesOf(s)).at(0)->label(); };
    EXPECT_EQ(label(study::Scheme::Central), "Central (off scale)");
    EXPECT_EQ(label(study::Scheme::Upwind), "Upwind");
    EXPECT_EQ(chart.OffScaleText(study::Scheme::Central),
              QString("Central: φ from %1 to %2").arg(central.phiMin, 0, 'g', 3).arg(central.phiMax, 0, 'g', 3));
    EXPECT_EQ(chart.OffScaleText(study::Scheme::Upwind), "");
    // Few nodes: each scheme's marker at every node; the legend shows it.
    EXPECT_FALSE(chart.SeriesOf(study::Scheme::Upwind)->lightMarker().isNull());

    // Diffusion wins: every scheme is near the exact solution, none off scale.
    p.u = 0.1;
    chart.Show(study::Run(p, plan));
    EXPECT_EQ(label(study::Scheme::Central), "Central");
    EXPECT_EQ(chart.OffScaleText(study::Scheme::Central), "");
    EXPECT_LT(y->max(), 1.1);
}

TEST(TransientProfileChart, AProfileThatBlewUpLeavesTheAxisToTheOthers) {
    transient::Plan plan;
    plan.problem.u = 1;
    plan.N = 20;
    plan.tEnd = 1;
    plan.schemes = {study::Scheme::Central, study::Scheme::Upwind};
    std::vector<double> calm(20, 0.5), wild(20, 0.5);
    wild[7] = 3e4;
    wild[8] = -3e4;
    charts::TransientProfileChart chart;
    chart.Show(plan, {{study::Scheme::Central, wild, 0.5, true, false, 0.52}, {study::Scheme::Upwind, calm, 1.0}});
    auto* y = static_cast<QValueAxis*>(chart.axes(Qt::Vertical).at(0));
    EXPECT_LT(y->max(), 10);
    EXPECT_GT(y->min(), -10);
    EXPECT_EQ(Line(chart, study::Scheme::Central)->name(), "Central (blew up at t = 0.52 s) (off scale)");
    EXPECT_EQ(Line(chart, study::Scheme::Upwind)->name(), "Upwind");
    EXPECT_EQ(Line(chart, study::Scheme::Central)->pen().style(), charts::SchemeLook(study::Scheme::Central).line);
}

TEST(ConvergenceChart, ErrorsAtTheRoundingLevelAreDrawnAtTheFloorAndSaidSo) {
    study::Problem p;
    p.u = 2.5;
    study::Plan plan;
    plan.schemes = {study::Scheme::Exponential, study::Scheme::Upwind};  // exponential: exact at the nodes
    plan.refine = 4;
    const study::Study st = study::Run(p, plan);
    ASSERT_LT(st.results[0][0].maxError, 1e-14);
    charts::ConvergenceChart chart;
    chart.Show(st);
    EXPECT_DOUBLE_EQ(chart.Floor(), charts::RoundingLevel(p));
    EXPECT_NEAR(chart.Floor(), 1.1e-13, 0.1e-13);  // max |phi| = 1
    auto* y = static_cast<QLogValueAxis*>(chart.axes(Qt::Vertical).at(0));
    EXPECT_GE(y->min(), chart.Floor() / 4);
    QLineSeries* exponential = Line(chart, study::Scheme::Exponential);
    ASSERT_NE(exponential, nullptr);
    EXPECT_EQ(exponential->name(), "Exponential (at rounding level)");
    for (const QPointF& q : exponential->points()) EXPECT_GE(q.y(), chart.Floor());
    EXPECT_EQ(Line(chart, study::Scheme::Upwind)->name(), "Upwind");
    // The rings: one at each floored point.
    QScatterSeries* rings = nullptr;
    for (QAbstractSeries* s : chart.series())
        if (s->type() == QAbstractSeries::SeriesTypeScatter) rings = static_cast<QScatterSeries*>(s);
    ASSERT_NE(rings, nullptr);
    EXPECT_TRUE(rings->name().startsWith("below the rounding level"));
    EXPECT_GE(rings->count(), 1);
    for (const QPointF& q : rings->points()) EXPECT_EQ(q.y(), chart.Floor());

    // No error at the rounding level: no rings, no floor in sight.
    plan.schemes = {study::Scheme::Upwind, study::Scheme::Central};
    chart.Show(study::Run(p, plan));
    for (QAbstractSeries* s : chart.series()) EXPECT_NE(s->type(), QAbstractSeries::SeriesTypeScatter);
    EXPECT_GT(y->min(), 1e-6);
}
