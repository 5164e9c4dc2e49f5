#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "operations/SimRadio.h"

#include "model/ChannelsContext.h"
#include "model/InfoContext.h"
#include "model/SettingsContext.h"
#include "operations/CallQueue.h"
#include "operations/LogSink.h"
#include "operations/OperationDriver.h"

// Log lines as UTF-8, for comparing with the texts in the tests.
class VectorLog : public LogSink {
public:
    void AppendLine(const std::string& line) override;
    void Clear() override { lines.clear(); }
    std::vector<std::string> lines;
};

// A simulated radio on a pseudo-terminal behind a COM number, the main window's model
// objects (range list holding the default set, current) and a driver hosted on the test's
// thread.
class DriverHarness {
public:
    explicit DriverHarness(const RadioIdentity& identity = RadioIdentity(),
                           Pacing pacing = Pacing::Instant);
    ~DriverHarness();

    // Runs an operation to its end (fails the test after 60 s without an end).
    OperationOutcome Run(int32_t mode);
    // Starts an operation and runs queued notifications until pred holds or the driver is
    // done; returns pred's value.
    bool RunUntil(int32_t mode, const std::function<bool()>& pred);
    // Runs whatever is still queued.
    void Drain();

    int port = 0;
    SimulatedRadio radio;
    PtyRadio pty;
    ChannelsContext channels;
    SettingsContext settings;
    TInfoContext info;
    VectorLog log;
    CallQueue queue;           // queued calls from the worker, run by the test's thread
    std::vector<int> percents; // every percent the progress bar was asked to draw
    std::unique_ptr<OperationDriver> driver;
    // Where this harness's backups go (removed with it). Backup and verify start off, so a
    // write is the plain one; tests of them switch them on.
    std::string backupRoot;
};

// "Порт COM<n> открыт." and "Порт COM<n> закрыт.".
std::string PortOpened(int port);
std::string PortClosed(int port);
