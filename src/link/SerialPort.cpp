#include "link/SerialPort.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>
#endif

#ifdef _WIN32

static_assert(sizeof(DCB) <= 128, "DCB storage too small");

namespace {
DCB& Dcb(unsigned char* storage) {
    return *reinterpret_cast<DCB*>(storage);
}

PortOpenFailure WinOpenFailure(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return PortOpenFailure::Absent;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return PortOpenFailure::InUse;
    default:
        return PortOpenFailure::Other;
    }
}

std::string WinErrorText(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "the port does not exist (is the adapter plugged in?)";
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return "the port is in use by another program";
    default:
        return "system error " + std::to_string(code);
    }
}

// Serial drivers refuse a second open of a port, but not every Windows layer does (Wine's
// serial ports open any number of times). A named mutex per device, held while the port is
// open, makes every handle of this program refuse a port that another one holds; the system
// releases it when its holder ends, however it ends.
void* TakePortGuard(const std::string& device) {
    std::string name = "Global\\Zorvex_Prog.port.";
    for (char c : device)
        name += c == '\\' ? '/' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    HANDLE guard = CreateMutexA(nullptr, FALSE, name.c_str());
    if (guard == nullptr)
        return nullptr;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(guard);
        SetLastError(ERROR_SHARING_VIOLATION);
        return nullptr;
    }
    return guard;
}
} // namespace

SerialPort::SerialPort() {
    std::memset(dcb_, 0, sizeof dcb_);
}
SerialPort::~SerialPort() {
    Close();
}

bool SerialPort::IsOpen() const {
    return handle_ != nullptr;
}

bool SerialPort::Open(const std::string& device, uint32_t baud) {
    lastOpenError_.clear();
    lastOpenFailure_ = PortOpenReason{};
    if (IsOpen()) {
        lastOpenError_ = "the port object is already open";
        lastOpenFailure_.failure = PortOpenFailure::Other;
        return false;
    }
    if (device.empty()) {
        lastOpenError_ = "no device stands behind this port number";
        lastOpenFailure_.failure = PortOpenFailure::NoDevice;
        return false;
    }
    HANDLE h = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_NO_BUFFERING, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        lastOpenError_ = device + ": " + WinErrorText(code);
        lastOpenFailure_.failure = WinOpenFailure(code);
        return false;
    }
    void* guard = TakePortGuard(device);
    if (guard == nullptr) {
        lastOpenError_ = device + ": " + WinErrorText(GetLastError());
        lastOpenFailure_.failure = PortOpenFailure::InUse;
        CloseHandle(h);
        return false;
    }
    auto release = [&] {
        CloseHandle(h);
        CloseHandle(static_cast<HANDLE>(guard));
    };
    // From here on a failure is one of configuring the port.
    lastOpenFailure_.failure = PortOpenFailure::Other;
    DCB& dcb = Dcb(dcb_);
    std::memset(&dcb, 0, sizeof dcb);
    dcb.DCBlength = sizeof dcb;
    COMMTIMEOUTS timeouts{};
    if (!GetCommState(h, &dcb) || !GetCommTimeouts(h, &timeouts)) {
        lastOpenError_ = device + ": cannot read the port state: " + WinErrorText(GetLastError());
        release();
        return false;
    }
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = 0;
    dcb.BaudRate = baud;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    if (!SetCommTimeouts(h, &timeouts) || !SetCommState(h, &dcb)) {
        lastOpenError_ = device + ": cannot configure the port: " + WinErrorText(GetLastError());
        release();
        return false;
    }
    // Bytes left over from an earlier operation would be taken for this one's first reply.
    PurgeComm(h, PURGE_RXCLEAR);
    handle_ = h;
    guard_ = guard;
    speed_ = baud;
    device_ = device;
    lastOpenFailure_ = PortOpenReason{};
    return true;
}

void SerialPort::FlushInput() {
    if (handle_)
        PurgeComm(static_cast<HANDLE>(handle_), PURGE_RXCLEAR);
}

bool SerialPort::Drain() {
    return handle_ != nullptr;
}

void SerialPort::Close() {
    if (handle_) {
        CloseHandle(static_cast<HANDLE>(handle_));
        handle_ = nullptr;
    }
    if (guard_) {
        CloseHandle(static_cast<HANDLE>(guard_));
        guard_ = nullptr;
    }
    speed_ = 0;
    device_.clear();
}

bool SerialPort::ApplySpeed(uint32_t baud) {
    if (!handle_)
        return false;
    DCB& dcb = Dcb(dcb_);
    dcb.BaudRate = baud;
    if (!SetCommState(static_cast<HANDLE>(handle_), &dcb))
        return false;
    speed_ = baud;
    return true;
}

