#include "cli/CliMain.h"

#include <algorithm>
#include <optional>

#include "cli/BackupsCommand.h"
#include "cli/CliHelp.h"
#include "cli/CliOptions.h"
#include "cli/DiffCommand.h"
#include "cli/ExitStatus.h"
#include "cli/RadioSession.h"
#include "cli/RadioTarget.h"
#include "cli/RestoreCommand.h"
#include "cli/TerminalOutput.h"
#include "cli/WriteSafetyReport.h"
#include "files/ChannelExport.h"
#include "files/ConfigFile.h"
#include "files/FileError.h"
#include "files/ImageFiles.h"
#include "files/ImageFolder.h"
#include "files/RangeListFile.h"
#include "link/ComPorts.h"
#include "model/ChannelsContext.h"
#include "model/Cp1251.h"
#include "model/FlagCaptions.h"
#include "model/InfoContext.h"
#include "model/SettingsContext.h"

namespace {

// UTF-8 for the terminal, with the report's CR LF line ends turned into plain newlines.
std::string TerminalText(const std::string& cp1251) {
    std::string utf8 = Cp1251ToUtf8(cp1251);
    std::string text;
    text.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') {
            continue;
        }
        text += utf8[i];
    }
    return text;
}

// The model a command works on, as the main window holds it: the range list comes from
// the range-list file and set 0 is current; the list is written back when it changed.
struct Workspace {
    explicit Workspace(const std::filesystem::path& exeDir) : rangeList(channels.ranges, exeDir) {
        channels.ranges.Select(0);
    }

    ChannelsContext channels;
    SettingsContext settings;
    TInfoContext info;
    FlagCaptions captions = DefaultFlagCaptions();
    RangeListSession rangeList;
};

bool UsesSecondTable(const ChannelsContext& channels) {
    for (int i = TABLE_CHANNELS; i < CHANNEL_COUNT; ++i) {
        if (channels.channels[i].IsUsed()) {
            return true;
        }
    }
    return false;
}

// After a read the radio's own range set becomes current (added to the list when new).
void SelectRangeFromRadio(Workspace& w) {
    if (w.info.ranges.IsValid()) {
        const int index = w.channels.ranges.Add(w.info.ranges);
        w.channels.ranges.Select(index);
    }
}

class Cli {
public:
    Cli(const CliOptions& options, CliContext& context) : o_(options), c_(context) {}

    int Run() {
        if (o_.command == "ports") {
            return Ports();
        }
        if (o_.command == "export") {
            return Export();
        }
        if (o_.command == "restore") {
            return RunRestoreCommand(o_, c_);
        }
        if (o_.command == "backups") {
            return RunBackupsCommand(o_, c_);
        }
        if (o_.command == "diff") {
            return RunDiffCommand(o_, c_);
        }
        if (o_.command == "image") {
            return o_.subcommand == "build" ? ImageBuild() : ImageParse();
        }
        return Radio();
    }

private:
    int Fail(int status, const std::string& utf8Message) {
        c_.err << "zorvex-cli: " << utf8Message << '\n';
        return status;
    }

    int Ports() {
        for (const ComPortInfo& port : EnumerateComPorts()) {
            c_.out << "COM" << port.number << '\t' << port.device << '\n';
        }
        return EXIT_STATUS_OK;
    }

    // Opens a configuration file as the desktop program's Open does.
    bool OpenConfig(Workspace& w, const std::string& file, int& status) {
        try {
            const ConfigOpenResult result =
                OpenConfigFile(file, w.channels, w.settings, w.captions);
            if (result.channelsRemoved) {
                c_.err << "zorvex-cli: warning: " << TerminalText(result.warning) << '\n';
            }
            return true;
        } catch (const FileError& e) {
            status = Fail(EXIT_STATUS_FILE, file + ": " + e.what());
            return false;
        }
    }

    bool SaveConfig(Workspace& w, const std::string& file, int& status) {
        try {
            SaveConfigFile(file, w.channels, w.settings, w.captions);
            return true;
        } catch (const FileError& e) {
            status = Fail(EXIT_STATUS_FILE, file + ": " + e.what());
            return false;
        }
    }

    int Export() {
        Workspace w(c_.exeDir);
        int status = EXIT_STATUS_OK;
        if (!OpenConfig(w, o_.operands[0], status)) {
            return status;
        }
        const ExportResult result = ExportChannels(w.channels, o_.operands[1]);
        if (!result.ok) {
            std::string message = TerminalText(result.message);
            if (!result.reason.empty()) {
                message += " (" + TerminalText(result.reason) + ")";
            }
            return Fail(EXIT_STATUS_FILE, o_.operands[1] + ": " + message);
        }
        c_.out << TerminalText(result.message) << '\n';
        return EXIT_STATUS_OK;
    }

