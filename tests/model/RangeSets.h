// Frequency-range sets for the model tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <utility>

#include "model/FreqRange.h"

using Ranges = std::initializer_list<std::pair<uint32_t, uint32_t>>;

// A set of the given receive and transmit ranges, in order.
inline FreqRange MakeSet(Ranges rx, Ranges tx) {
    FreqRange set;
    for (auto [begin, end] : rx)
        set.AddRx(begin, end);
    for (auto [begin, end] : tx)
        set.AddTx(begin, end);
    return set;
}
