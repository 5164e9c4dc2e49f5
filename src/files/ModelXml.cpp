#include "files/ModelXml.h"

#include <cstdio>
#include <map>
#include <set>
#include <utility>

#include "files/XmlCommon.h"

namespace {

const char* const RX_NAMES[FREQ_RANGE_SLOTS] = {"rx0", "rx1", "rx2", "rx3"};
const char* const TX_NAMES[FREQ_RANGE_SLOTS] = {"tx0", "tx1", "tx2", "tx3"};

const char* const RANGE_CHILDREN[] = {"rx0", "rx1", "rx2", "rx3",  "tx0",
                                      "tx1", "tx2", "tx3", nullptr};

const char* const CHANNEL_FIELDS[] = {
    "freq_rx",       "freq_tx", "tone_rx", "tone_tx", "subtone_rx", "subtone_tx", "tx_power_low",
    "tx_power_high", "squelch", "scan",    "band_rx", "band_tx",    "scrambler",  "tx_limit",
    "tx_busy",       "active",  "flag0",   "flag1",   "flag2",      "flag3",      "flag4",
    "flag5",         "flag6",   "flag7",   "number",  nullptr};

void AddProblem(ConfigProblems* problems, xmlNodePtr node, ConfigProblemKind kind, int channel,
                const std::string& element, const std::string& field, std::string text = {},
                std::string readAs = {}) {
    if (problems != nullptr) {
        problems->push_back(
            {XmlLine(node), kind, channel, element, field, std::move(text), std::move(readAs)});
    }
}

// Reads the number fields of one element and notes those that are not numbers.
struct FieldReader {
    xmlNodePtr element;
    ConfigProblems* problems;
    int channel;
    const char* where;

    int32_t Int(const char* name, int32_t def) const {
        const int32_t value = XmlChildInt(element, name, def);
        if (problems != nullptr) {
            if (xmlNodePtr child = XmlFirstChild(element, name)) {
                const std::string text = XmlContentUtf8(child);
                int32_t ignored = 0;
                if (!ReadXmlNumber(text, ignored)) {
                    AddProblem(problems, child, ConfigProblemKind::NotANumber, channel, where, name,
                               text, std::to_string(def));
                }
            }
        }
        return value;
    }
    bool Bool(const char* name, bool def) const { return Int(name, def ? 1 : 0) != 0; }

    // An attribute of node read as a number, noted under field when it is not one.
    int32_t Attr(xmlNodePtr node, const char* name, int32_t def, const std::string& field) const {
        const int32_t value = XmlAttrInt(node, name, def);
        bool found = false;
        const std::string text = XmlAttrUtf8(node, name, found);
        int32_t ignored = 0;
        if (found && !ReadXmlNumber(text, ignored)) {
            AddProblem(problems, node, ConfigProblemKind::NotANumber, channel, where, field, text,
                       std::to_string(def));
        }
        return value;
    }
};

// Reads the slots of one direction; false when a present slot is unusable.
bool LoadSlots(xmlNodePtr element, const char* const names[], uint32_t* begin, uint32_t* end,
               ConfigProblems* problems) {
    const FieldReader reader{element, problems, -1, "FreqRange"};
    for (int i = 0; i < FREQ_RANGE_SLOTS; ++i) {
        xmlNodePtr slot = XmlFirstChild(element, names[i]);
        if (slot == nullptr) {
            break;
        }
        const std::string name = names[i];
        const int32_t b = reader.Attr(slot, "begin", 0, name + " begin");
        const int32_t e = reader.Attr(slot, "end", 0, name + " end");
        if (b == 0 || e == 0) {
            return false;
        }
        begin[i] = static_cast<uint32_t>(b);
        end[i] = static_cast<uint32_t>(e);
    }
    return true;
}

void SaveSlots(xmlNodePtr element, const char* const names[], const uint32_t* begin,
               const uint32_t* end) {
    for (int i = 0; i < FREQ_RANGE_SLOTS && begin[i] != 0; ++i) {
        xmlNodePtr slot = XmlAddChild(element, names[i]);
        XmlSetAttrInt(slot, "begin", static_cast<int32_t>(begin[i]));
        XmlSetAttrInt(slot, "end", static_cast<int32_t>(end[i]));
    }
}

void AddPositive(xmlNodePtr element, const char* name, int32_t value) {
    if (value > 0) {
        XmlAddChildInt(element, name, value);
    }
}

} // namespace

