#include "files/RangeListFile.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "files/ConfigFile.h"
#include "files/TestFiles.h"

namespace {

using testfiles::ReadAll;
using testfiles::TempDir;
using testfiles::WriteAll;

const std::string NINE_LINE_DEFAULT = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"
                                      "<root>\r\n"
                                      "\t<FreqRangeList>\r\n"
                                      "\t\t<FreqRange>\r\n"
                                      "\t\t\t<rx0 begin=\"33000000\" end=\"48500000\"/>\r\n"
                                      "\t\t\t<tx0 begin=\"33000000\" end=\"48500000\"/>\r\n"
                                      "\t\t</FreqRange>\r\n"
                                      "\t</FreqRangeList>\r\n"
                                      "</root>\r\n";

FreqRange DefaultSet() {
    FreqRange r;
    r.SetDefault();
    return r;
}

FreqRange Set(std::initializer_list<std::pair<uint32_t, uint32_t>> rx,
              std::initializer_list<std::pair<uint32_t, uint32_t>> tx) {
    FreqRange r;
    for (auto [b, e] : rx) {
        r.AddRx(b, e);
    }
    for (auto [b, e] : tx) {
        r.AddTx(b, e);
    }
    return r;
}

std::string ListText(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<root>\r\n\t<FreqRangeList>\r\n" +
           body + "\t</FreqRangeList>\r\n</root>\r\n";
}

// Restores an environment variable at the end of a test.
class EnvGuard {
public:
    explicit EnvGuard(const char* name) : name_(name) {
        if (const char* v = std::getenv(name)) {
            old_ = v;
        }
    }
    ~EnvGuard() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(RangeListFile, DefaultListIsTheNineLineFileByteForByte) {
    FreqRangeList list;
    list.Add(DefaultSet());
    EXPECT_EQ(RangeListFileText(list), NINE_LINE_DEFAULT);

    TempDir dir;
    ASSERT_TRUE(SaveRangeListFile(list, dir / RANGE_LIST_FILE_NAME));
    EXPECT_EQ(ReadAll(dir / RANGE_LIST_FILE_NAME), NINE_LINE_DEFAULT);
}

TEST(RangeListFile, WritesFilledSlotsOfValidSetsOnly) {
    FreqRangeList list;
    list.Add(Set({{33000000, 40000000}, {45000000, 48500000}, {146000000, 174000000}},
                 {{33000000, 40000000}, {45000000, 48500000}, {146000000, 174000000}}));
    list.Add(Set({{41912500, 41912500}}, {{41912500, 41912500}}));
    list.Add(Set({{33000000, 48500000}, {10, 5}}, {{33000000, 48500000}})); // invalid: skipped
    list.Add(Set({{150000000, 156000000}}, {{150000000, 151000000}, {155000000, 156000000}}));
    EXPECT_EQ(RangeListFileText(list),
              ListText("\t\t<FreqRange>\r\n"
                       "\t\t\t<rx0 begin=\"33000000\" end=\"40000000\"/>\r\n"
                       "\t\t\t<rx1 begin=\"45000000\" end=\"48500000\"/>\r\n"
                       "\t\t\t<rx2 begin=\"146000000\" end=\"174000000\"/>\r\n"
                       "\t\t\t<tx0 begin=\"33000000\" end=\"40000000\"/>\r\n"
                       "\t\t\t<tx1 begin=\"45000000\" end=\"48500000\"/>\r\n"
                       "\t\t\t<tx2 begin=\"146000000\" end=\"174000000\"/>\r\n"
                       "\t\t</FreqRange>\r\n"
                       "\t\t<FreqRange>\r\n"
                       "\t\t\t<rx0 begin=\"41912500\" end=\"41912500\"/>\r\n"
                       "\t\t\t<tx0 begin=\"41912500\" end=\"41912500\"/>\r\n"
                       "\t\t</FreqRange>\r\n"
                       "\t\t<FreqRange>\r\n"
                       "\t\t\t<rx0 begin=\"150000000\" end=\"156000000\"/>\r\n"
                       "\t\t\t<tx0 begin=\"150000000\" end=\"151000000\"/>\r\n"
                       "\t\t\t<tx1 begin=\"155000000\" end=\"156000000\"/>\r\n"
                       "\t\t</FreqRange>\r\n"));

    // What was written reads back as the same valid sets in the same order.
    TempDir dir;
    ASSERT_TRUE(SaveRangeListFile(list, dir / "list.xml"));
    FreqRangeList back;
    EXPECT_TRUE(LoadRangeListFile(back, dir / "list.xml"));
    ASSERT_EQ(back.Count(), 3);
    EXPECT_EQ(back.Item(0), list.Item(0));
    EXPECT_EQ(back.Item(1), list.Item(1));
    EXPECT_EQ(back.Item(2), list.Item(3));
    EXPECT_FALSE(back.modified());
    EXPECT_EQ(back.current(), nullptr); // loading selects nothing
}

TEST(RangeListFile, ReaderAcceptsAnyDocumentOfTheSameStructure) {
    TempDir dir;
    WriteAll(dir / "list.xml",
             "<?xml version='1.0' encoding='windows-1251'?>\n"
             "<anything><note>ignored</note>\n"
             "  <FreqRangeList extra=\"1\">\n"
             "    <comment/>\n"
             "    <FreqRange><tx0 end='48500000' begin='33000000'/>"
             "<rx0 end='48500000' begin='33000000'/><unrelated/></FreqRange>\n"
             "    <FreqRange><rx0 begin='33000000' end='48500000'/>"
             "<tx0 begin='33000000' end='48500000'/></FreqRange>\n" // duplicate
             "    <freqrange><rx0 begin='1' end='2'/><tx0 begin='1' end='2'/></freqrange>\n"
             "    <FreqRange><rx0 begin='146000000' end='150000000'/>"
             "<rx1 begin='151000000'/><tx0 begin='146000000' end='150000000'/></FreqRange>\n"
             "    <FreqRange><rx0 begin='146000000' end='174000000'/>"
             "<tx0 begin='146000000' end='174000000'/></FreqRange>\n"
             "  </FreqRangeList>\n"
             "</anything>\n");
    FreqRangeList list;
    EXPECT_TRUE(LoadRangeListFile(list, dir / "list.xml"));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item(0), DefaultSet());
    EXPECT_EQ(list.Item(1), Set({{146000000, 174000000}}, {{146000000, 174000000}}));
    // The duplicate counts once and is not a change: the file is left as it is.
    EXPECT_FALSE(list.modified());
}

TEST(RangeListFile, FailedReadsFallBackToTheDefaultListMarkedModified) {
    struct Case {
        const char* name;
        std::optional<std::string> bytes; // nullopt: no file at all
    };
    const Case cases[] = {
        {"missing file", std::nullopt},
        {"empty file", std::string()},
        {"not XML", std::string("rx0 33000000 48500000")},
        {"truncated", NINE_LINE_DEFAULT.substr(0, 120)},
        {"no FreqRangeList",
         std::string("<root><FreqRange><rx0 begin=\"1\" end=\"2\"/></FreqRange></root>")},
        {"no valid set",
         ListText("\t\t<FreqRange>\r\n\t\t\t<rx0 begin=\"33000000\"/>\r\n\t\t</FreqRange>\r\n")},
        {"empty list", ListText("")},
        {"DOCTYPE",
         "<?xml version=\"1.0\"?><!DOCTYPE root [<!ENTITY e \"48500000\">]>"
         "<root><FreqRangeList><FreqRange><rx0 begin=\"146000000\" end=\"174000000\"/>"
         "<tx0 begin=\"146000000\" end=\"174000000\"/></FreqRange></FreqRangeList></root>"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        if (c.bytes) {
            WriteAll(dir / "list.xml", *c.bytes);
        }
        FreqRangeList list;
        list.Add(Set({{150000000, 156000000}}, {{150000000, 156000000}}));
        list.Select(0);
        EXPECT_FALSE(LoadRangeListFile(list, dir / "list.xml")) << c.name;
        ASSERT_EQ(list.Count(), 1) << c.name;
        EXPECT_EQ(list.Item(0), DefaultSet()) << c.name;
        EXPECT_TRUE(list.modified()) << c.name;
    }
}

TEST(RangeListLocation, PerUserCopyWhenPresentOrWhenTheProgramDirectoryIsReadOnly) {
    TempDir exe;
    TempDir user;
    const auto beside = exe / RANGE_LIST_FILE_NAME;
    const auto perUser = user / RANGE_LIST_FILE_NAME;

    RangeListLocation l = LocateRangeList(exe.path(), user.path(), true);
    EXPECT_EQ(l.readFrom, beside);
    EXPECT_EQ(l.writeTo, beside);
    EXPECT_EQ(l.fallback, perUser);

    l = LocateRangeList(exe.path(), user.path(), false);
    EXPECT_EQ(l.readFrom, beside); // a system-wide copy is still read
    EXPECT_EQ(l.writeTo, perUser);
    EXPECT_TRUE(l.fallback.empty());

    WriteAll(perUser, NINE_LINE_DEFAULT);
    for (bool writable : {true, false}) {
        l = LocateRangeList(exe.path(), user.path(), writable);
        EXPECT_EQ(l.readFrom, perUser);
        EXPECT_EQ(l.writeTo, perUser);
    }

    l = LocateRangeList(exe.path(), {}, false);
    EXPECT_EQ(l.readFrom, beside);
    EXPECT_EQ(l.writeTo, beside);

    EXPECT_TRUE(DirectoryWritable(exe.path()));
    EXPECT_EQ(exe.Entries(), std::set<std::string>{}); // the probe leaves nothing behind
    EXPECT_FALSE(DirectoryWritable(exe / "missing"));
    WriteAll(exe / "plain", "x");
    EXPECT_FALSE(DirectoryWritable(exe / "plain"));
}

TEST(RangeListLocation, UserConfigDirFollowsTheEnvironment) {
    EnvGuard xdg("XDG_CONFIG_HOME");
    EnvGuard home("HOME");
    setenv("HOME", "/home/tech", 1);
    setenv("XDG_CONFIG_HOME", "/srv/conf", 1);
    EXPECT_EQ(UserConfigDir(), std::filesystem::path("/srv/conf/Zorvex_Prog"));
    setenv("XDG_CONFIG_HOME", "", 1);
    EXPECT_EQ(UserConfigDir(), std::filesystem::path("/home/tech/.config/Zorvex_Prog"));
    setenv("XDG_CONFIG_HOME", "relative/dir", 1); // not absolute: ignored
    EXPECT_EQ(UserConfigDir(), std::filesystem::path("/home/tech/.config/Zorvex_Prog"));
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    EXPECT_TRUE(UserConfigDir().empty());
}

TEST(RangeListSession, FirstRunWritesTheDefaultFileAtExitAndAnUnchangedListIsNotRewritten) {
    TempDir exe;
    TempDir user;
    const RangeListLocation location = LocateRangeList(exe.path(), user.path(), true);
    {
        FreqRangeList list;
        RangeListSession session(list, location);
        EXPECT_EQ(list.Count(), 1);
        EXPECT_TRUE(list.modified());
    }
    EXPECT_EQ(ReadAll(exe / RANGE_LIST_FILE_NAME), NINE_LINE_DEFAULT);

    // A file holding a set twice is read fine and not rewritten: the duplicate stays.
    const std::string twice =
        ListText("\t\t<FreqRange>\r\n\t\t\t<rx0 begin=\"33000000\" end=\"48500000\"/>\r\n"
                 "\t\t\t<tx0 begin=\"33000000\" end=\"48500000\"/>\r\n\t\t</FreqRange>\r\n"
                 "\t\t<FreqRange>\r\n\t\t\t<rx0 begin=\"33000000\" end=\"48500000\"/>\r\n"
                 "\t\t\t<tx0 begin=\"33000000\" end=\"48500000\"/>\r\n\t\t</FreqRange>\r\n");
    WriteAll(exe / RANGE_LIST_FILE_NAME, twice);
    {
        FreqRangeList list;
        RangeListSession session(list, location);
        EXPECT_EQ(list.Count(), 1);
        EXPECT_FALSE(list.modified());
    }
    EXPECT_EQ(ReadAll(exe / RANGE_LIST_FILE_NAME), twice);
    EXPECT_EQ(user.Entries(), std::set<std::string>{});
}

// The default list replaces a file that could not be read, but what that file held is kept
// beside it: a hand-edited list with one typo must not lose every set in it.
TEST(RangeListSession, UnreadableFileIsKeptAsACopyBeforeTheDefaultListReplacesIt) {
    const std::string vhfSet = "\t\t<FreqRange>\r\n"
                               "\t\t\t<rx0 begin=\"146000000\" end=\"174000000\"/>\r\n"
                               "\t\t\t<tx0 begin=\"146000000\" end=\"174000000\"/>\r\n"
                               "\t\t</FreqRange>\r\n";
    struct Case {
        const char* name;
        std::optional<std::string> bytes; // nullopt: no file at all
        bool kept;                        // a copy of the old bytes is expected
    };
    const Case cases[] = {
        {"missing file", std::nullopt, false},
        {"empty file", std::string(), false},
        {"typo", // the tx0 element lacks its "/>"
         ListText("\t\t<FreqRange>\r\n\t\t\t<rx0 begin=\"146000000\" end=\"174000000\"/>\r\n"
                  "\t\t\t<tx0 begin=\"146000000\" end=\"174000000\"\r\n\t\t</FreqRange>\r\n"),
         true},
        {"no valid set",
         ListText("\t\t<FreqRange>\r\n\t\t\t<rx0 begin=\"146000000\"/>\r\n\t\t</FreqRange>\r\n"),
         true},
    };
    const std::string name = RANGE_LIST_FILE_NAME;
    const std::string copy = name + RANGE_LIST_BACKUP_SUFFIX;
    const std::string lock = name + RANGE_LIST_LOCK_SUFFIX;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir exe;
        TempDir user;
        if (c.bytes) {
            WriteAll(exe / name, *c.bytes);
        }
        {
            FreqRangeList list;
            RangeListSession session(list, LocateRangeList(exe.path(), user.path(), true));
            EXPECT_EQ(list.Count(), 1);
        }
        EXPECT_EQ(ReadAll(exe / name), NINE_LINE_DEFAULT);
        if (c.kept) {
            EXPECT_EQ(exe.Entries(), (std::set<std::string>{name, copy, lock}));
            EXPECT_EQ(ReadAll(exe / copy), *c.bytes);
        } else {
            EXPECT_EQ(exe.Entries(), (std::set<std::string>{name, lock}));
        }
        EXPECT_EQ(user.Entries(), std::set<std::string>{});
    }

    // No copy can be made (a directory holds the copy's name): the unreadable file stays as it
    // was and the list goes to the per-user copy instead.
    TempDir exe;
    TempDir user;
    const std::string typo = "<root><FreqRangeList>" + vhfSet;
    WriteAll(exe / name, typo);
    std::filesystem::create_directory(exe / copy);
    std::filesystem::path written;
    {
        FreqRangeList list;
        RangeListSession session(list, LocateRangeList(exe.path(), user.path(), true));
        written = session.SaveIfModified();
    }
    EXPECT_EQ(written, user / name);
    EXPECT_EQ(ReadAll(exe / name), typo);
    EXPECT_EQ(ReadAll(user / name), NINE_LINE_DEFAULT);
}

TEST(RangeListSession, NewRangeSetFromAConfigurationIsAppendedToTheFileAtExit) {
    TempDir exe;
    TempDir user;
    WriteAll(exe / RANGE_LIST_FILE_NAME, NINE_LINE_DEFAULT);
    const FreqRange vhf = Set({{146000000, 174000000}}, {{146000000, 174000000}});

    // A configuration carrying the new set.
    {
        ChannelsContext source;
        source.ranges.Select(source.ranges.Add(vhf));
        SettingsContext settings;
        SaveConfigFile(exe / "config.xml", source, settings, DefaultFlagCaptions());
    }
    {
        ChannelsContext table;
        RangeListSession session(table.ranges, LocateRangeList(exe.path(), user.path(), true));
        table.ranges.Select(0);
        EXPECT_FALSE(table.ranges.modified());
        SettingsContext settings;
        FlagCaptions captions = DefaultFlagCaptions();
        OpenConfigFile(exe / "config.xml", table, settings, captions);
        EXPECT_TRUE(table.ranges.modified());
        EXPECT_EQ(session.SaveIfModified(), exe / RANGE_LIST_FILE_NAME);
        // Opening it again finds the set in the list: nothing more to write.
        OpenConfigFile(exe / "config.xml", table, settings, captions);
        EXPECT_FALSE(table.ranges.modified());
    }
    FreqRangeList back;
    ASSERT_TRUE(LoadRangeListFile(back, exe / RANGE_LIST_FILE_NAME));
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.Item(0), DefaultSet());
    EXPECT_EQ(back.Item(1), vhf);
}

