#include "model/ChannelCheck.h"

namespace {

constexpr int32_t WARNING_FREQ = 41900000; // accepted with a warning whatever the raster
constexpr int32_t LOW_BAND_BEGIN = 26000000;
constexpr int32_t LOW_BAND_END = 30000000;
constexpr int32_t LOW_BAND_RASTER = 5000; // 10 kHz steps, 5 kHz accepted with a warning
constexpr int32_t RASTER = 12500;         // 12.5 kHz steps in either band

bool RxOnRaster(int32_t f) {
    if (f == WARNING_FREQ)
        return true;
    if (f >= LOW_BAND_BEGIN && f <= LOW_BAND_END)
        return f % LOW_BAND_RASTER == 0;
    return f % RASTER == 0;
}

bool ToneOk(int32_t tone) {
    return tone == 0 || (tone >= MIN_CALL_TONE && tone <= MAX_CALL_TONE);
}

bool SubtoneOk(int32_t code) {
    return code >= 0 && code <= MAX_SUBTONE_CODE;
}

bool LevelOk(int32_t level, int32_t low, int32_t high) {
    return level >= low && level <= high;
}

} // namespace

std::vector<ChannelFault> ChannelFaults(const Channel& c, const ChannelsContext& table) {
    std::vector<ChannelFault> faults;
    if (!c.IsUsed())
        faults.push_back(ChannelFault::NoFrequency);
    if (c.HasRx()) {
        if (!table.RxInRange(static_cast<uint32_t>(c.freq_rx)))
            faults.push_back(ChannelFault::RxOutOfRange);
        else if (!RxOnRaster(c.freq_rx))
            faults.push_back(ChannelFault::RxOffRaster);
    }
    if (c.HasTx()) {
        if (!table.TxInRange(static_cast<uint32_t>(c.freq_tx)))
            faults.push_back(ChannelFault::TxOutOfRange);
        else if (c.freq_tx % RASTER != 0)
            faults.push_back(ChannelFault::TxOffRaster);
    }
    if (!ToneOk(c.tone_rx))
        faults.push_back(ChannelFault::RxToneInvalid);
    if (!ToneOk(c.tone_tx))
        faults.push_back(ChannelFault::TxToneInvalid);
    if (!SubtoneOk(c.subtone_rx))
        faults.push_back(ChannelFault::RxSubtoneInvalid);
    if (!SubtoneOk(c.subtone_tx))
        faults.push_back(ChannelFault::TxSubtoneInvalid);
    if (!LevelOk(c.number, 0, 99))
        faults.push_back(ChannelFault::NumberInvalid);
    if (!LevelOk(c.tx_power_low, 0, 3))
        faults.push_back(ChannelFault::PowerLowInvalid);
    if (!LevelOk(c.tx_power_high, 0, 3))
        faults.push_back(ChannelFault::PowerHighInvalid);
    if (!LevelOk(c.squelch, 1, 8))
        faults.push_back(ChannelFault::SquelchInvalid);
    return faults;
}
