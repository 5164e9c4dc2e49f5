#include "link/Framing.h"

#include <array>

namespace {

constexpr std::array<uint16_t, 256> MakeFcsTable() {
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        uint16_t reg = static_cast<uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg & 1) ? static_cast<uint16_t>((reg >> 1) ^ 0x8408)
                            : static_cast<uint16_t>(reg >> 1);
        table[i] = reg;
    }
    return table;
}

constexpr std::array<uint16_t, 256> FCS_TABLE = MakeFcsTable();

} // namespace

uint16_t FcsUpdate(uint16_t reg, const uint8_t* data, size_t n) {
    for (size_t i = 0; i < n; ++i)
        reg = static_cast<uint16_t>(FCS_TABLE[(reg ^ data[i]) & 0xFF] ^ (reg >> 8));
    return reg;
}

uint16_t Fcs16(const uint8_t* data, size_t n) {
    return static_cast<uint16_t>(~FcsUpdate(FCS_INIT, data, n));
}

size_t EncodeFrame(const uint8_t* packet, size_t len, uint8_t* out, size_t cap) {
    const uint16_t fcs = Fcs16(packet, len);
    const uint8_t tail[2] = {static_cast<uint8_t>(fcs & 0xFF), static_cast<uint8_t>(fcs >> 8)};
    size_t n = 0;
    auto put = [&](uint8_t b) {
        if (NeedsEscape(b)) {
            if (n + 2 > cap)
                return false;
            out[n++] = FRAME_ESCAPE;
            out[n++] = static_cast<uint8_t>(b ^ ESCAPE_XOR);
        } else {
            if (n + 1 > cap)
                return false;
            out[n++] = b;
        }
        return true;
    };
    if (cap < 1)
        return 0;
    out[n++] = FRAME_START;
    for (size_t i = 0; i < len; ++i)
        if (!put(packet[i]))
            return 0;
    if (!put(tail[0]) || !put(tail[1]) || n + 1 > cap)
        return 0;
    out[n++] = FRAME_END;
    return n;
}

bool DecodeFrameBody(const uint8_t* body, size_t bodyLen, uint8_t* out, size_t cap,
                     size_t& outLen) {
    outLen = 0;
    for (size_t i = 0; i < bodyLen; ++i) {
        uint8_t b = body[i];
        if (b == FRAME_ESCAPE) {
            if (i + 1 >= bodyLen)
                return false;
            b = static_cast<uint8_t>(body[++i] ^ ESCAPE_XOR);
            if (!NeedsEscape(b))
                return false;
        }
        if (outLen >= cap)
            return false;
        out[outLen++] = b;
    }
    if (outLen < 4)
        return false;
    const uint16_t reg = FcsUpdate(FCS_INIT, out, outLen);
    outLen -= 2;
    return reg == FCS_GOOD;
}

void BuildLinkSpeedPacket(uint32_t baud, uint8_t packet[8]) {
    packet[0] = 0xD0;
    packet[1] = 0x10;
    packet[2] = 0x00;
    packet[3] = 0x00;
    for (int i = 0; i < 4; ++i)
        packet[4 + i] = static_cast<uint8_t>(baud >> (8 * i));
}

FrameCollector::Result FrameCollector::Push(uint8_t b) {
    if (complete_) {
        complete_ = false;
        length_ = 0;
    }
    if (waitingForStart_) {
        if (b == FRAME_START) {
            waitingForStart_ = false;
            insideFrame_ = true;
            length_ = 0;
        }
        return Result::NeedMore;
    }
    // inside a frame
    if (b == FRAME_END) {
        insideFrame_ = false;
        waitingForStart_ = true;
        complete_ = true;
        return Result::Complete;
    }
    if (b == FRAME_START) {
        // The previous frame was cut short: this flag opens a new one.
        ++resyncs_;
        length_ = 0;
        return Result::NeedMore;
    }
    if (length_ >= MAX_FRAME) {
        Reset();
        return Result::Overflow;
    }
    body_[length_++] = b;
    return Result::NeedMore;
}

void FrameCollector::Reset() {
    length_ = 0;
    waitingForStart_ = true;
    insideFrame_ = false;
    complete_ = false;
}
