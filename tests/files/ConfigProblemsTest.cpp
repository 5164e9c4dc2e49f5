#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/ConfigFile.h"
#include "files/MisdeclaredUtf8.h"
#include "files/TestFiles.h"
#include "model/Cp1251.h"

namespace {

using testfiles::TempDir;
using testfiles::WriteAll;

// A hand-edited file, one element per line where the line numbers matter.
const char* const HAND_EDITED =
    "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n"                               // 1
    "<root>\n"                                                                          // 2
    "<FreqRange><rx0 begin=\"33000000\" end=\"48500000\"/>"                             // 3
    "<tx0 begin=\"33000000\" end=\"48500000\"/></FreqRange>\n"                          // 3
    "<Channels>\n"                                                                      // 4
    "<channel id=\"5\">\n"                                                              // 5
    "<freq_rx>41.000</freq_rx>\n"                                                       // 6
    "<freq_tx>41000000</freq_tx>\n"                                                     // 7
    "<scan>yes</scan>\n"                                                                // 8
    "<colour>red</colour>\n"                                                            // 9
    "</channel>\n"                                                                      // 10
    "<Channel id=\"1\"><freq_rx>40000000</freq_rx></Channel>\n"                         // 11
    "<channel id=\"250\"><freq_rx>40000000</freq_rx></channel>\n"                       // 12
    "<channel id=\"7\"><freq_rx>40000000</freq_rx></channel>\n"                         // 13
    "<channel id=\"7\"><freq_rx>42000000</freq_rx></channel>\n"                         // 14
    "<channel><freq_rx>40000000</freq_rx></channel>\n"                                  // 15
    "</Channels>\n"                                                                     // 16
    "<Settings version=\"0x0103\"><Volume>loud</Volume><Volume>3</Volume></Settings>\n" // 17
    "<Extra/>\n"                                                                        // 18
    "</root>\n";

struct Opened {
    ChannelsContext table;
    SettingsContext settings;
    FlagCaptions captions = DefaultFlagCaptions();
    ConfigOpenResult result;
};

Opened OpenText(const TempDir& dir, const std::string& bytes) {
    WriteAll(dir / "in.xml", bytes);
    Opened o;
    FreqRange range;
    range.SetDefault();
    o.table.ranges.Select(o.table.ranges.Add(range));
    o.result = OpenConfigFile(dir / "in.xml", o.table, o.settings, o.captions);
    return o;
}

} // namespace

TEST(ConfigProblems, HandEditedFileIsReadAsBeforeAndEveryProblemIsNamedWithItsLine) {
    TempDir dir;
    const Opened o = OpenText(dir, HAND_EDITED);

    // Read exactly as without the list: the simplex channel became transmit-only.
    EXPECT_EQ(o.table.channels[5].freq_rx, 0);
    EXPECT_EQ(o.table.channels[5].freq_tx, 41000000);
    EXPECT_FALSE(o.table.channels[5].scan);
    EXPECT_FALSE(o.table.channels[1].IsUsed());
    EXPECT_EQ(o.table.channels[7].freq_rx, 42000000); // the later duplicate wins
    EXPECT_EQ(o.settings.Volume, 10);                 // the default, not the second 3

    struct Expected {
        int line;
        const char* text;
    };
    const Expected expected[] = {
        {6, "channel 5: freq_rx: \"41.000\" is not a number, read as 0"},
        {8, "channel 5: scan: \"yes\" is not a number, read as 0"},
        {9, "channel 5: element \"colour\" is not part of the format, skipped"},
        {11, "Channels: element \"Channel\" is not part of the format, skipped"},
        {12, "Channels: channel: slot 250 is outside 0-199, skipped"},
        {14, "channel 7: slot given again (first at line 13), this one replaces it"},
        {15, "Channels: channel: no id, skipped"},
        {17, "Settings: Volume: \"loud\" is not a number, read as 10"},
        {17, "Settings: Volume: given again, the first one is used"},
        {18, "root: element \"Extra\" is not part of the format, skipped"},
    };
    const ConfigProblems& problems = o.result.problems;
    ASSERT_EQ(problems.size(), std::size(expected));
    for (std::size_t i = 0; i < problems.size(); ++i) {
        EXPECT_EQ(problems[i].line, expected[i].line) << i;
        EXPECT_EQ(ConfigProblemText(problems[i]), expected[i].text) << i;
    }
    EXPECT_EQ(Cp1251ToUtf8(ConfigProblemTextRu(problems[0])),
              "канал 5: freq_rx: «41.000» — не число, прочитано 0");
    EXPECT_EQ(problems[0].channel, 5);
    EXPECT_EQ(problems[0].field, "freq_rx");
    EXPECT_EQ(problems[0].text, "41.000");
}

