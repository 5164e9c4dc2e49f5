#pragma once

#include "cli/CliMain.h"
#include "cli/CliOptions.h"

// zorvex-cli import CONFIG.xml IN.csv -o NEW.xml: the configuration with its 200 channels
// replaced by those of the channel list, its range set, settings and flag captions kept.
// Every problem of the list is reported and nothing is written when there is one. Returns
// the exit status.
int RunImportCommand(const CliOptions& options, CliContext& context);
