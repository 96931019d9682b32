// The comparison window as a lecturer preparing a class finds it: the
// newest input winning over a late background result, hostile settings,
// the order column, coinciding schemes, every row in sight, and the charts'
// labels and markers.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QChartView>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsTextItem>
#include <QHeaderView>
#include <QLabel>
#include <QLegendMarker>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>

#include "charts/charts.hpp"
#include "compare/errors_model.hpp"
#include "compare_fixture.hpp"

namespace {

// The texts of a chart's labels as drawn (elided where they did not fit).
QStringList Labels(QChartView* view) {
    QStringList texts;
    for (QGraphicsItem* item : view->scene()->items())
        if (item->type() == QGraphicsTextItem::Type && item->isVisible())
            texts.append(static_cast<QGraphicsTextItem*>(item)->toPlainText());
    return texts;
}

}  // namespace

TEST_F(CompareTest, TheNewestInputWinsOverALateBackgroundResult) {
    // A large grid's result is ready but held back while N = 5 is typed and
    // shown; released, it arrives last and must not replace what is shown.
    window_->LiveCalculation().Hold(true);
    Type("N", "400000");
    ASSERT_TRUE(window_->Calculating());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window_->LiveCalculation().WorkerHeld(); }, 30000));
    Type("N", "5");
    ASSERT_EQ(window_->Current()->plan.N, 5);
    const int settled = window_->LiveCalculation().Settled();
    window_->LiveCalculation().Hold(false);
    // Once the window's thread has handled the late worker's end, its result
    // has been handed over or dropped: nothing more can come of it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window_->LiveCalculation().Settled() > settled; }, 30000));
    EXPECT_EQ(window_->Current()->plan.N, 5);
    EXPECT_EQ(Rows(), 4);
    EXPECT_EQ(Cell(0, 1), QString::number(window_->Current()->results[0][0].maxError, 'g', 4));
    EXPECT_TRUE(window_->statusBar()->currentMessage().startsWith("N = 5,"));

    // The same for the convergence run: a run of older inputs finishing
    // after the newer one started is dropped.
    window_->ConvergenceRun().Hold(true);
    Type("N", "40");
    ASSERT_TRUE(QTest::qWaitFor([&] { return window_->ConvergenceRun().WorkerHeld(); }, 30000));
    Type("N", "6");
    ASSERT_TRUE(QTest::qWaitFor([&] { return window_->ConvergenceRunning(); }));
    const int converged = window_->ConvergenceRun().Settled();
    window_->ConvergenceRun().Hold(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window_->ConvergenceRun().Settled() > converged; }, 30000));
    ASSERT_NE(window_->Convergence(), nullptr);
    EXPECT_EQ(window_->Convergence()->plan.N, 6);
}

TEST_F(CompareTest, HostileSettingsFilesAreNotRead) {
    window_.reset();
    QDir(dir_.path()).mkpath("convdiff");
    const QString ini = File("convdiff/convdiff-compare.ini");
    // A FIFO would block a read for ever; it stays a FIFO after the window closed.
    ASSERT_EQ(::mkfifo(QFile::encodeName(ini).constData(), 0600), 0);
    window_ = std::make_unique<compare::CompareWindow>();
    window_->show();
    EXPECT_EQ(Get<QLineEdit>("N")->text(), "5");
    EXPECT_TRUE(window_->statusBar()->currentMessage().contains("not a regular file"));
    Type("N", "8");
    window_->close();
    EXPECT_FALSE(QFileInfo(ini).isFile());
    window_.reset();
    ASSERT_TRUE(QFile::remove(ini));

    // A geometry cut short is passed over: the default size, not a shrunken window.
    QByteArray geometry;
    {
        compare::CompareWindow other;
        other.resize(900, 600);
        geometry = other.saveGeometry();
    }
    {
        QSettings settings(QSettings::IniFormat, QSettings::UserScope, "convdiff", "convdiff-compare");
        settings.setValue("geometry", geometry.left(geometry.size() - 8));
        settings.setValue("inputs/N", "7");
    }
    window_ = std::make_unique<compare::CompareWindow>();
    // The default size, as far as the screen has room for it.
    const QSize room = window_->screen()->availableGeometry().size();
    EXPECT_EQ(window_->size(), window_->sizeHint().expandedTo(QSize(1100, 720)).boundedTo(room).expandedTo(
                                   window_->minimumSizeHint()));
    EXPECT_EQ(Get<QLineEdit>("N")->text(), "7");
    window_.reset();
    {
        QSettings settings(QSettings::IniFormat, QSettings::UserScope, "convdiff", "convdiff-compare");
        settings.setValue("geometry", geometry);
    }
    window_ = std::make_unique<compare::CompareWindow>();
    EXPECT_EQ(window_->size(), QSize(900, 600).boundedTo(room).expandedTo(window_->minimumSizeHint()));
}

