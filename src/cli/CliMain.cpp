#include "cli/CliMain.h"

#include "cli/BackupsCommand.h"
#include "cli/CheckCommand.h"
#include "cli/CliCommands.h"
#include "cli/CliHelp.h"
#include "cli/CliOptions.h"
#include "cli/CliVersion.h"
#include "cli/DiffCommand.h"
#include "cli/ExitStatus.h"
#include "cli/ImportCommand.h"
#include "cli/OutputClash.h"
#include "cli/RestoreCommand.h"
#include "model/InfoContext.h"

namespace {

struct CommandEntry {
    const char* name;
    int (*run)(const CliOptions& options, CliContext& context);
};

const CommandEntry COMMAND_ENTRIES[] = {
    {"ports", RunPortsCommand},
    {"info", RunRadioCommand},
    {"read", RunRadioCommand},
    {"write", RunRadioCommand},
    {"export", RunExportCommand},
    {"image", RunImageCommand},
    {"import", RunImportCommand},
    {"restore", RunRestoreCommand},
    {"backups", RunBackupsCommand},
    {"diff", RunDiffCommand},
    {"check",
     [](const CliOptions& o, CliContext& c) { return RunCheckCommand(o.operands[0], c, o.json); }},
};

} // namespace

int RunCli(const std::vector<std::string>& args, CliContext& context) {
    CliOptions options;
    std::string error;
    if (!ParseCliOptions(args, options, error)) {
        context.err << "zorvex-cli: " << error << "\n"
                    << "Try 'zorvex-cli --help'.\n";
        return EXIT_STATUS_USAGE;
    }
    if (options.version) {
        context.out << CliVersionText();
        return EXIT_STATUS_OK;
    }
    if (options.help) {
        context.out << CliHelpText(options.command, options.subcommand);
        return EXIT_STATUS_OK;
    }
    if (const std::string clash = FindOutputClash(options); !clash.empty()) {
        return CliFail(context, EXIT_STATUS_USAGE, clash);
    }
    if (options.secondType) {
        // Before any radio's thread starts: the switch is the process's, read by every worker.
        AcceptSecondType = true;
    }
    for (const CommandEntry& entry : COMMAND_ENTRIES) {
        if (options.command == entry.name) {
            return entry.run(options, context);
        }
    }
    return CliFail(context, EXIT_STATUS_USAGE, "unknown command '" + options.command + "'");
}
