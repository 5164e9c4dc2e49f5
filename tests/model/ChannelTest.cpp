#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "HexBytes.h"
#include "model/Channel.h"

namespace {

using Record = std::array<uint8_t, CHANNEL_RECORD_SIZE>;

Record Encode(Channel& channel, uint16_t version) {
    Record record;
    record.fill(0xAA);
    EXPECT_TRUE(channel.ToRecord(record.data(), version));
    return record;
}

Record RecordOf(const std::string& hex) {
    const std::vector<uint8_t> bytes = HexBytes(hex);
    Record record{};
    EXPECT_EQ(bytes.size(), record.size());
    std::memcpy(record.data(), bytes.data(), std::min(bytes.size(), record.size()));
    return record;
}

Channel SimplexChannel() {
    Channel c;
    c.freq_rx = c.freq_tx = 41900000;
    c.tone_tx = 1000;
    c.subtone_tx = 19;
    c.tx_power_low = 0;
    c.tx_power_high = 3;
    c.squelch = 2;
    c.number = 5;
    return c;
}

Channel ReceiveOnlyChannel() {
    Channel c;
    c.freq_rx = 146500000;
    c.subtone_rx = 51;
    c.tx_power_low = 3;
    c.tx_power_high = 1;
    c.squelch = 0;
    c.scan = c.band_rx = c.band_tx = false;
    c.flag0 = c.flag7 = true;
    return c;
}

struct EncodeCase {
    const char* name;
    Channel channel;
    uint16_t version;
    const char* bytes;
};

TEST(ChannelRecord, EncodesKnownRecordsAndDecodesThemBack) {
    const EncodeCase cases[] = {
        {"simplex 2.0", SimplexChannel(), 0x0200,
         "e0 57 7f 02 e0 57 7f 02 00 00 e8 03 00 13 a7 32 00 05 00 00"},
        {"simplex 1.0", SimplexChannel(), 0x0100,
         "18 0d 18 0d 00 00 e8 03 00 13 a7 32 00 00 00 00 00 00 00 00"},
        {"receive only 1.0", ReceiveOnlyChannel(), 0x0100,
         "c8 2d ff ff 00 00 00 00 33 00 a0 71 81 00 00 00 00 00 00 00"},
        {"receive only 2.0", ReceiveOnlyChannel(), 0x0200,
         "a0 69 bb 08 ff ff ff ff 00 00 00 00 33 00 a0 71 81 00 00 00"},
    };
    for (const EncodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        Channel channel = c.channel;
        const Record record = Encode(channel, c.version);
        EXPECT_EQ(HexText(record.data(), record.size()), c.bytes);

        Channel decoded;
        decoded.number = 77;
        ASSERT_TRUE(decoded.FromRecord(record.data(), c.version));
        if (c.version == 0x0100) { // a version 1.0 record has no number
            EXPECT_EQ(decoded.number, 77);
        }
        decoded.number = channel.number;
        EXPECT_EQ(decoded, channel); // the normalised channel survives the round trip
    }
}

TEST(ChannelRecord, EncodingNormalisesTheChannelItself) {
    Channel channel = ReceiveOnlyChannel();
    Encode(channel, 0x0100);
    EXPECT_EQ(channel.tx_power_low, 1);
    EXPECT_EQ(channel.tx_power_high, 3);
    EXPECT_EQ(channel.squelch, 1);

    Channel loud = SimplexChannel();
    loud.squelch = 12;
    const Record record = Encode(loud, 0x0200);
    EXPECT_EQ(loud.squelch, 8);
    EXPECT_EQ(record[15] & 0x0F, 8);
}

TEST(ChannelRecord, VersionOneFrequencySteps) {
    struct Case {
        int32_t freq;
        uint16_t field;
        int32_t readBack;
    };
    const Case cases[] = {
        {27005000, 2160, 27000000},    // remainder dropped
        {12500, 1, 12500},             // smallest step
        {819175000, 65534, 819175000}, // largest frequency the field holds
        {819187499, 65534, 819175000}, // still truncates to 65 534 steps
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.freq);
        Channel channel;
        channel.freq_rx = channel.freq_tx = c.freq;
        const Record record = Encode(channel, 0x0100);
        EXPECT_EQ(record[0] | record[1] << 8, c.field);
        Channel decoded;
        ASSERT_TRUE(decoded.FromRecord(record.data(), 0x0100));
        EXPECT_EQ(decoded.freq_rx, c.readBack);
        EXPECT_EQ(decoded.freq_tx, c.readBack);
    }
}

