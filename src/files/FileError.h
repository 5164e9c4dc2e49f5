#pragma once

#include <stdexcept>
#include <string>

// A configuration or export file could not be read, parsed or written. what() is UTF-8: the
// XML library's or the system's message, or the program's own reason.
class FileError : public std::runtime_error {
public:
    explicit FileError(const std::string& message) : std::runtime_error(message) {}
};
