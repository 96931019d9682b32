// The comparison window driven as a student would: typing, the slider,
// ticking schemes, bad entries, exports, settings and the convergence run.
#include <gtest/gtest.h>

#include <QChartView>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSettings>
#include <QSlider>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "charts/charts.hpp"
#include "compare/compare_window.hpp"
#include "compare/explain.hpp"
#include "compare_fixture.hpp"
#include "study/csv.hpp"

TEST_F(CompareTest, TypingUpdatesTheTableWithTheStudysValues) {
    Type("u", "2.5");
    study::Problem p;
    p.u = 2.5;
    study::Plan plan;
    plan.schemes = {study::Scheme::Central, study::Scheme::Upwind, study::Scheme::Hybrid, study::Scheme::Quick};
    plan.refine = 1;
    const study::Study st = study::Run(p, plan);
    ASSERT_EQ(Rows(), 4);
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(Cell(row, 1), QString::number(st.results[row][0].maxError, 'g', 4));
        EXPECT_EQ(Cell(row, 2), QString::number(st.results[row][0].rmsError, 'g', 4));
        EXPECT_EQ(Cell(row, 3), QString::number(*st.results[row][1].orderMax, 'g', 4));
    }
    EXPECT_EQ(Cell(0, 4), "no");  // central oscillates at Pe = 5
    EXPECT_EQ(Cell(1, 4), "yes");
    EXPECT_TRUE(Get<QLabel>("banner")->text().startsWith("Pe = 5.0: central differencing is unbounded"));
}

TEST_F(CompareTest, SliderAndVelocityStayInStep) {
    QSlider* slider = Get<QSlider>("peclet");
    EXPECT_EQ(slider->value(), 2);  // Pe = 0.2 at the defaults
    slider->setValue(25);           // Pe = 2.5: u = 2.5 * 0.1 / (1 * 0.2)
    window_->UpdateNow();
    EXPECT_EQ(Get<QLineEdit>("u")->text(), "1.25");
    EXPECT_DOUBLE_EQ(window_->Current()->results[0][0].grid.Pe, 2.5);
    Type("u", "-0.4");
    EXPECT_EQ(slider->value(), -8);
    Type("u", "100");  // Pe = 200: the slider stops at its end
    EXPECT_EQ(slider->value(), 100);
    EXPECT_EQ(Get<QLineEdit>("u")->text(), "100");
}

TEST_F(CompareTest, BadEntryIsMarkedAndTheLastResultKept) {
    for (const auto& [box, text] : {std::pair{"u", "1,5"}, {"N", "0"}, {"L", "0"}, {"gamma", "-1"}, {"N", "2.5"}}) {
        const study::Study* before = window_->Current();
        Type(box, text);
        QLineEdit* edit = Get<QLineEdit>(box);
        EXPECT_TRUE(edit->property("invalid").toBool()) << box;
        EXPECT_FALSE(edit->toolTip().isEmpty()) << box;
        EXPECT_TRUE(window_->statusBar()->currentMessage().contains("showing the last good result")) << box;
        EXPECT_EQ(window_->Current(), before) << box;
        Type(box, box == std::string("u")   ? "0.1"
                  : box == std::string("N") ? "5"
                  : box == std::string("L") ? "1"
                                            : "0.1");
        EXPECT_FALSE(edit->property("invalid").toBool()) << box;
    }
    // N = 2 is fine until QUICK is ticked.
    Get<QCheckBox>("show_quick")->setChecked(false);
    Type("N", "2");
    EXPECT_FALSE(Get<QLineEdit>("N")->property("invalid").toBool());
    Get<QCheckBox>("show_quick")->setChecked(true);
    window_->UpdateNow();
    EXPECT_TRUE(Get<QLineEdit>("N")->toolTip().contains("QUICK"));
}

TEST_F(CompareTest, TickingAddsAndRemovesSeriesAndRows) {
    auto* chart = static_cast<charts::SolutionChart*>(Get<QChartView>("solutionChart")->chart());
    EXPECT_EQ(chart->series().size(), 1 + 4);  // the exact solution and four schemes
    Get<QCheckBox>("show_exponential")->setChecked(true);
    Get<QCheckBox>("show_upwind")->setChecked(false);
    window_->UpdateNow();
    EXPECT_EQ(chart->series().size(), 1 + 4);
    EXPECT_EQ(chart->SeriesOf(study::Scheme::Upwind), nullptr);
    ASSERT_NE(chart->SeriesOf(study::Scheme::Exponential), nullptr);
    QStringList rows;
    for (int r = 0; r < Rows(); ++r) rows.append(Cell(r, 0));
    EXPECT_EQ(rows, (QStringList{"Central", "Hybrid", "QUICK", "Exponential"}));
    // The legend follows the order of the check boxes.
    QStringList names;
    for (QAbstractSeries* s : chart->series()) names.append(s->name());
    EXPECT_EQ(names, (QStringList{"Exact", "Central", "Hybrid", "QUICK", "Exponential"}));
}

