#include "cli/CliOptions.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace {

// ---- The commands

struct CommandRow {
    const char* name;
    const char* subcommand; // "" for a command without subcommands
    size_t operands;        // exactly this many positional arguments
    const char* form;       // what they are, for the error message
    bool radio;             // talks to a radio: needs exactly one of --port, --device, --simulate
};

const CommandRow COMMANDS[] = {
    {"ports", "", 0, "", false},
    {"info", "", 0, "", true},
    {"read", "", 0, "", true},
    {"write", "", 1, "FILE.xml", true},
    {"export", "", 2, "FILE.xml OUT.xlsx|OUT.csv", false},
    {"import", "", 2, "FILE.xml IN.csv -o NEW.xml", false},
    {"image", "build", 2, "FILE.xml DIR", false},
    {"image", "parse", 2, "DIR FILE.xml", false},
    {"check", "", 1, "FILE.xml", false},
    {"restore", "", 1, "BACKUP_DIR", true},
    {"backups", "", 0, "", false},
    {"diff", "", 2, "A B (each a FILE.xml, an image directory or radio)", false},
};

// diff talks to a radio only when one of its sides is the word radio.
bool DiffNeedsRadio(const CliOptions& o) {
    return o.command == "diff" &&
           std::find(o.operands.begin(), o.operands.end(), "radio") != o.operands.end();
}

bool HasSubcommands(const std::string& command) {
    return std::any_of(std::begin(COMMANDS), std::end(COMMANDS), [&](const CommandRow& c) {
        return command == c.name && c.subcommand[0] != '\0';
    });
}

const CommandRow* FindCommand(const std::string& command, const std::string& subcommand) {
    for (const CommandRow& c : COMMANDS) {
        if (command == c.name && subcommand == c.subcommand) {
            return &c;
        }
    }
    return nullptr;
}

bool KnownCommand(const std::string& command) {
    return std::any_of(std::begin(COMMANDS), std::end(COMMANDS),
                       [&](const CommandRow& c) { return command == c.name; });
}

// ---- The options

bool ParsePortNumber(const std::string& text, int& port) {
    if (text.empty() || text.size() > 3) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    port = std::atoi(text.c_str());
    return port >= 1 && port <= 255;
}

bool ApplyPort(CliOptions& o, const std::string& v, std::string& error) {
    if (!ParsePortNumber(v, o.port)) {
        error = "--port: '" + v + "' is not a COM port number 1..255";
        return false;
    }
    o.ports.push_back(o.port);
    return true;
}

bool ApplyDevice(CliOptions& o, const std::string& v, std::string& error) {
    if (v.empty()) {
        error = "--device: empty path";
        return false;
    }
    o.device = v;
    o.devices.push_back(v);
    return true;
}

bool ApplyVersion(const char* option, const std::string& v, uint16_t& into, bool ok(uint16_t),
                  std::string& error) {
    uint16_t version = 0;
    if (!ParseVersionText(v, version) || !ok(version)) {
        error = std::string(option) + ": unsupported version '" + v + "'";
        return false;
    }
    into = version;
    return true;
}

// One row per option. commands: the command names (with subcommand, "image build") it is
// for, separated by '|'; nullptr for every command. valueName: nullptr for a switch.
struct OptionRow {
    const char* longName;
    char shortName;
    const char* valueName;
    const char* commands;
    bool (*apply)(CliOptions& options, const std::string& value, std::string& error);
};

const char* const RADIO = "info|read|write|restore|diff";

