#pragma once

#include <string>

#include "cli/CliContext.h"
#include "cli/CliOptions.h"

// What one radio's info, read or write came to, for the summary of several radios.
struct RadioRunReport {
    std::string label;  // COM33, or the device's file name
    std::string serial; // as backups name it ("170001", "no-serial"); empty when not identified
    std::string result; // the JSON result word: "succeeded", "link_error", "refused", ...
    std::string reason; // the error line, empty on success
    int status = -1;    // the exit status the run alone would have
    double seconds = 0;
};

// How the radio of a one-radio command line is named in log prefixes and {port}: "COM33" for
// --port 33; for --device its path without /dev/ and with dashes for slashes (/dev/ttyUSB0 ->
// ttyUSB0, /dev/pts/3 -> pts-3).
std::string RadioLabel(const CliOptions& options);

// pattern with every {serial} and {port} replaced.
std::string ExpandRadioName(const std::string& pattern, const std::string& label,
                            const std::string& serial);

// info, read or write of one radio (the one --port or --device names); fills report when
// given. Defined with the radio commands.
int RunOneRadio(const CliOptions& options, CliContext& context, RadioRunReport* report);

// info, read or write of every radio the command line names, all at once: one worker and one
// port each, each line of a radio's output prefixed with its label, then a summary table (or,
// with --json, the summary as the document). Ctrl+C closes every operation. Exit status 0
// only when every radio succeeded, else 1.
int RunFleet(const CliOptions& options, CliContext& context);
