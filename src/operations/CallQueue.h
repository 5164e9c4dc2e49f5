#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

// Calls queued from any thread and run on the thread that drains the queue: the terminal's
// stand-in for a window's message queue.
class CallQueue {
public:
    // Queues a call; never waits for the draining thread.
    void Post(std::function<void()> call);

    // Runs the queued calls; when none is queued, waits at most timeoutMs for one first.
    // Returns the number of calls run.
    int RunFor(int timeoutMs);

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> calls_;
};
