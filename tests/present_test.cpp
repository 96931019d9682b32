// Presentation mode for a chart on its own: long titles broken into lines
// and crowded ticks thinned while it is on, both given back exactly; and
// the legend list beside a chart, one whole name for each entry, following
// the chart's series.
#include <gtest/gtest.h>

#include <QApplication>
#include <QChartView>
#include <QHBoxLayout>
#include <QLegend>
#include <QLineSeries>
#include <QTest>
#include <QValueAxis>

#include "charts/legend_list.hpp"
#include "charts/limiter_chart.hpp"
#include "charts/present.hpp"

namespace {

const QString kLongTitle = "A title far too long for a narrow chart in large fonts";

}  // namespace

TEST(Present, BreaksLongTitlesAndThinsCrowdedTicksThenGivesThemBack) {
    auto* chart = new QChart;
    auto* series = new QLineSeries;
    series->append(0, 0);
    series->append(3, 3);
    chart->addSeries(series);
    auto* x = new QValueAxis;
    x->setRange(0, 3);
    x->setTickCount(7);
    x->setLabelFormat("%.2f");
    x->setTitleText("r, the ratio of successive gradients");
    chart->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    chart->setTitle(kLongTitle);
    QChartView view(chart);
    view.resize(320, 300);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));

    charts::Present(chart, true);
    charts::LayOutNow(chart);
    EXPECT_TRUE(chart->title().contains("<br>")) << chart->title().toStdString();
    EXPECT_EQ(chart->title().replace("<br>", " "), kLongTitle);
    // Fewer ticks, on values the axis had: 0, 1, 2, 3 or 0, 1.5, 3 or 0, 3.
    EXPECT_LT(x->tickCount(), 7);
    EXPECT_EQ(6 % (x->tickCount() - 1), 0) << x->tickCount();

    charts::Present(chart, false);
    EXPECT_EQ(chart->title(), kLongTitle);
    EXPECT_EQ(x->titleText(), "r, the ratio of successive gradients");
    EXPECT_EQ(x->tickCount(), 7);
}

TEST(LegendList, ListsEachNameWholeOnceAndFollowsTheChart) {
    auto* chart = new charts::LimiterChart;
    chart->Show({study::Limiter::VanLeer});
    QWidget window;
    auto* view = new QChartView(chart);
    auto* layout = new QHBoxLayout(&window);
    layout->addWidget(charts::WithLegendList(view));
    window.resize(700, 400);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* list = window.findChild<charts::LegendList*>();
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(list->isVisible());

    // The faces on Van Leer's curve share its name: listed once.
    chart->ShowFaces(study::Limiter::VanLeer, {{0.5, 1.0, 0.7}});
    list->SetShown(true);
    QApplication::processEvents();
    EXPECT_TRUE(list->isVisible());
    EXPECT_FALSE(chart->legend()->isVisible());
    QStringList names;
    for (QAbstractSeries* s : chart->series())
        if (!names.contains(s->name())) names.append(s->name());
    EXPECT_EQ(list->Names(), names);

    // Every line of every entry inside the list, beside its swatch.
    const QFontMetrics metrics = list->fontMetrics();
    for (int i = 0; i < list->count(); ++i) {
        const QRect row = list->visualItemRect(list->item(i));
        EXPECT_TRUE(list->viewport()->rect().contains(row)) << list->item(i)->text().toStdString();
        for (const QString& line : list->item(i)->text().split('\n'))
            EXPECT_LE(metrics.horizontalAdvance(line) + list->iconSize().width(), row.width()) << line.toStdString();
    }

    // A curve the chart adds comes into the list once the scene has it.
    chart->Show({study::Limiter::VanLeer, study::Limiter::Superbee});
    EXPECT_TRUE(QTest::qWaitFor([&] { return list->Names().contains("SUPERBEE"); }, 5000));

    list->SetShown(false);
    EXPECT_FALSE(list->isVisible());
    EXPECT_TRUE(chart->legend()->isVisible());
}
