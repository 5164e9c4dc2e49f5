#pragma once

// Exit status of zorvex-cli.
enum ExitStatus : int {
    EXIT_STATUS_OK = 0,     // the command did what it was asked
    EXIT_STATUS_FAILED = 1, // the operation failed: port, link error, bad table, refused write
    EXIT_STATUS_USAGE = 2,  // the command line is wrong
    EXIT_STATUS_FILE = 3,   // a file could not be read or written
};
