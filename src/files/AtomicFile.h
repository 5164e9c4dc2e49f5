#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

// The path as UTF-8 text, for messages.
std::string PathText(const std::filesystem::path& path);

// Largest file the program reads as a configuration or range list: a full configuration
// takes about 200 KB.
inline constexpr std::size_t MAX_READ_FILE_SIZE = 16u * 1024u * 1024u;

// The whole content of a regular file (ReadRegularFile with MAX_READ_FILE_SIZE). Throws
// FileError when it cannot be opened or read, is not a regular file or is larger.
std::string ReadFileBytes(const std::filesystem::path& path);

// How a file written to a path lands there.
enum class WriteTarget {
    Replace, // no file yet, a regular file or a link to one: written beside, renamed over
    InPlace, // a pipe or a character device (/dev/null, /dev/stdout, a terminal): written into
};

// The way path must be written. A directory, a block device or a socket is refused with
// FileError: replacing it would destroy it, writing into it makes no sense.
WriteTarget ClassifyWriteTarget(const std::filesystem::path& path);

// Writes bytes into an existing pipe or character device as it is. A pipe that no program
// reads from is refused instead of waited on. Throws FileError.
void WriteInPlace(const std::filesystem::path& path, std::string_view bytes);

// Writes bytes to a new file beside path (same directory, temporary name), flushes it to the
// disk and renames it over path (over the target when path is a symbolic link), so path holds
// either its old content or the new one, never a part. On failure the temporary file is removed,
// path is untouched and FileError is thrown. A pipe or character device is written in place
// instead (never replaced by a regular file); other kinds of file are refused.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// The file a replacement of path must land on: the target of a symbolic link, else path.
std::filesystem::path ReplacementTarget(const std::filesystem::path& path);

// Flushes a written file to the disk. Throws FileError on failure.
void FlushToDisk(const std::filesystem::path& path);

// A fresh name beside path for a file that is written first and renamed over path later:
// ".NAME.zorvex-tmp-PID-N", so that one left behind by a killed writer can be recognised.
std::filesystem::path TemporaryPathBeside(const std::filesystem::path& path);

// Removes the temporary files in dir that a writer of this program left behind when it was
// killed: names made by TemporaryPathBeside whose process no longer runs. Files of a running
// process, and anything else, are left alone. Never throws.
void RemoveStaleTemporaries(const std::filesystem::path& dir);

// Renames from over to (replacing it) and flushes the directory entry. Throws FileError on
// failure.
void ReplaceFile(const std::filesystem::path& from, const std::filesystem::path& to);