long SerialPort::Read(uint8_t* buffer, size_t cap) {
    if (!handle_)
        return -1;
    DWORD got = 0;
    if (!ReadFile(static_cast<HANDLE>(handle_), buffer, static_cast<DWORD>(cap), &got, nullptr))
        return -1;
    return static_cast<long>(got);
}

bool SerialPort::WaitReadable(int timeoutMs) {
    // Synchronous handles cannot be waited on here: sleep the pause, then read.
    Sleep(static_cast<DWORD>(timeoutMs));
    return true;
}

long SerialPort::Write(const uint8_t* data, size_t n) {
    if (!handle_)
        return -1;
    DWORD put = 0;
    if (!WriteFile(static_cast<HANDLE>(handle_), data, static_cast<DWORD>(n), &put, nullptr))
        return -1;
    return static_cast<long>(put);
}

#else // POSIX

namespace {

speed_t SpeedConstant(uint32_t baud) {
    switch (baud) {
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    default:
        return 0;
    }
}

bool ModemLinesUnsupported(int err) {
    return err == ENOTTY || err == EINVAL;
}

// The name the kernel gives the device (the target of a /dev/serial/by-id link), for the
// udev rule of the hint.
std::string KernelName(const std::string& device) {
    std::string path = device;
    if (char* real = ::realpath(device.c_str(), nullptr)) {
        path = real;
        std::free(real);
    }
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Says who may open the device and what the user can do about it. Joining the superuser's
// group is never the advice: a device only root may use wants a udev rule instead.
std::string PermissionHint(const std::string& device, PortOpenReason& reason) {
    std::string hint = "no permission to open " + device;
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0)
        return hint + "; on most systems the user must be a member of the 'dialout' group";
    const bool groupMay = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    const group* g = ::getgrgid(st.st_gid);
    if (groupMay && st.st_gid != 0 && g != nullptr) {
        reason.group = g->gr_name;
        return hint + "; the group '" + reason.group +
               "' may read and write it: add the user to that group (sudo usermod -aG " +
               reason.group + " $USER) and log in again";
    }
    reason.ownerOnly = true;
    const passwd* owner = ::getpwuid(st.st_uid);
    const std::string ownerName = owner ? owner->pw_name : "uid " + std::to_string(st.st_uid);
    return hint + "; only its owner (" + ownerName + ")" +
           (groupMay && st.st_gid == 0 ? " and the group 'root'" : "") +
           " may read and write it: give the device to the 'dialout' group with a udev rule "
           "(a file /etc/udev/rules.d/50-zorvex-serial.rules holding KERNEL==\"" +
           KernelName(device) +
           "\", GROUP=\"dialout\", MODE=\"0660\"), add the user to that group (sudo "
           "usermod -aG dialout $USER) and log in again";
}

std::string OpenErrorText(const std::string& device, int err, PortOpenReason& reason) {
    switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        reason.failure = PortOpenFailure::Absent;
        return device + ": the port does not exist (is the adapter plugged in?)";
    case EACCES:
    case EPERM:
        reason.failure = PortOpenFailure::NoPermission;
        return PermissionHint(device, reason);
    case EBUSY:
        reason.failure = PortOpenFailure::InUse;
        return device + ": the port is in use by another program";
    default:
        reason.failure = PortOpenFailure::Other;
        return device + ": " + std::strerror(err);
    }
}

// Unix98 pseudo-terminal slaves (/dev/pts/N).
bool IsPseudoTerminal(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    const unsigned m = major(st.st_rdev);
    return m >= 136 && m <= 143;
}

} // namespace

SerialPort::SerialPort() = default;
SerialPort::~SerialPort() {
    Close();
}

bool SerialPort::IsOpen() const {
    return fd_ >= 0;
}

