#pragma once
// One worker thread that runs the newest job it was given. A job posted while
// another waits replaces the waiting one; the running job always finishes, but
// only the newest job's result is applied. Results are applied on the
// receiver's thread (a queued call), so the owner must destroy this thread
// before the receiver.
#include <QObject>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class LatestJobThread {
public:
    LatestJobThread();
    ~LatestJobThread(); // waits for the running job, drops a waiting one
    LatestJobThread(const LatestJobThread&) = delete;
    LatestJobThread& operator=(const LatestJobThread&) = delete;

    // Runs work() on the thread, then apply(result) on receiver's thread,
    // unless another job was posted or Drop() was called meanwhile. Post and
    // Drop are called on receiver's thread.
    template <typename Work, typename Apply> void Post(QObject* receiver, Work work, Apply apply)
    {
        const quint64 generation = ++generation_;
        Post([this, receiver, generation, work = std::move(work), apply = std::move(apply)] {
            auto result = work();
            QMetaObject::invokeMethod(
                receiver,
                [this, generation, apply, result = std::move(result)] {
                    if (generation == generation_)
                        apply(result);
                },
                Qt::QueuedConnection);
        });
    }
    // The result of the job running or waiting is no longer wanted.
    void Drop() { ++generation_; }

private:
    void Post(std::function<void()> job);
    void Run();

    quint64 generation_ = 0; // the newest job's; on the receiver's thread only

    std::mutex mutex_;
    std::condition_variable wake_;
    std::function<void()> waiting_;
    bool stopping_ = false;
    std::thread thread_;
};
