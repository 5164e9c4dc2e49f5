#pragma once

#include "cli/CliContext.h"
#include "cli/CliOptions.h"

// The commands of zorvex-cli, one implementation file per group. Each returns the exit
// status; the options have been checked for the command already.
int RunPortsCommand(const CliOptions& options, CliContext& context);
int RunRadioCommand(const CliOptions& options, CliContext& context); // info, read, write
int RunExportCommand(const CliOptions& options, CliContext& context);
int RunImageCommand(const CliOptions& options, CliContext& context); // image build, parse
