#include "ui/ChannelFit.h"

#include "model/ChannelsContext.h"

namespace {

constexpr int32_t WARNING_FREQ = 41900000;
constexpr int32_t LOW_BAND_BEGIN = 26000000; // 26..30 MHz has a 10 kHz (5 kHz) raster
constexpr int32_t LOW_BAND_END = 30000000;

bool InLowBand(int32_t f) {
    return f >= LOW_BAND_BEGIN && f <= LOW_BAND_END;
}

// State of a frequency by the channel raster of its band.
FieldState RasterState(int32_t f, bool band25) {
    if (band25) {
        if (f % 25000 == 0)
            return FieldState::Valid;
        return f % 12500 == 0 ? FieldState::Warning : FieldState::Invalid;
    }
    return f % 12500 == 0 ? FieldState::Valid : FieldState::Invalid;
}

QString BandText(bool band25) {
    return band25 ? QStringLiteral("25 кГц") : QStringLiteral("12,5 кГц");
}

} // namespace

FieldState RxFrequencyFit(const ChannelsContext& table, int32_t f, bool band25) {
    if (f <= 0 || !table.RxInRange(static_cast<uint32_t>(f)))
        return FieldState::Invalid;
    if (f == WARNING_FREQ)
        return FieldState::Warning;
    if (InLowBand(f)) {
        if (f % 10000 == 0)
            return FieldState::Valid;
        return f % 5000 == 0 ? FieldState::Warning : FieldState::Invalid;
    }
    return RasterState(f, band25);
}

FieldState TxFrequencyFit(const ChannelsContext& table, int32_t f, bool band25) {
    if (f <= 0 || !table.TxInRange(static_cast<uint32_t>(f)))
        return FieldState::Invalid;
    return RasterState(f, band25);
}

FieldState CallToneFit(int32_t tone) {
    return tone >= 400 && tone <= 3000 ? FieldState::Valid : FieldState::Invalid;
}

QString ChannelRefusal(const ChannelsContext& table, const Channel& c) {
    if (c.HasRx() && RxFrequencyFit(table, c.freq_rx, c.band_rx) == FieldState::Invalid) {
        return table.RxInRange(static_cast<uint32_t>(c.freq_rx))
                   ? QStringLiteral("частота приема вне сетки полосы %1").arg(BandText(c.band_rx))
                   : QStringLiteral("частота приема вне диапазона");
    }
    if (c.HasTx() && TxFrequencyFit(table, c.freq_tx, c.band_tx) == FieldState::Invalid) {
        return table.TxInRange(static_cast<uint32_t>(c.freq_tx))
                   ? QStringLiteral("частота передачи вне сетки полосы %1").arg(BandText(c.band_tx))
                   : QStringLiteral("частота передачи вне диапазона");
    }
    if (c.tone_rx != 0 && CallToneFit(c.tone_rx) == FieldState::Invalid)
        return QStringLiteral("вызывной тон приема вне 400..3000 Гц");
    if (c.tone_tx != 0 && CallToneFit(c.tone_tx) == FieldState::Invalid)
        return QStringLiteral("вызывной тон передачи вне 400..3000 Гц");
    return QString();
}
