#include "cli/CliCommands.h"
#include "cli/ExitStatus.h"
#include "cli/ImageFiles.h"
#include "cli/RadioSession.h"
#include "cli/RadioTarget.h"
#include "cli/TerminalOutput.h"
#include "cli/TerminalText.h"
#include "cli/Workspace.h"
#include "files/ConfigFile.h"
#include "files/FileError.h"
#include "link/ComPorts.h"

namespace {

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

class RadioCommand {
public:
    RadioCommand(const CliOptions& options, CliContext& context) : o_(options), c_(context) {}

    int Run() {
        AcceptSecondType = AcceptSecondType || o_.secondType;
        Workspace w(c_.exeDir);
        int status = EXIT_STATUS_OK;
        int32_t mode = MODE_IDENTIFY;
        if (o_.command == "read") {
            mode = MODE_READ;
            w.captions = NewConfig(w.channels, w.settings);
        } else if (o_.command == "write") {
            mode = MODE_WRITE;
            if (!OpenConfig(c_, w, o_.operands[0], status)) {
                return status;
            }
        }

        RadioTarget target;
        std::string error;
        if (!target.Setup(o_.port, o_.device, o_.simulate, o_.simState, error)) {
            return CliFail(c_, target.stateFileFailed() ? EXIT_STATUS_FILE : EXIT_STATUS_FAILED,
                           error);
        }
        TerminalOutput output(c_.out, c_.err, c_.progressBar);
        RadioSession session(w.channels, w.settings, w.info, output);
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
                SaveConfig(c_, w, o_.output, fileStatus);
            }
        } else if (mode == MODE_WRITE) {
            KeepImages(driver, fileStatus);
            if (driver.TablesListed() && !driver.SecondTable() && UsesSecondTable(w.channels)) {
                CliWarn(c_,
                        "the radio has no table for channels 100-199; the channels 100-199 of " +
                            o_.operands[0] + " were not written");
            }
        }
        if (!target.Finish(error)) {
            CliFail(c_, EXIT_STATUS_FILE, error);
            fileStatus = EXIT_STATUS_FILE;
        }
        return status != EXIT_STATUS_OK ? status : fileStatus;
    }

private:
    // Writes the images of the last read or write into the --images directory.
    bool KeepImages(const OperationDriver& driver, int& status) {
        if (o_.images.empty() || !driver.TablesListed()) {
            return true;
        }
        try {
            WriteImageFile(o_.images, CHANNELS_0_99_FILE, driver.Buffer(BUFFER_CHANNELS_0_99));
            if (driver.SecondTable()) {
                WriteImageFile(o_.images, CHANNELS_100_199_FILE,
                               driver.Buffer(BUFFER_CHANNELS_100_199));
            }
            WriteImageFile(o_.images, SETTINGS_FILE, driver.Buffer(BUFFER_SETTINGS));
            return true;
        } catch (const FileError& e) {
            status = CliFail(c_, EXIT_STATUS_FILE, e.what());
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
            return CliFail(c_, EXIT_STATUS_FAILED, message);
        }
        case OperationOutcome::LinkError:
            return CliFail(c_, EXIT_STATUS_FAILED,
                           o_.command + " failed: link error " +
                               std::to_string(driver.LinkError()));
        case OperationOutcome::TableError:
            return CliFail(c_, EXIT_STATUS_FAILED, o_.command + " failed: a table did not parse");
        case OperationOutcome::Refused:
            return CliFail(c_, EXIT_STATUS_FAILED, "write refused");
        case OperationOutcome::Cancelled:
            return CliFail(c_, EXIT_STATUS_FAILED, "interrupted");
        default:
            return CliFail(c_, EXIT_STATUS_FAILED, o_.command + " did not run");
        }
    }

    const CliOptions& o_;
    CliContext& c_;
};

} // namespace

int RunRadioCommand(const CliOptions& o, CliContext& c) {
    return RadioCommand(o, c).Run();
}
