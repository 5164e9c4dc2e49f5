#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <utility>

#include "HexBytes.h"
#include "RangeSets.h"
#include "model/ChannelsContext.h"
#include "model/Cp1251.h"

namespace {

using Image = std::array<uint8_t, TABLE_IMAGE_SIZE>;

// A context whose current set is the given one.
void UseSet(ChannelsContext& context, const FreqRange& set) {
    context.ranges.Clear();
    ASSERT_TRUE(context.ranges.Select(context.ranges.Add(set)));
}

Channel UsedChannel(int32_t rx, int32_t tx, int32_t number) {
    Channel c;
    c.freq_rx = rx;
    c.freq_tx = tx;
    c.tone_rx = 1500;
    c.subtone_tx = 60;
    c.tx_power_low = 1;
    c.tx_power_high = 2;
    c.squelch = 6;
    c.scrambler = true;
    c.flag5 = true;
    c.number = number;
    return c;
}

std::string Utf8Error(const ChannelsContext& context) {
    return Cp1251ToUtf8(context.lastError);
}

TEST(ChannelTableImage, EmptyTablesHaveKnownHeaders) {
    const struct {
        uint16_t version;
        const char* header;
    } cases[] = {
        {0x0100, "00 01 dc 07 0b 10 ae cd b3 32 cc 0f"},
        {0x0200, "00 02 dc 07 04 36 40 09 49 9a 88 52"},
    };
    for (const auto& c : cases) {
        for (int start : {0, 100}) {
            SCOPED_TRACE(testing::Message() << c.version << " start " << start);
            ChannelsContext context;
            Image image{};
            ASSERT_TRUE(context.BuildImage(image.data(), c.version, start));
            EXPECT_EQ(context.tableVersion, c.version);
            EXPECT_EQ(HexText(image.data(), 12), c.header);
            for (std::size_t i = 12; i < TABLE_IMAGE_SIZE; ++i)
                ASSERT_EQ(image[i], 0xFF) << i;
        }
    }
}

TEST(ChannelTableImage, BuildRefusesUnknownVersionsAndStarts) {
    ChannelsContext context;
    Image image{};
    EXPECT_FALSE(context.BuildImage(image.data(), 0x0300, 0));
    EXPECT_EQ(context.tableVersion, 0x0300);
    EXPECT_FALSE(context.BuildImage(image.data(), 0x0101, 0));
    EXPECT_EQ(context.tableVersion, 0x0101);
    EXPECT_FALSE(context.BuildImage(image.data(), 0x0200, 50));
    EXPECT_FALSE(context.BuildImage(image.data(), 0x0200, 200));
}

TEST(ChannelTableImage, VersionOneBuildRefusesAFrequencyItCannotCarry) {
    ChannelsContext context;
    context.channels[137] = UsedChannel(41900000, 819200000, 37);
    Image image;
    image.fill(0x00);
    EXPECT_FALSE(context.BuildImage(image.data(), 0x0100, 100));
    EXPECT_EQ(Utf8Error(context), "Частота канала 137 (819.2 МГц) не может быть записана в таблицу "
                                  "каналов версии 1.0!!!");
    EXPECT_EQ(image[12], 0x00) << "no record may be written";

    // the other table and a version 2.0 table are not affected, and a good build clears it
    EXPECT_TRUE(context.BuildImage(image.data(), 0x0100, 0));
    EXPECT_EQ(context.lastError, "");
    EXPECT_TRUE(context.BuildImage(image.data(), 0x0200, 100));
    ChannelsContext readBack;
    ASSERT_TRUE(readBack.ParseImage(image.data(), 100));
    EXPECT_EQ(readBack.channels[137].freq_tx, 819200000);

    // just below the limit the build goes through with the frequency truncated, not wrapped
    context.channels[137].freq_tx = 819187499;
    ASSERT_TRUE(context.BuildImage(image.data(), 0x0100, 100));
    ASSERT_TRUE(readBack.ParseImage(image.data(), 100));
    EXPECT_EQ(readBack.channels[137].freq_tx, 819175000);
}

TEST(ChannelTableImage, VersionTwoBuildRefusesANumberItsByteCannotCarry) {
    // A number from a hand-edited file would otherwise reach the radio cut to its low byte
    // (300 shown as 44).
    for (int32_t number : {256, 300, -1}) {
        SCOPED_TRACE(number);
        ChannelsContext context;
        context.channels[5] = UsedChannel(41900000, 41900000, number);
        Image image;
        image.fill(0x00);
        EXPECT_FALSE(context.BuildImage(image.data(), 0x0200, 0));
        EXPECT_EQ(Utf8Error(context),
                  "Номер " + std::to_string(number) +
                      " канала 5 не может быть записан в таблицу каналов (допустимо 0..255)!!!");
        EXPECT_EQ(image[12], 0x00) << "no record may be written";
    }
    ChannelsContext context;
    context.channels[5] = UsedChannel(41900000, 41900000, 255);
    Image image;
    EXPECT_TRUE(context.BuildImage(image.data(), 0x0200, 0));
    ChannelsContext readBack;
    ASSERT_TRUE(readBack.ParseImage(image.data(), 0));
    EXPECT_EQ(readBack.channels[5].number, 255);
    // an empty slot's leftover number does not matter
    context.channels[6].number = 1000;
    EXPECT_TRUE(context.BuildImage(image.data(), 0x0200, 0));
}

TEST(ChannelTableImage, RoundTripThroughEitherVersion) {
    ChannelsContext source;
    source.channels[100] = UsedChannel(41900000, 41900000, 7);
    source.channels[150] = UsedChannel(0, 146500000, 99);
    source.channels[199] = UsedChannel(33012500, 48500000, 0);
    source.channels[199].tx_power_low = 3; // normalised by the build
    for (uint16_t version : {0x0100, 0x0200}) {
        SCOPED_TRACE(version);
        Image image{};
        ASSERT_TRUE(source.BuildImage(image.data(), static_cast<uint16_t>(version), 100));
        EXPECT_EQ(source.channels[199].tx_power_low, 2);
        EXPECT_EQ(source.channels[199].tx_power_high, 3);

        ChannelsContext target;
        target.channels[5] = UsedChannel(40000000, 40000000, 5);
        ASSERT_TRUE(target.ParseImage(image.data(), 100));
        EXPECT_EQ(target.tableVersion, version);
        EXPECT_EQ(target.lastError, "");
        EXPECT_EQ(target.channels[5], UsedChannel(40000000, 40000000, 5)) << "table 1 untouched";
        for (int i = 100; i < 200; ++i) {
            Channel expected = source.channels[i];
            if (version == 0x0100)
                expected.number = i; // no numbers in the record: the slot index
            else if (!expected.IsUsed())
                expected.number = 0;
            EXPECT_EQ(target.channels[i], expected) << i;
        }

        // nothing in the image says which table it is
        ASSERT_TRUE(target.ParseImage(image.data(), 0));
        EXPECT_EQ(target.channels[0].freq_rx, 41900000);
        EXPECT_EQ(target.channels[50].freq_tx, 146500000);
        EXPECT_EQ(target.channels[50].number, version == 0x0100 ? 50 : 99);
    }
}

// An image with a correct checksum whose header says something else.
Image SealedImage(uint16_t version, uint16_t size) {
    Image image;
    StartImage(image.data(), version, size);
    SealImage(image.data());
    return image;
}

TEST(ChannelTableImage, ParseRejectsBadImagesAndKeepsTheChannels) {
    Image corrupted = SealedImage(0x0200, CHANNEL_TABLE_SIZE);
    corrupted[500] = 0x00;
    Image tailChanged = SealedImage(0x0200, CHANNEL_TABLE_SIZE);
    tailChanged[2030] = 0xFE; // never transmitted, but checksummed

    auto checksumText = [](const Image& image) {
        char text[96];
        std::snprintf(text, sizeof text, "%08X. Прочитано из радиостанции %08X.",
                      ImageCrc(image.data(), 0, TABLE_IMAGE_SIZE),
                      GetU32(image.data() + IMAGE_CRC_OFFSET));
        return "Ошибка контрольной суммы!!! Рассчитано: " + std::string(text);
    };

    const struct {
        const char* name;
        Image image;
        uint16_t versionAfter;
        std::string error;
    } cases[] = {
        {"bad checksum", corrupted, 0x0100, checksumText(corrupted)},
        {"bytes after the table", tailChanged, 0x0100, checksumText(tailChanged)},
        {"wrong size", SealedImage(0x0200, 2000), 0x0200,
         "Неверный размер таблицы каналов!!! 2000 вместо 2012"},
        {"unknown version", SealedImage(0x0103, CHANNEL_TABLE_SIZE), 0x0103,
         "Версия 1.3 таблицы каналов не поддерживается!!!"},
        {"version 3.0", SealedImage(0x0300, CHANNEL_TABLE_SIZE), 0x0300,
         "Версия 3.0 таблицы каналов не поддерживается!!!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ChannelsContext context;
        context.tableVersion = 0x0100;
        context.channels[3] = UsedChannel(41900000, 41900000, 3);
        const auto before = context.channels;
        EXPECT_FALSE(context.ParseImage(c.image.data(), 0));
        EXPECT_EQ(Utf8Error(context), c.error);
        EXPECT_EQ(context.tableVersion, c.versionAfter);
        EXPECT_EQ(context.channels, before);
    }
}

TEST(ChannelTableImage, ParseClearsTheLastErrorAndIgnoresAWrongStart) {
    ChannelsContext context;
    const Image bad = SealedImage(0x0200, 2000);
    ASSERT_FALSE(context.ParseImage(bad.data(), 0));
    ASSERT_NE(context.lastError, "");

    EXPECT_FALSE(context.ParseImage(bad.data(), 1));
    EXPECT_EQ(context.lastError, "") << "a wrong start is the caller's error";

    ASSERT_FALSE(context.ParseImage(bad.data(), 0));
    const Image good = SealedImage(0x0200, CHANNEL_TABLE_SIZE);
    EXPECT_TRUE(context.ParseImage(good.data(), 100));
    EXPECT_EQ(context.lastError, "");
}

TEST(ChannelTable, InitAllNumbersBothTablesFromZero) {
    ChannelsContext context;
    context.channels[150] = UsedChannel(41900000, 41900000, 3);
    context.InitAll();
    for (int i = 0; i < CHANNEL_COUNT; ++i) {
        Channel expected;
        expected.number = i % 100;
        ASSERT_EQ(context.channels[i], expected) << i;
    }
}

TEST(ChannelRanges, InRangeAndMinimumFrequencies) {
    ChannelsContext context;
    EXPECT_FALSE(context.RxInRange(40000000)) << "no current set";
    EXPECT_EQ(context.MinRxFreq(), 33000000u);
    EXPECT_EQ(context.MinTxFreq(), 33000000u);
    EXPECT_EQ(context.RxFreqDigits(), 9);

    UseSet(context, MakeSet({{33000000, 40000000},
                             {45000000, 48500000},
                             {60000000, 60000000},
                             {70000000, 80000000}},
                            {{36000000, 38000000}}));
    const struct {
        uint32_t f;
        bool rx, tx;
    } cases[] = {
        {32999999, false, false}, {33000000, true, false},  {37000000, true, true},
        {40000000, true, false},  {40000001, false, false}, {48500000, true, false},
        {60000000, true, false},  {80000000, true, false},  {80000001, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(context.RxInRange(c.f), c.rx) << c.f;
        EXPECT_EQ(context.TxInRange(c.f), c.tx) << c.f;
    }
    EXPECT_EQ(context.MinRxFreq(), 33000000u);
    EXPECT_EQ(context.MinTxFreq(), 36000000u);

    // a free entry ends the list even if a range follows it
    FreqRange gap = MakeSet({{33000000, 40000000}}, {{33000000, 40000000}});
    gap.rx_begin[2] = 45000000;
    gap.rx_end[2] = 48000000;
    UseSet(context, gap);
    EXPECT_FALSE(context.RxInRange(46000000));
}

TEST(ChannelRanges, SnapMovesSteppedFrequenciesOntoTheRanges) {
    const FreqRange one = MakeSet({{33000000, 48500000}}, {{33000000, 48500000}});
    const FreqRange two = MakeSet({{33000000, 40000000}, {45000000, 48500000}},
                                  {{33000000, 40000000}, {45000000, 48500000}});
    const FreqRange four = MakeSet(
        {{30000000, 31000000}, {32000000, 33000000}, {34000000, 35000000}, {36000000, 37000000}},
        {{30000000, 37000000}});
    const struct {
        const char* name;
        const FreqRange* set;
        int32_t f;
        int direction;
        bool changed;
        int32_t after;
    } cases[] = {
        {"above the last range, up", &one, 48512500, 1, true, 48500000},
        {"below the first range, down", &one, 32987500, -1, true, 33000000},
        {"below the first range, up", &one, 32987500, 1, true, 33000000},
        {"inside", &one, 41000000, 1, false, 41000000},
        {"on the edge", &one, 48500000, -1, false, 48500000},
        {"gap, up", &two, 40012500, 1, true, 45000000},
        {"gap, down", &two, 44987500, -1, true, 40000000},
        {"gap, no direction", &two, 42000000, 0, true, 48500000},
        {"above all four", &four, 38000000, 1, true, 37000000},
        {"gap before the fourth, down", &four, 35500000, -1, true, 35000000},
        {"negative, down", &one, -12500, -1, true, 33000000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ChannelsContext context;
        UseSet(context, *c.set);
        int32_t f = c.f;
        EXPECT_EQ(context.SnapRxFreq(f, c.direction), c.changed);
        EXPECT_EQ(f, c.after);
    }

    ChannelsContext context;
    int32_t f = 10;
    EXPECT_FALSE(context.SnapRxFreq(f, 1)) << "no current set";
    EXPECT_EQ(f, 10);
    UseSet(context, MakeSet({{33000000, 48500000}}, {{150000000, 160000000}}));
    f = 48512500;
    EXPECT_TRUE(context.SnapTxFreq(f, -1));
    EXPECT_EQ(f, 150000000);
    FreqRange empty;
    UseSet(context, empty);
    EXPECT_FALSE(context.SnapRxFreq(f, 1)) << "a set without ranges moves nothing";
}

TEST(ChannelRanges, RemoveOutOfRangeEmptiesWhatDoesNotFit) {
    ChannelsContext context;
    UseSet(context, MakeSet({{33000000, 48500000}}, {{33000000, 40000000}}));
    context.channels[0] = UsedChannel(41000000, 0, 1);        // receive only, fits
    context.channels[1] = UsedChannel(0, 50000000, 2);        // transmit out of range
    context.channels[2] = UsedChannel(41000000, 41000000, 3); // transmit out, receive fine
    context.channels[3] = UsedChannel(30000000, 35000000, 4); // receive out
    context.channels[4] = UsedChannel(-1, 35000000, 5);       // no receive, transmit fits
    context.channels[5] = UsedChannel(0, 0, 6);               // empty already
    const auto before = context.channels;

    EXPECT_FALSE(context.RemoveOutOfRange());
    EXPECT_EQ(context.channels[0], before[0]);
    EXPECT_EQ(context.channels[1], Channel{});
    EXPECT_EQ(context.channels[2], Channel{});
    EXPECT_EQ(context.channels[3], Channel{});
    EXPECT_EQ(context.channels[4], before[4]);
    EXPECT_EQ(context.channels[5], before[5]);

    EXPECT_TRUE(context.RemoveOutOfRange()) << "nothing left to remove";
}

TEST(ChannelRanges, FrequencyDigits) {
    const struct {
        FreqRange set;
        int rx, tx;
    } cases[] = {
        {MakeSet({{95000000, 105000000}}, {{33000000, 48500000}}), 9, 8},
        {MakeSet({{33000000, 48500000}}, {{33000000, 99999999}}), 8, 8},
        {MakeSet({{33000000, 48500000}}, {{33000000, 100000000}}), 8, 9},
        {MakeSet({{33000000, 40000000}, {150000000, 160000000}}, {{33000000, 40000000}}), 9, 8},
        {FreqRange{}, 9, 9},
    };
    for (const auto& c : cases) {
        ChannelsContext context;
        UseSet(context, c.set);
        EXPECT_EQ(context.RxFreqDigits(), c.rx) << c.set.Text();
        EXPECT_EQ(context.TxFreqDigits(), c.tx) << c.set.Text();
    }
}

} // namespace
