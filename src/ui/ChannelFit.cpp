#include "ui/ChannelFit.h"

#include "model/ChannelCheck.h"
#include "model/ChannelsContext.h"

namespace {

QString BandText(bool band25) {
    return band25 ? QStringLiteral("25 кГц") : QStringLiteral("12,5 кГц");
}

// The two judgements keep the same order of their three values.
FieldState Shown(EntryFit fit) {
    return static_cast<FieldState>(static_cast<int>(fit));
}

} // namespace

FieldState RxFrequencyFit(const ChannelsContext& table, int32_t f, bool band25) {
    return Shown(RxFrequencyEntryFit(table, f, band25));
}

FieldState TxFrequencyFit(const ChannelsContext& table, int32_t f, bool band25) {
    return Shown(TxFrequencyEntryFit(table, f, band25));
}

FieldState CallToneFit(int32_t tone) {
    return Shown(CallToneEntryFit(tone));
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
