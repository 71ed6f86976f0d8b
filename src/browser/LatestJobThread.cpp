#include "browser/LatestJobThread.h"

LatestJobThread::LatestJobThread() : thread_([this] { Run(); }) {}

LatestJobThread::~LatestJobThread()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        waiting_ = nullptr;
    }
    wake_.notify_one();
    thread_.join();
}

void LatestJobThread::Post(std::function<void()> job)
{
    {
        std::lock_guard lock(mutex_);
        waiting_ = std::move(job);
    }
    wake_.notify_one();
}

void LatestJobThread::Run()
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || waiting_ != nullptr; });
            if (stopping_)
                return;
            job = std::move(waiting_);
            waiting_ = nullptr;
        }
        job();
    }
}
