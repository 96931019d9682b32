// The comparison window's grid: the choice and its ratio, a ratio that fails
// at N or only on the Convergence tab's finer grids, a geometric grid against
// convdiff-study, the ticks at the faces, the settings that keep the choice,
// and the time runs the Time tab refuses on stretched cells.
#include <gtest/gtest.h>

#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLegendMarker>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>

#include "compare/explain.hpp"
#include "charts/charts.hpp"
#include "compare/input_panel.hpp"
#include "compare/time_run.hpp"
#include "compare/time_tab.hpp"
#include "compare_fixture.hpp"
#include "study/numbers.hpp"

namespace {

class GridTest : public CompareTest {
protected:
    void Choose(const char* name, const char* item) {
        QComboBox* box = Get<QComboBox>(name);
        ASSERT_GE(box->findText(item), 0) << item;
        box->setCurrentIndex(box->findText(item));
        window_->UpdateNow();
    }
    bool Invalid(const char* box) { return Get<QWidget>(box)->property("invalid").toBool(); }
    QString Tip(const char* box) { return Get<QWidget>(box)->toolTip(); }
    charts::SolutionChart* Chart() {
        return static_cast<charts::SolutionChart*>(Get<QChartView>("solutionChart")->chart());
    }
    QString TimeBanner() { return window_->Time()->findChild<QLabel*>("stabilityBanner")->text(); }
};

study::GridLayout Layout(study::GridKind kind, double ratio, long baseN) {
    study::GridLayout g;
    g.kind = kind;
    g.ratio = ratio;
    g.baseN = baseN;
    return g;
}

}  // namespace

TEST_F(GridTest, TheChoiceBuildsTheGridAndOnlyAStretchedOneTakesTheRatio) {
    auto* ratio = Get<QLineEdit>("grid_ratio");
    EXPECT_EQ(Get<QComboBox>("grid")->currentText(), "Uniform");
    EXPECT_FALSE(ratio->isEnabled());
    EXPECT_EQ(ratio->text(), "1");
    // A ratio that does not read is no fault while the cells are equal.
    ratio->setText("abc");
    Type("N", "12");
    EXPECT_FALSE(Invalid("grid_ratio"));
    EXPECT_EQ(window_->Current()->problem.grid, study::GridLayout{});

    Choose("grid", "Geometric");
    EXPECT_TRUE(ratio->isEnabled());
    EXPECT_TRUE(Invalid("grid_ratio"));
    Type("grid_ratio", "0.8");
    EXPECT_EQ(window_->Current()->problem.grid, Layout(study::GridKind::Geometric, 0.8, 12));
    // The ratio is given for the window's N, whatever N becomes.
    Type("N", "20");
    EXPECT_EQ(window_->Current()->problem.grid, Layout(study::GridKind::Geometric, 0.8, 20));
    EXPECT_FALSE(window_->Current()->results.at(0).at(0).grid.Uniform());

    Choose("grid", "Two-sided");
    Type("grid_ratio", "1.25");
    EXPECT_EQ(window_->Current()->problem.grid, Layout(study::GridKind::TwoSided, 1.25, 20));

    Choose("grid", "Uniform");
    EXPECT_FALSE(ratio->isEnabled());
    EXPECT_EQ(window_->Current()->problem.grid, study::GridLayout{});
    EXPECT_TRUE(window_->Current()->results.at(0).at(0).grid.Uniform());
}

