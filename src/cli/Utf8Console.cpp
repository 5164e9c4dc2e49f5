#include "cli/Utf8Console.h"

#ifdef _WIN32
#include <windows.h>

Utf8Console::Utf8Console() {
    // GetConsoleOutputCP gives 0 when the process has no console.
    const UINT current = GetConsoleOutputCP();
    if (current != 0 && current != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
        previous_ = current;
    }
}

Utf8Console::~Utf8Console() {
    if (previous_ != 0) {
        SetConsoleOutputCP(previous_);
    }
}

#else

Utf8Console::Utf8Console() = default;
Utf8Console::~Utf8Console() = default;

#endif
