#include "cli/CliCommands.h"
#include "cli/ExitStatus.h"
#include "cli/TerminalText.h"
#include "cli/Workspace.h"
#include "files/ChannelCsv.h"
#include "files/ChannelExport.h"
#include "files/FileError.h"

namespace {

// Whether an export goes to a channel list (.csv, any case) rather than a spreadsheet.
bool IsCsvPath(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& ch : ext) {
        ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
    }
    return ext == ".csv";
}

} // namespace

int RunExportCommand(const CliOptions& o, CliContext& c) {
    Workspace w(c.exeDir);
    int status = EXIT_STATUS_OK;
    if (!OpenConfig(c, w, o.operands[0], o.force, status)) {
        return status;
    }
    if (o.Given("--csv-locale") && !IsCsvPath(o.operands[1])) {
        return CliFail(c, EXIT_STATUS_USAGE, "export: --csv-locale is for a .csv file");
    }
    if (IsCsvPath(o.operands[1])) {
        try {
            SaveChannelCsv(o.operands[1], w.channels,
                           o.csvRussian ? CsvLocale::Russian : CsvLocale::Default);
        } catch (const FileError& e) {
            return CliFail(c, EXIT_STATUS_FILE, o.operands[1] + ": " + e.what());
        }
        return EXIT_STATUS_OK;
    }
    const ExportResult result = ExportChannels(w.channels, o.operands[1]);
    if (!result.ok) {
        std::string message = TerminalText(result.message);
        if (!result.reason.empty()) {
            message += " (" + TerminalText(result.reason) + ")";
        }
        return CliFail(c, EXIT_STATUS_FILE, o.operands[1] + ": " + message);
    }
    if (!o.quiet) {
        c.out << TerminalText(result.message) << '\n';
    }
    return EXIT_STATUS_OK;
}
