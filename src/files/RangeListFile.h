#pragma once

#include <filesystem>
#include <string>

#include "model/FreqRangeList.h"

// Name of the range-list file.
inline constexpr const char* RANGE_LIST_FILE_NAME = "Zorvex_config.xml";

// Environment variable naming the range-list file to use instead (scripts, tests).
inline constexpr const char* RANGE_LIST_ENV = "ZORVEX_RANGE_LIST";

// Suffix of the lock file beside the list, locked while the list is read, merged and written.
inline constexpr const char* RANGE_LIST_LOCK_SUFFIX = ".lock";

// Where the range-list file is read from at start and written to at exit.
struct RangeListLocation {
    std::filesystem::path readFrom;
    std::filesystem::path writeTo;
    // Where to write when writeTo cannot be written (empty when writeTo is already the
    // per-user copy).
    std::filesystem::path fallback;
    // readFrom is a starting content to be copied to writeTo even when the list stays as read.
    bool takeOver = false;
};

// The per-user configuration directory of the program: %APPDATA%\Zorvex_Prog on Windows,
// else $XDG_CONFIG_HOME/Zorvex_Prog or ~/.config/Zorvex_Prog. Empty when none is known.
std::filesystem::path UserConfigDir();

// True when a file can be created in dir.
bool DirectoryWritable(const std::filesystem::path& dir);

// The portable rule (Windows): the file lives next to the executable. A per-user copy, once
// it exists, is read and written instead; and when the executable's directory cannot be
// written the list goes to the per-user copy. userDir may be empty (no per-user directory).
RangeListLocation LocateRangeList(const std::filesystem::path& exeDir,
                                  const std::filesystem::path& userDir, bool exeDirWritable);

// The per-user rule (Linux): the file is userDir/RANGE_LIST_FILE_NAME, one list for every
// copy of the programs. While it does not exist, a list next to the executable is read and
// taken over into it. With no userDir known the file next to the executable is used.
RangeListLocation LocatePerUserRangeList(const std::filesystem::path& exeDir,
                                         const std::filesystem::path& userDir);

// Where the programs keep the list: the file named by RANGE_LIST_ENV when set, else the
// per-user rule with UserConfigDir() (on Windows the portable rule, with
// DirectoryWritable(exeDir)).
RangeListLocation LocateRangeList(const std::filesystem::path& exeDir);

// Reads the list file into list. A file that cannot be read, is not XML, has no
// FreqRangeList element or yields no valid set leaves the default set as the only set with
// the list modified; after a good read the list is not modified. Selects no set. Returns
// whether the file was read.
bool LoadRangeListFile(FreqRangeList& list, const std::filesystem::path& path);

// The file's bytes for a list: CR LF lines, tab indentation, the valid sets only.
std::string RangeListFileText(const FreqRangeList& list);

// Writes the list file (atomically). Returns false, without any message, when it cannot.
bool SaveRangeListFile(const FreqRangeList& list, const std::filesystem::path& path);

// Suffix of the copy kept of a list file that could not be read.
inline constexpr const char* RANGE_LIST_BACKUP_SUFFIX = ".bak";

// Loads the list when constructed and saves it when destroyed, only if it was modified (or
// is taken over from another place); a save that cannot go to writeTo goes to the fallback.
// Sets that another instance wrote to the file in the meantime are appended before it is
// written; reading, merging and writing hold the lock on the file's RANGE_LIST_LOCK_SUFFIX
// file, so two programs saving at once keep both their sets.
// A list file that exists but cannot be read (a hand-edited file with a typo) is copied to
// the same name with RANGE_LIST_BACKUP_SUFFIX before the default list replaces it; when no
// copy can be made, that file is left alone and the list goes to the next place.
class RangeListSession {
public:
    RangeListSession(FreqRangeList& list, const std::filesystem::path& exeDir);
    RangeListSession(FreqRangeList& list, RangeListLocation location);
    ~RangeListSession();
    RangeListSession(const RangeListSession&) = delete;
    RangeListSession& operator=(const RangeListSession&) = delete;

    // Saves now when modified (the destructor then has nothing left to do). Returns where
    // the list was written, or an empty path when it was not modified or could not be
    // written.
    std::filesystem::path SaveIfModified();

    const RangeListLocation& location() const { return location_; }

private:
    FreqRangeList& list_;
    RangeListLocation location_;
    std::filesystem::path unreadable_; // the list file that could not be read, if any
};
