#include "model/ChannelCheck.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "model/RangeSets.h"

namespace {

using F = ChannelFault;

struct CheckCase {
    const char* name;
    std::function<void(Channel&)> edit; // applied to a 40 MHz simplex channel
    std::vector<ChannelFault> faults;
};

// Receive 26-30 and 33-48.5 MHz, transmit 33-40 MHz only.
ChannelsContext Table() {
    ChannelsContext table;
    table.ranges.Select(table.ranges.Add(
        MakeSet({{26000000, 30000000}, {33000000, 48500000}}, {{33000000, 40000000}})));
    return table;
}

TEST(ChannelCheck, WhatTheEditorWouldRefuse) {
    const CheckCase cases[] = {
        {"good simplex channel", [](Channel&) {}, {}},
        {"receive only", [](Channel& c) { c.freq_tx = 0; }, {}},
        {"transmit only", [](Channel& c) { c.freq_rx = -1; }, {}},
        {"empty", [](Channel& c) { c.freq_rx = c.freq_tx = 0; }, {F::NoFrequency}},
        {"12.5 kHz step in the 25 kHz band is a warning, not a refusal",
         [](Channel& c) { c.freq_rx = c.freq_tx = 40012500; },
         {F::TxOutOfRange}},
        {"off raster both ways",
         [](Channel& c) { c.freq_rx = c.freq_tx = 39006000; },
         {F::RxOffRaster, F::TxOffRaster}},
        {"receive outside, in the gap",
         [](Channel& c) { c.freq_rx = 31000000; },
         {F::RxOutOfRange}},
        {"low band 5 kHz receive step",
         [](Channel& c) {
             c.freq_rx = 27005000;
             c.freq_tx = 0;
         },
         {}},
        {"low band 1 kHz receive step",
         [](Channel& c) {
             c.freq_rx = 27001000;
             c.freq_tx = 0;
         },
         {F::RxOffRaster}},
        {"41.9 MHz receive", [](Channel& c) { c.freq_rx = 41900000; }, {}},
        {"tones",
         [](Channel& c) {
             c.tone_rx = 399;
             c.tone_tx = 3001;
         },
         {F::RxToneInvalid, F::TxToneInvalid}},
        {"tone limits",
         [](Channel& c) {
             c.tone_rx = 400;
             c.tone_tx = 3000;
         },
         {}},
        {"subtones",
         [](Channel& c) {
             c.subtone_rx = 134;
             c.subtone_tx = -1;
         },
         {F::RxSubtoneInvalid, F::TxSubtoneInvalid}},
        {"levels",
         [](Channel& c) {
             c.number = 100;
             c.tx_power_low = -1;
             c.tx_power_high = 4;
             c.squelch = 0;
         },
         {F::NumberInvalid, F::PowerLowInvalid, F::PowerHighInvalid, F::SquelchInvalid}},
        {"squelch 9", [](Channel& c) { c.squelch = 9; }, {F::SquelchInvalid}},
        {"power levels out of order are swapped by the editor",
         [](Channel& c) {
             c.tx_power_low = 3;
             c.tx_power_high = 0;
         },
         {}},
    };
    const ChannelsContext table = Table();
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.name);
        Channel channel;
        channel.freq_rx = channel.freq_tx = 40000000;
        c.edit(channel);
        EXPECT_EQ(ChannelFaults(channel, table), c.faults);
    }
}

TEST(ChannelCheck, NoCurrentRangeSetRefusesEveryFrequency) {
    ChannelsContext table;
    Channel channel;
    channel.freq_rx = channel.freq_tx = 40000000;
    EXPECT_EQ(ChannelFaults(channel, table),
              (std::vector<ChannelFault>{F::RxOutOfRange, F::TxOutOfRange}));
}

} // namespace
