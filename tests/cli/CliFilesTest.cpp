// The command-line tool and the files it is given: hand-edited configurations, outputs that
// are inputs, and files that are not regular files.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>

#include "cli/CliRun.h"
#include "cli/PythonJson.h"
#include "files/ConfigFile.h"
#include "files/RangeListFile.h"
#include "model/FlagCaptions.h"

namespace fs = std::filesystem;

namespace {

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

const char* const EDITED = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n"
                           "<root>\n"
                           "<Channels>\n"
                           "<channel id=\"5\">\n"
                           "<freq_rx>41.000</freq_rx>\n"
                           "<freq_tx>41000000</freq_tx>\n"
                           "</channel>\n"
                           "<Channel id=\"1\"><freq_rx>40000000</freq_rx></Channel>\n"
                           "</Channels>\n"
                           "</root>\n";

class CliFilesTest : public CliRunTest {
protected:
    void SetUp() override {
        CliRunTest::SetUp();
        setenv(RANGE_LIST_ENV, (dir / "ranges.xml").c_str(), 1);
    }
    void TearDown() override {
        unsetenv(RANGE_LIST_ENV);
        CliRunTest::TearDown();
    }

    std::string GoodConfig(const std::string& name) {
        ChannelsContext channels;
        FreqRange range;
        range.SetDefault();
        channels.ranges.Select(channels.ranges.Add(range));
        channels.channels[3].freq_rx = 41000000;
        channels.channels[3].freq_tx = 41000000;
        SettingsContext settings;
        SaveConfigFile(P(name), channels, settings, DefaultFlagCaptions());
        return P(name);
    }
};

} // namespace

TEST_F(CliFilesTest, CheckListsEveryProblemWithFileAndLine) {
    Put(dir / "edited.xml", EDITED);
    Result r = Run({"check", P("edited.xml")});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, P("edited.xml") +
                         ":5: channel 5: freq_rx: \"41.000\" is not a number, read as 0\n" +
                         P("edited.xml") +
                         ":8: Channels: element \"Channel\" is not part of the format, skipped\n");
    const Result json = Run({"check", P("edited.xml"), "--json"});
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(PythonJson(json.out, "len(d['problems']), d['problems'][0]['line'], "
                                   "d['problems'][0]['kind'], d['problems'][0]['channel'], "
                                   "d['problems'][0]['text'], d['problems'][1]['channel'], "
                                   "d['removed']"),
              "2 5 not_a_number 5 41.000 None []");

    r = Run({"check", GoodConfig("good.xml")});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.out, "");

    // A channel outside the file's range set is named with its frequencies.
    Put(dir / "outside.xml", "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<root>"
                             "<Channels><channel id=\"7\"><freq_rx>20000000</freq_rx></channel>"
                             "</Channels></root>\n");
    r = Run({"check", P("outside.xml")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("channel 7: outside the range set (rx 20000000 Hz, tx 0 Hz), removed"),
              std::string::npos)
        << r.out;

    r = Run({"check", P("missing.xml")});
    EXPECT_EQ(r.status, 3);
    EXPECT_FALSE(fs::exists(dir / "ranges.xml")); // check writes nothing, not even the list
}

TEST_F(CliFilesTest, ASimulatedRadioStateThatCannotBeSavedIsAFileError) {
    const std::string config = GoodConfig("plan.xml");
    const std::string state = P("no-such-folder/radio.txt");
    const std::vector<std::vector<std::string>> cases = {
        {"info", "--simulate", "--sim-state", state},
        {"read", "--simulate", "--sim-state", state, "-o", P("read.xml")},
        {"diff", "radio", config, "--simulate", "--sim-state", state},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args[0]);
        const Result r = Run(args);
        EXPECT_EQ(r.status, 3) << r.out << r.err;
        EXPECT_NE(r.err.find("no-such-folder"), std::string::npos) << r.err;
    }
}

