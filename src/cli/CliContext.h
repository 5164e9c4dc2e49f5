#pragma once

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <ostream>
#include <string>

class ProgressDisplay;

// Where a run of zorvex-cli writes and what it knows of its surroundings.
struct CliContext {
    std::ostream& out; // log lines, reports, listings (UTF-8)
    std::ostream& err; // errors, warnings and the progress bar
    // Directory of the executable: the range-list file lives there (or in its per-user
    // copy), as for the desktop program.
    std::filesystem::path exeDir;
    bool progressBar = false; // err is a terminal
    // Becomes true when the user interrupts (Ctrl+C): a running radio operation is closed.
    const std::atomic<bool>* cancel = nullptr;
    // err is a terminal that takes cursor moves, so several radios can each keep a progress
    // row on it; columns is its width.
    bool cursorMoves = false;
    size_t columns = 80;
    // When set, a radio operation shows its progress there instead of drawing a bar on err
    // (one radio among several at once).
    ProgressDisplay* progress = nullptr;
};

// Writes "zorvex-cli: MESSAGE" to the error stream and returns status.
int CliFail(CliContext& context, int status, const std::string& utf8Message);

// Writes "zorvex-cli: warning: MESSAGE" to the error stream.
void CliWarn(CliContext& context, const std::string& utf8Message);
