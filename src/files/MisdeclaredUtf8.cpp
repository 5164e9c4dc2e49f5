#include "files/MisdeclaredUtf8.h"

#include <cctype>
#include <string>

namespace {

bool NamesCp1251(std::string_view name) {
    std::string lower;
    for (char c : name) {
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower == "windows-1251" || lower == "cp1251" || lower == "x-cp1251";
}

// Length of the well-formed UTF-8 sequence at bytes[i] (a byte above 0x7F), or 0.
std::size_t SequenceLength(std::string_view bytes, std::size_t i) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = b(i);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > bytes.size() || b(i + 1) < low || b(i + 1) > high) {
        return 0;
    }
    for (std::size_t k = 2; k < length; ++k) {
        if (b(i + k) < 0x80 || b(i + k) > 0xBF) {
            return 0;
        }
    }
    return length;
}

} // namespace

int MisdeclaredUtf8Line(std::string_view bytes, std::string_view declaredEncoding) {
    if (!NamesCp1251(declaredEncoding)) {
        return 0;
    }
    int line = 1;
    int firstLine = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            line += c == '\n' ? 1 : 0;
            ++i;
            continue;
        }
        const std::size_t length = SequenceLength(bytes, i);
        if (length == 0) {
            return 0; // not UTF-8: a Windows-1251 file as declared
        }
        if (firstLine == 0) {
            firstLine = line;
        }
        i += length;
    }
    return firstLine;
}
