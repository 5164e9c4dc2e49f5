// Test support for the Windows run: the COM ports that scripts/test-windows.sh has put
// simulated radios behind, and a watchdog for calls that might never return.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

// The COM number in the environment variable, 0 when it is not set.
inline int ComFromEnvironment(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::atoi(v) : 0;
}

// A normal radio, answering at once.
inline constexpr const char* RADIO_COM = "ZORVEX_WIN_RADIO_COM";
// A radio that takes as long as a 9600-baud cable.
inline constexpr const char* PACED_COM = "ZORVEX_WIN_PACED_COM";
// A radio that never answers.
inline constexpr const char* DEAD_COM = "ZORVEX_WIN_DEAD_COM";
// A radio whose log the script reads after the run, for the link-speed requests.
inline constexpr const char* SPEED_COM = "ZORVEX_WIN_SPEED_COM";

// Skips the test when the script has not set up that port (the binary run on its own).
#define REQUIRE_COM(var, name)                                                                     \
    const int var = ComFromEnvironment(name);                                                      \
    if (var != 0) {                                                                                \
    } else                                                                                         \
        GTEST_SKIP() << name << " is not set: run through scripts/test-windows.sh"

// Ends the process when the guarded scope has not been left within the limit: a serial call
// that blocks for ever would otherwise hang the run instead of failing it.
class Watchdog {
public:
    Watchdog(std::string what, std::chrono::seconds limit) : what_(std::move(what)) {
        thread_ = std::thread([this, limit] {
            std::unique_lock lock(mutex_);
            if (!done_.wait_for(lock, limit, [this] { return disarmed_; })) {
                std::fprintf(stderr, "\nwatchdog: %s did not return within %lld s\n", what_.c_str(),
                             static_cast<long long>(limit.count()));
                std::fflush(stderr);
                std::_Exit(3);
            }
        });
    }
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            disarmed_ = true;
        }
        done_.notify_all();
        thread_.join();
    }

private:
    std::string what_;
    std::mutex mutex_;
    std::condition_variable done_;
    bool disarmed_ = false;
    std::thread thread_;
};

inline double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
