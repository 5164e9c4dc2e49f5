#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

// Largest table image file: one 2048-byte table.
inline constexpr std::size_t MAX_IMAGE_FILE_SIZE = 2048u;

// The whole content of the regular file at path (a symbolic link to one is followed), at most
// maxSize bytes. Anything else - a directory, a pipe, a device, a socket - is refused without
// waiting for data, and so is a file larger than maxSize (its size is checked before reading,
// and again while reading, should it grow). Throws FileError naming the file and the reason.
std::string ReadRegularFile(const std::filesystem::path& path, std::size_t maxSize);
