// The worker's frame receiver on a real pseudo-terminal, fed by hand.
#include <chrono>

#include "link/RawPty.h"

namespace {
std::vector<uint8_t> In(const ComThread& w) {
    return std::vector<uint8_t>(w.InPacket(), w.InPacket() + w.InLength());
}
} // namespace

class Receiver : public RawPtyLink {};

TEST_F(Receiver, NoiseIsDiscardedAndBytesAfterTheEndFlagBeginTheNextReceive) {
    std::vector<uint8_t> line = {0x00, 0x55, 0xC1, 0x7D, 0xFF};
    const auto a = Frame({0x03, 0x00, 0x01, 0x00});
    const auto b = Frame({0x03, 0x00, 0x02, 0x00});
    line.insert(line.end(), a.begin(), a.end());
    line.insert(line.end(), b.begin(), b.end());
    Send(line);

    ASSERT_TRUE(worker.ReceiveFrame());
    EXPECT_TRUE(worker.DecodeFrame());
    EXPECT_EQ(In(worker), (std::vector<uint8_t>{0x03, 0x00, 0x01, 0x00}));
    ASSERT_TRUE(worker.ReceiveFrame()) << "the second frame came in the same read";
    EXPECT_TRUE(worker.DecodeFrame());
    EXPECT_EQ(In(worker), (std::vector<uint8_t>{0x03, 0x00, 0x02, 0x00}));
}

TEST_F(Receiver, FrameSplitOverSeveralReadsWithPausesIsReceivedWhole) {
    std::vector<uint8_t> packet = {0x02, 0x00, 0x00, 0x00};
    packet.resize(300, 0xC0); // plenty of escapes, so pieces end inside escape pairs too
    const auto frame = Frame(packet);
    std::thread writer([&] {
        for (size_t at = 0; at < frame.size(); at += 97) {
            const size_t n = std::min<size_t>(97, frame.size() - at);
            ::write(master, frame.data() + at, n);
            // A pause well inside the one-second silence the receiver allows.
            std::this_thread::sleep_for(std::chrono::milliseconds(120));
        }
    });
    const bool received = worker.ReceiveFrame();
    writer.join();
    ASSERT_TRUE(received);
    EXPECT_TRUE(worker.DecodeFrame());
    EXPECT_EQ(In(worker), packet);
}

TEST_F(Receiver, EchoOfTheRequestIsSkipped) {
    const std::vector<uint8_t> request = {0x01, 0x00};
    std::copy(request.begin(), request.end(), worker.OutPacket());
    worker.SetOutLength(2);
    Send(Frame(request));
    Reply({0xFF, 0x01, 0x02});
    ASSERT_TRUE(worker.ReceiveReply());
    EXPECT_TRUE(worker.DecodeFrame());
    EXPECT_EQ(In(worker), (std::vector<uint8_t>{0xFF, 0x01, 0x02}));

    // A frame that differs in one byte from the request is the reply itself.
    Reply({0x01, 0x01});
    ASSERT_TRUE(worker.ReceiveReply());
    EXPECT_EQ(In(worker), (std::vector<uint8_t>{0x01, 0x01}));
}

// A start flag in the middle of a frame means the frame was cut short: the receiver
// takes it as the start of a new frame instead of failing every later receive.
TEST_F(Receiver, ResynchronisesOnAStartFlagInsideAFrame) {
    auto cut = Frame({0x02, 0x00, 0x00, 0x00, 0x11, 0x22});
    cut.resize(4);
    const auto whole = Frame({0x03, 0x00, 0x05, 0x00});
    cut.insert(cut.end(), whole.begin(), whole.end());
    Send(cut);
    ASSERT_TRUE(worker.ReceiveFrame());
    EXPECT_TRUE(worker.DecodeFrame());
    EXPECT_EQ(In(worker), (std::vector<uint8_t>{0x03, 0x00, 0x05, 0x00}));

    Reply({0x03, 0x00, 0x06, 0x00});
    ASSERT_TRUE(worker.ReceiveFrame());
    EXPECT_TRUE(worker.DecodeFrame());
    EXPECT_EQ(In(worker).at(2), 0x06);
}

TEST_F(Receiver, OverlongFrameFailsOnceAndTheNextFrameIsReceived) {
    std::vector<uint8_t> line = {FRAME_START};
    line.resize(1 + MAX_FRAME + 50, 0x42);
    line.push_back(FRAME_END);
    const auto next = Frame({0x03, 0x00, 0x07, 0x00});
    line.insert(line.end(), next.begin(), next.end());
    std::thread writer([&] { ::write(master, line.data(), line.size()); });
    const bool first = worker.ReceiveFrame();
    const bool second = worker.ReceiveFrame();
    writer.join();
    EXPECT_FALSE(first);
    ASSERT_TRUE(second);
    EXPECT_TRUE(worker.DecodeFrame());
    EXPECT_EQ(In(worker).at(2), 0x07);
}

TEST_F(Receiver, SilenceEndsTheWaitAfterAboutOneSecond) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(worker.ReceiveFrame());
    const auto took = std::chrono::steady_clock::now() - start;
    // 21 reads with 20 pauses of 50 ms between them; the upper bound leaves room for a
    // loaded machine and still catches a wait that is not bounded by the silence rule.
    EXPECT_GE(took, std::chrono::milliseconds(1000));
    EXPECT_LT(took, std::chrono::milliseconds(4000));
}
