#include "sim/RadioIdentity.h"

#include <algorithm>
#include <cstring>

#include "model/TableImage.h"

namespace {

// A text field: the bytes, zero-padded to the width (cut at the width).
void PutText(uint8_t* p, size_t width, const std::string& text) {
    std::memset(p, 0, width);
    std::memcpy(p, text.data(), std::min(width, text.size()));
}

} // namespace

bool RadioIdentity::SetRange(int index, uint32_t beginHz, uint32_t endHz) {
    if (index < 1 || index > 4 || step == 0 || beginHz % step || endHz % step)
        return false;
    const uint32_t b = beginHz / step;
    const uint32_t e = endHz / step;
    if (b < rxBase || e < rxBase || b - rxBase > 0xFFFF || e - rxBase > 0xFFFF)
        return false;
    rangeOffsets[index - 1] = {static_cast<uint16_t>(b - rxBase),
                               static_cast<uint16_t>(e - rxBase)};
    return true;
}

std::array<uint8_t, INFO_BLOCK0_SIZE> BuildInfoBlock0(const RadioIdentity& id) {
    std::array<uint8_t, INFO_BLOCK0_SIZE> b{};
    PutU32(&b[0], id.programmingCount);
    PutU32(&b[4], id.serialNumber);
    PutText(&b[8], 10, id.firmwareVersion);
    PutText(&b[18], 5, id.programmerId);
    PutText(&b[23], 20, id.radioType);
    PutText(&b[43], 40, id.comment);
    PutText(&b[83], 15, id.auxText);
    PutU16(&b[98], id.txBase);
    PutU16(&b[100], id.rxBase);
    PutU16(&b[102], 0);
    PutU16(&b[104], id.step);
    for (int i = 0; i < 4; ++i) {
        PutU16(&b[106 + 4 * i], id.rangeOffsets[i][0]);
        PutU16(&b[108 + 4 * i], id.rangeOffsets[i][1]);
    }
    return b;
}

std::array<uint8_t, INFO_BLOCK1_SIZE> BuildInfoBlock1(const RadioIdentity& id) {
    std::array<uint8_t, INFO_BLOCK1_SIZE> b{};
    PutU16(&b[0], id.bootloaderVersion);
    PutU16(&b[2], id.auxWord);
    PutU32(&b[4], id.bootloaderSize);
    PutU32(&b[8], id.bootloaderChecksum);
    PutU32(&b[12], id.firmwareSize);
    PutU32(&b[16], id.firmwareChecksum);
    // Version entries: tag (the table's block address), version. Unused entries carry tag
    // 0xFFFF, which no table has.
    const uint16_t tags[4] = {0, 4, 8, 12};
    const uint16_t versions[4] = {id.channelsVersion, id.settingsVersion, id.calibrationVersion,
                                  id.channels2Version};
    for (int i = 0; i < 16; ++i) {
        PutU16(&b[20 + 4 * i], i < 4 ? tags[i] : 0xFFFF);
        PutU16(&b[22 + 4 * i], i < 4 ? versions[i] : 0xFFFF);
    }
    for (int i = 0; i < 3; ++i)
        PutU32(&b[84 + 4 * i], id.cpuId[i]);
    PutU32(&b[96], id.flashSize);
    for (int i = 0; i < 4; ++i)
        b[100 + i] = id.powerW[i];
    return b;
}

std::array<uint8_t, INFO_BLOCK2_SIZE> BuildInfoBlock2(const RadioIdentity& id) {
    std::array<uint8_t, INFO_BLOCK2_SIZE> b{};
    PutText(&b[44], 128, id.longComment);
    std::copy(id.options.begin(), id.options.end(), b.begin() + 172);
    return b;
}
