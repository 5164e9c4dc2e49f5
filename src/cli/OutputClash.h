#pragma once

#include <string>

#include "cli/CliOptions.h"

// An output of the command line that is the same file as one of its inputs (or as another
// output): writing it would destroy what the command reads, e.g. "export cfg.xml cfg.xml".
// Returns the message naming both (English), or an empty text when there is none.
std::string FindOutputClash(const CliOptions& options);
