#pragma once

#include <string>
#include <vector>

#include "model/FlagCaptions.h"

class ChannelsContext;
class SettingsContext;

// One configuration as a comparison sees it (nothing is changed).
struct ConfigView {
    const ChannelsContext* channels = nullptr;
    const SettingsContext* settings = nullptr;
    const FlagCaptions* captions = nullptr; // null: not compared
};

// One difference between two configurations. Texts are Windows-1251; a value of "-" means
// the field is absent (an empty channel slot).
struct ConfigDifference {
    enum class Kind { Channel, Setting, RangeSet, FlagCaption };
    Kind kind = Kind::Channel;
    int slot = -1;     // channel slot 0..199, or flag number 0..7
    std::string field; // the configuration file's field name (channels and settings)
    std::string before;
    std::string after;
};

// What to compare.
struct DiffScope {
    int channelSlots = 200; // slots 0..channelSlots-1
    bool rangeSet = true;
    bool flagCaptions = true;
};

// The differences from a to b, in order: channels by slot and field, settings fields,
// range set, flag captions.
struct ConfigDiff {
    std::vector<ConfigDifference> items;

    bool Empty() const { return items.empty(); }
    // Channel slots with at least one difference.
    int ChangedChannels() const;
    // Settings fields that differ.
    int ChangedSettings() const;
};

ConfigDiff CompareConfigs(const ConfigView& a, const ConfigView& b, const DiffScope& scope = {});

// One line, Windows-1251, in the command-line tool's words:
// "channel 5: freq_rx: 41000000 -> 41012500", "setting Volume: 10 -> 7",
// "range set: ... -> ...", "flag caption 0: ... -> ...".
std::string DifferenceLine(const ConfigDifference& difference);
