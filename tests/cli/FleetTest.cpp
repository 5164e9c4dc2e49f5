// Several radios in one command: each on its own port and worker, lines kept apart by their
// port, a summary at the end, and one radio's failure never another's.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>

#include "cli/CliRun.h"
#include "cli/PythonJson.h"
#include "cli/TerminalScreen.h"
#include "files/ConfigFile.h"
#include "model/ChannelsContext.h"
#include "model/SettingsContext.h"
#include "sim/PtyRadio.h"
#include "sim/SimulatedRadio.h"

namespace fs = std::filesystem;

namespace {

// A simulated radio on its own pseudo-terminal.
struct Station {
    explicit Station(uint32_t serial) {
        RadioIdentity id;
        id.serialNumber = serial;
        radio.SetIdentity(id);
    }
    SimulatedRadio radio;
    PtyRadio pty{radio};
};

class Fleet : public CliRunTest {
protected:
    void SetUp() override {
        CliRunTest::SetUp();
        unsetenv("ZORVEX_RANGE_LIST");

        ChannelsContext channels;
        SettingsContext settings;
        FreqRange range;
        range.SetDefault();
        channels.ranges.Select(channels.ranges.Add(range));
        channels.channels[3].freq_rx = 33012500;
        channels.channels[3].freq_tx = 33012500;
        settings.Volume = 6;
        config = (dir / "plan.xml").string();
        SaveConfigFile(config, channels, settings, DefaultFlagCaptions());
    }
    void TearDown() override {
        stations.clear();
        CliRunTest::TearDown();
    }

    Station& Add(uint32_t serial, RadioFaults faults = RadioFaults()) {
        stations.push_back(std::make_unique<Station>(serial));
        stations.back()->radio.SetFaults(faults);
        EXPECT_TRUE(stations.back()->pty.Start()) << stations.back()->pty.Error();
        return *stations.back();
    }

    // The command with every station's device added.
    Result Run(std::vector<std::string> args) {
        for (const auto& s : stations) {
            args.push_back("--device");
            args.push_back(s->pty.DevicePath());
        }
        return CliRunTest::Run(args);
    }

    static std::string Label(const Station& s) {
        std::string label = s.pty.DevicePath().substr(5); // /dev/pts/3 -> pts-3
        for (char& ch : label) {
            ch = ch == '/' ? '-' : ch;
        }
        return label;
    }

    // The summary row of a station.
    static std::string Row(const Result& r, const Station& s) {
        std::istringstream lines(r.out);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind(Label(s) + " ", 0) == 0) {
                return line;
            }
        }
        return "";
    }

    std::string config;
    std::vector<std::unique_ptr<Station>> stations;
};