bool LoadFromXml(FreqRange& range, xmlNodePtr element, ConfigProblems* problems) {
    range.Clear();
    if (element == nullptr) {
        return false;
    }
    CheckChildren(element, RANGE_CHILDREN, "FreqRange", -1, problems);
    return LoadSlots(element, RX_NAMES, range.rx_begin, range.rx_end, problems) &&
           LoadSlots(element, TX_NAMES, range.tx_begin, range.tx_end, problems);
}

void CheckChildren(xmlNodePtr element, const char* const known[], const std::string& where,
                   int channel, ConfigProblems* problems) {
    if (problems == nullptr || element == nullptr) {
        return;
    }
    std::set<std::string> seen;
    for (xmlNodePtr n = element->children; n != nullptr; n = n->next) {
        if (n->type != XML_ELEMENT_NODE) {
            continue;
        }
        const std::string name(reinterpret_cast<const char*>(n->name));
        bool isKnown = false;
        for (const char* const* k = known; *k != nullptr && !isKnown; ++k) {
            isKnown = name == *k;
        }
        if (!isKnown) {
            AddProblem(problems, n, ConfigProblemKind::UnknownElement, channel, where, name);
        } else if (!seen.insert(name).second) {
            AddProblem(problems, n, ConfigProblemKind::RepeatedElement, channel, where, name);
        }
    }
}

void SaveToXml(const FreqRange& range, xmlNodePtr parent) {
    xmlNodePtr element = XmlAddChild(parent, "FreqRange");
    SaveSlots(element, RX_NAMES, range.rx_begin, range.rx_end);
    SaveSlots(element, TX_NAMES, range.tx_begin, range.tx_end);
}

void LoadFromXml(Channel& c, xmlNodePtr e, ConfigProblems* problems, int slot) {
    const FieldReader r{e, problems, slot, "channel"};
    c.freq_rx = r.Int("freq_rx", 0);
    c.freq_tx = r.Int("freq_tx", 0);
    c.tone_rx = r.Int("tone_rx", 0);
    c.tone_tx = r.Int("tone_tx", 0);
    c.subtone_rx = r.Int("subtone_rx", 0);
    c.subtone_tx = r.Int("subtone_tx", 0);
    c.tx_power_low = r.Int("tx_power_low", 0);
    c.tx_power_high = r.Int("tx_power_high", 3);
    c.squelch = r.Int("squelch", 1);
    c.scan = r.Bool("scan", false);
    c.band_rx = r.Bool("band_rx", true);
    c.band_tx = r.Bool("band_tx", true);
    c.scrambler = r.Bool("scrambler", false);
    c.tx_limit = r.Bool("tx_limit", false);
    c.tx_busy = r.Bool("tx_busy", true);
    c.active = r.Bool("active", true);
    c.flag0 = r.Bool("flag0", false);
    c.flag1 = r.Bool("flag1", false);
    c.flag2 = r.Bool("flag2", false);
    c.flag3 = r.Bool("flag3", false);
    c.flag4 = r.Bool("flag4", false);
    c.flag5 = r.Bool("flag5", false);
    c.flag6 = r.Bool("flag6", false);
    c.flag7 = r.Bool("flag7", false);
    c.number = r.Int("number", c.number);
    CheckChildren(e, CHANNEL_FIELDS, "channel", slot, problems);
    if (c.tx_power_high < c.tx_power_low) {
        std::swap(c.tx_power_high, c.tx_power_low);
    }
    if (c.freq_rx < 0 && c.freq_tx < 0) {
        c.Reset();
    }
}

