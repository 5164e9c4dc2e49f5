#pragma once

#include <ostream>
#include <string>

#include "operations/LogSink.h"

// The terminal side of a radio operation: log lines to the output stream in UTF-8 and, when
// the error stream is a terminal, a progress bar on it that the log lines push aside.
class TerminalOutput : public LogSink {
public:
    TerminalOutput(std::ostream& out, std::ostream& err, bool progressBar);

    void AppendLine(const std::string& cp1251Line) override;
    void Clear() override {}

    // Draws the bar at percent (0..100); does nothing without a bar.
    void ShowProgress(int percent);
    // Removes the bar from the terminal line.
    void HideProgress();

private:
    std::ostream& out_;
    std::ostream& err_;
    bool progressBar_;
    bool barShown_ = false;
};
