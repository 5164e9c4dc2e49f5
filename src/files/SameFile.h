#pragma once

#include <filesystem>

// True when a and b name the same file: the same device and inode (the same file index on
// Windows) when both exist, else the same path once made absolute, with links of the existing
// part followed and "." and ".." taken out. An output that is the same file as an input would
// destroy the input it is made from.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);