const OptionRow OPTIONS[] = {
    {"--help", 'h', nullptr, nullptr,
     [](CliOptions& o, const std::string&, std::string&) { return o.help = true; }},
    {"--version", 'V', nullptr, nullptr,
     [](CliOptions& o, const std::string&, std::string&) { return o.version = true; }},
    {"--quiet", 'q', nullptr, nullptr,
     [](CliOptions& o, const std::string&, std::string&) { return o.quiet = true; }},
    {"--verbose", 'v', nullptr, RADIO,
     [](CliOptions& o, const std::string&, std::string&) { return o.verbose = true; }},
    {"--trace", 0, nullptr, RADIO,
     [](CliOptions& o, const std::string&, std::string&) { return o.trace = true; }},
    {"--json", 0, nullptr, "ports|info|read|write|check|diff|backups",
     [](CliOptions& o, const std::string&, std::string&) { return o.json = true; }},
    {"--port", 'p', "N", RADIO, ApplyPort},
    {"--device", 'd', "PATH", RADIO, ApplyDevice},
    {"--simulate", 0, nullptr, RADIO,
     [](CliOptions& o, const std::string&, std::string&) { return o.simulate = true; }},
    {"--sim-state", 0, "FILE", RADIO,
     [](CliOptions& o, const std::string& v, std::string&) {
         o.simState = v;
         return true;
     }},
    {"--second-type", 0, nullptr, RADIO,
     [](CliOptions& o, const std::string&, std::string&) { return o.secondType = true; }},
    {"--no-backup", 0, nullptr, "write|restore",
     [](CliOptions& o, const std::string&, std::string&) { return o.noBackup = true; }},
    {"--no-verify", 0, nullptr, "write|restore",
     [](CliOptions& o, const std::string&, std::string&) { return o.noVerify = true; }},
    {"--backup-dir", 0, "DIR", "write|restore|backups",
     [](CliOptions& o, const std::string& v, std::string& e) {
         if (v.empty()) {
             e = "--backup-dir: empty path";
             return false;
         }
         o.backupDir = v;
         return true;
     }},
    {"--dry-run", 0, nullptr, "write",
     [](CliOptions& o, const std::string&, std::string&) { return o.dryRun = true; }},
    {"--serial", 0, "N", "backups",
     [](CliOptions& o, const std::string& v, std::string& e) {
         if (v == "no-serial") {
             o.serial = 0xFFFFFFFFu;
         } else if (v.empty() || v.size() > 10 ||
                    v.find_first_not_of("0123456789") != std::string::npos ||
                    std::strtoull(v.c_str(), nullptr, 10) >= 0xFFFFFFFFull) {
             e = "--serial: '" + v + "' is not a serial number";
             return false;
         } else {
             o.serial = static_cast<uint32_t>(std::strtoull(v.c_str(), nullptr, 10));
         }
         return true;
     }},
    {"--force", 0, nullptr, "write|export|import|image build|restore",
     [](CliOptions& o, const std::string&, std::string&) { return o.force = true; }},
    {"--csv-locale", 0, "en|ru", "export",
     [](CliOptions& o, const std::string& v, std::string& e) {
         if (v != "ru" && v != "en") {
             e = "--csv-locale: '" + v + "' is not en or ru";
             return false;
         }
         o.csvRussian = v == "ru";
         return true;
     }},
    {"--output", 'o', "FILE", "read|import",
     [](CliOptions& o, const std::string& v, std::string&) {
         o.output = v;
         return true;
     }},
    {"--images", 0, "DIR", "read|write",
     [](CliOptions& o, const std::string& v, std::string&) {
         o.images = v;
         return true;
     }},
    {"--channels-version", 0, "VERSION", "image build",
     [](CliOptions& o, const std::string& v, std::string& e) {
         return ApplyVersion(
             "--channels-version", v, o.channelsVersion,
             [](uint16_t x) { return x == 0x0100 || x == 0x0200; }, e);
     }},
    {"--channels2-version", 0, "VERSION", "image build",
     [](CliOptions& o, const std::string& v, std::string& e) {
         return ApplyVersion(
             "--channels2-version", v, o.channels2Version,
             [](uint16_t x) { return x == 0 || x == 0x0100 || x == 0x0200; }, e);
     }},
    {"--settings-version", 0, "VERSION", "image build",
     [](CliOptions& o, const std::string& v, std::string& e) {
         return ApplyVersion(
             "--settings-version", v, o.settingsVersion,
             [](uint16_t x) { return x >= 0x0100 && x <= 0x0103; }, e);
     }},
};

