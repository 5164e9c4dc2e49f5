#include "cli/CliCommands.h"
#include "cli/ExitStatus.h"
#include "cli/TerminalText.h"
#include "cli/Workspace.h"
#include "files/ChannelExport.h"

int RunExportCommand(const CliOptions& o, CliContext& c) {
    Workspace w(c.exeDir);
    int status = EXIT_STATUS_OK;
    if (!OpenConfig(c, w, o.operands[0], status)) {
        return status;
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
