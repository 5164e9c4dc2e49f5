#include "sim/RadioIdentity.h"
bool RadioIdentity::SetRange(int, uint32_t, uint32_t) {
    return false;
}
std::array<uint8_t, INFO_BLOCK0_SIZE> BuildInfoBlock0(const RadioIdentity&) {
    return {};
}
std::array<uint8_t, INFO_BLOCK1_SIZE> BuildInfoBlock1(const RadioIdentity&) {
    return {};
}
std::array<uint8_t, INFO_BLOCK2_SIZE> BuildInfoBlock2(const RadioIdentity&) {
    return {};
}
