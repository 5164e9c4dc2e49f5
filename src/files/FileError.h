#pragma once

#include <stdexcept>
#include <string>

// A configuration or export file could not be read, parsed or written. what() is UTF-8: the
// XML library's or the system's message, or the program's own reason.
// systemError is the system's error number (errno) when a system call failed, 0 otherwise.
class FileError : public std::runtime_error {
public:
    explicit FileError(const std::string& message, int systemError = 0)
        : std::runtime_error(message), systemError_(systemError) {}
    int systemError() const { return systemError_; }

private:
    int systemError_ = 0;
};
