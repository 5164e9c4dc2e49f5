#pragma once

#include <QString>
#include <cstdint>

#include "model/Channel.h"
#include "ui/FieldState.h"

class ChannelsContext;

// How the channel editor judges a channel's entries against the current range set and the
// channel raster (the model's rules, model/ChannelCheck.h, as field states). Invalid entries
// cannot be stored; warnings can.

// A receive (transmit) frequency in Hz in a band of 25 kHz (band25) or 12.5 kHz.
FieldState RxFrequencyFit(const ChannelsContext& table, int32_t f, bool band25);
FieldState TxFrequencyFit(const ChannelsContext& table, int32_t f, bool band25);
// A call tone in Hz (when it is switched on).
FieldState CallToneFit(int32_t tone);

// Why the editor would not store the used channel c: empty when it would. The reason is a
// phrase ("частота приема вне сетки полосы 25 кГц").
QString ChannelRefusal(const ChannelsContext& table, const Channel& c);
