#include "ui/ConfigSnapshot.h"

ConfigSnapshot ConfigSnapshot::Of(const ChannelsContext& channels, const SettingsContext& settings,
                                  const FlagCaptions& captions) {
    ConfigSnapshot snapshot;
    snapshot.channels = channels.channels;
    snapshot.settings = settings;
    snapshot.settings.lastError.clear();
    snapshot.captions = captions;
    snapshot.rangeIndex = channels.ranges.currentIndex();
    return snapshot;
}

void ConfigSnapshot::ApplyTo(ChannelsContext& target, SettingsContext& settings) const {
    target.channels = channels;
    settings = this->settings;
    if (rangeIndex >= 0)
        target.ranges.Select(rangeIndex);
}
