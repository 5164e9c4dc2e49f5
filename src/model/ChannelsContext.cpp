#include "model/ChannelsContext.h"

ChannelsContext::ChannelsContext() {
    InitAll();
}
void ChannelsContext::InitAll() {}
bool ChannelsContext::BuildImage(uint8_t*, uint16_t, int) {
    return false;
}
bool ChannelsContext::ParseImage(const uint8_t*, int) {
    return false;
}
bool ChannelsContext::RxInRange(uint32_t) const {
    return false;
}
bool ChannelsContext::TxInRange(uint32_t) const {
    return false;
}
uint32_t ChannelsContext::MinRxFreq() const {
    return 33000000;
}
uint32_t ChannelsContext::MinTxFreq() const {
    return 33000000;
}
bool ChannelsContext::SnapRxFreq(int32_t&, int) const {
    return false;
}
bool ChannelsContext::SnapTxFreq(int32_t&, int) const {
    return false;
}
bool ChannelsContext::RemoveOutOfRange() {
    return true;
}
int ChannelsContext::RxFreqDigits() const {
    return 9;
}
int ChannelsContext::TxFreqDigits() const {
    return 9;
}
