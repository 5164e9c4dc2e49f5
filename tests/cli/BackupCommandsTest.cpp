// write's backup and verify, restore, backups, diff and --dry-run against a simulated radio
// on a pseudo-terminal.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/CliRun.h"
#include "cli/PythonJson.h"
#include "files/AtomicFile.h"
#include "files/ConfigFile.h"
#include "model/ChannelsContext.h"
#include "model/SettingsContext.h"
#include "sim/PtyRadio.h"
#include "sim/SimulatedRadio.h"

namespace fs = std::filesystem;

namespace {

class BackupCommands : public CliRunTest {
protected:
    void SetUp() override {
        CliRunTest::SetUp();
        backups = dir / "data" / "Zorvex_Prog" / "backups";
        ASSERT_TRUE(pty.Start()) << pty.Error();
        first = Config("first.xml", 7, 33012500);
        second = Config("second.xml", 5, 33025000);
    }
    void TearDown() override {
        pty.Stop();
        CliRunTest::TearDown();
    }

    // A configuration with slot 3 at rx and a volume.
    std::string Config(const std::string& name, int volume, int32_t rx) {
        ChannelsContext channels;
        SettingsContext settings;
        FreqRange range;
        range.SetDefault();
        channels.ranges.Select(channels.ranges.Add(range));
        channels.channels[3].freq_rx = rx;
        channels.channels[3].freq_tx = 33012500;
        channels.channels[120].freq_rx = 40000000;
        settings.Volume = volume;
        const std::string path = (dir / name).string();
        SaveConfigFile(path, channels, settings, DefaultFlagCaptions());
        return path;
    }

    Result Write(const std::string& file, std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"write", "--device", pty.DevicePath(), file};
        args.insert(args.end(), extra.begin(), extra.end());
        return Run(args);
    }

    // The folder named in the restore command that stderr gives.
    static std::string RestoreFolder(const std::string& err) {
        const std::string key = "zorvex-cli restore ";
        const size_t at = err.find(key);
        if (at == std::string::npos) {
            return "";
        }
        const size_t from = at + key.size();
        return err.substr(from, err.find(' ', from) - from);
    }

    fs::path backups;
    std::string first, second;
    SimulatedRadio radio;
    PtyRadio pty{radio};
};

TEST_F(BackupCommands, WriteKeepsABackupThatListsDiffsAndRestores) {
    ASSERT_EQ(Write(first, {"--no-backup", "--no-verify"}).status, 0);
    EXPECT_FALSE(fs::exists(backups));
    const SimulatedRadio::Image before0 = radio.Table(0), before1 = radio.Table(1);

    const Result w = Write(second);
    ASSERT_EQ(w.status, 0) << w.out << w.err;
    EXPECT_NE(w.out.find("Проверка записи: станция содержит записанные таблицы."),
              std::string::npos);
    const Result list = Run({"backups"});
    ASSERT_EQ(list.status, 0) << list.err;
    ASSERT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 1) << list.out;
    EXPECT_EQ(list.out.rfind(backups.string() + "/170001/", 0), 0u) << list.out;
    EXPECT_NE(list.out.find("\t170001\t"), std::string::npos);
    EXPECT_NE(list.out.find("\tchannels 2\n"), std::string::npos) << list.out;
    EXPECT_EQ(Run({"backups", "--serial", "170002"}).out, "");
    const std::string folder = list.out.substr(0, list.out.find('\t'));
    EXPECT_EQ(PythonJson(Run({"backups", "--json"}).out,
                         "len(d['backups']), d['backups'][0]['serial'], "
                         "d['backups'][0]['used_channels'], d['backups'][0]['folder'] == '" +
                             folder + "'"),
              "1 170001 2 True");

    // The backup holds the first configuration.
    const Result d = Run({"diff", folder, second});
    EXPECT_EQ(d.status, 1);
    EXPECT_EQ(d.out, "channel 3: freq_rx: 33012500 -> 33025000\nsetting Volume: 7 -> 5\n");
    const Result dj = Run({"diff", folder, second, "--json"});
    EXPECT_EQ(dj.status, 1);
    EXPECT_EQ(PythonJson(dj.out, "[(x['kind'], x['slot'], x['field'], x['before'], x['after']) "
                                 "for x in d['differences']]"),
              "[('channel', 3, 'freq_rx', '33012500', '33025000'), "
              "('setting', None, 'Volume', '7', '5')]");
    const Result same = Run({"diff", first, first});
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, "");
    EXPECT_EQ(Run({"diff", first, (dir / "missing.xml").string()}).status, 3);
    const Result withRadio = Run({"diff", "radio", second, "--device", pty.DevicePath()});
    EXPECT_EQ(withRadio.status, 0) << withRadio.out << withRadio.err;

    const Result r = Run({"restore", folder, "--device", pty.DevicePath()});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(radio.Table(0), before0);
    EXPECT_EQ(radio.Table(1), before1);
}

