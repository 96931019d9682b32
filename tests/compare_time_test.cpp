// The comparison window's Time tab: its controls, a square carried exactly
// by explicit upwind at c = 1, the banner against the library's verdicts, a
// change during a run, a blow-up, a scheme whose step does not converge, the
// exports against convdiff-transient, a periodic run, and Gamma = 0 in the
// steady tabs.
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <algorithm>
#include <cmath>
#include <map>

#include "charts/charts.hpp"
#include "compare/time_charts.hpp"
#include "compare/time_explain.hpp"
#include "compare/time_tab.hpp"
#include "time_tab_fixture.hpp"
#include "square_plan.hpp"

namespace {

class TimeTest : public TimeTabTest {
protected:
    QString Banner() { return Get<QLabel>("stabilityBanner")->text(); }
    // An export started and waited for until it ends: "" or why it failed.
    QString Exported(bool history, const QString& path) {
        QSignalSpy ended(&Tab().Exporting(), &compare::TimeExport::finished);
        const QString why = history ? Tab().ExportHistory(path) : Tab().ExportErrors(path);
        if (!why.isEmpty()) return why;
        return ended.wait(30000) ? ended.takeFirst().at(1).toString() : QString("(the export did not end)");
    }
    // The banner's line that starts with `head`, or "".
    QString Line(const QString& head) {
        for (const QString& line : Banner().split('\n'))
            if (line.startsWith(head)) return line;
        return {};
    }
};

}  // namespace

TEST_F(TimeTest, ControlsAreThereAndTheLabelsFollowTheInitialState) {
    for (const char* name : {"initial", "timeScheme"}) EXPECT_NE(Get<QComboBox>(name), nullptr);
    for (const char* name : {"initialA", "initialB", "dt", "tEnd"}) EXPECT_NE(Get<QLineEdit>(name), nullptr);
    for (const char* name : {"play", "stepOnce", "rewind"}) EXPECT_NE(Get<QPushButton>(name), nullptr);
    EXPECT_NE(Get<QSlider>("time"), nullptr);
    EXPECT_NE(Get<QSpinBox>("speed"), nullptr);
    EXPECT_NE(Get<QLabel>("stabilityBanner"), nullptr);
    for (const char* name : {"transientChart", "amplificationChart"}) EXPECT_NE(Get<QChartView>(name), nullptr);
    EXPECT_NE(Get<QWidget>("spaceTime"), nullptr);
    EXPECT_EQ(Get<QComboBox>("initial")->count(), 4);
    EXPECT_EQ(Get<QComboBox>("timeScheme")->itemText(1), "Crank–Nicolson");
    auto buddyText = [&](const char* box) {
        for (QLabel* l : Tab().findChildren<QLabel*>())
            if (l->buddy() == Get<QLineEdit>(box)) return l->text();
        return QString();
    };
    const QStringList a{"V:", "X0 (m):", "X0 (m):", "X1 (m):"}, b{"", "", "Std. dev. S (m):", "X2 (m):"};
    for (int i = 0; i < 4; ++i) {
        Get<QComboBox>("initial")->setCurrentIndex(i);
        EXPECT_EQ(buddyText("initialA"), a[i]);
        EXPECT_EQ(buddyText("initialB"), b[i]);
        EXPECT_EQ(Get<QLineEdit>("initialB")->isVisibleTo(&Tab()), i >= 2);
    }
}

TEST(TimeFrames, EveryStepAFrameUpTo2000Steps) {
    EXPECT_EQ(compare::FramesFor(10, 0.1), 100);   // 10 / 0.1 is a rounding above 100
    EXPECT_EQ(compare::FramesFor(1, 0.3), 4);
    EXPECT_EQ(compare::FramesFor(20, 0.01), 2000);
    EXPECT_EQ(compare::FramesFor(20, 0.001), 2000);  // 20,000 steps: 2,000 frames of 10
    EXPECT_EQ(compare::FramesFor(0.01, 1), 1);
}

