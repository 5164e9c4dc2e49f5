#include "files/ConfigFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "files/FileError.h"
#include "files/TestFiles.h"
#include "files/XmlCommon.h"
#include "files/XmlDocument.h"
#include "model/Cp1251.h"

namespace {

using testfiles::ReadAll;
using testfiles::TempDir;
using testfiles::WriteAll;

FreqRange DefaultSet() {
    FreqRange r;
    r.SetDefault();
    return r;
}

// Receive and transmit 33-40, 45-48.5 and 146-174 MHz.
FreqRange ThreeRangeSet() {
    FreqRange r;
    r.AddRx(33000000, 40000000);
    r.AddRx(45000000, 48500000);
    r.AddRx(146000000, 174000000);
    r.AddTx(33000000, 40000000);
    r.AddTx(45000000, 48500000);
    r.AddTx(146000000, 174000000);
    return r;
}

// A table as the program holds it after start: the default set, current.
ChannelsContext FreshTable() {
    ChannelsContext table;
    table.ranges.Select(table.ranges.Add(DefaultSet()));
    table.ranges.SetModified(false);
    return table;
}

std::vector<std::string> ChildNames(xmlNodePtr parent) {
    std::vector<std::string> names;
    for (xmlNodePtr n = parent != nullptr ? parent->children : nullptr; n; n = n->next) {
        if (n->type == XML_ELEMENT_NODE) {
            names.emplace_back(reinterpret_cast<const char*>(n->name));
        }
    }
    return names;
}

std::string Cp(const char* utf8) {
    return Utf8ToCp1251(utf8);
}

// A configuration document around the given body of root.
std::string Doc(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<root>" + body + "</root>\n";
}

const std::string DEFAULT_RANGE = "<FreqRange><rx0 begin=\"33000000\" end=\"48500000\"/>"
                                  "<tx0 begin=\"33000000\" end=\"48500000\"/></FreqRange>";

class ConfigFileTest : public ::testing::Test {
protected:
    // Opens the document text with the fixture's model.
    ConfigOpenResult Open(const std::string& text) {
        WriteAll(dir / "in.xml", text);
        return OpenConfigFile(dir / "in.xml", table, settings, captions);
    }

