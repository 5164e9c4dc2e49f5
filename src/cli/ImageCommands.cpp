#include <cstdio>

#include "cli/CliCommands.h"
#include "cli/ExitStatus.h"
#include "cli/TerminalText.h"
#include "cli/Workspace.h"
#include "files/AtomicFile.h"
#include "files/ConfigFile.h"
#include "files/FileError.h"
#include "files/ImageFiles.h"
#include "files/ImageFolder.h"
#include "model/TableImage.h"

namespace {

// An image file whose checksum does not match is reported with the file it came from; true
// when it matches.
bool ImageFileChecks(CliContext& c, const std::filesystem::path& path, const ImageBuffer& image) {
    const uint32_t computed = ImageCrc(image.data(), 0, TABLE_IMAGE_SIZE);
    const uint32_t stored = GetU32(image.data() + IMAGE_CRC_OFFSET);
    if (computed == stored) {
        return true;
    }
    char text[160];
    std::snprintf(text, sizeof text,
                  ": checksum error: computed %08X, the file holds %08X; the file is damaged or "
                  "was changed since it was written",
                  computed, stored);
    CliFail(c, EXIT_STATUS_FAILED, PathText(path) + text);
    return false;
}

int ImageBuild(const CliOptions& o, CliContext& c) {
    Workspace w(c.exeDir);
    int status = EXIT_STATUS_OK;
    if (!OpenConfig(c, w, o.operands[0], o.force, status)) {
        return status;
    }
    ImageSet images;
    images.hasChannels100_199 = o.channels2Version != 0;
    bool built = true;
    if (!w.channels.BuildImage(images.channels0_99.data(), o.channelsVersion, 0)) {
        CliFail(c, EXIT_STATUS_FAILED,
                std::string(CHANNELS_0_99_FILE) + ": " + TerminalText(w.channels.lastError));
        built = false;
    }
    if (images.hasChannels100_199 &&
        !w.channels.BuildImage(images.channels100_199.data(), o.channels2Version, TABLE_CHANNELS)) {
        CliFail(c, EXIT_STATUS_FAILED,
                std::string(CHANNELS_100_199_FILE) + ": " + TerminalText(w.channels.lastError));
        built = false;
    }
    if (!w.settings.BuildSettingsImage(images.settings.data(), o.settingsVersion)) {
        CliFail(c, EXIT_STATUS_FAILED,
                std::string(SETTINGS_FILE) + ": " + TerminalText(w.settings.lastError));
        built = false;
    }
    if (!built) {
        return CliFail(c, EXIT_STATUS_FAILED, "no image written");
    }
    try {
        WriteImageFolder(o.operands[1], images);
    } catch (const FileError& e) {
        return CliFail(c, EXIT_STATUS_FILE, e.what());
    }
    return EXIT_STATUS_OK;
}

int ImageParse(const CliOptions& o, CliContext& c) {
    Workspace w(c.exeDir);
    w.captions = NewConfig(w.channels, w.settings);
    const std::filesystem::path dir = o.operands[0];
    ImageSet images;
    try {
        images = ReadImageFolder(dir);
    } catch (const FileError& e) {
        return CliFail(c, EXIT_STATUS_FILE, e.what());
    }
    bool parsed = true;
    const auto parseChannels = [&](const char* name, const ImageBuffer& image, int start) {
        if (!ImageFileChecks(c, dir / name, image)) {
            return false;
        }
        if (!w.channels.ParseImage(image.data(), start)) {
            CliFail(c, EXIT_STATUS_FAILED,
                    PathText(dir / name) + ": " + TerminalText(w.channels.lastError));
            return false;
        }
        return true;
    };
    parsed = parseChannels(CHANNELS_0_99_FILE, images.channels0_99, 0);
    if (images.hasChannels100_199 &&
        !parseChannels(CHANNELS_100_199_FILE, images.channels100_199, TABLE_CHANNELS)) {
        parsed = false;
    }
    if (!ImageFileChecks(c, dir / SETTINGS_FILE, images.settings)) {
        parsed = false;
    } else if (!w.settings.ParseSettingsImage(images.settings.data())) {
        CliFail(c, EXIT_STATUS_FAILED,
                PathText(dir / SETTINGS_FILE) + ": not a valid settings image");
        parsed = false;
    }
    if (!parsed) {
        return CliFail(c, EXIT_STATUS_FAILED, "nothing saved");
    }
    int status = EXIT_STATUS_OK;
    SaveConfig(c, w, o.operands[1], status);
    return status;
}

} // namespace

int RunImageCommand(const CliOptions& o, CliContext& c) {
    return o.subcommand == "build" ? ImageBuild(o, c) : ImageParse(o, c);
}
