// The COM-port list read from the registry's serial-port map.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "WinTestSupport.h"
#include "link/ComPorts.h"

TEST(WinComPorts, DevicesAreTheDeviceNamespacePaths) {
    for (int n : {1, 9, 10, 255}) {
        EXPECT_EQ(ComPortDevice(n), "\\\\.\\COM" + std::to_string(n));
        EXPECT_EQ(ComPortNumberForDevice("\\\\.\\COM" + std::to_string(n)), n);
    }
    EXPECT_EQ(ComPortDevice(0), "");
    EXPECT_EQ(ComPortDevice(256), "");
    EXPECT_EQ(ComPortNumberForDevice("COM5"), 0);
}

TEST(WinComPorts, ListHoldsThePortsOfTheSerialMapAndTheOverrides) {
    REQUIRE_COM(radio, RADIO_COM);
    const int others[] = {ComFromEnvironment(PACED_COM), ComFromEnvironment(DEAD_COM),
                          ComFromEnvironment(SPEED_COM)};
    ASSERT_TRUE(SetComPortOverride(201, "\\\\.\\COM" + std::to_string(radio)));

    std::set<int> listed;
    int previous = 0;
    for (const ComPortInfo& p : EnumerateComPorts()) {
        EXPECT_GT(p.number, previous) << "ascending, each number once";
        previous = p.number;
        listed.insert(p.number);
        EXPECT_EQ(p.device, ComPortDevice(p.number));
        EXPECT_EQ(p.overridden, p.number == 201) << p.number;
    }
    SetComPortOverride(201, "");
    EXPECT_TRUE(listed.count(radio)) << "COM" << radio;
    for (int n : others) {
        if (n != 0) {
            EXPECT_TRUE(listed.count(n)) << "COM" << n;
        }
    }
    EXPECT_TRUE(listed.count(201));
    EXPECT_FALSE(listed.count(251)) << "a port that does not exist";
}