    TempDir dir;
    ChannelsContext table = FreshTable();
    SettingsContext settings;
    FlagCaptions captions = DefaultFlagCaptions();
};

TEST_F(ConfigFileTest, SaveThenOpenGivesBackChannelsSettingsCaptionsAndRangeSet) {
    ChannelsContext source = FreshTable();
    const int setIndex = source.ranges.Add(ThreeRangeSet());
    source.ranges.Select(setIndex);

    Channel& simplex = source.channels[0];
    simplex.freq_rx = simplex.freq_tx = 46012500;
    simplex.tone_tx = 1000;
    simplex.subtone_tx = 19;
    simplex.squelch = 2;
    simplex.number = 5;
    Channel& swapped = source.channels[7];
    swapped.freq_rx = 146500000;
    swapped.subtone_rx = 51;
    swapped.tx_power_low = 3;
    swapped.tx_power_high = 1;
    swapped.scan = swapped.band_rx = swapped.band_tx = false;
    swapped.flag0 = swapped.flag7 = true;
    Channel& txOnly = source.channels[150];
    txOnly.freq_tx = 170000000;
    txOnly.freq_rx = -5; // not written, comes back as 0
    txOnly.tone_rx = -1; // likewise
    txOnly.scrambler = txOnly.tx_limit = true;
    txOnly.tx_busy = txOnly.active = false;
    txOnly.flag3 = true;
    txOnly.number = 99;
    Channel& last = source.channels[199];
    last.freq_rx = 33000000;
    last.freq_tx = 48500000;
    last.tone_rx = 3000;
    last.subtone_rx = 134;
    last.subtone_tx = 133;

    SettingsContext sourceSettings;
    sourceSettings.version = 0x0103;
    sourceSettings.Intensity = 3;
    sourceSettings.Volume = 16;
    sourceSettings.TxLimit = 120;
    sourceSettings.TxPowerPassword = 99999;
    sourceSettings.MaxTxPower = 1;
    sourceSettings.Squelch = 8;
    sourceSettings.Squelch_On = false;
    sourceSettings.ExtSpeaker_On = false;
    sourceSettings.Tamp = false;
    sourceSettings.KeyLock = true;
    sourceSettings.DeemphasisOff = true;
    sourceSettings.StartupMode = 0;
    sourceSettings.RepeaterDelay = 7;
    sourceSettings.SpecChannel_1 = 12;
    sourceSettings.SpecChannel_2 = 199;
    sourceSettings.ID = 65535;

    FlagCaptions sourceCaptions = FlagCaptionsForOptions(nullptr);
    sourceCaptions[0] = Cp("Ф0. Задействовать волновую сеть");
    sourceCaptions[5] = Cp("<тревога> & \"вызов\"");

    SaveConfigFile(dir / "config.xml", source, sourceSettings, sourceCaptions);
    // Saving normalises the power levels of the table itself.
    EXPECT_EQ(source.channels[7].tx_power_low, 1);
    EXPECT_EQ(source.channels[7].tx_power_high, 3);

    const ConfigOpenResult result = OpenConfigFile(dir / "config.xml", table, settings, captions);
    EXPECT_FALSE(result.channelsRemoved);
    EXPECT_TRUE(result.warning.empty());
    EXPECT_TRUE(result.rangeSelected);
    ASSERT_NE(table.ranges.current(), nullptr);
    EXPECT_EQ(*table.ranges.current(), ThreeRangeSet());
    EXPECT_EQ(result.rangeIndex, 1);
    EXPECT_EQ(table.ranges.Count(), 2);
    EXPECT_TRUE(table.ranges.modified());
    EXPECT_EQ(result.rangeText, ThreeRangeSet().Text());

    Channel expectedTxOnly = txOnly;
    expectedTxOnly.freq_rx = 0;
    expectedTxOnly.tone_rx = 0;
    for (int i = 0; i < CHANNEL_COUNT; ++i) {
        Channel expected;
        if (i == 150) {
            expected = expectedTxOnly;
        } else if (source.channels[i].IsUsed()) {
            expected = source.channels[i];
        } else {
            expected.number = i % 100;
            expected.scan = true;
        }
        EXPECT_EQ(table.channels[i], expected) << "channel " << i;
    }

    SettingsContext expectedSettings = sourceSettings;
    expectedSettings.ProgramCount = settings.ProgramCount;
    expectedSettings.lastError = settings.lastError;
#define ZORVEX_EXPECT_FIELD(f) EXPECT_EQ(settings.f, expectedSettings.f) << #f;
    ZORVEX_EXPECT_FIELD(version)
    ZORVEX_EXPECT_FIELD(Intensity)
    ZORVEX_EXPECT_FIELD(IntensityKeys)
    ZORVEX_EXPECT_FIELD(Volume)
    ZORVEX_EXPECT_FIELD(TxLimit)
    ZORVEX_EXPECT_FIELD(TxPowerPassword)
    ZORVEX_EXPECT_FIELD(MaxTxPower)
    ZORVEX_EXPECT_FIELD(Squelch)
    ZORVEX_EXPECT_FIELD(Squelch_On)
    ZORVEX_EXPECT_FIELD(ExtSpeaker_On)
    ZORVEX_EXPECT_FIELD(Tamp)
    ZORVEX_EXPECT_FIELD(KeyLock)
    ZORVEX_EXPECT_FIELD(DeemphasisOff)
    ZORVEX_EXPECT_FIELD(StartupMode)
    ZORVEX_EXPECT_FIELD(RepeaterDelay)
    ZORVEX_EXPECT_FIELD(SpecChannel_1)
    ZORVEX_EXPECT_FIELD(SpecChannel_2)
    ZORVEX_EXPECT_FIELD(ID)
#undef ZORVEX_EXPECT_FIELD
    EXPECT_EQ(captions, sourceCaptions);
}

TEST_F(ConfigFileTest, SavedFileHasTheDocumentedForm) {
    table.channels[3].freq_rx = 41000000; // receive only: no freq_tx child
    table.channels[3].number = 3;
    table.channels[10].freq_rx = table.channels[10].freq_tx = 42000000;
    table.channels[10].tone_rx = 1750;
    table.channels[10].tone_tx = 1000;
    table.channels[10].subtone_rx = 1;
    table.channels[10].subtone_tx = 60;
    settings.version = 257;
    SaveConfigFile(dir / "form.xml", table, settings, captions);
    const std::string bytes = ReadAll(dir / "form.xml");

    // Declaration, Windows-1251 captions, two-space indentation, one element per line.
    EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<root>\n"
                          "  <FreqRange>\n"
                          "    <rx0 begin=\"33000000\" end=\"48500000\"/>\n"
                          "    <tx0 begin=\"33000000\" end=\"48500000\"/>\n"
                          "  </FreqRange>\n"
                          "  <Channels>\n"
                          "    <channel id=\"3\">\n"
                          "      <freq_rx>41000000</freq_rx>\n"
                          "      <tx_power_low>0</tx_power_low>\n",
                          0),
              0u)
        << bytes.substr(0, 400);
    EXPECT_NE(bytes.find("  <Settings version=\"0x0101\">\n    <Intensity>9</Intensity>\n"),
              std::string::npos);
    EXPECT_NE(bytes.find("    <Flag0>\xD4"
                         "0</Flag0>\n"),
              std::string::npos);
    EXPECT_TRUE(bytes.ends_with("    <Flag7>\xD4"
                                "7</Flag7>\n  </Flags>\n</root>\n"));

    const XmlDocument doc = XmlDocument::Parse(bytes);
    xmlNodePtr root = doc.Root();
    EXPECT_EQ(ChildNames(root),
              (std::vector<std::string>{"FreqRange", "Channels", "Settings", "Flags"}));
    xmlNodePtr channels = XmlFirstChild(root, "Channels");
    EXPECT_EQ(ChildNames(channels), (std::vector<std::string>{"channel", "channel"}));
    xmlNodePtr channel10 = XmlFirstChild(channels, "channel")->next;
    EXPECT_EQ(XmlAttrText(channel10, "id", ""), "10");
    EXPECT_EQ(ChildNames(channel10),
              (std::vector<std::string>{
                  "freq_rx",    "freq_tx",      "tone_rx",       "tone_tx",  "subtone_rx",
                  "subtone_tx", "tx_power_low", "tx_power_high", "squelch",  "scan",
                  "band_rx",    "band_tx",      "scrambler",     "tx_limit", "tx_busy",
                  "active",     "flag0",        "flag1",         "flag2",    "flag3",
                  "flag4",      "flag5",        "flag6",         "flag7",    "number"}));
    EXPECT_EQ(ChildNames(XmlFirstChild(root, "Settings")),
              (std::vector<std::string>{"Intensity",
                                        "IntensityKeys",
                                        "Volume",
                                        "MinVolume",
                                        "BeepMin",
                                        "BeepMax",
                                        "TxLimit",
                                        "TxPause",
                                        "StartChannel",
                                        "SpecChannel",
                                        "TxPower",
                                        "Squelch_On",
                                        "SquelchAutoVol_On",
                                        "ExtSpeaker_On",
                                        "SpecChannelLock",
                                        "StartChannelLock",
                                        "ScanPause",
                                        "MicAmp",
                                        "TxPowerPassword",
                                        "MaxTxPower",
                                        "Squelch",
                                        "Tamp",
                                        "TxPowerCommon",
                                        "SqlCommon",
                                        "ID",
                                        "KeyLock",
                                        "KeyBeep",
                                        "DigitalDelay",
                                        "MultiplexedChannel",
                                        "SqwMonitorPolarity",
                                        "TxVoiceMonitor",
                                        "DeemphasisOff",
                                        "Output1Function",
                                        "Output2Function",
                                        "Output3Function",
                                        "StartupMode",
                                        "RepeaterDelay",
                                        "SpecChannel_1",
                                        "SpecChannel_2"}));
    EXPECT_EQ(ChildNames(XmlFirstChild(root, "Flags")),
              (std::vector<std::string>{"Flag0", "Flag1", "Flag2", "Flag3", "Flag4", "Flag5",
                                        "Flag6", "Flag7"}));
}