TEST_F(CompareTest, ExportsMatchTheStudyProgram) {
    // Bounded schemes too: their iterations are the errors table's last column.
    Get<QCheckBox>("show_vanleer")->setChecked(true);
    Get<QCheckBox>("show_superbee")->setChecked(true);
    Type("u", "2.5");
    ASSERT_EQ(window_->ExportChart(File("w.png")), "");
    EXPECT_EQ(QImage(File("w.png")).size(), QSize(1000, 650));
    ExpectExportsEqualTheStudys({"--u", "2.5", "--schemes", "central,upwind,hybrid,quick,vanleer,superbee"});
}

TEST_F(CompareTest, CorruptSettingsAreIgnored) {
    window_.reset();
    QFile settings(File("convdiff/convdiff-compare.ini"));
    QDir(dir_.path()).mkpath("convdiff");
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write(
        "[inputs]\nu=@ByteArray(\\x01\\x02)\nN=99999999999999999999\n[\x01\xff\nschemes=@Variant(\\0\\0)\n"
        "geometry=nonsense\n");
    settings.close();
    window_ = std::make_unique<compare::CompareWindow>();
    window_->show();
    window_->UpdateNow();
    // A number too large for N is marked like any bad entry; nothing broke.
    ASSERT_NE(window_->Current(), nullptr);
    EXPECT_EQ(Get<QLineEdit>("phiA")->text(), "1");

    // A remembered entry that is no longer good: marked, nothing to export.
    window_.reset();
    {
        QSettings good(QSettings::IniFormat, QSettings::UserScope, "convdiff", "convdiff-compare");
        good.clear();
        good.setValue("inputs/u", "fast");
    }
    window_ = std::make_unique<compare::CompareWindow>();
    EXPECT_TRUE(Get<QLineEdit>("u")->property("invalid").toBool());
    EXPECT_EQ(window_->Current(), nullptr);
    EXPECT_TRUE(window_->ExportErrors(File("e.csv")).startsWith("nothing has been calculated yet"));
    Type("u", "0.1");
    ASSERT_NE(window_->Current(), nullptr);

    // Good settings come back after a restart; Reset to defaults clears them.
    Type("N", "8");
    Get<QCheckBox>("show_powerlaw")->setChecked(true);
    window_->close();
    window_ = std::make_unique<compare::CompareWindow>();
    EXPECT_EQ(Get<QLineEdit>("N")->text(), "8");
    EXPECT_TRUE(Get<QCheckBox>("show_powerlaw")->isChecked());
    window_->ResetToDefaults();
    EXPECT_EQ(Get<QLineEdit>("N")->text(), "5");
    EXPECT_FALSE(Get<QCheckBox>("show_powerlaw")->isChecked());
}

TEST_F(CompareTest, NewInputCancelsTheConvergenceRun) {
    Type("N", "5000");  // up to 5,120,000 control volumes: long enough to be caught
    ASSERT_TRUE(QTest::qWaitFor([&] { return window_->ConvergenceRunning(); }));
    Type("N", "5");
    EXPECT_EQ(window_->CancelledConvergenceRuns(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window_->ConvergenceRunning() && window_->Convergence(); }, 60000));
    EXPECT_EQ(window_->Convergence()->plan.N, 5);
    EXPECT_EQ(window_->Convergence()->sizes.back(), 5 * 1024);
}

TEST_F(CompareTest, LargeGridIsSolvedWhileTheWindowAnswers) {
    const study::Study* before = window_->Current();
    Type("N", "400000");  // four schemes at N and 2N: well over a million nodes
    EXPECT_TRUE(window_->Calculating());
    EXPECT_EQ(window_->Current(), before);
    Type("N", "300000");  // the newer input wins; the older run is dropped
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window_->Calculating() && window_->Current() != before; }, 20000));
    EXPECT_EQ(window_->Current()->plan.N, 300000);
    EXPECT_EQ(Rows(), 4);
}

TEST(Banner, SaysWhatThePecletNumberMeans) {
    EXPECT_EQ(compare::Banner(5),
              "Pe = 5.0: central differencing is unbounded here (|Pe| > 2); upwind is bounded but first order; "
              "hybrid turns to upwind, and the exponential scheme stays exact");
    EXPECT_EQ(compare::Banner(0.25).substr(0, 42), "Pe = 0.25: every scheme is bounded here (|");
    EXPECT_EQ(compare::Banner(-2.0000000000000004).substr(0, 54),
              "Pe = -2.0: central differencing is at the edge of boun");
    EXPECT_EQ(compare::Banner(0).substr(0, 25), "Pe = 0.0: pure diffusion:");
    EXPECT_EQ(compare::Banner(-12345).substr(0, 14), "Pe = -1.23e+04");
}
