// Wall time of the worker's job lists at the real 9600-baud pace, beside the line time of
// everything moved: every byte on the wire (both directions, flags and escapes included)
// takes 10 bit times. The simulated radio answers at once, so the difference is the link's
// own overhead: waits between reads, the hand-over of a list, the hop back to the caller.
//
// Each list (identify, read, write) is timed from StartJobs to the caller seeing its end,
// on a port opened before; the whole session (open, the three lists, close) is timed too.
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
    unsigned exchanges;
};

void Print(const Result& r) {
    const double line = static_cast<double>(r.bytes) * 10.0 / 9600.0;
    const double lost = r.exchanges ? (r.seconds - line) * 1000.0 / r.exchanges : 0.0;
    std::printf("%-22s %8.3f s   line time %8.3f s   (%6llu bytes, %3u exchanges)   ratio %.4f"
                "   %+6.2f ms an exchange\n",
                r.name, r.seconds, line, static_cast<unsigned long long>(r.bytes), r.exchanges,
                r.seconds / line, lost);
}

unsigned Exchanges(const RadioStats& s) {
    return s.infoRequests + s.readRequests + s.writeRequests;
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
    const struct {
        const char* name;
        const std::vector<TransferJob>* jobs;
    } lists[] = {{"identify", &identify}, {"read", &read}, {"write", &write}};

    std::printf("Radio link at 9600 Bd against the simulated radio\n");
    std::vector<Result> results;
    const int rounds = 3;
    for (int round = 0; round < rounds; ++round) {
        Session s;
        radio.ResetStats();
        const auto sessionStart = Clock::now();
        if (!s.worker.OpenPort(port)) {
            std::fprintf(stderr, "%s\n", s.worker.LastOpenError().c_str());
            return 1;
        }
        for (const auto& l : lists) {
            const RadioStats before = radio.Stats();
            const auto start = Clock::now();
            if (!s.Run(*l.jobs)) {
                std::fprintf(stderr, "%s: error code %d\n", l.name, s.worker.GetError());
                return 1;
            }
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            const RadioStats after = radio.Stats();
            results.push_back({l.name, seconds,
                               after.bytesIn + after.bytesOut - before.bytesIn - before.bytesOut,
                               Exchanges(after) - Exchanges(before)});
        }
        s.worker.ClosePort();
        const double seconds = std::chrono::duration<double>(Clock::now() - sessionStart).count();
        const RadioStats st = radio.Stats();
        results.push_back(
            {"session (open..close)", seconds, st.bytesIn + st.bytesOut, Exchanges(st)});
    }
    // The best of the rounds for each line: the machine is shared.
    for (size_t k = 0; k < 4; ++k) {
        Result best = results[k];
        for (int round = 1; round < rounds; ++round) {
            const Result& r = results[round * 4 + k];
            if (r.seconds < best.seconds)
                best = r;
        }
        Print(best);
    }
    pty.Stop();
    return 0;
}