    int ImageBuild() {
        Workspace w(c_.exeDir);
        int status = EXIT_STATUS_OK;
        if (!OpenConfig(w, o_.operands[0], status)) {
            return status;
        }
        ImageBuffer channels1{}, channels2{}, settings{};
        bool built = true;
        if (!w.channels.BuildImage(channels1.data(), o_.channelsVersion, 0)) {
            Fail(EXIT_STATUS_FAILED,
                 std::string(CHANNELS_0_99_FILE) + ": " + TerminalText(w.channels.lastError));
            built = false;
        }
        if (o_.channels2Version != 0 &&
            !w.channels.BuildImage(channels2.data(), o_.channels2Version, TABLE_CHANNELS)) {
            Fail(EXIT_STATUS_FAILED,
                 std::string(CHANNELS_100_199_FILE) + ": " + TerminalText(w.channels.lastError));
            built = false;
        }
        if (!w.settings.BuildSettingsImage(settings.data(), o_.settingsVersion)) {
            Fail(EXIT_STATUS_FAILED,
                 std::string(SETTINGS_FILE) + ": " + TerminalText(w.settings.lastError));
            built = false;
        }
        if (!built) {
            return Fail(EXIT_STATUS_FAILED, "no image written");
        }
        ImageSet images;
        images.channels0_99 = channels1;
        images.channels100_199 = channels2;
        images.settings = settings;
        images.hasChannels100_199 = o_.channels2Version != 0;
        try {
            WriteImageFolder(o_.operands[1], images);
        } catch (const FileError& e) {
            return Fail(EXIT_STATUS_FILE, e.what());
        }
        return EXIT_STATUS_OK;
    }

