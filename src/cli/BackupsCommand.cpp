#include "cli/BackupsCommand.h"

#include <optional>

#include "cli/ExitStatus.h"
#include "cli/JsonWriter.h"
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
    if (o.Given("--serial")) {
        serial = o.serial;
    }
    const std::vector<BackupEntry> entries = ListBackups(root, serial);
    if (o.json) {
        JsonWriter json;
        json.BeginObject().Key("root").String(PathText(root)).Key("backups").BeginArray();
        for (const BackupEntry& e : entries) {
            json.BeginObject().Key("folder").String(PathText(e.folder)).Key("serial");
            e.serial != NO_SERIAL ? json.Number(e.serial) : json.Null();
            json.Key("date_time").String(e.dateTime).Key("programming_count");
            e.programmingCount >= 0 ? json.Number(e.programmingCount) : json.Null();
            json.Key("used_channels");
            e.usedChannels >= 0 ? json.Number(e.usedChannels) : json.Null();
            json.EndObject();
        }
        json.EndArray().EndObject();
        c.out << json.Text();
        return EXIT_STATUS_OK;
    }
    for (const BackupEntry& e : entries) {
        c.out << PathText(e.folder) << '\t' << SerialFolderName(e.serial) << '\t' << e.dateTime
              << "\tprogrammed "
              << (e.programmingCount >= 0 ? std::to_string(e.programmingCount) : std::string("?"))
              << "\tchannels "
              << (e.usedChannels >= 0 ? std::to_string(e.usedChannels) : std::string("?")) << '\n';
    }
    return EXIT_STATUS_OK;
}
