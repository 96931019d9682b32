// The charts shared by the study program and the comparison window: every
// scheme a look of its own, and Sweby's diagram with a solution's faces.
#include <gtest/gtest.h>

#include <QGraphicsTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <functional>
#include <set>

#include "charts/charts.hpp"
#include "fixed_ends.hpp"
#include "charts/limiter_chart.hpp"

TEST(LimiterChart, CurvesOfTheChosenLimitersOverTheRegionAndTheFacesOfASolution) {
    charts::LimiterChart chart;
    chart.Show({study::Limiter::VanLeer, study::Limiter::Superbee});
    QStringList names;
    for (QAbstractSeries* s : chart.series()) names.append(s->name());
    EXPECT_EQ(names, (QStringList{"second-order TVD region", "TVD bounds ψ = 2r, ψ = 2", "central ψ = 1",
                                  "upwind ψ = 0", "second-order upwind ψ = r", "QUICK ψ = (3 + r)/4", "Van Leer",
                                  "SUPERBEE"}));
    auto* vanLeer = static_cast<QLineSeries*>(chart.series().at(6));
    for (const QPointF& p : vanLeer->points()) EXPECT_DOUBLE_EQ(p.y(), study::Psi(study::Limiter::VanLeer, p.x()));
    EXPECT_EQ(vanLeer->pen(), charts::LookPen(charts::SchemeLook(study::Scheme::VanLeer), 2.2));

    // A solution's faces: a series named after the limiter, point k for
    // face k, out of the legend.
    study::Grid g = study::MakeGrid(study::Problem{}, 4);
    const std::vector<double> phi{0.9, 0.7, 0.4, 0.1};
    const std::vector<study::Face> faces = study::LimitedFaces(FixedEnds(1.0, 0.0), g, study::Limiter::VanLeer, phi);
    QScatterSeries* s = chart.ShowFaces(study::Limiter::VanLeer, faces);
    ASSERT_EQ(s, chart.FacesOf(study::Limiter::VanLeer));
    EXPECT_EQ(s->name(), "Van Leer");
    ASSERT_EQ(s->count(), qsizetype(faces.size()));
    EXPECT_EQ(s->at(1), QPointF(faces[1].r, faces[1].psi));
    for (QLegendMarker* m : chart.legend()->markers(s)) EXPECT_FALSE(m->isVisible());
    EXPECT_EQ(charts::FaceText({0.25, 1.5, 1.2}), "x = 0.25 m, r = 1.5, ψ = 1.2");
    // Shown again: the same series, refilled; a new set of curves drops the faces.
    EXPECT_EQ(chart.ShowFaces(study::Limiter::VanLeer, {faces[0]}), s);
    EXPECT_EQ(s->count(), 1);
    chart.Show({study::Limiter::MinMod});
    EXPECT_EQ(chart.FacesOf(study::Limiter::VanLeer), nullptr);
    EXPECT_EQ(chart.series().size(), 7);
}

namespace {

study::Problem Geometric(double ratio, long N) {
    study::Problem p;
    p.u = 2.5;
    p.grid.kind = study::GridKind::Geometric;
    p.grid.ratio = ratio;
    p.grid.baseN = N;
    return p;
}

}  // namespace

// Each face's tick stands where the chart puts x = that face on the x axis,
// at whatever size the chart is laid out.
TEST(SolutionChart, TicksStandOnTheXAxisAtTheFacesAtEverySize) {
    study::Plan plan;
    plan.schemes = {study::Scheme::Upwind};
    plan.N = 12;
    const study::Study st = study::Run(Geometric(0.7, 12), plan);
    charts::SolutionChart chart;
    chart.Show(st);
    const study::Grid& g = st.results.at(0).at(0).grid;
    ASSERT_EQ(chart.TickedFaces().size(), 13u);
    auto* y = static_cast<QValueAxis*>(chart.axes(Qt::Vertical).at(0));
    for (QSize size : {QSize(1000, 650), QSize(420, 300)}) {
        charts::Image(&chart, size);
        const QPainterPath path = chart.CellTicks()->path();
        ASSERT_EQ(path.elementCount(), 2 * 13) << size.width();
        for (int k = 0; k <= 12; ++k) {
            const QPointF foot = chart.mapToPosition({g.Face(k), y->min()}, chart.SeriesOf(study::Scheme::Upwind));
            const QPainterPath::Element from = path.elementAt(2 * k), to = path.elementAt(2 * k + 1);
            EXPECT_NEAR(from.x, foot.x(), 1e-6) << k << " at " << size.width();
            EXPECT_NEAR(from.y, foot.y(), 1e-6);
            EXPECT_EQ(to.x, from.x);
            EXPECT_LT(to.y, from.y);  // upwards, into the plot
        }
    }
    // Out of the legend: the exact curve and the scheme only.
    EXPECT_EQ(chart.legend()->markers().size(), 2);
}

