#include "model/Channel.h"

const std::array<const char*, 51> CTCSS_TONES = {""};
const std::array<const char*, 85> DCS_CODES = {""};

void Channel::Reset() {
    *this = Channel{};
}
bool Channel::FitsRecord(uint16_t) const {
    return false;
}
bool Channel::ToRecord(uint8_t*, uint16_t) {
    return false;
}
bool Channel::FromRecord(const uint8_t*, uint16_t) {
    return false;
}