TEST(ChannelRecord, VersionOneRefusesFrequenciesItWouldWrap) {
    // 65 535 steps and more would arrive as "no frequency" or as some low frequency.
    for (int32_t freq : {819187500, 819200000, 1000000000, 2147483647}) {
        for (bool onTransmit : {false, true}) {
            SCOPED_TRACE(testing::Message() << freq << (onTransmit ? " tx" : " rx"));
            Channel channel = SimplexChannel();
            (onTransmit ? channel.freq_tx : channel.freq_rx) = freq;
            EXPECT_FALSE(channel.FitsRecord(0x0100));
            EXPECT_TRUE(channel.FitsRecord(0x0200));

            Record record;
            record.fill(0xAA);
            EXPECT_FALSE(channel.ToRecord(record.data(), 0x0100));
            EXPECT_EQ(record[0], 0xAA) << "nothing may be written";
            EXPECT_TRUE(channel.ToRecord(record.data(), 0x0200));
        }
    }
}

TEST(ChannelRecord, FieldCodingAtTheLimits) {
    struct Case {
        const char* name;
        int32_t tone;
        int32_t subtone;
        uint16_t toneField;
        uint8_t subtoneField;
    };
    const Case cases[] = {
        {"none", 0, 0, 0, 0},
        {"negative", -5, -1, 0, 0},
        {"first CTCSS, lowest call tone", 400, 1, 400, 1},
        {"last code that passes", 3000, 134, 3000, 134},
        {"subtone above range", 65535, 135, 65535, 0},
        // a tone cut to 16 bits would turn into another, valid tone (66 536 → 1000 Hz)
        {"tone beyond 16 bits", 66536, 255, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Channel channel = SimplexChannel();
        channel.tone_rx = channel.tone_tx = c.tone;
        channel.subtone_rx = channel.subtone_tx = c.subtone;
        const Record record = Encode(channel, 0x0200);
        EXPECT_EQ(record[8] | record[9] << 8, c.toneField);
        EXPECT_EQ(record[10] | record[11] << 8, c.toneField);
        EXPECT_EQ(record[12], c.subtoneField);
        EXPECT_EQ(record[13], c.subtoneField);
    }
}

TEST(ChannelRecord, ModeAndUserFlagBitsAreOneEach) {
    bool Channel::*const modes[] = {&Channel::scan,      &Channel::band_rx,  &Channel::band_tx,
                                    &Channel::scrambler, &Channel::tx_limit, &Channel::tx_busy};
    const uint8_t modeBits[] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20};
    bool Channel::*const flags[] = {&Channel::flag0, &Channel::flag1, &Channel::flag2,
                                    &Channel::flag3, &Channel::flag4, &Channel::flag5,
                                    &Channel::flag6, &Channel::flag7};
    Channel none = SimplexChannel();
    for (bool Channel::*m : modes)
        none.*m = false;
    none.active = false;

    for (int i = 0; i < 6; ++i) {
        Channel channel = none;
        channel.*modes[i] = true;
        EXPECT_EQ(Encode(channel, 0x0200)[14], modeBits[i]) << i;
    }
    Channel activeOnly = none;
    activeOnly.active = true;
    EXPECT_EQ(Encode(activeOnly, 0x0200)[14], 0x80);

    for (int bit = 0; bit < 8; ++bit) {
        Channel channel = none;
        channel.*flags[bit] = true;
        const Record record = Encode(channel, 0x0100);
        EXPECT_EQ(record[12], 1 << bit) << bit;
        Channel decoded;
        ASSERT_TRUE(decoded.FromRecord(record.data(), 0x0100));
        for (int other = 0; other < 8; ++other)
            EXPECT_EQ(decoded.*flags[other], other == bit) << bit << "/" << other;
    }

    // bit 6 of the mode byte means nothing and is never written
    Record record = Encode(none, 0x0200);
    record[14] = 0x40;
    Channel decoded;
    ASSERT_TRUE(decoded.FromRecord(record.data(), 0x0200));
    EXPECT_FALSE(decoded.scan || decoded.band_rx || decoded.band_tx || decoded.scrambler ||
                 decoded.tx_limit || decoded.tx_busy || decoded.active);
}

