// One background thread that runs the newest job handed to it: a job handed
// over while another runs replaces any that still waits, which is dropped
// unrun. The window writes Results.txt through it, so that only the newest
// table waits and memory does not grow with the clicks.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class LatestJob {
public:
    using Job = std::function<void()>;

    LatestJob();
    // Runs the job that still waits, if any, then stops.
    ~LatestJob();
    LatestJob(const LatestJob&) = delete;
    LatestJob& operator=(const LatestJob&) = delete;

    // Hands `job` over; one that waits is dropped (destroyed unrun).
    void Submit(Job job);
    // Returns once no job waits or runs.
    void Wait();

    // For tests: called on the worker before each job, with no lock held, so
    // that a test can hold the worker while it hands over more jobs.
    void SetHook(std::function<void()> beforeEachJob);

private:
    void Loop();

    std::mutex mutex_;
    std::condition_variable changed_;
    Job pending_;
    bool running_ = false;
    bool stopping_ = false;
    std::function<void()> hook_;
    std::thread thread_;
};
