#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class SerialPort;

// The two link-speed frames of the wave-network hand-over: the radio's port to 115200 Bd for
// the tool (sent at 9600 Bd), and back to 9600 Bd for this program (sent at 115200 Bd).
inline constexpr std::array<uint8_t, 12> WAVENET_FRAME_TO_115200 = {
    0xC0, 0xD0, 0x10, 0x00, 0x00, 0x00, 0xC2, 0x01, 0x00, 0x2B, 0x65, 0xC1};
inline constexpr std::array<uint8_t, 12> WAVENET_FRAME_TO_9600 = {
    0xC0, 0xD0, 0x10, 0x00, 0x00, 0x80, 0x25, 0x00, 0x00, 0x39, 0xD4, 0xC1};

// File name of the wave-network programming tool in the program's own directory.
#ifdef _WIN32
inline constexpr const char* LINK_TOOL_FILE_NAME = "Quorlink.exe";
#else
inline constexpr const char* LINK_TOOL_FILE_NAME = "Quorlink";
#endif

// Hands the radio over to the external wave-network tool and back: switch the radio's link to
// 115200 Bd, run the tool from the program's own directory and wait for it, switch the link
// back to 9600 Bd. Blocks the calling thread throughout.
class WaveNetHandOver {
public:
    WaveNetHandOver();
    ~WaveNetHandOver();
    WaveNetHandOver(const WaveNetHandOver&) = delete;
    WaveNetHandOver& operator=(const WaveNetHandOver&) = delete;

    // Both stages for COM port `port`; a port outside 1..255 does nothing.
    void Execute(int port);

    // Opens COM port `port` (1..255) at `baud` for the hand-over frames. False when the number
    // is out of range or the port cannot be opened or configured.
    bool OpenToolPort(int port, uint32_t baud);
    // Writes the bytes in one write; the result is not examined.
    void WriteToolPort(const uint8_t* bytes, size_t count);
    void CloseToolPort();
    bool ToolPortOpen() const;

    // Runs the tool from toolDirectory and waits for it to end. Never searches the path or
    // the current directory. A missing or unstartable tool is reported on standard error and
    // gives false.
    bool RunLinkTool();

    // The directory the tool is started from: the program's own by default.
    std::string toolDirectory;
    // Pause after each frame so the radio can switch before the port closes (milliseconds).
    int settleMs = 1000;

private:
    std::unique_ptr<SerialPort> toolPort_;
};
