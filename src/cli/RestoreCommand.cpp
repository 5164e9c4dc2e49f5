#include "cli/RestoreCommand.h"

#include "cli/ExitStatus.h"
#include "cli/RadioSession.h"
#include "cli/RadioTarget.h"
#include "cli/TerminalOutput.h"
#include "cli/WriteSafetyReport.h"
#include "files/BackupStore.h"
#include "files/FileError.h"
#include "model/ChannelsContext.h"
#include "model/InfoContext.h"
#include "model/SettingsContext.h"

int RunRestoreCommand(const CliOptions& o, CliContext& c) {
    const std::filesystem::path folder = o.operands[0];
    ImageSet images;
    try {
        images = ReadImageFolder(folder);
    } catch (const FileError& e) {
        return CliFail(c, EXIT_STATUS_FILE, e.what());
    }
    uint32_t serial = NO_SERIAL;
    if (!BackupSerial(folder, serial) && !o.force) {
        return CliFail(c, EXIT_STATUS_FAILED,
                       "restore refused: " + o.operands[0] +
                           " is not in a folder named after a serial number "
                           "(BACKUPS/SERIAL/TIME), so its radio is unknown; --force restores it "
                           "anyway");
    }

    ChannelsContext channels;
    SettingsContext settings;
    TInfoContext info;
    RadioTarget target;
    std::string error;
    if (!target.Setup(o.port, o.device, o.simulate, o.simState, error)) {
        return CliFail(c, target.stateFileFailed() ? EXIT_STATUS_FILE : EXIT_STATUS_FAILED, error);
    }
    TerminalOutput output(o.quiet ? nullptr : &c.out, c.err, c.progressBar && !o.quiet);
    RadioSession session(channels, settings, info, output, o.verbose || o.trace, o.trace);
    ApplyWriteSafety(o, session.driver());
    session.driver().SetRestoreImages(images, serial, o.force);
    session.Run(MODE_RESTORE, target.port(), c.cancel);
    const OperationDriver& driver = session.driver();

    int status = EXIT_STATUS_OK;
    switch (driver.Outcome()) {
    case OperationOutcome::Succeeded:
        break;
    case OperationOutcome::Refused:
        status = EXIT_STATUS_FAILED;
        c.err << "zorvex-cli: restore refused: ";
        switch (driver.Refusal()) {
        case WriteRefusal::Serial:
            c.err << "the backup is of the radio with serial number " << SerialFolderName(serial)
                  << ", the radio on the port has " << SerialFolderName(info.serial_number)
                  << " (--force restores it anyway)";
            break;
        case WriteRefusal::Tables:
            c.err << "the backup's tables do not fit this radio (a table missing, extra or of "
                     "another version; see the log)";
            break;
        case WriteRefusal::Programmer:
            c.err << "the radio requires another programmer";
            break;
        default:
            c.err << "see the log";
            break;
        }
        c.err << "; nothing was written\n";
        break;
    case OperationOutcome::PortNotOpened:
        status = EXIT_STATUS_FAILED;
        c.err << "zorvex-cli: cannot open COM" << driver.port_number
              << (driver.OpenError().empty() ? std::string() : ": " + driver.OpenError()) << '\n';
        break;
    case OperationOutcome::LinkError:
        status = EXIT_STATUS_FAILED;
        c.err << "zorvex-cli: restore failed: link error " << driver.LinkError() << '\n';
        break;
    default:
        status = EXIT_STATUS_FAILED;
        c.err << "zorvex-cli: restore failed\n";
        break;
    }
    ReportWriteFailure(o, driver, c.err);
    if (!target.Finish(error)) {
        return CliFail(c, status != EXIT_STATUS_OK ? status : EXIT_STATUS_FILE, error);
    }
    return status;
}