TEST_F(ConfigFileTest, VersionIsWrittenAsFourHexDigitsAndReadBack) {
    struct Case {
        const char* attribute; // null: attribute absent
        uint16_t version;
    };
    const Case cases[] = {{"0x0101", 257}, {"0x0100", 256}, {"259", 259},
                          {"abc", 256},    {"", 256},       {nullptr, 256}};
    for (const Case& c : cases) {
        const std::string attribute =
            c.attribute != nullptr ? std::string(" version=\"") + c.attribute + "\"" : "";
        settings.version = 0x0200;
        Open(Doc(DEFAULT_RANGE + "<Channels/><Settings" + attribute + "/>"));
        EXPECT_EQ(settings.version, c.version) << (c.attribute ? c.attribute : "(absent)");
    }
    settings.version = 257;
    SaveConfigFile(dir / "v.xml", table, settings, captions);
    EXPECT_NE(ReadAll(dir / "v.xml").find("<Settings version=\"0x0101\">"), std::string::npos);
}

TEST_F(ConfigFileTest, ChannelElementsAreReadWithTheFileDefaults) {
    table.channels[42].freq_rx = 40000000; // replaced by the reset before loading
    Open(Doc(DEFAULT_RANGE +
             "<Channels>"
             "<channel id=\"1\"><freq_rx>41000000</freq_rx></channel>"
             "<channel id=\"2\"><freq_rx>41000000</freq_rx><tx_power_low>3</tx_power_low>"
             "<tx_power_high>1</tx_power_high><squelch>x</squelch><scan>7</scan>"
             "<band_rx>0</band_rx><number>77</number></channel>"
             "<channel id=\"3\"><freq_rx>-1</freq_rx><freq_tx>-2</freq_tx><number>9</number>"
             "</channel>"
             "<channel id=\"4\"><freq_rx>41000000</freq_rx><number>5</number></channel>"
             "<channel id=\"4\"><freq_tx>42000000</freq_tx><scrambler>1</scrambler></channel>"
             "</Channels>"));

    Channel one; // every field missing but freq_rx: the reader's defaults
    one.freq_rx = 41000000;
    one.scan = false;
    one.number = 1;
    EXPECT_EQ(table.channels[1], one);

    EXPECT_EQ(table.channels[2].tx_power_low, 1);
    EXPECT_EQ(table.channels[2].tx_power_high, 3);
    EXPECT_EQ(table.channels[2].squelch, 1);
    EXPECT_TRUE(table.channels[2].scan);
    EXPECT_FALSE(table.channels[2].band_rx);
    EXPECT_EQ(table.channels[2].number, 77);

    // Both frequencies negative: an empty channel, number 0.
    EXPECT_EQ(table.channels[3], Channel());

    // A second element with the same id replaces the first wholly but keeps its number.
    Channel four;
    four.freq_tx = 42000000;
    four.scrambler = true;
    four.scan = false;
    four.number = 5;
    EXPECT_EQ(table.channels[4], four);

    Channel empty42;
    empty42.number = 42;
    EXPECT_EQ(table.channels[42], empty42);
}

