#include "sim/SimulatedRadio.h"
SimulatedRadio::SimulatedRadio(RadioIdentity identity) : identity_(std::move(identity)) {}
RadioIdentity SimulatedRadio::Identity() const {
    std::lock_guard l(mutex_);
    return identity_;
}
void SimulatedRadio::SetIdentity(const RadioIdentity& id) {
    std::lock_guard l(mutex_);
    identity_ = id;
}
RadioFaults SimulatedRadio::Faults() const {
    std::lock_guard l(mutex_);
    return faults_;
}
void SimulatedRadio::SetFaults(const RadioFaults& f) {
    std::lock_guard l(mutex_);
    faults_ = f;
}
RadioStats SimulatedRadio::Stats() const {
    std::lock_guard l(mutex_);
    return stats_;
}
void SimulatedRadio::ResetStats() {
    std::lock_guard l(mutex_);
    stats_ = {};
}
SimulatedRadio::Image SimulatedRadio::Table(int) const {
    return {};
}
void SimulatedRadio::SetTable(int, const Image&) {}
bool SimulatedRadio::HasTable(int) const {
    return false;
}
bool SimulatedRadio::Answer(const uint8_t*, size_t, std::vector<uint8_t>&) {
    return false;
}
void SimulatedRadio::Receive(const uint8_t*, size_t, std::vector<Write>&) {}
bool SimulatedRadio::SaveState(const std::string&, std::string*) const {
    return false;
}
bool SimulatedRadio::LoadState(const std::string&, std::string*) {
    return false;
}
SimulatedRadio::Image EmptyChannelImage(uint16_t) {
    return {};
}
SimulatedRadio::Image DefaultSettingsImage(uint16_t) {
    return {};
}
uint32_t TableImageCrc(const uint8_t*, size_t, size_t) {
    return 0;
}
