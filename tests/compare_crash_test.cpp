// The solutions chart as its series come and go between two turns of the
// event loop: a chart item Qt Charts keeps for a while after its series is
// taken off the chart must never be drawn, and never for a series deleted.
#include <gtest/gtest.h>

#include <QApplication>
#include <QChartView>
#include <QCheckBox>
#include <QGraphicsItem>
#include <QMouseEvent>

#include "charts/charts.hpp"
#include "compare/input_panel.hpp"
#include "compare_fixture.hpp"

namespace {

// The line items drawn in a chart's view: one for each series on the chart.
int DrawnLines(QChartView* view) {
    int drawn = 0;
    for (QGraphicsItem* item : view->scene()->items())
        if (QGraphicsObject* object = item->toGraphicsObject())
            drawn += item->isVisible() && QByteArray(object->metaObject()->className()) == "LineChartItem";
    return drawn;
}

// Paints the view at once and moves the mouse across it, as a student would.
void PaintAndHover(QChartView* view) {
    view->grab();
    QWidget* area = view->viewport();
    for (int k = 0; k < 40; ++k) {
        const QPoint at(area->width() * (k + 1) / 42, area->height() * ((k * 37) % 40 + 1) / 42);
        QMouseEvent move(QEvent::MouseMove, at, area->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(area, &move);
    }
}

}  // namespace

TEST_F(CompareTest, OnlyTheSeriesOnTheChartAreDrawnWhenSchemesComeAndGo) {
    auto* view = Get<QChartView>("solutionChart");
    auto* chart = static_cast<charts::SolutionChart*>(view->chart());
    auto tick = [&](study::Scheme s, bool on) {
        Get<QCheckBox>(("show_" + compare::NameOf(s)).toUtf8().constData())->setChecked(on);
        window_->UpdateNow();
    };
    // No turn of the event loop in between: the chart items of series taken
    // off the chart are still there when the next change comes.
    tick(study::Scheme::VanLeer, true);
    tick(study::Scheme::Superbee, true);
    EXPECT_EQ(DrawnLines(view), chart->series().size());
    Type("N", "1000");  // the markers go, which restyles every series
    EXPECT_EQ(DrawnLines(view), chart->series().size());
    for (study::Scheme s : study::kLinearSchemes) {
        tick(s, false);
        ASSERT_EQ(DrawnLines(view), chart->series().size()) << study::Name(s);
        PaintAndHover(view);
    }
    for (const char* u : {"2", "2.", "2.5", "0.1"}) {
        Type("u", u);
        ASSERT_EQ(DrawnLines(view), chart->series().size()) << u;
        PaintAndHover(view);
    }
    EXPECT_EQ(chart->series().size(), 1 + 2);
    ASSERT_NE(chart->SeriesOf(study::Scheme::VanLeer), nullptr);
    EXPECT_EQ(chart->SeriesOf(study::Scheme::VanLeer)->count(), 1000);
    // Back to the defaults, the markers with them.
    window_->ResetToDefaults();
    window_->UpdateNow();
    EXPECT_EQ(DrawnLines(view), chart->series().size());
    PaintAndHover(view);
}
