#include "files/ConfigFile.h"

#include <algorithm>
#include <utility>

#include "files/AtomicFile.h"
#include "files/FileError.h"
#include "files/MisdeclaredUtf8.h"
#include "files/ModelXml.h"
#include "files/XmlCommon.h"
#include "files/XmlDocument.h"
#include "model/Cp1251.h"

namespace {

const char* const FLAG_NAMES[8] = {"Flag0", "Flag1", "Flag2", "Flag3",
                                   "Flag4", "Flag5", "Flag6", "Flag7"};
const char* const FLAG_CHILDREN[] = {"Flag0", "Flag1", "Flag2", "Flag3", "Flag4",
                                     "Flag5", "Flag6", "Flag7", nullptr};
const char* const ROOT_CHILDREN[] = {"FreqRange", "Channels", "Settings", "Flags", nullptr};

// "41 012 500 Гц" (Windows-1251), or "нет" for 0.
std::string FrequencyText(int32_t hz) {
    if (hz <= 0) {
        return Utf8ToCp1251("нет");
    }
    std::string digits = std::to_string(hz);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) {
        digits.insert(static_cast<std::size_t>(i), " ");
    }
    return digits + Utf8ToCp1251(" Гц");
}

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
    const std::string bytes = ReadFileBytes(path);
    const XmlDocument doc = XmlDocument::Parse(bytes);
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
    ConfigProblems* problems = &result.problems;

    const char* declared =
        doc.get()->encoding != nullptr ? reinterpret_cast<const char*>(doc.get()->encoding) : "";
    if (const int line = MisdeclaredUtf8Line(bytes, declared)) {
        ConfigProblem problem;
        problem.line = line;
        problem.kind = ConfigProblemKind::Utf8DeclaredAs1251;
        problems->push_back(problem);
    }
    CheckChildren(root, ROOT_CHILDREN, reinterpret_cast<const char*>(root->name), -1, problems);

    FreqRange range;
    if (!LoadFromXml(range, XmlFirstChild(root, "FreqRange"), problems)) {
        range.SetDefault();
    }
    if (range.IsValid()) {
        const int index = table.ranges.Add(range);
        result.rangeSelected = table.ranges.Select(index);
    }

    LoadFromXml(table, channelsElement, problems);
    LoadFromXml(newSettings, XmlFirstChild(root, "Settings"), problems);

    if (xmlNodePtr flags = XmlFirstChild(root, "Flags")) {
        CheckChildren(flags, FLAG_CHILDREN, "Flags", -1, problems);
        const FlagCaptions defaults = DefaultFlagCaptions();
        for (std::size_t n = 0; n < newCaptions.size(); ++n) {
            newCaptions[n] = XmlChildText(flags, FLAG_NAMES[n], defaults[n]);
        }
    }

    const auto before = table.channels;
    if (!table.RemoveOutOfRange()) {
        result.channelsRemoved = true;
        result.warning = Utf8ToCp1251("При загрузке файла были удалены каналы, не "
                                      "соответствующие диапазону частот.");
        for (int i = 0; i < CHANNEL_COUNT; ++i) {
            const Channel& was = before[static_cast<std::size_t>(i)];
            if (was.IsUsed() && !table.channels[static_cast<std::size_t>(i)].IsUsed()) {
                result.removed.push_back({i, was.freq_rx, was.freq_tx});
                result.warning += "\n" + Utf8ToCp1251("Канал ") + std::to_string(i) +
                                  Utf8ToCp1251(": прием ") + FrequencyText(was.freq_rx) +
                                  Utf8ToCp1251(", передача ") + FrequencyText(was.freq_tx);
            }
        }
    }
    // In file order: the loaders note them section by section.
    std::stable_sort(
        result.problems.begin(), result.problems.end(),
        [](const ConfigProblem& a, const ConfigProblem& b) { return a.line < b.line; });
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
