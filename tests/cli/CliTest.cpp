#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/CliRun.h"
#include "files/ConfigFile.h"
#include "files/RangeListFile.h"
#include "files/TestFiles.h"
#include "link/ComPorts.h"
#include "model/ChannelsContext.h"
#include "model/Cp1251.h"
#include "model/FlagCaptions.h"
#include "model/SettingsContext.h"

#include "sim/PtyRadio.h"
#include "sim/SimulatedRadio.h"

namespace fs = std::filesystem;

namespace {

// A scratch directory holding the executable's directory (range-list file) and a per-user
// configuration directory, so runs touch nothing outside it.
class CliTest : public CliRunTest {
protected:
    void SetUp() override {
        CliRunTest::SetUp();
        unsetenv(RANGE_LIST_ENV);
    }

    // A configuration with a few channels inside the default 33-48.5 MHz set (or the set
    // given) and some settings changed.
    std::string WriteConfig(const std::string& name, const FreqRange* set = nullptr,
                            int32_t extraRx = 0) {
        ChannelsContext channels;
        SettingsContext settings;
        FreqRange range;
        if (set != nullptr) {
            range = *set;
        } else {
            range.SetDefault();
        }
        channels.ranges.Select(channels.ranges.Add(range));
        channels.channels[0].freq_rx = 33012500;
        channels.channels[0].freq_tx = 33012500;
        channels.channels[0].tone_tx = 1750;
        channels.channels[42].freq_rx = 41912500;
        channels.channels[42].freq_tx = 40000000;
        channels.channels[42].subtone_rx = 12;
        channels.channels[42].tx_power_high = 2;
        channels.channels[150].freq_rx = 48500000;
        channels.channels[150].scan = false;
        if (extraRx != 0) {
            channels.channels[7].freq_rx = extraRx;
            channels.channels[7].freq_tx = extraRx;
        }
        settings.Volume = 6;
        settings.ID = 321;
        settings.TxLimit = 90;
        settings.SpecChannel_1 = 17;
        SaveConfigFile(P(name), channels, settings, DefaultFlagCaptions());
        return P(name);
    }
};

struct Loaded {
    ChannelsContext channels;
    SettingsContext settings;
    FlagCaptions captions;
};

void Load(const std::string& path, Loaded& l) {
    l.captions = DefaultFlagCaptions();
    OpenConfigFile(path, l.channels, l.settings, l.captions);
}

void ExpectSameChannels(const ChannelsContext& a, const ChannelsContext& b) {
    for (int i = 0; i < CHANNEL_COUNT; ++i) {
        const Channel& x = a.channels[i];
        const Channel& y = b.channels[i];
        EXPECT_EQ(x.IsUsed(), y.IsUsed()) << "channel " << i;
        if (x.IsUsed() && y.IsUsed()) {
            EXPECT_EQ(x.freq_rx, y.freq_rx) << i;
            EXPECT_EQ(x.freq_tx, y.freq_tx) << i;
            EXPECT_EQ(x.tone_tx, y.tone_tx) << i;
            EXPECT_EQ(x.subtone_rx, y.subtone_rx) << i;
            EXPECT_EQ(x.tx_power_high, y.tx_power_high) << i;
            EXPECT_EQ(x.scan, y.scan) << i;
        }
    }
}

void ExpectSameSettings(const SettingsContext& a, const SettingsContext& b) {
    SettingsContext x = a, y = b;
    uint8_t ix[2048], iy[2048];
    ASSERT_TRUE(x.BuildSettingsImage(ix, 0x0103));
    ASSERT_TRUE(y.BuildSettingsImage(iy, 0x0103));
    EXPECT_EQ(std::memcmp(ix + 16, iy + 16, 48 - 16), 0); // 12..15: programming counter
}

std::string FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// ---- Command line

TEST_F(CliTest, UsageErrorsExitWithTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate"},
        {"info"},
        {"info", "--port", "0"},
        {"info", "--port", "256"},
        {"info", "--port", "x1"},
        {"restore", "backup", "--port", "3", "--device", "/dev/ttyS0"}, // one radio at a time
        {"read", "-o", "r.xml", "--port", "3", "--port", "4"},          // one file for two
        {"info", "--simulate", "--port", "3"},
        {"info", "--simulate", "--bogus"},
        {"read", "--simulate"},
        {"read", "--simulate", "-o"},
        {"read", "--simulate", "-o", "a.xml", "extra"},
        {"write", "--simulate"},
        {"write", "--simulate", "a.xml", "-o", "b.xml"},
        {"export", "a.xml"},
        {"export", "--simulate", "a.xml", "b.xlsx"},
        {"ports", "--port", "1"},
        {"ports", "extra"},
        {"image"},
        {"image", "copy", "a", "b"},
        {"image", "build", "a.xml"},
        {"image", "build", "a.xml", "dir", "--channels-version", "3.0"},
        {"image", "build", "a.xml", "dir", "--settings-version", "1.4"},
        {"image", "build", "a.xml", "dir", "--channels2-version", "1.5"},
        {"image", "parse", "dir", "a.xml", "--settings-version", "1.0"},
        {"info", "--simulate", "--images", "dir"},
        {"export", "a.xml", "b.xlsx", "--second-type"},
        {"info", "--port", "3", "--sim-state", "s.txt"},
        {"import", "a.xml", "b.csv"},
        {"import", "a.xml", "-o", "c.xml"},
        {"import", "a.xml", "b.csv", "c.csv", "-o", "c.xml"},
        {"export", "a.xml", "b.csv", "--csv-locale", "de"},
        {"import", "a.xml", "b.csv", "-o", "c.xml", "--csv-locale", "ru"},
        {"export", "a.xml", "b.csv", "-o", "c.xml"},
    };
    for (const auto& args : cases) {
        std::string line;
        for (const auto& a : args) {
            line += a + " ";
        }
        const Result r = Run(args);
        EXPECT_EQ(r.status, 2) << line;
        EXPECT_TRUE(r.out.empty()) << line;
        EXPECT_NE(r.err.find("Try 'zorvex-cli --help'."), std::string::npos) << line << r.err;
    }
}

