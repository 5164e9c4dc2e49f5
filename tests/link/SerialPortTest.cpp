#include "link/SerialPort.h"

#include <gtest/gtest.h>

#include <cstring>

#include <csignal>

#include <grp.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {
struct Pty {
    Pty() { EXPECT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0); }
    ~Pty() {
        ::close(master);
        ::close(slave);
    }
    int master = -1, slave = -1;
    char name[256] = {};
};
} // namespace

TEST(SerialPort, OpensAPseudoTerminalRawAndChangesSpeed) {
    Pty pty;
    SerialPort port;
    ASSERT_TRUE(port.Open(pty.name)) << port.LastOpenError();
    EXPECT_EQ(port.Speed(), 9600u);
    termios tio{};
    ASSERT_EQ(::tcgetattr(pty.slave, &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), B9600);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CRTSCTS), 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO), 0u);

    uint8_t buf[8];
    EXPECT_EQ(port.Read(buf, sizeof buf), 0) << "returns at once with nothing";
    const uint8_t bytes[] = {0x11, 0x13, 0x0D, 0x0A, 0x03}; // XON, XOFF, CR, LF, ^C: raw
    ASSERT_EQ(::write(pty.master, bytes, sizeof bytes), 5);
    EXPECT_TRUE(port.WaitReadable(1000));
    EXPECT_EQ(port.Read(buf, sizeof buf), 5);
    EXPECT_EQ(0, std::memcmp(buf, bytes, 5));

    ASSERT_TRUE(port.SetSpeed(115200));
    ASSERT_EQ(::tcgetattr(pty.slave, &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), B115200);
    EXPECT_FALSE(port.Open(pty.name)) << "one device per port object";
}

