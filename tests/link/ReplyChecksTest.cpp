// How the transactions judge replies, with the replies written by hand ahead of time.
#include <array>

#include "link/RawPty.h"

namespace {

using Buffer = std::array<uint8_t, JOB_BUFFER_SIZE>;

// Read reply for a piece: 02 00 address data.
std::vector<uint8_t> ReadReply(int address, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> p(4 + data.size());
    p[0] = 0x02;
    p[2] = static_cast<uint8_t>(address);
    p[3] = static_cast<uint8_t>(address >> 8);
    std::copy(data.begin(), data.end(), p.begin() + 4);
    return p;
}

// The bytes of an image of the given length field, numbered so pieces can be told apart.
std::vector<uint8_t> ImageBytes(uint16_t length, size_t from, size_t count) {
    std::vector<uint8_t> v(count);
    for (size_t i = 0; i < count; ++i) {
        const size_t at = from + i;
        v[i] = at == 2 ? static_cast<uint8_t>(length) : at == 3 ? length >> 8 : at * 13 % 251;
    }
    return v;
}

std::vector<uint8_t> WriteReply(int address) {
    return {0x03, 0x00, static_cast<uint8_t>(address), static_cast<uint8_t>(address >> 8)};
}

} // namespace

class ReplyChecks : public RawPtyLink {
protected:
    Buffer buffer = [] {
        Buffer b;
        b.fill(0xFF);
        return b;
    }();
};

TEST_F(ReplyChecks, ShortImageMovesInOnePieceAndTheRestIsSkipped) {
    Reply(ReadReply(4, ImageBytes(34, 0, 34)));
    EXPECT_TRUE(worker.ReadTable(4, buffer.data()));
    EXPECT_EQ(worker.GetError(), 0);
    EXPECT_EQ(Addresses(), std::vector<int>{4});
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 34), ImageBytes(34, 0, 34));
    EXPECT_EQ(buffer[34], 0xFF);
}

TEST_F(ReplyChecks, ShortFirstPieceOfALongImageIsALengthErrorAndTheTableIsReadAgain) {
    Reply(ReadReply(0, ImageBytes(2012, 0, 300)));
    for (int k = 0; k < 4; ++k)
        Reply(ReadReply(k, ImageBytes(2012, 512 * k, k < 3 ? 512 : 476)));
    EXPECT_TRUE(worker.ReadTable(0, buffer.data()));
    EXPECT_EQ(worker.GetError(), 19) << "the code of the failed attempt stays";
    EXPECT_EQ(Addresses(), (std::vector<int>{0, 0, 1, 2, 3}));
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 2012),
              ImageBytes(2012, 0, 2012));
}

TEST_F(ReplyChecks, ImageLongerThanTheBufferMovesFourFullPieces) {
    for (int k = 0; k < 4; ++k)
        Reply(ReadReply(12 + k, ImageBytes(3000, 512 * k, 512)));
    EXPECT_TRUE(worker.ReadTable(12, buffer.data()));
    EXPECT_EQ(worker.GetError(), 0);
    EXPECT_EQ(Addresses(), (std::vector<int>{12, 13, 14, 15}));
}

// One bad reply to the first read request: the code it leaves.
TEST_F(ReplyChecks, BadReadRepliesAreRefusedWithTheirCode) {
    const struct {
        const char* name;
        std::vector<uint8_t> reply;
        int code;
    } cases[] = {
        {"other address", ReadReply(1, ImageBytes(34, 0, 34)), 18},
        {"write reply kind", WriteReply(0), 18},
        // (byte 1 set, or the reply would equal the request and pass for its echo)
        {"no data", {0x02, 0x01, 0x00, 0x00}, 19},
        {"data beyond the image length", ReadReply(0, ImageBytes(20, 0, 34)), 19},
        {"piece longer than 512", ReadReply(0, ImageBytes(2012, 0, 513)), 19},
        {"error reply", {0xFF, 0x02, 0x04}, 28},
    };
    worker.ClosePort(); // the port takes one session at a time
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ComThread fresh; // error codes last until a list begins
        ASSERT_TRUE(fresh.OpenPort(port));
        Requests();
        requests.clear();
        Reply(c.reply);
        Reply(ReadReply(0, ImageBytes(34, 0, 34)));
        buffer.fill(0xFF);
        EXPECT_TRUE(fresh.ReadTable(0, buffer.data()));
        EXPECT_EQ(fresh.GetError(), c.code);
        EXPECT_EQ(Addresses(), (std::vector<int>{0, 0}));
    }
}

