#include "cli/CliVersion.h"

#ifndef ZORVEX_VERSION
#error "ZORVEX_VERSION is set by the build from the project version"
#endif

std::string CliVersionText() {
    return std::string("zorvex-cli ") + ZORVEX_VERSION + "\n";
}
