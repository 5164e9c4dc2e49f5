// Faults the simulated radio puts on the line, seen at its byte-stream side.
#include <gtest/gtest.h>

#include <vector>

#include "link/Framing.h"
#include "sim/SimulatedRadio.h"

namespace {

std::vector<uint8_t> Frame(const std::vector<uint8_t>& packet) {
    std::vector<uint8_t> f(MAX_FRAME);
    f.resize(EncodeFrame(packet.data(), packet.size(), f.data(), f.size()));
    return f;
}

struct Line {
    std::vector<SimulatedRadio::Write> writes;
    std::vector<uint8_t> All() const {
        std::vector<uint8_t> all;
        for (const auto& w : writes)
            all.insert(all.end(), w.bytes.begin(), w.bytes.end());
        return all;
    }
    // The frames on the line, decoded; invalid ones come back empty.
    std::vector<std::vector<uint8_t>> Packets() const {
        FrameCollector c;
        std::vector<std::vector<uint8_t>> packets;
        for (uint8_t b : All())
            if (c.Push(b) == FrameCollector::Result::Complete) {
                uint8_t p[MAX_PACKET];
                size_t n = 0;
                const bool ok = DecodeFrameBody(c.Body(), c.BodyLength(), p, sizeof p, n);
                packets.push_back(ok ? std::vector<uint8_t>(p, p + n) : std::vector<uint8_t>());
            }
        return packets;
    }
};

Line Send(SimulatedRadio& radio, const std::vector<uint8_t>& request) {
    Line line;
    const auto frame = Frame(request);
    radio.Receive(frame.data(), frame.size(), line.writes);
    return line;
}

const std::vector<uint8_t> INFO0 = {0x01, 0x00};
const std::vector<uint8_t> READ0 = {0x02, 0x00, 0x00, 0x00};

} // namespace

TEST(RadioFaults, EchoComesBeforeTheReply) {
    SimulatedRadio radio;
    RadioFaults f;
    f.echo = true;
    radio.SetFaults(f);
    const auto packets = Send(radio, INFO0).Packets();
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_EQ(packets[0], INFO0);
    EXPECT_EQ(packets[1].size(), 124u);
}

TEST(RadioFaults, CountedFaultsHitOnlyTheChosenRequestsAfterTheSkippedOnes) {
    SimulatedRadio radio;
    RadioFaults f;
    f.only = RadioFaults::Only::Read;
    f.skipReplies = 1;
    f.errorReplies = 1;
    f.errorCode = 4;
    radio.SetFaults(f);
    EXPECT_EQ(Send(radio, INFO0).Packets().at(0).size(), 124u) << "not a read";
    EXPECT_EQ(Send(radio, READ0).Packets().at(0).size(), 516u) << "skipped";
    EXPECT_EQ(Send(radio, READ0).Packets().at(0), (std::vector<uint8_t>{0xFF, 0x02, 0x04}));
    EXPECT_EQ(Send(radio, READ0).Packets().at(0).size(), 516u) << "used up";
}

TEST(RadioFaults, EachCountedFaultSpoilsOneReply) {
    const struct {
        const char* name;
        RadioFaults faults;
        size_t frames;
        bool valid;
    } cases[] = {
        {"drop",
         [] {
             RadioFaults f;
             f.dropReplies = 1;
             return f;
         }(),
         0, false},
        {"corrupt",
         [] {
             RadioFaults f;
             f.corruptFcs = 1;
             return f;
         }(),
         1, false},
        {"dead",
         [] {
             RadioFaults f;
             f.dead = true;
             return f;
         }(),
         0, false},
    };
    for (const auto& c : cases) {
        SimulatedRadio radio;
        radio.SetFaults(c.faults);
        const auto packets = Send(radio, READ0).Packets();
        ASSERT_EQ(packets.size(), c.frames) << c.name;
        if (c.frames) {
            EXPECT_EQ(!packets[0].empty(), c.valid) << c.name;
        }
        if (!c.faults.dead) {
            EXPECT_EQ(Send(radio, READ0).Packets().at(0).size(), 516u) << c.name << ": used up";
        }
    }
}

TEST(RadioFaults, WrongAddressNamesTheNextBlock) {
    SimulatedRadio radio;
    RadioFaults f;
    f.wrongAddress = 2;
    radio.SetFaults(f);
    EXPECT_EQ(Send(radio, READ0).Packets().at(0).at(2), 1);
    EXPECT_EQ(Send(radio, INFO0).Packets().at(0).at(1), 1);
}

TEST(RadioFaults, NoiseSplitAndTruncationShapeTheBytes) {
    SimulatedRadio radio;
    RadioFaults f;
    f.noiseBytes = 300;
    f.splitParts = 3;
    f.splitPauseMs = 70;
    f.truncateFrames = 1;
    radio.SetFaults(f);
    const Line line = Send(radio, INFO0);
    ASSERT_EQ(line.writes.size(), 3u);
    EXPECT_EQ(line.writes[0].pauseMs, 0);
    EXPECT_EQ(line.writes[1].pauseMs, 70);
    const auto all = line.All();
    for (size_t i = 0; i < 300; ++i)
        ASSERT_NE(all[i], FRAME_START) << "noise holds no start flag";
    const auto packets = line.Packets();
    ASSERT_EQ(packets.size(), 1u) << "the cut frame is abandoned at the next start flag";
    EXPECT_EQ(packets[0].size(), 124u);
}

TEST(RadioFaults, BrokenRequestFramesGetNoAnswer) {
    SimulatedRadio radio;
    auto frame = Frame(INFO0);
    frame[1] ^= 0x40;
    Line line;
    radio.Receive(frame.data(), frame.size(), line.writes);
    EXPECT_TRUE(line.writes.empty());
    EXPECT_EQ(radio.Stats().badFrames, 1u);
    EXPECT_EQ(radio.Stats().requests, 0u);
}
