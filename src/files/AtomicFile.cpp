#include "files/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "files/FileError.h"
#include "files/RegularFileRead.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
// The system's own ReplaceFile macro would rename ours to ReplaceFileW here only.
#undef ReplaceFile
#else
#include <fcntl.h>
#include <signal.h>
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

// Writes all of bytes to fd, again after an interruption; 0, or the error (a write that
// takes nothing counts as a full disk).
int WriteAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto n = WriteSome(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n < 0 ? errno : ENOSPC;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

void RemoveQuietly(const fs::path& path) {
    std::error_code ignored;
    fs::remove(path, ignored);
}

// Marks the names of our temporary files: ".NAME" TEMPORARY_MARK "PID-N".
const char* const TEMPORARY_MARK = ".zorvex-tmp-";

unsigned long CurrentProcessId() {
#ifdef _WIN32
    return GetCurrentProcessId();
#else
    return static_cast<unsigned long>(::getpid());
#endif
}

// The writer's process id in one of our temporary names, else 0.
unsigned long TemporaryWriter(const std::string& name) {
    if (name.size() < 2 || name[0] != '.') {
        return 0;
    }
    const std::size_t mark = name.rfind(TEMPORARY_MARK);
    if (mark == std::string::npos || mark < 2) {
        return 0;
    }
    const char* p = name.c_str() + mark + std::strlen(TEMPORARY_MARK);
    unsigned long pid = 0;
    int digits = 0;
    for (; *p >= '0' && *p <= '9' && digits < 10; ++p, ++digits) {
        pid = pid * 10 + static_cast<unsigned long>(*p - '0');
    }
    if (digits == 0 || *p != '-' || p[1] == '\0') {
        return 0;
    }
    for (++p; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') {
            return 0;
        }
    }
    return pid;
}

// False only when the process is known to be gone.
bool ProcessRuns(unsigned long pid) {
#ifdef _WIN32
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr) {
        return GetLastError() != ERROR_INVALID_PARAMETER;
    }
    DWORD code = 0;
    const bool runs = !GetExitCodeProcess(process, &code) || code == STILL_ACTIVE;
    CloseHandle(process);
    return runs;
#else
    if (pid > static_cast<unsigned long>(INT32_MAX)) {
        return true;
    }
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
#endif
}

// Creates a fresh temporary file beside path; returns its descriptor (or -1, errno set).
int CreateTemporaryBeside(const fs::path& path, fs::path& temporary) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = TemporaryPathBeside(path);
        const int fd = OpenNew(temporary);
        if (fd >= 0 || errno != EEXIST) {
            return fd; // EEXIST: left by an earlier process with our id; take the next name
        }
    }
    return -1;
}

} // namespace

std::string PathText(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string ReadFileBytes(const fs::path& path) {
    return ReadRegularFile(path, MAX_READ_FILE_SIZE);
}

fs::path TemporaryPathBeside(const fs::path& path) {
    static std::atomic<unsigned> counter{0};
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, "%s%lu-%u", TEMPORARY_MARK, CurrentProcessId(),
                  counter.fetch_add(1));
    std::u8string name = u8"." + path.filename().u8string();
    for (const char* p = suffix; *p != '\0'; ++p) {
        name += static_cast<char8_t>(*p);
    }
    return path.parent_path() / fs::path(name);
}

void RemoveStaleTemporaries(const fs::path& dir) {
    std::error_code error;
    fs::directory_iterator it(dir.empty() ? fs::path(".") : dir, error);
    if (error) {
        return;
    }
    for (const fs::directory_entry& entry : it) {
        const unsigned long pid = TemporaryWriter(PathText(entry.path().filename()));
        if (pid == 0 || pid == CurrentProcessId() || ProcessRuns(pid)) {
            continue;
        }
        std::error_code ignored;
        if (entry.is_regular_file(ignored) && !entry.is_symlink(ignored)) {
            fs::remove(entry.path(), ignored);
        }
    }
}

WriteTarget ClassifyWriteTarget(const fs::path& path) {
#ifdef _WIN32
    std::error_code error;
    if (fs::is_directory(fs::status(path, error))) {
        throw FileError("\"" + PathText(path) + "\" is a directory: not written");
    }
    return WriteTarget::Replace;
#else
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return WriteTarget::Replace; // nothing there yet (or the write will say why not)
    }
    if (S_ISREG(st.st_mode)) {
        return WriteTarget::Replace;
    }
    if (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode)) {
        return WriteTarget::InPlace;
    }
    const char* kind = S_ISDIR(st.st_mode)    ? "a directory"
                       : S_ISBLK(st.st_mode)  ? "a block device"
                       : S_ISSOCK(st.st_mode) ? "a socket"
                                              : "not a regular file";
    throw FileError("\"" + PathText(path) + "\" is " + kind + ": not written");
#endif
}

void WriteInPlace(const fs::path& path, std::string_view bytes) {
#ifdef _WIN32
    const int fd = _wopen(path.c_str(), _O_WRONLY | _O_BINARY);
#else
    // O_NONBLOCK for the open only: a pipe without a reader is refused (ENXIO), not waited on.
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
#endif
    if (fd < 0) {
        const int error = errno;
#ifndef _WIN32
        if (error == ENXIO) {
            throw FileError("cannot write \"" + PathText(path) +
                            "\": no program reads from this pipe");
        }
#endif
        throw SystemFailure(path, "cannot write", error);
    }
#ifndef _WIN32
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) {
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
#endif
    if (const int error = WriteAll(fd, bytes); error != 0) {
        CloseFile(fd);
        throw SystemFailure(path, "cannot write", error);
    }
    if (CloseFile(fd) != 0) {
        throw SystemFailure(path, "cannot write", errno);
    }
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
    // A read-only file refuses to be replaced. The new content takes its place all the same
    // and stays read-only, as the permissions of a replaced file stay on POSIX systems.
    const DWORD attributes = GetFileAttributesW(to.c_str());
    const bool readOnly =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly) {
        SetFileAttributesW(to.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    if (!MoveFileExW(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        if (readOnly) {
            SetFileAttributesW(to.c_str(), attributes);
        }
        throw FileError("cannot replace \"" + PathText(to) + "\": Windows error " +
                        std::to_string(error));
    }
    if (readOnly) {
        SetFileAttributesW(to.c_str(), GetFileAttributesW(to.c_str()) | FILE_ATTRIBUTE_READONLY);
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
    if (ClassifyWriteTarget(requested) == WriteTarget::InPlace) {
        WriteInPlace(requested, bytes);
        return;
    }
    const fs::path path = ReplacementTarget(requested);
    RemoveStaleTemporaries(path.parent_path());
    fs::path temporary;
    const int fd = CreateTemporaryBeside(path, temporary);
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
    if (const int error = WriteAll(fd, bytes); error != 0) {
        fail(error, "cannot write");
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