void SaveToXml(Channel& c, xmlNodePtr e) {
    AddPositive(e, "freq_rx", c.freq_rx);
    AddPositive(e, "freq_tx", c.freq_tx);
    AddPositive(e, "tone_rx", c.tone_rx);
    AddPositive(e, "tone_tx", c.tone_tx);
    AddPositive(e, "subtone_rx", c.subtone_rx);
    AddPositive(e, "subtone_tx", c.subtone_tx);
    if (c.tx_power_high < c.tx_power_low) {
        std::swap(c.tx_power_high, c.tx_power_low);
    }
    XmlAddChildInt(e, "tx_power_low", c.tx_power_low);
    XmlAddChildInt(e, "tx_power_high", c.tx_power_high);
    XmlAddChildInt(e, "squelch", c.squelch);
    XmlAddChildBool(e, "scan", c.scan);
    XmlAddChildBool(e, "band_rx", c.band_rx);
    XmlAddChildBool(e, "band_tx", c.band_tx);
    XmlAddChildBool(e, "scrambler", c.scrambler);
    XmlAddChildBool(e, "tx_limit", c.tx_limit);
    XmlAddChildBool(e, "tx_busy", c.tx_busy);
    XmlAddChildBool(e, "active", c.active);
    XmlAddChildBool(e, "flag0", c.flag0);
    XmlAddChildBool(e, "flag1", c.flag1);
    XmlAddChildBool(e, "flag2", c.flag2);
    XmlAddChildBool(e, "flag3", c.flag3);
    XmlAddChildBool(e, "flag4", c.flag4);
    XmlAddChildBool(e, "flag5", c.flag5);
    XmlAddChildBool(e, "flag6", c.flag6);
    XmlAddChildBool(e, "flag7", c.flag7);
    XmlAddChildInt(e, "number", c.number);
}

void LoadFromXml(ChannelsContext& channels, xmlNodePtr element, ConfigProblems* problems) {
    channels.InitAll();
    if (element == nullptr) {
        return;
    }
    std::map<int32_t, int> firstLine; // slot -> line of its first element
    for (xmlNodePtr n = element->children; n != nullptr; n = n->next) {
        if (n->type != XML_ELEMENT_NODE) {
            continue;
        }
        if (xmlStrcmp(n->name, reinterpret_cast<const xmlChar*>("channel")) != 0) {
            AddProblem(problems, n, ConfigProblemKind::UnknownElement, -1, "Channels",
                       reinterpret_cast<const char*>(n->name));
            continue;
        }
        const int32_t id = XmlAttrInt(n, "id", -1);
        if (id >= 0 && id < CHANNEL_COUNT) {
            const auto [first, isFirst] = firstLine.emplace(id, XmlLine(n));
            if (!isFirst) {
                AddProblem(problems, n, ConfigProblemKind::SlotRepeated, id, {}, {}, {},
                           std::to_string(first->second));
            }
            LoadFromXml(channels.channels[static_cast<std::size_t>(id)], n, problems, id);
            continue;
        }
        bool found = false;
        const std::string text = XmlAttrUtf8(n, "id", found);
        int32_t number = 0;
        const bool numeric = found && ReadXmlNumber(text, number);
        AddProblem(problems, n,
                   numeric ? ConfigProblemKind::SlotOutOfRange
                           : ConfigProblemKind::ChannelWithoutSlot,
                   -1, "Channels", "channel", numeric ? std::to_string(number) : text);
    }
}

void SaveToXml(ChannelsContext& channels, xmlNodePtr element) {
    for (int i = 0; i < CHANNEL_COUNT; ++i) {
        Channel& channel = channels.channels[static_cast<std::size_t>(i)];
        if (!channel.IsUsed()) {
            continue;
        }
        xmlNodePtr child = XmlAddChild(element, "channel");
        XmlSetAttrInt(child, "id", i);
        SaveToXml(channel, child);
    }
}

