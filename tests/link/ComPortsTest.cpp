#include "link/ComPorts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

TEST(ComPorts, FixedBlocksMapNumbersToDevicesAndBack) {
    const struct {
        int number;
        const char* device;
    } cases[] = {
        {1, "/dev/ttyS0"},
        {32, "/dev/ttyS31"},
        {33, "/dev/ttyUSB0"},
        {64, "/dev/ttyUSB31"},
        {65, "/dev/ttyACM0"},
        {96, "/dev/ttyACM31"},
        {97, ""},
        {255, ""},
        {0, ""},
        {256, ""},
        {-3, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ComPortDevice(c.number), c.device) << c.number;
        if (*c.device) {
            EXPECT_EQ(ComPortNumberForDevice(c.device), c.number) << c.device;
        }
    }
    for (const char* device : {"/dev/ttyS32", "/dev/ttyUSB01", "/dev/ttyUSB", "/dev/ttyX0", ""})
        EXPECT_EQ(ComPortNumberForDevice(device), 0) << device;
}

TEST(ComPorts, OverridesWinAndCanBeRemoved) {
    ASSERT_TRUE(SetComPortOverride(33, "/dev/serial/by-id/usb-test-port0"));
    EXPECT_EQ(ComPortDevice(33), "/dev/serial/by-id/usb-test-port0");
    EXPECT_EQ(ComPortNumberForDevice("/dev/serial/by-id/usb-test-port0"), 33);
    ASSERT_TRUE(SetComPortOverride(33, ""));
    EXPECT_EQ(ComPortDevice(33), "/dev/ttyUSB0");
    EXPECT_FALSE(SetComPortOverride(0, "/dev/x"));
    EXPECT_FALSE(SetComPortOverride(256, "/dev/x"));

    // The environment can do the same; the program's own override wins over it.
    ASSERT_EQ(::setenv("ZORVEX_COM150", "/dev/from-environment", 1), 0);
    EXPECT_EQ(ComPortDevice(150), "/dev/from-environment");
    EXPECT_NE(FreeComPortNumber(), 150);
    SetComPortOverride(150, "/dev/from-program");
    EXPECT_EQ(ComPortDevice(150), "/dev/from-program");
    SetComPortOverride(150, "");
    ::unsetenv("ZORVEX_COM150");
    EXPECT_EQ(ComPortDevice(150), "");
}

TEST(ComPorts, EnumerationListsOverridesWhoseDeviceExists) {
    int master = -1, slave = -1;
    char name[256] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    const int present = FreeComPortNumber();
    SetComPortOverride(present, name);
    const int absent = FreeComPortNumber();
    SetComPortOverride(absent, "/nonexistent/tty");

    bool sawPresent = false, sawAbsent = false;
    int previous = 0;
    for (const ComPortInfo& p : EnumerateComPorts()) {
        EXPECT_GT(p.number, previous) << "ascending, each number once";
        previous = p.number;
        EXPECT_EQ(ComPortDevice(p.number), p.device);
        if (p.number == present) {
            sawPresent = true;
            EXPECT_TRUE(p.overridden);
        }
        sawAbsent |= p.number == absent;
    }
    EXPECT_TRUE(sawPresent);
    EXPECT_FALSE(sawAbsent);
    SetComPortOverride(present, "");
    SetComPortOverride(absent, "");
    ::close(master);
    ::close(slave);
}
