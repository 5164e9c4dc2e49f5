#pragma once

#include <string>

// Usage text of a command ("" for the overview), UTF-8, ending with a newline.
std::string CliHelpText(const std::string& command, const std::string& subcommand);