TEST_F(CliFilesTest, CommandsThatUseAConfigurationRefuseOneWithProblemsUnlessForced) {
    Put(dir / "edited.xml", EDITED);
    struct Case {
        std::vector<std::string> args;
        fs::path output;
    };
    const Case cases[] = {
        {{"export", P("edited.xml"), P("out.xlsx")}, dir / "out.xlsx"},
        {{"image", "build", P("edited.xml"), P("images")}, dir / "images"},
        {{"write", "--simulate", "--sim-state", P("radio.bin"), P("edited.xml")},
         dir / "radio.bin"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0]);
        Result r = Run(c.args);
        EXPECT_EQ(r.status, 3);
        EXPECT_NE(r.err.find(P("edited.xml") + ":5: channel 5: freq_rx: \"41.000\" is not a "
                                               "number, read as 0\n"),
                  std::string::npos)
            << r.err;
        EXPECT_NE(r.err.find("--force"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(c.output));

        std::vector<std::string> forced = c.args;
        forced.push_back("--force");
        r = Run(forced);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(fs::exists(c.output));
        EXPECT_NE(r.err.find("warning: " + P("edited.xml") + ":5:"), std::string::npos) << r.err;
    }
    EXPECT_EQ(Run({"check", P("edited.xml"), "--force"}).status, 2);
}

TEST_F(CliFilesTest, AnOutputThatIsAnInputIsRefusedAndTheInputKept) {
    const std::string config = GoodConfig("cfg.xml");
    const std::string before = Bytes(config);
    fs::create_directories(dir / "sub");
    fs::create_directories(dir / "images");
    const std::string inImages = GoodConfig("images/settings.bin");
    const std::vector<std::vector<std::string>> cases = {
        {"export", config, config},
        {"export", config, P("sub/../cfg.xml")},
        {"image", "build", inImages, P("images")},
        {"image", "parse", P("images"), P("images/settings.bin")},
        {"write", "--simulate", inImages, "--images", P("images")},
        {"read", "--simulate", "-o", P("images/settings.bin"), "--images", P("images")},
        {"read", "--simulate", "--sim-state", config, "-o", config},
    };
    for (const auto& args : cases) {
        const Result r = Run(args);
        EXPECT_EQ(r.status, 2) << args[0] << "\n" << r.err;
        EXPECT_NE(r.err.find("nothing done"), std::string::npos) << r.err;
    }
    EXPECT_EQ(Bytes(config), before);
    EXPECT_EQ(Bytes(inImages), before);
}

TEST_F(CliFilesTest, ReadIntoAPipeWritesThroughItAndLeavesThePipe) {
    const fs::path fifo = dir / "pipe.xml";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] {
        const int fd = ::open(fifo.c_str(), O_RDONLY);
        char buffer[4096];
        ssize_t n = 0;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0) {
            received.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(fd);
    });
    // The simulated read takes a while: the reader is open long before the file is written.
    const Result r = Run({"read", "--simulate", "-o", fifo.string()});
    reader.join();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(received.find("<Channels"), std::string::npos) << received;
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(CliFilesTest, ImageParseRefusesAPipeOrADeviceAtOnce) {
    fs::create_directories(dir / "images");
    ASSERT_EQ(mkfifo((dir / "images" / "channels-0-99.bin").c_str(), 0600), 0);
    fs::create_directories(dir / "zero");
    fs::create_symlink("/dev/zero", dir / "zero" / "channels-0-99.bin");
    for (const char* folder : {"images", "zero"}) {
        SCOPED_TRACE(folder);
        auto run = std::async(std::launch::async, [&] {
            return Run({"image", "parse", P(folder), P("out.xml")});
        });
        ASSERT_EQ(run.wait_for(std::chrono::seconds(60)), std::future_status::ready);
        const Result r = run.get();
        EXPECT_EQ(r.status, 3);
        EXPECT_NE(r.err.find("not a regular file"), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(dir / "out.xml"));
}
