#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "files/ConfigProblem.h"

#include "model/ChannelsContext.h"
#include "model/FlagCaptions.h"
#include "model/SettingsContext.h"

// File dialogs of the configuration file (UTF-8, filter in "caption|pattern" form).
inline constexpr const char* CONFIG_OPEN_FILTER = "Настройки (*.xml)|*.xml";
inline constexpr const char* CONFIG_SAVE_FILTER = "Настройки радиостанции (*.xml)|*.xml";
inline constexpr const char* CONFIG_DEFAULT_EXTENSION = "xml";

// A channel emptied when a file was opened: its slot and its frequencies (Hz, 0 for none).
struct RemovedChannel {
    int slot = 0;
    int32_t freq_rx = 0;
    int32_t freq_tx = 0;
};

// What the caller of OpenConfigFile must show. Texts are Windows-1251.
struct ConfigOpenResult {
    // At least one channel lay outside the current range set and was emptied.
    bool channelsRemoved = false;
    // The warning to show with a single OK button when channelsRemoved, else empty: the
    // sentence, then a line for every removed channel.
    std::string warning;
    // The removed channels in slot order.
    std::vector<RemovedChannel> removed;
    // What the file holds that the reader took in its own way, in file order; never anything
    // in a file the program wrote.
    ConfigProblems problems;
    // The file's range set was valid and is now the current set.
    bool rangeSelected = false;
    // Index of the current set in the range list after the open.
    int rangeIndex = 0;
    // CurrentText of the range list for the status bar (empty with no current set).
    std::string rangeText;
};

// Writes the configuration (current range set - the default set when there is none - used
// channels, settings, captions) to path.
// Normalises the channels' power levels. The file is replaced atomically: on any failure the
// old file stays as it was and FileError is thrown.
void SaveConfigFile(const std::filesystem::path& path, ChannelsContext& channels,
                    const SettingsContext& settings, const FlagCaptions& captions);

// The text SaveConfigFile would write for this configuration, without touching the table.
// Two configurations with the same text are the same as far as a file can tell.
std::string ConfigDocumentText(const ChannelsContext& channels, const SettingsContext& settings,
                               const FlagCaptions& captions);

// Reads the configuration at path into channels (and its range list), settings and
// captions. A file that cannot be read or parsed, or holds no Channels element, throws
// FileError before anything changes. A hand-edited file is read as before; its problems are
// listed in the result.
ConfigOpenResult OpenConfigFile(const std::filesystem::path& path, ChannelsContext& channels,
                                SettingsContext& settings, FlagCaptions& captions);

// A new configuration: every channel empty (numbered index modulo 100), default settings.
// The range list is not touched. Returns the default captions for the channel editor.
FlagCaptions NewConfig(ChannelsContext& channels, SettingsContext& settings);
