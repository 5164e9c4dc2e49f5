// zorvex-radio-sim: a simulated radio station on a pseudo-terminal.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "link/ComPorts.h"
#include "model/Cp1251.h"
#include "sim/PtyRadio.h"
#include "sim/SimulatedRadio.h"

namespace {

const char* HELP = R"(Usage: zorvex-radio-sim [options]

A simulated radio station for Zorvex Prog. It opens a pseudo-terminal, prints its
device path on the first line of the output, and answers the programmer on it exactly
as a radio answers on its serial cable: identification, reading and writing the channel
tables and the settings table. Use it to try the program, to rehearse a session, or to
see how the program copes with a poor cable, without a radio at hand.

To reach it from the programmer, either give the path directly
    zorvex-cli info --device /dev/pts/5
or put it behind a COM port number, for the program and its port dialog:
    ZORVEX_COM97=/dev/pts/5 zorvex-prog
Stop it with Ctrl+C.

Identity (what the radio reports about itself):
  --programmer ID      programmer identifier the radio requires (default ZVP01, the one
                       this program accepts; ZVP02 is accepted only after the hidden
                       second-type switch)
  --type TEXT          radio type (default "Simulated")
  --serial N|none      serial number (default 170001)
  --count N            programming count the radio reports (default 0; a written settings
                       table sets it)
  --firmware TEXT      firmware version text (default 2.14)
  --comment TEXT       comment shown in the information page
  --channels 1.0|2.0   version of channel table 0-99 (default 2.0)
  --channels2 VER|none version of channel table 100-199, or none for a radio without
                       it (default 2.0)
  --settings 1.0..1.3  version of the settings table (default 1.3)
  --no-block2          the radio has no information block 2 (no options, no long comment)
  --step HZ            channel step in hertz (default 12500)
  --range LOW-HIGH     a frequency range in MHz for receive and transmit, up to four
                       times (default 33-48.5); limits must be whole channel steps
  --power P0,P1,P2,P3  transmit power levels in watts (default 1,5,10,25)
  --options HEX        the 32 option bytes as 64 hexadecimal digits

Memory:
  --state FILE         keep the radio's tables in FILE between runs: loaded at start if
                       it exists, saved after every table written and at exit

Line:
  --pace real|instant  real: as slow as a 9600-baud cable (default); instant: as fast as
                       possible
  --link PATH          also create PATH as a symbolic link to the terminal

Faults (to see how the programmer copes):
  --echo               repeat every request before answering, like some adapters do
  --noise N            send N garbage bytes before every reply
  --split N[:MS]       write every reply in N pieces with MS milliseconds between them
                       (default 100)
  --only info|read|write   apply the counted faults below only to that kind of request
  --after N            let N replies through before the counted faults begin
  --drop N             do not answer N requests
  --corrupt N          send N replies with a wrong frame check sequence
  --error CODE[:N]     answer N requests (default 1) with radio error CODE: 0 unknown
                       command, 1 checksum, 2 not available, 3 data, 4 command sequence,
                       5 compatibility
  --wrong-address N    answer N requests for the wrong block
  --truncate N         cut N reply frames short and then send them whole
  --dead               never answer at all
  --reply-delay MS     answer MS milliseconds after a request has fully arrived, like a
                       radio writing its flash memory (default 0)
  --babble             be another device on the port (a GPS receiver): never answer,
                       send lines of text for ever
  --alter-write N      accept N written tables but store each with one byte changed (and
                       a checksum that fits), as a radio with failing memory would
  --die-after-writes N answer N write pieces, then fall silent for good (a pulled cable)
  --verbose            report every request as it arrives and what the radio did
  -h, --help           this text
  -V, --version        print the program's name and version
)";

std::atomic<bool> g_stop{false};

void OnSignal(int) {
    g_stop.store(true);
}

bool ParseVersion(const std::string& text, uint16_t& out, bool allowNone) {
    if (allowNone && text == "none") {
        out = 0;
        return true;
    }
    unsigned major = 0, minor = 0;
    char dot = 0;
    if (std::sscanf(text.c_str(), "%u%c%u", &major, &dot, &minor) != 3 || dot != '.' ||
        major > 255 || minor > 255)
        return false;
    out = static_cast<uint16_t>(major << 8 | minor);
    return true;
}

