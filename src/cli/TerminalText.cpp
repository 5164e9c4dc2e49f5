#include "cli/TerminalText.h"

#include "model/Cp1251.h"

std::string TerminalText(const std::string& cp1251) {
    std::string utf8 = Cp1251ToUtf8(cp1251);
    std::string text;
    text.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') {
            continue;
        }
        text += utf8[i];
    }
    return text;
}