TEST(SolutionChart, APointFindsTheNodeOfTheCellThatHoldsIt) {
    for (const study::Problem& p : {study::Problem{}, Geometric(0.6, 9)}) {
        const study::Grid g = study::MakeGrid(p, 9);
        for (long i = 1; i <= 9; ++i) {
            EXPECT_EQ(charts::NodeAt(g, g.x(i)), i) << p.grid.ratio;
            EXPECT_EQ(charts::NodeAt(g, g.Face(i - 1) + 0.01 * g.Width(i)), i);
        }
        EXPECT_EQ(charts::NodeAt(g, -1), 1);
        EXPECT_EQ(charts::NodeAt(g, p.L + 1), 9);
    }
}

namespace {

// The texts a chart draws, laid out at a window's size.
QStringList DrawnTexts(QChart* chart) {
    charts::Image(chart, QSize(1000, 650));
    QStringList texts;
    std::function<void(QGraphicsItem*)> walk = [&](QGraphicsItem* item) {
        for (QGraphicsItem* child : item->childItems()) {
            if (child->type() == QGraphicsTextItem::Type && child->isVisible())
                texts.append(static_cast<QGraphicsTextItem*>(child)->toPlainText());
            walk(child);
        }
    };
    walk(chart);
    return texts;
}

}  // namespace

// New legend texts ("(same as ...)", "(off scale)") keep the series, and
// the hover connected to them, and are drawn whole, the longer ones too, in
// a legend below the chart and in one beside it; the series are refilled
// whole when the axis moves.
TEST(SolutionChart, NewLegendTextsAreDrawnWholeOnTheSameSeries) {
    for (Qt::Alignment side : {Qt::AlignBottom, Qt::AlignRight}) {
        study::Problem p;
        p.u = 2.5;  // cell Pe = 5: central off scale, hybrid on its own
        study::Plan plan;
        plan.schemes = {study::Scheme::Central, study::Scheme::Upwind, study::Scheme::Hybrid};
        charts::SolutionChart chart;
        chart.legend()->setAlignment(side);
        chart.Show(study::Run(p, plan));
        QStringList drawn = DrawnTexts(&chart);
        EXPECT_TRUE(drawn.contains("Central (off scale)") && drawn.contains("Hybrid")) << drawn.join(" | ").toStdString();
        QLineSeries* central = chart.SeriesOf(study::Scheme::Central);
        QLineSeries* hybrid = chart.SeriesOf(study::Scheme::Hybrid);

        p.u = 0.1;  // hybrid is central
        const study::Study calm = study::Run(p, plan);
        chart.Show(calm);
        EXPECT_EQ(chart.SeriesOf(study::Scheme::Central), central);
        EXPECT_EQ(chart.SeriesOf(study::Scheme::Hybrid), hybrid);
        drawn = DrawnTexts(&chart);
        EXPECT_TRUE(drawn.contains("Hybrid (same as Central here)") && drawn.contains("Central"))
            << side << ": " << drawn.join(" | ").toStdString();
        EXPECT_FALSE(drawn.contains("Central (off scale)"));
        EXPECT_FALSE(drawn.contains("Hybrid"));
        for (QLineSeries* s : {central, hybrid}) ASSERT_EQ(s->count(), 5);
        EXPECT_EQ(hybrid->at(2).y(), calm.results[2][0].phi[2]);
        auto* exact = static_cast<QLineSeries*>(chart.series().at(0));
        EXPECT_EQ(exact->points(), charts::ExactCurve(p));
    }
}