TEST_F(TimeTest, PlayCarriesASquareExactlyUnderExplicitUpwindAtCourantOne) {
    Get<QCheckBox>("show_central")->setChecked(false);
    Get<QComboBox>("initial")->setCurrentIndex(3);
    Get<QComboBox>("timeScheme")->setCurrentIndex(0);
    Get<QSpinBox>("speed")->setValue(120);
    Set({{"phiA", "0"}, {"gamma", "0"}, {"u", "1"}, {"N", "100"}, {"initialA", "0.1"}, {"initialB", "0.3"},
         {"dt", "0.01"}, {"tEnd", "0.2"}});
    ASSERT_NE(Tab().Plan(), nullptr) << Banner().toStdString();
    EXPECT_EQ(Tab().Plan()->frames, 20);
    Get<QPushButton>("play")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Tab().Finished() && !Tab().Playing(); }, 30000));
    EXPECT_EQ(Tab().FrameShown(), 20);
    EXPECT_EQ(Get<QSlider>("time")->value(), 20);
    const QList<QPointF> points = Tab().ProfileChart()->SeriesOf(study::Scheme::Upwind)->points();
    ASSERT_EQ(points.size(), 100);
    for (const QPointF& q : points) {
        const double x = q.x() - 0.2;  // where the value started
        EXPECT_EQ(q.y(), 0.1 <= x && x <= 0.3 ? 1.0 : 0.0) << "x = " << q.x();
    }
    // Rewind and one step.
    Get<QPushButton>("rewind")->click();
    EXPECT_EQ(Tab().FrameShown(), 0);
    Get<QPushButton>("stepOnce")->click();
    EXPECT_EQ(Tab().FrameShown(), 1);
}

TEST_F(TimeTest, BannerAgreesWithTheLibrarysVerdicts) {
    Get<QCheckBox>("show_vanleer")->setChecked(true);
    Set({{"N", "50"}, {"u", "1"}, {"gamma", "0.01"}});
    for (int theta : {0, 1, 2})
        for (const char* dt : {"0.001", "0.02", "0.5"}) {
            Get<QComboBox>("timeScheme")->setCurrentIndex(theta);
            Set({{"dt", dt}});
            Finish();  // the run's verdicts test this grid's matrix too
            const transient::Plan& plan = *Tab().Plan();
            const double stepDt = transient::StepsOf(plan.tEnd, plan.dt, plan.frames)->dt;
            for (study::Scheme s : plan.schemes) {
                const compare::Standing standing =
                    compare::StandingOf(transient::Assess(plan.problem, s, plan.N, plan.theta, stepDt));
                const QString head = standing == compare::Standing::Unstable ? "Unstable"
                                     : standing == compare::Standing::NotTvd  ? "Not TVD"
                                     : standing == compare::Standing::MayRing ? "May ring"
                                                                              : "Fine";
                EXPECT_TRUE(Line(head).contains(charts::SchemeTitle(s)))
                    << "theta " << plan.theta << ", dt " << dt << ": " << Banner().toStdString();
            }
        }
    // Explicit central with little diffusion fails; its largest stable step is said.
    Get<QComboBox>("timeScheme")->setCurrentIndex(0);
    Set({{"gamma", "0.001"}, {"dt", "0.01"}});
    Finish();
    const auto v = transient::Assess(Tab().Plan()->problem, study::Scheme::Central, 50, 0, 0.01);
    ASSERT_FALSE(v.stable);
    EXPECT_TRUE(Line("Unstable").contains(QString("Central (stable up to Δt = %1 s)").arg(*v.largestStableDt, 0, 'g', 3)));
}

// Central with no diffusion at c = 0.5: forward Euler and SSPRK2 grow (by
// 1.118 and 1.008), SSPRK3 and Lax-Wendroff do not: the chart shows each
// method's own factor.
TEST_F(TimeTest, TheAmplificationChartIsTheChosenMethods) {
    Set({{"N", "50"}, {"u", "1"}, {"gamma", "0"}, {"dt", "0.01"}});
    auto largest = [&] {
        double g = 0;
        for (QAbstractSeries* s : Get<QChartView>("amplificationChart")->chart()->series())
            if (s->name() == charts::SchemeTitle(study::Scheme::Central))
                for (const QPointF& q : static_cast<QLineSeries*>(s)->points()) g = std::max(g, q.y());
        return g;
    };
    const std::pair<int, bool> methods[] = {{0, true}, {3, false}, {4, true}, {5, false}};  // grows?
    for (const auto& [index, grows] : methods) {
        Get<QComboBox>("timeScheme")->setCurrentIndex(index);
        Tab().UpdateNow();
        EXPECT_EQ(largest() > 1 + 1e-9, grows) << Get<QComboBox>("timeScheme")->currentText().toStdString();
    }
}

TEST_F(TimeTest, AChangeDuringARunStartsItAgainFromTheStart) {
    Set({{"N", "200"}, {"dt", "0.01"}});
    Finish();
    Tab().Marching().Hold(true);  // the worker waits after each frame
    Set({{"dt", "0.02"}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return Tab().Marching().WorkerHeld(); }, 10000));
    const int cancelled = Tab().Marching().CancelledRuns();
    Set({{"dt", "0.05"}});
    EXPECT_EQ(Tab().Marching().CancelledRuns(), cancelled + 1);
    Tab().Marching().Hold(false);
    Finish();
    EXPECT_EQ(Tab().Plan()->dt, 0.05);
    ASSERT_EQ(Tab().FramesReady(), Tab().Plan()->frames + 1);
    for (long k = 0; k < Tab().FramesReady(); ++k) {
        EXPECT_EQ(Tab().Frame(k)->index, k);
        EXPECT_NEAR(Tab().Frame(k)->t, 0.05 * double(k), 1e-12);
    }
}

