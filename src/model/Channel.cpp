#include "model/Channel.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "model/TableImage.h"

const std::array<const char*, 51> CTCSS_TONES = {
    "",      " 67,0", " 69,3", " 71,9", " 74,4", " 77,0", " 79,7", " 82,5", " 85,4",
    " 88,5", " 91,5", " 94,8", " 97,4", "100,0", "103,5", "107,2", "110,9", "114,8",
    "118,8", "123,0", "127,3", "131,8", "136,5", "141,3", "146,2", "151,4", "156,7",
    "159,8", "162,2", "165,5", "167,9", "171,3", "173,8", "177,3", "179,9", "183,5",
    "186,2", "189,9", "192,8", "196,6", "199,5", "203,5", "206,5", "210,7", "218,1",
    "225,7", "229,1", "233,6", "241,8", "250,3", "254,1"};

const std::array<const char*, 85> DCS_CODES = {
    "",    "023", "025", "026", "031", "032", "043", "047", "051", "054", "065", "071", "072",
    "073", "074", "114", "115", "116", "125", "131", "132", "134", "143", "152", "155", "156",
    "162", "165", "172", "174", "205", "223", "226", "243", "244", "245", "251", "261", "263",
    "265", "271", "306", "311", "315", "331", "343", "346", "351", "364", "365", "371", "411",
    "412", "413", "423", "431", "432", "445", "464", "465", "466", "503", "506", "516", "532",
    "546", "565", "606", "612", "624", "627", "631", "632", "654", "662", "664", "703", "712",
    "723", "731", "732", "734", "743", "754", ""};

namespace {

constexpr uint8_t MODE_SCAN = 0x01;
constexpr uint8_t MODE_BAND_RX = 0x02;
constexpr uint8_t MODE_BAND_TX = 0x04;
constexpr uint8_t MODE_SCRAMBLER = 0x08;
constexpr uint8_t MODE_TX_LIMIT = 0x10;
constexpr uint8_t MODE_TX_BUSY = 0x20;
constexpr uint8_t MODE_ACTIVE = 0x80;

constexpr uint16_t NO_FREQ_V1 = 0xFFFF;
constexpr uint32_t NO_FREQ_V2 = 0xFFFFFFFF;

bool KnownVersion(uint16_t version) {
    return version == CHANNEL_TABLE_V1 || version == CHANNEL_TABLE_V2;
}

// A version 1.0 field holds at most 65 534 steps (0xFFFF means none); frequencies of 0 or
// less travel as none.
bool FitsV1(int32_t freq) {
    return freq / FREQ_STEP_V1 < NO_FREQ_V1;
}

uint16_t FreqToV1(int32_t freq) {
    return freq <= 0 ? NO_FREQ_V1 : static_cast<uint16_t>(freq / FREQ_STEP_V1);
}

uint32_t FreqToV2(int32_t freq) {
    return freq <= 0 ? NO_FREQ_V2 : static_cast<uint32_t>(freq);
}

int32_t FreqFromV1(uint16_t field) {
    return field == NO_FREQ_V1 ? 0 : static_cast<int32_t>(field) * FREQ_STEP_V1;
}

// A field above the signed range gives a negative value, which means no frequency.
int32_t FreqFromV2(uint32_t field) {
    return field == NO_FREQ_V2 ? 0 : static_cast<int32_t>(field);
}

// Call tone field: none (0) for a value that is not a positive 16-bit number, so a large
// value never arrives as some other tone.
uint16_t ToneField(int32_t tone) {
    return tone <= 0 || tone > 0xFFFF ? 0 : static_cast<uint16_t>(tone);
}

uint8_t SubtoneField(int32_t subtone) {
    return subtone < 1 || subtone > 134 ? 0 : static_cast<uint8_t>(subtone);
}

uint8_t PowerBits(int32_t level) {
    return level >= 1 && level <= 3 ? static_cast<uint8_t>(level) : 0;
}

} // namespace

void Channel::Reset() {
    *this = Channel{};
}

bool Channel::FitsRecord(uint16_t version) const {
    if (version == CHANNEL_TABLE_V2)
        return !IsUsed() || (number >= 0 && number <= 0xFF); // the number travels in a byte
    if (version != CHANNEL_TABLE_V1)
        return false;
    return FitsV1(freq_rx) && FitsV1(freq_tx);
}

