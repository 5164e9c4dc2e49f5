#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

// File names of the table images in an image directory.
inline constexpr const char* CHANNELS_0_99_FILE = "channels-0-99.bin";
inline constexpr const char* CHANNELS_100_199_FILE = "channels-100-199.bin";
inline constexpr const char* SETTINGS_FILE = "settings.bin";

using ImageBuffer = std::array<uint8_t, 2048>;

// Reads dir/name into image: a file of 12..2048 bytes, the rest of the buffer 0xFF (an
// image cut at its own length reads the same as the full buffer). Throws FileError when
// the file cannot be read or has another size.
void ReadImageFile(const std::filesystem::path& dir, const char* name, ImageBuffer& image);
