#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/Channel.h"
#include "model/FreqRangeList.h"
#include "model/TableImage.h"

inline constexpr int CHANNEL_COUNT = 200;
// Channels per channel table: table 1 holds 0..99, table 2 holds 100..199.
inline constexpr int TABLE_CHANNELS = 100;
// The part of a channel-table image the radio exchanges (its size field).
inline constexpr uint16_t CHANNEL_TABLE_SIZE = 2012;

// The 200 channels the program edits, with the frequency-range sets that limit them, and the
// codec of the radio's channel-table images. Loading and saving the range-list file is the
// application's business, not this class's.
class ChannelsContext {
public:
    std::array<Channel, CHANNEL_COUNT> channels;
    // Version word of the last table built, or read from the last image parsed; 0 until then.
    uint16_t tableVersion = 0;
    // Windows-1251 reason of the last failed parse or build; emptied when either starts.
    std::string lastError;
    FreqRangeList ranges;

    // Channels as InitAll leaves them; the range list empty.
    ChannelsContext();

    // Every channel reset, channel i numbered i modulo 100.
    void InitAll();

    // Image of channels start..start+99 (start 0 or 100) in table version 0x0100 or 0x0200,
    // into the TABLE_IMAGE_SIZE buffer. Sets tableVersion first, also when it then fails.
    // Normalises power levels and squelch of the channels. A version 1.0 table refuses a
    // channel whose frequency it cannot carry (lastError names the slot).
    bool BuildImage(uint8_t* image, uint16_t version, int start);

    // Checks the TABLE_IMAGE_SIZE image and on success overwrites channels start..start+99
    // (start 0 or 100). On failure the channels stay and lastError holds the reason.
    bool ParseImage(const uint8_t* image, int start);

    // Whether f lies in a receive (transmit) range of the current set; false with no set.
    bool RxInRange(uint32_t f) const;
    bool TxInRange(uint32_t f) const;

    // Begin of the first receive (transmit) range, or 33 000 000 without one.
    uint32_t MinRxFreq() const;
    uint32_t MinTxFreq() const;

    // After the editor stepped freq up (direction > 0) or down (direction < 0), moves it onto
    // the current set's receive (transmit) ranges; true when freq changed.
    bool SnapRxFreq(int32_t& freq, int direction) const;
    bool SnapTxFreq(int32_t& freq, int direction) const;

    // Empties every channel that does not fit the current set; false when any was emptied.
    bool RemoveOutOfRange();

    // Decimal digits (8 or 9) the editor's frequency field needs for the current receive
    // (transmit) ranges.
    int RxFreqDigits() const;
    int TxFreqDigits() const;
};
