#include "sim/PtyRadio.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace {
using Clock = std::chrono::steady_clock;
// One byte at 9600 Bd: start bit, 8 data bits, stop bit.
constexpr auto BYTE_TIME = std::chrono::nanoseconds(10'000'000'000LL / 9600);
constexpr size_t PACE_CHUNK = 8;
constexpr auto BABBLE_PERIOD = std::chrono::milliseconds(60);
} // namespace

PtyRadio::PtyRadio(SimulatedRadio& radio, Pacing pacing) : radio_(radio), pacing_(pacing) {}

PtyRadio::~PtyRadio() {
    Stop();
}

#ifdef _WIN32

bool PtyRadio::Start() {
    error_ = "pseudo-terminals are not available on this system";
    return false;
}
void PtyRadio::Stop() {}
void PtyRadio::Serve() {}

#else

bool PtyRadio::Start() {
    if (running_.load()) {
        error_ = "already running";
        return false;
    }
    error_.clear();
    char name[256] = {};
    termios tio{};
    cfmakeraw(&tio);
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    if (::openpty(&master_, &slave_, name, &tio, nullptr) != 0) {
        error_ = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        master_ = slave_ = -1;
        return false;
    }
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    devicePath_ = name;
    stop_.store(false);
    running_.store(true);
    thread_ = std::thread([this] { Serve(); });
    return true;
}

void PtyRadio::Stop() {
    stop_.store(true);
    if (thread_.joinable())
        thread_.join();
    running_.store(false);
    if (master_ >= 0)
        ::close(master_);
    if (slave_ >= 0)
        ::close(slave_);
    master_ = slave_ = -1;
}

void PtyRadio::Serve() {
    uint8_t buffer[1024];
    std::vector<SimulatedRadio::Write> writes;
    Clock::time_point lineFree = Clock::now();

    // Sleeps until the deadline in short steps; false when told to stop.
    auto waitUntil = [this](Clock::time_point deadline) {
        while (!stop_.load()) {
            const auto now = Clock::now();
            if (now >= deadline)
                return true;
            const auto left = deadline - now;
            std::this_thread::sleep_for(
                std::min<Clock::duration>(left, std::chrono::milliseconds(20)));
        }
        return false;
    };
    auto writeAll = [this](const uint8_t* data, size_t n) {
        size_t done = 0;
        while (done < n && !stop_.load()) {
            const ssize_t w = ::write(master_, data + done, n - done);
            if (w > 0) {
                done += static_cast<size_t>(w);
            } else if (w < 0 && (errno == EAGAIN || errno == EINTR)) {
                pollfd p{master_, POLLOUT, 0};
                ::poll(&p, 1, 20);
            } else {
                return;
            }
        }
    };

    Clock::time_point nextBabble = Clock::now();
    while (!stop_.load()) {
        // A babbling device talks whether it is asked or not: a line every BABBLE_PERIOD.
        const bool babble = radio_.Faults().babble;
        if (babble && Clock::now() >= nextBabble) {
            const std::string line = radio_.NextBabbleLine();
            writeAll(reinterpret_cast<const uint8_t*>(line.data()), line.size());
            nextBabble = Clock::now() + BABBLE_PERIOD;
        }
        pollfd p{master_, POLLIN, 0};
        const int r = ::poll(&p, 1, babble ? 5 : 20);
        if (r <= 0 || !(p.revents & POLLIN))
            continue;
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0)
            continue;
        const bool paced = pacing_.load() == Pacing::Line9600;
        if (paced) {
            // The request occupies the line for its bytes' time.
            lineFree = std::max(lineFree, Clock::now()) + BYTE_TIME * n;
        }
        writes.clear();
        radio_.Receive(buffer, static_cast<size_t>(n), writes);
        for (const auto& w : writes) {
            if (w.pauseMs > 0) {
                // Counted from the moment the request (or the part before) has fully
                // arrived, as a radio on a real line would.
                const auto from = paced ? std::max(lineFree, Clock::now()) : Clock::now();
                const auto until = from + std::chrono::milliseconds(w.pauseMs);
                if (!waitUntil(until))
                    return;
                lineFree = std::max(lineFree, until);
            }
            if (!paced) {
                writeAll(w.bytes.data(), w.bytes.size());
                continue;
            }
            lineFree = std::max(lineFree, Clock::now());
            for (size_t at = 0; at < w.bytes.size(); at += PACE_CHUNK) {
                const size_t len = std::min(PACE_CHUNK, w.bytes.size() - at);
                lineFree += BYTE_TIME * len;
                if (!waitUntil(lineFree))
                    return;
                writeAll(w.bytes.data() + at, len);
            }
        }
    }
}

#endif
