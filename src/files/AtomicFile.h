#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

// The path as UTF-8 text, for messages.
std::string PathText(const std::filesystem::path& path);

// Largest file the program reads as a configuration or range list.
inline constexpr std::size_t MAX_READ_FILE_SIZE = 64u * 1024u * 1024u;

// The whole content of a file. Throws FileError when it cannot be opened or read, or is
// larger than MAX_READ_FILE_SIZE.
std::string ReadFileBytes(const std::filesystem::path& path);

// Writes bytes to a new file beside path (same directory, temporary name), flushes it to the
// disk and renames it over path (over the target when path is a symbolic link), so path holds
// either its old content or the new one, never a part. On failure the temporary file is removed,
// path is untouched and FileError is thrown.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// The file a replacement of path must land on: the target of a symbolic link, else path.
std::filesystem::path ReplacementTarget(const std::filesystem::path& path);

// Flushes a written file to the disk. Throws FileError on failure.
void FlushToDisk(const std::filesystem::path& path);

// A fresh name beside path for a file that is written first and renamed over path later.
std::filesystem::path TemporaryPathBeside(const std::filesystem::path& path);

// Renames from over to (replacing it) and flushes the directory entry. Throws FileError on
// failure.
void ReplaceFile(const std::filesystem::path& from, const std::filesystem::path& to);
