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
    // The first fault of frequency or call tone; the other faults are not the refusing kind.
    for (ChannelFault fault : ChannelFaults(c, table)) {
        switch (fault) {
        case ChannelFault::RxOutOfRange:
            return QStringLiteral("частота приема вне диапазона");
        case ChannelFault::RxOffRaster:
            return QStringLiteral("частота приема вне сетки полосы %1").arg(BandText(c.band_rx));
        case ChannelFault::TxOutOfRange:
            return QStringLiteral("частота передачи вне диапазона");
        case ChannelFault::TxOffRaster:
            return QStringLiteral("частота передачи вне сетки полосы %1").arg(BandText(c.band_tx));
        case ChannelFault::RxToneInvalid:
            return QStringLiteral("вызывной тон приема вне 400..3000 Гц");
        case ChannelFault::TxToneInvalid:
            return QStringLiteral("вызывной тон передачи вне 400..3000 Гц");
        default:
            break;
        }
    }
    return QString();
}
