#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "cli/CliRun.h"
#include "cli/FailureText.h"
#include "cli/PythonJson.h"
#include "files/ConfigFile.h"
#include "link/ComPorts.h"
#include "link/TransferErrors.h"
#include "model/ChannelsContext.h"
#include "model/FlagCaptions.h"
#include "model/SettingsContext.h"
#include "sim/PtyRadio.h"
#include "sim/SimulatedRadio.h"

namespace fs = std::filesystem;

namespace {

class CliOutputTest : public CliRunTest {
protected:
    // A configuration for the range set given (the radio's default set when none), with
    // channel 3 on rx MHz.
    std::string Config(const std::string& name, const FreqRange* set, int32_t rx = 41000000) {
        ChannelsContext channels;
        SettingsContext settings;
        FreqRange range;
        if (set != nullptr) {
            range = *set;
        } else {
            range.SetDefault();
        }
        channels.ranges.Select(channels.ranges.Add(range));
        channels.channels[3].freq_rx = rx;
        channels.channels[3].freq_tx = rx;
        settings.Volume = 5;
        SaveConfigFile(P(name), channels, settings, DefaultFlagCaptions());
        return P(name);
    }

    static FreqRange HighSet() {
        FreqRange set;
        set.AddRx(146000000, 174000000);
        set.AddTx(146000000, 174000000);
        return set;
    }
};

// What follows "[   12.345 ms] " in the line; nothing when it does not start with a time
// stamp in milliseconds.
std::string AfterTimeStamp(const std::string& line) {
    const size_t end = line.find(" ms] ");
    if (line.rfind("[", 0) != 0 || end == std::string::npos || end < 5) {
        return {};
    }
    const std::string stamp = line.substr(1, end - 1);
    const size_t digits = stamp.find_first_not_of(' ');
    if (digits == std::string::npos || stamp[stamp.size() - 4] != '.' ||
        stamp.find_first_not_of("0123456789.", digits) != std::string::npos) {
        return {};
    }
    return line.substr(end + 5);
}

// "C0 01 0A": upper-case hex bytes separated by single spaces.
bool IsHexBytes(const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool ok = i % 3 == 2 ? c == ' ' : (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
        if (!ok) {
            return false;
        }
    }
    return text.size() % 3 == 2;
}

bool HasLineStarting(const std::string& text, const std::string& start) {
    return text.rfind(start, 0) == 0 || text.find("\n" + start) != std::string::npos;
}

TEST_F(CliOutputTest, ReadToStandardOutputLeavesTheLogOnStderr) {
    const std::string state = P("state.txt");
    const std::string sent = Config("sent.xml", nullptr, 44012500);
    ASSERT_EQ(Run({"write", "--simulate", "--sim-state", state, sent}).status, 0);

    const Result r = Run({"read", "--simulate", "--sim-state", state, "-o", "-"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("<?xml", 0), 0u) << r.out.substr(0, 80);
    EXPECT_EQ(r.out.find("Порт COM"), std::string::npos);
    EXPECT_TRUE(HasLineStarting(r.err, "Порт COM")) << r.err;
    EXPECT_NE(r.err.find("Таблица настроек прочитана"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "-"));

    // What came out is the configuration file itself.
    {
        std::ofstream file(dir / "back.xml", std::ios::binary);
        file << r.out;
    }
    ChannelsContext channels;
    SettingsContext settings;
    FlagCaptions captions = DefaultFlagCaptions();
    OpenConfigFile(dir / "back.xml", channels, settings, captions);
    EXPECT_EQ(channels.channels[3].freq_rx, 44012500);
    EXPECT_EQ(settings.Volume, 5);
}

TEST_F(CliOutputTest, JsonDocumentsOfInfoReadAndARefusedWrite) {
    const Result info = Run({"info", "--simulate", "--json"});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(PythonJson(info.out, "d['command'], d['result'], d['exit_status'], d['error'], "
                                   "d['link_error']"),
              "info succeeded 0 None None");
    EXPECT_EQ(PythonJson(info.out, "d['radio']['type'], d['radio']['serial_number'] > 0, "
                                   "d['radio']['ranges'], d['radio']['versions']['settings'], "
                                   "d['radio']['blocks']"),
              "Simulated True {'rx': [{'begin_hz': 33000000, 'end_hz': 48500000}], 'tx': "
              "[{'begin_hz': 33000000, 'end_hz': 48500000}]} 1.3 [0, 1, 2]");
    EXPECT_EQ(PythonJson(info.out, "d['log'][1]"), "Информация о станции получена.");
    // The log went to stderr, and no report was printed.
    EXPECT_TRUE(HasLineStarting(info.err, "Порт COM")) << info.err;
    EXPECT_EQ(info.out.find("Тип радиостанции"), std::string::npos);

    const Result read = Run({"read", "--simulate", "--json", "-o", P("r.xml")});
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(PythonJson(read.out, "d['result'], d['file'] == '" + P("r.xml") +
                                       "', d['second_table'], d['port'] > 0"),
              "succeeded True True True");
    EXPECT_TRUE(fs::exists(dir / "r.xml"));

    const FreqRange high = HighSet();
    const Result refused =
        Run({"write", "--simulate", "--json", Config("high.xml", &high, 150000000)});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(PythonJson(refused.out, "d['result'], d['exit_status'], 'MHz' in d['error']"),
              "refused 1 True");

    // File failures before and after the operation: still one document, with the error.
    const Result missing = Run({"write", "--simulate", "--json", P("missing.xml")});
    EXPECT_EQ(missing.status, 3);
    EXPECT_EQ(PythonJson(missing.out, "d['result'], d['exit_status'], d['radio'], d['log'], "
                                      "d['error'].startswith('" +
                                          P("missing.xml") + ": ')"),
              "not_run 3 None [] True")
        << missing.out;
    const Result unsaved = Run({"read", "--simulate", "--json", "-o", P("no/dir/r.xml")});
    EXPECT_EQ(unsaved.status, 3);
    EXPECT_EQ(PythonJson(unsaved.out, "d['result'], d['exit_status'], d['error'].startswith('" +
                                          P("no/dir/r.xml") + ": ')"),
              "succeeded 3 True")
        << unsaved.out;
}

TEST_F(CliOutputTest, PortsListsAMissingOverrideAndAsJson) {
    const int present = FreeComPortNumber();
    ASSERT_TRUE(SetComPortOverride(present, "/dev/null"));
    const int missing = FreeComPortNumber();
    ASSERT_TRUE(SetComPortOverride(missing, P("unplugged")));
    const Result text = Run({"ports"});
    const Result json = Run({"ports", "--json"});
    SetComPortOverride(present, "");
    SetComPortOverride(missing, "");

    EXPECT_EQ(text.status, 0);
    EXPECT_NE(
        text.out.find("COM" + std::to_string(missing) + "\t" + P("unplugged") + "\tmissing\n"),
        std::string::npos)
        << text.out;
    EXPECT_EQ(json.status, 0);
    const std::string select = "[(p['name'], p['device'], p['present'], p['overridden'], p['usb'], "
                               "p['by_id']) for p in d['ports'] if p['number'] == ";
    EXPECT_EQ(PythonJson(json.out, select + std::to_string(present) + "]"),
              "[('COM" + std::to_string(present) + "', '/dev/null', True, True, None, None)]")
        << json.out;
    EXPECT_EQ(PythonJson(json.out, select + std::to_string(missing) + "]"),
              "[('COM" + std::to_string(missing) + "', '" + P("unplugged") +
                  "', False, True, None, None)]");
}

TEST_F(CliOutputTest, TraceShowsEveryFrameInHexWithATimeStamp) {
    const Result r = Run({"info", "--simulate", "--trace"});
    ASSERT_EQ(r.status, 0) << r.err;
    // The request for information block 0: C0 01 00 FCS C1, and the reply to it.
    bool sent = false, received = false;
    std::istringstream lines(r.err);
    for (std::string line; std::getline(lines, line);) {
        const std::string rest = AfterTimeStamp(line);
        if (rest.rfind("tx 6: C0 01 00 ", 0) == 0 && rest.size() == 6 + 17 &&
            rest.compare(rest.size() - 3, 3, " C1") == 0 && IsHexBytes(rest.substr(6))) {
            sent = true;
        }
        if (rest.rfind("rx ", 0) == 0 && rest.find(": C0 01 00 ") != std::string::npos &&
            IsHexBytes(rest.substr(rest.find(": ") + 2))) {
            received = received || sent;
        }
    }
    EXPECT_TRUE(sent) << r.err.substr(0, 400);
    EXPECT_TRUE(received) << r.err.substr(0, 400);
    EXPECT_NE(r.err.find("exchange: information block 0, attempt 1: request 2 bytes (6 sent), "
                         "reply 124 bytes"),
              std::string::npos)
        << r.err;
    // The standard output is as without --trace: log lines and the report.
    EXPECT_EQ(r.out.find(" ms] "), std::string::npos);
    EXPECT_NE(r.out.find("Тип радиостанции: Simulated"), std::string::npos);
}

TEST_F(CliOutputTest, VerboseShowsTheRetriesAndQuietOnlyTheResult) {
    SimulatedRadio radio;
    RadioFaults faults;
    faults.only = RadioFaults::Only::Info;
    faults.dropReplies = 1; // the first request for block 0 goes unanswered
    radio.SetFaults(faults);
    PtyRadio pty(radio);
    ASSERT_TRUE(pty.Start()) << pty.Error();
    const Result verbose = Run({"info", "-d", pty.DevicePath(), "-v"});
    ASSERT_EQ(verbose.status, 0) << verbose.err;
    const size_t first = verbose.err.find(
        "exchange: information block 0, attempt 1: request 2 bytes (6 sent), no valid reply");
    const size_t second =
        verbose.err.find("exchange: information block 0, attempt 2: request 2 bytes (6 sent), "
                         "reply 124 bytes");
    EXPECT_NE(first, std::string::npos) << verbose.err;
    EXPECT_NE(second, std::string::npos) << verbose.err;
    EXPECT_LT(first, second);
    EXPECT_EQ(verbose.err.find(" ms] tx"), std::string::npos); // frames only with --trace

    const Result quiet = Run({"info", "--simulate", "-q"});
    EXPECT_EQ(quiet.status, 0);
    EXPECT_TRUE(quiet.err.empty()) << quiet.err;
    EXPECT_EQ(quiet.out.find("Порт COM"), std::string::npos) << quiet.out;
    EXPECT_EQ(quiet.out.rfind("Тип радиостанции: Simulated", 0), 0u) << quiet.out;

    const Result quietRead = Run({"read", "--simulate", "-q", "-o", P("q.xml")});
    EXPECT_EQ(quietRead.status, 0);
    EXPECT_TRUE(quietRead.out.empty()) << quietRead.out;
    EXPECT_TRUE(quietRead.err.empty()) << quietRead.err;
    EXPECT_TRUE(fs::exists(dir / "q.xml"));

    const Result quietFailure = Run({"info", "-q", "--device", P("no-such-tty")});
    EXPECT_EQ(quietFailure.status, 1);
    EXPECT_TRUE(quietFailure.out.empty());
    EXPECT_NE(quietFailure.err.find("cannot open COM"), std::string::npos);
}

TEST(FailureText, EveryLinkCodeSaysWhatHappenedAndWhatToCheck) {
    struct Case {
        int code;
        const char* words;
    };
    const Case cases[] = {
        {17, "damaged request (checksum error)"},
        {18, "reply did not fit the request"},
        {19, "reply of the wrong length"},
        {20, "signature"},
        {21, "link speed could not be set"},
        {22, "without its buffer"},
        {23, "did not match on comparison"},
        {24, "the radio did not answer (link error 24): check the cable, that the radio is "
             "switched on, and the port"},
        {25, "does not know the command"},
        {26, "not available"},
        {27, "refused the data"},
        {28, "command sequence error"},
        {29, "compatibility error"},
        {65535, "error this program does not know"},
        {12345, "the link failed (link error 12345): check"},
    };
    std::set<std::string> texts;
    for (const Case& c : cases) {
        const std::string text = LinkFailureText(c.code);
        EXPECT_NE(text.find(c.words), std::string::npos) << text;
        EXPECT_NE(text.find("(link error " + std::to_string(c.code) + "): "), std::string::npos)
            << text;
        texts.insert(text.substr(0, text.find(" (link error")));
    }
    EXPECT_EQ(texts.size(), std::size(cases)) << "two codes share a text";
}

TEST_F(CliOutputTest, FailuresOnTheLineAreSaidInWords) {
    struct Case {
        int radioCode; // error reply of the simulated radio
        int linkCode;
        const char* words;
    };
    const Case cases[] = {
        {0, TRANSFER_UNKNOWN_COMMAND, "does not know the command"},
        {1, TRANSFER_CHECKSUM, "damaged request"},
        {3, TRANSFER_DATA, "refused the data"},
        {5, TRANSFER_COMPATIBILITY, "compatibility error"},
        {9, TRANSFER_OTHER, "error this program does not know"},
    };
    for (const Case& c : cases) {
        SimulatedRadio radio;
        RadioFaults faults;
        faults.only = RadioFaults::Only::Read;
        faults.errorReplies = 1;
        faults.errorCode = c.radioCode;
        radio.SetFaults(faults);
        PtyRadio pty(radio);
        ASSERT_TRUE(pty.Start()) << pty.Error();
        const Result r = Run({"read", "--device", pty.DevicePath(), "-o", P("never.xml")});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.rfind("zorvex-cli: read failed: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.words), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("(link error " + std::to_string(c.linkCode) + "): "),
                  std::string::npos)
            << r.err;
    }
    EXPECT_FALSE(fs::exists(dir / "never.xml"));
}

TEST_F(CliOutputTest, ARadioThatNeverAnswersIsNamedAsSuch) {
    SimulatedRadio radio;
    RadioFaults faults;
    faults.dead = true;
    radio.SetFaults(faults);
    PtyRadio pty(radio);
    ASSERT_TRUE(pty.Start()) << pty.Error();
    const Result r = Run({"info", "--device", pty.DevicePath()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("info failed: the radio did not answer (link error 24): check the "
                         "cable, that the radio is switched on, and the port"),
              std::string::npos)
        << r.err;
}

TEST_F(CliOutputTest, ARangeRefusalNamesBothRangeSets) {
    FreqRange two;
    two.AddRx(146000000, 150000000);
    two.AddRx(160000000, 174000000);
    two.AddTx(146000000, 150000000);
    two.AddTx(160000000, 165000000);
    const std::string file = Config("two.xml", &two, 147000000);
    const Result r = Run({"write", "--simulate", file});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("write refused: the radio's frequency ranges (33-48.5 MHz) differ from "
                         "those of " +
                         file + " (receive 146-150, 160-174 MHz, transmit 146-150, 160-165 MHz)"),
              std::string::npos)
        << r.err;
}

TEST_F(CliOutputTest, ControlCharactersFromTheRadioReachTheTerminalEscaped) {
    RadioIdentity identity;
    identity.radioType = "Evil\x1b]0;owned\x07!";
    identity.comment = "x\x1b[2J\x1b[31mred";
    SimulatedRadio radio(identity);
    PtyRadio pty(radio);
    ASSERT_TRUE(pty.Start()) << pty.Error();

    const Result r = Run({"info", "--device", pty.DevicePath()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos);
    EXPECT_EQ(r.out.find('\x07'), std::string::npos);
    EXPECT_NE(r.out.find("Тип радиостанции: Evil\\x1b]0;owned\\x07!\n"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("x\\x1b[2J\\x1b[31mred"), std::string::npos) << r.out;

    // A document keeps the text as the radio gave it: JSON escaping is the reader's.
    const Result json = Run({"info", "--device", pty.DevicePath(), "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(PythonJson(json.out, "repr(d['radio']['type'])"), "'Evil\\x1b]0;owned\\x07!'");
    EXPECT_EQ(json.out.find('\x1b'), std::string::npos);
}

} // namespace
