#pragma once

#include <QString>
#include <vector>

#include "model/Channel.h"

class ChannelsContext;

// One field of a channel set to one value, for all the slots selected in the grid at once.
struct BulkEdit {
    enum class Field {
        Active,
        Scan,
        TxLimit,
        TxBusy,
        PowerLow,  // value 0..3
        PowerHigh, // value 0..3
        Squelch,   // value 1..8
        BandRx,    // value 1: 25 kHz, 0: 12.5 kHz
        BandTx,
        SubtoneRx, // value: subtone code (0 none, 1..50 CTCSS, 51..133 DCS)
        SubtoneTx,
        ToneRx, // value: call tone in Hz, 0 none
        ToneTx,
        Flag, // flag `flag` (0..7), value 0 or 1
    };
    Field field = Field::Active;
    int value = 0;
    int flag = 0;

    // The channel with the field set (the other power level follows, so low ≤ high).
    void ApplyTo(Channel& channel) const;
};

// What a bulk edit did: the slots it changed, and the slots it left because the value does
// not suit them, with the reason.
struct BulkEditResult {
    std::vector<int> changed;
    struct Refusal {
        int slot;
        QString reason;
    };
    std::vector<Refusal> refused;
};

// Applies edit to every used slot of slotList. A slot whose ranges, raster or tone limits
// the new value breaks (the channel editor would not store it) is left as it was.
BulkEditResult ApplyBulkEdit(ChannelsContext& table, const std::vector<int>& slotList,
                             const BulkEdit& edit);

// "Каналы 3, 7: частота приема вне сетки полосы 25 кГц." — one line per reason.
QString RefusalText(const BulkEditResult& result);
