#pragma once

#include <atomic>

#include "cli/TerminalOutput.h"
#include "operations/CallQueue.h"
#include "operations/OperationDriver.h"

class ChannelsContext;
class SettingsContext;
class TInfoContext;

// Hosts one radio operation in a terminal: the driver's worker notifications go through a
// call queue that Run drains on the calling thread, the log goes to the terminal.
class RadioSession {
public:
    // exchanges: a line per exchange on the error stream (--verbose); traffic: also every
    // frame sent and every run of bytes received, in hex with a time stamp (--trace).
    RadioSession(ChannelsContext& channels, SettingsContext& settings, TInfoContext& info,
                 TerminalOutput& output, bool exchanges = false, bool traffic = false);

    // Runs identify, read or write on COM port number until the driver is done. When cancel
    // becomes true the operation is closed as a user closing the window would (the worker
    // stops, the port closes).
    OperationOutcome Run(int32_t mode, int port, const std::atomic<bool>* cancel);

    const OperationDriver& driver() const { return driver_; }
    OperationDriver& driver() { return driver_; }

private:
    CallQueue queue_; // outlives the driver: the worker posts into it
    TerminalOutput& output_;
    OperationDriver driver_;
};
