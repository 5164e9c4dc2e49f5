// Test support: a simulated radio on a pseudo-terminal behind a COM number, and a worker
// whose job lists can be run to their end without sleeping.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "link/ComPorts.h"
#include "link/ComThread.h"
#include "sim/PtyRadio.h"
#include "sim/SimulatedRadio.h"

// Waits for the worker's notifications instead of polling on a timer.
class NotifyWaiter {
public:
    ComThread::Notify Poster() {
        return [this](uint32_t wParam) {
            std::lock_guard lock(mutex_);
            posted_.push_back(wParam);
            changed_.notify_all();
        };
    }
    // Waits until the worker reports progress 100 (or the time-out passes).
    bool WaitIdle(ComThread& worker, std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return worker.GetProgress() == 100; });
    }
    // Waits until a posted notification satisfies the predicate.
    template <class Pred> bool WaitPosted(Pred pred, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] {
            for (uint32_t w : posted_)
                if (pred(w))
                    return true;
            return false;
        });
    }
    std::vector<uint32_t> Posted() {
        std::lock_guard lock(mutex_);
        return posted_;
    }
    void Clear() {
        std::lock_guard lock(mutex_);
        posted_.clear();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<uint32_t> posted_;
};

class SimulatedLink : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Start()) << pty.Error();
        port = FreeComPortNumber();
        ASSERT_NE(port, 0);
        ASSERT_TRUE(SetComPortOverride(port, pty.DevicePath()));
        worker.SetNotifyWindow(waiter.Poster());
        ASSERT_TRUE(worker.OpenPort(port)) << worker.LastOpenError();
    }
    void TearDown() override {
        worker.ClosePort();
        pty.Stop();
        SetComPortOverride(port, "");
    }

    // Runs the jobs as one list and waits for its end; returns the error code.
    int Run(const std::vector<TransferJob>& jobs) {
        EXPECT_TRUE(worker.ClearJobs());
        for (const TransferJob& j : jobs)
            EXPECT_TRUE(worker.AddJob(&j));
        EXPECT_TRUE(worker.StartJobs());
        EXPECT_TRUE(waiter.WaitIdle(worker));
        return worker.GetError();
    }

    SimulatedRadio radio;
    PtyRadio pty{radio};
    int port = 0;
    NotifyWaiter waiter;
    ComThread worker;
};

inline std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> v;
    for (int x : values)
        v.push_back(static_cast<uint8_t>(x));
    return v;
}
