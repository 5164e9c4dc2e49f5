// When the worker gives up waiting for a reply: a slow radio, a device that is no radio,
// and an answer left over from an earlier session.
#include <array>
#include <thread>

#include "link/LinkFixture.h"
#include "link/RawPty.h"

namespace {
using Buffer = std::array<uint8_t, JOB_BUFFER_SIZE>;
using Clock = std::chrono::steady_clock;
} // namespace

class SlowOrStrangeRadio : public SimulatedLink {};

// A radio that writes flash memory answers half a second after a request has arrived; a
// 512-byte piece itself takes about 0.55 s on the line. The silence before the reply must
// count from the end of the request, or every write fails while reads work.
TEST_F(SlowOrStrangeRadio, RadioAnsweringHalfASecondAfterTheRequestIsWrittenAtRealPace) {
    pty.SetPacing(Pacing::Line9600);
    RadioFaults f;
    f.replyDelayMs = 500;
    radio.SetFaults(f);
    SimulatedRadio::Image image = EmptyChannelImage(0x0200);
    for (int i = 12; i < 2012; ++i)
        image[i] = static_cast<uint8_t>(i * 3);
    SealTableImage(image);
    EXPECT_EQ(Run({{OP_WRITE_TABLE, 0x0000, 2012, image.data()}}), 0);
    EXPECT_EQ(radio.Stats().writeRequests, 4u) << "each piece answered at the first attempt";
    EXPECT_EQ(radio.Stats().tablesWritten, 1u);
    EXPECT_EQ(radio.Table(0), image);

    Buffer back{};
    EXPECT_EQ(Run({{OP_READ_TABLE, 0x0000, 2012, back.data()}}), 0);
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 2012, back.begin()));
}

// A device that talks without end and never sends a frame (a GPS receiver) ends each
// attempt after a few seconds; the list ends with code 24 and the stray data is told.
TEST_F(SlowOrStrangeRadio, DeviceThatNeverStopsTalkingEndsTheListAsNoReply) {
    RadioFaults f;
    f.babble = true;
    radio.SetFaults(f);
    Buffer b{};
    const auto start = Clock::now();
    EXPECT_EQ(Run({{OP_REQUEST_INFO, 0, 122, b.data()}, {OP_REQUEST_INFO, 1, 104, b.data()}}), 24);
    const auto took = Clock::now() - start;
    EXPECT_TRUE(worker.DataWithoutReply());
    EXPECT_FALSE(worker.InfoReceived(0));
    // Three attempts bounded by the reply limit, not by the one-second silence.
    EXPECT_GE(took, std::chrono::milliseconds(3 * ComThread::REPLY_LIMIT_MS));
    EXPECT_LT(took, std::chrono::milliseconds(3 * ComThread::REPLY_LIMIT_MS + 6000));

    // The same worker on a radio that answers: the flag goes with the next list.
    radio.SetFaults(RadioFaults());
    EXPECT_EQ(Run({{OP_REQUEST_INFO, 0, 122, b.data()}}), 0);
    EXPECT_FALSE(worker.DataWithoutReply());
}

TEST_F(SlowOrStrangeRadio, RepliesThatNeverDecodeAreStrayDataToo) {
    RadioFaults f;
    f.corruptFcs = 1000;
    radio.SetFaults(f);
    Buffer b{};
    EXPECT_EQ(Run({{OP_READ_TABLE, 0x0000, 2012, b.data()}}), 24);
    EXPECT_TRUE(worker.DataWithoutReply());
}

// The radio still answering a write piece of an interrupted session, after this session
// has opened the port: its answer must not be taken for the answer to the identification.
class LateAnswer : public RawPtyLink {};

TEST_F(LateAnswer, IdentificationRightAfterAnInterruptedWriteSucceeds) {
    std::vector<uint8_t> block0(124, 0x30);
    block0[0] = 0x01;
    block0[1] = 0x00;
    const struct {
        const char* name;
        std::vector<uint8_t> late; // the frame of the earlier session's answer
        bool afterRequest;         // arrives once the request is out, else just after open
    } cases[] = {
        {"write answer, just after opening", Frame({0x03, 0x00, 0x01, 0x00}), false},
        {"write answer, after the request", Frame({0x03, 0x00, 0x02, 0x00}), true},
        {"write error answer, after the request", Frame({0xFF, 0x03, 0x01}), true},
        {"write answer behind the rest of a frame",
         [] {
             std::vector<uint8_t> v = {0x55, 0x12, FRAME_END};
             const auto f = Frame({0x03, 0x00, 0x03, 0x00});
             v.insert(v.end(), f.begin(), f.end());
             return v;
         }(),
         true},
    };
    worker.ClosePort(); // each case opens its own session
    for (const auto& c : cases) {
        for (int round = 0; round < 5; ++round) {
            SCOPED_TRACE(std::string(c.name) + ", round " + std::to_string(round));
            ComThread session;
            ASSERT_TRUE(session.OpenPort(port)) << session.LastOpenError();
            Requests();
            requests.clear();
            std::thread radioSide;
            if (c.afterRequest) {
                radioSide = std::thread([&] {
                    const auto until = Clock::now() + std::chrono::seconds(5);
                    while (Requests().empty() && Clock::now() < until)
                        std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    Send(c.late);
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                    Reply(block0);
                });
            } else {
                Send(c.late);
                Reply(block0);
            }
            Buffer b{};
            EXPECT_TRUE(session.RequestInfo(0, b.data()));
            if (radioSide.joinable())
                radioSide.join();
            EXPECT_EQ(session.GetError(), 0);
            EXPECT_TRUE(session.InfoReceived(0));
            EXPECT_EQ(Requests().size(), 1u) << "answered at the first attempt";
            session.ClosePort();
        }
    }
}

// Once the radio has answered, a write answer to an identification is a wrong reply again.
TEST_F(LateAnswer, WriteAnswerAfterTheFirstReplyIsAWrongReply) {
    std::vector<uint8_t> block0(124, 0x30);
    block0[0] = 0x01;
    block0[1] = 0x00;
    Buffer b{};
    Reply(block0);
    ASSERT_TRUE(worker.RequestInfo(0, b.data()));
    Reply({0x03, 0x00, 0x01, 0x00});
    EXPECT_FALSE(worker.RequestInfo(0, b.data()));
    EXPECT_EQ(worker.GetError(), 18);
}
