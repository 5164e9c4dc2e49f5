#pragma once

#include <cstdint>
#include <memory>
#include <string>

// A simulated radio served on a pseudo-terminal that stands behind a COM number, for tests
// that drive the real windows. Keeps the simulator's own headers out of the test files.
class SimulatedRadioPort {
public:
    struct Options {
        std::string programmerId = "ZVP01";
        uint16_t channels2Version = 0x0200; // 0: no channel table 100-199
        uint16_t settingsVersion = 0x0103;
        bool lineSpeed = false; // pace replies like a 9600 Bd line
        int errorReplies = 0;   // answer this many information requests with an error
        int errorCode = 3;
        // Receive and transmit range 1 in hertz (whole 12.5 kHz steps above 33 MHz); 0 keeps
        // the radio's default 33..48.5 MHz.
        uint32_t rangeBegin = 0;
        uint32_t rangeEnd = 0;
    };

    SimulatedRadioPort();
    explicit SimulatedRadioPort(const Options& options);
    ~SimulatedRadioPort();

    // Starts serving and makes a free COM number reach the radio. False with Error().
    bool Start();
    int ComNumber() const { return com_; }
    const std::string& Error() const { return error_; }

    // Channel-table and settings images the radio accepted from a write.
    unsigned TablesWritten() const;
    unsigned ReadRequests() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    int com_ = 0;
    std::string error_;
};
