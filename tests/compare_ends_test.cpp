// The comparison window's ends and source: the kinds and what they change,
// the study's rules marking the box they name, a Robin wall with a source
// and an outflow end against convdiff-study, and the settings that keep them.
#include <gtest/gtest.h>

#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <cmath>

#include "charts/charts.hpp"
#include "compare/time_tab.hpp"
#include "compare_fixture.hpp"
#include "study/exact.hpp"

namespace {

class EndsTest : public CompareTest {
protected:
    void Choose(const char* end, const char* kind) {
        QComboBox* box = Get<QComboBox>(end);
        box->setCurrentIndex(box->findText(kind));
        window_->UpdateNow();
    }
    QString LabelOf(const char* box) {
        for (const QLabel* l : window_->findChildren<QLabel*>())
            if (l->buddy() == Get<QWidget>(box)) return l->text();
        return {};
    }
    bool Invalid(const char* box) { return Get<QWidget>(box)->property("invalid").toBool(); }
};

}  // namespace

TEST_F(EndsTest, TheKindsChangeTheLabelsAndOnlyARobinWallTakesH) {
    const char* labels[2][3] = {{"φ(0):", "dφ/dx at 0:", "V at 0:"}, {"φ(L):", "dφ/dx at L:", "V at L:"}};
    const char* kinds[] = {"Value", "Gradient", "Robin"};
    for (int k = 0; k < 3; ++k) {
        Choose("left_kind", kinds[k]);
        Choose("right_kind", kinds[(k + 1) % 3]);
        EXPECT_EQ(LabelOf("phiA"), labels[0][k]);
        EXPECT_EQ(LabelOf("phiB"), labels[1][(k + 1) % 3]);
        EXPECT_EQ(Get<QLineEdit>("left_h")->isEnabled(), k == 2);
        EXPECT_EQ(Get<QLineEdit>("right_h")->isEnabled(), k == 1);
    }
    // An H that does not read is no fault while its end is not a Robin wall.
    Choose("left_kind", "Value");
    Choose("right_kind", "Value");
    Get<QLineEdit>("left_h")->setText("abc");
    window_->UpdateNow();
    EXPECT_FALSE(Invalid("left_h"));
    Choose("left_kind", "Robin");
    EXPECT_TRUE(Invalid("left_h"));
    // What the boxes say is the problem solved.
    Type("left_h", "5");
    Type("phiA", "20");
    Choose("right_kind", "Gradient");
    Type("phiB", "-2");
    Type("su", "3");
    Type("sp", "-0.5");
    ASSERT_NE(window_->Current(), nullptr);
    const study::Problem& p = window_->Current()->problem;
    EXPECT_EQ(p.left, study::End::Robin(5, 20));
    EXPECT_EQ(p.right, study::End::Slope(-2));
    EXPECT_EQ(p.su, 3);
    EXPECT_EQ(p.sp, -0.5);
    EXPECT_FALSE(p.periodic);
}

TEST_F(EndsTest, BrokenRulesMarkTheBoxTheyNameWithTheStudysReason) {
    const study::Study* before = window_->Current();
    Type("sp", "1");
    EXPECT_TRUE(Invalid("sp"));
    EXPECT_TRUE(Get<QLineEdit>("sp")->toolTip().startsWith("Sp: Sp must be 0 or below"))
        << Get<QLineEdit>("sp")->toolTip().toStdString();
    EXPECT_TRUE(window_->statusBar()->currentMessage().contains("showing the last good result"));
    EXPECT_EQ(window_->Current(), before);
    Type("sp", "0");
    EXPECT_FALSE(Invalid("sp"));

    // A gradient at both ends and Sp = 0: no unique steady solution.
    Choose("left_kind", "Gradient");
    Choose("right_kind", "Gradient");
    EXPECT_TRUE(Invalid("right_kind"));
    EXPECT_TRUE(Get<QWidget>("right_kind")->toolTip().startsWith("Right end: no end fixes phi and Sp = 0"))
        << Get<QWidget>("right_kind")->toolTip().toStdString();
    before = window_->Current();  // the last good problem: a gradient at x = 0 only
    EXPECT_EQ(before->problem.right.kind, study::EndKind::Value);
    // The Time tab marches it all the same.
    window_->Tabs()->setCurrentWidget(window_->Time());
    window_->Time()->UpdateNow();
    ASSERT_NE(window_->Time()->Plan(), nullptr);
    EXPECT_EQ(window_->Time()->Plan()->problem.right.kind, study::EndKind::Gradient);
    window_->Tabs()->setCurrentIndex(0);
    // Sp below 0 makes it unique; the mark goes.
    Type("sp", "-1");
    EXPECT_FALSE(Invalid("right_kind"));
    EXPECT_NE(window_->Current(), before);

    // A positive Sp with no diffusion, which the Time tab cannot march
    // either: Sp is marked, not Γ.
    Type("gamma", "0");
    Type("sp", "2");
    EXPECT_FALSE(Invalid("gamma"));
    EXPECT_TRUE(Invalid("sp"));
    window_->Tabs()->setCurrentWidget(window_->Time());
    window_->Time()->UpdateNow();
    EXPECT_EQ(window_->Time()->Plan(), nullptr);
    EXPECT_TRUE(window_->Time()->findChild<QLabel*>("stabilityBanner")->text().startsWith("Nothing is marched: Sp: "));
}

