#include "files/ModelXml.h"

#include <cstdio>
#include <utility>

#include "files/XmlCommon.h"

namespace {

const char* const RX_NAMES[FREQ_RANGE_SLOTS] = {"rx0", "rx1", "rx2", "rx3"};
const char* const TX_NAMES[FREQ_RANGE_SLOTS] = {"tx0", "tx1", "tx2", "tx3"};

// Reads the slots of one direction; false when a present slot is unusable.
bool LoadSlots(xmlNodePtr element, const char* const names[], uint32_t* begin, uint32_t* end) {
    for (int i = 0; i < FREQ_RANGE_SLOTS; ++i) {
        xmlNodePtr slot = XmlFirstChild(element, names[i]);
        if (slot == nullptr) {
            break;
        }
        const int32_t b = XmlAttrInt(slot, "begin", 0);
        const int32_t e = XmlAttrInt(slot, "end", 0);
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

bool LoadFromXml(FreqRange& range, xmlNodePtr element) {
    range.Clear();
    if (element == nullptr) {
        return false;
    }
    return LoadSlots(element, RX_NAMES, range.rx_begin, range.rx_end) &&
           LoadSlots(element, TX_NAMES, range.tx_begin, range.tx_end);
}

void SaveToXml(const FreqRange& range, xmlNodePtr parent) {
    xmlNodePtr element = XmlAddChild(parent, "FreqRange");
    SaveSlots(element, RX_NAMES, range.rx_begin, range.rx_end);
    SaveSlots(element, TX_NAMES, range.tx_begin, range.tx_end);
}

void LoadFromXml(Channel& c, xmlNodePtr e) {
    c.freq_rx = XmlChildInt(e, "freq_rx", 0);
    c.freq_tx = XmlChildInt(e, "freq_tx", 0);
    c.tone_rx = XmlChildInt(e, "tone_rx", 0);
    c.tone_tx = XmlChildInt(e, "tone_tx", 0);
    c.subtone_rx = XmlChildInt(e, "subtone_rx", 0);
    c.subtone_tx = XmlChildInt(e, "subtone_tx", 0);
    c.tx_power_low = XmlChildInt(e, "tx_power_low", 0);
    c.tx_power_high = XmlChildInt(e, "tx_power_high", 3);
    c.squelch = XmlChildInt(e, "squelch", 1);
    c.scan = XmlChildBool(e, "scan", false);
    c.band_rx = XmlChildBool(e, "band_rx", true);
    c.band_tx = XmlChildBool(e, "band_tx", true);
    c.scrambler = XmlChildBool(e, "scrambler", false);
    c.tx_limit = XmlChildBool(e, "tx_limit", false);
    c.tx_busy = XmlChildBool(e, "tx_busy", true);
    c.active = XmlChildBool(e, "active", true);
    c.flag0 = XmlChildBool(e, "flag0", false);
    c.flag1 = XmlChildBool(e, "flag1", false);
    c.flag2 = XmlChildBool(e, "flag2", false);
    c.flag3 = XmlChildBool(e, "flag3", false);
    c.flag4 = XmlChildBool(e, "flag4", false);
    c.flag5 = XmlChildBool(e, "flag5", false);
    c.flag6 = XmlChildBool(e, "flag6", false);
    c.flag7 = XmlChildBool(e, "flag7", false);
    c.number = XmlChildInt(e, "number", c.number);
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

void LoadFromXml(ChannelsContext& channels, xmlNodePtr element) {
    channels.InitAll();
    if (element == nullptr) {
        return;
    }
    for (xmlNodePtr n = element->children; n != nullptr; n = n->next) {
        if (n->type != XML_ELEMENT_NODE ||
            xmlStrcmp(n->name, reinterpret_cast<const xmlChar*>("channel")) != 0) {
            continue;
        }
        const int32_t id = XmlAttrInt(n, "id", -1);
        if (id >= 0 && id < CHANNEL_COUNT) {
            LoadFromXml(channels.channels[static_cast<std::size_t>(id)], n);
        }
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

void LoadFromXml(SettingsContext& s, xmlNodePtr e) {
    s.version = static_cast<uint16_t>(XmlAttrInt(e, "version", 0x0100));
#define ZORVEX_LOAD_INT(field, def) s.field = XmlChildInt(e, #field, def);
#define ZORVEX_LOAD_BOOL(field, def) s.field = XmlChildBool(e, #field, def);
    ZORVEX_SETTINGS_FIELDS(ZORVEX_LOAD_INT, ZORVEX_LOAD_BOOL)
#undef ZORVEX_LOAD_INT
#undef ZORVEX_LOAD_BOOL
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
