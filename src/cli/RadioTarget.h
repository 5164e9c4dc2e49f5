#pragma once

#include <memory>
#include <string>

class SimulatedRadio;
class PtyRadio;

// The COM port number a radio command talks to: the port asked for, a device path put
// behind a free port number, or a simulated radio served on a pseudo-terminal.
class RadioTarget {
public:
    RadioTarget();
    ~RadioTarget(); // removes the device override, stops the simulated radio, keeps its state

    // Exactly one of port (1..255), device (non-empty) or simulate. simState, with simulate:
    // a file holding the simulated radio's memory, loaded when it exists and saved by
    // Finish. False with error set when the target cannot be set up.
    bool Setup(int port, const std::string& device, bool simulate, const std::string& simState,
               std::string& error);

    // Saves the simulated radio's memory when a state file was given; false with error set
    // when it cannot.
    bool Finish(std::string& error);

    int port() const { return port_; }
    // The last failure was the simulated radio's state file.
    bool stateFileFailed() const { return stateFileFailed_; }

private:
    int port_ = 0;
    int overrideNumber_ = 0;
    bool stateFileFailed_ = false;
    std::string simState_;
    std::unique_ptr<SimulatedRadio> radio_;
    std::unique_ptr<PtyRadio> pty_;
};
