#include "model/FreqRange.h"

void FreqRange::Clear() {
    *this = FreqRange{};
}
void FreqRange::SetDefault() {
    Clear();
}
bool FreqRange::AddRx(uint32_t, uint32_t) {
    return false;
}
bool FreqRange::AddTx(uint32_t, uint32_t) {
    return false;
}
bool FreqRange::Equals(const FreqRange&) const {
    return false;
}
bool FreqRange::IsValid() const {
    return false;
}
std::string FreqRange::Text() const {
    return {};
}
std::string MhzText(uint32_t) {
    return {};
}
