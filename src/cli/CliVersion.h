#pragma once

#include <string>

// "zorvex-cli 1.0.0" and a newline: the name and the version of the build.
std::string CliVersionText();