TEST_F(CompareTest, OrderColumnGivesTheFinestGridsOrderOnceTheRunHasFinished) {
    Type("u", "5");  // Pe = 10 at N = 5, where upwind's N-to-2N order is -0.35
    auto* model = Get<QTableView>("errors")->model();
    EXPECT_EQ(model->headerData(3, Qt::Horizontal).toString(), "Order (N to 2N, coarse)");
    EXPECT_TRUE(model->index(1, 3).data(Qt::FontRole).value<QFont>().italic());
    EXPECT_LT(Cell(1, 3).toDouble(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window_->Convergence() && !window_->ConvergenceRunning(); }, 30000));
    EXPECT_EQ(model->headerData(3, Qt::Horizontal).toString(), "Order (finest grids)");
    EXPECT_TRUE(model->headerData(3, Qt::Horizontal, Qt::ToolTipRole).toString().contains("N = 2560 to 5120"));
    const std::vector<study::Result>& upwind = window_->Convergence()->results[1];
    EXPECT_EQ(Cell(1, 3), QString::number(*upwind.back().orderMax, 'g', 4));
    EXPECT_NEAR(Cell(1, 3).toDouble(), 1, 0.05);
    EXPECT_NEAR(Cell(3, 3).split(' ')[0].toDouble(), 2, 0.2);  // QUICK
    EXPECT_FALSE(model->index(1, 3).data(Qt::FontRole).value<QFont>().italic());
    // New inputs: back to the coarse order until their run has finished.
    Type("u", "4");
    EXPECT_EQ(model->headerData(3, Qt::Horizontal).toString(), "Order (N to 2N, coarse)");
}

TEST_F(CompareTest, OrderIsMarkedPreAsymptoticWhereTheLastOrdersDiffer) {
    Get<QCheckBox>("show_exponential")->setChecked(true);  // exact: its errors are rounding
    Type("u", "50");  // Pe = 100 at N = 5: central is far from its order at the finest grids
    ASSERT_TRUE(QTest::qWaitFor([&] { return window_->Convergence() && !window_->ConvergenceRunning(); }, 30000));
    const std::vector<study::Result>& hybrid = window_->Convergence()->results[2];
    const std::size_t last = hybrid.size() - 1;
    const bool settled = std::fabs(*hybrid[last].orderMax - *hybrid[last - 1].orderMax) <= 0.1;
    EXPECT_EQ(Cell(2, 3).endsWith(" (pre-asymptotic)"), !settled) << Cell(2, 3).toStdString();
    EXPECT_FALSE(Cell(1, 3).endsWith(" (pre-asymptotic)"));  // upwind is first order by then
    EXPECT_EQ(Cell(4, 3), "– (rounding)");
}

TEST_F(CompareTest, CoincidingSchemesSaySo) {
    // At |Pe| < 2 hybrid is central; at Pe = 5 it is neither.
    auto* chart = static_cast<charts::SolutionChart*>(Get<QChartView>("solutionChart")->chart());
    auto label = [&](study::Scheme s) { return chart->legend()->markers(chart->SeriesOf(s)).at(0)->label(); };
    EXPECT_EQ(label(study::Scheme::Hybrid), "Hybrid (same as Central here)");
    EXPECT_EQ(label(study::Scheme::Upwind), "Upwind");
    EXPECT_TRUE(Cell(2, compare::ErrorsModel::kNote).startsWith("the same solution as Central here"));
    EXPECT_EQ(Cell(1, compare::ErrorsModel::kNote), "");
    Type("u", "2.5");
    LayOut();
    EXPECT_EQ(label(study::Scheme::Hybrid), "Hybrid");
    // and the legend as drawn
    const QStringList drawn = Labels(Get<QChartView>("solutionChart"));
    EXPECT_TRUE(drawn.contains("Hybrid")) << drawn.join(" | ").toStdString();
    EXPECT_FALSE(Cell(2, compare::ErrorsModel::kNote).contains("same"));
}

TEST_F(CompareTest, EveryTickedRowIsInSightAndLongNotesWholeInTheirTooltips) {
    for (const char* box : {"show_powerlaw", "show_exponential"}) Get<QCheckBox>(box)->setChecked(true);
    Type("u", "2.5");
    window_->resize(1100, 720);
    LayOut();
    auto* table = Get<QTableView>("errors");
    ASSERT_EQ(Rows(), 6);
    EXPECT_LE(table->rowViewportPosition(5) + table->rowHeight(5), table->viewport()->height());
    const QString note = table->model()->index(0, compare::ErrorsModel::kNote).data().toString();
    EXPECT_GT(note.size(), 100);
    EXPECT_EQ(table->model()->index(0, compare::ErrorsModel::kNote).data(Qt::ToolTipRole).toString(), "<p>" + note.toHtmlEscaped() + "</p>");
}