TEST_F(ConfigFileTest, ChannelElementsWithoutAUsableIdAreIgnored) {
    Open(Doc(DEFAULT_RANGE + "<Channels>"
                             "<channel id=\"200\"><freq_rx>41000000</freq_rx></channel>"
                             "<channel id=\"-1\"><freq_rx>41000000</freq_rx></channel>"
                             "<channel id=\"x\"><freq_rx>41000000</freq_rx></channel>"
                             "<channel id=\"1 \"><freq_rx>41000000</freq_rx></channel>"
                             "<channel><freq_rx>41000000</freq_rx></channel>"
                             "<Channel id=\"5\"><freq_rx>41000000</freq_rx></Channel>"
                             "<other id=\"6\"><freq_rx>41000000</freq_rx></other>"
                             "<channel id=\"0x0A\"><freq_rx>41000000</freq_rx></channel>"
                             "</Channels>"));
    for (int i = 0; i < CHANNEL_COUNT; ++i) {
        EXPECT_EQ(table.channels[i].IsUsed(), i == 10) << "channel " << i;
        EXPECT_EQ(table.channels[i].number, i % 100);
    }
}

TEST_F(ConfigFileTest, RangeSetOfTheFileDecidesTheCurrentSetAndRemovesOutsideChannels) {
    const std::string inside = "<channel id=\"0\"><freq_rx>46000000</freq_rx></channel>";
    const std::string outside =
        "<channel id=\"1\"><freq_rx>46000000</freq_rx><freq_tx>150000000</freq_tx></channel>"
        "<channel id=\"2\"><freq_rx>20000000</freq_rx></channel>";
    struct Case {
        const char* name;
        std::string range;
        FreqRange expectedCurrent;
        bool selected;
    };
    FreqRange twoRx;
    twoRx.AddRx(33000000, 40000000);
    twoRx.AddRx(45000000, 48500000);
    twoRx.AddTx(33000000, 40000000);
    twoRx.AddTx(45000000, 48500000);
    const Case cases[] = {
        {"rx1 without end",
         "<FreqRange><rx0 begin=\"33000000\" end=\"40000000\"/>"
         "<rx1 begin=\"45000000\"/><tx0 begin=\"33000000\" end=\"40000000\"/>"
         "</FreqRange>",
         DefaultSet(), true},
        {"no FreqRange", "", DefaultSet(), true},
        {"zero begin",
         "<FreqRange><rx0 begin=\"0\" end=\"40000000\"/>"
         "<tx0 begin=\"33000000\" end=\"40000000\"/></FreqRange>",
         DefaultSet(), true},
        {"two ranges",
         "<FreqRange><rx0 begin=\"33000000\" end=\"40000000\"/>"
         "<rx1 begin=\"45000000\" end=\"48500000\"/>"
         "<tx0 begin=\"33000000\" end=\"40000000\"/>"
         "<tx1 end=\"48500000\" begin=\"45000000\"/></FreqRange>",
         twoRx, true},
        // A set that fails the validity test (an end at 1 GHz): the current set stays.
        {"invalid set",
         "<FreqRange><rx0 begin=\"33000000\" end=\"1000000000\"/>"
         "<tx0 begin=\"33000000\" end=\"40000000\"/></FreqRange>",
         ThreeRangeSet(), false},
    };
    for (const Case& c : cases) {
        table = FreshTable();
        table.ranges.Select(table.ranges.Add(ThreeRangeSet()));
        const int countBefore = table.ranges.Count();
        const ConfigOpenResult result =
            Open(Doc(c.range + "<Channels>" + inside + outside + "</Channels>"));
        ASSERT_NE(table.ranges.current(), nullptr) << c.name;
        EXPECT_EQ(*table.ranges.current(), c.expectedCurrent) << c.name;
        EXPECT_EQ(result.rangeSelected, c.selected) << c.name;
        EXPECT_EQ(table.ranges.Count(), countBefore + (c.name == std::string("two ranges")))
            << c.name;
        EXPECT_EQ(result.rangeText, c.expectedCurrent.Text()) << c.name;
        EXPECT_EQ(result.rangeIndex, table.ranges.currentIndex()) << c.name;
        // 150 MHz and 20 MHz lie outside every set here except the three-range one (150).
        const bool keepsOne = *table.ranges.current() == ThreeRangeSet();
        EXPECT_TRUE(table.channels[0].IsUsed()) << c.name;
        EXPECT_EQ(table.channels[1].IsUsed(), keepsOne) << c.name;
        EXPECT_FALSE(table.channels[2].IsUsed()) << c.name;
        EXPECT_EQ(table.channels[2].number, 0) << c.name;
        EXPECT_TRUE(result.channelsRemoved) << c.name;
        // The warning names every removed slot with its frequencies.
        std::string warning = Cp("При загрузке файла были удалены каналы, не соответствующие "
                                 "диапазону частот.");
        if (!keepsOne) {
            warning += "\n" + Cp("Канал 1: прием 46 000 000 Гц, передача 150 000 000 Гц");
        }
        warning += "\n" + Cp("Канал 2: прием 20 000 000 Гц, передача нет");
        EXPECT_EQ(result.warning, warning) << c.name;
        ASSERT_EQ(result.removed.size(), keepsOne ? 1u : 2u) << c.name;
        EXPECT_EQ(result.removed.back().slot, 2);
        EXPECT_EQ(result.removed.back().freq_rx, 20000000);
        EXPECT_EQ(result.removed.back().freq_tx, 0);
    }
}

