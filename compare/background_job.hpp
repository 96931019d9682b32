// One piece of background work a window keeps going: started off the
// window's thread, cancelled, the newest request always winning (a result
// of older inputs is dropped even when it arrives last), its progress, and
// a hook for tests that holds the worker once its work is done; and large
// results let go of off the window's thread.
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "solver/vector_state.hpp"

namespace compare {

// What the work sees of its job: whether it is still wanted, and where to
// report how far it has got.
class JobControl : public std::enable_shared_from_this<JobControl> {
public:
    bool Cancelled() const { return cancelled_.load(); }
    // The share done, 0 to 1.
    void Progress(double share) { progress_.store(int(share * 100)); }

private:
    friend class JobBase;
    std::atomic<bool> cancelled_{false};
    std::atomic<int> progress_{0};
};

// The part that does not depend on the result's type.
class JobBase : public QObject {
    Q_OBJECT

public:
    explicit JobBase(QObject* parent);
    ~JobBase() override;

    // Asks the work under way to stop; a result it still gives is dropped.
    void Cancel();
    // Whether work is under way and wanted.
    bool Running() const;
    // Whether a worker is still going, wanted or not.
    virtual bool Busy() const = 0;
    // How many runs were cancelled while under way.
    int CancelledRuns() const { return cancelledRuns_; }

    // For tests: while held, a worker that has finished waits before its
    // result is handed over, so that newer requests can be made in between.
    void Hold(bool held);
    // For tests: whether a worker is waiting at the hold.
    bool WorkerHeld() const;
    // For tests: how many workers' ends the window's thread has handled,
    // their results handed over or dropped; once it has grown past a run,
    // that run can deliver nothing more.
    int Settled() const { return settled_; }

signals:
    void progressed(int percent);

protected:
    // A new run's control; the one before is cancelled.
    std::shared_ptr<JobControl> Begin();
    // Whether `control` is the newest run and was not cancelled.
    bool Newest(const std::shared_ptr<JobControl>& control) const;
    virtual void WaitForWorker() = 0;

    // The hold, shared with the workers, which may outlive the job once
    // cancelled.
    struct Gate {
        std::mutex mutex;
        std::condition_variable changed;
        bool held = false;
        int waiting = 0;
        // Called by a worker when its work is done.
        void Pass();
    };
    std::shared_ptr<Gate> gate_ = std::make_shared<Gate>();
    std::shared_ptr<JobControl> control_;
    int settled_ = 0;

private:
    QTimer progressTimer_;
    int cancelledRuns_ = 0;
};

// Runs `work` on a pool thread and hands its result to `done` on the
// window's thread, when it is the newest run's. `work` returns nothing when
// it stopped because it was cancelled.
template <class Result>
class BackgroundJob : public JobBase {
public:
    using Work = std::function<std::optional<Result>(JobControl&)>;

    BackgroundJob(QObject* parent, std::function<void(Result)> done) : JobBase(parent), done_(std::move(done)) {
        connect(&watcher_, &QFutureWatcherBase::finished, this, [this] {
            std::optional<Result> result = watcher_.result();
            const bool newest = Newest(running_);
            running_.reset();
            ++settled_;
            if (!newest || !result) return;
            progressed(100);
            done_(std::move(*result));
        });
    }
    ~BackgroundJob() override {
        Cancel();
        Hold(false);
        WaitForWorker();
    }

    void Start(Work work) {
        auto control = Begin();
        running_ = control;
        watcher_.setFuture(QtConcurrent::run([gate = gate_, control, work = std::move(work)]() {
            calc::ClearUpperVectorState();
            std::optional<Result> result = work(*control);
            gate->Pass();
            return result;
        }));
    }

    bool Busy() const override { return watcher_.isRunning(); }

protected:
    void WaitForWorker() override { watcher_.waitForFinished(); }

private:
    std::function<void(Result)> done_;
    QFutureWatcher<std::optional<Result>> watcher_;
    std::shared_ptr<JobControl> running_;  // the run the watcher follows
};

// Lets go of `p` on a pool thread when this is its last holder: giving
// back the pages of a study of millions of nodes takes the system a few
// hundred milliseconds, which the window's thread would otherwise wait.
template <class T>
void LetGoElsewhere(std::shared_ptr<T> p) {
    if (p && p.use_count() == 1) QThreadPool::globalInstance()->start([p = std::move(p)]() mutable { p.reset(); });
}

// A job whose work also hands over parts of its result as it goes (the
// frames of a time-dependent run): each part reaches `part` on the window's
// thread, in order, while its run is the newest, and is dropped otherwise.
// While the hold is on, the worker also waits after handing each part.
template <class Part, class Result>
class StreamingJob : public BackgroundJob<Result> {
public:
    using Hand = std::function<void(Part)>;
    using Work = std::function<std::optional<Result>(JobControl&, const Hand&)>;

    StreamingJob(QObject* parent, std::function<void(Part)> part, std::function<void(Result)> done)
        : BackgroundJob<Result>(parent, std::move(done)), part_(std::move(part)) {}

    // The job outlives its workers (its destructor waits for them), so they
    // may hand parts to it.
    void Start(Work work) {
        BackgroundJob<Result>::Start([this, gate = this->gate_, work = std::move(work)](JobControl& control) {
            const std::shared_ptr<JobControl> run = control.shared_from_this();
            const Hand hand = [this, gate, run](Part p) {
                QMetaObject::invokeMethod(
                    this,
                    [this, run, p] {
                        if (this->Newest(run)) part_(p);
                    },
                    Qt::QueuedConnection);
                gate->Pass();
            };
            return work(control, hand);
        });
    }

private:
    std::function<void(Part)> part_;
};

}  // namespace compare
