// A scratch file per fuzzing process, for readers that take a path.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "FuzzCheck.h"

// Removed again when the process ends normally.
class ScratchFile {
public:
    explicit ScratchFile(const char* name)
        : path_(std::filesystem::temp_directory_path() /
                ("zorvex-fuzz-" + std::to_string(::getpid()) + "-" + name)) {}
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline void WriteScratch(const std::filesystem::path& path, const void* data, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, file) == size);
    FUZZ_CHECK(std::fclose(file) == 0);
}

inline void WriteScratch(const std::filesystem::path& path, const std::string& text) {
    WriteScratch(path, text.data(), text.size());
}
