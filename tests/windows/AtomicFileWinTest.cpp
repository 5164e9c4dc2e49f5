// Replacing files on Windows: MoveFileExW over an existing, a read-only and a
// Cyrillic-named file.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

#include "files/AtomicFile.h"
#include "files/FileError.h"

namespace fs = std::filesystem;

namespace {

class WinAtomicFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("zorvex-atomic-" + std::to_string(GetCurrentProcessId()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        ASSERT_TRUE(fs::create_directories(dir));
    }
    void TearDown() override {
        for (const auto& e : fs::directory_iterator(dir))
            SetFileAttributesW(e.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(dir);
    }
    // Nothing but the target is left in the folder: no temporary file.
    void ExpectOnlyFile(const fs::path& file) {
        int count = 0;
        for (const auto& e : fs::directory_iterator(dir)) {
            ++count;
            EXPECT_EQ(e.path().filename(), file.filename());
        }
        EXPECT_EQ(count, 1);
    }
    fs::path dir;
};

} // namespace

TEST_F(WinAtomicFile, ReplacesExistingFilesPlainReadOnlyAndCyrillicNamed) {
    const struct {
        const wchar_t* name;
        bool readOnly;
    } cases[] = {
        {L"config.xml", false},
        {L"readonly.xml", true},
        {L"\u041a\u0430\u043d\u0430\u043b\u044b.xml", false}, // "Каналы.xml"
    };
    for (const auto& c : cases) {
        const fs::path file = dir / c.name;
        SCOPED_TRACE(PathText(file));
        WriteFileAtomically(file, "old content");
        EXPECT_EQ(ReadFileBytes(file), "old content");
        if (c.readOnly) {
            ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
        }

        ASSERT_NO_THROW(WriteFileAtomically(file, std::string("new\0content\r\n", 13)));
        EXPECT_EQ(ReadFileBytes(file), std::string("new\0content\r\n", 13));
        const DWORD attributes = GetFileAttributesW(file.c_str());
        EXPECT_EQ((attributes & FILE_ATTRIBUTE_READONLY) != 0, c.readOnly)
            << "a read-only file stays read-only";
        ExpectOnlyFile(file);
        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove(file);
    }
}

TEST_F(WinAtomicFile, FailedReplaceLeavesTheOldFileAndNoTemporary) {
    // A folder of that name cannot be replaced by a file.
    const fs::path target = dir / L"taken";
    ASSERT_TRUE(fs::create_directory(target));
    EXPECT_THROW(WriteFileAtomically(target, "bytes"), FileError);
    EXPECT_TRUE(fs::is_directory(target));
    ExpectOnlyFile(target);
}