bool ParseUnsigned(const std::string& text, unsigned long& out) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    errno = 0;
    out = std::strtoul(text.c_str(), nullptr, 10);
    return errno == 0;
}

bool ParseMhz(const std::string& text, uint32_t& hz) {
    char* end = nullptr;
    const double mhz = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end || mhz <= 0 || mhz > 4000)
        return false;
    hz = static_cast<uint32_t>(mhz * 1e6 + 0.5);
    return true;
}

int Fail(const std::string& message) {
    std::cerr << "zorvex-radio-sim: " << message << "\n(see zorvex-radio-sim --help)\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    RadioIdentity id;
    RadioFaults faults;
    Pacing pacing = Pacing::Line9600;
    std::string statePath, linkPath;
    bool verbose = false;
    std::vector<std::pair<uint32_t, uint32_t>> ranges;
    unsigned long step = id.step;

    std::vector<std::string> args(argv + 1, argv + argc);
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size())
                return false;
            out = args[++i];
            return true;
        };
        auto count = [&](int& out) {
            std::string v;
            unsigned long n = 0;
            if (!value(v) || !ParseUnsigned(v, n) || n > 1000000)
                return false;
            out = static_cast<int>(n);
            return true;
        };
        std::string v;
        unsigned long n = 0;
        if (a == "--help" || a == "-h") {
            std::cout << HELP;
            return 0;
        } else if (a == "--version" || a == "-V") {
            std::cout << "zorvex-radio-sim " ZORVEX_VERSION "\n";
            return 0;
        } else if (a == "--programmer") {
            if (!value(v) || v.size() > 5)
                return Fail("--programmer needs an identifier of up to 5 characters");
            id.programmerId = Utf8ToCp1251(v);
        } else if (a == "--type") {
            if (!value(v))
                return Fail("--type needs a text");
            id.radioType = Utf8ToCp1251(v);
        } else if (a == "--firmware") {
            if (!value(v))
                return Fail("--firmware needs a text");
            id.firmwareVersion = Utf8ToCp1251(v);
        } else if (a == "--comment") {
            if (!value(v))
                return Fail("--comment needs a text");
            id.comment = Utf8ToCp1251(v);
            id.longComment.clear();
        } else if (a == "--serial") {
            if (!value(v))
                return Fail("--serial needs a number or none");
            if (v == "none")
                id.serialNumber = 0xFFFFFFFF;
            else if (!ParseUnsigned(v, n) || n >= 0xFFFFFFFFul)
                return Fail("--serial: not a serial number: " + v);
            else
                id.serialNumber = static_cast<uint32_t>(n);
        } else if (a == "--count") {
            if (!value(v) || !ParseUnsigned(v, n) || n > 0xFFFFFFFFul)
                return Fail("--count needs a number");
            id.programmingCount = static_cast<uint32_t>(n);
        } else if (a == "--channels") {
            if (!value(v) || !ParseVersion(v, id.channelsVersion, false))
                return Fail("--channels needs a version such as 2.0");
        } else if (a == "--channels2") {
            if (!value(v) || !ParseVersion(v, id.channels2Version, true))
                return Fail("--channels2 needs a version such as 2.0, or none");
        } else if (a == "--settings") {
            if (!value(v) || !ParseVersion(v, id.settingsVersion, false))
                return Fail("--settings needs a version such as 1.3");
        } else if (a == "--no-block2") {
            id.hasBlock2 = false;
        } else if (a == "--step") {
            if (!value(v) || !ParseUnsigned(v, step) || step == 0 || step > 65535)
                return Fail("--step needs a step in hertz (1..65535)");
        } else if (a == "--range") {
            const size_t dash = value(v) ? v.find('-') : std::string::npos;
            uint32_t low = 0, high = 0;
            if (dash == std::string::npos || !ParseMhz(v.substr(0, dash), low) ||
                !ParseMhz(v.substr(dash + 1), high) || low >= high)
                return Fail("--range needs LOW-HIGH in MHz, for example 33-48.5");
            if (ranges.size() == 4)
                return Fail("--range: at most four ranges");
            ranges.emplace_back(low, high);
        } else if (a == "--power") {
            unsigned p[4];
            if (!value(v) || std::sscanf(v.c_str(), "%u,%u,%u,%u", &p[0], &p[1], &p[2], &p[3]) != 4)
                return Fail("--power needs four wattages, for example 1,5,10,25");
            for (int k = 0; k < 4; ++k) {
                if (p[k] > 255)
                    return Fail("--power: at most 255 W");
                id.powerW[k] = static_cast<uint8_t>(p[k]);
            }
        } else if (a == "--options") {
            if (!value(v) || v.size() != 64 ||
                v.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                return Fail("--options needs 64 hexadecimal digits");
            for (int k = 0; k < 32; ++k)
                id.options[k] = static_cast<uint8_t>(std::stoul(v.substr(2 * k, 2), nullptr, 16));
        } else if (a == "--state") {
            if (!value(statePath))
                return Fail("--state needs a file name");
        } else if (a == "--pace") {
            if (!value(v) || (v != "real" && v != "instant"))
                return Fail("--pace needs real or instant");
            pacing = v == "real" ? Pacing::Line9600 : Pacing::Instant;
        } else if (a == "--link") {
            if (!value(linkPath))
                return Fail("--link needs a path");
        } else if (a == "--echo") {
            faults.echo = true;
        } else if (a == "--noise") {
            int k = 0;
            if (!count(k))
                return Fail("--noise needs a number of bytes");
            faults.noiseBytes = static_cast<size_t>(k);
        } else if (a == "--split") {
            unsigned parts = 0, pause = 100;
            if (!value(v) || std::sscanf(v.c_str(), "%u:%u", &parts, &pause) < 1 || parts < 1 ||
                parts > 64 || pause > 5000)
                return Fail("--split needs N[:MS], for example 3:200");
            faults.splitParts = static_cast<int>(parts);
            faults.splitPauseMs = static_cast<int>(pause);
        } else if (a == "--only") {
            if (!value(v))
                return Fail("--only needs info, read or write");
            if (v == "info")
                faults.only = RadioFaults::Only::Info;
            else if (v == "read")
                faults.only = RadioFaults::Only::Read;
            else if (v == "write")
                faults.only = RadioFaults::Only::Write;
            else
                return Fail("--only needs info, read or write");
        } else if (a == "--after") {
            if (!count(faults.skipReplies))
                return Fail("--after needs a number of replies");
        } else if (a == "--drop") {
            if (!count(faults.dropReplies))
                return Fail("--drop needs a number of replies");
        } else if (a == "--corrupt") {
            if (!count(faults.corruptFcs))
                return Fail("--corrupt needs a number of replies");
        } else if (a == "--wrong-address") {
            if (!count(faults.wrongAddress))
                return Fail("--wrong-address needs a number of replies");
        } else if (a == "--truncate") {
            if (!count(faults.truncateFrames))
                return Fail("--truncate needs a number of replies");
        } else if (a == "--error") {
            unsigned code = 0, times = 1;
            if (!value(v) || std::sscanf(v.c_str(), "%u:%u", &code, &times) < 1 || code > 255)
                return Fail("--error needs CODE[:N], for example 3 or 4:2");
            faults.errorCode = static_cast<int>(code);
            faults.errorReplies = static_cast<int>(times);
        } else if (a == "--dead") {
            faults.dead = true;
        } else if (a == "--reply-delay") {
            if (!count(faults.replyDelayMs) || faults.replyDelayMs > 60000)
                return Fail("--reply-delay needs milliseconds (0..60000)");
        } else if (a == "--babble") {
            faults.babble = true;
        } else if (a == "--alter-write") {
            if (!count(faults.alterWrites))
                return Fail("--alter-write needs a number of tables");
        } else if (a == "--die-after-writes") {
            if (!count(faults.dieAfterWrites))
                return Fail("--die-after-writes needs a number of write pieces");
        } else if (a == "--verbose" || a == "-v") {
            verbose = true;
        } else {
            return Fail("unknown option " + a);
        }
    }

    if (!ranges.empty()) {
        id.step = static_cast<uint16_t>(step);
        uint32_t lowest = ranges[0].first;
        for (const auto& r : ranges)
            lowest = std::min(lowest, r.first);
        id.rxBase = id.txBase = static_cast<uint16_t>(std::min<uint32_t>(lowest / id.step, 65535));
        id.rangeOffsets = {};
        for (size_t k = 0; k < ranges.size(); ++k)
            if (!id.SetRange(static_cast<int>(k + 1), ranges[k].first, ranges[k].second))
                return Fail("--range " + std::to_string(ranges[k].first / 1e6) +
                            "...: limits must be whole steps of " + std::to_string(id.step) +
                            " Hz and within 65535 steps of the lowest range");
    } else if (step != id.step) {
        return Fail("--step needs --range as well");
    }
    bool ascending = ranges.size() <= 3;
    for (size_t k = 1; k < ranges.size(); ++k)
        ascending = ascending && ranges[k].first > ranges[k - 1].second;
    if (!ascending)
        std::cerr << "note: the programmer takes at most three ranges, ascending and without "
                     "overlap; it will refuse this radio's range set\n";
    if (id.channelsVersion != 0x0100 && id.channelsVersion != 0x0200)
        std::cerr << "note: the programmer supports channel tables 1.0 and 2.0 only\n";

    SimulatedRadio radio(id);
    if (verbose)
        radio.SetLog([](const std::string& line) { std::cerr << line << std::endl; });
    if (!statePath.empty()) {
        std::FILE* f = std::fopen(statePath.c_str(), "r");
        if (f) {
            std::fclose(f);
            std::string error;
            if (!radio.LoadState(statePath, &error))
                return Fail(error);
        }
    }
    radio.SetFaults(faults);

    PtyRadio pty(radio, pacing);
    if (!pty.Start()) {
        std::cerr << "zorvex-radio-sim: " << pty.Error() << "\n";
        return 1;
    }
