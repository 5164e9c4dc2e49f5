#pragma once

#include <filesystem>
#include <string>

#include "cli/CliContext.h"
#include "files/RangeListFile.h"
#include "model/ChannelsContext.h"
#include "model/FlagCaptions.h"
#include "model/InfoContext.h"
#include "model/SettingsContext.h"

// The model a command works on, as the main window holds it: the range list comes from
// the range-list file and set 0 is current; the list is written back when it changed.
struct Workspace {
    explicit Workspace(const std::filesystem::path& exeDir);

    ChannelsContext channels;
    SettingsContext settings;
    TInfoContext info;
    FlagCaptions captions = DefaultFlagCaptions();
    RangeListSession rangeList;
};

// Opens a configuration file as the desktop program's Open does (a warning on the error
// stream naming each channel removed as outside the range set). A hand-edited file with
// problems is refused, their list on the error stream, unless force. False with status set
// to the exit status and the error reported (and kept in failure, when given) when it cannot.
bool OpenConfig(CliContext& context, Workspace& w, const std::string& file, bool force, int& status,
                std::string* failure = nullptr);

// Saves the configuration; false with status set and the error reported (and kept in
// failure, when given) when it cannot.
bool SaveConfig(CliContext& context, Workspace& w, const std::string& file, int& status,
                std::string* failure = nullptr);
