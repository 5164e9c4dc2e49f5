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
    ImageBuffer channels1{}, channels2{}, settings{};
    bool built = true;
    if (!w.channels.BuildImage(channels1.data(), o.channelsVersion, 0)) {
        CliFail(c, EXIT_STATUS_FAILED,
                std::string(CHANNELS_0_99_FILE) + ": " + TerminalText(w.channels.lastError));
        built = false;
    }
    if (o.channels2Version != 0 &&
        !w.channels.BuildImage(channels2.data(), o.channels2Version, TABLE_CHANNELS)) {
        CliFail(c, EXIT_STATUS_FAILED,
                std::string(CHANNELS_100_199_FILE) + ": " + TerminalText(w.channels.lastError));
        built = false;
    }
    if (!w.settings.BuildSettingsImage(settings.data(), o.settingsVersion)) {
        CliFail(c, EXIT_STATUS_FAILED,
                std::string(SETTINGS_FILE) + ": " + TerminalText(w.settings.lastError));
        built = false;
    }
    if (!built) {
        return CliFail(c, EXIT_STATUS_FAILED, "no image written");
    }
    try {
        ImageSet images;
        images.channels0_99 = channels1;
        images.channels100_199 = channels2;
        images.settings = settings;
        images.hasChannels100_199 = o.channels2Version != 0;
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
    ImageBuffer channels1{}, channels2{}, settings{};
    std::error_code ec;
    const bool second = std::filesystem::exists(dir / CHANNELS_100_199_FILE, ec);
    try {
        ReadImageFile(dir, CHANNELS_0_99_FILE, channels1);
        if (second) {
            ReadImageFile(dir, CHANNELS_100_199_FILE, channels2);
        }
        ReadImageFile(dir, SETTINGS_FILE, settings);
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
    parsed = parseChannels(CHANNELS_0_99_FILE, channels1, 0);
    if (second && !parseChannels(CHANNELS_100_199_FILE, channels2, TABLE_CHANNELS)) {
        parsed = false;
    }
    if (!ImageFileChecks(c, dir / SETTINGS_FILE, settings)) {
        parsed = false;
    } else if (!w.settings.ParseSettingsImage(settings.data())) {
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
