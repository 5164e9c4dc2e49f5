// The three transactions end to end: worker, pseudo-terminal, simulated radio.
#include <array>

#include "link/LinkFixture.h"
#include "sim/RadioIdentity.h"

namespace {

using Buffer = std::array<uint8_t, JOB_BUFFER_SIZE>;

Buffer Filled() {
    Buffer b;
    b.fill(0xFF);
    return b;
}

template <size_t N> bool Same(const Buffer& b, const std::array<uint8_t, N>& expected) {
    return std::equal(expected.begin(), expected.end(), b.begin());
}

} // namespace

class Transactions : public SimulatedLink {};

TEST_F(Transactions, IdentifyCopiesTheThreeBlocksAndSetsTheirFlags) {
    Buffer b0 = Filled(), b1 = Filled(), b2 = Filled();
    EXPECT_EQ(Run({{OP_REQUEST_INFO, 0, 122, b0.data()},
                   {OP_REQUEST_INFO, 1, 104, b1.data()},
                   {OP_REQUEST_INFO, 2, 464, b2.data()}}),
              0);
    const RadioIdentity id = radio.Identity();
    EXPECT_TRUE(Same(b0, BuildInfoBlock0(id)));
    EXPECT_TRUE(Same(b1, BuildInfoBlock1(id)));
    EXPECT_TRUE(Same(b2, BuildInfoBlock2(id)));
    for (int block = 0; block < 3; ++block)
        EXPECT_TRUE(worker.InfoReceived(block)) << block;
    EXPECT_EQ(radio.Stats().infoRequests, 3u);
}

TEST_F(Transactions, RadioWithoutBlock2IsToleratedAndTheFlagStaysClear) {
    RadioIdentity id = radio.Identity();
    id.hasBlock2 = false;
    radio.SetIdentity(id);
    Buffer b0 = Filled(), b1 = Filled(), b2 = Filled();
    EXPECT_EQ(Run({{OP_REQUEST_INFO, 0, 122, b0.data()},
                   {OP_REQUEST_INFO, 1, 104, b1.data()},
                   {OP_REQUEST_INFO, 2, 464, b2.data()}}),
              0);
    EXPECT_TRUE(worker.InfoReceived(0));
    EXPECT_TRUE(worker.InfoReceived(1));
    EXPECT_FALSE(worker.InfoReceived(2));
    EXPECT_EQ(b2, Filled());
}

TEST_F(Transactions, ReadsEveryTableWholeAndOnlyTheExchangesItsLengthNeeds) {
    SimulatedRadio::Image channels = radio.Table(0);
    for (int i = 12; i < 2012; ++i)
        channels[i] = static_cast<uint8_t>(i * 7); // content need not be valid to travel
    radio.SetTable(0, channels);

    Buffer t0 = Filled(), settings = Filled(), t3 = Filled();
    EXPECT_EQ(Run({{OP_READ_TABLE, 0x0000, 2012, t0.data()},
                   {OP_READ_TABLE, 0x0004, 48, settings.data()},
                   {OP_READ_TABLE, 0x000C, 2012, t3.data()}}),
              0);
    EXPECT_EQ(t0, channels);
    EXPECT_TRUE(std::equal(settings.begin(), settings.begin() + 48, radio.Table(1).begin()));
    EXPECT_EQ(settings[48], 0xFF); // nothing beyond the image length is touched
    EXPECT_EQ(t3, radio.Table(3));
    EXPECT_EQ(radio.Stats().readRequests, 4u + 1u + 4u);
}

TEST_F(Transactions, WritesMoveTheImageInPiecesOfAtMost512Bytes) {
    SimulatedRadio::Image channels = EmptyChannelImage(0x0200);
    SimulatedRadio::Image settings = DefaultSettingsImage(0x0103);
    settings[24] = 5; // brightness, so the written table differs from the stored one
    SealTableImage(settings);

    EXPECT_EQ(Run({{OP_WRITE_TABLE, 0x0000, 2012, channels.data()},
                   {OP_WRITE_TABLE, 0x0004, 48, settings.data()}}),
              0);
    EXPECT_EQ(radio.Stats().writeLengths, (std::vector<uint32_t>{512, 512, 512, 476, 48}));
    EXPECT_EQ(radio.Stats().tablesWritten, 2u);
    EXPECT_EQ(radio.Table(1), settings);
}

// Error replies: the radio's code becomes the worker's, the table is tried again from
// piece 0 (and succeeds), the code stays and the list ends after that job.
TEST_F(Transactions, ErrorRepliesLeaveTheirMappedCodeAndEndTheList) {
    const struct {
        int radioCode;
        int expected;
    } cases[] = {{0, 25}, {1, 17}, {2, 26}, {3, 27}, {4, 28}, {5, 29}, {6, 65535}, {9, 65535}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.radioCode);
        RadioFaults f;
        f.only = RadioFaults::Only::Write;
        f.errorReplies = 1;
        f.errorCode = c.radioCode;
        radio.SetFaults(f);
        radio.ResetStats();
        SimulatedRadio::Image settings = radio.Table(1);
        Buffer info = Filled();
        EXPECT_EQ(Run({{OP_WRITE_TABLE, 0x0004, 48, settings.data()},
                       {OP_REQUEST_INFO, 0, 122, info.data()}}),
                  c.expected);
        EXPECT_EQ(radio.Stats().writeLengths, (std::vector<uint32_t>{48, 48}));
        EXPECT_EQ(radio.Stats().infoRequests, 0u);
    }
}

