// Wall time of whole radio sessions at the real 9600-baud pace, beside the line-rate
// limit: every byte on the wire (both directions, flags and escapes included) takes
// 10 bit times. The simulated radio answers at once, so the difference is the link's own
// overhead: idle polling, read pauses, hand-over between lists.
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <vector>

#include "link/ComPorts.h"
#include "link/ComThread.h"
#include "sim/PtyRadio.h"
#include "sim/SimulatedRadio.h"

namespace {

using Clock = std::chrono::steady_clock;
using Buffer = std::array<uint8_t, JOB_BUFFER_SIZE>;

struct Session {
    ComThread worker;
    std::mutex mutex;
    std::condition_variable posted;

    Session() {
        worker.SetNotifyWindow([this](uint32_t) {
            std::lock_guard lock(mutex);
            posted.notify_all();
        });
    }
    bool Run(const std::vector<TransferJob>& jobs) {
        worker.ClearJobs();
        for (const auto& j : jobs)
            worker.AddJob(&j);
        if (!worker.StartJobs())
            return false;
        std::unique_lock lock(mutex);
        posted.wait(lock, [&] { return worker.GetProgress() == 100; });
        return worker.GetError() == 0;
    }
};

struct Result {
    const char* name;
    double seconds;
    uint64_t bytes;
};

void Print(const Result& r) {
    const double limit = static_cast<double>(r.bytes) * 10.0 / 9600.0;
    std::printf("%-34s %8.3f s   line limit %8.3f s   (%6llu bytes)   %+6.2f %%\n", r.name,
                r.seconds, limit, static_cast<unsigned long long>(r.bytes),
                (r.seconds / limit - 1.0) * 100.0);
}

} // namespace

int main() {
    SimulatedRadio radio;
    PtyRadio pty(radio, Pacing::Line9600);
    if (!pty.Start()) {
        std::fprintf(stderr, "%s\n", pty.Error().c_str());
        return 1;
    }
    const int port = FreeComPortNumber();
    SetComPortOverride(port, pty.DevicePath());

    Buffer info[3], t0, t3, settings;
    const std::vector<TransferJob> identify = {{OP_REQUEST_INFO, 0, 122, info[0].data()},
                                               {OP_REQUEST_INFO, 1, 104, info[1].data()},
                                               {OP_REQUEST_INFO, 2, 464, info[2].data()}};
    const std::vector<TransferJob> read = {{OP_READ_TABLE, 0x0000, 2012, t0.data()},
                                           {OP_READ_TABLE, 0x000C, 2012, t3.data()},
                                           {OP_READ_TABLE, 0x0004, 48, settings.data()}};
    const std::vector<TransferJob> write = {{OP_WRITE_TABLE, 0x0000, 2012, t0.data()},
                                            {OP_WRITE_TABLE, 0x000C, 2012, t3.data()},
                                            {OP_WRITE_TABLE, 0x0004, 48, settings.data()}};

    std::vector<Result> results;
    auto measure = [&](const char* name,
                       const std::vector<const std::vector<TransferJob>*>& lists) {
        radio.ResetStats();
        Session s;
        const auto start = Clock::now();
        if (!s.worker.OpenPort(port)) {
            std::fprintf(stderr, "%s\n", s.worker.LastOpenError().c_str());
            return false;
        }
        for (const auto* list : lists)
            if (!s.Run(*list)) {
                std::fprintf(stderr, "%s: error code %d\n", name, s.worker.GetError());
                return false;
            }
        s.worker.ClosePort();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        const RadioStats st = radio.Stats();
        results.push_back({name, seconds, st.bytesIn + st.bytesOut});
        return true;
    };

    std::printf("Radio link at 9600 Bd against the simulated radio\n");
    if (!measure("identify + read tables and settings", {&identify, &read}) ||
        !measure("identify + write tables and settings", {&identify, &write}))
        return 1;
    Result total{"total", 0, 0};
    for (const auto& r : results) {
        Print(r);
        total.seconds += r.seconds;
        total.bytes += r.bytes;
    }
    Print(total);
    pty.Stop();
    return 0;
}
