#pragma once

#include "cli/CliMain.h"
#include "cli/CliOptions.h"

// zorvex-cli restore BACKUP_DIR (--port N | --device PATH | --simulate) [--force]: writes
// a backup's images back into the radio it was made of, exactly as stored.
int RunRestoreCommand(const CliOptions& options, CliContext& context);