TEST_F(Fleet, OneRadioDeadOneRefusingOneUnpluggedAndTheOthersWritten) {
    RadioFaults dead, pulled;
    dead.dead = true;
    pulled.dieAfterWrites = 2;
    Station& good1 = Add(1001);
    Station& silent = Add(1002, dead);
    Station& other = Add(1003);
    RadioIdentity otherRanges = other.radio.Identity();
    ASSERT_TRUE(otherRanges.SetRange(1, 33000000, 40000000));
    other.radio.SetIdentity(otherRanges);
    Station& unplugged = Add(1004, pulled);
    Station& good2 = Add(1005);

    const Result r = Run({"write", config});
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_NE(Row(r, good1).find(" 1001 "), std::string::npos) << r.out;
    EXPECT_NE(Row(r, good1).find("written"), std::string::npos) << r.out;
    EXPECT_NE(Row(r, good2).find("written"), std::string::npos) << r.out;
    EXPECT_NE(Row(r, silent).find("failed: "), std::string::npos) << r.out;
    EXPECT_NE(Row(r, silent).find(" - "), std::string::npos) << r.out; // never identified
    EXPECT_NE(Row(r, other).find("refused: "), std::string::npos) << r.out;
    EXPECT_NE(Row(r, unplugged).find("failed: "), std::string::npos) << r.out;
    EXPECT_GT(good1.radio.Stats().writeRequests, 0u);
    EXPECT_GT(good2.radio.Stats().writeRequests, 0u);
    EXPECT_EQ(other.radio.Stats().writeRequests, 0u);

    // Every log line names its radio; the unplugged one says what its radio now holds.
    EXPECT_NE(r.out.find(Label(good1) + ": Порт COM"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(Label(unplugged) + ": Запись прервана!!!"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find(Label(unplugged) + ": "), std::string::npos) << r.err;

    // The same run with --json: the summary is the document.
    const Result json = Run({"write", config, "--json", "--no-backup", "--no-verify"});
    EXPECT_EQ(PythonJson(json.out, "d['exit_status'], len(d['radios']), "
                                   "[x['result'] for x in d['radios']]"),
              "1 5 ['succeeded', 'link_error', 'refused', 'link_error', 'succeeded']")
        << json.out;
}

TEST_F(Fleet, SecondTypeHoldsForEveryRadioAndItsRestoreCommand) {
    // Two radios that require the alternative programmer identifier; one is unplugged
    // halfway through the write.
    RadioFaults pulled;
    pulled.dieAfterWrites = 2;
    for (Station* s : {&Add(4001), &Add(4002, pulled)}) {
        RadioIdentity id = s->radio.Identity();
        id.programmerId = "ZVP02";
        s->radio.SetIdentity(id);
    }
    const Result r = Run({"write", config, "--second-type"});
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_NE(Row(r, *stations[0]).find("written"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("zorvex-cli restore "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(" --second-type"), std::string::npos) << r.err;
}

TEST_F(Fleet, ADryRunSaysNothingWasWritten) {
    const Station& one = Add(5001);
    const Station& two = Add(5002);
    const Result r = Run({"write", config, "--dry-run"});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    for (const Station* s : {&one, &two}) {
        EXPECT_NE(Row(r, *s).find("dry run: nothing written"), std::string::npos) << r.out;
        EXPECT_EQ(s->radio.Stats().writeRequests, 0u);
    }
}

TEST_F(Fleet, ReadNamesEachFileAfterItsRadio) {
    Add(2001);
    Add(2002);
    const Result r = Run({"read", "-o", (dir / "radio-{serial}.xml").string(), "--images",
                          (dir / "images-{port}").string()});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(fs::exists(dir / "radio-2001.xml"));
    EXPECT_TRUE(fs::exists(dir / "radio-2002.xml"));
    for (const auto& s : stations) {
        EXPECT_TRUE(fs::exists(dir / ("images-" + Label(*s)) / "settings.bin"));
    }

    // One file for several radios would be overwritten by each: refused before anything runs.
    const Result same = Run({"read", "-o", (dir / "radio.xml").string()});
    EXPECT_EQ(same.status, 2);
    EXPECT_NE(same.err.find("{serial}"), std::string::npos) << same.err;
    EXPECT_EQ(Run({"restore", (dir / "x").string()}).status, 2);
}

TEST_F(Fleet, OnATerminalEachRadioHasAProgressRowThatLeavesNoTrace) {
    RadioFaults dead;
    dead.dead = true;
    const Station& good = Add(3001);
    const Station& silent = Add(3002, dead);
    terminal = true;
    const Result r = Run({"read", "-o", (dir / "radio-{port}.xml").string()});
    EXPECT_EQ(r.status, 1) << r.out << r.err;

    // Both rows were drawn and moved; the good radio's ended as read, the silent one's as
    // failed.
    EXPECT_NE(r.err.find(Label(good) + "  [###"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(Label(silent) + "  ["), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(Label(good) + "  read"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(Label(silent) + "  failed: "), std::string::npos) << r.err;

    // What stays on the terminal is the silent radio's error lines, whole and prefixed; the
    // rows are gone before the summary.
    const TerminalScreen screen(r.err);
    EXPECT_FALSE(screen.MovedAboveTheTop());
    ASSERT_FALSE(screen.Lines().empty()) << r.err;
    for (const std::string& line : screen.Lines()) {
        EXPECT_EQ(line.rfind(Label(silent) + ": ", 0), 0u) << line;
    }
    // Standard output is no terminal here: it carries plain prefixed lines and the summary.
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos) << r.out;
    EXPECT_NE(Row(r, good).find("read"), std::string::npos) << r.out;
}

} // namespace
