// The bounded schemes in the comparison window: their check boxes, their
// rows with iterations, and the Limiters tab with the faces of the solution
// (on a large grid a sample of them, each hover a real face).
#include <QChartView>
#include <QCheckBox>
#include <QGroupBox>
#include <QScatterSeries>
#include <QTabWidget>
#include <QApplication>
#include <QMouseEvent>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>

#include "charts/charts.hpp"
#include "fixed_ends.hpp"
#include "charts/limiter_chart.hpp"
#include "compare/errors_model.hpp"
#include "compare/face_sample.hpp"
#include "compare/limiters_page.hpp"
#include "compare_fixture.hpp"

TEST_F(CompareTest, BoundedSchemesHaveAGroupOfTheirOwnNoneTickedAtStart) {
    auto* group = Get<QGroupBox>("boundedSchemes");
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), "Bounded (TVD)");
    std::set<std::tuple<QRgb, int, int>> looks;
    for (study::Limiter l : study::kLimiters) {
        const study::Scheme s = study::SchemeOf(l);
        const QString name = "show_" + QString::fromStdString(std::string(study::Name(s)));
        auto* box = Get<QCheckBox>(name.toUtf8().constData());
        ASSERT_NE(box, nullptr) << name.toStdString();
        EXPECT_EQ(box->parentWidget(), group);
        EXPECT_FALSE(box->isChecked());
        EXPECT_FALSE(box->icon().isNull());
    }
    for (study::Scheme s : study::kAllSchemes) {
        const charts::Look look = charts::SchemeLook(s);
        looks.insert({look.colour.rgb(), int(look.line), int(look.marker)});
    }
    EXPECT_EQ(looks.size(), 15u);  // a look each
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
    const auto faces = study::LimitedFaces(FixedEnds(1, 0), r.grid, study::Limiter::VanLeer, r.phi);
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
              qsizetype(study::LimitedFaces(FixedEnds(1, 0), r.grid, study::Limiter::Koren, r.phi).size()));
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

TEST(FacesShown, FewAreAllKeptManyAreASampleThatDrawsTheSamePicture) {
    const std::vector<study::Face> few{{0.1, 0.5, 0.6}, {0.2, -1, 0}, {0.3, 1e50, 2}};  // beyond the axes too
    EXPECT_EQ(compare::FacesShown(few, 3).size(), few.size());
    // A million faces of a sharp solution: r over every order of size.
    std::vector<study::Face> faces;
    for (long k = 0; k < 1'000'000; ++k) {
        const double r = k % 7 == 0 ? -double(k) : std::exp(std::sin(double(k)) * 8);
        faces.push_back({double(k), r, study::Psi(study::Limiter::VanLeer, r)});
    }
    const std::vector<study::Face> shown = compare::FacesShown(faces, 3);
    ASSERT_LE(shown.size(), compare::kMostFacesShown);
    ASSERT_GT(shown.size(), compare::kMostFacesShown / 2);
    for (std::size_t k = 0; k < shown.size(); ++k) {
        const study::Face& f = faces.at(std::size_t(shown[k].x));  // a real face, as it was
        EXPECT_TRUE(f.r == shown[k].r && f.psi == shown[k].psi) << k;
        EXPECT_TRUE(k == 0 || shown[k - 1].x < shown[k].x) << k;  // in order of x
    }
    // The extremes in sight are kept; nothing out of sight is.
    auto byR = [](const study::Face& a, const study::Face& b) { return a.r < b.r; };
    auto byPsi = [](const study::Face& a, const study::Face& b) { return a.psi < b.psi; };
    std::vector<study::Face> inSight;
    std::copy_if(faces.begin(), faces.end(), std::back_inserter(inSight),
                 [](const study::Face& f) { return f.r >= 0 && f.r <= 3; });
    EXPECT_EQ(std::min_element(shown.begin(), shown.end(), byR)->r, std::min_element(inSight.begin(), inSight.end(), byR)->r);
    EXPECT_EQ(std::max_element(shown.begin(), shown.end(), byR)->r, std::max_element(inSight.begin(), inSight.end(), byR)->r);
    EXPECT_EQ(std::max_element(shown.begin(), shown.end(), byPsi)->psi,
              std::max_element(inSight.begin(), inSight.end(), byPsi)->psi);
    // Every face in sight has a face shown within a pixel or two (0.005 of
    // the axes' 3 is a pixel at 600 pixels).
    std::vector<study::Face> sorted = shown;
    std::sort(sorted.begin(), sorted.end(), byR);
    for (const study::Face& f : faces) {
        if (f.r < 0 || f.r > 3) continue;
        const auto at = std::lower_bound(sorted.begin(), sorted.end(), f, byR);
        bool near = false;
        for (auto it = at == sorted.begin() ? at : at - 1; it != sorted.end() && it <= at; ++it)
            near = near || (std::abs(it->r - f.r) <= 0.005 && std::abs(it->psi - f.psi) <= 0.01);
        ASSERT_TRUE(near) << "r = " << f.r << ", psi = " << f.psi;
    }
}

TEST_F(CompareTest, ALargeGridShowsASampleOfItsFacesFoundOffTheWindowsThreadEachHoverARealFace) {
    Get<QCheckBox>("show_vanleer")->setChecked(true);
    for (const char* name : {"show_central", "show_hybrid", "show_quick"}) Get<QCheckBox>(name)->setChecked(false);
    Type("u", "2.5");
    Type("N", "300000");
    window_->Tabs()->setCurrentWidget(window_->Limiters());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const study::Study* st = window_->Current();
            return st && st->plan.N == 300000 && window_->Limiters()->FacesFor() == st;
        },
        60000));
    auto* chart = static_cast<charts::LimiterChart*>(Get<QChartView>("limiterChart")->chart());
    QScatterSeries* series = chart->FacesOf(study::Limiter::VanLeer);
    ASSERT_NE(series, nullptr);
    const auto& kept = *window_->Limiters()->FacesOf(study::Limiter::VanLeer);
    EXPECT_EQ(series->count(), qsizetype(kept.size()));
    EXPECT_GT(kept.size(), 10u);
    EXPECT_LE(kept.size(), compare::kMostFacesShown);

    const study::Result& r = window_->Current()->results.back()[0];
    ASSERT_EQ(r.scheme, study::Scheme::VanLeer);
    const auto all = study::LimitedFaces(FixedEnds(1, 0), r.grid, study::Limiter::VanLeer, r.phi);
    ASSERT_GT(all.size(), compare::kMostFacesShown);
    QStringList real;
    for (const study::Face& f : all) real.append("Van Leer, " + charts::FaceText(f));
    auto* view = Get<QChartView>("limiterChart");
    int hovered = 0;
    for (std::size_t k : {std::size_t(0), kept.size() / 3, kept.size() / 2, kept.size() - 1}) {
        if (kept[k].r > charts::LimiterChart::kMostR || kept[k].r < 0) continue;  // out of sight
        ++hovered;
        const QPoint at =
            view->mapFromScene(chart->mapToScene(chart->mapToPosition({kept[k].r, kept[k].psi}, series)));
        QMouseEvent move(QEvent::MouseMove, at, view->viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &move);
        EXPECT_TRUE(real.contains(QToolTip::text())) << QToolTip::text().toStdString();
    }
    EXPECT_GT(hovered, 0);
}
