#include "link/ComPorts.h"

#include <cstdlib>
#include <map>
#include <mutex>
#include <string>

#ifndef _WIN32
#include <dirent.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
extern char** environ;
#else
#include <cstring>
#include <windows.h>
#endif

namespace {

// Overrides set by the program; the only process-wide state of the port map.
struct OverrideTable {
    std::mutex mutex;
    std::map<int, std::string> devices;
};

OverrideTable& Overrides() {
    static OverrideTable table;
    return table;
}

ComPortInfo MakePort(int number, const std::string& device, bool overridden) {
    ComPortInfo port;
    port.number = number;
    port.device = device;
    port.overridden = overridden;
    return port;
}

bool ValidNumber(int n) {
    return n >= MIN_COM_PORT && n <= MAX_COM_PORT;
}

std::string ProgramOverride(int n) {
    OverrideTable& t = Overrides();
    std::lock_guard lock(t.mutex);
    auto it = t.devices.find(n);
    return it == t.devices.end() ? std::string() : it->second;
}

std::string EnvironmentOverride(int n) {
    const std::string name = "ZORVEX_COM" + std::to_string(n);
    const char* v = std::getenv(name.c_str());
    return v ? std::string(v) : std::string();
}

std::string OverrideFor(int n) {
    std::string d = ProgramOverride(n);
    return d.empty() ? EnvironmentOverride(n) : d;
}

#ifndef _WIN32
struct Block {
    int first;
    const char* prefix;
};
constexpr Block BLOCKS[] = {{1, "/dev/ttyS"}, {33, "/dev/ttyUSB"}, {65, "/dev/ttyACM"}};
constexpr int BLOCK_SIZE = 32;

std::string FixedDevice(int n) {
    for (const Block& b : BLOCKS)
        if (n >= b.first && n < b.first + BLOCK_SIZE)
            return b.prefix + std::to_string(n - b.first);
    return {};
}

int FixedNumber(const std::string& device) {
    for (const Block& b : BLOCKS) {
        const std::string prefix = b.prefix;
        if (device.size() <= prefix.size() || device.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string digits = device.substr(prefix.size());
        if (digits.size() > 2 || digits.find_first_not_of("0123456789") != std::string::npos)
            continue;
        if (digits.size() == 2 && digits[0] == '0')
            continue;
        const int index = std::stoi(digits);
        if (index < BLOCK_SIZE)
            return b.first + index;
    }
    return 0;
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// Placeholder 8250 ports are listed by the kernel even when there is no hardware; their
// UART type is 0.
bool RealSerialPort(const std::string& name) {
    if (name.rfind("ttyS", 0) != 0)
        return true;
    std::ifstream type("/sys/class/tty/" + name + "/type");
    int t = 0;
    if (type >> t)
        return t != 0;
    return Exists("/sys/class/tty/" + name + "/device");
}
#endif

} // namespace

std::string ComPortDevice(int number) {
    if (!ValidNumber(number))
        return {};
    std::string d = OverrideFor(number);
    if (!d.empty())
        return d;
#ifdef _WIN32
    return "\\\\.\\COM" + std::to_string(number);
#else
    return FixedDevice(number);
#endif
}

int ComPortNumberForDevice(const std::string& device) {
    if (device.empty())
        return 0;
    for (int n = MIN_COM_PORT; n <= MAX_COM_PORT; ++n)
        if (OverrideFor(n) == device)
            return n;
#ifdef _WIN32
    const std::string prefix = "\\\\.\\COM";
    if (device.rfind(prefix, 0) == 0) {
        const int n = std::atoi(device.c_str() + prefix.size());
        return ValidNumber(n) ? n : 0;
    }
    return 0;
#else
    const int n = FixedNumber(device);
    // A fixed device hidden behind another number's override still maps to its own.
    return n;
#endif
}

bool SetComPortOverride(int number, const std::string& device) {
    if (!ValidNumber(number))
        return false;
    OverrideTable& t = Overrides();
    std::lock_guard lock(t.mutex);
    if (device.empty())
        t.devices.erase(number);
    else
        t.devices[number] = device;
    return true;
}

void ClearComPortOverrides() {
    OverrideTable& t = Overrides();
    std::lock_guard lock(t.mutex);
    t.devices.clear();
}

int FreeComPortNumber() {
    for (int n = 97; n <= MAX_COM_PORT; ++n)
        if (OverrideFor(n).empty())
            return n;
    return 0;
}

namespace {

#ifndef _WIN32
// The first line of a sysfs attribute file, without its line end; empty when missing.
std::string AttributeText(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}
#endif

std::vector<ComPortInfo> Enumerate(bool withMissing) {
    std::map<int, ComPortInfo> found;
#ifdef _WIN32
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) ==
        ERROR_SUCCESS) {
        for (DWORD i = 0;; ++i) {
            char name[256];
            DWORD nameLen = sizeof name;
            char data[256];
            DWORD dataLen = sizeof data - 1;
            DWORD type = 0;
            if (RegEnumValueA(key, i, name, &nameLen, nullptr, &type, reinterpret_cast<BYTE*>(data),
                              &dataLen) != ERROR_SUCCESS)
                break;
            if (type != REG_SZ)
                continue;
            data[dataLen] = 0;
            if (_strnicmp(data, "COM", 3) != 0)
                continue;
            const int n = std::atoi(data + 3);
            if (ValidNumber(n))
                found[n] = MakePort(n, "\\\\.\\COM" + std::to_string(n), false);
        }
        RegCloseKey(key);
    }
#else
    if (DIR* dir = ::opendir("/sys/class/tty")) {
        while (dirent* e = ::readdir(dir)) {
            const std::string name = e->d_name;
            const std::string device = "/dev/" + name;
            const int n = FixedNumber(device);
            if (n == 0 || !RealSerialPort(name) || !Exists(device))
                continue;
            found[n] = MakePort(n, device, false);
        }
        ::closedir(dir);
    }
    // Overrides from the environment.
    for (char** env = environ; env && *env; ++env) {
        const std::string entry = *env;
        const std::string prefix = "ZORVEX_COM";
        const size_t eq = entry.find('=');
        if (entry.rfind(prefix, 0) != 0 || eq == std::string::npos)
            continue;
        const std::string digits = entry.substr(prefix.size(), eq - prefix.size());
        if (digits.empty() || digits.size() > 3 ||
            digits.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const int n = std::stoi(digits);
        const std::string device = entry.substr(eq + 1);
        if (ValidNumber(n) && !device.empty() && ProgramOverride(n).empty())
            found[n] = MakePort(n, device, true);
    }
#endif
    {
        OverrideTable& t = Overrides();
        std::lock_guard lock(t.mutex);
        for (const auto& [n, device] : t.devices)
            found[n] = MakePort(n, device, true);
    }
    std::vector<ComPortInfo> result;
    for (auto& [n, info] : found) {
#ifndef _WIN32
        if (info.overridden && !Exists(info.device)) {
            if (!withMissing)
                continue;
            info.present = false;
        }
#endif
        result.push_back(info);
    }
#ifdef _WIN32
    (void)withMissing; // a COM name on Windows is present or not listed at all
#endif
    return result;
}

} // namespace

std::vector<ComPortInfo> EnumerateComPorts() {
    return Enumerate(false);
}

std::vector<ComPortInfo> DescribeComPorts() {
    std::vector<ComPortInfo> ports = Enumerate(true);
    for (ComPortInfo& port : ports)
        if (port.present)
            ReadComPortDetails(port);
    return ports;
}

void ReadComPortDetails(ComPortInfo& port, const std::filesystem::path& sysRoot,
                        const std::filesystem::path& byIdDir) {
#ifdef _WIN32
    (void)port;
    (void)sysRoot;
    (void)byIdDir;
#else
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path device = fs::canonical(port.device, ec);
    if (ec)
        return;
    const fs::path root = fs::canonical(sysRoot, ec);
    if (!ec) {
        fs::path dir = fs::canonical(root / "class" / "tty" / device.filename() / "device", ec);
        // Up from the tty's device to the USB device, without leaving the sysfs tree.
        while (!ec && dir != root && dir.has_relative_path() &&
               dir.string().rfind(root.string(), 0) == 0) {
            if (fs::exists(dir / "idVendor", ec)) {
                port.usbVendorId = AttributeText(dir / "idVendor");
                port.usbProductId = AttributeText(dir / "idProduct");
                port.usbManufacturer = AttributeText(dir / "manufacturer");
                port.usbProduct = AttributeText(dir / "product");
                port.usbSerial = AttributeText(dir / "serial");
                break;
            }
            dir = dir.parent_path();
        }
    }
    ec.clear();
    for (fs::directory_iterator it(byIdDir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code linkEc;
        if (fs::canonical(it->path(), linkEc) == device && !linkEc) {
            port.byIdPath = it->path().string();
            break;
        }
    }
#endif
}
