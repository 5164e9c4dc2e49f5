#include "cli/ImportCommand.h"

#include "cli/ExitStatus.h"
#include "cli/Workspace.h"
#include "files/ChannelCsv.h"
#include "files/FileError.h"

int RunImportCommand(const CliOptions& o, CliContext& c) {
    const std::string& configPath = o.operands[0];
    const std::string& csvPath = o.operands[1];
    auto fail = [&](const std::string& message) { return CliFail(c, EXIT_STATUS_FILE, message); };

    // The configuration as the desktop program would hold it after opening the file.
    Workspace w(c.exeDir);
    int status = EXIT_STATUS_OK;
    if (!OpenConfig(c, w, configPath, o.force, status)) {
        return status;
    }
    ChannelsContext& channels = w.channels;

    ChannelCsvImport list;
    try {
        list = ReadChannelCsv(csvPath, channels);
    } catch (const FileError& e) {
        return fail(csvPath + ": " + e.what());
    }
    if (!list.ok()) {
        for (const CsvProblem& problem : list.problems)
            CliFail(c, EXIT_STATUS_FILE, csvPath + ": " + CsvProblemText(problem));
        return fail("nothing written: " + std::to_string(list.problems.size()) +
                    (list.problems.size() == 1 ? " problem" : " problems") + " in " + csvPath);
    }

    channels.channels = list.channels;
    if (!SaveConfig(c, w, o.output, status)) {
        return status;
    }
    c.out << "Imported " << list.channelCount << (list.channelCount == 1 ? " channel" : " channels")
          << " from " << csvPath << " into " << o.output << '\n';
    return EXIT_STATUS_OK;
}
