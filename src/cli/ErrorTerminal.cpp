#include "cli/ErrorTerminal.h"

#ifdef _WIN32
#include <windows.h>

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

bool ErrorTerminalTakesCursorMoves() {
    const HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (console == INVALID_HANDLE_VALUE || !GetConsoleMode(console, &mode)) {
        return false;
    }
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
           SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

size_t ErrorTerminalColumns() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) {
        const int width = info.srWindow.Right - info.srWindow.Left + 1;
        if (width > 0) {
            return static_cast<size_t>(width);
        }
    }
    return 80;
}

#else
#include <cstdlib>
#include <cstring>

#include <sys/ioctl.h>
#include <unistd.h>

bool ErrorTerminalTakesCursorMoves() {
    const char* term = std::getenv("TERM");
    return term != nullptr && *term != '\0' && std::strcmp(term, "dumb") != 0;
}

size_t ErrorTerminalColumns() {
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    return 80;
}

#endif