TEST_F(ConfigFileTest, KnownRangeSetLeavesTheListUnmodified) {
    const ConfigOpenResult result = Open(Doc(DEFAULT_RANGE + "<Channels/>"));
    EXPECT_TRUE(result.rangeSelected);
    EXPECT_EQ(table.ranges.Count(), 1);
    EXPECT_FALSE(table.ranges.modified());
    EXPECT_FALSE(result.channelsRemoved);
    EXPECT_TRUE(result.warning.empty());
}

TEST_F(ConfigFileTest, FlagCaptionsComeFromTheFileOrStayWithoutFlags) {
    FlagCaptions custom = DefaultFlagCaptions();
    custom[0] = Cp("Тревога");
    custom[3] = Cp("Выход");

    captions = custom;
    Open(Doc(DEFAULT_RANGE + "<Channels/>"));
    EXPECT_EQ(captions, custom);

    captions = custom;
    Open(Doc(DEFAULT_RANGE + "<Channels/><Flags><Flag0>\xCD\xEE\xE2\xFB\xE9</Flag0>"
                             "<Flag7></Flag7></Flags>"));
    FlagCaptions expected = DefaultFlagCaptions();
    expected[0] = Cp("Новый");
    expected[7] = "";
    EXPECT_EQ(captions, expected); // Flag3 absent: back to "Ф3"

    // A document in another encoding is read just as well.
    WriteAll(dir / "utf8.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><root>" + DEFAULT_RANGE +
                                   "<Channels/><Flags><Flag2>Вызов №2</Flag2></Flags></root>");
    OpenConfigFile(dir / "utf8.xml", table, settings, captions);
    EXPECT_EQ(captions[2], Cp("Вызов №2"));
}

