#include "model/FreqRange.h"

#include <cstdio>

namespace {

constexpr uint32_t DEFAULT_BEGIN = 33000000;
constexpr uint32_t DEFAULT_END = 48500000;
constexpr uint32_t FREQ_LIMIT = 1000000000;

// " МГц)" in Windows-1251.
constexpr const char* MHZ_CLOSE = " \xCC\xC3\xF6)";

bool AddRange(uint32_t* begins, uint32_t* ends, uint32_t begin, uint32_t end) {
    for (int i = 0; i < FREQ_RANGE_SLOTS; ++i) {
        if (begins[i] == 0 && ends[i] == 0) {
            begins[i] = begin;
            ends[i] = end;
            return true;
        }
    }
    return false;
}

// Number of ranges before the first entry with a zero begin or end.
int RangeCount(const uint32_t* begins, const uint32_t* ends) {
    int n = 0;
    while (n < FREQ_RANGE_SLOTS && begins[n] != 0 && ends[n] != 0)
        ++n;
    return n;
}

// The first count ranges joined by ",": "33-40,45-48.5" in MhzText form.
std::string RangesText(const uint32_t* begins, const uint32_t* ends, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += ',';
        text += MhzText(begins[i]);
        if (ends[i] != begins[i])
            text += '-' + MhzText(ends[i]);
    }
    return text;
}

// One direction of the validity test. An entry is filled when its begin is non-zero and its
// end below 1 GHz (and, for the receive direction, the transmit entry beside it is filled
// too). Filled entries must be in order and must come first; the rest must be free.
bool DirectionValid(const uint32_t* begins, const uint32_t* ends, const uint32_t* partnerBegins,
                    const uint32_t* partnerEnds) {
    int good = 0, lastGood = 0, free = 0, firstFree = 0;
    bool sawFree = false;
    for (int i = 0; i < FREQ_RANGE_SLOTS; ++i) {
        bool filled = begins[i] != 0 && ends[i] < FREQ_LIMIT;
        if (partnerBegins)
            filled = filled && partnerBegins[i] != 0 && partnerEnds[i] < FREQ_LIMIT;
        if (filled) {
            if (begins[i] <= ends[i] && (i == 0 || begins[i] > ends[i - 1])) {
                ++good;
                lastGood = i;
            }
        } else if (begins[i] == 0 && ends[i] == 0) {
            ++free;
            if (!sawFree) {
                sawFree = true;
                firstFree = i;
            }
        }
    }
    if (good != lastGood + 1 || good + free != FREQ_RANGE_SLOTS)
        return false;
    // With all four entries good there is no free entry to look at.
    return good == FREQ_RANGE_SLOTS || good == firstFree;
}

} // namespace

void FreqRange::Clear() {
    *this = FreqRange{};
}

void FreqRange::SetDefault() {
    Clear();
    rx_begin[0] = tx_begin[0] = DEFAULT_BEGIN;
    rx_end[0] = tx_end[0] = DEFAULT_END;
}

bool FreqRange::AddRx(uint32_t begin, uint32_t end) {
    return AddRange(rx_begin, rx_end, begin, end);
}

bool FreqRange::AddTx(uint32_t begin, uint32_t end) {
    return AddRange(tx_begin, tx_end, begin, end);
}

bool FreqRange::Equals(const FreqRange& other) const {
    for (int i = 0; i < FREQ_RANGE_SLOTS; ++i) {
        if (tx_begin[i] != other.tx_begin[i] || rx_begin[i] != other.rx_begin[i] ||
            tx_end[i] != other.tx_end[i] || rx_end[i] != other.rx_end[i])
            return false;
    }
    return true;
}

bool FreqRange::IsValid() const {
    return DirectionValid(rx_begin, rx_end, tx_begin, tx_end) &&
           DirectionValid(tx_begin, tx_end, nullptr, nullptr);
}

std::string FreqRange::Text() const {
    const int rxCount = RangeCount(rx_begin, rx_end);
    const int txCount = RangeCount(tx_begin, tx_end);
    // One list for both directions only when they hold exactly the same ranges.
    bool joint = rxCount == txCount;
    for (int i = 0; joint && i < rxCount; ++i)
        joint = rx_begin[i] == tx_begin[i] && rx_end[i] == tx_end[i];
    if (joint)
        return "(" + RangesText(rx_begin, rx_end, rxCount) + MHZ_CLOSE;
    return "Rx:(" + RangesText(rx_begin, rx_end, rxCount) + MHZ_CLOSE + " Tx:(" +
           RangesText(tx_begin, tx_end, txCount) + MHZ_CLOSE;
}

std::string MhzText(uint32_t hz) {
    int zeros = 0;
    for (uint32_t v = hz; zeros < 6 && v % 10 == 0; v /= 10)
        ++zeros;
    const int precision = 6 - zeros;
    char text[32];
    std::snprintf(text, sizeof text, "%*.*lf", precision + 3, precision, hz * 1e-6);
    return text;
}