    int ImageParse() {
        Workspace w(c_.exeDir);
        w.captions = NewConfig(w.channels, w.settings);
        const std::filesystem::path dir = o_.operands[0];
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
            return Fail(EXIT_STATUS_FILE, e.what());
        }
        bool parsed = true;
        if (!w.channels.ParseImage(channels1.data(), 0)) {
            Fail(EXIT_STATUS_FAILED,
                 std::string(CHANNELS_0_99_FILE) + ": " + TerminalText(w.channels.lastError));
            parsed = false;
        }
        if (second && !w.channels.ParseImage(channels2.data(), TABLE_CHANNELS)) {
            Fail(EXIT_STATUS_FAILED,
                 std::string(CHANNELS_100_199_FILE) + ": " + TerminalText(w.channels.lastError));
            parsed = false;
        }
        if (!w.settings.ParseSettingsImage(settings.data())) {
            Fail(EXIT_STATUS_FAILED, std::string(SETTINGS_FILE) + ": not a valid settings image");
            parsed = false;
        }
        if (!parsed) {
            return Fail(EXIT_STATUS_FAILED, "nothing saved");
        }
        int status = EXIT_STATUS_OK;
        SaveConfig(w, o_.operands[1], status);
        return status;
    }

    // Writes the images of the last read or write into the --images directory.
    bool KeepImages(const OperationDriver& driver, int& status) {
        if (o_.images.empty() || !driver.TablesListed()) {
            return true;
        }
        // The folder is written as a whole: never some images of this run beside older ones.
        ImageSet images;
        std::copy_n(driver.Buffer(BUFFER_CHANNELS_0_99), images.channels0_99.size(),
                    images.channels0_99.begin());
        std::copy_n(driver.Buffer(BUFFER_CHANNELS_100_199), images.channels100_199.size(),
                    images.channels100_199.begin());
        std::copy_n(driver.Buffer(BUFFER_SETTINGS), images.settings.size(),
                    images.settings.begin());
        images.hasChannels100_199 = driver.SecondTable();
        try {
            WriteImageFolder(o_.images, images);
            return true;
        } catch (const FileError& e) {
            status = Fail(EXIT_STATUS_FILE, e.what());
            return false;
        }
    }

    int OutcomeStatus(const OperationDriver& driver) {
        switch (driver.Outcome()) {
        case OperationOutcome::Succeeded:
            return EXIT_STATUS_OK;
        case OperationOutcome::PortNotOpened: {
            std::string message = "cannot open COM" + std::to_string(driver.port_number);
            if (!driver.OpenError().empty()) {
                message += ": " + driver.OpenError();
            } else if (driver.port_number != 0 && ComPortDevice(driver.port_number).empty()) {
                message += ": no device behind this port number";
            }
            return Fail(EXIT_STATUS_FAILED, message);
        }
        case OperationOutcome::LinkError:
            return Fail(EXIT_STATUS_FAILED,
                        o_.command + " failed: link error " + std::to_string(driver.LinkError()));
        case OperationOutcome::TableError:
            return Fail(EXIT_STATUS_FAILED, o_.command + " failed: a table did not parse");
        case OperationOutcome::Refused:
            return Fail(EXIT_STATUS_FAILED, "write refused");
        case OperationOutcome::Cancelled:
            return Fail(EXIT_STATUS_FAILED, "interrupted");
        case OperationOutcome::BackupFailed:
            return Fail(EXIT_STATUS_FAILED, "write stopped: the backup could not be saved");
        case OperationOutcome::VerifyFailed:
            return Fail(EXIT_STATUS_FAILED,
                        "write failed: the radio does not hold what was written");
        default:
            return Fail(EXIT_STATUS_FAILED, o_.command + " did not run");
        }
    }

    int Radio() {
        AcceptSecondType = AcceptSecondType || o_.secondType;
        Workspace w(c_.exeDir);
        int status = EXIT_STATUS_OK;
        int32_t mode = MODE_IDENTIFY;
        if (o_.command == "read") {
            mode = MODE_READ;
            w.captions = NewConfig(w.channels, w.settings);
        } else if (o_.command == "write") {
            mode = MODE_WRITE;
            if (!OpenConfig(w, o_.operands[0], status)) {
                return status;
            }
        }

        RadioTarget target;
        std::string error;
        if (!target.Setup(o_.port, o_.device, o_.simulate, o_.simState, error)) {
            return Fail(target.stateFileFailed() ? EXIT_STATUS_FILE : EXIT_STATUS_FAILED, error);
        }
        TerminalOutput output(c_.out, c_.err, c_.progressBar);
        RadioSession session(w.channels, w.settings, w.info, output);
        if (mode == MODE_WRITE) {
            ApplyWriteSafety(o_, session.driver());
        }
        session.Run(mode, target.port(), c_.cancel);
        const OperationDriver& driver = session.driver();

        if (mode == MODE_IDENTIFY && w.info.has_block0) {
            c_.out << TerminalText(w.info.BuildReport());
        }
        status = OutcomeStatus(driver);
        int fileStatus = EXIT_STATUS_OK;
        if (mode == MODE_READ) {
            if (driver.Outcome() == OperationOutcome::Succeeded ||
                driver.Outcome() == OperationOutcome::TableError) {
                KeepImages(driver, fileStatus);
            }
            if (driver.Outcome() == OperationOutcome::Succeeded) {
                SelectRangeFromRadio(w);
                w.captions = FlagCaptionsForOptions(w.info.options);
                SaveConfig(w, o_.output, fileStatus);
            }
        } else if (mode == MODE_WRITE) {
            ReportWriteFailure(o_, driver, c_.err);
            if (o_.dryRun && driver.Outcome() == OperationOutcome::Succeeded) {
                for (const ConfigDifference& d : driver.PlannedChanges().items) {
                    c_.out << Cp1251ToUtf8(DifferenceLine(d)) << '\n';
                }
            }
            KeepImages(driver, fileStatus);
            if (driver.TablesListed() && !driver.SecondTable() && UsesSecondTable(w.channels)) {
                c_.err << "zorvex-cli: warning: the radio has no table for channels 100-199; "
                          "the channels 100-199 of "
                       << o_.operands[0] << " were not written\n";
            }
        }
        if (!target.Finish(error)) {
            Fail(EXIT_STATUS_FILE, error);
            fileStatus = EXIT_STATUS_FILE;
        }
        return status != EXIT_STATUS_OK ? status : fileStatus;
    }

    const CliOptions& o_;
    CliContext& c_;
};

} // namespace

int RunCli(const std::vector<std::string>& args, CliContext& context) {
    CliOptions options;
    std::string error;
    if (!ParseCliOptions(args, options, error)) {
        context.err << "zorvex-cli: " << error << "\n"
                    << "Try 'zorvex-cli --help'.\n";
        return EXIT_STATUS_USAGE;
    }
    if (options.help) {
        context.out << CliHelpText(options.command, options.subcommand);
        return EXIT_STATUS_OK;
    }
    return Cli(options, context).Run();
}
