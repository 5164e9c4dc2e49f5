#include "files/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>

#include "files/FileError.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

std::string SystemMessage(int error) {
    return std::generic_category().message(error);
}

// The failure of a system call on path, with its error number kept for the user's language.
FileError SystemFailure(const fs::path& path, const std::string& what, int error) {
    return FileError(what + " \"" + PathText(path) + "\": " + SystemMessage(error), error);
}

#ifdef _WIN32
int OpenNew(const fs::path& path) {
    return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
int WriteSome(int fd, const char* data, std::size_t size) {
    return _write(fd, data, static_cast<unsigned>(size > 1u << 30 ? 1u << 30 : size));
}
int SyncFile(int fd) {
    return _commit(fd);
}
int CloseFile(int fd) {
    return _close(fd);
}
#else
int OpenNew(const fs::path& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}
ssize_t WriteSome(int fd, const char* data, std::size_t size) {
    return ::write(fd, data, size);
}
int SyncFile(int fd) {
    return ::fsync(fd);
}
int CloseFile(int fd) {
    return ::close(fd);
}
#endif

void RemoveQuietly(const fs::path& path) {
    std::error_code ignored;
    fs::remove(path, ignored);
}

} // namespace

std::string PathText(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string ReadFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw SystemFailure(path, "cannot open", errno);
    }
    std::string bytes;
    char buffer[65536];
    while (in) {
        in.read(buffer, sizeof buffer);
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > MAX_READ_FILE_SIZE) {
            throw FileError("file too large: \"" + PathText(path) + "\"");
        }
    }
    if (in.bad()) {
        throw SystemFailure(path, "cannot read", errno);
    }
    return bytes;
}

fs::path TemporaryPathBeside(const fs::path& path) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
#ifdef _WIN32
    const unsigned long pid = GetCurrentProcessId();
#else
    const unsigned long pid = static_cast<unsigned long>(::getpid());
#endif
    char suffix[80];
    std::snprintf(suffix, sizeof suffix, ".%lu-%llx-%u.tmp", pid, stamp, counter.fetch_add(1));
    fs::path result = path;
    result += suffix;
    return result;
}

fs::path ReplacementTarget(const fs::path& path) {
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(path, error))) {
        fs::path target = fs::weakly_canonical(path, error);
        if (!error) {
            return target;
        }
    }
    return path;
}

void FlushToDisk(const fs::path& path) {
#ifdef _WIN32
    const int fd = _wopen(path.c_str(), _O_RDWR | _O_BINARY);
#else
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
#endif
    if (fd < 0) {
        throw SystemFailure(path, "cannot write", errno);
    }
    if (SyncFile(fd) != 0) {
        const int error = errno;
        CloseFile(fd);
        throw SystemFailure(path, "cannot write", error);
    }
    CloseFile(fd);
}

void ReplaceFile(const fs::path& from, const fs::path& to) {
#ifdef _WIN32
    if (!MoveFileExW(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        throw FileError("cannot replace \"" + PathText(to) + "\": Windows error " +
                        std::to_string(GetLastError()));
    }
#else
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        throw SystemFailure(to, "cannot replace", errno);
    }
    // Make the new directory entry durable too; a failure here changes nothing already done.
    fs::path dir = to.parent_path();
    if (dir.empty()) {
        dir = ".";
    }
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
}

void WriteFileAtomically(const fs::path& requested, std::string_view bytes) {
    const fs::path path = ReplacementTarget(requested);
    const fs::path temporary = TemporaryPathBeside(path);
    const int fd = OpenNew(temporary);
    if (fd < 0) {
        throw SystemFailure(path, "cannot write", errno);
    }
    auto fail = [&](int error, const char* what) {
        CloseFile(fd);
        RemoveQuietly(temporary);
        throw SystemFailure(path, what, error);
    };
#ifndef _WIN32
    // Keep the permissions of the file being replaced.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        ::fchmod(fd, old.st_mode & 07777);
    }
#endif
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto n = WriteSome(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail(errno, "cannot write");
        }
        if (n == 0) {
            fail(ENOSPC, "cannot write");
        }
        done += static_cast<std::size_t>(n);
    }
    if (SyncFile(fd) != 0) {
        fail(errno, "cannot write");
    }
    if (CloseFile(fd) != 0) {
        const int error = errno;
        RemoveQuietly(temporary);
        throw SystemFailure(path, "cannot write", error);
    }
    try {
        ReplaceFile(temporary, path);
    } catch (...) {
        RemoveQuietly(temporary);
        throw;
    }
}
