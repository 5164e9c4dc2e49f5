#pragma once

#include <ostream>
#include <string>

#include "cli/CliOptions.h"
#include "operations/OperationDriver.h"

// The backup, verify and dry-run switches of write and restore, handed to the driver.
void ApplyWriteSafety(const CliOptions& options, OperationDriver& driver);

// The radio arguments of this run as they would be typed again ("--port 3",
// "--device /dev/ttyUSB0", "--simulate").
std::string RadioArguments(const CliOptions& options);

// A path quoted for a POSIX shell when it needs it.
std::string ShellQuoted(const std::string& text);

// After a write or restore that failed: what the radio now holds, and the restore command
// that brings back its previous tables (stderr, English).
void ReportWriteFailure(const CliOptions& options, const OperationDriver& driver,
                        std::ostream& err);