// Two instances at once (the desktop program and a script, or scripts reading several radios):
// each adds the set of its radio, and the one that writes last keeps the other's set too.
TEST(RangeListSession, SetsAddedByAnotherInstanceMeanwhileAreKept) {
    TempDir exe;
    TempDir user;
    WriteAll(exe / RANGE_LIST_FILE_NAME, NINE_LINE_DEFAULT);
    const RangeListLocation location = LocateRangeList(exe.path(), user.path(), true);
    const FreqRange vhf = Set({{146000000, 174000000}}, {{146000000, 174000000}});
    const FreqRange low = Set({{33000000, 40000000}}, {{33000000, 40000000}});

    FreqRangeList first;
    FreqRangeList second;
    {
        RangeListSession a(first, location);
        RangeListSession b(second, location);
        first.Select(first.Add(vhf));
        second.Select(second.Add(low));
        EXPECT_EQ(a.SaveIfModified(), exe / RANGE_LIST_FILE_NAME);
        EXPECT_EQ(b.SaveIfModified(), exe / RANGE_LIST_FILE_NAME);
    }
    FreqRangeList back;
    ASSERT_TRUE(LoadRangeListFile(back, exe / RANGE_LIST_FILE_NAME));
    ASSERT_EQ(back.Count(), 3);
    EXPECT_EQ(back.Item(0), DefaultSet());
    EXPECT_EQ(back.Item(1), low); // the writer's own order first
    EXPECT_EQ(back.Item(2), vhf);
    EXPECT_EQ(second.currentIndex(), 1); // the current set stays current
}