TEST_F(ConfigFileTest, MissingSettingsTakeTheReaderDefaults) {
    settings.Intensity = 1;
    settings.MaxTxPower = 0;
    settings.StartupMode = 5;
    settings.KeyBeep = false;
    settings.ProgramCount = 17;
    Open(Doc(DEFAULT_RANGE + "<Channels/>"));
    SettingsContext expected;
    expected.MaxTxPower = 3;    // the reader's default differs from a new table's
    expected.ProgramCount = 17; // not part of the file
    EXPECT_EQ(settings.Intensity, expected.Intensity);
    EXPECT_EQ(settings.MaxTxPower, 3);
    EXPECT_EQ(settings.StartupMode, 128);
    EXPECT_TRUE(settings.KeyBeep);
    EXPECT_EQ(settings.ProgramCount, 17);
    EXPECT_EQ(settings.version, 0x0100);

    Open(Doc(DEFAULT_RANGE + "<Channels/><Settings version=\"0x0102\"><Volume>3</Volume>"
                             "<KeyBeep>0</KeyBeep><ID>99999999999</ID><TxLimit> 30</TxLimit>"
                             "</Settings>"));
    EXPECT_EQ(settings.version, 0x0102);
    EXPECT_EQ(settings.Volume, 3);
    EXPECT_FALSE(settings.KeyBeep);
    EXPECT_EQ(settings.ID, 1);       // overflowing: default
    EXPECT_EQ(settings.TxLimit, 30); // leading blanks are fine
    EXPECT_EQ(settings.MaxTxPower, 3);
}

// Snapshot of the model to check that a refused file changed nothing.
struct ModelSnapshot {
    std::array<Channel, CHANNEL_COUNT> channels;
    int rangeCount;
    int rangeIndex;
    bool modified;
    SettingsContext settings;
    FlagCaptions captions;
};

