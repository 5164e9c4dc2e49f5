// 8-bit text at the Windows boundary: the core's Windows-1251 table against the system's own
// code page 1251, the console switched to UTF-8 for the command-line tool, and what the
// error stream's console takes for drawing progress.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "cli/ErrorTerminal.h"
#include "cli/Utf8Console.h"
#include "model/Cp1251.h"

namespace {

std::string SystemCp1251ToUtf8(const std::string& bytes) {
    wchar_t wide[8];
    const int n = MultiByteToWideChar(1251, MB_ERR_INVALID_CHARS, bytes.data(),
                                      static_cast<int>(bytes.size()), wide, 8);
    if (n <= 0)
        return {};
    char utf8[32];
    const int m = WideCharToMultiByte(CP_UTF8, 0, wide, n, utf8, sizeof utf8, nullptr, nullptr);
    return std::string(utf8, static_cast<size_t>(m > 0 ? m : 0));
}

} // namespace

TEST(WinConsoleText, CoreTableAgreesWithTheSystemCodePage) {
    for (int b = 0x80; b <= 0xFF; ++b) {
        const std::string byte(1, static_cast<char>(b));
        if (b == 0x98) {
            // The byte without a character: the core reads it as U+FFFD, Windows as the
            // control character U+0098. Neither writes it back.
            EXPECT_EQ(Cp1251ToUtf8(byte), "\xEF\xBF\xBD");
            continue;
        }
        const std::string system = SystemCp1251ToUtf8(byte);
        ASSERT_FALSE(system.empty()) << "byte 0x" << std::hex << b;
        EXPECT_EQ(Cp1251ToUtf8(byte), system) << "byte 0x" << std::hex << b;
        EXPECT_EQ(Utf8ToCp1251(system), byte) << "byte 0x" << std::hex << b;
    }
}

TEST(WinConsoleText, ConsoleIsSwitchedToUtf8WhileTheToolRunsAndRestoredAfter) {
    // Needs a console whose code page can be set: run from a Windows console. Output sent
    // to a file has none, and Wine's consoles on a Linux terminal keep theirs.
    if (GetConsoleOutputCP() == 0 || !SetConsoleOutputCP(866) || GetConsoleOutputCP() != 866) {
        GTEST_SKIP() << "no console whose code page can be changed";
    }
    {
        const Utf8Console console;
        EXPECT_TRUE(console.Switched());
        EXPECT_EQ(GetConsoleOutputCP(), static_cast<UINT>(CP_UTF8));
    }
    EXPECT_EQ(GetConsoleOutputCP(), 866u);

    // A console already in UTF-8 is left as it is.
    ASSERT_TRUE(SetConsoleOutputCP(CP_UTF8));
    {
        const Utf8Console console;
        EXPECT_FALSE(console.Switched());
    }
    EXPECT_EQ(GetConsoleOutputCP(), static_cast<UINT>(CP_UTF8));
}

TEST(WinConsoleText, OutputWithoutAConsoleIsLeftAlone) {
    if (GetConsoleOutputCP() != 0) {
        GTEST_SKIP() << "this run has a console";
    }
    const Utf8Console console;
    EXPECT_FALSE(console.Switched());
    EXPECT_EQ(GetConsoleOutputCP(), 0u);
}

TEST(WinConsoleText, ErrorStreamInAFileTakesNoCursorMovesAndHasTheUsualWidth) {
    // Several radios' progress rows are drawn only on a console that takes cursor moves;
    // a redirected error stream gets none.
    char folder[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, folder), 0u);
    const std::string path = std::string(folder) + "zorvex-error-stream.txt";
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const HANDLE before = GetStdHandle(STD_ERROR_HANDLE);
    ASSERT_TRUE(SetStdHandle(STD_ERROR_HANDLE, file));
    const bool moves = ErrorTerminalTakesCursorMoves();
    const size_t columns = ErrorTerminalColumns();
    SetStdHandle(STD_ERROR_HANDLE, before);
    CloseHandle(file);
    DeleteFileA(path.c_str());
    EXPECT_FALSE(moves);
    EXPECT_EQ(columns, 80u);
}
