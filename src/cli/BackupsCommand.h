#pragma once

#include "cli/CliMain.h"
#include "cli/CliOptions.h"

// zorvex-cli backups [--backup-dir DIR] [--serial N]: the backups, newest first, one line
// each: folder, serial, date and time, programming count, used channels.
int RunBackupsCommand(const CliOptions& options, CliContext& context);
