#include "files/ImageFolder.h"

#include <cerrno>
#include <string_view>
#include <system_error>

#include "files/AtomicFile.h"
#include "files/FileError.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

std::string ImageBytes(const ImageBuffer& image) {
    return std::string(reinterpret_cast<const char*>(image.data()), image.size());
}

} // namespace

std::vector<FolderFile> FolderFiles(const ImageSet& images, const std::vector<FolderFile>& extra) {
    std::vector<FolderFile> files;
    files.emplace_back(CHANNELS_0_99_FILE, ImageBytes(images.channels0_99));
    if (images.hasChannels100_199) {
        files.emplace_back(CHANNELS_100_199_FILE, ImageBytes(images.channels100_199));
    }
    files.emplace_back(SETTINGS_FILE, ImageBytes(images.settings));
    files.insert(files.end(), extra.begin(), extra.end());
    return files;
}

namespace {

void RemoveQuietly(const fs::path& path) {
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

void FlushDirectory(const fs::path& dir) {
#ifndef _WIN32
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    (void)dir;
#endif
}

} // namespace

void WriteNewFolder(const fs::path& dir, const std::vector<FolderFile>& files) {
    const fs::path parent = dir.parent_path().empty() ? fs::path(".") : dir.parent_path();
    std::error_code ec;
    fs::create_directories(parent, ec);
    if (ec) {
        throw FileError("cannot create directory \"" + PathText(parent) + "\": " + ec.message());
    }
    const fs::path temporary = TemporaryPathBeside(dir);
    if (!fs::create_directory(temporary, ec) || ec) {
        throw FileError("cannot create directory \"" + PathText(temporary) +
                        "\": " + (ec ? ec.message() : std::string("it exists")));
    }
    try {
        for (const FolderFile& file : files) {
            WriteFileAtomically(temporary / file.first, file.second);
        }
        FlushDirectory(temporary);
        if (fs::exists(dir, ec)) {
            throw FileError("cannot write \"" + PathText(dir) + "\": it exists");
        }
        fs::rename(temporary, dir, ec);
        if (ec) {
            throw FileError("cannot write \"" + PathText(dir) + "\": " + ec.message());
        }
    } catch (...) {
        RemoveQuietly(temporary);
        throw;
    }
    FlushDirectory(parent);
}

void WriteImageFolder(const fs::path& dir, const ImageSet& images,
                      const std::vector<FolderFile>& extra) {
    const std::vector<FolderFile> files = FolderFiles(images, extra);
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(dir, ec))) {
        WriteNewFolder(dir, files);
        return;
    }
    if (!fs::is_directory(dir, ec)) {
        throw FileError("cannot write into \"" + PathText(dir) + "\": not a directory");
    }
    // Every file complete on the disk first; the renames that follow need no space.
    std::vector<std::pair<fs::path, fs::path>> written;
    try {
        for (const FolderFile& file : files) {
            const fs::path target = ReplacementTarget(dir / file.first);
            const fs::path temporary = TemporaryPathBeside(target);
            written.emplace_back(temporary, target);
            WriteFileAtomically(temporary, file.second);
        }
    } catch (...) {
        for (const auto& [temporary, target] : written) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
        }
        throw;
    }
    for (size_t i = 0; i < written.size(); ++i) {
        try {
            ReplaceFile(written[i].first, written[i].second);
        } catch (...) {
            // The files before it are replaced; the others keep their old content and
            // leave no temporary behind.
            for (size_t k = i; k < written.size(); ++k) {
                std::error_code ignored;
                fs::remove(written[k].first, ignored);
            }
            throw;
        }
    }
    if (!images.hasChannels100_199) {
        // An image of an earlier radio would be taken as this one's second table.
        fs::remove(dir / CHANNELS_100_199_FILE, ec);
    }
}

ImageSet ReadImageFolder(const fs::path& dir) {
    ImageSet images;
    std::error_code ec;
    images.hasChannels100_199 = fs::exists(dir / CHANNELS_100_199_FILE, ec);
    ReadImageFile(dir, CHANNELS_0_99_FILE, images.channels0_99);
    if (images.hasChannels100_199) {
        ReadImageFile(dir, CHANNELS_100_199_FILE, images.channels100_199);
    }
    ReadImageFile(dir, SETTINGS_FILE, images.settings);
    return images;
}
