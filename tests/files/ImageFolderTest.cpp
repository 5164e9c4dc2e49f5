#include <gtest/gtest.h>

#include "files/BackupStore.h"
#include "files/FileError.h"
#include "files/ImageFolder.h"
#include "files/TestFiles.h"

namespace fs = std::filesystem;
using testfiles::TempDir;

namespace {

ImageSet Images(uint8_t fill, bool second) {
    ImageSet images;
    images.channels0_99.fill(fill);
    images.channels100_199.fill(static_cast<uint8_t>(fill + 1));
    images.settings.fill(static_cast<uint8_t>(fill + 2));
    images.hasChannels100_199 = second;
    return images;
}

// A full disk in the middle of a folder (the images fit, the larger file after them does
// not) leaves the folder as it was: never some images of one run beside older ones.
TEST(ImageFolder, FullDiskHalfwayChangesNothing) {
    for (bool existing : {true, false}) {
        SCOPED_TRACE(existing ? "folder exists" : "new folder");
        TempDir tmp;
        const fs::path dir = tmp / "images";
        if (existing) {
            WriteImageFolder(dir, Images(0x10, true));
        }
        {
            testfiles::FileSizeLimit limit(4096);
            EXPECT_THROW(
                WriteImageFolder(dir, Images(0x20, true), {{"big.txt", std::string(8192, 'x')}}),
                FileError);
        }
        if (existing) {
            const ImageSet kept = ReadImageFolder(dir);
            EXPECT_EQ(kept.channels0_99[100], 0x10);
            EXPECT_EQ(kept.settings[100], 0x12);
            EXPECT_EQ(testfiles::ReadAll(dir / "channels-0-99.bin").size(), 2048u);
            std::set<std::string> names;
            for (const auto& e : fs::directory_iterator(dir)) {
                names.insert(e.path().filename().string());
            }
            EXPECT_EQ(names, (std::set<std::string>{"channels-0-99.bin", "channels-100-199.bin",
                                                    "settings.bin"}));
        } else {
            EXPECT_TRUE(tmp.Entries().empty());
        }
    }
}

TEST(ImageFolder, AFileThatCannotBeReplacedLeavesNoTemporaries) {
    TempDir tmp;
    const fs::path dir = tmp / "images";
    WriteImageFolder(dir, Images(0x10, true));
    // settings.bin turned into a folder with something in it: no file can be renamed over it.
    fs::remove(dir / "settings.bin");
    fs::create_directories(dir / "settings.bin" / "inside");
    EXPECT_THROW(WriteImageFolder(dir, Images(0x20, true)), FileError);
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) {
        names.insert(e.path().filename().string());
    }
    EXPECT_EQ(names,
              (std::set<std::string>{"channels-0-99.bin", "channels-100-199.bin", "settings.bin"}));
}

TEST(ImageFolder, ImagesOfAnEarlierRadioDoNotStay) {
    TempDir tmp;
    const fs::path dir = tmp / "images";
    WriteImageFolder(dir, Images(0x10, true));
    WriteImageFolder(dir, Images(0x30, false));
    const ImageSet read = ReadImageFolder(dir);
    EXPECT_FALSE(read.hasChannels100_199);
    EXPECT_EQ(read.channels0_99[5], 0x30);
}

TEST(BackupStore, FoldersPerSerialNewestFirst) {
    TempDir tmp;
    BackupContent content;
    content.images = Images(0xFF, true);
    content.infoText = "report";
    const std::time_t t = 1765450000;
    const fs::path a = WriteBackup(tmp.path(), 170001, t, content);
    const fs::path b = WriteBackup(tmp.path(), 170001, t, content); // the same second
    const fs::path c = WriteBackup(tmp.path(), NO_SERIAL, t + 60, content);
    EXPECT_EQ(a.parent_path(), tmp / "170001");
    EXPECT_EQ(b.filename().string(), a.filename().string() + "-2");
    EXPECT_EQ(c.parent_path(), tmp / "no-serial");
    EXPECT_EQ(testfiles::ReadAll(a / "info.txt"), "report");
    EXPECT_FALSE(fs::exists(a / "radio.xml"));

    fs::create_directories(tmp / "170001" / "not-a-backup");
    const std::vector<BackupEntry> all = ListBackups(tmp.path());
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].folder, c);
    EXPECT_EQ(all[1].folder, b);
    EXPECT_EQ(all[2].folder, a);
    EXPECT_EQ(ListBackups(tmp.path(), 170001u).size(), 2u);
    EXPECT_TRUE(ListBackups(tmp / "none").empty());
    uint32_t serial = 0;
    ASSERT_TRUE(BackupSerial(a, serial));
    EXPECT_EQ(serial, 170001u);
    ASSERT_TRUE(BackupSerial(c.string() + "/", serial));
    EXPECT_EQ(serial, NO_SERIAL);
}

TEST(BackupStore, DefaultLocationFollowsXdgDataHome) {
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old != nullptr ? old : "";
    setenv("XDG_DATA_HOME", "/srv/data", 1);
    EXPECT_EQ(DefaultBackupRoot(), fs::path("/srv/data/Zorvex_Prog/backups"));
    setenv("XDG_DATA_HOME", "relative/ignored", 1);
    setenv("HOME", std::getenv("HOME") != nullptr ? std::getenv("HOME") : "/root", 1);
    EXPECT_EQ(DefaultBackupRoot(),
              fs::path(std::getenv("HOME")) / ".local/share/Zorvex_Prog/backups");
    if (old != nullptr) {
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
}

} // namespace
