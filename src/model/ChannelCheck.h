#pragma once

#include <cstdint>
#include <vector>

#include "model/Channel.h"
#include "model/ChannelsContext.h"

// Why the channel editor would not store a channel as it stands.
enum class ChannelFault {
    NoFrequency,      // neither a receive nor a transmit frequency: the slot would be empty
    RxOutOfRange,     // receive frequency outside the receive ranges of the current set
    RxOffRaster,      // receive frequency off the channel raster
    TxOutOfRange,     // transmit frequency outside the transmit ranges of the current set
    TxOffRaster,      // transmit frequency off the channel raster
    RxToneInvalid,    // receive call tone given but not 400..3000 Hz
    TxToneInvalid,    // transmit call tone given but not 400..3000 Hz
    RxSubtoneInvalid, // receive subtone code not 0..133
    TxSubtoneInvalid, // transmit subtone code not 0..133
    NumberInvalid,    // channel number not 0..99
    PowerLowInvalid,  // lower power level not 0..3
    PowerHighInvalid, // upper power level not 0..3
    SquelchInvalid,   // squelch level not 1..8
};

// Call tones the editor accepts, in hertz.
inline constexpr int32_t MIN_CALL_TONE = 400;
inline constexpr int32_t MAX_CALL_TONE = 3000;
// Highest subtone code the editor offers (DCS 754).
inline constexpr int32_t MAX_SUBTONE_CODE = 133;

// How the channel editor judges one entry: Invalid cannot be stored, Warning is stored but
// deserves attention (a 25 kHz channel on a 12.5 kHz step, the 41.9 MHz receive channel).
enum class EntryFit { Invalid = 0, Warning = 1, Valid = 2 };

// A receive (transmit) frequency in Hz in a band of 25 kHz (band25) or 12.5 kHz, against the
// current range set of table and the channel raster.
EntryFit RxFrequencyEntryFit(const ChannelsContext& table, int32_t f, bool band25);
EntryFit TxFrequencyEntryFit(const ChannelsContext& table, int32_t f, bool band25);
// A call tone in Hz, when it is switched on.
EntryFit CallToneEntryFit(int32_t tone);

// The faults that keep the channel editor from storing this used channel in the current
// range set of table: each frequency that is given (above 0) must lie in its ranges and on
// the raster (12.5 kHz steps; receive in 26..30 MHz 5 kHz steps; 41.9 MHz receive always),
// a call tone that is given must be 400..3000 Hz, subtone codes 0..133, number 0..99, power
// levels 0..3, squelch 1..8. An empty list means the editor would store it as it is.
// Bands, flags and the order of the two power levels never block (the editor swaps them).
std::vector<ChannelFault> ChannelFaults(const Channel& channel, const ChannelsContext& table);
