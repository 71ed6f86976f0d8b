#pragma once
// One worker thread that runs the newest job it was given. A job posted while
// another waits replaces the waiting one; the running job always finishes.
// Jobs post their results back to the window thread themselves
// (QMetaObject::invokeMethod with a queued call), so the owner must destroy
// this thread before the object the results are posted to.
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

    void Post(std::function<void()> job);

private:
    void Run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::function<void()> waiting_;
    bool stopping_ = false;
    std::thread thread_;
};