// A frame that does not decode cleanly is no reply: the piece is asked again at once and
// no code is left, and nothing of the broken frame reaches the buffer.
TEST_F(ReplyChecks, BrokenFramesAreAskedAgainWithoutACode) {
    const auto good = Frame(ReadReply(4, ImageBytes(34, 0, 34)));
    auto badFcs = good;
    badFcs[10] ^= 0x01;
    // (broken early: a broken frame whose decoded start equals the request passes for its
    // echo and is skipped, which ends well too)
    auto badEscape = good;
    badEscape[2] = 0x7D;
    badEscape.insert(badEscape.begin() + 3, 0x41);
    worker.ClosePort(); // the port takes one session at a time
    for (const auto& broken : {badFcs, badEscape}) {
        SCOPED_TRACE(broken == badFcs ? "bad frame check sequence" : "bad escape");
        ComThread fresh;
        ASSERT_TRUE(fresh.OpenPort(port));
        Requests();
        requests.clear();
        Send(broken);
        Send(good);
        buffer.fill(0xFF);
        EXPECT_TRUE(fresh.ReadTable(4, buffer.data()));
        EXPECT_EQ(fresh.GetError(), 0);
        EXPECT_EQ(Addresses(), (std::vector<int>{4, 4}));
        EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 34), ImageBytes(34, 0, 34));
    }
}

TEST_F(ReplyChecks, WriteSendsTheImageLengthAndJudgesTheReply) {
    const auto image = ImageBytes(2012, 0, 2048);
    std::copy(image.begin(), image.end(), buffer.begin());
    Reply({0x03, 0x00, 0x00, 0x00, 0x00, 0x00}); // six bytes: a length error
    for (int k = 0; k < 4; ++k)
        Reply(WriteReply(k));
    EXPECT_TRUE(worker.WriteTable(0, buffer.data()));
    EXPECT_EQ(worker.GetError(), 19);
    const auto sent = Requests();
    ASSERT_EQ(sent.size(), 5u);
    std::vector<size_t> lengths;
    for (const auto& r : sent)
        lengths.push_back(r.size() - 4);
    EXPECT_EQ(lengths, (std::vector<size_t>{512, 512, 512, 512, 476}));
    EXPECT_EQ(std::vector<uint8_t>(sent[4].begin() + 4, sent[4].end()),
              std::vector<uint8_t>(image.begin() + 1536, image.begin() + 2012));
}

TEST_F(ReplyChecks, InformationRepliesAreJudgedOnceWithoutRetry) {
    const struct {
        const char* name;
        int block;
        std::vector<uint8_t> reply;
        int code;
        bool received;
    } cases[] = {
        {"block 1 of 106 bytes", 1,
         [] {
             std::vector<uint8_t> r(106, 0x21);
             r[0] = 1;
             r[1] = 1;
             return r;
         }(),
         0, true},
        {"another block number", 0,
         [] {
             std::vector<uint8_t> r(124, 0);
             r[0] = 1;
             r[1] = 1;
             return r;
         }(),
         18, false},
        {"wrong kind", 1,
         [] {
             std::vector<uint8_t> r(106, 0);
             r[0] = 2;
             r[1] = 1;
             return r;
         }(),
         18, false},
        {"block 2 kind not examined", 2,
         [] {
             std::vector<uint8_t> r(466, 0);
             r[0] = 7;
             r[1] = 2;
             return r;
         }(),
         0, true},
        {"wrong length", 0,
         [] {
             std::vector<uint8_t> r(123, 0);
             r[0] = 1;
             r[1] = 0;
             return r;
         }(),
         19, false},
        {"block 2 data error: no block 2", 2, {0xFF, 0x01, 0x03}, 0, false},
        {"block 1 data error", 1, {0xFF, 0x01, 0x03}, 27, false},
        {"block 2 not available", 2, {0xFF, 0x01, 0x02}, 26, false},
    };
    worker.ClosePort(); // the port takes one session at a time
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ComThread fresh;
        ASSERT_TRUE(fresh.OpenPort(port));
        Requests();
        requests.clear();
        Reply(c.reply);
        buffer.fill(0xFF);
        fresh.RequestInfo(c.block, buffer.data());
        EXPECT_EQ(fresh.GetError(), c.code);
        EXPECT_EQ(fresh.InfoReceived(c.block), c.received);
        EXPECT_EQ(Requests().size(), 1u);
        if (c.received) {
            EXPECT_TRUE(std::equal(c.reply.begin() + 2, c.reply.end(), buffer.begin()));
        }
    }
}
