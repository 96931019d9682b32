// The type-free part of a window's background job: cancelling, the newest
// run, progress and the hold for tests.
#include "background_job.hpp"

namespace compare {

JobBase::JobBase(QObject* parent) : QObject(parent) {
    progressTimer_.setInterval(100);
    connect(&progressTimer_, &QTimer::timeout, this, [this] {
        if (!Busy()) return progressTimer_.stop();
        if (control_) progressed(control_->progress_.load());
    });
}

JobBase::~JobBase() = default;

std::shared_ptr<JobControl> JobBase::Begin() {
    Cancel();
    control_ = std::make_shared<JobControl>();
    progressed(0);
    progressTimer_.start();
    return control_;
}

void JobBase::Cancel() {
    if (Running()) ++cancelledRuns_;
    if (control_) control_->cancelled_.store(true);
}

bool JobBase::Running() const { return Busy() && control_ && !control_->cancelled_.load(); }

bool JobBase::Newest(const std::shared_ptr<JobControl>& control) const {
    return control && control == control_ && !control->cancelled_.load();
}

void JobBase::Hold(bool held) {
    {
        std::lock_guard lock(gate_->mutex);
        gate_->held = held;
    }
    gate_->changed.notify_all();
}

bool JobBase::WorkerHeld() const {
    std::lock_guard lock(gate_->mutex);
    return gate_->waiting > 0;
}

void JobBase::Gate::Pass() {
    std::unique_lock lock(mutex);
    if (!held) return;
    ++waiting;
    changed.wait(lock, [this] { return !held; });
    --waiting;
}

}  // namespace compare