TEST_F(GridTest, ABadRatioIsMarkedWithItsReasonAtNOrOnTheFinerGrids) {
    Choose("grid", "Geometric");
    Type("grid_ratio", "x");
    EXPECT_TRUE(Invalid("grid_ratio"));
    EXPECT_EQ(Tip("grid_ratio"), "Ratio R: " + QString::fromStdString(study::NumberProblem("x")));
    Type("grid_ratio", "0");
    EXPECT_EQ(Tip("grid_ratio"), "Ratio R: the ratio must be above 0");
    EXPECT_TRUE(window_->statusBar()->currentMessage().startsWith("Ratio R: the ratio must be above 0"));

    // Cells down to 1e-9 L at N = 5, but the Convergence tab's 5120 cells of
    // the same family would take one narrower than 1e-12 L.
    const auto fine = Layout(study::GridKind::Geometric, 0.0063, 5);
    ASSERT_FALSE(study::GridFault(fine, 1, 5));
    ASSERT_TRUE(study::GridFault(fine, 1, 5 << 10));
    Type("grid_ratio", "0.0063");
    EXPECT_TRUE(Invalid("grid_ratio"));
    const std::string tip = Tip("grid_ratio").toStdString();
    EXPECT_EQ(tip.rfind("Ratio R: its narrowest cell at N = ", 0), 0u) << tip;
    EXPECT_EQ(tip.find("at N = 5 "), std::string::npos) << tip;
    EXPECT_EQ(window_->Current()->problem.grid, Layout(study::GridKind::Geometric, 1, 5));  // the last good one
    // A nearer ratio is good again, and the mark goes.
    Type("grid_ratio", "0.5");
    EXPECT_FALSE(Invalid("grid_ratio"));
    EXPECT_EQ(window_->Current()->problem.grid, Layout(study::GridKind::Geometric, 0.5, 5));
}

TEST_F(GridTest, AGeometricGridIsTheStudysAndItsFacesAreTicked) {
    Get<QCheckBox>("show_vanleer")->setChecked(true);
    Choose("grid", "Geometric");
    Type("grid_ratio", "0.8");
    Type("u", "2.5");
    Type("N", "20");
    ASSERT_NE(window_->Current(), nullptr) << window_->statusBar()->currentMessage().toStdString();
    ExpectExportsEqualTheStudys(
        {"--grid", "geometric:0.8", "--u", "2.5", "--N", "20", "--schemes", "central,upwind,hybrid,quick,vanleer"});

    charts::SolutionChart* chart = Chart();
    const study::Grid& g = window_->Current()->results.at(0).at(0).grid;
    ASSERT_EQ(chart->TickedFaces().size(), 21u);
    for (long k = 0; k <= 20; ++k) EXPECT_EQ(chart->TickedFaces()[std::size_t(k)], g.Face(k)) << k;
    // The ticks are no series: every legend entry is a series on the chart.
    EXPECT_EQ(chart->legend()->markers().size(), chart->series().size());
    // Too many cells to tick apart: none.
    Type("grid_ratio", "0.99");
    Type("N", QString::number(charts::kMostTickedCells + 1));
    EXPECT_TRUE(chart->TickedFaces().empty());
    EXPECT_TRUE(chart->CellTicks()->path().isEmpty());
}

TEST_F(GridTest, TheChoiceIsRememberedResetClearsItAndTheColumnStaysShort) {
    Choose("grid", "Two-sided");
    Type("grid_ratio", "1.1");
    Choose("left_kind", "Robin");
    Choose("right_kind", "Robin");
    // The tallest input column: both ends Robin walls, the grid on its own
    // row. It fits a window 720 high with the menus and the status bar.
    const auto* panel = window_->findChild<compare::InputPanel*>();
    EXPECT_LE(panel->minimumSizeHint().height() + window_->menuBar()->height() + window_->statusBar()->height(), 720);
    window_->close();
    window_ = std::make_unique<compare::CompareWindow>();
    EXPECT_EQ(Get<QComboBox>("grid")->currentText(), "Two-sided");
    EXPECT_EQ(Get<QLineEdit>("grid_ratio")->text(), "1.1");
    EXPECT_TRUE(Get<QLineEdit>("grid_ratio")->isEnabled());
    EXPECT_EQ(window_->Current()->problem.grid, Layout(study::GridKind::TwoSided, 1.1, 5));
    window_->ResetToDefaults();
    window_->UpdateNow();
    EXPECT_EQ(Get<QComboBox>("grid")->currentText(), "Uniform");
    EXPECT_EQ(Get<QLineEdit>("grid_ratio")->text(), "1");
    EXPECT_EQ(window_->Current()->problem.grid, study::GridLayout{});
}

