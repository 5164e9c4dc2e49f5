#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The command line of zorvex-cli, taken apart.
struct CliOptions {
    std::string command;    // ports, info, read, write, export, image, restore, backups, diff
    std::string subcommand; // image: build or parse
    std::vector<std::string> operands; // the positional arguments after the command
    bool help = false;

    int port = 0;       // --port N
    std::string device; // --device PATH
    bool simulate = false;
    std::string simState; // --sim-state FILE
    bool secondType = false;

    // write and restore: the safety steps; backups: where to look.
    bool noBackup = false; // --no-backup
    bool noVerify = false; // --no-verify
    std::string backupDir; // --backup-dir DIR (empty: the default location)
    bool dryRun = false;   // write --dry-run
    bool force = false;    // restore --force: also to a radio with another serial number
    bool serialGiven = false;
    uint32_t serial = 0; // backups --serial N

    std::string output; // -o FILE
    std::string images; // --images DIR

    // image build; 0 for the channels 100-199 version means no second table.
    uint16_t channelsVersion = 0x0200;
    uint16_t channels2Version = 0x0200;
    uint16_t settingsVersion = 0x0103;
    bool channels2VersionGiven = false;
};

// Parses argv[1..]; false with error set (one line, English) on a usage error. The checks
// that depend on the command (which options and how many operands) are made too.
bool ParseCliOptions(const std::vector<std::string>& args, CliOptions& options, std::string& error);

// "1.0" -> 0x0100, "2.0" -> 0x0200, "1.3" -> 0x0103, "0" -> 0; false for anything else.
bool ParseVersionText(const std::string& text, uint16_t& version);
