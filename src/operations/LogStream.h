#pragma once

#include <string>

#include "operations/LogSink.h"

// The log writer of a radio operation: a sink (none at construction) and an enabled flag.
class LogStream {
public:
    void Attach(LogSink* sink) { sink_ = sink; }
    LogSink* Sink() const { return sink_; }

    bool enabled = false;

    // Appends the text as one new line when enabled and a sink is attached. CR LF pairs
    // inside the text start further lines, so "\r\nX\r\n" gives an empty line, X and
    // another empty line.
    void LogLine(const std::string& text);

    // Empties the sink when one is attached.
    void ClearLog();

private:
    LogSink* sink_ = nullptr;
};