TEST_F(TimeTest, ABlowUpStopsWithItsLastGoodProfileAndNothingNotFinite) {
    Get<QComboBox>("timeScheme")->setCurrentIndex(0);
    Set({{"N", "50"}, {"u", "1"}, {"gamma", "0.001"}, {"dt", "0.01"}, {"tEnd", "20"}});
    Finish();
    EXPECT_TRUE(Line("Central blew up").startsWith("Central blew up: it grew past 1e6 at t = ")) << Banner().toStdString();
    Tab().ShowFrame(Tab().FramesReady() - 1);
    QLineSeries* central = Tab().ProfileChart()->SeriesOf(study::Scheme::Central);
    EXPECT_TRUE(central->name().startsWith("Central (blew up at t = ")) << central->name().toStdString();
    // The time of the blow-up, as the banner gives it, after the last frame
    // that shows the scheme.
    const QString banner = Line("Central blew up");
    const QString at = banner.mid(banner.indexOf("at t = ") + 7).section(' ', 0, 0);
    const double named = central->name().section("at t = ", 1).section(' ', 0, 0).toDouble();
    EXPECT_NEAR(named, at.toDouble(), 0.01 * named) << central->name().toStdString();
    long lastAlive = 0;
    for (long k = 0; k < Tab().FramesReady(); ++k)
        if (Tab().Frame(k)->alive[0]) lastAlive = k;
    EXPECT_GT(at.toDouble(), Tab().Frame(lastAlive)->t);
    EXPECT_FALSE(central->points().isEmpty());
    for (QAbstractSeries* s : Tab().ProfileChart()->series())
        for (const QPointF& q : static_cast<QLineSeries*>(s)->points())
            EXPECT_TRUE(std::isfinite(q.x()) && std::isfinite(q.y())) << s->name().toStdString();
}

