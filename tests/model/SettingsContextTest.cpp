#include <gtest/gtest.h>

#include <array>

#include "HexBytes.h"
#include "model/Cp1251.h"
#include "model/SettingsContext.h"
#include "model/TableImage.h"

namespace {

using Image = std::array<uint8_t, TABLE_IMAGE_SIZE>;

// Every field away from its default, and no two neighbours alike, so a field written to or
// read from the wrong place shows.
SettingsContext Unusual() {
    SettingsContext s;
    s.ProgramCount = 0x01020304;
    s.Intensity = 4;
    s.IntensityKeys = 2;
    s.Volume = 16;
    s.MinVolume = 5;
    s.BeepMin = 7;
    s.BeepMax = 15;
    s.TxLimit = 900;
    s.TxPause = 321;
    s.StartChannel = 199;
    s.SpecChannel = 150;
    s.ScanPause = 0x1234;
    s.TxPower = true;
    s.Squelch_On = false;
    s.SquelchAutoVol_On = false;
    s.ExtSpeaker_On = false;
    s.SpecChannelLock = true;
    s.StartChannelLock = true;
    s.MicAmp = 3;
    s.TxPowerPassword = 54321;
    s.MaxTxPower = 4;
    s.Squelch = 6;
    s.Tamp = false;
    s.TxPowerCommon = true;
    s.SqlCommon = true;
    s.ID = 254;
    s.KeyLock = true;
    s.KeyBeep = false;
    s.DigitalDelay = false;
    s.MultiplexedChannel = true;
    s.SqwMonitorPolarity = true;
    s.TxVoiceMonitor = false;
    s.DeemphasisOff = true;
    s.Output1Function = 8;
    s.Output2Function = 3;
    s.Output3Function = 6;
    s.StartupMode = 0x84;
    s.SpecChannel_1 = 42;
    s.SpecChannel_2 = 177;
    s.RepeaterDelay = 60;
    return s;
}

// What a parse of an image of that version gives for the fields the version lacks.
SettingsContext AsCarriedBy(SettingsContext s, uint16_t version) {
    const SettingsContext defaults;
    s.version = version;
    s.ProgramCount = defaults.ProgramCount; // never read back
    if (version < 0x0101) {
        s.TxPowerPassword = 0;
        s.MaxTxPower = 3;
        s.Squelch = 1;
        s.Tamp = true;
        s.TxPowerCommon = s.SqlCommon = false;
    }
    if (version < 0x0102) {
        s.ID = 1;
        s.KeyLock = false;
        s.KeyBeep = true;
        s.DigitalDelay = true;
        s.MultiplexedChannel = s.SqwMonitorPolarity = false;
        s.TxVoiceMonitor = true;
        s.DeemphasisOff = false;
        s.Output1Function = s.Output2Function = s.Output3Function = 0;
        s.StartupMode = 0x80;
        s.RepeaterDelay = 0;
    }
    if (version < 0x0103)
        s.SpecChannel_1 = s.SpecChannel_2 = 0;
    return s;
}

TEST(SettingsImage, DefaultsGiveKnownImages) {
    const struct {
        uint16_t version;
        const char* bytes;
    } cases[] = {
        {0x0100, "00 01 22 00 79 26 ed fa d9 47 e3 46 00 00 00 00 00 08 03 09 00 00 0a 01 09 08 "
                 "00 00 00 00 09 05 00 01"},
        {0x0103, "03 01 30 00 94 cf eb fe 18 40 99 71 00 00 00 00 00 08 03 09 00 00 0a 01 09 08 "
                 "00 00 00 00 09 05 00 01 00 00 02 01 01 00 4e 00 00 00 80 00 00 00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        SettingsContext settings;
        Image image{};
        ASSERT_TRUE(settings.BuildSettingsImage(image.data(), c.version));
        EXPECT_EQ(settings.version, c.version);
        const std::vector<uint8_t> expected = HexBytes(c.bytes);
        EXPECT_EQ(HexText(image.data(), expected.size()), c.bytes);
        for (std::size_t i = expected.size(); i < TABLE_IMAGE_SIZE; ++i)
            ASSERT_EQ(image[i], 0xFF) << i;
    }
}

TEST(SettingsImage, EveryVersionRoundTripsItsFields) {
    const struct {
        uint16_t version;
        uint16_t size;
    } cases[] = {{0x0100, 34}, {0x0101, 38}, {0x0102, 46}, {0x0103, 48}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        EXPECT_EQ(SettingsImageSize(c.version), c.size);
        SettingsContext source = Unusual();
        Image image{};
        ASSERT_TRUE(source.BuildSettingsImage(image.data(), c.version));
        EXPECT_EQ(GetU16(image.data() + 2), c.size);
        EXPECT_EQ(image[c.size], 0xFF) << "nothing beyond the version's fields";
        EXPECT_NE(image[c.size - 1], 0xFF);

        SettingsContext target;
        ASSERT_TRUE(target.ParseSettingsImage(image.data()));
        EXPECT_EQ(target, AsCarriedBy(Unusual(), c.version));
    }
}

TEST(SettingsImage, FieldPlacesInTheImage) {
    SettingsContext settings = Unusual();
    Image image{};
    ASSERT_TRUE(settings.BuildSettingsImage(image.data(), 0x0103));
    EXPECT_EQ(HexText(image.data() + 12, 36),
              "04 03 02 01 96 0f 07 05 c7 01 10 86 04 70 84 03 41 01 02 34 12 03 31 d4 04 06 fe "
              "00 b1 08 03 06 84 3c 2a b1");
}

TEST(SettingsImage, TampTravelsTwiceAndTheOptionByteWins) {
    SettingsContext settings;
    settings.Tamp = true;
    Image image{};
    ASSERT_TRUE(settings.BuildSettingsImage(image.data(), 0x0102));
    EXPECT_EQ(image[37] & 0x01, 0x01);
    EXPECT_EQ(image[40] & 0x02, 0x02);

    for (bool inOptions : {false, true}) {
        image[37] = inOptions ? 0x00 : 0x01;
        image[40] = static_cast<uint8_t>((image[40] & ~0x02) | (inOptions ? 0x02 : 0));
        SealImage(image.data());
        SettingsContext parsed;
        ASSERT_TRUE(parsed.ParseSettingsImage(image.data()));
        EXPECT_EQ(parsed.Tamp, inOptions);
    }
}

TEST(SettingsImage, EverySquelchLevelSurvivesTheThreeBits) {
    for (int level = 1; level <= 8; ++level) {
        for (bool on : {true, false}) {
            SCOPED_TRACE(testing::Message() << "L" << level << (on ? " on" : " off"));
            SettingsContext settings;
            settings.Squelch = level;
            settings.Squelch_On = on;
            Image image{};
            ASSERT_TRUE(settings.BuildSettingsImage(image.data(), 0x0101));
            EXPECT_EQ(image[23], (on ? 0 : 0x80) | (level & 7));

            SettingsContext parsed;
            parsed.Squelch = 3;
            ASSERT_TRUE(parsed.ParseSettingsImage(image.data()));
            EXPECT_EQ(parsed.Squelch, level);
            EXPECT_EQ(parsed.Squelch_On, on);
        }
    }
}

TEST(SettingsImage, SquelchOutsideItsLevelsIsLimitedBeforeSending) {
    const struct {
        int32_t level;
        int32_t parsed;
    } cases[] = {{0, 1}, {-3, 1}, {9, 8}, {15, 8}};
    for (const auto& c : cases) {
        SettingsContext settings;
        settings.Squelch = c.level;
        Image image{};
        ASSERT_TRUE(settings.BuildSettingsImage(image.data(), 0x0103));
        SettingsContext parsed;
        ASSERT_TRUE(parsed.ParseSettingsImage(image.data()));
        EXPECT_EQ(parsed.Squelch, c.parsed) << c.level;
    }

    // version 1.0 carries no common level: its three bits are always 1
    SettingsContext settings;
    settings.Squelch = 5;
    Image image{};
    ASSERT_TRUE(settings.BuildSettingsImage(image.data(), 0x0100));
    EXPECT_EQ(image[23], 0x01);
}

TEST(SettingsImage, PasswordMustFitSixteenBits) {
    const struct {
        int32_t password;
        uint16_t version;
        bool builds;
    } cases[] = {
        {65535, 0x0101, true},  {0, 0x0103, true},
        {65536, 0x0101, false}, {99999, 0x0103, false},
        {-1, 0x0102, false},    {99999, 0x0100, true}, // version 1.0 does not carry the password
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.password << " v" << std::hex << c.version);
        SettingsContext settings;
        settings.TxPowerPassword = c.password;
        Image image;
        image.fill(0x00);
        EXPECT_EQ(settings.BuildSettingsImage(image.data(), c.version), c.builds);
        EXPECT_EQ(settings.version, c.version);
        if (c.builds) {
            EXPECT_EQ(settings.lastError, "");
            SettingsContext parsed;
            ASSERT_TRUE(parsed.ParseSettingsImage(image.data()));
            EXPECT_EQ(parsed.TxPowerPassword, c.version >= 0x0101 ? c.password : 0);
        } else {
            EXPECT_EQ(Cp1251ToUtf8(settings.lastError),
                      "Пароль " + std::to_string(c.password) +
                          " не может быть записан в радиостанцию: допустимы значения "
                          "0..65535!!!");
            EXPECT_EQ(image[34], 0x00) << "nothing built";
        }
    }
}

TEST(SettingsImage, BuildRefusesUnknownVersionsButKeepsTheVersion) {
    for (uint16_t version : {0x0000, 0x00FF, 0x0104, 0x0200}) {
        SettingsContext settings;
        Image image{};
        EXPECT_FALSE(settings.BuildSettingsImage(image.data(), version)) << version;
        EXPECT_EQ(settings.version, version);
    }
}

// An image with a correct checksum whose header says something else.
Image SealedImage(uint16_t version, uint16_t size) {
    Image image;
    StartImage(image.data(), version, size);
    SealImage(image.data());
    return image;
}

TEST(SettingsImage, ParseRejectsBadImagesAndKeepsTheFields) {
    Image corrupted{};
    SettingsContext defaults;
    ASSERT_TRUE(defaults.BuildSettingsImage(corrupted.data(), 0x0102));
    corrupted[24] ^= 0x01;
    Image tailChanged{};
    ASSERT_TRUE(defaults.BuildSettingsImage(tailChanged.data(), 0x0103));
    tailChanged[1000] = 0x00;

    const struct {
        const char* name;
        Image image;
        uint16_t version;
    } cases[] = {
        {"bad checksum", corrupted, 0x0102},
        {"bytes after the table changed", tailChanged, 0x0103},
        {"version 1.1 with the 1.0 size", SealedImage(0x0101, 34), 0x0101},
        {"version 1.3 with the 1.2 size", SealedImage(0x0103, 46), 0x0103},
        {"version 1.4", SealedImage(0x0104, 48), 0x0104},
        {"version 2.0", SealedImage(0x0200, 34), 0x0200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsContext settings = Unusual();
        EXPECT_FALSE(settings.ParseSettingsImage(c.image.data()));
        SettingsContext expected = Unusual();
        expected.version = c.version;
        EXPECT_EQ(settings, expected);
    }
}

TEST(SettingsImage, OlderVersionResetsTheFieldsItLacks) {
    SettingsContext settings = Unusual();
    Image newer{};
    ASSERT_TRUE(settings.BuildSettingsImage(newer.data(), 0x0103));
    SettingsContext older = Unusual();
    Image old{};
    ASSERT_TRUE(older.BuildSettingsImage(old.data(), 0x0100));

    SettingsContext parsed;
    ASSERT_TRUE(parsed.ParseSettingsImage(newer.data()));
    ASSERT_EQ(parsed.SpecChannel_1, 42);
    ASSERT_TRUE(parsed.ParseSettingsImage(old.data()));
    EXPECT_EQ(parsed.version, 0x0100);
    EXPECT_EQ(parsed.SpecChannel_1, 0);
    EXPECT_EQ(parsed.SpecChannel_2, 0);
    EXPECT_EQ(parsed.RepeaterDelay, 0);
    EXPECT_EQ(parsed.MaxTxPower, 3);
    EXPECT_EQ(parsed.StartupMode, 0x80);
}

TEST(SettingsContext, SetDefaultsRestoresEveryField) {
    SettingsContext settings = Unusual();
    settings.version = 0x0103;
    settings.SetDefaults();
    EXPECT_EQ(settings, SettingsContext{});
    EXPECT_EQ(settings.version, 0x0100);
    EXPECT_EQ(settings.Volume, 10);
    EXPECT_EQ(settings.StartupMode, 0x80);
    EXPECT_TRUE(settings.Tamp && settings.KeyBeep && settings.DigitalDelay &&
                settings.TxVoiceMonitor && settings.Squelch_On && settings.SquelchAutoVol_On &&
                settings.ExtSpeaker_On);
}

} // namespace
