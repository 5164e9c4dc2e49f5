#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

#include "cli/CliMain.h"
#include "cli/ErrorTerminal.h"
#include "cli/Utf8Console.h"

namespace {

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) {
    interrupted.store(true);
}

std::filesystem::path ExecutableDir(const char* argv0) {
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        self = std::filesystem::absolute(argv0, ec);
    }
    return self.parent_path();
}

} // namespace

int main(int argc, char** argv) {
    const Utf8Console console;
    // Ctrl+C, a closed terminal and a polite kill all close a running operation cleanly:
    // the worker stops and the port is released.
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
#ifndef _WIN32
    std::signal(SIGHUP, OnInterrupt);
    // A reader that goes away (| head) makes writes fail with EPIPE instead of killing the
    // tool: the operation goes on and its result and exit status stand.
    std::signal(SIGPIPE, SIG_IGN);
    // A file-size limit makes the write fail with EFBIG, reported like any failed write,
    // instead of killing the tool beside its temporary file.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    std::vector<std::string> args(argv + 1, argv + argc);
    CliContext context{std::cout, std::cerr, ExecutableDir(argv[0]), isatty(STDERR_FILENO) == 1,
                       &interrupted};
    if (context.progressBar) {
        context.cursorMoves = ErrorTerminalTakesCursorMoves();
        context.columns = ErrorTerminalColumns();
    }
    return RunCli(args, context);
}
