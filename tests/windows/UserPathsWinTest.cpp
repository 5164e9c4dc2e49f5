// Where the program keeps its per-user files on Windows: under %APPDATA%.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "files/BackupStore.h"

namespace fs = std::filesystem;

TEST(WinUserPaths, BackupsLiveUnderAppData) {
    const char* real = std::getenv("APPDATA");
    const std::string saved = real != nullptr ? real : "";
    // The prefix's own profile folder: an absolute path the backups go beneath.
    ASSERT_FALSE(saved.empty()) << "Wine sets APPDATA for every process";
    EXPECT_EQ(DefaultBackupRoot(), fs::path(saved) / "Zorvex_Prog" / "backups");
    EXPECT_TRUE(DefaultBackupRoot().is_absolute());

    _putenv_s("APPDATA", "C:\\Users\\tech\\AppData\\Roaming");
    EXPECT_EQ(DefaultBackupRoot().wstring(),
              L"C:\\Users\\tech\\AppData\\Roaming\\Zorvex_Prog\\backups");
    // Without the variable there is no place, rather than a folder in the current one.
    _putenv_s("APPDATA", "");
    EXPECT_TRUE(DefaultBackupRoot().empty());
    _putenv_s("APPDATA", saved.c_str());
}
