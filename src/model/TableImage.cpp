#include "model/TableImage.h"

#include <cstring>

namespace {
constexpr uint32_t CRC_POLY = 0x04C11DB7;
}

uint32_t ImageCrc(const uint8_t* image, uint32_t position, uint32_t count) {
    if (position > TABLE_IMAGE_SIZE || count > TABLE_IMAGE_SIZE - position)
        return 0;
    uint32_t crc = 0xFFFFFFFF;
    for (uint32_t p = position; p < position + count; ++p) {
        const uint8_t byte = image[p ^ 3];
        for (int bit = 7; bit >= 0; --bit) {
            const uint32_t dataBit = (byte >> bit) & 1u;
            const uint32_t outBit = crc >> 31;
            crc <<= 1;
            if (outBit != dataBit)
                crc ^= CRC_POLY;
        }
    }
    return crc;
}

uint16_t GetU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t GetU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void PutU16(uint8_t* p, uint16_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

void PutU32(uint8_t* p, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(value >> (8 * i));
}

void StartImage(uint8_t* image, uint16_t version, uint16_t size) {
    std::memset(image, 0xFF, TABLE_IMAGE_SIZE);
    PutU16(image + IMAGE_VERSION_OFFSET, version);
    PutU16(image + IMAGE_SIZE_OFFSET, size);
    PutU32(image + IMAGE_CRC_OFFSET, 0);
    PutU32(image + IMAGE_GUARD_OFFSET, ImageCrc(image, IMAGE_CRC_OFFSET, 4));
}

bool SealImage(uint8_t* image) {
    PutU32(image + IMAGE_CRC_OFFSET, ImageCrc(image, 0, TABLE_IMAGE_SIZE));
    PutU32(image + IMAGE_GUARD_OFFSET, ImageCrc(image, IMAGE_CRC_OFFSET, 4));
    return ImageChecks(image);
}

bool ImageChecks(const uint8_t* image) {
    return ImageCrc(image, 0, TABLE_IMAGE_SIZE) == GetU32(image + IMAGE_CRC_OFFSET);
}