TEST_F(GridTest, TheTimeTabRefusesLaxWendroffAndAPeriodicDomainOnStretchedCells) {
    window_->Tabs()->setCurrentWidget(window_->Time());
    Choose("grid", "Geometric");
    Type("grid_ratio", "0.9");
    Type("N", "20");
    Choose("timeScheme", "Lax–Wendroff (limited)");
    window_->Time()->UpdateNow();
    EXPECT_EQ(window_->Time()->Plan(), nullptr);
    EXPECT_TRUE(TimeBanner().contains("on unequal cells each cell has its own c: use SSPRK or the theta-method"))
        << TimeBanner().toStdString();
    // SSPRK marches the same grid.
    Choose("timeScheme", "SSP Runge–Kutta 2");
    window_->Time()->UpdateNow();
    ASSERT_NE(window_->Time()->Plan(), nullptr) << TimeBanner().toStdString();
    EXPECT_EQ(window_->Time()->Plan()->problem.grid, Layout(study::GridKind::Geometric, 0.9, 20));
    Get<QCheckBox>("periodic")->setChecked(true);
    window_->Time()->UpdateNow();
    EXPECT_EQ(window_->Time()->Plan(), nullptr);
    EXPECT_EQ(TimeBanner(), "Nothing is marched: Periodic: a periodic domain takes equal cells.");
    // Equal cells again: Lax-Wendroff runs.
    Choose("grid", "Uniform");
    Get<QCheckBox>("periodic")->setChecked(false);
    Choose("timeScheme", "Lax–Wendroff (limited)");
    window_->Time()->UpdateNow();
    EXPECT_NE(window_->Time()->Plan(), nullptr) << TimeBanner().toStdString();
}

// The banner on unequal cells speaks of the widest cell's Peclet number,
// which decides what central differencing does, not of the mean cell's.
TEST(CompareGridBanner, TheWidestCellDecidesTheWords) {
    study::Problem p;
    p.u = 1, p.gamma = 0.02;
    p.grid.kind = study::GridKind::Geometric, p.grid.ratio = 0.8, p.grid.baseN = 20;
    EXPECT_EQ(compare::Banner(study::MakeGrid(p, 20)).rfind(
                  "Pe from 0.146 in the narrowest cell to 10.1 in the widest: central differencing is unbounded", 0),
              0u);
    p.grid = {};
    EXPECT_EQ(compare::Banner(study::MakeGrid(p, 40)).rfind("Pe = 1.25: every scheme is bounded", 0), 0u);
}

// The banner says what this run shows of the ticked bounded schemes, and
// names one that strays.
TEST(CompareBanner, TheTickedBoundedSchemesAsTheRunShowsThem) {
    study::Problem p;
    p.u = 2.5;
    study::Plan plan;
    plan.schemes = {study::Scheme::Central, study::Scheme::VanLeer, study::Scheme::Superbee};
    study::Study st = study::Run(p, plan);
    EXPECT_EQ(compare::Banner(st),
              compare::Banner(5.0) + "; the bounded schemes ticked (Van Leer, SUPERBEE) stay within [0, 1] here");
    st.results[2][0].bounded = false;
    EXPECT_TRUE(compare::Banner(st).ends_with(
        "; the bounded schemes ticked (Van Leer) stay within [0, 1] here; SUPERBEE goes beyond [0, 1] here"));
    plan.schemes = {study::Scheme::Central, study::Scheme::Upwind};
    EXPECT_EQ(compare::Banner(study::Run(p, plan)), compare::Banner(5.0));
}
