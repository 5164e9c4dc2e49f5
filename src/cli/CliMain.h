#pragma once

#include <atomic>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

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
};

// Runs zorvex-cli with the arguments after the program name; returns the exit status.
int RunCli(const std::vector<std::string>& args, CliContext& context);
