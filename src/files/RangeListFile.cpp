#include "files/RangeListFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <utility>

#include "files/AtomicFile.h"
#include "files/FileError.h"
#include "files/FileLock.h"
#include "files/ModelXml.h"
#include "files/SameFile.h"
#include "files/XmlCommon.h"
#include "files/XmlDocument.h"

namespace fs = std::filesystem;

namespace {

const char* const USER_DIR_NAME = "Zorvex_Prog";

#ifdef _WIN32
fs::path EnvPath(const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
    return value == nullptr ? fs::path() : fs::path(value);
}
#else
fs::path EnvPath(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? fs::path() : fs::path(value);
}
#endif

bool Exists(const fs::path& path) {
    std::error_code ignored;
    return fs::exists(path, ignored);
}

void AppendSlots(std::string& text, const char* kind, const uint32_t* begin, const uint32_t* end) {
    char line[96];
    for (int i = 0; i < FREQ_RANGE_SLOTS && begin[i] != 0 && end[i] != 0; ++i) {
        std::snprintf(line, sizeof line, "\t\t\t<%s%d begin=\"%d\" end=\"%d\"/>\r\n", kind, i,
                      static_cast<int>(begin[i]), static_cast<int>(end[i]));
        text += line;
    }
}

// Keeps a copy of a file that is about to be replaced; false when none could be made.
bool KeepCopy(const fs::path& path) {
    try {
        fs::path copy = path;
        copy += RANGE_LIST_BACKUP_SUFFIX;
        WriteFileAtomically(copy, ReadFileBytes(path));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void SetDefaultList(FreqRangeList& list) {
    FreqRange range;
    range.SetDefault();
    list.Clear();
    list.Add(range);
    list.SetModified(true);
}

} // namespace

fs::path UserConfigDir() {
#ifdef _WIN32
    fs::path base = EnvPath(L"APPDATA");
#else
    fs::path base = EnvPath("XDG_CONFIG_HOME");
    if (base.empty() || base.is_relative()) {
        const fs::path home = EnvPath("HOME");
        base = home.empty() ? fs::path() : home / ".config";
    }
#endif
    return base.empty() ? fs::path() : base / USER_DIR_NAME;
}

bool DirectoryWritable(const fs::path& dir) {
    std::error_code error;
    if (!fs::is_directory(dir, error)) {
        return false;
    }
    const fs::path probe = TemporaryPathBeside(dir / RANGE_LIST_FILE_NAME);
    std::FILE* file = nullptr;
#ifdef _WIN32
    file = _wfopen(probe.c_str(), L"wb");
#else
    file = std::fopen(probe.c_str(), "wb");
#endif
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    fs::remove(probe, error);
    return true;
}

RangeListLocation LocateRangeList(const fs::path& exeDir, const fs::path& userDir,
                                  bool exeDirWritable) {
    RangeListLocation location;
    const fs::path beside = exeDir / RANGE_LIST_FILE_NAME;
    if (userDir.empty()) {
        location.readFrom = beside;
        location.writeTo = beside;
        return location;
    }
    const fs::path user = userDir / RANGE_LIST_FILE_NAME;
    if (Exists(user)) {
        location.readFrom = user;
        location.writeTo = user;
    } else if (exeDirWritable) {
        location.readFrom = beside;
        location.writeTo = beside;
        location.fallback = user;
    } else {
        location.readFrom = beside;
        location.writeTo = user;
    }
    return location;
}

RangeListLocation LocatePerUserRangeList(const fs::path& exeDir, const fs::path& userDir) {
    RangeListLocation location;
    const fs::path beside = exeDir / RANGE_LIST_FILE_NAME;
    if (userDir.empty()) {
        location.readFrom = beside;
        location.writeTo = beside;
        return location;
    }
    const fs::path user = userDir / RANGE_LIST_FILE_NAME;
    location.readFrom = user;
    location.writeTo = user;
    if (!Exists(user) && !exeDir.empty() && Exists(beside)) {
        location.readFrom = beside;
        location.takeOver = true;
    }
    return location;
}

RangeListLocation LocateRangeList(const fs::path& exeDir) {
#ifdef _WIN32
    const fs::path chosen = EnvPath(L"ZORVEX_RANGE_LIST");
#else
    const fs::path chosen = EnvPath(RANGE_LIST_ENV);
#endif
    if (!chosen.empty()) {
        RangeListLocation location;
        location.readFrom = chosen;
        location.writeTo = chosen;
        return location;
    }
#ifdef _WIN32
    return LocateRangeList(exeDir, UserConfigDir(), DirectoryWritable(exeDir));
#else
    return LocatePerUserRangeList(exeDir, UserConfigDir());
#endif
}

bool LoadRangeListFile(FreqRangeList& list, const fs::path& path) {
    try {
        const XmlDocument doc = XmlDocument::Parse(ReadFileBytes(path));
        list.Clear();
        xmlNodePtr element = XmlFirstChild(doc.Root(), "FreqRangeList");
        if (element == nullptr) {
            SetDefaultList(list);
            return false;
        }
        for (xmlNodePtr n = element->children; n != nullptr; n = n->next) {
            if (n->type != XML_ELEMENT_NODE ||
                xmlStrcmp(n->name, reinterpret_cast<const xmlChar*>("FreqRange")) != 0) {
                continue;
            }
            FreqRange range;
            if (LoadFromXml(range, n) && range.IsValid()) {
                list.Add(range);
            }
        }
        if (list.Count() == 0) {
            // Read fine but nothing usable: the program needs a current set.
            SetDefaultList(list);
            return false;
        }
        list.SetModified(false);
        return true;
    } catch (const std::exception&) {
        SetDefaultList(list);
        return false;
    }
}

std::string RangeListFileText(const FreqRangeList& list) {
    std::string text = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"
                       "<root>\r\n"
                       "\t<FreqRangeList>\r\n";
    for (int i = 0; i < list.Count(); ++i) {
        const FreqRange& range = list.Item(i);
        if (!range.IsValid()) {
            continue;
        }
        text += "\t\t<FreqRange>\r\n";
        AppendSlots(text, "rx", range.rx_begin, range.rx_end);
        AppendSlots(text, "tx", range.tx_begin, range.tx_end);
        text += "\t\t</FreqRange>\r\n";
    }
    text += "\t</FreqRangeList>\r\n"
            "</root>\r\n";
    return text;
}

bool SaveRangeListFile(const FreqRangeList& list, const fs::path& path) {
    try {
        WriteFileAtomically(path, RangeListFileText(list));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

RangeListSession::RangeListSession(FreqRangeList& list, const fs::path& exeDir)
    : RangeListSession(list, LocateRangeList(exeDir)) {}

RangeListSession::RangeListSession(FreqRangeList& list, RangeListLocation location)
    : list_(list), location_(std::move(location)) {
    if (!LoadRangeListFile(list_, location_.readFrom)) {
        // A missing or empty file holds nothing worth keeping; anything else does.
        std::error_code error;
        const std::uintmax_t size = fs::file_size(location_.readFrom, error);
        if (!error && size > 0) {
            unreadable_ = location_.readFrom;
        }
    } else if (location_.takeOver && !SameFile(location_.readFrom, location_.writeTo)) {
        list_.SetModified(true); // the starting content moves to its own place at the end
    }
}

RangeListSession::~RangeListSession() {
    SaveIfModified();
}

fs::path RangeListSession::SaveIfModified() {
    if (!list_.modified()) {
        return {};
    }
    for (const fs::path& target : {location_.writeTo, location_.fallback}) {
        if (target.empty()) {
            continue;
        }
        const bool replacesUnreadable = !unreadable_.empty() && SameFile(target, unreadable_);
        if (replacesUnreadable && !KeepCopy(unreadable_)) {
            continue; // never replace the file that could not be read without a copy of it
        }
        std::error_code ignored;
        fs::create_directories(target.parent_path(), ignored);
        fs::path lockFile = target;
        lockFile += RANGE_LIST_LOCK_SUFFIX;
        const FileLock lock(lockFile);
        // Another instance of the program (a second window, a script reading another radio)
        // may have written the file since it was read here: keep the sets it added.
        FreqRangeList onDisk;
        if (LoadRangeListFile(onDisk, target)) {
            for (int i = 0; i < onDisk.Count(); ++i) {
                list_.Add(onDisk.Item(i));
            }
        }
        if (SaveRangeListFile(list_, target)) {
            list_.SetModified(false);
            if (replacesUnreadable) {
                unreadable_.clear();
            }
            return target;
        }
    }
    return {};
}
