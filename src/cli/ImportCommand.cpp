#include "cli/ImportCommand.h"

#include "cli/ExitStatus.h"
#include "files/ChannelCsv.h"
#include "files/ConfigFile.h"
#include "files/FileError.h"
#include "files/RangeListFile.h"
#include "model/ChannelsContext.h"
#include "model/Cp1251.h"
#include "model/FlagCaptions.h"
#include "model/SettingsContext.h"

int RunImportCommand(const CliOptions& o, CliContext& c) {
    const std::string& configPath = o.operands[0];
    const std::string& csvPath = o.operands[1];
    auto fail = [&](const std::string& message) {
        c.err << "zorvex-cli: " << message << '\n';
        return EXIT_STATUS_FILE;
    };

    // The model as the desktop program holds it: range list from its file, set 0 current
    // until the configuration selects its own.
    ChannelsContext channels;
    SettingsContext settings;
    FlagCaptions captions = DefaultFlagCaptions();
    RangeListSession rangeList(channels.ranges, c.exeDir);
    channels.ranges.Select(0);
    try {
        const ConfigOpenResult opened = OpenConfigFile(configPath, channels, settings, captions);
        if (opened.channelsRemoved)
            c.err << "zorvex-cli: warning: " << Cp1251ToUtf8(opened.warning) << '\n';
    } catch (const FileError& e) {
        return fail(configPath + ": " + e.what());
    }

    ChannelCsvImport list;
    try {
        list = ReadChannelCsv(csvPath, channels);
    } catch (const FileError& e) {
        return fail(csvPath + ": " + e.what());
    }
    if (!list.ok()) {
        for (const CsvProblem& problem : list.problems)
            c.err << "zorvex-cli: " << csvPath << ": " << CsvProblemText(problem) << '\n';
        return fail("nothing written: " + std::to_string(list.problems.size()) +
                    (list.problems.size() == 1 ? " problem" : " problems") + " in " + csvPath);
    }

    channels.channels = list.channels;
    try {
        SaveConfigFile(o.output, channels, settings, captions);
    } catch (const FileError& e) {
        return fail(o.output + ": " + e.what());
    }
    c.out << "Imported " << list.channelCount << (list.channelCount == 1 ? " channel" : " channels")
          << " from " << csvPath << " into " << o.output << '\n';
    return EXIT_STATUS_OK;
}