const OptionRow* FindLong(const std::string& name) {
    for (const OptionRow& row : OPTIONS) {
        if (name == row.longName) {
            return &row;
        }
    }
    return nullptr;
}

const OptionRow* FindShort(char name) {
    for (const OptionRow& row : OPTIONS) {
        if (row.shortName != 0 && row.shortName == name) {
            return &row;
        }
    }
    return nullptr;
}

std::vector<std::string> SplitCommands(const char* commands) {
    std::vector<std::string> names;
    std::istringstream in(commands);
    std::string name;
    while (std::getline(in, name, '|')) {
        names.push_back(name);
    }
    return names;
}

// "info, read and write"
std::string ReadableList(const std::vector<std::string>& names, const char* last = " and ") {
    std::string text;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            text += i + 1 == names.size() ? last : ", ";
        }
        text += names[i];
    }
    return text;
}

bool OptionFitsCommand(const OptionRow& row, const CliOptions& o, std::string& error) {
    if (row.commands == nullptr) {
        return true;
    }
    const std::vector<std::string> names = SplitCommands(row.commands);
    const std::string name = o.CommandName();
    if (std::find(names.begin(), names.end(), name) != names.end()) {
        return true;
    }
    std::string option = row.longName;
    if (row.shortName != 0) {
        option = std::string("-") + row.shortName;
    }
    error = name + ": " + option + " is for " + ReadableList(names);
    return false;
}

void AddOperand(CliOptions& o, const std::string& a) {
    if (o.command.empty()) {
        o.command = a;
    } else if (o.subcommand.empty() && HasSubcommands(o.command)) {
        o.subcommand = a;
    } else {
        o.operands.push_back(a);
    }
}

// The checks that concern more than one option.
bool CheckCombination(CliOptions& o, const CommandRow& command, std::string& error) {
    const std::string name = o.CommandName();
    const int sources = (o.Given("--port") ? 1 : 0) + (o.Given("--device") ? 1 : 0) +
                        (o.Given("--simulate") ? 1 : 0);
    if (o.command == "diff" && !DiffNeedsRadio(o) && sources > 0) {
        error = "diff: --port, --device and --simulate are for a side named radio";
        return false;
    }
    if (command.radio || DiffNeedsRadio(o)) {
        const bool several = o.RadioCount() > 1;
        if (sources == 0) {
            error = name + ": give --port N, --device PATH or --simulate";
            return false;
        }
        if (o.simulate ? sources > 1 : (sources > 1 && !several)) {
            error = name + ": give only one of --port, --device and --simulate";
            return false;
        }
        if (several && o.command != "info" && o.command != "read" && o.command != "write") {
            error = name + ": one radio at a time (several --port and --device are for info, "
                           "read and write)";
            return false;
        }
        const auto placeholder = [](const std::string& pattern) {
            return pattern.find("{serial}") != std::string::npos ||
                   pattern.find("{port}") != std::string::npos;
        };
        if (several && o.command == "read" && (o.output == "-" || !placeholder(o.output))) {
            error = "read: with several radios -o needs {serial} or {port} in the file name "
                    "(e.g. -o 'radio-{serial}.xml')";
            return false;
        }
        if (several && !o.images.empty() && !placeholder(o.images)) {
            error = name + ": with several radios --images needs {serial} or {port} in the "
                           "folder name";
            return false;
        }
    }
    if (o.quiet && (o.verbose || o.trace)) {
        error = name + ": --quiet excludes --verbose and --trace";
        return false;
    }
    if (o.json && o.output == "-") {
        error = name + ": --json and -o - would both write to standard output";
        return false;
    }
    if (o.Given("--sim-state") && !o.simulate) {
        error = name + ": --sim-state needs --simulate";
        return false;
    }
    if (o.command == "read" && !o.Given("--output")) {
        error = "read: -o FILE.xml is required";
        return false;
    }
    if (o.command == "import" && !o.Given("--output")) {
        error = "import: -o NEW.xml is required";
        return false;
    }
    if (name == "image build" && !o.Given("--channels2-version")) {
        o.channels2Version = o.channelsVersion;
    }
    if (o.operands.size() == command.operands) {
        return true;
    }
    if (o.operands.size() > command.operands) {
        error = name + ": unexpected argument '" + o.operands[command.operands] + "'";
    } else {
        error = name + ": expected " + command.form;
    }
    return false;
}

} // namespace

