// The charts shared by the study program and the comparison window: every
// scheme a colour of its own, and Sweby's diagram with a solution's faces.
#include <gtest/gtest.h>

#include <QLegendMarker>
#include <QLineSeries>
#include <set>

#include "charts/charts.hpp"
#include "fixed_ends.hpp"
#include "charts/limiter_chart.hpp"

TEST(SchemeColour, FifteenDistinctColours) {
    std::set<QRgb> colours;
    for (study::Scheme s : study::kAllSchemes) colours.insert(charts::SchemeColour(s).rgb());
    EXPECT_EQ(colours.size(), study::kAllSchemes.size());
    EXPECT_EQ(colours.count(QColor(Qt::gray).rgb()), 0u) << "gray is for a scheme without a colour";
}

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
    EXPECT_EQ(vanLeer->pen().color(), charts::SchemeColour(study::Scheme::VanLeer));

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
