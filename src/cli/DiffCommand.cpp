#include "cli/DiffCommand.h"

#include <memory>
#include <system_error>

#include "cli/ExitStatus.h"
#include "cli/JsonWriter.h"
#include "cli/RadioSession.h"
#include "cli/RadioTarget.h"
#include "cli/TerminalOutput.h"
#include "files/ConfigFile.h"
#include "files/FileError.h"
#include "files/ImageFolder.h"
#include "model/ChannelsContext.h"
#include "model/Cp1251.h"
#include "model/FlagCaptions.h"
#include "model/InfoContext.h"
#include "model/SettingsContext.h"
#include "operations/ConfigDiff.h"

namespace {

// One side of the comparison.
struct Side {
    ChannelsContext channels;
    SettingsContext settings;
    FlagCaptions captions = DefaultFlagCaptions();
    bool hasCaptions = false; // image folders carry none
};

// Parses an image folder into side; false with error set.
bool LoadImages(const std::filesystem::path& dir, Side& side, std::string& error, int& status) {
    ImageSet images;
    try {
        images = ReadImageFolder(dir);
    } catch (const FileError& e) {
        error = e.what();
        status = EXIT_STATUS_FILE;
        return false;
    }
    side.captions = NewConfig(side.channels, side.settings);
    const std::string name = dir.string();
    if (!side.channels.ParseImage(images.channels0_99.data(), 0) ||
        (images.hasChannels100_199 &&
         !side.channels.ParseImage(images.channels100_199.data(), TABLE_CHANNELS))) {
        error = name + ": " + Cp1251ToUtf8(side.channels.lastError);
        status = EXIT_STATUS_FAILED;
        return false;
    }
    if (!side.settings.ParseSettingsImage(images.settings.data())) {
        error = name + ": " + SETTINGS_FILE + " is not a valid settings image";
        status = EXIT_STATUS_FAILED;
        return false;
    }
    return true;
}

bool LoadRadio(const CliOptions& o, CliContext& c, Side& side, std::string& error, int& status) {
    RadioTarget target;
    if (!target.Setup(o.port, o.device, o.simulate, o.simState, error)) {
        status = target.stateFileFailed() ? EXIT_STATUS_FILE : EXIT_STATUS_FAILED;
        return false;
    }
    side.captions = NewConfig(side.channels, side.settings);
    TInfoContext info;
    // The read's log goes to stderr: stdout holds the differences.
    TerminalOutput output(o.quiet ? nullptr : &c.err, c.err, c.progressBar && !o.quiet);
    RadioSession session(side.channels, side.settings, info, output, o.verbose || o.trace, o.trace);
    session.Run(MODE_READ, target.port(), c.cancel);
    std::string stateError;
    const bool stateSaved = target.Finish(stateError);
    if (session.driver().Outcome() != OperationOutcome::Succeeded) {
        error = "reading the radio failed";
        status = EXIT_STATUS_FAILED;
        return false;
    }
    if (!stateSaved) {
        error = stateError;
        status = EXIT_STATUS_FILE;
        return false;
    }
    if (info.ranges.IsValid()) {
        side.channels.ranges.Select(side.channels.ranges.Add(info.ranges));
    }
    side.captions = FlagCaptionsForOptions(info.options);
    side.hasCaptions = true;
    return true;
}

bool LoadSide(const CliOptions& o, CliContext& c, const std::string& what, Side& side,
              int& status) {
    std::string error;
    std::error_code ec;
    bool ok = false;
    if (what == "radio") {
        ok = LoadRadio(o, c, side, error, status);
    } else if (std::filesystem::is_directory(what, ec)) {
        ok = LoadImages(what, side, error, status);
    } else {
        try {
            OpenConfigFile(what, side.channels, side.settings, side.captions);
            side.hasCaptions = true;
            ok = true;
        } catch (const FileError& e) {
            error = what + ": " + e.what();
            status = EXIT_STATUS_FILE;
        }
    }
    if (!ok) {
        CliFail(c, status, error);
    }
    return ok;
}

} // namespace

int RunDiffCommand(const CliOptions& o, CliContext& c) {
    auto a = std::make_unique<Side>();
    auto b = std::make_unique<Side>();
    int status = EXIT_STATUS_OK;
    if (!LoadSide(o, c, o.operands[0], *a, status) || !LoadSide(o, c, o.operands[1], *b, status)) {
        return status;
    }
    DiffScope scope;
    scope.rangeSet =
        a->channels.ranges.current() != nullptr && b->channels.ranges.current() != nullptr;
    scope.flagCaptions = a->hasCaptions && b->hasCaptions;
    const ConfigDiff diff =
        CompareConfigs(ConfigView{&a->channels, &a->settings, &a->captions},
                       ConfigView{&b->channels, &b->settings, &b->captions}, scope);
    if (o.json) {
        static const char* const KINDS[] = {"channel", "setting", "range_set", "flag_caption"};
        JsonWriter json;
        json.BeginObject().Key("a").String(o.operands[0]).Key("b").String(o.operands[1]);
        json.Key("differences").BeginArray();
        for (const ConfigDifference& d : diff.items) {
            json.BeginObject().Key("kind").String(KINDS[static_cast<int>(d.kind)]).Key("slot");
            d.slot >= 0 ? json.Number(d.slot) : json.Null();
            json.Key("field").String(Cp1251ToUtf8(d.field));
            json.Key("before").String(Cp1251ToUtf8(d.before));
            json.Key("after").String(Cp1251ToUtf8(d.after));
            json.EndObject();
        }
        json.EndArray().EndObject();
        c.out << json.Text();
    } else {
        for (const ConfigDifference& d : diff.items) {
            c.out << Cp1251ToUtf8(DifferenceLine(d)) << '\n';
        }
    }
    return diff.Empty() ? EXIT_STATUS_OK : EXIT_STATUS_FAILED;
}
