#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/ProgressDisplay.h"
#include "operations/LogSink.h"

// The terminal side of a radio operation: log lines to the log stream in UTF-8 (control
// characters escaped) and, when the error stream is a terminal, a progress bar on it that
// the log lines push aside, or the progress goes to a display given for it. Without a log
// stream (--quiet) the lines are only kept.
class TerminalOutput : public LogSink {
public:
    TerminalOutput(std::ostream* log, std::ostream& err, bool progressBar,
                   ProgressDisplay* display = nullptr);

    void AppendLine(const std::string& cp1251Line) override;
    void Clear() override {}

    // Draws the bar at percent (0..100), or shows it on the display; does nothing without
    // either.
    void ShowProgress(int percent);
    // Removes the bar from the terminal line.
    void HideProgress();

    // Writes a diagnostic line (exchanges, traffic) to the error stream, pushing the bar
    // aside.
    void Diagnostic(const std::string& utf8Line);

    // Every log line so far, UTF-8, as the driver wrote it.
    const std::vector<std::string>& Lines() const { return lines_; }

private:
    std::ostream* log_;
    std::ostream& err_;
    bool progressBar_;
    ProgressDisplay* display_;
    bool barShown_ = false;
    std::vector<std::string> lines_;
};