TEST_F(Transactions, RepliesForAnotherAddressOrBlockAreWrongReplies) {
    RadioFaults f;
    f.wrongAddress = 1;
    radio.SetFaults(f);
    Buffer t = Filled();
    EXPECT_EQ(Run({{OP_READ_TABLE, 0x0000, 2012, t.data()}}), 18);
    EXPECT_EQ(t, radio.Table(0)) << "the second attempt reads the table";

    radio.SetFaults(f);
    radio.ResetStats();
    Buffer b = Filled();
    EXPECT_EQ(Run({{OP_REQUEST_INFO, 0, 122, b.data()}}), 18);
    EXPECT_EQ(radio.Stats().infoRequests, 1u) << "an information reply is never asked again";
    EXPECT_FALSE(worker.InfoReceived(0));
}

TEST_F(Transactions, MissingTableIsNotAvailable) {
    RadioIdentity id = radio.Identity();
    id.channels2Version = 0;
    radio.SetIdentity(id);
    Buffer t = Filled();
    EXPECT_EQ(Run({{OP_READ_TABLE, 0x000C, 2012, t.data()}}), 26);
    EXPECT_EQ(radio.Stats().readRequests, 3u);
    EXPECT_EQ(t, Filled());
}

// A reply with a broken frame check sequence carries nothing usable: it counts as no
// reply, so it is asked again at once, and three in a row give "no reply".
TEST_F(Transactions, CorruptedRepliesAreRetriedAndNeverTakenAsData) {
    RadioFaults f;
    f.corruptFcs = 2;
    radio.SetFaults(f);
    Buffer t = Filled();
    EXPECT_EQ(Run({{OP_READ_TABLE, 0x0000, 2012, t.data()}}), 0);
    EXPECT_EQ(t, radio.Table(0));

    f.corruptFcs = 3;
    radio.SetFaults(f);
    t = Filled();
    EXPECT_EQ(Run({{OP_READ_TABLE, 0x0000, 2012, t.data()}}), 24);
    EXPECT_EQ(t, Filled());

    f.corruptFcs = 3;
    radio.SetFaults(f);
    Buffer b = Filled();
    EXPECT_EQ(Run({{OP_REQUEST_INFO, 1, 104, b.data()}}), 24);
    EXPECT_FALSE(worker.InfoReceived(1));
    EXPECT_EQ(b, Filled());
}

// Line disturbances that a good receiver rides out without asking again.
TEST_F(Transactions, EchoNoiseSplitAndTruncatedFramesAreRiddenOut) {
    const struct {
        const char* name;
        RadioFaults faults;
    } cases[] = {
        {"echo",
         [] {
             RadioFaults f;
             f.echo = true;
             return f;
         }()},
        {"noise",
         [] {
             RadioFaults f;
             f.noiseBytes = 40;
             return f;
         }()},
        {"split",
         [] {
             RadioFaults f;
             f.splitParts = 3;
             f.splitPauseMs = 150;
             return f;
         }()},
        {"truncated",
         [] {
             RadioFaults f;
             f.truncateFrames = 100;
             return f;
         }()},
        {"all",
         [] {
             RadioFaults f;
             f.echo = true;
             f.noiseBytes = 9;
             f.splitParts = 4;
             f.truncateFrames = 100;
             return f;
         }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        radio.SetFaults(c.faults);
        radio.ResetStats();
        Buffer b0 = Filled(), t0 = Filled();
        EXPECT_EQ(
            Run({{OP_REQUEST_INFO, 0, 122, b0.data()}, {OP_READ_TABLE, 0x0000, 2012, t0.data()}}),
            0);
        EXPECT_TRUE(worker.InfoReceived(0));
        EXPECT_EQ(t0, radio.Table(0));
        EXPECT_EQ(radio.Stats().requests, 5u) << "nothing was asked twice";
    }
}

TEST_F(Transactions, DroppedReplyIsAskedAgainAfterTheSilence) {
    RadioFaults f;
    f.only = RadioFaults::Only::Read;
    f.skipReplies = 2;
    f.dropReplies = 1;
    radio.SetFaults(f);
    Buffer t = Filled();
    EXPECT_EQ(Run({{OP_READ_TABLE, 0x0000, 2012, t.data()}}), 0);
    EXPECT_EQ(t, radio.Table(0));
    // Pieces 0 and 1, piece 2 unanswered, then the whole table again.
    EXPECT_EQ(radio.Stats().readRequests, 3u + 4u);
}

TEST_F(Transactions, DeadRadioGivesNoReplyAfterThreeAttempts) {
    RadioFaults f;
    f.dead = true;
    radio.SetFaults(f);
    Buffer b = Filled();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Run({{OP_REQUEST_INFO, 0, 122, b.data()}}), 24);
    const auto took = std::chrono::steady_clock::now() - start;
    // Three attempts, each given one second of silence.
    EXPECT_GE(took, std::chrono::milliseconds(3000));
    EXPECT_FALSE(worker.InfoReceived(0));
    EXPECT_FALSE(worker.DataWithoutReply()) << "silence is no stray data";
}