TEST(RangeListSession, ListThatCannotGoNextToTheProgramGoesToThePerUserCopy) {
    TempDir exe;
    TempDir user;
    const auto userDir = user / "nested" / "Zorvex_Prog"; // created on demand
    // The program's "directory" is a plain file here, so nothing can be written under it.
    WriteAll(exe / "bin", "not a directory");
    RangeListLocation location = LocateRangeList(exe / "bin", userDir, true);
    std::filesystem::path written;
    {
        FreqRangeList list;
        RangeListSession session(list, location);
        list.Add(Set({{146000000, 174000000}}, {{146000000, 174000000}}));
        written = session.SaveIfModified();
        EXPECT_FALSE(list.modified());
    }
    EXPECT_EQ(written, userDir / RANGE_LIST_FILE_NAME);
    FreqRangeList back;
    ASSERT_TRUE(LoadRangeListFile(back, written));
    EXPECT_EQ(back.Count(), 2);

    // The next start reads (and writes) the per-user copy.
    location = LocateRangeList(exe / "bin", userDir, true);
    EXPECT_EQ(location.readFrom, written);
    EXPECT_EQ(location.writeTo, written);
}

TEST(RangeListLocation, PerUserListUnlessTheEnvironmentNamesAnother) {
    EnvGuard xdg("XDG_CONFIG_HOME");
    EnvGuard home("HOME");
    EnvGuard chosen(RANGE_LIST_ENV);
    TempDir root;
    const auto exe = root / "exe";
    std::filesystem::create_directories(exe);
    setenv("HOME", (root / "home").c_str(), 1);
    const auto xdgList = root / "xdg" / "Zorvex_Prog" / RANGE_LIST_FILE_NAME;
    const auto homeList = root / "home" / ".config" / "Zorvex_Prog" / RANGE_LIST_FILE_NAME;
    const auto beside = exe / RANGE_LIST_FILE_NAME;
    const auto named = root / "scripts" / "ranges.xml";
    struct Case {
        const char* what;
        bool envSet, xdgSet, userFile, besideFile;
        std::filesystem::path readFrom, writeTo;
        bool takeOver;
    };
    const Case cases[] = {
        {"first run, nothing anywhere", false, true, false, false, xdgList, xdgList, false},
        {"first run, list next to the program", false, true, false, true, beside, xdgList, true},
        {"per-user list exists", false, true, true, true, xdgList, xdgList, false},
        {"no XDG_CONFIG_HOME: ~/.config", false, false, false, false, homeList, homeList, false},
        {"environment names the file", true, true, true, true, named, named, false},
        {"environment names a missing file", true, false, false, false, named, named, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(root / "xdg");
        std::filesystem::remove(beside);
        if (c.envSet) {
            setenv(RANGE_LIST_ENV, named.c_str(), 1);
        } else {
            unsetenv(RANGE_LIST_ENV);
        }
        if (c.xdgSet) {
            setenv("XDG_CONFIG_HOME", (root / "xdg").c_str(), 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
        if (c.userFile) {
            std::filesystem::create_directories(xdgList.parent_path());
            WriteAll(xdgList, NINE_LINE_DEFAULT);
        }
        if (c.besideFile) {
            WriteAll(beside, NINE_LINE_DEFAULT);
        }
        const RangeListLocation l = LocateRangeList(exe);
        EXPECT_EQ(l.readFrom, c.readFrom);
        EXPECT_EQ(l.writeTo, c.writeTo);
        EXPECT_EQ(l.takeOver, c.takeOver);
        EXPECT_TRUE(l.fallback.empty());
    }
}

TEST(RangeListSession, ListNextToTheProgramIsTakenOverOnceAndThenLeftAlone) {
    TempDir exe;
    TempDir user;
    const FreqRange vhf = Set({{146000000, 174000000}}, {{146000000, 174000000}});
    FreqRangeList portable;
    portable.Add(vhf);
    ASSERT_TRUE(SaveRangeListFile(portable, exe / RANGE_LIST_FILE_NAME));
    const std::string besideBytes = ReadAll(exe / RANGE_LIST_FILE_NAME);
    {
        FreqRangeList list;
        RangeListSession session(list, LocatePerUserRangeList(exe.path(), user.path()));
        ASSERT_EQ(list.Count(), 1);
        EXPECT_EQ(list.Item(0), vhf);
    } // unchanged, yet written to its own place
    FreqRangeList back;
    ASSERT_TRUE(LoadRangeListFile(back, user / RANGE_LIST_FILE_NAME));
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back.Item(0), vhf);

    // From now on the per-user list is the one; the portable file is never written.
    const RangeListLocation next = LocatePerUserRangeList(exe.path(), user.path());
    EXPECT_EQ(next.readFrom, user / RANGE_LIST_FILE_NAME);
    EXPECT_FALSE(next.takeOver);
    {
        FreqRangeList list;
        RangeListSession session(list, next);
        list.Add(DefaultSet());
    }
    EXPECT_EQ(ReadAll(exe / RANGE_LIST_FILE_NAME), besideBytes);
    ASSERT_TRUE(LoadRangeListFile(back, user / RANGE_LIST_FILE_NAME));
    EXPECT_EQ(back.Count(), 2);
}

// Two processes save the same list file again and again, each adding its own sets: the
// lock around read, merge and replace keeps every set of both.
TEST(RangeListSession, TwoProcessesSavingAtOnceKeepEverySet) {
    TempDir dir;
    RangeListLocation location;
    location.readFrom = location.writeTo = dir / RANGE_LIST_FILE_NAME;
    constexpr int ROUNDS = 25;
    auto setOf = [](int writer, int round) {
        const uint32_t begin = 100000000u + static_cast<uint32_t>(writer * 1000 + round) * 10000u;
        return Set({{begin, begin + 5000}}, {{begin, begin + 5000}});
    };
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    pid_t children[2];
    for (int writer = 0; writer < 2; ++writer) {
        children[writer] = fork();
        ASSERT_GE(children[writer], 0);
        if (children[writer] == 0) {
            close(start[1]);
            char go = 0;
            (void)!read(start[0], &go, 1); // both start together
            for (int round = 0; round < ROUNDS; ++round) {
                FreqRangeList list;
                RangeListSession session(list, location);
                list.Add(setOf(writer, round));
                if (session.SaveIfModified().empty()) {
                    _exit(2);
                }
            }
            _exit(0);
        }
    }
    close(start[0]);
    close(start[1]); // end of file: go
    for (pid_t child : children) {
        int status = -1;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    FreqRangeList back;
    ASSERT_TRUE(LoadRangeListFile(back, location.writeTo));
    for (int writer = 0; writer < 2; ++writer) {
        for (int round = 0; round < ROUNDS; ++round) {
            bool found = false;
            for (int i = 0; i < back.Count() && !found; ++i) {
                found = back.Item(i) == setOf(writer, round);
            }
            EXPECT_TRUE(found) << "writer " << writer << " round " << round;
        }
    }
    EXPECT_TRUE(std::filesystem::exists(dir / "Zorvex_config.xml.lock"));
}

} // namespace