TEST_F(TimeTest, ExportsEqualTheCommandLinesFiles) {
    Get<QCheckBox>("show_minmod")->setChecked(true);
    Get<QComboBox>("initial")->setCurrentIndex(2);
    Get<QComboBox>("timeScheme")->setCurrentIndex(1);
    Set({{"N", "40"}, {"u", "0.5"}, {"initialA", "0.3"}, {"initialB", "0.05"}, {"dt", "0.03"}, {"tEnd", "1"}});
    ASSERT_NE(Tab().Plan(), nullptr) << Banner().toStdString();
    Finish();
    ASSERT_EQ(Exported(true, File("w-history.csv")), "");
    ASSERT_EQ(Exported(false, File("w-errors.csv")), "");
    QProcess run;
    run.start(CONVDIFF_TRANSIENT,
              {"--u", "0.5", "--N", "40", "--initial", "pulse:0.3:0.05", "--time", "cn", "--dt", "0.03", "--t-end", "1",
               "--frames", QString::number(compare::FramesFor(1, 0.03)), "--schemes", "central,upwind,hybrid,quick,minmod",
               "--history", File("c-history.csv"), "--errors", File("c-errors.csv")});
    ASSERT_TRUE(run.waitForFinished(30000));
    ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    auto read = [&](const QString& name) {
        QFile f(File(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
    };
    EXPECT_EQ(read("w-history.csv"), read("c-history.csv"));
    EXPECT_EQ(read("w-errors.csv"), read("c-errors.csv"));
    // From a steady tab, after a change the Time tab has not marched yet.
    window_->Tabs()->setCurrentIndex(0);
    Type("u", "0.7");
    ASSERT_EQ(Exported(false, File("w-errors2.csv")), "");
    run.start(CONVDIFF_TRANSIENT,
              {"--u", "0.7", "--N", "40", "--initial", "pulse:0.3:0.05", "--time", "cn", "--dt", "0.03", "--t-end", "1",
               "--frames", QString::number(compare::FramesFor(1, 0.03)), "--schemes", "central,upwind,hybrid,quick,minmod",
               "--errors", File("c-errors2.csv")});
    ASSERT_TRUE(run.waitForFinished(30000));
    EXPECT_EQ(read("w-errors2.csv"), read("c-errors2.csv"));
    // Back in sight, the tab marches the change: its chart is of a frame on show.
    window_->Tabs()->setCurrentWidget(window_->Time());
    ASSERT_TRUE(QTest::qWaitFor([&] { return Tab().FrameShown() >= 0; }, 30000));
    EXPECT_EQ(window_->ExportChart(File("w.png")), "");
    EXPECT_EQ(QImage(File("w.png")).size(), QSize(1000, 650));
}

TEST_F(TimeTest, ALaxWendroffRunEqualsTheCommandLinesAndLeavesOutWhatItCannotMarch) {
    Get<QCheckBox>("show_minmod")->setChecked(true);
    Get<QComboBox>("initial")->setCurrentIndex(3);
    Get<QComboBox>("timeScheme")->setCurrentIndex(3);
    EXPECT_EQ(Get<QComboBox>("timeScheme")->currentText(), "Lax–Wendroff (limited)");
    Set({{"N", "40"}, {"u", "0.5"}, {"gamma", "0.001"}, {"initialA", "0.2"}, {"initialB", "0.4"}, {"dt", "0.03"},
         {"tEnd", "1"}});
    ASSERT_NE(Tab().Plan(), nullptr) << Banner().toStdString();
    EXPECT_EQ(Tab().Plan()->method, transient::Method::LaxWendroff);
    Finish();
    EXPECT_TRUE(Banner().contains("not marched: flux-limited Lax-Wendroff marches only central, upwind and the "
                                  "limiters"))
        << Banner().toStdString();
    ASSERT_EQ(Exported(false, File("w-lw-errors.csv")), "");
    ASSERT_EQ(Exported(true, File("w-lw-history.csv")), "");
    QProcess run;
    run.start(CONVDIFF_TRANSIENT,
              {"--u", "0.5", "--gamma", "0.001", "--N", "40", "--initial", "square:0.2:0.4", "--time", "lw", "--dt",
               "0.03", "--t-end", "1", "--frames", QString::number(compare::FramesFor(1, 0.03)), "--schemes",
               "central,upwind,minmod", "--history", File("c-lw-history.csv"), "--errors", File("c-lw-errors.csv")});
    ASSERT_TRUE(run.waitForFinished(30000));
    ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    auto read = [&](const QString& name) {
        QFile f(File(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
    };
    EXPECT_EQ(read("w-lw-errors.csv"), read("c-lw-errors.csv"));
    EXPECT_EQ(read("w-lw-history.csv"), read("c-lw-history.csv"));
}

// A square carried once round a periodic domain: what leaves at x = L comes
// back at x = 0, so with no source the total of phi stays as it was, and
// the run is convdiff-transient's with --periodic.
TEST_F(TimeTest, APeriodicRunConservesTheTotalOfPhiAndIsTheCommandLines) {
    Get<QComboBox>("initial")->setCurrentIndex(3);
    Get<QCheckBox>("periodic")->setChecked(true);
    Set({{"N", "50"}, {"u", "1"}, {"gamma", "0.01"}, {"initialA", "0.6"}, {"initialB", "0.9"}, {"dt", "0.02"},
         {"tEnd", "1"}});
    ASSERT_NE(Tab().Plan(), nullptr) << Banner().toStdString();
    EXPECT_TRUE(Tab().Plan()->problem.periodic);
    Finish();
    ASSERT_EQ(Exported(true, File("w-periodic.csv")), "");
    QFile history(File("w-periodic.csv"));
    ASSERT_TRUE(history.open(QIODevice::ReadOnly));
    std::map<std::pair<QString, QString>, double> totals;  // by scheme and t
    for (const QByteArray& line : history.readAll().split('\n').mid(1))
        if (const QList<QByteArray> cells = line.split(','); cells.size() >= 5)
            totals[{cells[0], cells[1]}] += cells[4].toDouble();
    ASSERT_EQ(totals.size(), std::size_t(4 * (Tab().Plan()->frames + 1)));
    for (const auto& [key, total] : totals) {
        const double start = totals.at({key.first, "0"});
        EXPECT_GT(start, 10);
        EXPECT_NEAR(total, start, 1e-12 * start) << key.first.toStdString() << " at t = " << key.second.toStdString();
    }
    QProcess run;
    run.start(CONVDIFF_TRANSIENT,
              {"--periodic", "--u", "1", "--gamma", "0.01", "--N", "50", "--initial", "square:0.6:0.9", "--dt", "0.02",
               "--t-end", "1", "--frames", QString::number(Tab().Plan()->frames), "--schemes",
               "central,upwind,hybrid,quick", "--history", File("c-periodic.csv")});
    ASSERT_TRUE(run.waitForFinished(30000));
    ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    EXPECT_EQ(Contents("w-periodic.csv"), Contents("c-periodic.csv"));
}

TEST_F(TimeTest, PureConvectionIsAMessageInTheSteadyTabsNotAnError) {
    window_->Tabs()->setCurrentIndex(0);
    Type("gamma", "0");
    EXPECT_FALSE(Get<QLineEdit>("gamma")->property("invalid").toBool());
    EXPECT_TRUE(Get<QLabel>("banner")->text().contains("the steady problem needs Γ > 0"));
    window_->Tabs()->setCurrentWidget(window_->Time());
    EXPECT_NE(Tab().Plan(), nullptr);  // the Time tab marches it, once in sight
    window_->Tabs()->setCurrentIndex(0);
    Type("gamma", "0.2");
    EXPECT_TRUE(Get<QLabel>("banner")->text().startsWith("Pe = "));
    EXPECT_EQ(window_->Current()->problem.gamma, 0.2);
}

TEST(TimeFrames, KeptProfilesKeepEveryStretchsExtremes) {
    std::vector<double> small(50);
    for (std::size_t i = 0; i < small.size(); ++i) small[i] = double(i);
    const compare::Shot whole = compare::Keep(small);
    EXPECT_TRUE(whole.nodes.empty());
    ASSERT_EQ(whole.phi.size(), 50u);
    // A large profile with one spike: the spike survives, in node order.
    std::vector<double> large(100000, 0.0);
    large[54321] = 7;
    large[99999] = -3;
    const compare::Shot kept = compare::Keep(large);
    ASSERT_EQ(kept.phi.size(), std::size_t(compare::kMostKeptPoints));
    ASSERT_EQ(kept.nodes.size(), kept.phi.size());
    EXPECT_TRUE(std::is_sorted(kept.nodes.begin(), kept.nodes.end()));
    EXPECT_EQ(*std::max_element(kept.phi.begin(), kept.phi.end()), 7.0f);
    EXPECT_EQ(*std::min_element(kept.phi.begin(), kept.phi.end()), -3.0f);
    EXPECT_NE(std::find(kept.nodes.begin(), kept.nodes.end(), 54321u), kept.nodes.end());
}

TEST(TimeFrames, UnrunnablePlansSayWhy) {
    transient::Plan plan;
    plan.initial = {transient::Shape::Square, 0.5, 0.2};
    plan.frames = compare::FramesFor(plan.tEnd, plan.dt);
    EXPECT_EQ(compare::Unrunnable(plan), "X1 must be less than X2");
    plan.initial = {transient::Shape::Pulse, 2, 0.1};
    EXPECT_EQ(compare::Unrunnable(plan), "X0 must lie within [0, L]");
    plan.initial = {};
    plan.N = 10'000'000;
    plan.dt = 1e-5;
    plan.frames = compare::FramesFor(plan.tEnd, plan.dt);
    EXPECT_TRUE(compare::Unrunnable(plan).startsWith("N times the 1000000 steps")) << compare::Unrunnable(plan).toStdString();
    plan.N = 2;
    plan.dt = 0.1;
    plan.frames = compare::FramesFor(plan.tEnd, plan.dt);
    EXPECT_EQ(compare::Unrunnable(plan), "QUICK needs N of at least 3");
}

TEST(TimeFrames, AStepThatDoesNotConvergeStopsOnlyItsSchemeAndThePictureComes) {
    // Implicit SUPERBEE at c = 1.25 on pure convection: its iterations stall.
    const transient::Plan plan =
        SquareInPureConvection({study::Scheme::Superbee, study::Scheme::Upwind}, 100, 0.0125, 0.5, 5);
    auto control = std::make_shared<compare::JobControl>();
    long last = -1;
    const std::optional<compare::TimeResult> result =
        compare::March(plan, *control, [&](std::shared_ptr<const compare::FrameSet> f) { last = f->index; });
    ASSERT_TRUE(result);
    EXPECT_EQ(result->error, "");
    ASSERT_TRUE(result->outcome);
    EXPECT_TRUE(result->spaceTime);
    EXPECT_EQ(last, plan.frames);  // upwind marched on
    const QString banner = compare::StabilityText(plan, *result->outcome, true);
    EXPECT_TRUE(banner.contains(charts::SchemeTitle(study::Scheme::Superbee) + " stopped at t = ")) << banner.toStdString();
    EXPECT_TRUE(banner.contains("its iterations did not converge")) << banner.toStdString();
    // Its verdict was TVD, but a run that stopped is never called fine.
    EXPECT_TRUE(banner.contains("Fine, and the run agrees: Upwind.")) << banner.toStdString();
}
