// Frame receiver and decoder of the radio link fed with arbitrary line bytes.
//
// Input: byte 0 chooses the capacity of the decode buffer (small capacities exercise the
// overflow path), byte 1 how often each stream byte is repeated (so that bodies longer than
// the receiver holds are reached), the rest is the byte stream as it comes from the serial
// port. Every buffer is allocated at its exact capacity so that any write beyond it is
// caught.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzCheck.h"
#include "link/Framing.h"

namespace {

// Decodes a complete body into a buffer of exactly cap bytes; on success the packet is
// framed again and must come back the same through a fresh receiver.
void CheckBody(const uint8_t* body, size_t bodyLength, size_t cap) {
    std::vector<uint8_t> packet(cap);
    size_t length = 12345;
    const bool good = DecodeFrameBody(body, bodyLength, packet.data(), cap, length);
    FUZZ_CHECK(length <= cap);
    if (!good)
        return;
    FUZZ_CHECK(length + 2 <= cap);
    // The two bytes behind the packet are its FCS, low byte first.
    const uint16_t fcs = Fcs16(packet.data(), length);
    FUZZ_CHECK(packet[length] == (fcs & 0xFF) && packet[length + 1] == (fcs >> 8));
    FUZZ_CHECK(FcsUpdate(FCS_INIT, packet.data(), length + 2) == FCS_GOOD);

    // Exactly the capacity the frame needs, and one byte less.
    const size_t worst = 2 * (length + 2) + 2;
    std::vector<uint8_t> frame(worst);
    const size_t frameLength = EncodeFrame(packet.data(), length, frame.data(), frame.size());
    FUZZ_CHECK(frameLength >= length + 4 && frameLength <= worst);
    std::vector<uint8_t> tight(frameLength - 1);
    FUZZ_CHECK(EncodeFrame(packet.data(), length, tight.data(), tight.size()) == 0);

    FrameCollector collector;
    FrameCollector::Result result = FrameCollector::Result::NeedMore;
    for (size_t i = 0; i < frameLength; ++i) {
        result = collector.Push(frame[i]);
        FUZZ_CHECK(i + 1 == frameLength || result == FrameCollector::Result::NeedMore);
    }
    FUZZ_CHECK(result == FrameCollector::Result::Complete);
    FUZZ_CHECK(collector.BodyLength() == frameLength - 2);
    std::vector<uint8_t> again(length + 2);
    size_t againLength = 0;
    FUZZ_CHECK(DecodeFrameBody(collector.Body(), collector.BodyLength(), again.data(), again.size(),
                               againLength));
    FUZZ_CHECK(againLength == length && std::memcmp(again.data(), packet.data(), length) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    // Capacities 0..63 and the link's own MAX_PACKET.
    const size_t cap = data[0] < 0xC0 ? MAX_PACKET : data[0] & 0x3F;
    // Each byte once, or 1..64 times.
    const size_t repeat = data[1] < 0xC0 ? 1 : (data[1] & 0x3F) + 1u;
    data += 2;
    size -= 2;

    // The whole input as one body.
    CheckBody(data, size, cap);

    // The input as a stream through the receiver.
    FrameCollector collector;
    for (size_t i = 0; i < size * repeat; ++i) {
        const FrameCollector::Result result = collector.Push(data[i / repeat]);
        FUZZ_CHECK(collector.BodyLength() <= MAX_FRAME);
        if (result == FrameCollector::Result::Complete) {
            FUZZ_CHECK(collector.WaitingForStart() && !collector.InsideFrame());
            CheckBody(collector.Body(), collector.BodyLength(), cap);
        } else if (result == FrameCollector::Result::Overflow) {
            FUZZ_CHECK(collector.WaitingForStart());
        }
    }
    return 0;
}