TEST_F(EndsTest, ARobinWallWithASourceAndAnOutflowEndAreTheStudysSolutions) {
    Choose("left_kind", "Robin");
    Type("left_h", "0.5");
    Type("phiA", "2");
    Type("su", "1");
    Type("sp", "-0.3");
    Type("u", "0.3");
    Type("N", "8");
    ASSERT_NE(window_->Current(), nullptr) << window_->statusBar()->currentMessage().toStdString();
    // The exact curve and every ticked scheme are drawn.
    auto* chart = static_cast<charts::SolutionChart*>(Get<QChartView>("solutionChart")->chart());
    EXPECT_EQ(chart->series().size(), 5);
    const study::ExactSolution exact(window_->Current()->problem);
    ASSERT_TRUE(exact.Finite());
    const auto* curve = static_cast<QLineSeries*>(chart->series().front());
    for (const QPointF& q : curve->points()) EXPECT_NEAR(q.y(), exact(q.x()), 1e-9 * (1 + std::fabs(q.y())));
    const QStringList schemes{"--schemes", "central,upwind,hybrid,quick"};
    const QStringList robin{"--left", "robin:0.5:2", "--su", "1", "--sp", "-0.3", "--u", "0.3", "--N", "8"};
    ExpectExportsEqualTheStudys(robin + schemes);

    // An outflow end, the source still on.
    Choose("left_kind", "Value");
    Type("phiA", "1");
    Choose("right_kind", "Gradient");
    Type("phiB", "0");
    Type("u", "1");
    ExpectExportsEqualTheStudys(
        QStringList{"--right", "outflow", "--su", "1", "--sp", "-0.3", "--u", "1", "--N", "8"} + schemes);
}

TEST_F(EndsTest, TheEndsTheSourceAndPeriodicAreRememberedAndReset) {
    Choose("right_kind", "Robin");
    Type("right_h", "7");
    Type("su", "4");
    Type("sp", "-2");
    Get<QCheckBox>("periodic")->setChecked(true);
    window_->close();
    window_ = std::make_unique<compare::CompareWindow>();
    EXPECT_EQ(Get<QComboBox>("right_kind")->currentText(), "Robin");
    EXPECT_EQ(Get<QLineEdit>("right_h")->text(), "7");
    EXPECT_TRUE(Get<QLineEdit>("right_h")->isEnabled());
    EXPECT_EQ(Get<QLineEdit>("su")->text(), "4");
    EXPECT_EQ(Get<QLineEdit>("sp")->text(), "-2");
    EXPECT_TRUE(Get<QCheckBox>("periodic")->isChecked());
    window_->ResetToDefaults();
    EXPECT_EQ(Get<QComboBox>("right_kind")->currentText(), "Value");
    EXPECT_FALSE(Get<QLineEdit>("right_h")->isEnabled());
    EXPECT_EQ(Get<QLineEdit>("su")->text(), "0");
    EXPECT_FALSE(Get<QCheckBox>("periodic")->isChecked());
}
