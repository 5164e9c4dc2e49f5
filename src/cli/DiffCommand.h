#pragma once

#include "cli/CliMain.h"
#include "cli/CliOptions.h"

// zorvex-cli diff A B: each side a configuration file, an image folder (as --images or a
// backup writes it) or the word radio (identified and read). One line per difference;
// exit 0 with none, 1 with some.
int RunDiffCommand(const CliOptions& options, CliContext& context);
