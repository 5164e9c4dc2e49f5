#include "operations/CallQueue.h"

#include <chrono>

void CallQueue::Post(std::function<void()> call) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.push_back(std::move(call));
    }
    ready_.notify_one();
}

int CallQueue::RunFor(int timeoutMs) {
    std::deque<std::function<void()>> batch;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        ready_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                        [&] { return !calls_.empty(); });
        batch.swap(calls_);
    }
    for (auto& call : batch) {
        call();
    }
    return static_cast<int>(batch.size());
}
