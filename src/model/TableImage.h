#pragma once

#include <cstddef>
#include <cstdint>

// Every table image (channel tables and the settings table) lives in a buffer of this size,
// filled with 0xFF; only the first "size" bytes travel to and from the radio.
inline constexpr std::size_t TABLE_IMAGE_SIZE = 2048;

// Header of a table image, all little-endian: version word, image size, checksum over the
// whole buffer, and a guard word that makes the checksum independent of the checksum field.
inline constexpr std::size_t IMAGE_VERSION_OFFSET = 0;
inline constexpr std::size_t IMAGE_SIZE_OFFSET = 2;
inline constexpr std::size_t IMAGE_CRC_OFFSET = 4;
inline constexpr std::size_t IMAGE_GUARD_OFFSET = 8;
inline constexpr std::size_t IMAGE_HEADER_SIZE = 12;

// CRC-32 (polynomial 0x04C11DB7, initial 0xFFFFFFFF, no reflection, no final XOR) over
// image[position .. position+count-1], bytes taken most significant first within each 32-bit
// little-endian word (position p reads image[p ^ 3]). 0 when the range does not fit the
// TABLE_IMAGE_SIZE buffer.
uint32_t ImageCrc(const uint8_t* image, uint32_t position, uint32_t count);

uint16_t GetU16(const uint8_t* p);
uint32_t GetU32(const uint8_t* p);
void PutU16(uint8_t* p, uint16_t value);
void PutU32(uint8_t* p, uint32_t value);

// Fills the whole buffer with 0xFF and writes version, size, a zero checksum and its guard.
void StartImage(uint8_t* image, uint16_t version, uint16_t size);

// Writes the checksum of the whole buffer and its guard word; returns whether the buffer now
// checks (see ImageChecks).
bool SealImage(uint8_t* image);

// Whether the checksum of the whole buffer equals the checksum field.
bool ImageChecks(const uint8_t* image);
