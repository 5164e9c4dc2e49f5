#include "files/MisdeclaredUtf8.h"

#include <cctype>
#include <string>

#include "model/Cp1251.h"

namespace {

bool NamesCp1251(std::string_view name) {
    std::string lower;
    for (char c : name) {
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower == "windows-1251" || lower == "cp1251" || lower == "x-cp1251";
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
        const std::size_t length = Utf8SequenceLength(bytes, i);
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
