// Whole radio operations (identify, write, read) through the Win32 serial port to a
// simulated radio on the Linux side of Wine.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "WinTestSupport.h"
#include "model/ChannelsContext.h"
#include "model/Cp1251.h"
#include "model/InfoContext.h"
#include "model/SettingsContext.h"
#include "operations/CallQueue.h"
#include "operations/OperationDriver.h"

namespace {

// The main window's model objects (default range set, current) and a driver run on the
// test's thread.
struct Session {
    explicit Session(int port) {
        FreqRange set;
        set.SetDefault();
        channels.ranges.Select(channels.ranges.Add(set));
        driver.port_number = port;
    }
    OperationOutcome Run(int32_t mode) {
        driver.Start(mode);
        for (int i = 0; i < 600 && !driver.Finished(); ++i)
            queue.RunFor(100);
        while (queue.RunFor(0) > 0) {
        }
        return driver.Outcome();
    }

    ChannelsContext channels;
    SettingsContext settings;
    TInfoContext info;
    CallQueue queue;
    OperationDriver driver{channels, settings, info,
                           [this](std::function<void()> call) { queue.Post(std::move(call)); }};
};

Channel SomeChannel(int32_t rx, int32_t tx, int32_t number) {
    Channel c;
    c.freq_rx = rx;
    c.freq_tx = tx;
    c.number = number;
    c.tone_tx = 1750;
    c.subtone_rx = 12;
    c.tx_power_high = 2;
    c.squelch = 3;
    c.flag5 = true;
    return c;
}

uint16_t ImageLength(const uint8_t* image) {
    return static_cast<uint16_t>(image[2] | image[3] << 8);
}

} // namespace

TEST(WinRadioOperations, IdentifyReportsTheRadio) {
    REQUIRE_COM(com, RADIO_COM);
    Session s(com);
    ASSERT_EQ(s.Run(MODE_IDENTIFY), OperationOutcome::Succeeded) << s.driver.OpenError();
    EXPECT_TRUE(s.info.HasIdentity());
    EXPECT_EQ(Cp1251ToUtf8(s.info.radio_type), "Simulated");
    EXPECT_EQ(s.info.serial_number, 170001u);
}

TEST(WinRadioOperations, WrittenTablesReadBackByteForByte) {
    REQUIRE_COM(com, RADIO_COM);
    Session writer(com);
    writer.channels.channels[0] = SomeChannel(33012500, 33012500, 1);
    writer.channels.channels[63] = SomeChannel(41912500, 40000000, 64);
    writer.channels.channels[150] = SomeChannel(48500000, 0, 51);
    writer.channels.channels[199] = SomeChannel(0, 33000000, 99);
    writer.settings.Volume = 6;
    writer.settings.TxLimit = 120;
    writer.settings.ID = 3131;
    ASSERT_EQ(writer.Run(MODE_WRITE), OperationOutcome::Succeeded);
    ASSERT_TRUE(writer.driver.SecondTable());

    Session reader(com);
    ASSERT_EQ(reader.Run(MODE_READ), OperationOutcome::Succeeded);
    ASSERT_TRUE(reader.driver.SecondTable());
    for (int buffer : {BUFFER_CHANNELS_0_99, BUFFER_CHANNELS_100_199}) {
        const uint8_t* sent = writer.driver.Buffer(buffer);
        const uint8_t* got = reader.driver.Buffer(buffer);
        ASSERT_EQ(ImageLength(got), ImageLength(sent)) << "buffer " << buffer;
        EXPECT_EQ(std::memcmp(sent, got, ImageLength(sent)), 0) << "buffer " << buffer;
    }
    // The radio counts the programming in the settings image it stores (offsets 12..15);
    // everything else comes back as sent.
    const uint8_t* sent = writer.driver.Buffer(BUFFER_SETTINGS);
    const uint8_t* got = reader.driver.Buffer(BUFFER_SETTINGS);
    ASSERT_EQ(ImageLength(got), ImageLength(sent));
    EXPECT_EQ(std::memcmp(sent + 16, got + 16, ImageLength(sent) - 16u), 0);
    for (int i : {0, 63, 150, 199})
        EXPECT_EQ(reader.channels.channels[i], writer.channels.channels[i]) << "channel " << i;
    EXPECT_EQ(reader.settings.ID, 3131);
}