bool SerialPort::Open(const std::string& device, uint32_t baud) {
    lastOpenError_.clear();
    lastOpenFailure_ = PortOpenReason{};
    if (IsOpen()) {
        lastOpenError_ = "the port object is already open";
        lastOpenFailure_.failure = PortOpenFailure::Other;
        return false;
    }
    if (device.empty()) {
        lastOpenError_ = "no device stands behind this port number";
        lastOpenFailure_.failure = PortOpenFailure::NoDevice;
        return false;
    }
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        lastOpenError_ = OpenErrorText(device, errno, lastOpenFailure_);
        return false;
    }
    lastOpenFailure_.failure = PortOpenFailure::Other;
    auto fail = [&](const char* what) {
        lastOpenError_ = device + ": " + what + ": " + std::strerror(errno);
        ::close(fd);
        return false;
    };
    if (!::isatty(fd)) {
        errno = ENOTTY;
        return fail("not a serial device");
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK)
            return fail("cannot lock the port");
        lastOpenError_ = device + ": the port is in use by another program";
        lastOpenFailure_.failure = PortOpenFailure::InUse;
        ::close(fd);
        return false;
    }
    if (!IsPseudoTerminal(fd) && ::ioctl(fd, TIOCEXCL) != 0)
        return fail("cannot take the port for exclusive use");
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0)
        return fail("cannot read the port state");
    const speed_t sp = SpeedConstant(baud);
    if (sp == 0) {
        errno = EINVAL;
        return fail("unsupported speed");
    }
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~(PARENB | CSIZE | CRTSCTS);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, sp);
    ::cfsetospeed(&tio, sp);
    if (::tcsetattr(fd, TCSANOW, &tio) != 0)
        return fail("cannot configure the port");
    int lines = TIOCM_DTR | TIOCM_RTS;
    if (::ioctl(fd, TIOCMBIS, &lines) != 0 && !ModemLinesUnsupported(errno))
        return fail("cannot raise DTR and RTS");
    // Bytes left over from an earlier operation (a reply still arriving when that one was
    // closed) would be taken for the answer to this operation's first request.
    ::tcflush(fd, TCIFLUSH);
    fd_ = fd;
    speed_ = baud;
    device_ = device;
    lastOpenFailure_ = PortOpenReason{};
    return true;
}

void SerialPort::FlushInput() {
    if (fd_ >= 0)
        ::tcflush(fd_, TCIFLUSH);
}

bool SerialPort::Drain() {
    if (fd_ < 0)
        return false;
    while (::tcdrain(fd_) != 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

void SerialPort::Close() {
    if (fd_ >= 0) {
        // A terminal kept open elsewhere (a pseudo-terminal's server) would otherwise stay
        // exclusive and refuse the next open.
        ::ioctl(fd_, TIOCNXCL);
        ::close(fd_);
        fd_ = -1;
    }
    speed_ = 0;
    device_.clear();
}

bool SerialPort::ApplySpeed(uint32_t baud) {
    if (fd_ < 0)
        return false;
    const speed_t sp = SpeedConstant(baud);
    termios tio{};
    if (sp == 0 || ::tcgetattr(fd_, &tio) != 0)
        return false;
    ::cfsetispeed(&tio, sp);
    ::cfsetospeed(&tio, sp);
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0)
        return false;
    speed_ = baud;
    return true;
}

long SerialPort::Read(uint8_t* buffer, size_t cap) {
    if (fd_ < 0)
        return -1;
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, cap);
        if (n >= 0)
            return static_cast<long>(n);
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return 0;
        // The far end of a pseudo-terminal has gone: nothing arrives.
        if (errno == EIO)
            return 0;
        return -1;
    }
}

bool SerialPort::WaitReadable(int timeoutMs) {
    if (fd_ < 0)
        return false;
    pollfd p{fd_, POLLIN, 0};
    for (;;) {
        const int r = ::poll(&p, 1, timeoutMs);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            return false;
        if (p.revents & POLLIN)
            return true;
        // Hang-up or error without data: wait out the pause so the caller does not spin.
        if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
            ::poll(nullptr, 0, timeoutMs);
            return false;
        }
        return false;
    }
}

long SerialPort::Write(const uint8_t* data, size_t n) {
    if (fd_ < 0)
        return -1;
    size_t done = 0;
    while (done < n) {
        const ssize_t w = ::write(fd_, data + done, n - done);
        if (w > 0) {
            done += static_cast<size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR)
            continue;
        if (w < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{fd_, POLLOUT, 0};
            if (::poll(&p, 1, 1000) <= 0)
                break;
            continue;
        }
        break;
    }
    return done == 0 && n > 0 ? -1 : static_cast<long>(done);
}

#endif

bool SerialPort::SetSpeed(uint32_t baud) {
    return ApplySpeed(baud);
}

void SerialPort::DiscardUntilQuiet(int quietMs, int limitMs) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto limit = start + std::chrono::milliseconds(limitMs);
    const auto quiet = std::chrono::milliseconds(quietMs);
    auto lastData = start;
    uint8_t scrap[256];
    while (IsOpen()) {
        const long n = Read(scrap, sizeof scrap);
        const auto now = Clock::now();
        if (n < 0)
            break;
        if (n > 0) {
            lastData = now;
            if (now >= limit)
                break;
            continue;
        }
        if (now - lastData >= quiet || now >= limit)
            break;
        const auto left = std::min<Clock::duration>(quiet - (now - lastData), limit - now);
        WaitReadable(static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count()));
    }
    FlushInput();
}
