// 8-bit text at the Windows boundary: the core's Windows-1251 table against the system's own
// code page 1251, and the console switched to UTF-8 for the command-line tool.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

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
    int compared = 0;
    for (int b = 0x80; b <= 0xFF; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string system = SystemCp1251ToUtf8(byte);
        if (system.empty()) {
            // The one byte without a character in the code page.
            EXPECT_EQ(b, 0x98);
            continue;
        }
        ++compared;
        EXPECT_EQ(Cp1251ToUtf8(byte), system) << "byte 0x" << std::hex << b;
        EXPECT_EQ(Utf8ToCp1251(system), byte) << "byte 0x" << std::hex << b;
    }
    EXPECT_GE(compared, 127);
}

TEST(WinConsoleText, ConsoleIsSwitchedToUtf8WhileTheToolRunsAndRestoredAfter) {
    if (GetConsoleOutputCP() == 0) {
        ASSERT_TRUE(AllocConsole()) << "no console to test with";
    }
    ASSERT_TRUE(SetConsoleOutputCP(866));
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
