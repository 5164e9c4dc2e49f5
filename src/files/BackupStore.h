#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "files/ImageFolder.h"

// Backups of radios: <root>/<serial>/<YYYYMMDD-HHMMSS>/ holding the table images as read
// (the names of an image folder), info.txt (the radio's information report, UTF-8) and
// radio.xml (the configuration as read). Folders are written as a whole and never deleted.

inline constexpr const char* BACKUP_INFO_FILE = "info.txt";
inline constexpr const char* BACKUP_CONFIG_FILE = "radio.xml";
inline constexpr uint32_t NO_SERIAL = 0xFFFFFFFFu;

// $XDG_DATA_HOME/Zorvex_Prog/backups (~/.local/share/... without it) on Linux,
// %APPDATA%\Zorvex_Prog\backups on Windows. Empty when neither the variable nor a home
// directory is known.
std::filesystem::path DefaultBackupRoot();

// The serial number in decimal, "no-serial" for NO_SERIAL.
std::string SerialFolderName(uint32_t serial);

// What one backup holds besides its images.
struct BackupContent {
    ImageSet images;
    std::string infoText;  // UTF-8
    std::string configXml; // empty: no radio.xml (a table did not parse)
};

// Writes a new backup folder for the radio with that serial, named after the local time
// (a suffix -2, -3, ... when a folder of that second exists already). Returns the folder.
// Throws FileError; nothing is left behind then.
std::filesystem::path WriteBackup(const std::filesystem::path& root, uint32_t serial,
                                  std::time_t when, const BackupContent& content);

// One backup folder as a listing shows it.
struct BackupEntry {
    std::filesystem::path folder;
    uint32_t serial = NO_SERIAL;
    std::string stamp;             // the folder's name, YYYYMMDD-HHMMSS[-N]
    std::string dateTime;          // "YYYY-MM-DD HH:MM:SS"
    int32_t programmingCount = -1; // from the settings image; -1 when it does not parse
    int usedChannels = -1;         // -1 when a channel image does not parse
};

// The backups under root (of one serial when given), newest first. Folders that are not
// backups (no settings image, a name that is not a time) are left out. A missing root gives
// an empty list.
std::vector<BackupEntry> ListBackups(const std::filesystem::path& root,
                                     std::optional<uint32_t> serial = std::nullopt);

// The serial number a backup folder belongs to, from the name of its parent folder; false
// when that is neither a number nor "no-serial".
bool BackupSerial(const std::filesystem::path& folder, uint32_t& serial);
