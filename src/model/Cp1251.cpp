#include "model/Cp1251.h"

#include <array>
#include <cstdint>

namespace {

// Unicode code points of bytes 0x80..0xFF; 0 marks the unassigned byte 0x98.
// Eight bytes a row.
// clang-format off
constexpr std::array<char16_t, 128> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};
// clang-format on

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one UTF-8 sequence at text[i]; returns false (and advances by one byte) when the
// sequence is malformed.
bool NextCodePoint(std::string_view text, size_t& i, char32_t& c) {
    const auto b0 = static_cast<uint8_t>(text[i]);
    int extra = 0;
    if (b0 < 0x80) {
        c = b0;
    } else if ((b0 & 0xE0) == 0xC0 && b0 >= 0xC2) {
        c = b0 & 0x1F;
        extra = 1;
    } else if ((b0 & 0xF0) == 0xE0) {
        c = b0 & 0x0F;
        extra = 2;
    } else if ((b0 & 0xF8) == 0xF0 && b0 <= 0xF4) {
        c = b0 & 0x07;
        extra = 3;
    } else {
        ++i;
        return false;
    }
    for (int k = 1; k <= extra; ++k) {
        if (i + k >= text.size()) {
            ++i;
            return false;
        }
        const auto b = static_cast<uint8_t>(text[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return false;
        }
        c = (c << 6) | (b & 0x3F);
    }
    const bool overlong = (extra == 2 && c < 0x800) || (extra == 3 && c < 0x10000);
    if (overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return false;
    }
    i += extra + 1;
    return true;
}

int ToCp1251Byte(char32_t c) {
    if (c < 0x80) {
        return static_cast<int>(c);
    }
    for (size_t k = 0; k < kHigh.size(); ++k) {
        if (kHigh[k] != 0 && kHigh[k] == c) {
            return static_cast<int>(0x80 + k);
        }
    }
    return -1;
}

} // namespace

size_t Utf8SequenceLength(std::string_view text, size_t i) {
    size_t next = i;
    char32_t c = 0;
    return NextCodePoint(text, next, c) ? next - i : 0;
}

std::string Cp1251ToUtf8(std::string_view cp1251) {
    std::string out;
    out.reserve(cp1251.size() * 2);
    for (char ch : cp1251) {
        const auto b = static_cast<uint8_t>(ch);
        if (b < 0x80) {
            out += ch;
        } else {
            const char16_t c = kHigh[b - 0x80];
            AppendUtf8(out, c == 0 ? U'\uFFFD' : c);
        }
    }
    return out;
}

std::string Utf8ToCp1251(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t c = 0;
        if (!NextCodePoint(utf8, i, c)) {
            out += '?';
            continue;
        }
        const int b = ToCp1251Byte(c);
        out += b < 0 ? '?' : static_cast<char>(b);
    }
    return out;
}

bool FitsCp1251(std::string_view utf8) {
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t c = 0;
        if (!NextCodePoint(utf8, i, c) || ToCp1251Byte(c) < 0) {
            return false;
        }
    }
    return true;
}