TEST_F(CompareTest, LogAxisLabelsAreWholeWhenTheRunFinishedOnAHiddenTab) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return window_->Convergence() && !window_->ConvergenceRunning(); }, 30000));
    window_->findChild<QTabWidget*>()->setCurrentIndex(1);
    LayOut();
    const QStringList labels = Labels(Get<QChartView>("convergenceChart"));
    EXPECT_TRUE(labels.contains("1e-03")) << labels.join(" | ").toStdString();
    for (const QString& text : labels) EXPECT_FALSE(text.endsWith("...")) << text.toStdString();
}

TEST(Charts, MarkersHaveRoomAndNoneStraysToTheCorner) {
    study::Problem p;
    p.u = 2.5;
    study::Plan plan;
    plan.schemes = {study::Scheme::Central, study::Scheme::Upwind};
    const study::Study st = study::Run(p, plan);
    charts::SolutionChart chart;
    chart.Show(st);
    plan.schemes = {study::Scheme::Quick, study::Scheme::Central};  // series removed and added again
    chart.Show(study::Run(p, plan));
    chart.Show(st);
    // Central oscillates beyond the exact solution's range: off scale. The
    // largest value of the others is below the axis's end by more than a
    // marker.
    auto* y = static_cast<QValueAxis*>(chart.axes(Qt::Vertical).at(0));
    const double span = y->max() - y->min();
    EXPECT_LT(y->max(), st.results[0][0].phiMax);
    EXPECT_GT(y->max(), std::max(1.0, st.results[1][0].phiMax) + 0.02 * span);
    EXPECT_LT(y->min(), std::min(0.0, st.results[1][0].phiMin) - 0.02 * span);
    // A scheme near the largest double is off scale too: the axis keeps the
    // others' range and its ticks.
    study::Study huge = st;
    huge.results[0][0].phiMax = 1.7e308;
    chart.Show(huge);
    EXPECT_EQ(y->tickType(), QValueAxis::TicksDynamic);
    EXPECT_EQ(y->max() - y->min(), span);
    chart.Show(st);
    EXPECT_EQ(y->tickType(), QValueAxis::TicksDynamic);
    QTemporaryDir dir;
    const QString svg = dir.filePath("s.svg");
    ASSERT_EQ(charts::Save(&chart, svg, QSize(1000, 650)), "");
    QFile file(svg);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    // Five nodes of two schemes, and a marker in each legend entry.
    EXPECT_EQ(text.count("<image"), 12) << text.toStdString();
    EXPECT_FALSE(text.contains("<image x=\"0\" y=\"0\""));
}

TEST_F(CompareTest, HoveringAMarkerAfterTheInputsChangedTellsItsNode) {
    // The tip is a child of the chart's view: a tooltip window would be
    // hidden again at once once the window has the focus.
    auto* chart = static_cast<charts::SolutionChart*>(Get<QChartView>("solutionChart")->chart());
    auto* tip = Get<QLabel>("markerTip");
    EXPECT_FALSE(tip->isWindow());
    Type("u", "2.5");
    QLineSeries* central = chart->SeriesOf(study::Scheme::Central);
    emit central->hovered(central->at(3), true);
    EXPECT_TRUE(tip->isVisible());
    const study::Result& r = window_->Current()->results[0][0];
    EXPECT_EQ(tip->text(), QString("Central, node 4\nx = 0.7 m\nφ = %1\nerror = %2")
                               .arg(QString::number(r.phi[3], 'g', 4),
                                    QString::number(r.phi[3] - window_->Current()->exact[3], 'g', 4)) +
                               "\n" + chart->OffScaleText(study::Scheme::Central));
    EXPECT_TRUE(chart->OffScaleText(study::Scheme::Central).startsWith("Central: φ from "));
    emit central->hovered(central->at(3), false);
    EXPECT_FALSE(tip->isVisible());
    // Its legend entry says it is off scale; hovering there tells how far.
    QLegendMarker* entry = chart->legend()->markers(central).at(0);
    EXPECT_EQ(entry->label(), "Central (off scale)");
    emit entry->hovered(true);
    EXPECT_EQ(tip->text(), chart->OffScaleText(study::Scheme::Central));
    emit entry->hovered(false);
    EXPECT_FALSE(tip->isVisible());
}

TEST_F(CompareTest, AFailedExportSaysWhichFileAndWhy) {
    EXPECT_EQ(window_->ExportNodes("/dev/full"), "/dev/full: No space left on device");
    EXPECT_TRUE(QFileInfo("/dev/full").exists() && !QFileInfo("/dev/full").isFile());  // written to, not replaced
    EXPECT_EQ(window_->ExportErrors(File("none/e.csv")), File("none/e.csv") + ": No such file or directory");
    EXPECT_EQ(window_->ExportChart("/dev/full"), "No space left on device");
}
