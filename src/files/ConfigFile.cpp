#include "files/ConfigFile.h"

#include <utility>

#include "files/AtomicFile.h"
#include "files/FileError.h"
#include "files/ModelXml.h"
#include "files/XmlCommon.h"
#include "files/XmlDocument.h"
#include "model/Cp1251.h"

namespace {

const char* const FLAG_NAMES[8] = {"Flag0", "Flag1", "Flag2", "Flag3",
                                   "Flag4", "Flag5", "Flag6", "Flag7"};

} // namespace

namespace {

// Builds the document from a table that is normalised on the way (power levels).
std::string BuildConfigDocument(ChannelsContext& normalised, const SettingsContext& settings,
                                const FlagCaptions& captions) {
    XmlDocument doc;
    xmlNodePtr root = doc.CreateRoot("root");

    if (const FreqRange* current = normalised.ranges.current()) {
        SaveToXml(*current, root);
    } else {
        // No current set: the default set, which is also what the file would be read with.
        FreqRange fallback;
        fallback.SetDefault();
        SaveToXml(fallback, root);
    }

    SaveToXml(normalised, XmlAddChild(root, "Channels"));
    SaveToXml(settings, XmlAddChild(root, "Settings"));

    xmlNodePtr flags = XmlAddChild(root, "Flags");
    for (std::size_t n = 0; n < captions.size(); ++n) {
        XmlAddChildText(flags, FLAG_NAMES[n], captions[n]);
    }
    return doc.Serialize();
}

} // namespace

std::string ConfigDocumentText(const ChannelsContext& channels, const SettingsContext& settings,
                               const FlagCaptions& captions) {
    ChannelsContext copy = channels;
    return BuildConfigDocument(copy, settings, captions);
}

void SaveConfigFile(const std::filesystem::path& path, ChannelsContext& channels,
                    const SettingsContext& settings, const FlagCaptions& captions) {
    // Work on a copy so the table is normalised only once the file is written.
    ChannelsContext normalised = channels;
    WriteFileAtomically(path, BuildConfigDocument(normalised, settings, captions));
    channels.channels = normalised.channels;
}

ConfigOpenResult OpenConfigFile(const std::filesystem::path& path, ChannelsContext& channels,
                                SettingsContext& settings, FlagCaptions& captions) {
    const XmlDocument doc = XmlDocument::Parse(ReadFileBytes(path));
    xmlNodePtr root = doc.Root();
    xmlNodePtr channelsElement = XmlFirstChild(root, "Channels");
    if (channelsElement == nullptr) {
        // Not a configuration (the range-list file, some other document): opening it would
        // wipe the channel table for nothing.
        throw FileError("the file holds no channel table (element Channels): it is not a "
                        "configuration file");
    }

    // Everything below works on copies; the caller's objects change only at the end.
    ChannelsContext table = channels;
    SettingsContext newSettings = settings;
    FlagCaptions newCaptions = captions;
    ConfigOpenResult result;

    FreqRange range;
    if (!LoadFromXml(range, XmlFirstChild(root, "FreqRange"))) {
        range.SetDefault();
    }
    if (range.IsValid()) {
        const int index = table.ranges.Add(range);
        result.rangeSelected = table.ranges.Select(index);
    }

    LoadFromXml(table, channelsElement);
    LoadFromXml(newSettings, XmlFirstChild(root, "Settings"));

    if (xmlNodePtr flags = XmlFirstChild(root, "Flags")) {
        const FlagCaptions defaults = DefaultFlagCaptions();
        for (std::size_t n = 0; n < newCaptions.size(); ++n) {
            newCaptions[n] = XmlChildText(flags, FLAG_NAMES[n], defaults[n]);
        }
    }

    if (!table.RemoveOutOfRange()) {
        result.channelsRemoved = true;
        result.warning = Utf8ToCp1251("При загрузке файла были удалены каналы, не "
                                      "соответствующие диапазону частот.");
    }
    result.rangeIndex = table.ranges.currentIndex();
    table.ranges.CurrentText(result.rangeText);

    channels = std::move(table);
    settings = std::move(newSettings);
    captions = std::move(newCaptions);
    return result;
}

FlagCaptions NewConfig(ChannelsContext& channels, SettingsContext& settings) {
    channels.InitAll();
    settings.SetDefaults();
    return DefaultFlagCaptions();
}