TEST_F(ConfigFileTest, UnreadableOrHostileFilesAreRefusedBeforeAnythingChanges) {
    WriteAll(dir / "secret.txt", "TOP-SECRET");
    const std::string secret = (dir / "secret.txt").string();
    std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE root [<!ENTITY a \"aaaaaaaaaa\">";
    for (char c = 'b'; c <= 'k'; ++c) {
        laughs += std::string("<!ENTITY ") + c + " \"";
        for (int i = 0; i < 10; ++i) {
            laughs += std::string("&") + static_cast<char>(c - 1) + ";";
        }
        laughs += "\">";
    }
    laughs += "]><root>" + DEFAULT_RANGE + "<Channels/><Flags><Flag0>&k;</Flag0></Flags></root>";

    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty file", ""},
        {"not XML", "this is not a configuration"},
        {"truncated",
         Doc(DEFAULT_RANGE + "<Channels><channel id=\"1\"><freq_rx>4100").substr(0, 150)},
        {"mismatched tags", Doc("<Channels></Settings>")},
        {"external entity", "<?xml version=\"1.0\"?><!DOCTYPE root [<!ENTITY x SYSTEM \"file://" +
                                secret + "\">]><root>" + DEFAULT_RANGE +
                                "<Channels/><Flags><Flag0>&x;</Flag0></Flags></root>"},
        {"external DTD", "<?xml version=\"1.0\"?><!DOCTYPE root SYSTEM \"file://" + secret +
                             "\"><root>" + DEFAULT_RANGE + "<Channels/></root>"},
        {"internal subset", "<?xml version=\"1.0\"?><!DOCTYPE root [<!ELEMENT root ANY>]><root>" +
                                DEFAULT_RANGE + "<Channels/></root>"},
        {"billion laughs", laughs},
        {"undeclared entity", Doc(DEFAULT_RANGE + "<Channels/><Flags><Flag0>&x;</Flag0></Flags>")},
        {"Windows-1251 without declaration",
         "<root>" + DEFAULT_RANGE +
             "<Channels/><Flags><Flag0>\xD4\xEB\xE0\xE3</Flag0></Flags></root>"},
        {"unknown encoding",
         "<?xml version=\"1.0\" encoding=\"x-no-such\"?><root><Channels/></root>"},
        {"no Channels", Doc(DEFAULT_RANGE + "<Settings/><Flags/>")},
        {"range-list file",
         "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<root>\r\n\t<FreqRangeList>\r\n"
         "\t\t<FreqRange>\r\n\t\t\t<rx0 begin=\"33000000\" end=\"48500000\"/>\r\n"
         "\t\t</FreqRange>\r\n\t</FreqRangeList>\r\n</root>\r\n"},
    };

    table.channels[5].freq_rx = 41000000;
    table.ranges.Add(ThreeRangeSet());
    settings.Volume = 2;
    captions[1] = Cp("Своё");
    const ModelSnapshot before{table.channels,
                               table.ranges.Count(),
                               table.ranges.currentIndex(),
                               table.ranges.modified(),
                               settings,
                               captions};
    for (const Case& c : cases) {
        WriteAll(dir / "bad.xml", c.bytes);
        try {
            OpenConfigFile(dir / "bad.xml", table, settings, captions);
            ADD_FAILURE() << c.name << ": accepted";
        } catch (const FileError& error) {
            EXPECT_STRNE(error.what(), "") << c.name;
            EXPECT_EQ(std::string(error.what()).find("TOP-SECRET"), std::string::npos);
        }
        EXPECT_EQ(table.channels, before.channels) << c.name;
        EXPECT_EQ(table.ranges.Count(), before.rangeCount) << c.name;
        EXPECT_EQ(table.ranges.currentIndex(), before.rangeIndex) << c.name;
        EXPECT_EQ(table.ranges.modified(), before.modified) << c.name;
        EXPECT_EQ(settings.Volume, before.settings.Volume) << c.name;
        EXPECT_EQ(captions, before.captions) << c.name;
    }
    EXPECT_THROW(OpenConfigFile(dir / "no-such.xml", table, settings, captions), FileError);
    EXPECT_THROW(OpenConfigFile(dir.path(), table, settings, captions), FileError);
}

TEST_F(ConfigFileTest, ErrorCarriesTheParserMessage) {
    WriteAll(dir / "bad.xml", Doc("<Channels></Settings>"));
    try {
        OpenConfigFile(dir / "bad.xml", table, settings, captions);
        FAIL() << "accepted";
    } catch (const FileError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("line 2"), std::string::npos) << message;
        EXPECT_NE(message.find("mismatch"), std::string::npos) << message;
    }
}

