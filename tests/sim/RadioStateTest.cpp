#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <sys/stat.h>

#include "sim/SimulatedRadio.h"

namespace {
std::string TempPath(const char* name) {
    return std::string(ZORVEX_BINARY_DIR) + "/sim-state-" + name + "-" +
           std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".txt";
}
} // namespace

TEST(RadioState, SurvivesARestart) {
    const std::string path = TempPath("roundtrip");
    SimulatedRadio radio;
    SimulatedRadio::Image t3 = EmptyChannelImage(0x0200);
    t3[100] = 0x5A;
    radio.SetTable(3, t3);
    RadioIdentity id = radio.Identity();
    id.programmingCount = 12;
    radio.SetIdentity(id);
    std::string error;
    ASSERT_TRUE(radio.SaveState(path, &error)) << error;

    SimulatedRadio again;
    ASSERT_TRUE(again.LoadState(path, &error)) << error;
    EXPECT_EQ(again.Table(3), t3);
    EXPECT_EQ(again.Table(0), radio.Table(0));
    EXPECT_EQ(again.Table(1), radio.Table(1));
    EXPECT_EQ(again.Identity().programmingCount, 12u);
    std::remove(path.c_str());
}

TEST(RadioState, ADeviceIsWrittenIntoAndAFailedWriteLeavesNoTemporary) {
#ifdef _WIN32
    GTEST_SKIP() << "a POSIX device node";
#endif
    std::string error;
    SimulatedRadio radio;
    ASSERT_TRUE(radio.SaveState("/dev/null", &error)) << error;
    struct stat st {};
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    EXPECT_FALSE(radio.SaveState("/dev/full", &error)); // no space: refused, not replaced
    ASSERT_EQ(::stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));

    const std::string path = TempPath("nodir") + ".d/state.txt"; // folder missing
    EXPECT_FALSE(radio.SaveState(path, &error));
    EXPECT_NE(::stat((path + ".tmp").c_str(), &st), 0);
}

TEST(RadioState, DamagedFilesAreRefusedAndChangeNothing) {
    const std::string path = TempPath("damaged");
    SimulatedRadio source;
    ASSERT_TRUE(source.SaveState(path));
    std::ifstream in(path);
    const std::string good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t table1 = good.find("table1 ");
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"other file", "hello\n"},
        {"bad hex", good.substr(0, table1 + 7) + "zz" + good.substr(table1 + 9)},
        {"short table", good.substr(0, table1 + 9) + "\n" + good.substr(good.find("table3"))},
        {"missing table", good.substr(0, table1)},
        {"unknown entry", good + "colour blue\n"},
    };
    for (const auto& c : cases) {
        std::ofstream(path, std::ios::trunc) << c.text;
        SimulatedRadio radio;
        SimulatedRadio::Image marked = radio.Table(0);
        marked[50] = 1;
        radio.SetTable(0, marked);
        std::string error;
        EXPECT_FALSE(radio.LoadState(path, &error)) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
        EXPECT_EQ(radio.Table(0), marked) << c.name;
    }
    std::string error;
    EXPECT_FALSE(source.LoadState(path + ".absent", &error));
    std::remove(path.c_str());
}
