#include "cli/CliContext.h"

int CliFail(CliContext& context, int status, const std::string& utf8Message) {
    context.err << "zorvex-cli: " << utf8Message << '\n';
    return status;
}

void CliWarn(CliContext& context, const std::string& utf8Message) {
    context.err << "zorvex-cli: warning: " << utf8Message << '\n';
}
