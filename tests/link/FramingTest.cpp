#include "link/Framing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Encode(const std::vector<uint8_t>& packet) {
    std::vector<uint8_t> out(MAX_FRAME);
    out.resize(EncodeFrame(packet.data(), packet.size(), out.data(), out.size()));
    return out;
}

// Decodes a whole frame (flags included) as the receiver would.
bool Decode(const std::vector<uint8_t>& frame, std::vector<uint8_t>& packet) {
    packet.assign(MAX_PACKET, 0);
    size_t n = 0;
    const bool ok =
        DecodeFrameBody(frame.data() + 1, frame.size() - 2, packet.data(), packet.size(), n);
    packet.resize(n);
    return ok;
}

} // namespace

TEST(Fcs16, CheckValueAndGoodResidue) {
    const std::string check = "123456789";
    const auto* data = reinterpret_cast<const uint8_t*>(check.data());
    EXPECT_EQ(Fcs16(data, check.size()), 0x906E);

    std::vector<uint8_t> withFcs(check.begin(), check.end());
    withFcs.push_back(0x6E);
    withFcs.push_back(0x90);
    EXPECT_EQ(FcsUpdate(FCS_INIT, withFcs.data(), withFcs.size()), FCS_GOOD);
}

TEST(EncodeFrame, KnownFrames) {
    const struct {
        std::vector<uint8_t> packet, frame;
    } cases[] = {
        {{0xD0, 0x10, 0x00, 0x00, 0x00, 0xC2, 0x01, 0x00},
         {0xC0, 0xD0, 0x10, 0x00, 0x00, 0x00, 0xC2, 0x01, 0x00, 0x2B, 0x65, 0xC1}},
        {{0xD0, 0x10, 0x00, 0x00, 0x80, 0x25, 0x00, 0x00},
         {0xC0, 0xD0, 0x10, 0x00, 0x00, 0x80, 0x25, 0x00, 0x00, 0x39, 0xD4, 0xC1}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Encode(c.packet), c.frame);

    uint8_t speed[8];
    BuildLinkSpeedPacket(115200, speed);
    EXPECT_EQ(std::vector<uint8_t>(speed, speed + 8), cases[0].packet);
    BuildLinkSpeedPacket(9600, speed);
    EXPECT_EQ(std::vector<uint8_t>(speed, speed + 8), cases[1].packet);
}

TEST(EncodeFrame, EscapesFlagAndEscapeBytesOnlyAndRoundTrips) {
    const std::vector<uint8_t> packet = {0x7D, 0xC0, 0xC1, 0x7E, 0x00, 0x11, 0x13, 0xFF};
    const auto frame = Encode(packet);
    const std::vector<uint8_t> body(frame.begin() + 1, frame.begin() + 1 + 11);
    EXPECT_EQ(body, (std::vector<uint8_t>{0x7D, 0x5D, 0x7D, 0xE0, 0x7D, 0xE1, 0x7E, 0x00, 0x11,
                                          0x13, 0xFF}));
    std::vector<uint8_t> decoded;
    EXPECT_TRUE(Decode(frame, decoded));
    EXPECT_EQ(decoded, packet);

    // Hunt for packets whose FCS bytes need escaping themselves; each must round-trip.
    int escapedFcs = 0;
    for (int a = 0; a < 256 && escapedFcs < 8; ++a) {
        const std::vector<uint8_t> p = {0x02, 0x00, static_cast<uint8_t>(a), 0x00};
        const uint16_t fcs = Fcs16(p.data(), p.size());
        if (!NeedsEscape(fcs & 0xFF) && !NeedsEscape(fcs >> 8))
            continue;
        ++escapedFcs;
        const auto f = Encode(p);
        for (size_t i = 1; i + 1 < f.size(); ++i)
            EXPECT_FALSE(f[i] == FRAME_START || f[i] == FRAME_END) << a;
        EXPECT_TRUE(Decode(f, decoded)) << a;
        EXPECT_EQ(decoded, p) << a;
    }
    EXPECT_GT(escapedFcs, 0);
}

TEST(EncodeFrame, RefusesAFrameThatDoesNotFit) {
    const std::vector<uint8_t> packet(10, 0xC0); // 10 escaped bytes: 24-byte frame
    std::vector<uint8_t> out(23);
    EXPECT_EQ(EncodeFrame(packet.data(), packet.size(), out.data(), out.size()), 0u);
    out.resize(26);
    EXPECT_GE(EncodeFrame(packet.data(), packet.size(), out.data(), out.size()), 24u);
}

TEST(DecodeFrameBody, RefusesBrokenBodies) {
    const auto good = Encode({0x01, 0x00});
    const struct {
        const char* name;
        std::vector<uint8_t> body;
    } cases[] = {
        {"escape as last byte", {0x01, 0x00, 0x7D}},
        {"escape of an ordinary byte", {0x01, 0x7D, 0x41, 0x00, 0x00}},
        {"one data byte", {0x01}},
        {"three data bytes", {0x01, 0x00, 0x00}},
        {"wrong FCS", {0x01, 0x00, good[3], static_cast<uint8_t>(good[4] ^ 1)}},
    };
    for (const auto& c : cases) {
        uint8_t out[MAX_PACKET];
        size_t n = 99;
        EXPECT_FALSE(DecodeFrameBody(c.body.data(), c.body.size(), out, sizeof out, n)) << c.name;
    }
    uint8_t out[MAX_PACKET];
    size_t n = 0;
    ASSERT_TRUE(DecodeFrameBody(good.data() + 1, good.size() - 2, out, sizeof out, n));
    EXPECT_EQ(n, 2u);
}

TEST(DecodeFrameBody, RefusesAPacketBeyondCapacity) {
    std::vector<uint8_t> packet(40, 0x33);
    const auto frame = Encode(packet);
    uint8_t out[41];
    size_t n = 0;
    EXPECT_FALSE(DecodeFrameBody(frame.data() + 1, frame.size() - 2, out, sizeof out, n));
    EXPECT_EQ(n, sizeof out);
}

TEST(FrameCollector, DiscardsNoiseAndRestartsOnAStartFlagInsideABody) {
    FrameCollector c;
    auto feed = [&](const std::vector<uint8_t>& bytes) {
        std::vector<std::vector<uint8_t>> bodies;
        for (uint8_t b : bytes)
            if (c.Push(b) == FrameCollector::Result::Complete)
                bodies.emplace_back(c.Body(), c.Body() + c.BodyLength());
        return bodies;
    };
    // Noise (including end flags and escapes) before the start, then a frame cut short
    // by the start of the next one.
    const auto bodies =
        feed({0x11, 0xC1, 0x7D, 0xC0, 0xAA, 0xBB, 0xC0, 0x01, 0x02, 0xC1, 0x55, 0xC0, 0x03, 0xC1});
    ASSERT_EQ(bodies.size(), 2u);
    EXPECT_EQ(bodies[0], (std::vector<uint8_t>{0x01, 0x02}));
    EXPECT_EQ(bodies[1], (std::vector<uint8_t>{0x03}));
    EXPECT_EQ(c.Resyncs(), 1u);
}

TEST(FrameCollector, OverflowDropsTheBodyAndWaitsForTheNextFrame) {
    FrameCollector c;
    c.Push(FRAME_START);
    FrameCollector::Result r = FrameCollector::Result::NeedMore;
    size_t pushed = 0;
    while (r == FrameCollector::Result::NeedMore && pushed < MAX_FRAME + 10) {
        r = c.Push(0x42);
        ++pushed;
    }
    EXPECT_EQ(r, FrameCollector::Result::Overflow);
    EXPECT_EQ(pushed, MAX_FRAME + 1);
    EXPECT_TRUE(c.WaitingForStart());
    EXPECT_EQ(c.Push(0xC1), FrameCollector::Result::NeedMore) << "tail of the long frame";
    c.Push(FRAME_START);
    c.Push(0x07);
    EXPECT_EQ(c.Push(FRAME_END), FrameCollector::Result::Complete);
    EXPECT_EQ(c.BodyLength(), 1u);
}