TEST_F(CliTest, HelpForEveryCommand) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--help"}, "Usage: zorvex-cli COMMAND"},
        {{"-h"}, "Usage: zorvex-cli COMMAND"},
        {{"ports", "--help"}, "Usage: zorvex-cli ports"},
        {{"info", "--help"}, "Usage: zorvex-cli info"},
        {{"read", "--help"}, "Usage: zorvex-cli read"},
        {{"write", "-h"}, "Usage: zorvex-cli write"},
        {{"export", "--help"}, "Usage: zorvex-cli export"},
        {{"import", "--help"}, "Usage: zorvex-cli import"},
        {{"image", "build", "--help"}, "Usage: zorvex-cli image build"},
        {{"image", "--help"}, "Usage: zorvex-cli image build"},
    };
    for (const auto& [args, start] : cases) {
        const Result r = Run(args);
        EXPECT_EQ(r.status, 0) << start;
        EXPECT_EQ(r.out.rfind(start, 0), 0u) << r.out;
        EXPECT_TRUE(r.err.empty());
    }
}

TEST_F(CliTest, PortsListsNumberTabDevice) {
    const int number = FreeComPortNumber();
    ASSERT_TRUE(SetComPortOverride(number, "/dev/null"));
    const Result r = Run({"ports"});
    SetComPortOverride(number, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("COM" + std::to_string(number) + "\t/dev/null\n"), std::string::npos)
        << r.out;
}

// ---- Radio commands against the simulated radio

TEST_F(CliTest, InfoPrintsTheLogThenTheReport) {
    const Result r = Run({"info", "--simulate"});
    EXPECT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::string l0, l1, l2, l3;
    std::getline(lines, l0);
    std::getline(lines, l1);
    std::getline(lines, l2);
    std::getline(lines, l3);
    EXPECT_EQ(l0.rfind("Порт COM", 0), 0u);
    EXPECT_EQ(l1, "Информация о станции получена.");
    EXPECT_EQ(l2.rfind("Порт COM", 0), 0u);
    EXPECT_EQ(l3, "Тип радиостанции: Simulated");
    EXPECT_NE(r.out.find("\tПрием:      ( 33-48.5)\n"), std::string::npos);
    EXPECT_EQ(r.out.find('\r'), std::string::npos);
}

