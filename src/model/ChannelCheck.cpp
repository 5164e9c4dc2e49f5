#include "model/ChannelCheck.h"

namespace {

constexpr int32_t WARNING_FREQ = 41900000;   // accepted with a warning whatever the raster
constexpr int32_t LOW_BAND_BEGIN = 26000000; // 26..30 MHz: 10 kHz steps, 5 kHz with a warning
constexpr int32_t LOW_BAND_END = 30000000;

// A frequency by the channel raster of its band.
EntryFit RasterFit(int32_t f, bool band25) {
    if (band25) {
        if (f % 25000 == 0)
            return EntryFit::Valid;
        return f % 12500 == 0 ? EntryFit::Warning : EntryFit::Invalid;
    }
    return f % 12500 == 0 ? EntryFit::Valid : EntryFit::Invalid;
}

bool SubtoneOk(int32_t code) {
    return code >= 0 && code <= MAX_SUBTONE_CODE;
}

bool LevelOk(int32_t level, int32_t low, int32_t high) {
    return level >= low && level <= high;
}

} // namespace

EntryFit RxFrequencyEntryFit(const ChannelsContext& table, int32_t f, bool band25) {
    if (f <= 0 || !table.RxInRange(static_cast<uint32_t>(f)))
        return EntryFit::Invalid;
    if (f == WARNING_FREQ)
        return EntryFit::Warning;
    if (f >= LOW_BAND_BEGIN && f <= LOW_BAND_END) {
        if (f % 10000 == 0)
            return EntryFit::Valid;
        return f % 5000 == 0 ? EntryFit::Warning : EntryFit::Invalid;
    }
    return RasterFit(f, band25);
}

EntryFit TxFrequencyEntryFit(const ChannelsContext& table, int32_t f, bool band25) {
    if (f <= 0 || !table.TxInRange(static_cast<uint32_t>(f)))
        return EntryFit::Invalid;
    return RasterFit(f, band25);
}

EntryFit CallToneEntryFit(int32_t tone) {
    return tone >= MIN_CALL_TONE && tone <= MAX_CALL_TONE ? EntryFit::Valid : EntryFit::Invalid;
}

std::vector<ChannelFault> ChannelFaults(const Channel& c, const ChannelsContext& table) {
    std::vector<ChannelFault> faults;
    if (!c.IsUsed())
        faults.push_back(ChannelFault::NoFrequency);
    if (c.HasRx()) {
        if (!table.RxInRange(static_cast<uint32_t>(c.freq_rx)))
            faults.push_back(ChannelFault::RxOutOfRange);
        else if (RxFrequencyEntryFit(table, c.freq_rx, c.band_rx) == EntryFit::Invalid)
            faults.push_back(ChannelFault::RxOffRaster);
    }
    if (c.HasTx()) {
        if (!table.TxInRange(static_cast<uint32_t>(c.freq_tx)))
            faults.push_back(ChannelFault::TxOutOfRange);
        else if (TxFrequencyEntryFit(table, c.freq_tx, c.band_tx) == EntryFit::Invalid)
            faults.push_back(ChannelFault::TxOffRaster);
    }
    if (c.tone_rx != 0 && CallToneEntryFit(c.tone_rx) == EntryFit::Invalid)
        faults.push_back(ChannelFault::RxToneInvalid);
    if (c.tone_tx != 0 && CallToneEntryFit(c.tone_tx) == EntryFit::Invalid)
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
