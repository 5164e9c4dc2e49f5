#include "cli/CliOptions.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace {

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

bool IsRadioCommand(const std::string& command) {
    return command == "info" || command == "read" || command == "write" || command == "restore";
}

// diff talks to a radio only when one of its sides is the word radio.
bool DiffNeedsRadio(const CliOptions& o) {
    return o.command == "diff" &&
           std::find(o.operands.begin(), o.operands.end(), "radio") != o.operands.end();
}

// Operand counts per command: {min, max}.
bool OperandCountOk(const CliOptions& o, std::string& error) {
    size_t want = 0;
    std::string form;
    if (o.command == "ports" || o.command == "info" || o.command == "read") {
        want = 0;
    } else if (o.command == "write") {
        want = 1;
        form = "FILE.xml";
    } else if (o.command == "export") {
        want = 2;
        form = "FILE.xml OUT.xlsx";
    } else if (o.command == "restore") {
        want = 1;
        form = "BACKUP_DIR";
    } else if (o.command == "backups") {
        want = 0;
    } else if (o.command == "diff") {
        want = 2;
        form = "A B (each a FILE.xml, an image directory or radio)";
    } else if (o.command == "image" && o.subcommand == "build") {
        want = 2;
        form = "FILE.xml DIR";
    } else if (o.command == "image" && o.subcommand == "parse") {
        want = 2;
        form = "DIR FILE.xml";
    }
    if (o.operands.size() == want) {
        return true;
    }
    std::string name = o.command + (o.subcommand.empty() ? "" : " " + o.subcommand);
    if (o.operands.size() > want) {
        error = name + ": unexpected argument '" + o.operands[want] + "'";
    } else {
        error = name + ": expected " + form;
    }
    return false;
}

} // namespace

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
    bool portGiven = false;
    bool channelsGiven = false;
    bool settingsGiven = false;
    bool outputGiven = false;
    bool imagesGiven = false;
    bool endOfOptions = false;

    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) {
                error = "option " + a + " needs a value";
                return false;
            }
            into = args[++i];
            return true;
        };
        if (endOfOptions || a.empty() || a[0] != '-' || a == "-") {
            if (o.command.empty()) {
                o.command = a;
            } else if (o.command == "image" && o.subcommand.empty()) {
                o.subcommand = a;
            } else {
                o.operands.push_back(a);
            }
            continue;
        }
        if (a == "--") {
            endOfOptions = true;
        } else if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--second-type") {
            o.secondType = true;
        } else if (a == "--simulate") {
            o.simulate = true;
        } else if (a == "--sim-state") {
            if (!value(o.simState)) {
                return false;
            }
        } else if (a == "--port") {
            std::string text;
            if (!value(text)) {
                return false;
            }
            if (!ParsePortNumber(text, o.port)) {
                error = "--port: '" + text + "' is not a COM port number 1..255";
                return false;
            }
            portGiven = true;
        } else if (a == "--device") {
            if (!value(o.device)) {
                return false;
            }
            if (o.device.empty()) {
                error = "--device: empty path";
                return false;
            }
        } else if (a == "-o" || a == "--output") {
            if (!value(o.output)) {
                return false;
            }
            outputGiven = true;
        } else if (a == "--no-backup") {
            o.noBackup = true;
        } else if (a == "--no-verify") {
            o.noVerify = true;
        } else if (a == "--dry-run") {
            o.dryRun = true;
        } else if (a == "--force") {
            o.force = true;
        } else if (a == "--backup-dir") {
            if (!value(o.backupDir)) {
                return false;
            }
            if (o.backupDir.empty()) {
                error = "--backup-dir: empty path";
                return false;
            }
        } else if (a == "--serial") {
            std::string text;
            if (!value(text)) {
                return false;
            }
            if (text == "no-serial") {
                o.serial = 0xFFFFFFFFu;
            } else if (text.empty() || text.size() > 10 ||
                       text.find_first_not_of("0123456789") != std::string::npos ||
                       std::strtoull(text.c_str(), nullptr, 10) >= 0xFFFFFFFFull) {
                error = "--serial: '" + text + "' is not a serial number";
                return false;
            } else {
                o.serial = static_cast<uint32_t>(std::strtoull(text.c_str(), nullptr, 10));
            }
            o.serialGiven = true;
        } else if (a == "--images") {
            if (!value(o.images)) {
                return false;
            }
            imagesGiven = true;
        } else if (a == "--channels-version" || a == "--channels2-version" ||
                   a == "--settings-version") {
            std::string text;
            if (!value(text)) {
                return false;
            }
            uint16_t v = 0;
            bool ok = ParseVersionText(text, v);
            if (a == "--channels-version") {
                ok = ok && (v == 0x0100 || v == 0x0200);
                o.channelsVersion = v;
                channelsGiven = true;
            } else if (a == "--channels2-version") {
                ok = ok && (v == 0 || v == 0x0100 || v == 0x0200);
                o.channels2Version = v;
                o.channels2VersionGiven = true;
            } else {
                ok = ok && v >= 0x0100 && v <= 0x0103;
                o.settingsVersion = v;
                settingsGiven = true;
            }
            if (!ok) {
                error = a + ": unsupported version '" + text + "'";
                return false;
            }
        } else {
            error = "unknown option " + a;
            return false;
        }
    }

    if (o.help) {
        return true; // help for whatever was named; nothing else is checked
    }
    if (o.command.empty()) {
        error = "no command given";
        return false;
    }
    static const char* const commands[] = {"ports", "info",    "read",    "write", "export",
                                           "image", "restore", "backups", "diff"};
    bool known = false;
    for (const char* c : commands) {
        known = known || o.command == c;
    }
    if (!known) {
        error = "unknown command '" + o.command + "'";
        return false;
    }
    if (o.command == "image" && o.subcommand != "build" && o.subcommand != "parse") {
        error = o.subcommand.empty() ? "image: expected build or parse"
                                     : "image: unknown subcommand '" + o.subcommand + "'";
        return false;
    }

    const bool radio = IsRadioCommand(o.command) || DiffNeedsRadio(o);
    const std::string name = o.command + (o.subcommand.empty() ? "" : " " + o.subcommand);
    if (radio) {
        const int sources = (portGiven ? 1 : 0) + (o.device.empty() ? 0 : 1) + (o.simulate ? 1 : 0);
        if (sources == 0) {
            error = name + ": give --port N, --device PATH or --simulate";
            return false;
        }
        if (sources > 1) {
            error = name + ": give only one of --port, --device and --simulate";
            return false;
        }
    } else if (portGiven || !o.device.empty() || o.simulate) {
        error = name + ": --port, --device and --simulate are for info, read, write, restore "
                       "and diff with radio";
        return false;
    }
    const bool writes = o.command == "write" || o.command == "restore";
    if ((o.noBackup || o.noVerify) && !writes) {
        error = name + ": --no-backup and --no-verify are for write and restore";
        return false;
    }
    if (!o.backupDir.empty() && !writes && o.command != "backups") {
        error = name + ": --backup-dir is for write, restore and backups";
        return false;
    }
    if (o.dryRun && o.command != "write") {
        error = name + ": --dry-run is for write";
        return false;
    }
    if (o.force && o.command != "restore") {
        error = name + ": --force is for restore";
        return false;
    }
    if (o.serialGiven && o.command != "backups") {
        error = name + ": --serial is for backups";
        return false;
    }
    if (!o.simState.empty() && !o.simulate) {
        error = name + ": --sim-state needs --simulate";
        return false;
    }
    if (o.command == "read" && !outputGiven) {
        error = "read: -o FILE.xml is required";
        return false;
    }
    if (outputGiven && o.command != "read") {
        error = name + ": -o is for read";
        return false;
    }
    if (imagesGiven && o.command != "read" && o.command != "write") {
        error = name + ": --images is for read and write";
        return false;
    }
    if ((channelsGiven || settingsGiven || o.channels2VersionGiven) && name != "image build") {
        error = name + ": the version options are for image build";
        return false;
    }
    if (o.secondType && !radio) {
        error = name + ": --second-type is for info, read, write and restore";
        return false;
    }
    if (name == "image build" && !o.channels2VersionGiven) {
        o.channels2Version = o.channelsVersion;
    }
    return OperandCountOk(o, error);
}