// The settings children in file order, with the reader's defaults.
#define ZORVEX_SETTINGS_FIELDS(INT, BOOL)                                                          \
    INT(Intensity, 9)                                                                              \
    INT(IntensityKeys, 9)                                                                          \
    INT(Volume, 10)                                                                                \
    INT(MinVolume, 9)                                                                              \
    INT(BeepMin, 3)                                                                                \
    INT(BeepMax, 8)                                                                                \
    INT(TxLimit, 0)                                                                                \
    INT(TxPause, 0)                                                                                \
    INT(StartChannel, 0)                                                                           \
    INT(SpecChannel, 0)                                                                            \
    BOOL(TxPower, false)                                                                           \
    BOOL(Squelch_On, true)                                                                         \
    BOOL(SquelchAutoVol_On, true)                                                                  \
    BOOL(ExtSpeaker_On, true)                                                                      \
    BOOL(SpecChannelLock, false)                                                                   \
    BOOL(StartChannelLock, false)                                                                  \
    INT(ScanPause, 5)                                                                              \
    INT(MicAmp, 1)                                                                                 \
    INT(TxPowerPassword, 0)                                                                        \
    INT(MaxTxPower, 3)                                                                             \
    INT(Squelch, 1)                                                                                \
    BOOL(Tamp, true)                                                                               \
    BOOL(TxPowerCommon, false)                                                                     \
    BOOL(SqlCommon, false)                                                                         \
    INT(ID, 1)                                                                                     \
    BOOL(KeyLock, false)                                                                           \
    BOOL(KeyBeep, true)                                                                            \
    BOOL(DigitalDelay, true)                                                                       \
    BOOL(MultiplexedChannel, false)                                                                \
    BOOL(SqwMonitorPolarity, false)                                                                \
    BOOL(TxVoiceMonitor, true)                                                                     \
    BOOL(DeemphasisOff, false)                                                                     \
    INT(Output1Function, 0)                                                                        \
    INT(Output2Function, 0)                                                                        \
    INT(Output3Function, 0)                                                                        \
    INT(StartupMode, 128)                                                                          \
    INT(RepeaterDelay, 0)                                                                          \
    INT(SpecChannel_1, 0)                                                                          \
    INT(SpecChannel_2, 0)

void LoadFromXml(SettingsContext& s, xmlNodePtr e, ConfigProblems* problems) {
    const FieldReader r{e, problems, -1, "Settings"};
    s.version = static_cast<uint16_t>(e != nullptr ? r.Attr(e, "version", 0x0100, "version")
                                                   : XmlAttrInt(e, "version", 0x0100));
#define ZORVEX_LOAD_INT(field, def) s.field = r.Int(#field, def);
#define ZORVEX_LOAD_BOOL(field, def) s.field = r.Bool(#field, def);
    ZORVEX_SETTINGS_FIELDS(ZORVEX_LOAD_INT, ZORVEX_LOAD_BOOL)
#undef ZORVEX_LOAD_INT
#undef ZORVEX_LOAD_BOOL
#define ZORVEX_NAME(field, def) #field,
    static const char* const known[] = {ZORVEX_SETTINGS_FIELDS(ZORVEX_NAME, ZORVEX_NAME) nullptr};
#undef ZORVEX_NAME
    CheckChildren(e, known, "Settings", -1, problems);
}

void SaveToXml(const SettingsContext& s, xmlNodePtr e) {
    char version[16];
    std::snprintf(version, sizeof version, "0x%04X", static_cast<unsigned>(s.version));
    XmlSetAttrText(e, "version", version);
#define ZORVEX_SAVE_INT(field, def) XmlAddChildInt(e, #field, s.field);
#define ZORVEX_SAVE_BOOL(field, def) XmlAddChildBool(e, #field, s.field);
    ZORVEX_SETTINGS_FIELDS(ZORVEX_SAVE_INT, ZORVEX_SAVE_BOOL)
#undef ZORVEX_SAVE_INT
#undef ZORVEX_SAVE_BOOL
}
