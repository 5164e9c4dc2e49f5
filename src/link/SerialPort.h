// The serial device behind one COM port: opened exclusively, raw 8 data bits, no parity,
// no flow control, DTR and RTS on, reads that return at once with what has arrived.
// POSIX termios on Linux (pseudo-terminals included); the Win32 communications API on
// Windows.
//
// Exclusive use on Linux: an advisory lock (flock) on the device binds every user, root
// included, and the kernel drops it when the process dies. Real serial devices are also
// put into the terminal's exclusive mode (TIOCEXCL) against programs that take no lock;
// pseudo-terminals are not, since their exclusive mode outlives a killed process while
// the other end stays open and would shut out every later ordinary user.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "link/PortOpenFailure.h"

class SerialPort {
public:
    SerialPort();
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens the device for exclusive use and configures it at the given speed. On failure
    // LastOpenError() says why, in words a technician can act on. Fails when already open.
    bool Open(const std::string& device, uint32_t baud = 9600);
    void Close();
    bool IsOpen() const;

    // The speed of the applied port state.
    uint32_t Speed() const { return speed_; }
    // Applies the port state again with another speed.
    bool SetSpeed(uint32_t baud);

    // Reads up to cap bytes of what has arrived, without waiting. Returns the number of
    // bytes (0 when nothing is there) or -1 on a read error.
    long Read(uint8_t* buffer, size_t cap);
    // Waits at most timeoutMs for received data. True when data is ready to read (or the
    // read would report an error); false after the time-out.
    bool WaitReadable(int timeoutMs);
    // Writes the bytes in one call (waiting for the driver to take them all). Returns the
    // number written or -1.
    long Write(const uint8_t* data, size_t n);
    // Waits until the bytes written have left the line (POSIX tcdrain). On Windows it
    // returns at once: the caller counts the line time of what it wrote instead.
    bool Drain();
    // Reads and discards what arrives until the line has been quiet for quietMs (at most
    // limitMs in all), then empties the receive buffer.
    void DiscardUntilQuiet(int quietMs, int limitMs);

    const std::string& Device() const { return device_; }
    // Why the last Open failed; empty after a successful Open.
    const std::string& LastOpenError() const { return lastOpenError_; }
    // The same, for a program to act on; failure None after a successful Open.
    const PortOpenReason& LastOpenFailure() const { return lastOpenFailure_; }

private:
    bool ApplySpeed(uint32_t baud);
    void FlushInput();

#ifdef _WIN32
    void* handle_ = nullptr;
    void* guard_ = nullptr;             // named mutex marking the port as taken by this program
    alignas(8) unsigned char dcb_[128]; // the DCB applied to the port
#else
    int fd_ = -1;
#endif
    uint32_t speed_ = 0;
    std::string device_;
    std::string lastOpenError_;
    PortOpenReason lastOpenFailure_;
};
