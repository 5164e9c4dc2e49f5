#include <gtest/gtest.h>

#include <string>

#include "sim/RadioIdentity.h"

namespace {
template <size_t N> unsigned Le16(const std::array<uint8_t, N>& b, size_t at) {
    return b[at] | b[at + 1] << 8;
}
template <size_t N> std::string Text(const std::array<uint8_t, N>& b, size_t at, size_t width) {
    return std::string(reinterpret_cast<const char*>(&b[at]), width);
}
} // namespace

TEST(InfoBlocks, Block0CarriesIdentityTextsAndRanges) {
    RadioIdentity id;
    id.programmingCount = 0x01020304;
    id.serialNumber = 0xFFFFFFFF;
    id.radioType = std::string(25, 'T'); // longer than its field: cut at 20
    const auto b = BuildInfoBlock0(id);
    EXPECT_EQ(b[0], 0x04);
    EXPECT_EQ(b[3], 0x01);
    EXPECT_EQ(Le16(b, 4), 0xFFFFu);
    EXPECT_EQ(Text(b, 8, 10), std::string("2.14") + std::string(6, '\0'));
    EXPECT_EQ(Text(b, 18, 5), "ZVP01");
    EXPECT_EQ(Text(b, 23, 20), std::string(20, 'T'));
    EXPECT_EQ(b[43], 0) << "empty comment";
    // 33 - 48.5 MHz: base 2640 steps of 12.5 kHz, offsets 0 and 1240; ranges 2..4 empty.
    EXPECT_EQ(Le16(b, 98), 2640u);
    EXPECT_EQ(Le16(b, 100), 2640u);
    EXPECT_EQ(Le16(b, 104), 12500u);
    EXPECT_EQ(Le16(b, 106), 0u);
    EXPECT_EQ(Le16(b, 108), 1240u);
    for (size_t at = 110; at < 122; at += 4)
        EXPECT_EQ(Le16(b, at), Le16(b, at + 2)) << at;
}

TEST(InfoBlocks, Block1ReportsTableVersionsByBlockAddressAndPowers) {
    RadioIdentity id;
    id.channels2Version = 0;
    id.settingsVersion = 0x0102;
    const auto b = BuildInfoBlock1(id);
    const struct {
        unsigned tag, version;
    } entries[] = {{0, 0x0200}, {4, 0x0102}, {8, 0x0100}, {12, 0}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(Le16(b, 20 + 4 * i), entries[i].tag);
        EXPECT_EQ(Le16(b, 22 + 4 * i), entries[i].version);
    }
    for (size_t i = 4; i < 16; ++i)
        EXPECT_EQ(Le16(b, 20 + 4 * i), 0xFFFFu) << "unused entries name no table";
    EXPECT_EQ(b[100], 1);
    EXPECT_EQ(b[103], 25);
    EXPECT_EQ(Le16(b, 96), 0u);
    EXPECT_EQ(Le16(b, 98), 2u) << "128 KB flash";
}

TEST(InfoBlocks, Block2CarriesLongCommentAndOptions) {
    RadioIdentity id;
    id.longComment = "long";
    for (int i = 0; i < 32; ++i)
        id.options[i] = static_cast<uint8_t>(i);
    const auto b = BuildInfoBlock2(id);
    EXPECT_EQ(Text(b, 44, 5), std::string("long") + '\0');
    EXPECT_EQ(b[172], 0);
    EXPECT_EQ(b[203], 31);
    EXPECT_EQ(b[204], 0);
}

TEST(RadioIdentity, SetRangeTakesWholeStepsAboveTheBase) {
    RadioIdentity id;
    EXPECT_TRUE(id.SetRange(2, 40000000, 41000000));
    EXPECT_EQ(id.rangeOffsets[1][0], 560);
    EXPECT_EQ(id.rangeOffsets[1][1], 640);
    EXPECT_FALSE(id.SetRange(2, 40000001, 41000000)) << "not a whole step";
    EXPECT_FALSE(id.SetRange(3, 30000000, 41000000)) << "below the base";
    EXPECT_FALSE(id.SetRange(5, 40000000, 41000000));
    EXPECT_EQ(id.rangeOffsets[2][0], id.rangeOffsets[2][1]);
}
