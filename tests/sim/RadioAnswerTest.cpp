// The simulated radio's answers to single requests, and how it stores written tables.
#include <gtest/gtest.h>

#include <vector>

#include "sim/SimulatedRadio.h"

namespace {

using Packet = std::vector<uint8_t>;

Packet Ask(SimulatedRadio& radio, const Packet& request) {
    Packet reply;
    if (!radio.Answer(request.data(), request.size(), reply))
        return {};
    return reply;
}

Packet WritePiece(int address, const SimulatedRadio::Image& image, size_t from, size_t n) {
    Packet p(4 + n);
    p[0] = 0x03;
    p[2] = static_cast<uint8_t>(address);
    p[3] = static_cast<uint8_t>(address >> 8);
    std::copy(image.begin() + from, image.begin() + from + n, p.begin() + 4);
    return p;
}

uint8_t ErrorCodeOf(const Packet& reply) {
    return reply.size() >= 3 && reply[0] == 0xFF ? reply[2] : 0xEE;
}

} // namespace

TEST(RadioAnswer, RefusesWhatItCannotDoWithItsErrorCodes) {
    RadioIdentity id;
    id.channels2Version = 0;
    id.hasBlock2 = false;
    SimulatedRadio radio(id);
    const struct {
        const char* name;
        Packet request;
        uint8_t code;
    } cases[] = {
        {"unknown command", {0x42, 0x00}, 0},
        {"no information block 3", {0x01, 0x03}, 2},
        {"no information block 2", {0x01, 0x02}, 3},
        {"no channel table 100-199", {0x02, 0x00, 0x0C, 0x00}, 2},
        {"no calibration table", {0x02, 0x00, 0x08, 0x00}, 2},
        {"piece beyond the image", {0x02, 0x00, 0x05, 0x00}, 3},
        {"read request of the wrong length", {0x02, 0x00, 0x00}, 3},
        {"write piece 1 before piece 0", {0x03, 0x00, 0x01, 0x00, 0xAA}, 4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorCodeOf(Ask(radio, c.request)), c.code) << c.name;
    EXPECT_TRUE(Ask(radio, {0xD0, 0x10, 0x00, 0x00, 0x00, 0xC2, 0x01, 0x00}).empty())
        << "a link-speed request gets no reply";
}

TEST(RadioAnswer, ReadsPiecesOfTheImageLength) {
    SimulatedRadio radio;
    const Packet piece3 = Ask(radio, {0x02, 0x00, 0x03, 0x00});
    ASSERT_EQ(piece3.size(), 4u + 476u);
    EXPECT_EQ(Packet(piece3.begin(), piece3.begin() + 4), (Packet{0x02, 0x00, 0x03, 0x00}));
    const Packet settings = Ask(radio, {0x02, 0x00, 0x04, 0x00});
    ASSERT_EQ(settings.size(), 4u + 48u);
    EXPECT_EQ(settings[4], 0x03);
    EXPECT_EQ(settings[5], 0x01);
}

TEST(RadioAnswer, StoresAWrittenTableOnlyWhenWholeAndCorrect) {
    SimulatedRadio radio;
    const SimulatedRadio::Image before = radio.Table(0);
    SimulatedRadio::Image image = EmptyChannelImage(0x0200);
    image[12] = 0x01; // one channel record byte
    SealTableImage(image);

    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(Ask(radio, WritePiece(k, image, 512 * k, 512)),
                  (Packet{0x03, 0x00, static_cast<uint8_t>(k), 0x00}));
        EXPECT_EQ(radio.Table(0), before) << "not stored before the last piece";
    }
    EXPECT_EQ(Ask(radio, WritePiece(3, image, 1536, 476)), (Packet{0x03, 0x00, 0x03, 0x00}));
    EXPECT_EQ(radio.Table(0), image);
    EXPECT_EQ(radio.Stats().writeLengths, (std::vector<uint32_t>{512, 512, 512, 476}));

    // A broken checksum is refused after the last piece and the table stays as it was.
    SimulatedRadio::Image bad = image;
    bad[13] = 0x02;
    for (int k = 0; k < 3; ++k)
        Ask(radio, WritePiece(k, bad, 512 * k, 512));
    EXPECT_EQ(ErrorCodeOf(Ask(radio, WritePiece(3, bad, 1536, 476))), 1);
    EXPECT_EQ(radio.Table(0), image);
}

TEST(RadioAnswer, RefusesBadWritePieces) {
    SimulatedRadio radio; // channel tables 2.0, settings 1.3
    const auto v10 = EmptyChannelImage(0x0100);
    const auto settings = DefaultSettingsImage(0x0103);
    const struct {
        const char* name;
        Packet request;
        uint8_t code;
    } cases[] = {
        {"table of another version", WritePiece(0, v10, 0, 512), 5},
        {"settings of another version", WritePiece(4, DefaultSettingsImage(0x0100), 0, 34), 5},
        {"piece shorter than the image", WritePiece(4, settings, 0, 40), 3},
        {"piece with less than a header", WritePiece(4, settings, 0, 8), 3},
        {"piece 2 after piece 0", WritePiece(2, v10, 1024, 512), 4},
    };
    Ask(radio, WritePiece(0, EmptyChannelImage(0x0200), 0, 512));
    for (const auto& c : cases)
        EXPECT_EQ(ErrorCodeOf(Ask(radio, c.request)), c.code) << c.name;
    EXPECT_EQ(radio.Stats().tablesWritten, 0u);
}

TEST(RadioAnswer, WrittenSettingsCarryTheProgrammingCount) {
    SimulatedRadio radio;
    SimulatedRadio::Image settings = DefaultSettingsImage(0x0103);
    settings[12] = 7; // programming count sent by the programmer
    SealTableImage(settings);
    EXPECT_EQ(Ask(radio, WritePiece(4, settings, 0, 48)), (Packet{0x03, 0x00, 0x04, 0x00}));
    EXPECT_EQ(radio.Identity().programmingCount, 7u);
    EXPECT_EQ(Ask(radio, {0x01, 0x00}).at(2), 7);
}