TEST(ChannelRecord, LevelByteDecoding) {
    struct Case {
        uint8_t level;
        int low, high, squelch;
    };
    const Case cases[] = {
        {0xFF, 3, 3, 8},                  // squelch 15 clamped
        {0x00, 0, 0, 1},                  // squelch 0 clamped
        {0x35, 0, 3, 5}, {0xD4, 1, 3, 4}, // low 3 above high 1: swapped
        {0x68, 1, 2, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << int(c.level));
        Channel channel = SimplexChannel();
        Record record = Encode(channel, 0x0200);
        record[15] = c.level;
        Channel decoded;
        ASSERT_TRUE(decoded.FromRecord(record.data(), 0x0200));
        EXPECT_EQ(decoded.tx_power_low, c.low);
        EXPECT_EQ(decoded.tx_power_high, c.high);
        EXPECT_EQ(decoded.squelch, c.squelch);
    }
}

TEST(ChannelRecord, PowerLevelsOutsideZeroToThreeTravelAsZero) {
    Channel channel = SimplexChannel();
    channel.tx_power_low = -1;
    channel.tx_power_high = 7;
    EXPECT_EQ(Encode(channel, 0x0200)[15], 0x02);
}

TEST(ChannelRecord, EmptySlots) {
    Channel unused = SimplexChannel();
    unused.freq_rx = 0;
    unused.freq_tx = -1;
    unused.flag3 = true;
    for (uint16_t version : {0x0100, 0x0200}) {
        SCOPED_TRACE(version);
        Channel channel = unused;
        Record record = Encode(channel, static_cast<uint16_t>(version));
        EXPECT_EQ(HexText(record.data(), record.size()), HexText(std::vector<uint8_t>(20, 0xFF)));

        Channel decoded = SimplexChannel();
        ASSERT_TRUE(decoded.FromRecord(record.data(), static_cast<uint16_t>(version)));
        EXPECT_EQ(decoded, Channel{});
        EXPECT_EQ(decoded.number, 0);
    }
}

