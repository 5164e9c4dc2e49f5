#include "model/ChannelsContext.h"

#include <algorithm>
#include <cstdio>

#include "model/Cp1251.h"

namespace {

constexpr uint32_t FALLBACK_MIN_FREQ = 33000000;

// printf with a UTF-8 format whose text is turned into Windows-1251 first; the arguments
// carry only ASCII.
template <typename... Args> std::string Cp1251Format(const char* utf8Format, Args... args) {
    const std::string format = Utf8ToCp1251(utf8Format);
    char text[256];
    std::snprintf(text, sizeof text, format.c_str(), args...);
    return text;
}

std::string Trimmed(std::string text) {
    text.erase(0, text.find_first_not_of(' '));
    return text;
}

bool InRange(const uint32_t* begins, const uint32_t* ends, uint32_t f) {
    for (int i = 0; i < FREQ_RANGE_SLOTS; ++i) {
        if (begins[i] == 0 || ends[i] == 0)
            return false;
        if (begins[i] <= f && f <= ends[i])
            return true;
    }
    return false;
}

uint32_t MinFreq(const uint32_t* begins) {
    return begins[0] != 0 ? begins[0] : FALLBACK_MIN_FREQ;
}

bool Snap(const uint32_t* begins, const uint32_t* ends, int32_t& freq, int direction) {
    const int64_t f = freq;
    for (int i = 0; i < FREQ_RANGE_SLOTS; ++i) {
        if (begins[i] == 0 || ends[i] == 0) {
            if (i == 0)
                return false;
            freq = static_cast<int32_t>(ends[i - 1]);
            return true;
        }
        if (begins[i] <= f && f <= ends[i])
            return false;
        if (f < begins[i]) {
            if (direction > 0) {
                freq = static_cast<int32_t>(begins[i]);
                return true;
            }
            if (direction < 0) {
                freq = static_cast<int32_t>(i == 0 ? begins[i] : ends[i - 1]);
                return true;
            }
        }
    }
    freq = static_cast<int32_t>(ends[FREQ_RANGE_SLOTS - 1]);
    return true;
}

int FreqDigits(const uint32_t* begins, const uint32_t* ends) {
    uint32_t largest = 0;
    for (int i = 0; i < FREQ_RANGE_SLOTS; ++i)
        largest = std::max({largest, begins[i], ends[i]});
    return largest == 0 || largest >= 100000000 ? 9 : 8;
}

bool KnownStart(int start) {
    return start == 0 || start == TABLE_CHANNELS;
}

} // namespace

ChannelsContext::ChannelsContext() {
    InitAll();
}

void ChannelsContext::InitAll() {
    for (int i = 0; i < CHANNEL_COUNT; ++i) {
        channels[i].Reset();
        channels[i].number = i % TABLE_CHANNELS;
    }
}

bool ChannelsContext::BuildImage(uint8_t* image, uint16_t version, int start) {
    tableVersion = version;
    lastError.clear();
    if ((version != CHANNEL_TABLE_V1 && version != CHANNEL_TABLE_V2) || !KnownStart(start))
        return false;

    // A frequency or channel number the record cannot carry would arrive wrapped to some
    // other value: refuse the whole table instead.
    for (int k = 0; k < TABLE_CHANNELS; ++k) {
        const Channel& channel = channels[start + k];
        if (channel.FitsRecord(version))
            continue;
        if (version == CHANNEL_TABLE_V2) {
            lastError = Cp1251Format(
                "Номер %d канала %d не может быть записан в таблицу каналов (допустимо 0..255)!!!",
                channel.number, start + k);
        } else {
            const int32_t freq =
                channel.freq_rx / FREQ_STEP_V1 >= 0xFFFF ? channel.freq_rx : channel.freq_tx;
            lastError = Cp1251Format(
                "Частота канала %d (%s МГц) не может быть записана в таблицу каналов версии "
                "%d.%d!!!",
                start + k, Trimmed(MhzText(static_cast<uint32_t>(freq))).c_str(), version >> 8,
                version & 0xFF);
        }
        return false;
    }

    StartImage(image, version, CHANNEL_TABLE_SIZE);
    for (int k = 0; k < TABLE_CHANNELS; ++k)
        channels[start + k].ToRecord(image + IMAGE_HEADER_SIZE + CHANNEL_RECORD_SIZE * k, version);
    return SealImage(image);
}

