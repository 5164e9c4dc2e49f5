#pragma once

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

// "e0 57 7f" → {0xe0, 0x57, 0x7f}.
inline std::vector<uint8_t> HexBytes(const std::string& text) {
    std::vector<uint8_t> bytes;
    std::istringstream in(text);
    unsigned value = 0;
    while (in >> std::hex >> value)
        bytes.push_back(static_cast<uint8_t>(value));
    return bytes;
}

// Bytes as "e0 57 7f", for readable failure messages.
inline std::string HexText(const uint8_t* bytes, std::size_t count) {
    std::string text;
    char piece[4];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(piece, sizeof piece, i ? " %02x" : "%02x", bytes[i]);
        text += piece;
    }
    return text;
}

inline std::string HexText(const std::vector<uint8_t>& bytes) {
    return HexText(bytes.data(), bytes.size());
}