TEST_F(ConfigFileTest, HugeAndSignedNumbersTakeDefaultsOrStayInRange) {
    Open(Doc(DEFAULT_RANGE + "<Channels>"
                             "<channel id=\"1\"><freq_rx>41000000</freq_rx>"
                             "<tone_rx>4294967296</tone_rx><squelch>-2147483648</squelch>"
                             "<tx_power_high>99999999999999999999</tx_power_high>"
                             "<number>$7FFFFFFF</number></channel></Channels>"));
    EXPECT_EQ(table.channels[1].tone_rx, 0);
    EXPECT_EQ(table.channels[1].squelch, INT32_MIN);
    EXPECT_EQ(table.channels[1].tx_power_high, 3);
    EXPECT_EQ(table.channels[1].number, INT32_MAX);
}

TEST_F(ConfigFileTest, FailedSaveLeavesTheOldFileAndRaises) {
    const auto path = dir / "config.xml";
    WriteAll(path, "the good old file");
    for (int i = 0; i < CHANNEL_COUNT; ++i) {
        table.channels[i].freq_rx = 41000000;
    }
    table.channels[9].tx_power_low = 3;
    table.channels[9].tx_power_high = 0;
    {
        testfiles::FileSizeLimit full(4096); // the file needs far more: the disk "fills up"
        EXPECT_THROW(SaveConfigFile(path, table, settings, captions), FileError);
    }
    EXPECT_EQ(ReadAll(path), "the good old file");
    EXPECT_EQ(dir.Entries(), (std::set<std::string>{"config.xml"})); // no temporary left
    EXPECT_EQ(table.channels[9].tx_power_low, 3); // nothing normalised by a failed save

    EXPECT_THROW(SaveConfigFile(dir / "missing-dir" / "c.xml", table, settings, captions),
                 FileError);
    EXPECT_THROW(SaveConfigFile(dir.path(), table, settings, captions), FileError);
}

TEST_F(ConfigFileTest, SaveReplacesAnExistingFileAndKeepsItsPermissionsAndLinks) {
    const auto path = dir / "config.xml";
    WriteAll(path, "old");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    table.channels[0].freq_rx = 41000000;
    SaveConfigFile(path, table, settings, captions);
    EXPECT_NE(ReadAll(path).find("<channel id=\"0\">"), std::string::npos);
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(dir.Entries(), (std::set<std::string>{"config.xml"}));

    // Saving through a symbolic link rewrites its target and keeps the link.
    std::filesystem::create_symlink("config.xml", dir / "link.xml");
    table.channels[1].freq_rx = 42000000;
    SaveConfigFile(dir / "link.xml", table, settings, captions);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.xml"));
    EXPECT_NE(ReadAll(path).find("<channel id=\"1\">"), std::string::npos);
    EXPECT_EQ(dir.Entries(), (std::set<std::string>{"config.xml", "link.xml"}));
}

TEST_F(ConfigFileTest, SavingWithoutACurrentSetWritesTheDefaultSet) {
    ChannelsContext noSet; // empty range list
    noSet.channels[0].freq_rx = 41000000;
    SaveConfigFile(dir / "c.xml", noSet, settings, captions);
    EXPECT_NE(ReadAll(dir / "c.xml").find("<rx0 begin=\"33000000\" end=\"48500000\"/>"),
              std::string::npos);
    ChannelsContext loaded;
    OpenConfigFile(dir / "c.xml", loaded, settings, captions);
    ASSERT_NE(loaded.ranges.current(), nullptr);
    EXPECT_EQ(*loaded.ranges.current(), DefaultSet());
    EXPECT_TRUE(loaded.channels[0].IsUsed());
}

TEST_F(ConfigFileTest, NewConfigResetsTableAndSettingsButNotTheRanges) {
    table.ranges.Select(table.ranges.Add(ThreeRangeSet()));
    table.channels[12].freq_rx = 41000000;
    table.channels[12].number = 3;
    settings.MaxTxPower = 0;
    settings.version = 0x0103;
    const FlagCaptions fresh = NewConfig(table, settings);
    EXPECT_EQ(fresh, DefaultFlagCaptions());
    for (int i = 0; i < CHANNEL_COUNT; ++i) {
        EXPECT_FALSE(table.channels[i].IsUsed());
        EXPECT_EQ(table.channels[i].number, i % 100);
    }
    EXPECT_EQ(settings.MaxTxPower, 2);
    EXPECT_EQ(settings.version, 0x0100);
    EXPECT_EQ(table.ranges.Count(), 2);
    EXPECT_EQ(table.ranges.currentIndex(), 1);
}

} // namespace
