// Test support: a worker opened on a pseudo-terminal whose other end the test drives by
// hand, byte for byte. The worker's exchanges are called directly on the test thread.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <vector>

#include "link/ComPorts.h"
#include "link/ComThread.h"
#include "link/Framing.h"

class RawPtyLink : public ::testing::Test {
protected:
    void SetUp() override {
        char name[256] = {};
        termios tio{};
        cfmakeraw(&tio);
        ASSERT_EQ(::openpty(&master, &slave, name, &tio, nullptr), 0);
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
        port = FreeComPortNumber();
        ASSERT_TRUE(SetComPortOverride(port, name));
        ASSERT_TRUE(worker.OpenPort(port)) << worker.LastOpenError();
        worker.ResetReceiver();
    }
    void TearDown() override {
        worker.ClosePort();
        SetComPortOverride(port, "");
        ::close(master);
        ::close(slave);
    }

    // Puts bytes on the line towards the worker.
    void Send(const std::vector<uint8_t>& bytes) {
        ASSERT_EQ(::write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // Queues a reply packet as one frame.
    void Reply(const std::vector<uint8_t>& packet) { Send(Frame(packet)); }

    static std::vector<uint8_t> Frame(const std::vector<uint8_t>& packet) {
        std::vector<uint8_t> f(MAX_FRAME);
        f.resize(EncodeFrame(packet.data(), packet.size(), f.data(), f.size()));
        return f;
    }

    // The request packets the worker has sent so far.
    std::vector<std::vector<uint8_t>> Requests() {
        uint8_t buf[4096];
        for (;;) {
            const ssize_t n = ::read(master, buf, sizeof buf);
            if (n <= 0)
                break;
            for (ssize_t i = 0; i < n; ++i)
                if (collector.Push(buf[i]) == FrameCollector::Result::Complete) {
                    uint8_t p[MAX_PACKET];
                    size_t len = 0;
                    EXPECT_TRUE(DecodeFrameBody(collector.Body(), collector.BodyLength(), p,
                                                sizeof p, len));
                    requests.emplace_back(p, p + len);
                }
        }
        return requests;
    }

    // Addresses of the read or write requests sent so far.
    std::vector<int> Addresses() {
        std::vector<int> a;
        for (const auto& r : Requests())
            if (r.size() >= 4 && (r[0] == 0x02 || r[0] == 0x03))
                a.push_back(r[2] | (r[3] << 8));
        return a;
    }

    int master = -1, slave = -1;
    int port = 0;
    ComThread worker;
    FrameCollector collector;
    std::vector<std::vector<uint8_t>> requests;
};
