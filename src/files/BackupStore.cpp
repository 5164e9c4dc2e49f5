#include "files/BackupStore.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

#include "files/AtomicFile.h"
#include "files/FileError.h"
#include "model/ChannelsContext.h"
#include "model/SettingsContext.h"

namespace fs = std::filesystem;

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

bool AllDigits(const std::string& text, size_t from, size_t to) {
    if (to > text.size() || from >= to) {
        return false;
    }
    for (size_t i = from; i < to; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    return true;
}

// YYYYMMDD-HHMMSS, optionally followed by -N.
bool IsStamp(const std::string& name) {
    if (name.size() < 15 || !AllDigits(name, 0, 8) || name[8] != '-' || !AllDigits(name, 9, 15)) {
        return false;
    }
    return name.size() == 15 || (name[15] == '-' && AllDigits(name, 16, name.size()));
}

std::string DateTimeText(const std::string& stamp) {
    return stamp.substr(0, 4) + "-" + stamp.substr(4, 2) + "-" + stamp.substr(6, 2) + " " +
           stamp.substr(9, 2) + ":" + stamp.substr(11, 2) + ":" + stamp.substr(13, 2);
}

bool ParseSerial(const std::string& name, uint32_t& serial) {
    if (name == "no-serial") {
        serial = NO_SERIAL;
        return true;
    }
    if (name.empty() || name.size() > 10 || !AllDigits(name, 0, name.size())) {
        return false;
    }
    const unsigned long long value = std::strtoull(name.c_str(), nullptr, 10);
    if (value >= NO_SERIAL) {
        return false;
    }
    serial = static_cast<uint32_t>(value);
    return true;
}

void Describe(BackupEntry& entry) {
    try {
        const ImageSet images = ReadImageFolder(entry.folder);
        SettingsContext settings;
        if (settings.ParseSettingsImage(images.settings.data())) {
            entry.programmingCount = settings.ProgramCount;
        }
        ChannelsContext channels;
        bool parsed = channels.ParseImage(images.channels0_99.data(), 0);
        if (images.hasChannels100_199) {
            parsed = parsed && channels.ParseImage(images.channels100_199.data(), TABLE_CHANNELS);
        }
        if (parsed) {
            const int limit = images.hasChannels100_199 ? CHANNEL_COUNT : TABLE_CHANNELS;
            entry.usedChannels = static_cast<int>(
                std::count_if(channels.channels.begin(), channels.channels.begin() + limit,
                              [](const Channel& c) { return c.IsUsed(); }));
        }
    } catch (const FileError&) {
        // Listed with unknown count and channels.
    }
}

} // namespace

fs::path DefaultBackupRoot() {
#ifdef _WIN32
    const std::string appData = Environment("APPDATA");
    if (appData.empty()) {
        return fs::path();
    }
    return fs::path(appData) / "Zorvex_Prog" / "backups";
#else
    std::string base = Environment("XDG_DATA_HOME");
    if (base.empty() || base[0] != '/') {
        const std::string home = Environment("HOME");
        if (home.empty()) {
            return fs::path();
        }
        base = home + "/.local/share";
    }
    return fs::path(base) / "Zorvex_Prog" / "backups";
#endif
}

std::string SerialFolderName(uint32_t serial) {
    return serial == NO_SERIAL ? std::string("no-serial") : std::to_string(serial);
}

fs::path WriteBackup(const fs::path& root, uint32_t serial, std::time_t when,
                     const BackupContent& content) {
    if (root.empty()) {
        throw FileError("no folder for backups (neither XDG_DATA_HOME nor HOME is set)");
    }
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &when);
#else
    localtime_r(&when, &local);
#endif
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const fs::path parent = root / SerialFolderName(serial);
    fs::path folder = parent / stamp;
    std::error_code ec;
    for (int n = 2; fs::exists(fs::symlink_status(folder, ec)); ++n) {
        folder = parent / (std::string(stamp) + "-" + std::to_string(n));
    }
    std::vector<FolderFile> extra = {{BACKUP_INFO_FILE, content.infoText}};
    if (!content.configXml.empty()) {
        extra.emplace_back(BACKUP_CONFIG_FILE, content.configXml);
    }
    WriteNewFolder(folder, FolderFiles(content.images, extra));
    return folder;
}

bool BackupSerial(const fs::path& folder, uint32_t& serial) {
    fs::path normal = folder.lexically_normal();
    if (normal.filename().empty()) {
        normal = normal.parent_path();
    }
    return ParseSerial(PathText(normal.parent_path().filename()), serial);
}

std::vector<BackupEntry> ListBackups(const fs::path& root, std::optional<uint32_t> serial) {
    std::vector<BackupEntry> entries;
    std::error_code ec;
    for (fs::directory_iterator radio(root, ec), end; !ec && radio != end; radio.increment(ec)) {
        uint32_t number = 0;
        if (!radio->is_directory(ec) || !ParseSerial(PathText(radio->path().filename()), number)) {
            continue;
        }
        if (serial && *serial != number) {
            continue;
        }
        std::error_code inner;
        for (fs::directory_iterator it(radio->path(), inner), stop; !inner && it != stop;
             it.increment(inner)) {
            const std::string name = PathText(it->path().filename());
            if (!it->is_directory(inner) || !IsStamp(name) ||
                !fs::exists(it->path() / SETTINGS_FILE, inner)) {
                continue;
            }
            BackupEntry entry;
            entry.folder = it->path();
            entry.serial = number;
            entry.stamp = name;
            entry.dateTime = DateTimeText(name);
            Describe(entry);
            entries.push_back(entry);
        }
    }
    std::sort(entries.begin(), entries.end(), [](const BackupEntry& a, const BackupEntry& b) {
        // Newest first; suffixes -2, -3 ... are later than the plain name of their second.
        const std::string sa = a.stamp.substr(0, 15), sb = b.stamp.substr(0, 15);
        if (sa != sb) {
            return sa > sb;
        }
        if (a.stamp.size() != b.stamp.size()) {
            return a.stamp.size() > b.stamp.size();
        }
        if (a.stamp != b.stamp) {
            return a.stamp > b.stamp;
        }
        return a.serial < b.serial;
    });
    return entries;
}
