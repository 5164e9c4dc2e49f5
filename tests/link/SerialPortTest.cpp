#include "link/SerialPort.h"

#include <gtest/gtest.h>

#include <cstring>

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
