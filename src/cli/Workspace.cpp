#include "cli/Workspace.h"

#include "cli/CheckCommand.h"
#include "cli/ExitStatus.h"
#include "cli/TerminalText.h"
#include "files/ConfigFile.h"
#include "files/FileError.h"

Workspace::Workspace(const std::filesystem::path& exeDir) : rangeList(channels.ranges, exeDir) {
    channels.ranges.Select(0);
}

bool OpenConfig(CliContext& c, Workspace& w, const std::string& file, bool force, int& status,
                std::string* failure) {
    const auto fail = [&](const std::string& message) {
        if (failure != nullptr) {
            *failure = message;
        }
        status = CliFail(c, EXIT_STATUS_FILE, message);
        return false;
    };
    try {
        const ConfigOpenResult result = OpenConfigFile(file, w.channels, w.settings, w.captions);
        for (const ConfigProblem& problem : result.problems) {
            if (force) {
                CliWarn(c, ConfigProblemLine(file, problem));
            } else {
                CliFail(c, EXIT_STATUS_FILE, ConfigProblemLine(file, problem));
            }
        }
        if (!result.problems.empty() && !force) {
            return fail(file + ": " + std::to_string(result.problems.size()) +
                        " problem(s) in the file; correct them (see 'zorvex-cli check') "
                        "or give --force to use it as read");
        }
        for (const RemovedChannel& removed : result.removed) {
            CliWarn(c, file + ": channel " + std::to_string(removed.slot) +
                           " removed, outside the range set (rx " +
                           std::to_string(removed.freq_rx) + " Hz, tx " +
                           std::to_string(removed.freq_tx) + " Hz)");
        }
        return true;
    } catch (const FileError& e) {
        return fail(file + ": " + e.what());
    }
}

bool SaveConfig(CliContext& c, Workspace& w, const std::string& file, int& status,
                std::string* failure) {
    try {
        SaveConfigFile(file, w.channels, w.settings, w.captions);
        return true;
    } catch (const FileError& e) {
        const std::string message = file + ": " + e.what();
        if (failure != nullptr && failure->empty()) {
            *failure = message;
        }
        status = CliFail(c, EXIT_STATUS_FILE, message);
        return false;
    }
}
