#pragma once

#include <string>
#include <vector>

#include "cli/CliContext.h"

// Runs zorvex-cli with the arguments after the program name; returns the exit status.
int RunCli(const std::vector<std::string>& args, CliContext& context);