bool CliOptions::Given(const std::string& longName) const {
    return std::find(given.begin(), given.end(), longName) != given.end();
}

std::string CliOptions::CommandName() const {
    return subcommand.empty() ? command : command + " " + subcommand;
}

bool ParseVersionText(const std::string& text, uint16_t& version) {
    if (text == "0") {
        version = 0;
        return true;
    }
    if (text.size() != 3 || text[1] != '.' || text[0] < '0' || text[0] > '9' || text[2] < '0' ||
        text[2] > '9') {
        return false;
    }
    version = static_cast<uint16_t>(((text[0] - '0') << 8) | (text[2] - '0'));
    return true;
}

bool ParseCliOptions(const std::vector<std::string>& args, CliOptions& o, std::string& error) {
    o = CliOptions();
    std::vector<const OptionRow*> rows; // in the order given, checked once the command is known
    bool endOfOptions = false;

    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (endOfOptions || a.size() < 2 || a[0] != '-') {
            AddOperand(o, a);
            continue;
        }
        if (a == "--") {
            endOfOptions = true;
            continue;
        }
        const OptionRow* row = nullptr;
        std::string value;
        bool valueAttached = false;
        if (a[1] == '-') {
            const size_t eq = a.find('=');
            row = FindLong(a.substr(0, eq));
            if (eq != std::string::npos) {
                value = a.substr(eq + 1);
                valueAttached = true;
            }
        } else {
            row = FindShort(a[1]);
            if (row != nullptr && a.size() > 2) {
                if (row->valueName == nullptr) {
                    row = nullptr; // "-hx": switches do not take a value
                } else {
                    value = a.substr(2);
                    valueAttached = true;
                }
            }
        }
        if (row == nullptr) {
            error = "unknown option " + a;
            return false;
        }
        if (row->valueName == nullptr && valueAttached) {
            error = "option " + std::string(row->longName) + " takes no value";
            return false;
        }
        if (row->valueName != nullptr && !valueAttached) {
            if (i + 1 >= args.size()) {
                error = "option " + a + " needs a value";
                return false;
            }
            value = args[++i];
        }
        if (!row->apply(o, value, error)) {
            return false;
        }
        if (!o.Given(row->longName)) {
            o.given.push_back(row->longName);
            rows.push_back(row);
        }
    }

    if (o.version) {
        return true; // the version whatever else was given
    }
    if (o.help) {
        // Help for whatever was named; only the name itself is checked.
        if (!o.command.empty() && !KnownCommand(o.command)) {
            error = "unknown command '" + o.command + "'";
            return false;
        }
        return true;
    }
    if (o.command.empty()) {
        error = "no command given";
        return false;
    }
    if (!KnownCommand(o.command)) {
        error = "unknown command '" + o.command + "'";
        return false;
    }
    const CommandRow* command = FindCommand(o.command, o.subcommand);
    if (command == nullptr) {
        if (o.subcommand.empty()) {
            std::vector<std::string> names;
            for (const CommandRow& c : COMMANDS) {
                if (o.command == c.name) {
                    names.push_back(c.subcommand);
                }
            }
            error = o.command + ": expected " + ReadableList(names, " or ");
        } else {
            error = o.command + ": unknown subcommand '" + o.subcommand + "'";
        }
        return false;
    }
    for (const OptionRow* row : rows) {
        if (!OptionFitsCommand(*row, o, error)) {
            return false;
        }
    }
    return CheckCombination(o, *command, error);
}
