#pragma once

#include <array>
#include <cstdint>
#include <string>

// The user-visible names of the eight channel flags flag0..flag7 (Windows-1251 text).
// They travel with a configuration file and are shown by the channel editor.
using FlagCaptions = std::array<std::string, 8>;

// "Ф0".."Ф7".
FlagCaptions DefaultFlagCaptions();

// The captions the channel editor shows for a radio with the given 32 option bytes, or the
// defaults when options is null: a radio with the wave-network option (bit 6 of option
// byte 2) names flags 0 and 1 after it.
FlagCaptions FlagCaptionsForOptions(const uint8_t* options);