// Exclusive use binds ordinary users only, so the check runs as one: in a child process
// that gives up the superuser's rights when the test has them.
TEST(SerialPort, PortIsExclusiveWhileOpenAndFreeAgainAfterClose) {
    Pty pty;
    ASSERT_EQ(::chmod(pty.name, 0666), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(10);
        SerialPort first, second, third;
        if (!first.Open(pty.name))
            ::_exit(11);
        if (second.Open(pty.name))
            ::_exit(12);
        if (second.LastOpenError().find("in use") == std::string::npos)
            ::_exit(13);
        first.Close();
        ::_exit(third.Open(pty.name) ? 0 : 14);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    // 11: first open failed, 12: second open succeeded, 13: no "in use" in the message,
    // 14: the port stayed locked after closing.
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(SerialPort, RefusedPermissionNamesTheGroupToJoin) {
    Pty pty;
    ASSERT_EQ(::chmod(pty.name, 0660), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(10);
        SerialPort port;
        if (port.Open(pty.name))
            ::_exit(11);
        const std::string& why = port.LastOpenError();
        ::_exit(why.find("no permission") != std::string::npos &&
                        why.find("usermod -aG") != std::string::npos
                    ? 0
                    : 12);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "11: opened anyway, 12: message without the remedy";
}

// The advisory lock binds the superuser too: a second opener is refused as "in use" even
// when the terminal's exclusive mode would let it through.
TEST(SerialPort, SecondOpenerIsRefusedAsInUseForEveryUser) {
    Pty pty;
    SerialPort first, second, third;
    ASSERT_TRUE(first.Open(pty.name)) << first.LastOpenError();
    EXPECT_FALSE(second.Open(pty.name)) << "opened twice as uid " << ::geteuid();
    EXPECT_NE(second.LastOpenError().find("in use"), std::string::npos) << second.LastOpenError();
    EXPECT_EQ(second.LastOpenFailure().failure, PortOpenFailure::InUse);
    first.Close();
    EXPECT_TRUE(third.Open(pty.name)) << third.LastOpenError();
    EXPECT_EQ(third.LastOpenFailure().failure, PortOpenFailure::None);
}

// A program killed while it holds the port (no Close) must not leave the pseudo-terminal
// shut for the ordinary users that come after it, while the other end stays open.
TEST(SerialPort, PortOfAKilledHolderOpensForTheNextOrdinaryUser) {
    Pty pty;
    ASSERT_EQ(::chmod(pty.name, 0666), 0);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        SerialPort port;
        const char ok = port.Open(pty.name) ? 'y' : 'n';
        (void)!::write(ready[1], &ok, 1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ::close(ready[0]);
    ::kill(holder, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(holder, &status, 0), holder);
    ASSERT_EQ(ok, 'y') << "the holder could not open the port";

    const pid_t next = ::fork();
    ASSERT_GE(next, 0);
    if (next == 0) {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(10);
        SerialPort port;
        ::_exit(port.Open(pty.name) ? 0 : 11);
    }
    ASSERT_EQ(::waitpid(next, &status, 0), next);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "11: the port stayed shut after its holder died";
}

namespace {
// What an ordinary user (uid 65534, no groups) is told when opening the device.
struct Refusal {
    bool opened = false;
    PortOpenReason reason;
    std::string message;
};

Refusal OpenAsNobody(const char* device) {
    int out[2];
    if (::pipe(out) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(out[0]);
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(10);
        SerialPort port;
        const bool opened = port.Open(device);
        const PortOpenReason& r = port.LastOpenFailure();
        const std::string text = std::string(opened ? "1" : "0") +
                                 static_cast<char>('0' + static_cast<int>(r.failure)) +
                                 (r.ownerOnly ? "1" : "0") + r.group + "\n" + port.LastOpenError();
        (void)!::write(out[1], text.data(), text.size());
        ::_exit(0);
    }
    ::close(out[1]);
    std::string text;
    char buf[512];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;)
        text.append(buf, static_cast<size_t>(n));
    ::close(out[0]);
    ::waitpid(child, nullptr, 0);
    Refusal r;
    if (text.size() < 3)
        return r;
    r.opened = text[0] == '1';
    r.reason.failure = static_cast<PortOpenFailure>(text[1] - '0');
    r.reason.ownerOnly = text[2] == '1';
    const size_t nl = text.find('\n');
    r.reason.group = text.substr(3, nl - 3);
    r.message = text.substr(nl + 1);
    return r;
}
} // namespace

// The hint names the group that really may use the device, and never the superuser's: a
// device only its owner may open needs a udev rule and the 'dialout' group.
TEST(SerialPort, RefusedPermissionSaysWhoMayUseTheDevice) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "changing a device's owner needs the superuser";
    const group* dialout = ::getgrnam("dialout");
    if (dialout == nullptr)
        GTEST_SKIP() << "no dialout group here";
    const gid_t dialoutGid = dialout->gr_gid;
    const struct {
        const char* name;
        mode_t mode;
        gid_t gid;
        const char* group; // the group to join, or "" for owner only
    } cases[] = {
        {"group dialout may read and write", 0660, dialoutGid, "dialout"},
        {"owner only", 0600, 0, ""},
        {"group root may read and write", 0660, 0, ""},
        {"group dialout may only read", 0640, dialoutGid, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Pty pty;
        ASSERT_EQ(::chown(pty.name, 0, c.gid), 0);
        ASSERT_EQ(::chmod(pty.name, c.mode), 0);
        const Refusal r = OpenAsNobody(pty.name);
        ASSERT_FALSE(r.opened);
        EXPECT_EQ(r.reason.failure, PortOpenFailure::NoPermission);
        EXPECT_EQ(r.reason.group, c.group);
        EXPECT_EQ(r.reason.ownerOnly, *c.group == '\0');
        EXPECT_EQ(r.message.find("-aG root"), std::string::npos) << r.message;
        if (*c.group) {
            EXPECT_NE(r.message.find("usermod -aG dialout"), std::string::npos) << r.message;
            EXPECT_EQ(r.message.find("udev"), std::string::npos) << r.message;
        } else {
            EXPECT_NE(r.message.find("only its owner (root)"), std::string::npos) << r.message;
            EXPECT_NE(r.message.find("udev rule"), std::string::npos) << r.message;
            EXPECT_NE(r.message.find("GROUP=\"dialout\""), std::string::npos) << r.message;
        }
    }
}
