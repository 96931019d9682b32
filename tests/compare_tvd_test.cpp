// The bounded schemes in the comparison window: their check boxes, their
// rows with iterations, and the Limiters tab with the faces of the solution.
#include <QChartView>
#include <QCheckBox>
#include <QGroupBox>
#include <QScatterSeries>
#include <QTabWidget>
#include <QApplication>
#include <QMouseEvent>
#include <QToolTip>
#include <set>

#include "charts/charts.hpp"
#include "charts/limiter_chart.hpp"
#include "compare/errors_model.hpp"
#include "compare/limiters_page.hpp"
#include "compare_fixture.hpp"

TEST_F(CompareTest, BoundedSchemesHaveAGroupOfTheirOwnNoneTickedAtStart) {
    auto* group = Get<QGroupBox>("boundedSchemes");
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), "Bounded (TVD)");
    std::set<QRgb> colours;
    for (study::Limiter l : study::kLimiters) {
        const study::Scheme s = study::SchemeOf(l);
        const QString name = "show_" + QString::fromStdString(std::string(study::Name(s)));
        auto* box = Get<QCheckBox>(name.toUtf8().constData());
        ASSERT_NE(box, nullptr) << name.toStdString();
        EXPECT_EQ(box->parentWidget(), group);
        EXPECT_FALSE(box->isChecked());
        colours.insert(charts::SchemeColour(s).rgb());
    }
    for (study::Scheme s : study::kLinearSchemes) colours.insert(charts::SchemeColour(s).rgb());
    EXPECT_EQ(colours.size(), 15u);  // a colour each
}

TEST_F(CompareTest, TickedLimitersJoinTheChartTheTableAndTheConvergenceRun) {
    Get<QCheckBox>("show_minmod")->setChecked(true);
    Get<QCheckBox>("show_central")->setChecked(false);
    Type("u", "2.5");
    auto* chart = static_cast<charts::SolutionChart*>(Get<QChartView>("solutionChart")->chart());
    ASSERT_NE(chart->SeriesOf(study::Scheme::MinMod), nullptr);
    ASSERT_EQ(Rows(), 4);
    EXPECT_EQ(Cell(3, compare::ErrorsModel::kScheme), "Min-mod");
    EXPECT_EQ(Cell(3, compare::ErrorsModel::kBounded), "yes");
    EXPECT_EQ(Cell(3, compare::ErrorsModel::kIterations),
              QString::number(*window_->Current()->results[3][0].iterations));
    EXPECT_EQ(Cell(0, compare::ErrorsModel::kIterations), "");  // upwind: a linear scheme
    EXPECT_TRUE(QTest::qWaitFor([&] { return window_->Convergence() != nullptr; }, 20000));
    EXPECT_EQ(window_->Convergence()->plan.schemes.back(), study::Scheme::MinMod);
}

TEST_F(CompareTest, LimitersTabShowsTheTickedCurvesAndEveryLimitedFace) {
    Get<QCheckBox>("show_vanleer")->setChecked(true);
    Get<QCheckBox>("show_superbee")->setChecked(true);
    Type("N", "20");
    Type("u", "1");
    window_->Tabs()->setCurrentWidget(window_->Limiters());
    auto* view = Get<QChartView>("limiterChart");
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->isVisible());
    auto* chart = static_cast<charts::LimiterChart*>(view->chart());
    QStringList names;
    for (QAbstractSeries* s : chart->series()) names.append(s->name());
    EXPECT_EQ(names.count("Van Leer"), 2);  // its curve and its faces
    EXPECT_EQ(names.count("SUPERBEE"), 2);
    EXPECT_EQ(names.count("Min-mod"), 0);

    // The faces are those of the solution on show, in order.
    const study::Study& st = *window_->Current();
    const study::Result& r = st.results[4][0];
    ASSERT_EQ(r.scheme, study::Scheme::VanLeer);
    const auto faces = study::LimitedFaces(r.grid, 1, 0, study::Limiter::VanLeer, r.phi);
    QScatterSeries* series = chart->FacesOf(study::Limiter::VanLeer);
    ASSERT_NE(series, nullptr);
    ASSERT_EQ(series->count(), qsizetype(faces.size()));
    ASSERT_FALSE(faces.empty());
    for (std::size_t k = 0; k < faces.size(); ++k) {
        EXPECT_DOUBLE_EQ(series->at(qsizetype(k)).x(), faces[k].r);
        EXPECT_DOUBLE_EQ(series->at(qsizetype(k)).y(), faces[k].psi);
    }

    // A new solution moves the faces; unticking removes curve and faces.
    const std::vector<double> before = r.phi;  // the window lets go of the old study
    Type("u", "3");
    EXPECT_NE(window_->Current()->results[4][0].phi, before);
    EXPECT_EQ(chart->FacesOf(study::Limiter::VanLeer)->count(),
              qsizetype(window_->Limiters()->FacesOf(study::Limiter::VanLeer)->size()));
    Get<QCheckBox>("show_vanleer")->setChecked(false);
    window_->UpdateNow();
    EXPECT_EQ(chart->FacesOf(study::Limiter::VanLeer), nullptr);
    names.clear();
    for (QAbstractSeries* s : chart->series()) names.append(s->name());
    EXPECT_EQ(names.count("Van Leer"), 0);
    EXPECT_EQ(names.count("SUPERBEE"), 2);
}

TEST_F(CompareTest, LimitersTabIsBroughtUpToDateWhenItComesIntoSight) {
    Get<QCheckBox>("show_koren")->setChecked(true);
    Type("u", "2");
    auto* chart = static_cast<charts::LimiterChart*>(Get<QChartView>("limiterChart")->chart());
    window_->Tabs()->setCurrentWidget(window_->Limiters());
    ASSERT_NE(chart->FacesOf(study::Limiter::Koren), nullptr);
    window_->Tabs()->setCurrentIndex(0);
    Type("N", "12");
    window_->Tabs()->setCurrentWidget(window_->Limiters());
    const study::Result& r = window_->Current()->results.back()[0];
    EXPECT_EQ(chart->FacesOf(study::Limiter::Koren)->count(),
              qsizetype(study::LimitedFaces(r.grid, 1, 0, study::Limiter::Koren, r.phi).size()));
    // What hovering over a face says.
    EXPECT_EQ(charts::FaceText({0.45, 1.25, 1.1111}), "x = 0.45 m, r = 1.25, ψ = 1.111");
    QScatterSeries* faces = chart->FacesOf(study::Limiter::Koren);
    const auto& kept = *window_->Limiters()->FacesOf(study::Limiter::Koren);
    ASSERT_FALSE(kept.empty());
    auto* view = Get<QChartView>("limiterChart");
    const study::Face& shown = kept.front();
    const QPoint at = view->mapFromScene(chart->mapToScene(chart->mapToPosition({shown.r, shown.psi}, faces)));
    QMouseEvent move(QEvent::MouseMove, at, view->viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    EXPECT_EQ(QToolTip::text(), "Koren, " + charts::FaceText(shown));
}
