// COM port numbers and the devices behind them.
//
// The program names ports "COM1".."COM255" everywhere. On Windows COMn is the device
// \\.\COMn. On Linux the numbers map to devices in fixed blocks:
//
//   COM1   .. COM32    /dev/ttyS0   .. /dev/ttyS31    (on-board and PCI serial ports)
//   COM33  .. COM64    /dev/ttyUSB0 .. /dev/ttyUSB31  (USB serial adapters)
//   COM65  .. COM96    /dev/ttyACM0 .. /dev/ttyACM31  (USB modem-class devices)
//   COM97  .. COM255   no fixed device; free for overrides
//
// Any device path can stand behind any number instead (a pseudo-terminal, a stable
// /dev/serial/by-id/... link), either from the program (SetComPortOverride) or from the
// environment: ZORVEX_COM<n>=<path>, for example ZORVEX_COM3=/dev/serial/by-id/usb-XYZ.
// An override set by the program wins over the environment, and both win over the fixed
// blocks.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

inline constexpr int MIN_COM_PORT = 1;
inline constexpr int MAX_COM_PORT = 255;

// The device of COM port n, or an empty string for a number outside 1..255 or one with no
// device. On Windows, "\\.\COMn" unless overridden.
std::string ComPortDevice(int number);

// The COM number whose device is the given path (overrides first, then the fixed blocks),
// or 0 when none.
int ComPortNumberForDevice(const std::string& device);

// Makes the device path stand behind COM port n (an empty path removes the override).
// Returns false for a number outside 1..255. Safe to call from any thread.
bool SetComPortOverride(int number, const std::string& device);
void ClearComPortOverrides();

// A free number for an override: the lowest of 97..255 with neither a program nor an
// environment override, or 0 when all are taken.
int FreeComPortNumber();

struct ComPortInfo {
    int number = 0;
    std::string device;
    bool overridden = false; // from SetComPortOverride or ZORVEX_COM<n>
    bool present = true;     // the device exists (an override may name a missing one)

    // What tells adapters apart (ReadComPortDetails); empty when unknown. The ids are four
    // lower-case hex digits as the system gives them ("0403").
    std::string usbVendorId;
    std::string usbProductId;
    std::string usbManufacturer;
    std::string usbProduct;
    std::string usbSerial;
    std::string byIdPath; // the /dev/serial/by-id/ link that leads to the device

    bool IsUsb() const { return !usbVendorId.empty(); }
};

// The ports present now, ascending by number: what the system reports (/sys/class/tty on
// Linux, the serial-port map of the registry on Windows) mapped to numbers, plus every
// override whose device exists.
std::vector<ComPortInfo> EnumerateComPorts();

// EnumerateComPorts plus the overrides whose device is missing (present false), each with
// its details read as ReadComPortDetails does.
std::vector<ComPortInfo> DescribeComPorts();

// Fills the USB details of a port from sysfs: the device's tty name (after following links,
// so a /dev/serial/by-id/ path works too) leads to sysRoot/class/tty/<name>/device, and up
// from there to the USB device holding idVendor, idProduct, manufacturer, product and
// serial. byIdPath is the link in byIdDir that leads to the same device. Nothing is filled
// on Windows, for a port without a USB device, or where the files are missing.
void ReadComPortDetails(ComPortInfo& port, const std::filesystem::path& sysRoot = "/sys",
                        const std::filesystem::path& byIdDir = "/dev/serial/by-id");
