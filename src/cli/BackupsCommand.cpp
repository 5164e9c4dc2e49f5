#include "cli/BackupsCommand.h"

#include <optional>

#include "cli/ExitStatus.h"
#include "files/AtomicFile.h"
#include "files/BackupStore.h"

int RunBackupsCommand(const CliOptions& o, CliContext& c) {
    const std::filesystem::path root =
        o.backupDir.empty() ? DefaultBackupRoot() : std::filesystem::path(o.backupDir);
    if (root.empty()) {
        c.err << "zorvex-cli: no folder for backups (neither XDG_DATA_HOME nor HOME is set); "
                 "give --backup-dir DIR\n";
        return EXIT_STATUS_FILE;
    }
    std::optional<uint32_t> serial;
    if (o.serialGiven) {
        serial = o.serial;
    }
    for (const BackupEntry& e : ListBackups(root, serial)) {
        c.out << PathText(e.folder) << '\t' << SerialFolderName(e.serial) << '\t' << e.dateTime
              << "\tprogrammed "
              << (e.programmingCount >= 0 ? std::to_string(e.programmingCount) : std::string("?"))
              << "\tchannels "
              << (e.usedChannels >= 0 ? std::to_string(e.usedChannels) : std::string("?")) << '\n';
    }
    return EXIT_STATUS_OK;
}
