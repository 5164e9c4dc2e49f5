#pragma once

#include <array>

#include "model/Channel.h"
#include "model/ChannelsContext.h"
#include "model/FlagCaptions.h"
#include "model/SettingsContext.h"

// Everything of the configuration in hand that the user can change: the 200 channels, the
// settings, the flag captions and which range set is current. A few kilobytes: an undo step
// keeps one from before and one from after the change.
struct ConfigSnapshot {
    std::array<Channel, CHANNEL_COUNT> channels{};
    SettingsContext settings;
    FlagCaptions captions{};
    int rangeIndex = -1;

    // The configuration as the model holds it (the settings' last error is not part of it).
    static ConfigSnapshot Of(const ChannelsContext& channels, const SettingsContext& settings,
                             const FlagCaptions& captions);
    // Puts it back into the model; the captions are the caller's to hand on.
    void ApplyTo(ChannelsContext& channels, SettingsContext& settings) const;

    bool operator==(const ConfigSnapshot&) const = default;
};