bool Channel::ToRecord(uint8_t* record, uint16_t version) {
    if (!KnownVersion(version) || !FitsRecord(version))
        return false;
    if (!IsUsed()) {
        std::memset(record, 0xFF, CHANNEL_RECORD_SIZE);
        return true;
    }

    if (tx_power_low > tx_power_high)
        std::swap(tx_power_low, tx_power_high);
    squelch = std::clamp(squelch, 1, 8);

    uint8_t mode = 0;
    mode |= scan ? MODE_SCAN : 0;
    mode |= band_rx ? MODE_BAND_RX : 0;
    mode |= band_tx ? MODE_BAND_TX : 0;
    mode |= scrambler ? MODE_SCRAMBLER : 0;
    mode |= tx_limit ? MODE_TX_LIMIT : 0;
    mode |= tx_busy ? MODE_TX_BUSY : 0;
    mode |= active ? MODE_ACTIVE : 0;

    const uint8_t level = static_cast<uint8_t>(squelch | PowerBits(tx_power_high) << 4 |
                                               PowerBits(tx_power_low) << 6);

    const bool flags[8] = {flag0, flag1, flag2, flag3, flag4, flag5, flag6, flag7};
    uint8_t user = 0;
    for (int bit = 0; bit < 8; ++bit)
        user |= flags[bit] ? static_cast<uint8_t>(1u << bit) : 0;

    std::memset(record, 0, CHANNEL_RECORD_SIZE);
    uint8_t* p = record;
    if (version == CHANNEL_TABLE_V1) {
        PutU16(p, FreqToV1(freq_rx));
        PutU16(p + 2, FreqToV1(freq_tx));
        p += 4;
    } else {
        PutU32(p, FreqToV2(freq_rx));
        PutU32(p + 4, FreqToV2(freq_tx));
        p += 8;
    }
    PutU16(p, ToneField(tone_rx));
    PutU16(p + 2, ToneField(tone_tx));
    p[4] = SubtoneField(subtone_rx);
    p[5] = SubtoneField(subtone_tx);
    p[6] = mode;
    p[7] = level;
    p[8] = user;
    if (version == CHANNEL_TABLE_V2)
        p[9] = static_cast<uint8_t>(number);
    return true;
}

bool Channel::FromRecord(const uint8_t* record, uint16_t version) {
    if (!KnownVersion(version))
        return false;
    const uint8_t* p = record;
    if (version == CHANNEL_TABLE_V1) {
        const uint16_t rx = GetU16(p), tx = GetU16(p + 2);
        if (rx == NO_FREQ_V1 && tx == NO_FREQ_V1) {
            Reset();
            return true;
        }
        freq_rx = FreqFromV1(rx);
        freq_tx = FreqFromV1(tx);
        p += 4;
    } else {
        const uint32_t rx = GetU32(p), tx = GetU32(p + 4);
        if (rx == NO_FREQ_V2 && tx == NO_FREQ_V2) {
            Reset();
            return true;
        }
        freq_rx = FreqFromV2(rx);
        freq_tx = FreqFromV2(tx);
        p += 8;
    }
    tone_rx = GetU16(p);
    tone_tx = GetU16(p + 2);
    subtone_rx = p[4];
    subtone_tx = p[5];

    const uint8_t mode = p[6];
    scan = mode & MODE_SCAN;
    band_rx = mode & MODE_BAND_RX;
    band_tx = mode & MODE_BAND_TX;
    scrambler = mode & MODE_SCRAMBLER;
    tx_limit = mode & MODE_TX_LIMIT;
    tx_busy = mode & MODE_TX_BUSY;
    active = mode & MODE_ACTIVE;

    const uint8_t level = p[7];
    tx_power_high = (level >> 4) & 3;
    tx_power_low = (level >> 6) & 3;
    if (tx_power_low > tx_power_high)
        std::swap(tx_power_low, tx_power_high);
    squelch = std::clamp(level & 0x0F, 1, 8);

    const uint8_t user = p[8];
    bool* flags[8] = {&flag0, &flag1, &flag2, &flag3, &flag4, &flag5, &flag6, &flag7};
    for (int bit = 0; bit < 8; ++bit)
        *flags[bit] = user & (1u << bit);

    if (version == CHANNEL_TABLE_V2)
        number = p[9];
    return true;
}