#ifndef _WIN32
    if (!linkPath.empty()) {
        ::unlink(linkPath.c_str());
        if (::symlink(pty.DevicePath().c_str(), linkPath.c_str()) != 0) {
            std::cerr << "zorvex-radio-sim: cannot create " << linkPath << ": "
                      << std::strerror(errno) << "\n";
            return 1;
        }
    }
#endif
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);

    std::cout << pty.DevicePath() << std::endl;
    const int com = FreeComPortNumber();
    std::cerr << "Simulated radio \"" << Cp1251ToUtf8(id.radioType) << "\" (programmer "
              << Cp1251ToUtf8(id.programmerId) << ") is listening on " << pty.DevicePath()
              << (pacing == Pacing::Line9600 ? " at 9600 Bd" : ", instant") << ".\n";
    if (com)
        std::cerr << "To see it as COM" << com << ": ZORVEX_COM" << com << "="
                  << (linkPath.empty() ? pty.DevicePath() : linkPath) << "\n";
    std::cerr << "Press Ctrl+C to stop.\n";

    RadioStats last = radio.Stats();
    while (!g_stop.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const RadioStats now = radio.Stats();
        if (verbose && now.tablesWritten != last.tablesWritten)
            std::cerr << "table stored (" << now.tablesWritten << " so far)\n";
        if (!statePath.empty() && now.tablesWritten != last.tablesWritten) {
            std::string error;
            if (!radio.SaveState(statePath, &error))
                std::cerr << "zorvex-radio-sim: " << error << "\n";
        }
        last = now;
    }
    pty.Stop();
    if (!statePath.empty()) {
        std::string error;
        if (!radio.SaveState(statePath, &error)) {
            std::cerr << "zorvex-radio-sim: " << error << "\n";
            return 1;
        }
    }
#ifndef _WIN32
    if (!linkPath.empty())
        ::unlink(linkPath.c_str());
#endif
    return 0;
}
