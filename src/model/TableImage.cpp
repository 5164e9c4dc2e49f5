#include "model/TableImage.h"

uint32_t ImageCrc(const uint8_t*, uint32_t, uint32_t) {
    return 0;
}
uint16_t GetU16(const uint8_t*) {
    return 0;
}
uint32_t GetU32(const uint8_t*) {
    return 0;
}
void PutU16(uint8_t*, uint16_t) {}
void PutU32(uint8_t*, uint32_t) {}
void StartImage(uint8_t*, uint16_t, uint16_t) {}
bool SealImage(uint8_t*) {
    return false;
}
bool ImageChecks(const uint8_t*) {
    return false;
}
