#pragma once

#include <string>
#include <string_view>

// UTF-8 for the terminal from Windows-1251 text, with CR LF line ends turned into plain
// newlines and every other control character shown escaped (see EscapeControls).
std::string TerminalText(const std::string& cp1251);

// The UTF-8 text with its control characters made visible, so that text from a radio or a
// file cannot drive the terminal: ESC becomes "\x1b", a lone CR "\x0d", DEL "\x7f", the C1
// controls U+0080..U+009F "\u0085" and so on, and a backslash stays as it is. Newlines and
// tabs are kept when keepLayout is true (a report's lines), escaped otherwise.
std::string EscapeControls(std::string_view utf8, bool keepLayout = true);
