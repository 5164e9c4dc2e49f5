// Time of a whole identify, read and write against the simulated radio, with the line
// paced as a 9600 Bd serial line would be and without pacing (the driver's and link's own
// overhead). Prints one line per operation; paced ones beside the line time of every byte
// moved (both directions, 10 bits a byte) and the ratio of the two; then, at 9600 Bd, a plain
// write and a write with backup and verify beside the line time of everything they move.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include <unistd.h>

#include "sim/PtyRadio.h"
#include "sim/SimulatedRadio.h"

#include "link/ComPorts.h"
#include "model/ChannelsContext.h"
#include "model/InfoContext.h"
#include "model/SettingsContext.h"
#include "operations/CallQueue.h"
#include "operations/OperationDriver.h"

namespace {

const char* OutcomeName(OperationOutcome o) {
    return o == OperationOutcome::Succeeded ? "ok" : "FAILED";
}

} // namespace

int main() {
    for (Pacing pacing : {Pacing::Instant, Pacing::Line9600}) {
        SimulatedRadio radio;
        PtyRadio pty(radio, pacing);
        if (!pty.Start()) {
            std::fprintf(stderr, "no pseudo-terminal: %s\n", pty.Error().c_str());
            return 1;
        }
        const int port = FreeComPortNumber();
        SetComPortOverride(port, pty.DevicePath());

        ChannelsContext channels;
        SettingsContext settings;
        TInfoContext info;
        FreqRange set;
        set.SetDefault();
        channels.ranges.Select(channels.ranges.Add(set));
        for (int i = 0; i < CHANNEL_COUNT; ++i) {
            channels.channels[i].freq_rx = 33000000 + 12500 * i;
            channels.channels[i].freq_tx = 33000000 + 12500 * i;
        }
        CallQueue queue;
        OperationDriver driver(channels, settings, info,
                               [&](std::function<void()> call) { queue.Post(std::move(call)); });
        driver.port_number = port;

        const char* pacingName = pacing == Pacing::Instant ? "unpaced" : "9600 Bd";
        for (int32_t mode : {MODE_IDENTIFY, MODE_WRITE, MODE_READ}) {
            radio.ResetStats();
            const auto start = std::chrono::steady_clock::now();
            driver.Start(mode);
            while (!driver.Finished()) {
                queue.RunFor(100);
            }
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count();
            const char* name = mode == MODE_IDENTIFY ? "identify"
                               : mode == MODE_WRITE  ? "write"
                                                     : "read";
            const RadioStats st = radio.Stats();
            const double lineMs = static_cast<double>(st.bytesIn + st.bytesOut) * 10.0 / 9.6;
            if (pacing == Pacing::Line9600)
                std::printf("%-8s %-8s %8.1f ms  line time %8.1f ms  ratio %.4f  %s\n", pacingName,
                            name, ms, lineMs, ms / lineMs, OutcomeName(driver.Outcome()));
            else
                std::printf("%-8s %-8s %8.1f ms  %s\n", pacingName, name, ms,
                            OutcomeName(driver.Outcome()));
        }
        if (pacing == Pacing::Line9600) {
            const std::filesystem::path backups =
                std::filesystem::temp_directory_path() /
                ("zorvex-bench-backups-" + std::to_string(::getpid()));
            struct Variant {
                const char* name;
                bool safe;
            };
            for (const Variant& v :
                 {Variant{"write, plain", false}, Variant{"write + backup + verify", true}}) {
                driver.safety.backup = v.safe;
                driver.safety.verify = v.safe;
                driver.safety.backupRoot = backups.string();
                radio.ResetStats();
                const auto start = std::chrono::steady_clock::now();
                driver.Start(MODE_WRITE);
                while (!driver.Finished()) {
                    queue.RunFor(100);
                }
                const double seconds =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
                const RadioStats st = radio.Stats();
                const double line = static_cast<double>(st.bytesIn + st.bytesOut) * 10.0 / 9600.0;
                std::printf("9600 Bd  %-24s %7.3f s  line time %7.3f s  ratio %.4f  %s\n", v.name,
                            seconds, line, seconds / line, OutcomeName(driver.Outcome()));
            }
            std::error_code ignored;
            std::filesystem::remove_all(backups, ignored);
        }
        pty.Stop();
        SetComPortOverride(port, "");
    }
    return 0;
}
