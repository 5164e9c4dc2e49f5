#include "cli/CliCommands.h"
#include "cli/ExitStatus.h"
#include "link/ComPorts.h"

int RunPortsCommand(const CliOptions&, CliContext& c) {
    for (const ComPortInfo& port : EnumerateComPorts()) {
        c.out << "COM" << port.number << '\t' << port.device << '\n';
    }
    return EXIT_STATUS_OK;
}
