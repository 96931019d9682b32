// The Time tab's fit to large fonts: the room its charts and banner take,
// and the amplification chart kept wide enough for its legend.
#include <QChartView>
#include <QLegend>
#include <QScrollArea>
#include <QSplitter>
#include <algorithm>

#include "charts/charts.hpp"
#include "time_charts.hpp"
#include "time_tab.hpp"

namespace compare {

// Qt Charts gives a legend at the right at most about 38 % of its chart:
// the amplification chart is kept wide enough for its longest name whole
// in the legend's font.
int TimeTab::LeastAmplificationWidth() const {
    const QFontMetrics metrics(amplification_->legend()->font());
    int widest = 0;
    for (study::Scheme s : study::kAllSchemes)
        if (!study::IsTvd(s)) widest = std::max(widest, metrics.horizontalAdvance(charts::SchemeTitle(s)));
    return int((widest + 3 * metrics.height() + 24) / 0.36);
}

void TimeTab::SetRoomy(bool on) {
    // A chart's title, axis labels and axis title in large fonts, and a few
    // lines of plot between them.
    const int least = on ? 12 * fontMetrics().lineSpacing() : 110;
    for (QChartView* view : {profileView_, amplificationView_}) view->setMinimumHeight(least);
    // The legend a list beside the chart while roomy.
    amplificationView_->setMinimumWidth(on ? 200 : LeastAmplificationWidth());
    spaceTime_->setMinimumHeight(least);
    // Three lines of the banner in sight, in its font now.
    findChild<QScrollArea*>("stabilityScroll")->setMinimumHeight(3 * fontMetrics().lineSpacing() + (on ? 10 : 0));
    // The amplification chart and the space-time picture one above the
    // other, each as wide as the tab.
    findChild<QSplitter*>("timeLower")->setOrientation(on ? Qt::Vertical : Qt::Horizontal);
}

}  // namespace compare