bool ChannelsContext::ParseImage(const uint8_t* image, int start) {
    lastError.clear();
    if (!KnownStart(start))
        return false;

    const uint32_t computed = ImageCrc(image, 0, TABLE_IMAGE_SIZE);
    const uint32_t stored = GetU32(image + IMAGE_CRC_OFFSET);
    if (computed != stored) {
        lastError = Cp1251Format(
            "Ошибка контрольной суммы!!! Рассчитано: %08X. Прочитано из радиостанции %08X.",
            computed, stored);
        return false;
    }

    tableVersion = GetU16(image + IMAGE_VERSION_OFFSET);
    const uint16_t size = GetU16(image + IMAGE_SIZE_OFFSET);
    if (size != CHANNEL_TABLE_SIZE) {
        lastError = Cp1251Format("Неверный размер таблицы каналов!!! %d вместо %d", size,
                                 CHANNEL_TABLE_SIZE);
        return false;
    }
    if (tableVersion != CHANNEL_TABLE_V1 && tableVersion != CHANNEL_TABLE_V2) {
        lastError = Cp1251Format("Версия %d.%d таблицы каналов не поддерживается!!!",
                                 tableVersion >> 8, tableVersion & 0xFF);
        return false;
    }

    for (int k = 0; k < TABLE_CHANNELS; ++k) {
        Channel& channel = channels[start + k];
        channel.FromRecord(image + IMAGE_HEADER_SIZE + CHANNEL_RECORD_SIZE * k, tableVersion);
        if (tableVersion < CHANNEL_TABLE_V2)
            channel.number = start + k;
    }
    return true;
}

bool ChannelsContext::RxInRange(uint32_t f) const {
    const FreqRange* set = ranges.current();
    return set && InRange(set->rx_begin, set->rx_end, f);
}

bool ChannelsContext::TxInRange(uint32_t f) const {
    const FreqRange* set = ranges.current();
    return set && InRange(set->tx_begin, set->tx_end, f);
}

uint32_t ChannelsContext::MinRxFreq() const {
    const FreqRange* set = ranges.current();
    return set ? MinFreq(set->rx_begin) : FALLBACK_MIN_FREQ;
}

uint32_t ChannelsContext::MinTxFreq() const {
    const FreqRange* set = ranges.current();
    return set ? MinFreq(set->tx_begin) : FALLBACK_MIN_FREQ;
}

bool ChannelsContext::SnapRxFreq(int32_t& freq, int direction) const {
    const FreqRange* set = ranges.current();
    return set && Snap(set->rx_begin, set->rx_end, freq, direction);
}

bool ChannelsContext::SnapTxFreq(int32_t& freq, int direction) const {
    const FreqRange* set = ranges.current();
    return set && Snap(set->tx_begin, set->tx_end, freq, direction);
}

bool ChannelsContext::RemoveOutOfRange() {
    bool result = true;
    for (Channel& channel : channels) {
        const bool outside =
            (channel.HasRx() && !RxInRange(static_cast<uint32_t>(channel.freq_rx))) ||
            (channel.HasTx() && !TxInRange(static_cast<uint32_t>(channel.freq_tx)));
        if (outside) {
            channel.Reset();
            result = false;
        }
    }
    return result;
}

int ChannelsContext::RxFreqDigits() const {
    const FreqRange* set = ranges.current();
    return set ? FreqDigits(set->rx_begin, set->rx_end) : 9;
}

int ChannelsContext::TxFreqDigits() const {
    const FreqRange* set = ranges.current();
    return set ? FreqDigits(set->tx_begin, set->tx_end) : 9;
}
