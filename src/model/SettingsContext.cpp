#include "model/SettingsContext.h"

uint16_t SettingsImageSize(uint16_t) {
    return 0;
}
void SettingsContext::SetDefaults() {
    *this = SettingsContext{};
}
bool SettingsContext::BuildSettingsImage(uint8_t*, uint16_t) {
    return false;
}
bool SettingsContext::ParseSettingsImage(const uint8_t*) {
    return false;
}
