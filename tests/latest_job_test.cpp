// The background job that keeps only the newest one waiting: held with a
// hook, so that which jobs run does not depend on timing.
#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "app/latest_job.hpp"

namespace {

// Holds the worker in the hook until opened; says when the worker is there.
class Gate {
public:
    void Enter() {
        std::unique_lock lock(mutex_);
        ++arrivals_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_; });
    }
    void WaitForArrival(int count) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return arrivals_ >= count; });
    }
    void Open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int arrivals_ = 0;
    bool open_ = false;
};

}  // namespace

TEST(LatestJob, OnlyTheNewestWaitingJobRunsAndTheOthersAreFreed) {
    Gate gate;
    std::vector<int> ran;  // written by the worker only, read after Wait
    LatestJob worker;
    worker.SetHook([&] { gate.Enter(); });
    worker.Submit([&] { ran.push_back(0); });
    gate.WaitForArrival(1);  // job 0 is running, held

    // Tables handed over meanwhile: each replaces the one before it, and
    // what a dropped job holds is freed at once.
    std::vector<std::weak_ptr<int>> held;
    for (int k = 1; k <= 50; ++k) {
        auto table = std::make_shared<int>(k);
        held.push_back(table);
        worker.Submit([&ran, table] { ran.push_back(*table); });
    }
    for (int k = 1; k < 50; ++k) EXPECT_TRUE(held[std::size_t(k - 1)].expired()) << k;
    EXPECT_FALSE(held.back().expired());

    gate.Open();
    worker.Wait();
    EXPECT_EQ(ran, (std::vector<int>{0, 50}));
    EXPECT_TRUE(held.back().expired());
}

TEST(LatestJob, TheWaitingJobStillRunsWhenTheWorkerStops) {
    std::vector<int> ran;
    {
        Gate gate;
        LatestJob worker;
        worker.SetHook([&] { gate.Enter(); });
        worker.Submit([&] { ran.push_back(1); });
        gate.WaitForArrival(1);
        worker.Submit([&] { ran.push_back(2); });
        gate.Open();
    }
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
}
