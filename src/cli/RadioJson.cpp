#include "cli/RadioJson.h"

#include <cstdio>

#include "model/Cp1251.h"
#include "model/InfoContext.h"

namespace {

std::string VersionText(uint16_t version) {
    return std::to_string(version >> 8) + "." + std::to_string(version & 0xFF);
}

void WriteRanges(JsonWriter& json, const uint32_t* begin, const uint32_t* end) {
    json.BeginArray();
    for (int i = 0; i < FREQ_RANGE_SLOTS && (begin[i] != 0 || end[i] != 0); ++i) {
        json.BeginObject().Key("begin_hz").Number(begin[i]).Key("end_hz").Number(end[i]);
        json.EndObject();
    }
    json.EndArray();
}

} // namespace

void WriteRadioJson(JsonWriter& json, const TInfoContext& info) {
    json.BeginObject();
    json.Key("type").String(Cp1251ToUtf8(info.radio_type));
    json.Key("serial_number").Number(info.serial_number);
    json.Key("programmer_id").String(Cp1251ToUtf8(info.programmer_id));
    json.Key("programmer_accepted").Bool(info.IsProgrammerAccepted(info.programmer_id));
    json.Key("firmware_version").String(Cp1251ToUtf8(info.firmware_version));
    json.Key("comment").String(Cp1251ToUtf8(info.comment));
    json.Key("long_comment").String(Cp1251ToUtf8(info.long_comment));
    json.Key("programming_count").Number(info.programming_count);
    char cpu[32];
    std::snprintf(cpu, sizeof cpu, "%08X %08X %08X", info.cpu_id[2], info.cpu_id[1],
                  info.cpu_id[0]);
    json.Key("cpu_id").String(info.has_block1 ? cpu : "");
    json.Key("flash_size").Number(info.flash_size);
    json.Key("power_w").BeginArray();
    for (int32_t w : info.power_w) {
        json.Number(w);
    }
    json.EndArray();
    json.Key("ranges").BeginObject();
    json.Key("rx");
    WriteRanges(json, info.ranges.rx_begin, info.ranges.rx_end);
    json.Key("tx");
    WriteRanges(json, info.ranges.tx_begin, info.ranges.tx_end);
    json.EndObject();
    json.Key("versions").BeginObject();
    json.Key("bootloader").String(VersionText(info.bootloader_version));
    json.Key("channels").String(VersionText(info.channels_version));
    json.Key("channels_100_199").String(VersionText(info.channels2_version));
    json.Key("settings").String(VersionText(info.settings_version));
    json.Key("calibration").String(VersionText(info.calibration_version));
    json.EndObject();
    json.Key("blocks").BeginArray();
    if (info.has_block0) {
        json.Number(0);
    }
    if (info.has_block1) {
        json.Number(1);
    }
    if (info.has_block2) {
        json.Number(2);
    }
    json.EndArray();
    json.EndObject();
}
