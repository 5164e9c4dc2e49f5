#pragma once

#include <string>

// Where the lines of a radio operation's log end up: the progress window's memo in the
// program, the terminal in the command-line tool, a vector in tests.
// Text is Windows-1251; every call carries one line without line breaks.
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void AppendLine(const std::string& line) = 0;
    virtual void Clear() = 0;
};
