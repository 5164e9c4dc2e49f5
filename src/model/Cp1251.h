#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Windows-1251 is the 8-bit text of the core (radio, files, model). These convert at the
// boundary to the UTF-8 of the terminal, libxml2 and the user interface.

// Every byte maps to one character; 0x98, which has no character, becomes U+FFFD.
std::string Cp1251ToUtf8(std::string_view cp1251);

// Characters Windows-1251 cannot hold become '?'; malformed UTF-8 bytes become '?' each.
std::string Utf8ToCp1251(std::string_view utf8);

// Length of the well-formed UTF-8 sequence at text[i] (1 for ASCII), or 0 when the bytes
// there are not one (malformed, overlong, a surrogate, above U+10FFFF, cut off).
size_t Utf8SequenceLength(std::string_view text, size_t i);

// True when every character of the UTF-8 text has a Windows-1251 byte (and the text is
// well-formed UTF-8).
bool FitsCp1251(std::string_view utf8);
