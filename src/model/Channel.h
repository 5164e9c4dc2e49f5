#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Table versions whose channel records the codec knows.
inline constexpr uint16_t CHANNEL_TABLE_V1 = 0x0100;
inline constexpr uint16_t CHANNEL_TABLE_V2 = 0x0200;

// Bytes of one channel record inside a channel-table image.
inline constexpr std::size_t CHANNEL_RECORD_SIZE = 20;

// A version 1.0 record counts frequencies in steps of this many hertz.
inline constexpr int32_t FREQ_STEP_V1 = 12500;

// Highest frequency a version 1.0 record can carry: 65 534 steps (0xFFFF means none). Any
// frequency below MAX_FREQ_V1 + FREQ_STEP_V1 truncates to a step it can carry.
inline constexpr int32_t MAX_FREQ_V1 = 65534 * FREQ_STEP_V1;

// Texts of the CTCSS tones, indexed by subtone code 1..50 (index 0, no subtone, is "").
extern const std::array<const char*, 51> CTCSS_TONES;

// Texts of the DCS codes, indexed by subtone code − 50: 1..83 are the codes "023".."754",
// index 84 (subtone 134) and index 0 are "".
extern const std::array<const char*, 85> DCS_CODES;

// One channel slot as the editor holds it. Field names are the ones the configuration file
// uses. Frequencies and call tones in hertz; power levels 0..3; squelch level 1..8.
struct Channel {
    int32_t freq_rx = 0;
    int32_t freq_tx = 0;
    int32_t tone_rx = 0;
    int32_t tone_tx = 0;
    int32_t subtone_rx = 0;
    int32_t subtone_tx = 0;
    int32_t tx_power_low = 0;
    int32_t tx_power_high = 3;
    int32_t number = 0;
    bool scan = true;
    bool band_rx = true; // false 12.5 kHz, true 25 kHz
    bool band_tx = true;
    bool scrambler = false;
    bool tx_limit = false;
    bool tx_busy = true;
    bool active = true;
    bool flag0 = false;
    bool flag1 = false;
    bool flag2 = false;
    bool flag3 = false;
    bool flag4 = false;
    bool flag5 = false;
    bool flag6 = false;
    bool flag7 = false;
    int32_t squelch = 1;

    // Every field to its default, number included.
    void Reset();

    bool IsUsed() const { return freq_rx > 0 || freq_tx > 0; }
    bool IsActive() const { return active; }
    bool HasRx() const { return freq_rx > 0; }
    bool HasTx() const { return freq_tx > 0; }
    bool HasRxAndTx() const { return freq_rx > 0 && freq_tx > 0; }
    bool IsSimplex() const { return freq_rx == freq_tx; }

    // True when the record of the given table version can carry this channel without
    // wrapping a value: for version 2.0 a used channel's number must fit its byte (0..255);
    // for 1.0 a used frequency must stay below 819 187 500 Hz (65 535 steps). False for an
    // unknown version.
    bool FitsRecord(uint16_t version) const;

    // Fills the 20-byte record in the layout of the version (0x0100 or 0x0200). Normalises
    // the channel itself first (power levels in order, squelch within 1..8). Returns false and
    // writes nothing for another version, or for a version 1.0 record that cannot carry a
    // frequency (see FitsRecord).
    bool ToRecord(uint8_t* record, uint16_t version);

    // Reads the 20-byte record of the version (0x0100 or 0x0200). A version 1.0 record has no
    // channel number: number is left as it was. Returns false and leaves the channel
    // untouched for another version.
    bool FromRecord(const uint8_t* record, uint16_t version);

    bool operator==(const Channel&) const = default;
};
