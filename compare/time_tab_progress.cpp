// The Time tab's view of a run under way: its progress bar, shown once the
// run has gone on for half a second, and the space-time picture of the
// rows gathered so far.
#include <QProgressBar>
#include <QComboBox>

#include "time_charts.hpp"
#include "time_tab.hpp"

namespace compare {

namespace {
constexpr int kProgressAfter = 500;  // ms a run goes on before its progress shows
}

// The bar sits in the player's row; BuildControls places it.
void TimeTab::BuildProgress() {
    progress_ = new QProgressBar;
    progress_->setObjectName("timeProgress");
    progress_->setAccessibleName("Share of t_end reached");
    progress_->setRange(0, 100);
    progress_->setFormat("t: %p% of t_end");
    progress_->setMaximumWidth(200);
    progress_->hide();
    progressDelay_ = new QTimer(this);
    progressDelay_->setObjectName("progressDelay");
    progressDelay_->setSingleShot(true);
    progressDelay_->setInterval(kProgressAfter);
    connect(progressDelay_, &QTimer::timeout, this, [this] {
        if (!finished_ && marching_.Running()) progress_->show();
    });
    connect(&marching_, &JobBase::progressed, progress_, &QProgressBar::setValue);
}

void TimeTab::StopProgress() {
    progressDelay_->stop();
    progress_->hide();
    progress_->setValue(0);
}

void TimeTab::ShowSpaceTime() {
    const int k = spaceTimeScheme_->currentIndex();
    if (!spaceTimeRows_ || !plan_ || k < 0 || k >= int(plan_->schemes.size())) return;
    spaceTime_->SetRows(spaceTimeRows_, {plan_->schemes[std::size_t(k)]});
}

}  // namespace compare
