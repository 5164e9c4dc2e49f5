#pragma once

#include <string>

// UTF-8 for the terminal from Windows-1251 text, with CR LF line ends turned into plain
// newlines.
std::string TerminalText(const std::string& cp1251);