TEST_F(CliTest, SimulatedWriteThenReadGivesTheConfigurationBack) {
    const std::string written = WriteConfig("written.xml");
    const std::string state = P("radio-state.txt");
    const Result w =
        Run({"write", "--simulate", "--sim-state", state, written, "--images", P("sent")});
    ASSERT_EQ(w.status, 0) << w.out << w.err;
    EXPECT_NE(w.out.find("Таблица каналов записана.\nТаблица настроек записана.\n"),
              std::string::npos);

    const Result r = Run(
        {"read", "--simulate", "--sim-state", state, "-o", P("read.xml"), "--images", P("read")});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("Таблица каналов 100-199 прочитана (версия 2.0).\n"), std::string::npos);

    Loaded a, b;
    Load(written, a);
    Load(P("read.xml"), b);
    ExpectSameChannels(a.channels, b.channels);
    ExpectSameSettings(a.settings, b.settings);
    EXPECT_EQ(b.settings.version, 0x0103);
    EXPECT_EQ(b.captions, DefaultFlagCaptions());

    for (const char* name : {"channels-0-99.bin", "channels-100-199.bin", "settings.bin"}) {
        const std::string sent = FileBytes(dir / "sent" / name);
        EXPECT_EQ(sent.size(), 2048u) << name;
        EXPECT_EQ(sent, FileBytes(dir / "read" / name)) << name;
    }
}

