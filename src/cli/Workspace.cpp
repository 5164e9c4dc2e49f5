#include "cli/Workspace.h"

#include "cli/ExitStatus.h"
#include "cli/TerminalText.h"
#include "files/ConfigFile.h"
#include "files/FileError.h"

Workspace::Workspace(const std::filesystem::path& exeDir) : rangeList(channels.ranges, exeDir) {
    channels.ranges.Select(0);
}

bool OpenConfig(CliContext& c, Workspace& w, const std::string& file, int& status) {
    try {
        const ConfigOpenResult result = OpenConfigFile(file, w.channels, w.settings, w.captions);
        if (result.channelsRemoved) {
            CliWarn(c, TerminalText(result.warning));
        }
        return true;
    } catch (const FileError& e) {
        status = CliFail(c, EXIT_STATUS_FILE, file + ": " + e.what());
        return false;
    }
}

bool SaveConfig(CliContext& c, Workspace& w, const std::string& file, int& status) {
    try {
        SaveConfigFile(file, w.channels, w.settings, w.captions);
        return true;
    } catch (const FileError& e) {
        status = CliFail(c, EXIT_STATUS_FILE, file + ": " + e.what());
        return false;
    }
}
