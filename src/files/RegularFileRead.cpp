#include "files/RegularFileRead.h"

#include <cerrno>
#include <system_error>

#include "files/AtomicFile.h"
#include "files/FileError.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

std::string Quoted(const std::filesystem::path& path) {
    return "\"" + PathText(path) + "\"";
}

[[noreturn]] void Fail(const std::filesystem::path& path, const std::string& what, int error) {
    throw FileError(what + " " + Quoted(path) + ": " + std::generic_category().message(error),
                    error);
}

// Closes the descriptor when the read is over, however it ends.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
#ifdef _WIN32
            _close(fd_);
#else
            ::close(fd_);
#endif
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const {
        return fd_;
    }

private:
    int fd_;
};

std::string KindOf(unsigned mode) {
#ifdef _WIN32
    if ((mode & _S_IFMT) == _S_IFDIR) {
        return "a directory";
    }
    return "not a regular file";
#else
    if (S_ISDIR(mode)) {
        return "a directory";
    }
    if (S_ISFIFO(mode)) {
        return "a pipe, not a regular file";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a device, not a regular file";
    }
    if (S_ISSOCK(mode)) {
        return "a socket, not a regular file";
    }
    return "not a regular file";
#endif
}

} // namespace

std::string ReadRegularFile(const std::filesystem::path& path, std::size_t maxSize) {
#ifdef _WIN32
    Descriptor fd(_wopen(path.c_str(), _O_RDONLY | _O_BINARY));
    if (fd.get() < 0) {
        Fail(path, "cannot open", errno);
    }
    struct _stat64 st {};
    if (_fstat64(fd.get(), &st) != 0) {
        Fail(path, "cannot read", errno);
    }
    const bool regular = (st.st_mode & _S_IFMT) == _S_IFREG;
#else
    // O_NONBLOCK: opening a pipe without a writer must not wait for one.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        Fail(path, "cannot open", errno);
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        Fail(path, "cannot read", errno);
    }
    const bool regular = S_ISREG(st.st_mode);
#endif
    if (!regular) {
        // A folder keeps the system's own number for it, so the user's language can name it.
        const bool folder = (st.st_mode & S_IFMT) == S_IFDIR;
        throw FileError(Quoted(path) + " is " + KindOf(static_cast<unsigned>(st.st_mode)),
                        folder ? EISDIR : 0);
    }
    const auto tooLarge = [&] {
        return FileError(Quoted(path) + " is too large (more than " + std::to_string(maxSize) +
                         " bytes)");
    };
    if (st.st_size < 0 || static_cast<unsigned long long>(st.st_size) > maxSize) {
        throw tooLarge();
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
#ifdef _WIN32
        const int n = _read(fd.get(), buffer, sizeof buffer);
#else
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
#endif
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail(path, "cannot read", errno);
        }
        if (n == 0) {
            break;
        }
        if (bytes.size() + static_cast<std::size_t>(n) > maxSize) {
            throw tooLarge();
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}
