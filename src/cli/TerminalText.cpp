#include "cli/TerminalText.h"

#include <cstdio>

#include "model/Cp1251.h"

std::string EscapeControls(std::string_view utf8, bool keepLayout) {
    std::string text;
    text.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        char escaped[8];
        if (keepLayout && (c == '\n' || c == '\t')) {
            text += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            text += escaped;
        } else if (c == 0xC2 && i + 1 < utf8.size() &&
                   static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
            // U+0080..U+009F: C1 controls (CSI and others) that some terminals obey.
            std::snprintf(escaped, sizeof escaped, "\\u%04x",
                          static_cast<unsigned char>(utf8[i + 1]));
            text += escaped;
            ++i;
        } else {
            text += static_cast<char>(c);
        }
    }
    return text;
}

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
    return EscapeControls(text);
}
