#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The command line of zorvex-cli, taken apart.
struct CliOptions {
    std::string command;               // ports, info, read, write, export, image, check
    std::string subcommand;            // image: build or parse
    std::vector<std::string> operands; // the positional arguments after the command
    bool help = false;
    bool version = false; // --version: print the name and version, nothing else

    // Output levels: quiet prints only errors (and warnings); verbose adds a line per exchange
    // with the radio; trace adds every frame in hex with a time stamp (both on stderr).
    bool quiet = false;
    bool verbose = false;
    bool trace = false;
    bool json = false; // --json: one JSON document on stdout, log lines on stderr

    int port = 0;       // --port N (the last one given)
    std::string device; // --device PATH (the last one given)
    // Every --port and --device in the order given: info, read and write take several
    // radios at once.
    std::vector<int> ports;
    std::vector<std::string> devices;
    size_t RadioCount() const { return ports.size() + devices.size(); }
    bool simulate = false;
    std::string simState; // --sim-state FILE
    bool secondType = false;
    // --force: use a configuration file with problems as read; restore: also to a radio
    // with another serial number.
    bool force = false;

    // write and restore: the safety steps; backups: where to look.
    bool noBackup = false; // --no-backup
    bool noVerify = false; // --no-verify
    std::string backupDir; // --backup-dir DIR (empty: the default location)
    bool dryRun = false;   // write --dry-run
    uint32_t serial = 0;   // backups --serial N (when Given("--serial"))

    std::string output; // -o FILE; "-" for standard output
    std::string images; // --images DIR

    // export to a .csv file: --csv-locale ru writes semicolons and decimal commas.
    bool csvRussian = false;

    // image build; 0 for the channels 100-199 version means no second table.
    uint16_t channelsVersion = 0x0200;
    uint16_t channels2Version = 0x0200;
    uint16_t settingsVersion = 0x0103;

    // The long names of the options given (each once, in the order first given).
    std::vector<std::string> given;
    bool Given(const std::string& longName) const;

    // "image build" or "read": the command as the user named it.
    std::string CommandName() const;
};

// Parses argv[1..]; false with error set (one line, English) on a usage error. The checks
// that depend on the command (which options and how many operands) are made too.
//
// Forms taken: "--name value", "--name=value", "-x value", "-xvalue"; "--" ends the options;
// "-" alone is an operand (or a value).
bool ParseCliOptions(const std::vector<std::string>& args, CliOptions& options, std::string& error);

// "1.0" -> 0x0100, "2.0" -> 0x0200, "1.3" -> 0x0103, "0" -> 0; false for anything else.
bool ParseVersionText(const std::string& text, uint16_t& version);
