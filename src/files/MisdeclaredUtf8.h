#pragma once

#include <string_view>

// A file saved as UTF-8 by an editor while its declaration still says windows-1251: every
// byte above 0x7F belongs to a well-formed UTF-8 sequence, and there is at least one. Text
// really written in Windows-1251 practically never passes (its letters are followed by
// letters, not by the 0x80-0xBF bytes UTF-8 needs). Returns the line (from 1) of the first
// such sequence when declaredEncoding names Windows-1251 and the bytes are UTF-8, else 0.
int MisdeclaredUtf8Line(std::string_view bytes, std::string_view declaredEncoding);