TEST_F(CliTest, ReadMakesTheRadiosRangeSetCurrent) {
    // The range list holds only another set; the read adds the radio's set to the list
    // file, makes it current, and the saved configuration carries it.
    FreqRangeList list;
    FreqRange other;
    other.AddRx(146000000, 174000000);
    other.AddTx(146000000, 174000000);
    list.Add(other);
    const fs::path listFile = dir / "exe" / RANGE_LIST_FILE_NAME;
    ASSERT_TRUE(SaveRangeListFile(list, listFile));

    const Result r = Run({"read", "--simulate", "-o", P("read.xml")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string xml = FileBytes(dir / "read.xml");
    EXPECT_NE(xml.find("<rx0 begin=\"33000000\" end=\"48500000\"/>"), std::string::npos) << xml;

    // The list next to the program was the starting content of the per-user list.
    FreqRangeList after;
    ASSERT_TRUE(LoadRangeListFile(after, dir / "user" / "Zorvex_Prog" / RANGE_LIST_FILE_NAME));
    ASSERT_EQ(after.Count(), 2);
    EXPECT_TRUE(after.Item(0).Equals(other));
    FreqRange radio;
    radio.SetDefault();
    EXPECT_TRUE(after.Item(1).Equals(radio));
}

TEST_F(CliTest, FailedOperationsExitWithOne) {
    FreqRange other;
    other.AddRx(146000000, 174000000);
    other.AddTx(146000000, 174000000);
    const std::string foreign = WriteConfig("foreign.xml", &other);

    const Result refused = Run({"write", "--simulate", foreign});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.out.find("Запись прервана!!!"), std::string::npos) << refused.out;
    EXPECT_EQ(refused.out.find("Запись ...\n"), std::string::npos);

    const Result absent = Run({"info", "--device", P("no-such-tty")});
    EXPECT_EQ(absent.status, 1);
    EXPECT_NE(absent.out.find(" !!!\nНет такого устройства — адаптер не подключён?\nПроцесс "
                              "остановлен!!!\n"),
              std::string::npos)
        << absent.out;
    EXPECT_NE(absent.err.find("cannot open COM"), std::string::npos) << absent.err;

    const Result noRead = Run({"read", "--device", P("no-such-tty"), "-o", P("never.xml")});
    EXPECT_EQ(noRead.status, 1);
    EXPECT_FALSE(fs::exists(dir / "never.xml"));
}

TEST_F(CliTest, ErrorReplyFromTheRadioOnADevice) {
    SimulatedRadio radio;
    RadioFaults faults;
    faults.errorReplies = 1;
    faults.errorCode = 3;
    radio.SetFaults(faults);
    PtyRadio pty(radio);
    ASSERT_TRUE(pty.Start()) << pty.Error();
    const Result r = Run({"read", "--device", pty.DevicePath(), "-o", P("read.xml")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("открыт.\nОшибка данных!!!\nПорт COM"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("link error 27"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "read.xml"));
}

TEST_F(CliTest, InterruptClosesTheOperation) {
    SimulatedRadio radio;
    RadioFaults faults;
    faults.dead = true; // the identification would wait for its time-outs
    radio.SetFaults(faults);
    PtyRadio pty(radio);
    ASSERT_TRUE(pty.Start()) << pty.Error();
    std::atomic<bool> cancel{true};
    const Result r = Run({"info", "--device", pty.DevicePath()}, &cancel);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("interrupted"), std::string::npos) << r.err;
    EXPECT_EQ(r.out.find("закрыт."), std::string::npos) << r.out;
    EXPECT_EQ(r.out.rfind("Порт COM", 0), 0u) << r.out;
}

TEST_F(CliTest, FilesThatCannotBeReadOrWrittenExitWithThree) {
    const std::string config = WriteConfig("config.xml");
    fs::create_directories(dir / "empty");
    const std::vector<std::vector<std::string>> cases = {
        {"write", "--simulate", P("missing.xml")},
        {"read", "--simulate", "-o", P("no/such/dir/read.xml")},
        {"export", P("missing.xml"), P("out.xlsx")},
        {"export", config, P("no/such/dir/out.xlsx")},
        {"export", config, P("no/such/dir/out.csv")},
        {"import", config, P("missing.csv"), "-o", P("new.xml")},
        {"import", P("missing.xml"), P("garbage.txt"), "-o", P("new.xml")},
        {"image", "build", P("missing.xml"), P("images")},
        {"image", "parse", P("empty"), P("parsed.xml")},
        {"info", "--simulate", "--sim-state", P("garbage.txt")},
    };
    {
        std::ofstream garbage(dir / "garbage.txt");
        garbage << "not a radio\n";
    }
    for (const auto& args : cases) {
        const Result r = Run(args);
        EXPECT_EQ(r.status, 3) << args[0] << " " << args[1] << "\n" << r.err;
        EXPECT_FALSE(r.err.empty());
    }
}

// ---- Channel lists

TEST_F(CliTest, ExportToCsvThenImportGivesTheConfigurationBack) {
    // A configuration with a caption of its own, so that keeping the captions shows.
    Loaded original;
    Load(WriteConfig("config.xml"), original);
    original.captions[2] = Utf8ToCp1251("Ф2. Ретранслятор");
    SaveConfigFile(P("config.xml"), original.channels, original.settings, original.captions);

    for (const char* locale : {"en", "ru"}) {
        SCOPED_TRACE(locale);
        const Result exported =
            Run({"export", P("config.xml"), P("list.CSV"), "--csv-locale", locale});
        ASSERT_EQ(exported.status, 0) << exported.err;
        const std::string list = testfiles::ReadAll(dir / "list.CSV");
        EXPECT_EQ(list.rfind("\xEF\xBB\xBFSlot" + std::string(locale[0] == 'r' ? ";" : ","), 0),
                  0u);

        // Another configuration with the same range set takes the channels of the list.
        Loaded other;
        Load(P("config.xml"), other);
        NewConfig(other.channels, other.settings);
        other.channels.channels[99].freq_rx = 40000000;
        other.captions[5] = Utf8ToCp1251("Ф5. Другое");
        SaveConfigFile(P("other.xml"), other.channels, other.settings, other.captions);

        const Result imported = Run({"import", P("other.xml"), P("list.CSV"), "-o", P("new.xml")});
        ASSERT_EQ(imported.status, 0) << imported.err;
        EXPECT_EQ(imported.out,
                  "Imported 3 channels from " + P("list.CSV") + " into " + P("new.xml") + "\n");
        Loaded result;
        Load(P("new.xml"), result);
        other.channels.channels = original.channels.channels;
        EXPECT_EQ(ConfigDocumentText(result.channels, result.settings, result.captions),
                  ConfigDocumentText(other.channels, other.settings, other.captions));
    }
}

TEST_F(CliTest, ExportKeepsTheSpreadsheetForOtherNames) {
    const Result r = Run({"export", WriteConfig("config.xml"), P("out.xlsx")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(testfiles::ReadAll(dir / "out.xlsx").substr(0, 2), "PK"); // a zip, not text
    const Result locale = Run({"export", P("config.xml"), P("other.xlsx"), "--csv-locale", "ru"});
    EXPECT_EQ(locale.status, 2);
    EXPECT_FALSE(fs::exists(dir / "other.xlsx"));
}

TEST_F(CliTest, ImportWithProblemsListsThemAllAndWritesNothing) {
    const std::string config = WriteConfig("config.xml");
    testfiles::WriteAll(dir / "bad.csv", "Slot;Rx MHz;Squelch;Colour\r\n");
    testfiles::WriteAll(dir / "rows.csv", "Slot;Rx MHz;Squelch\r\n"
                                          "1;40;1\r\n"
                                          "2;150;9\r\n"
                                          "1;40;1\r\n");
    testfiles::WriteAll(dir / "kept.xml", "old");

    const Result header = Run({"import", config, P("bad.csv"), "-o", P("new.xml")});
    EXPECT_EQ(header.status, 3);
    EXPECT_NE(header.err.find(P("bad.csv") + ": row 1, column \"Colour\""), std::string::npos)
        << header.err;
    EXPECT_FALSE(fs::exists(dir / "new.xml"));

    const Result rows = Run({"import", config, P("rows.csv"), "-o", P("kept.xml")});
    EXPECT_EQ(rows.status, 3);
    EXPECT_EQ(rows.err, "zorvex-cli: " + P("rows.csv") +
                            ": row 3, column \"Rx MHz\", value \"150\": outside "
                            "the receive ranges of the range set\n"
                            "zorvex-cli: " +
                            P("rows.csv") +
                            ": row 3, column \"Squelch\", value \"9\": the "
                            "squelch level must be 1 to 8\n"
                            "zorvex-cli: " +
                            P("rows.csv") +
                            ": row 4, column \"Slot\", value \"1\": the slot "
                            "is given in an earlier row (row 2)\n"
                            "zorvex-cli: nothing written: 3 problems in " +
                            P("rows.csv") + "\n");
    EXPECT_TRUE(rows.out.empty());
    EXPECT_EQ(testfiles::ReadAll(dir / "kept.xml"), "old");
}

// ---- Images without a radio

TEST_F(CliTest, ImageBuildAndParseRoundTrip) {
    struct Case {
        std::vector<std::string> versions;
        bool secondTable;
        uint16_t settingsVersion;
    };
    const Case cases[] = {
        {{}, true, 0x0103},
        {{"--channels-version", "1.0", "--settings-version", "1.1"}, true, 0x0101},
        {{"--channels2-version", "0", "--settings-version", "1.0"}, false, 0x0100},
    };
    const std::string config = WriteConfig("config.xml");
    int n = 0;
    for (const Case& c : cases) {
        const std::string images = P("images" + std::to_string(n));
        const std::string parsed = P("parsed" + std::to_string(n++) + ".xml");
        std::vector<std::string> args = {"image", "build", config, images};
        args.insert(args.end(), c.versions.begin(), c.versions.end());
        const Result b = Run(args);
        ASSERT_EQ(b.status, 0) << b.err;
        EXPECT_EQ(fs::file_size(fs::path(images) / "channels-0-99.bin"), 2048u);
        EXPECT_EQ(fs::exists(fs::path(images) / "channels-100-199.bin"), c.secondTable);
        const std::string settings = FileBytes(fs::path(images) / "settings.bin");
        ASSERT_EQ(settings.size(), 2048u);
        EXPECT_EQ((uint8_t)settings[0] | ((uint8_t)settings[1] << 8), c.settingsVersion);

        const Result p = Run({"image", "parse", images, parsed});
        ASSERT_EQ(p.status, 0) << p.err;
        Loaded a, back;
        Load(config, a);
        Load(parsed, back);
        if (!c.secondTable) {
            a.channels.channels[150].Reset(); // table 100-199 was not built
        }
        ExpectSameChannels(a.channels, back.channels);
        EXPECT_EQ(back.settings.version, c.settingsVersion);
        EXPECT_EQ(back.settings.Volume, 6);
    }
}

TEST_F(CliTest, ImageBuildWritesNothingWhenAnImageCannotBeBuilt) {
    FreqRange high;
    high.AddRx(800000000, 900000000);
    high.AddTx(800000000, 900000000);
    const std::string config = WriteConfig("high.xml", &high, 880000000);

    const Result refused = Run({"image", "build", config, P("v1"), "--channels-version", "1.0"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("channels-0-99.bin"), std::string::npos) << refused.err;
    EXPECT_FALSE(fs::exists(dir / "v1"));

    EXPECT_EQ(Run({"image", "build", config, P("v2")}).status, 0);
    EXPECT_TRUE(fs::exists(dir / "v2" / "channels-0-99.bin"));
}

TEST_F(CliTest, ImageParseRefusesABadImage) {
    const std::string config = WriteConfig("config.xml");
    ASSERT_EQ(Run({"image", "build", config, P("images")}).status, 0);
    {
        std::fstream f(dir / "images" / "channels-0-99.bin",
                       std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(100);
        f.put('\x5A');
    }
    const Result r = Run({"image", "parse", P("images"), P("parsed.xml")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find((dir / "images" / "channels-0-99.bin").string() + ": checksum error"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("радиостанции"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "parsed.xml"));
}

} // namespace
