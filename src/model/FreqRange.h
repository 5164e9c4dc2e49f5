#pragma once

#include <cstdint>
#include <string>

// Number of receive (and of transmit) ranges a set can hold.
inline constexpr int FREQ_RANGE_SLOTS = 4;

// One set of up to four receive and four transmit ranges, in hertz, begin and end inclusive.
// Entry i of a direction is range i; an entry with begin and end both 0 is free. Ranges are
// stored from entry 0 on, ascending; the first entry with a zero begin or end ends the list.
struct FreqRange {
    uint32_t rx_begin[FREQ_RANGE_SLOTS] = {};
    uint32_t tx_begin[FREQ_RANGE_SLOTS] = {};
    uint32_t rx_end[FREQ_RANGE_SLOTS] = {};
    uint32_t tx_end[FREQ_RANGE_SLOTS] = {};

    // All sixteen values 0.
    void Clear();

    // The default set: receive and transmit 33 000 000..48 500 000 Hz, nothing else.
    void SetDefault();

    // Store the range in the first free entry of that direction; false when none is free.
    bool AddRx(uint32_t begin, uint32_t end);
    bool AddTx(uint32_t begin, uint32_t end);

    bool Equals(const FreqRange& other) const;
    bool operator==(const FreqRange& other) const { return Equals(other); }

    // Structural test: per direction one to four ranges in entries 0..k-1, each begin ≤ end,
    // ascending without overlap, ends below 1 GHz, free entries after them; every receive
    // entry in use needs a transmit entry in use.
    bool IsValid() const;

    // One-line text, Windows-1251: "( 33-48.5 МГц)" when both directions hold the same
    // ranges, else "Rx:(...) Tx:(...)".
    std::string Text() const;
};

// A frequency in megahertz with no trailing zeros: 33 000 000 → " 33", 48 500 000 → "48.5",
// 41 912 500 → "41.9125", 146 000 000 → "146".
std::string MhzText(uint32_t hz);
