// The background thread that runs the newest job only.
#include "latest_job.hpp"

#include <pthread.h>
#include <sched.h>

#include <utility>

LatestJob::LatestJob() : thread_([this] { Loop(); }) {}

LatestJob::~LatestJob() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void LatestJob::Submit(Job job) {
    Job dropped;
    {
        std::lock_guard lock(mutex_);
        dropped = std::exchange(pending_, std::move(job));
    }
    changed_.notify_all();
    // `dropped`, and what it holds, goes here, outside the lock.
}

void LatestJob::Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !pending_ && !running_; });
}

void LatestJob::SetHook(std::function<void()> beforeEachJob) {
    std::lock_guard lock(mutex_);
    hook_ = std::move(beforeEachJob);
}

void LatestJob::Loop() {
#ifdef SCHED_IDLE
    // The window keeps the processor; the writing waits for idle time.
    const sched_param idle{};
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &idle);
#endif
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return pending_ || stopping_; });
        if (!pending_) return;  // stopping, with nothing left to run
        Job job = std::exchange(pending_, nullptr);
        running_ = true;
        const std::function<void()> hook = hook_;
        lock.unlock();
        if (hook) hook();
        job();
        job = nullptr;
        lock.lock();
        running_ = false;
        changed_.notify_all();
    }
}
