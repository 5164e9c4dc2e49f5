#pragma once

#include <filesystem>

// An exclusive advisory lock on a lock file (created when missing), held while the object
// lives: flock on Linux, LockFileEx on Windows. Programs that take the lock on the same file
// run one after the other; the kernel drops it when its process dies. The lock file itself is
// left in place (removing it would let two programs lock two different files).
class FileLock {
public:
    // Waits for the lock up to about waitSeconds; without it (the lock file cannot be made,
    // or another program keeps the lock) locked() is false and the caller goes on unprotected.
    explicit FileLock(const std::filesystem::path& lockFile, int waitSeconds = 30);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool locked() const { return locked_; }

private:
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
    bool locked_ = false;
};
