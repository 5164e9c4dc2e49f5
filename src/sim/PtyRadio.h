// Serves a SimulatedRadio on a pseudo-terminal from a background thread of this process.
//
//   SimulatedRadio radio;
//   PtyRadio pty(radio);
//   if (!pty.Start()) ... pty.Error();
//   SetComPortOverride(200, pty.DevicePath());  // COM200 now reaches the radio
//   ...
//   pty.Stop();  // also done by the destructor
//
// The radio object must outlive the PtyRadio. Change its faults or tables at any time
// through the radio's own (thread-safe) members.
#pragma once

#include <atomic>
#include <string>
#include <thread>

#include "sim/SimulatedRadio.h"

class PtyRadio {
public:
    explicit PtyRadio(SimulatedRadio& radio, Pacing pacing = Pacing::Instant);
    ~PtyRadio();
    PtyRadio(const PtyRadio&) = delete;
    PtyRadio& operator=(const PtyRadio&) = delete;

    // Opens the pseudo-terminal and starts serving. False (with Error()) when no
    // pseudo-terminal could be had or it is already running.
    bool Start();
    // Path of the terminal a client opens, e.g. /dev/pts/7; empty before Start.
    const std::string& DevicePath() const { return devicePath_; }
    void Stop();
    bool IsRunning() const { return running_.load(); }
    const std::string& Error() const { return error_; }

    void SetPacing(Pacing pacing) { pacing_.store(pacing); }

private:
    void Serve();

    SimulatedRadio& radio_;
    std::atomic<Pacing> pacing_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> running_{false};
    std::thread thread_;
    int master_ = -1;
    int slave_ = -1;
    std::string devicePath_;
    std::string error_;
};
