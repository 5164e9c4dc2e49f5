#include "ui/BulkEdit.h"

#include <QStringList>
#include <algorithm>
#include <map>

#include "model/ChannelsContext.h"
#include "ui/ChannelFit.h"

void BulkEdit::ApplyTo(Channel& c) const {
    const bool on = value != 0;
    switch (field) {
    case Field::Active:
        c.active = on;
        break;
    case Field::Scan:
        c.scan = on;
        break;
    case Field::TxLimit:
        c.tx_limit = on;
        break;
    case Field::TxBusy:
        c.tx_busy = on;
        break;
    case Field::PowerLow:
        c.tx_power_low = std::clamp(value, 0, 3);
        c.tx_power_high = std::max(c.tx_power_high, c.tx_power_low);
        break;
    case Field::PowerHigh:
        c.tx_power_high = std::clamp(value, 0, 3);
        c.tx_power_low = std::min(c.tx_power_low, c.tx_power_high);
        break;
    case Field::Squelch:
        c.squelch = std::clamp(value, 1, 8);
        break;
    case Field::BandRx:
        c.band_rx = on;
        break;
    case Field::BandTx:
        c.band_tx = on;
        break;
    case Field::SubtoneRx:
        c.subtone_rx = value;
        break;
    case Field::SubtoneTx:
        c.subtone_tx = value;
        break;
    case Field::ToneRx:
        c.tone_rx = value;
        break;
    case Field::ToneTx:
        c.tone_tx = value;
        break;
    case Field::Flag: {
        bool* flags[] = {&c.flag0, &c.flag1, &c.flag2, &c.flag3,
                         &c.flag4, &c.flag5, &c.flag6, &c.flag7};
        if (flag >= 0 && flag < 8)
            *flags[flag] = on;
        break;
    }
    }
}

BulkEditResult ApplyBulkEdit(ChannelsContext& table, const std::vector<int>& slotList,
                             const BulkEdit& edit) {
    BulkEditResult result;
    for (int slot : slotList) {
        if (slot < 0 || slot >= CHANNEL_COUNT)
            continue;
        Channel& channel = table.channels[static_cast<std::size_t>(slot)];
        if (!channel.IsUsed())
            continue;
        Channel trial = channel;
        edit.ApplyTo(trial);
        if (trial == channel)
            continue;
        // A slot that could not be stored before keeps its problem; one the value would break
        // is refused.
        const QString reason = ChannelRefusal(table, trial);
        if (!reason.isEmpty() && ChannelRefusal(table, channel).isEmpty()) {
            result.refused.push_back({slot, reason});
            continue;
        }
        channel = trial;
        result.changed.push_back(slot);
    }
    return result;
}

QString RefusalText(const BulkEditResult& result) {
    std::map<QString, QStringList> byReason;
    std::vector<QString> order;
    for (const BulkEditResult::Refusal& r : result.refused) {
        if (!byReason.count(r.reason))
            order.push_back(r.reason);
        byReason[r.reason] << QString::number(r.slot);
    }
    QStringList lines;
    for (const QString& reason : order) {
        const QStringList& slotNames = byReason[reason];
        lines << QStringLiteral("%1 %2: %3.")
                     .arg(slotNames.size() == 1 ? QStringLiteral("Канал")
                                                : QStringLiteral("Каналы"),
                          slotNames.join(QStringLiteral(", ")), reason);
    }
    return lines.join(QLatin1Char('\n'));
}
