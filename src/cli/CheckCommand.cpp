#include "cli/CheckCommand.h"

#include "cli/ExitStatus.h"
#include "files/ConfigFile.h"
#include "files/FileError.h"
#include "files/RangeListFile.h"
#include "model/ChannelsContext.h"
#include "model/FlagCaptions.h"
#include "model/SettingsContext.h"

std::string ConfigProblemLine(const std::string& file, const ConfigProblem& problem) {
    std::string line = file + ":";
    if (problem.line > 0) {
        line += std::to_string(problem.line) + ":";
    }
    return line + " " + ConfigProblemText(problem);
}

int RunCheckCommand(const std::string& file, CliContext& context) {
    // The same range list as the other commands, read only.
    ChannelsContext channels;
    LoadRangeListFile(channels.ranges, LocateRangeList(context.exeDir).readFrom);
    channels.ranges.Select(0);
    SettingsContext settings;
    FlagCaptions captions = DefaultFlagCaptions();
    ConfigOpenResult result;
    try {
        result = OpenConfigFile(file, channels, settings, captions);
    } catch (const FileError& e) {
        context.err << "zorvex-cli: " << file << ": " << e.what() << '\n';
        return EXIT_STATUS_FILE;
    }
    for (const ConfigProblem& problem : result.problems) {
        context.out << ConfigProblemLine(file, problem) << '\n';
    }
    for (const RemovedChannel& c : result.removed) {
        context.out << file << ": channel " << c.slot << ": outside the range set (rx " << c.freq_rx
                    << " Hz, tx " << c.freq_tx << " Hz), removed\n";
    }
    return result.problems.empty() && result.removed.empty() ? EXIT_STATUS_OK : EXIT_STATUS_FAILED;
}
