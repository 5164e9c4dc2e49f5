#include "operations/ConfigDiff.h"

#include <set>
#include <utility>

#include <libxml/tree.h>

#include "files/ModelXml.h"
#include "files/XmlCommon.h"
#include "files/XmlDocument.h"
#include "model/ChannelsContext.h"
#include "model/Cp1251.h"
#include "model/SettingsContext.h"

namespace {

using Fields = std::vector<std::pair<std::string, std::string>>; // name, Windows-1251 value

Fields ChildFields(xmlNodePtr element) {
    Fields fields;
    for (xmlNodePtr child = element->children; child != nullptr; child = child->next) {
        if (child->type != XML_ELEMENT_NODE) {
            continue;
        }
        fields.emplace_back(reinterpret_cast<const char*>(child->name),
                            Utf8ToCp1251(XmlContentUtf8(child)));
    }
    return fields;
}

Fields ChannelFields(const Channel& channel) {
    XmlDocument doc;
    xmlNodePtr root = doc.CreateRoot("channel");
    Channel copy = channel;
    SaveToXml(copy, root);
    return ChildFields(root);
}

Fields SettingsFields(const SettingsContext& settings) {
    XmlDocument doc;
    xmlNodePtr root = doc.CreateRoot("Settings");
    SaveToXml(settings, root);
    return ChildFields(root);
}

std::string ValueOf(const Fields& fields, const std::string& name) {
    for (const auto& [field, value] : fields) {
        if (field == name) {
            return value;
        }
    }
    return "-";
}

// Differences of two field lists, in the order of a's fields and then b's new ones.
void CompareFields(const Fields& a, const Fields& b, ConfigDifference::Kind kind, int slot,
                   std::vector<ConfigDifference>& out) {
    std::vector<std::string> names;
    std::set<std::string> seen;
    for (const Fields* list : {&a, &b}) {
        for (const auto& field : *list) {
            if (seen.insert(field.first).second) {
                names.push_back(field.first);
            }
        }
    }
    for (const std::string& name : names) {
        const std::string before = ValueOf(a, name);
        const std::string after = ValueOf(b, name);
        if (before != after) {
            out.push_back(ConfigDifference{kind, slot, name, before, after});
        }
    }
}

std::string RangeText(const ChannelsContext& channels) {
    std::string text;
    if (!channels.ranges.CurrentText(text)) {
        return "-";
    }
    return text;
}

} // namespace

int ConfigDiff::ChangedChannels() const {
    std::set<int> slots;
    for (const ConfigDifference& d : items) {
        if (d.kind == ConfigDifference::Kind::Channel) {
            slots.insert(d.slot);
        }
    }
    return static_cast<int>(slots.size());
}

int ConfigDiff::ChangedSettings() const {
    int n = 0;
    for (const ConfigDifference& d : items) {
        n += d.kind == ConfigDifference::Kind::Setting ? 1 : 0;
    }
    return n;
}

ConfigDiff CompareConfigs(const ConfigView& a, const ConfigView& b, const DiffScope& scope) {
    ConfigDiff diff;
    if (a.channels != nullptr && b.channels != nullptr) {
        const int slots = scope.channelSlots < CHANNEL_COUNT ? scope.channelSlots : CHANNEL_COUNT;
        for (int i = 0; i < slots; ++i) {
            const Channel& ca = a.channels->channels[i];
            const Channel& cb = b.channels->channels[i];
            if (!ca.IsUsed() && !cb.IsUsed()) {
                continue;
            }
            CompareFields(ca.IsUsed() ? ChannelFields(ca) : Fields(),
                          cb.IsUsed() ? ChannelFields(cb) : Fields(),
                          ConfigDifference::Kind::Channel, i, diff.items);
        }
    }
    if (a.settings != nullptr && b.settings != nullptr) {
        CompareFields(SettingsFields(*a.settings), SettingsFields(*b.settings),
                      ConfigDifference::Kind::Setting, -1, diff.items);
    }
    if (scope.rangeSet && a.channels != nullptr && b.channels != nullptr) {
        const FreqRange* ra = a.channels->ranges.current();
        const FreqRange* rb = b.channels->ranges.current();
        const bool same =
            (ra == nullptr && rb == nullptr) || (ra != nullptr && rb != nullptr && ra->Equals(*rb));
        if (!same) {
            diff.items.push_back(ConfigDifference{ConfigDifference::Kind::RangeSet, -1, "",
                                                  RangeText(*a.channels), RangeText(*b.channels)});
        }
    }
    if (scope.flagCaptions && a.captions != nullptr && b.captions != nullptr) {
        for (int i = 0; i < 8; ++i) {
            if ((*a.captions)[i] != (*b.captions)[i]) {
                diff.items.push_back(ConfigDifference{ConfigDifference::Kind::FlagCaption, i, "",
                                                      (*a.captions)[i], (*b.captions)[i]});
            }
        }
    }
    return diff;
}

std::string DifferenceLine(const ConfigDifference& d) {
    const std::string change = d.before + " -> " + d.after;
    switch (d.kind) {
    case ConfigDifference::Kind::Channel:
        return "channel " + std::to_string(d.slot) + ": " + d.field + ": " + change;
    case ConfigDifference::Kind::Setting:
        return "setting " + d.field + ": " + change;
    case ConfigDifference::Kind::RangeSet:
        return "range set: " + change;
    case ConfigDifference::Kind::FlagCaption:
        return "flag caption " + std::to_string(d.slot) + ": " + change;
    }
    return change;
}