TEST(ConfigProblems, FilesTheProgramWritesHaveNone) {
    TempDir dir;
    ChannelsContext table;
    FreqRange range;
    range.SetDefault();
    table.ranges.Select(table.ranges.Add(range));
    for (int i = 0; i < CHANNEL_COUNT; ++i) {
        Channel& c = table.channels[static_cast<std::size_t>(i)];
        c.freq_rx = 33000000 + 12500 * i;
        c.freq_tx = i % 3 == 0 ? 0 : 34000000 + 12500 * i;
        c.tone_tx = i % 2 == 0 ? 1750 : 0;
        c.subtone_rx = i % 38;
        c.scan = i % 2 == 1;
        c.flag7 = true;
    }
    SettingsContext settings;
    settings.ID = 4321;
    FlagCaptions captions = DefaultFlagCaptions();
    captions[0] = Utf8ToCp1251("Выход «А» №1");
    SaveConfigFile(dir / "saved.xml", table, settings, captions);

    ChannelsContext loaded;
    SettingsContext loadedSettings;
    FlagCaptions loadedCaptions = DefaultFlagCaptions();
    const ConfigOpenResult result =
        OpenConfigFile(dir / "saved.xml", loaded, loadedSettings, loadedCaptions);
    EXPECT_TRUE(result.problems.empty())
        << result.problems.size() << ": " << ConfigProblemText(result.problems.front());
    EXPECT_FALSE(result.channelsRemoved);
    EXPECT_EQ(loadedCaptions[0], captions[0]);
}

TEST(ConfigProblems, Utf8TextUnderAWindows1251DeclarationIsNamed) {
    const std::string utf8 = "<Flags><Flag0>Выход</Flag0></Flags>";
    const std::string cp1251 = Utf8ToCp1251(utf8);
    struct Case {
        const char* what;
        std::string declaration;
        std::string flags;
        int line; // of the problem; 0: none
    };
    const Case cases[] = {
        {"UTF-8 declared as windows-1251", "windows-1251", utf8, 4},
        {"declared as CP1251, any case", "CP1251", utf8, 4},
        {"Windows-1251 as declared", "windows-1251", cp1251, 0},
        {"UTF-8 as declared", "UTF-8", utf8, 0},
        {"ASCII only", "windows-1251", "<Flags><Flag0>Out</Flag0></Flags>", 0},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string bytes = "<?xml version=\"1.0\" encoding=\"" + c.declaration +
                                  "\"?>\n<root>\n<Channels/>\n" + c.flags + "\n</root>\n";
        EXPECT_EQ(MisdeclaredUtf8Line(bytes, c.declaration), c.line);
        const Opened o = OpenText(dir, bytes);
        if (c.line == 0) {
            EXPECT_TRUE(o.result.problems.empty());
            continue;
        }
        ASSERT_EQ(o.result.problems.size(), 1u);
        EXPECT_EQ(o.result.problems[0].kind, ConfigProblemKind::Utf8DeclaredAs1251);
        EXPECT_EQ(o.result.problems[0].line, c.line);
        EXPECT_EQ(o.captions[0], Utf8ToCp1251("Р’С‹С…РѕРґ")); // read as before: garbled
    }
}