TEST(ChannelRecord, OneMissingFrequencyKeepsTheRest) {
    const struct {
        uint16_t version;
        const char* bytes;
    } cases[] = {
        {0x0100, "ff ff 18 0d 00 00 e8 03 00 13 a7 32 00 00 00 00 00 00 00 00"},
        {0x0200, "ff ff ff ff e0 57 7f 02 00 00 e8 03 00 13 a7 32 00 05 00 00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        Channel decoded;
        ASSERT_TRUE(decoded.FromRecord(RecordOf(c.bytes).data(), c.version));
        EXPECT_EQ(decoded.freq_rx, 0);
        EXPECT_EQ(decoded.freq_tx, 41900000);
        EXPECT_EQ(decoded.tone_tx, 1000);
        EXPECT_EQ(decoded.subtone_tx, 19);
        EXPECT_TRUE(decoded.IsUsed());
        EXPECT_FALSE(decoded.HasRx());
        EXPECT_TRUE(decoded.HasTx());
    }
}

TEST(ChannelRecord, DecodingTakesTonesAndSubtonesUnchecked) {
    Channel decoded;
    ASSERT_TRUE(decoded.FromRecord(
        RecordOf("e0 57 7f 02 e0 57 7f 02 ff ff 10 00 ff 87 a7 32 00 fa 00 00").data(), 0x0200));
    EXPECT_EQ(decoded.tone_rx, 65535);
    EXPECT_EQ(decoded.tone_tx, 16);
    EXPECT_EQ(decoded.subtone_rx, 255);
    EXPECT_EQ(decoded.subtone_tx, 135);
    EXPECT_EQ(decoded.number, 250);
}

TEST(ChannelRecord, UnknownVersionsTouchNothing) {
    for (uint16_t version : {0x0000, 0x0101, 0x0201, 0x0300}) {
        SCOPED_TRACE(version);
        Channel channel = SimplexChannel();
        channel.squelch = 0; // would be normalised by a real encoding
        Record record;
        record.fill(0xAA);
        EXPECT_FALSE(channel.ToRecord(record.data(), static_cast<uint16_t>(version)));
        EXPECT_EQ(HexText(record.data(), record.size()), HexText(std::vector<uint8_t>(20, 0xAA)));
        EXPECT_EQ(channel.squelch, 0);

        Channel before = SimplexChannel();
        Channel decoded = before;
        EXPECT_FALSE(decoded.FromRecord(RecordOf("00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
                                                 "00 00 00 00 00 00")
                                            .data(),
                                        static_cast<uint16_t>(version)));
        EXPECT_EQ(decoded, before);
    }
}

TEST(ChannelPredicates, FollowTheFrequencies) {
    struct Case {
        int32_t rx, tx;
        bool used, hasRx, hasTx, both, simplex;
    };
    const Case cases[] = {
        {0, 0, false, false, false, false, true},
        {-1, -1, false, false, false, false, true},
        {41900000, 0, true, true, false, false, false},
        {0, 41900000, true, false, true, false, false},
        {-5, 41900000, true, false, true, false, false},
        {41900000, 41900000, true, true, true, true, true},
        {41900000, 42000000, true, true, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rx << "/" << c.tx);
        Channel channel;
        channel.freq_rx = c.rx;
        channel.freq_tx = c.tx;
        EXPECT_EQ(channel.IsUsed(), c.used);
        EXPECT_EQ(channel.HasRx(), c.hasRx);
        EXPECT_EQ(channel.HasTx(), c.hasTx);
        EXPECT_EQ(channel.HasRxAndTx(), c.both);
        EXPECT_EQ(channel.IsSimplex(), c.simplex);
    }
}

TEST(ChannelPredicates, ResetRestoresEveryDefault) {
    Channel channel = ReceiveOnlyChannel();
    channel.number = 42;
    channel.active = false;
    channel.Reset();
    EXPECT_EQ(channel, Channel{});
    EXPECT_EQ(channel.tx_power_high, 3);
    EXPECT_EQ(channel.squelch, 1);
    EXPECT_TRUE(channel.scan && channel.band_rx && channel.band_tx && channel.tx_busy &&
                channel.IsActive());
    EXPECT_FALSE(channel.scrambler || channel.tx_limit);
}

TEST(SubtoneTexts, TablesMatchTheirCodes) {
    EXPECT_STREQ(CTCSS_TONES[1], " 67,0");
    EXPECT_STREQ(CTCSS_TONES[12], " 97,4");
    EXPECT_STREQ(CTCSS_TONES[13], "100,0");
    EXPECT_STREQ(CTCSS_TONES[19], "123,0");
    EXPECT_STREQ(CTCSS_TONES[50], "254,1");
    for (int i = 1; i <= 50; ++i)
        EXPECT_EQ(std::strlen(CTCSS_TONES[i]), 5u) << i;

    EXPECT_STREQ(DCS_CODES[51 - 50], "023");
    EXPECT_STREQ(DCS_CODES[83], "754");
    EXPECT_STREQ(DCS_CODES[134 - 50], "");
    for (int i = 1; i <= 83; ++i) {
        ASSERT_EQ(std::strlen(DCS_CODES[i]), 3u) << i;
        for (const char* d = DCS_CODES[i]; *d; ++d)
            EXPECT_TRUE(*d >= '0' && *d <= '7') << i;
        if (i > 1) {
            EXPECT_LT(std::strcmp(DCS_CODES[i - 1], DCS_CODES[i]), 0) << i;
        }
    }
}

} // namespace
