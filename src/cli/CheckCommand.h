#pragma once

#include <filesystem>
#include <string>

#include "cli/CliMain.h"
#include "files/ConfigProblem.h"

// One problem as the command-line tool prints it: FILE:LINE: the problem (UTF-8).
std::string ConfigProblemLine(const std::string& file, const ConfigProblem& problem);

// zorvex-cli check FILE: opens the configuration as the other commands do, without writing
// anything (not even the range list), and prints one line per problem on out. Exit status 0
// without problems, 1 with some, 3 when the file cannot be opened.
// With json the list is one JSON document instead (see README, "Machine-readable output").
int RunCheckCommand(const std::string& file, CliContext& context, bool json = false);
