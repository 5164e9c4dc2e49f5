#include "link/SerialPort.h"

#include <gtest/gtest.h>

#include <cstring>

#include <pty.h>
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

TEST(SerialPort, SecondOpenOfAnOpenPortSaysItIsBusy) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "exclusive access does not bind the superuser";
    Pty pty;
    SerialPort first, second;
    ASSERT_TRUE(first.Open(pty.name)) << first.LastOpenError();
    EXPECT_FALSE(second.Open(pty.name));
    EXPECT_NE(second.LastOpenError().find("in use"), std::string::npos) << second.LastOpenError();
}
