#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "link/ComPorts.h"

namespace fs = std::filesystem;

namespace {

// A fake sysfs tree and /dev/serial/by-id in a scratch directory, laid out as the kernel
// lays them out for a USB serial adapter (tty -> interface -> USB device) and for an
// on-board port (no USB device above the tty).
class ComPortDetailsTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zorvex-sysfs-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        sys = root / "sys";
        byId = root / "by-id";
        fs::create_directories(root / "dev");
        fs::create_directories(byId);

        const fs::path usb = sys / "devices/pci0000:00/usb1/1-2";
        const fs::path tty = usb / "1-2:1.0/ttyUSB0";
        fs::create_directories(tty / "tty/ttyUSB0");
        Attribute(usb / "idVendor", "0403\n");
        Attribute(usb / "idProduct", "6001\n");
        Attribute(usb / "manufacturer", "FTDI\n");
        Attribute(usb / "product", "FT232R USB UART\n");
        Attribute(usb / "serial", "A50285BI\n");
        Attribute(sys / "devices/pci0000:00/idVendor_not_here", "");
        fs::create_directories(sys / "class/tty/ttyUSB0");
        fs::create_symlink(tty, sys / "class/tty/ttyUSB0/device");

        const fs::path serial = sys / "devices/platform/serial8250/tty/ttyS0";
        fs::create_directories(serial);
        fs::create_directories(sys / "class/tty/ttyS0");
        fs::create_symlink(sys / "devices/platform/serial8250", sys / "class/tty/ttyS0/device");

        Attribute(root / "dev/ttyUSB0", "");
        Attribute(root / "dev/ttyS0", "");
        fs::create_symlink("../dev/ttyUSB0", byId / "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root, ec);
    }

    static void Attribute(const fs::path& file, const std::string& text) {
        std::ofstream(file) << text;
    }

    ComPortInfo Details(const fs::path& device) {
        ComPortInfo port;
        port.number = 33;
        port.device = device.string();
        ReadComPortDetails(port, sys, byId);
        return port;
    }

    fs::path root, sys, byId;
};

TEST_F(ComPortDetailsTest, UsbAdapterGivesItsIdsStringsAndStableName) {
    const std::string link = (byId / "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0").string();
    // The device by its kernel name and by its by-id link come to the same details.
    for (const fs::path& device : {root / "dev/ttyUSB0", fs::path(link)}) {
        const ComPortInfo port = Details(device);
        EXPECT_TRUE(port.IsUsb()) << device;
        EXPECT_EQ(port.usbVendorId, "0403");
        EXPECT_EQ(port.usbProductId, "6001");
        EXPECT_EQ(port.usbManufacturer, "FTDI");
        EXPECT_EQ(port.usbProduct, "FT232R USB UART");
        EXPECT_EQ(port.usbSerial, "A50285BI");
        EXPECT_EQ(port.byIdPath, link);
    }
}

TEST_F(ComPortDetailsTest, PortsWithoutAUsbDeviceOrSysfsEntryStayPlain) {
    for (const fs::path& device :
         {root / "dev/ttyS0", root / "dev/missing", fs::path("/dev/null")}) {
        const ComPortInfo port = Details(device);
        EXPECT_FALSE(port.IsUsb()) << device;
        EXPECT_TRUE(port.usbManufacturer.empty());
        EXPECT_TRUE(port.byIdPath.empty()) << device;
    }
}

TEST(ComPortDescription, AnOverrideNamingAMissingDeviceIsListedAsMissing) {
    const int present = FreeComPortNumber();
    ASSERT_TRUE(SetComPortOverride(present, "/dev/null"));
    const int missing = FreeComPortNumber();
    ASSERT_TRUE(SetComPortOverride(missing, "/dev/zorvex-no-such-adapter"));
    const std::vector<ComPortInfo> described = DescribeComPorts();
    const std::vector<ComPortInfo> enumerated = EnumerateComPorts();
    SetComPortOverride(present, "");
    SetComPortOverride(missing, "");

    auto find = [](const std::vector<ComPortInfo>& ports, int number) -> const ComPortInfo* {
        for (const ComPortInfo& p : ports) {
            if (p.number == number) {
                return &p;
            }
        }
        return nullptr;
    };
    ASSERT_NE(find(described, missing), nullptr);
    EXPECT_FALSE(find(described, missing)->present);
    EXPECT_EQ(find(described, missing)->device, "/dev/zorvex-no-such-adapter");
    ASSERT_NE(find(described, present), nullptr);
    EXPECT_TRUE(find(described, present)->present);
    // The port choice of the desktop program still offers only devices that exist.
    EXPECT_EQ(find(enumerated, missing), nullptr);
    EXPECT_NE(find(enumerated, present), nullptr);
}

} // namespace
