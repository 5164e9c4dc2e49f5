#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <string>

#include "files/FileError.h"
#include "files/RegularFileRead.h"
#include "files/SameFile.h"
#include "files/TestFiles.h"

namespace fs = std::filesystem;
using testfiles::TempDir;
using testfiles::WriteAll;

TEST(RegularFileRead, ReadsRegularFilesAndLinksToThemUpToTheLimit) {
    TempDir dir;
    WriteAll(dir / "image.bin", std::string(2048, '\x5a'));
    fs::create_symlink("image.bin", dir / "link.bin");
    EXPECT_EQ(ReadRegularFile(dir / "image.bin", 2048), std::string(2048, '\x5a'));
    EXPECT_EQ(ReadRegularFile(dir / "link.bin", 2048).size(), 2048u);
    WriteAll(dir / "empty.bin", "");
    EXPECT_EQ(ReadRegularFile(dir / "empty.bin", 2048), "");
    try {
        ReadRegularFile(dir / "image.bin", 2047);
        FAIL() << "a file over the limit was read";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("too large (more than 2047 bytes)"), std::string::npos)
            << e.what();
    }
}

TEST(RegularFileRead, OtherKindsOfFileAreRefusedAtOnce) {
    TempDir dir;
    const fs::path fifo = dir / "pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", dir / "zero-link");
    struct Case {
        fs::path path;
        const char* says;
    };
    const Case cases[] = {
        {fifo, "is a pipe, not a regular file"},
        {"/dev/zero", "is a device, not a regular file"},
        {dir / "zero-link", "is a device, not a regular file"},
        {dir.path(), "is a directory"},
        {dir / "missing", "cannot open"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.string());
        // A pipe nobody writes to must not block: run it where a hang is caught.
        auto read = std::async(std::launch::async, [&] {
            try {
                ReadRegularFile(c.path, 1u << 20);
                return std::string("read");
            } catch (const FileError& e) {
                return std::string(e.what());
            }
        });
        ASSERT_EQ(read.wait_for(std::chrono::seconds(30)), std::future_status::ready);
        EXPECT_NE(read.get().find(c.says), std::string::npos);
    }
}

TEST(SameFile, SameFileThroughLinksDotsAndRelativeNamesDifferentFilesNot) {
    TempDir dir;
    WriteAll(dir / "cfg.xml", "x");
    WriteAll(dir / "other.xml", "x");
    fs::create_symlink("cfg.xml", dir / "link.xml");
    fs::create_hard_link(dir / "cfg.xml", dir / "hard.xml");
    fs::create_directory(dir / "sub");
    const fs::path cwd = fs::current_path();
    fs::current_path(dir.path());
    struct Case {
        fs::path a, b;
        bool same;
    };
    const Case cases[] = {
        {"cfg.xml", dir / "cfg.xml", true},
        {"cfg.xml", "sub/../cfg.xml", true},
        {"cfg.xml", "./link.xml", true},
        {"cfg.xml", "hard.xml", true},
        {"cfg.xml", "other.xml", false},
        {"new.xlsx", "sub/../new.xlsx", true}, // neither exists yet: the paths decide
        {"new.xlsx", "new2.xlsx", false},
        {"cfg.xml", "sub/cfg.xml", false}, // one missing
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SameFile(c.a, c.b), c.same) << c.a << " / " << c.b;
    }
    fs::current_path(cwd);
}