TEST_F(BackupCommands, DryRunPrintsTheChangesAndWritesNothing) {
    ASSERT_EQ(Write(first).status, 0);
    radio.ResetStats();
    const Result r = Write(second, {"--dry-run"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\nchannel 3: freq_rx: 33012500 -> 33025000\nsetting Volume: 7 -> 5\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(radio.Stats().writeRequests, 0u);
}

TEST_F(BackupCommands, FailedWritesNameTheRestoreCommand) {
    ASSERT_EQ(Write(first).status, 0);
    const SimulatedRadio::Image before0 = radio.Table(0), before3 = radio.Table(3);
    struct Case {
        const char* name;
        RadioFaults faults;
        const char* message;
    };
    RadioFaults altered, pulled;
    altered.alterWrites = 1;
    pulled.dieAfterWrites = 5;
    const Case cases[] = {
        {"verify", altered,
         "the radio does not hold what was written: its channel table 0-99 differs from the "
         "image sent at byte 16"},
        {"cable pulled", pulled, "the write was cut off: the radio may hold partly written tables"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        radio.SetFaults(c.faults);
        const Result w = Write(second);
        EXPECT_EQ(w.status, 1);
        EXPECT_NE(w.err.find(c.message), std::string::npos) << w.err;
        const std::string folder = RestoreFolder(w.err);
        ASSERT_FALSE(folder.empty()) << w.err;
        EXPECT_NE(w.err.find("zorvex-cli restore " + folder + " --device " + pty.DevicePath()),
                  std::string::npos);
        radio.SetFaults(RadioFaults());
        const Result r = Run({"restore", folder, "--device", pty.DevicePath()});
        ASSERT_EQ(r.status, 0) << r.out << r.err;
        EXPECT_EQ(radio.Table(0), before0);
        EXPECT_EQ(radio.Table(3), before3);
    }
}

TEST_F(BackupCommands, RestoreRefusesAnotherRadioUnlessForced) {
    ASSERT_EQ(Write(first).status, 0);
    ASSERT_EQ(Write(second).status, 0);
    const std::string folder = Run({"backups"}).out.substr(0, Run({"backups"}).out.find('\t'));
    const fs::path foreign = dir / "other" / "170002" / fs::path(folder).filename();
    fs::create_directories(foreign.parent_path());
    fs::copy(folder, foreign);
    radio.ResetStats();

    const Result refused = Run({"restore", foreign.string(), "--device", pty.DevicePath()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("restore refused: the backup is of the radio with serial number "
                               "170002, the radio on the port has 170001"),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(radio.Stats().writeRequests, 0u);

    const Result forced =
        Run({"restore", foreign.string(), "--device", pty.DevicePath(), "--force"});
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(radio.Table(1)[16], ReadFileBytes(foreign / "settings.bin")[16]);

    const fs::path lacking = dir / "lacking" / "170001" / "20260101-000000";
    fs::create_directories(lacking);
    fs::copy(foreign / "channels-0-99.bin", lacking / "channels-0-99.bin");
    fs::copy(foreign / "settings.bin", lacking / "settings.bin");
    const Result tables = Run({"restore", lacking.string(), "--device", pty.DevicePath()});
    EXPECT_EQ(tables.status, 1);
    EXPECT_NE(tables.err.find("the backup's tables do not fit this radio"), std::string::npos);
}

TEST_F(BackupCommands, BackupThatCannotBeSavedLeavesTheRadioUnchanged) {
    WriteFileAtomically(dir / "plain-file", "x");
    const Result w = Write(second, {"--backup-dir", (dir / "plain-file" / "b").string()});
    EXPECT_EQ(w.status, 1);
    EXPECT_NE(w.err.find("the backup could not be saved, so nothing was written"),
              std::string::npos)
        << w.err;
    EXPECT_NE(w.out.find("Станция не изменена."), std::string::npos);
    EXPECT_EQ(radio.Stats().writeRequests, 0u);
}

} // namespace
