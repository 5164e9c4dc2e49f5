// Frames on the serial line: 0xC0, escaped packet, escaped FCS (low byte first), 0xC1.
// The frame check sequence is the 16-bit HDLC FCS (reflected polynomial 0x8408, initial
// value 0xFFFF, complemented). Bytes 0x7D, 0xC0 and 0xC1 of packet and FCS travel as 0x7D
// followed by the byte XOR 0x20.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr uint8_t FRAME_START = 0xC0;
inline constexpr uint8_t FRAME_END = 0xC1;
inline constexpr uint8_t FRAME_ESCAPE = 0x7D;
inline constexpr uint8_t ESCAPE_XOR = 0x20;

inline constexpr uint16_t FCS_INIT = 0xFFFF;
// Register value after running over a packet followed by its own two FCS bytes.
inline constexpr uint16_t FCS_GOOD = 0xF0B8;

inline constexpr size_t MAX_PACKET = 4096; // decoded packet, FCS included
inline constexpr size_t MAX_FRAME = 8192;  // escaped frame or frame body

// Runs the FCS register over n bytes (no final complement).
uint16_t FcsUpdate(uint16_t reg, const uint8_t* data, size_t n);

// The FCS of n bytes as sent on the line: the complemented register.
uint16_t Fcs16(const uint8_t* data, size_t n);

// True for the bytes that must be escaped inside a frame.
constexpr bool NeedsEscape(uint8_t b) {
    return b == FRAME_ESCAPE || b == FRAME_START || b == FRAME_END;
}

// Builds the frame of a packet into out (capacity cap). Returns the frame length, or 0 when
// the frame would not fit. The packet itself is not modified.
size_t EncodeFrame(const uint8_t* packet, size_t len, uint8_t* out, size_t cap);

// Unescapes a frame body (the bytes between the flags) into out (capacity cap) and checks
// the FCS. On return outLen holds the packet length without the FCS when the body decoded
// to at least 4 bytes, otherwise the number of bytes decoded so far. Returns true only for
// a well-formed body whose FCS is correct.
bool DecodeFrameBody(const uint8_t* body, size_t bodyLen, uint8_t* out, size_t cap, size_t& outLen);

// Builds the 8-byte link-speed request D0 10 00 00 <baud, 32-bit LE> into packet.
void BuildLinkSpeedPacket(uint32_t baud, uint8_t packet[8]);

// Collects frame bodies from a byte stream, one byte at a time. Bytes before a start flag
// are discarded. A start flag inside a body abandons the partial body and begins a new
// frame there; a body longer than MAX_FRAME is dropped and the collector waits for the next
// start flag.
class FrameCollector {
public:
    enum class Result { NeedMore, Complete, Overflow };

    Result Push(uint8_t b);
    void Reset();

    const uint8_t* Body() const { return body_; }
    size_t BodyLength() const { return length_; }
    bool WaitingForStart() const { return waitingForStart_; }
    bool InsideFrame() const { return insideFrame_; }
    // Partial bodies abandoned because a start flag arrived inside them.
    unsigned Resyncs() const { return resyncs_; }

private:
    uint8_t body_[MAX_FRAME];
    size_t length_ = 0;
    bool waitingForStart_ = true;
    bool insideFrame_ = false;
    bool complete_ = false;
    unsigned resyncs_ = 0;
};
