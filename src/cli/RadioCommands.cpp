#include <algorithm>
#include <utility>

#include "cli/CliCommands.h"
#include "cli/ExitStatus.h"
#include "cli/FailureText.h"
#include "cli/Fleet.h"
#include "cli/JsonWriter.h"
#include "cli/RadioJson.h"
#include "cli/RadioSession.h"
#include "cli/RadioTarget.h"
#include "cli/TerminalOutput.h"
#include "cli/TerminalText.h"
#include "cli/Workspace.h"
#include "cli/WriteSafetyReport.h"
#include "files/BackupStore.h"
#include "files/ConfigFile.h"
#include "files/FileError.h"
#include "files/ImageFiles.h"
#include "files/ImageFolder.h"
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
        Workspace w(c_.exeDir);
        int status = EXIT_STATUS_OK;
        int32_t mode = MODE_IDENTIFY;
        if (o_.command == "read") {
            mode = MODE_READ;
            w.captions = NewConfig(w.channels, w.settings);
        } else if (o_.command == "write") {
            mode = MODE_WRITE;
            if (!OpenConfig(c_, w, o_.operands[0], o_.force, status, &failure_)) {
                return NotRun(status);
            }
        }

        RadioTarget target;
        std::string error;
        if (!target.Setup(o_.port, o_.device, o_.simulate, o_.simState, error)) {
            if (target.stateFileFailed()) {
                return NotRun(FileFailed(error));
            }
            failure_ = error;
            return NotRun(CliFail(c_, EXIT_STATUS_FAILED, error));
        }
        // The log goes to stderr when stdout carries the result (a JSON document, the
        // configuration itself), nowhere with --quiet.
        std::ostream* log = &c_.out;
        if (o_.json || o_.output == "-") {
            log = &c_.err;
        }
        if (o_.quiet) {
            log = nullptr;
        }
        TerminalOutput output(log, c_.err, c_.progressBar && !o_.quiet,
                              o_.quiet ? nullptr : c_.progress);
        RadioSession session(w.channels, w.settings, w.info, output, o_.verbose || o_.trace,
                             o_.trace);
        if (mode == MODE_WRITE) {
            ApplyWriteSafety(o_, session.driver());
        }
        session.Run(mode, target.port(), c_.cancel);
        const OperationDriver& driver = std::as_const(session).driver();
        outcome_ = driver.Outcome();
        if (w.info.has_block0) {
            serial_ = SerialFolderName(w.info.serial_number);
        }

        if (mode == MODE_IDENTIFY && w.info.has_block0 && !o_.json) {
            c_.out << TerminalText(w.info.BuildReport());
        }
        status = OutcomeStatus(driver, w);
        int fileStatus = EXIT_STATUS_OK;
        if (mode == MODE_READ) {
            if (driver.Outcome() == OperationOutcome::Succeeded ||
                driver.Outcome() == OperationOutcome::TableError) {
                KeepImages(driver, fileStatus);
            }
            if (driver.Outcome() == OperationOutcome::Succeeded) {
                SelectRangeFromRadio(w);
                w.captions = FlagCaptionsForOptions(w.info.options);
                if (o_.output == "-") {
                    WriteConfigToOutput(w, fileStatus);
                } else {
                    SaveConfig(c_, w, Named(o_.output), fileStatus, &failure_);
                }
            }
        } else if (mode == MODE_WRITE) {
            ReportWriteFailure(o_, driver, c_.err);
            if (o_.dryRun && driver.Outcome() == OperationOutcome::Succeeded && !o_.json) {
                for (const ConfigDifference& d : driver.PlannedChanges().items) {
                    c_.out << TerminalText(DifferenceLine(d)) << '\n';
                }
            }
            KeepImages(driver, fileStatus);
            if (driver.TablesListed() && !driver.SecondTable() && UsesSecondTable(w.channels)) {
                CliWarn(c_,
                        "the radio has no table for channels 100-199; the channels 100-199 of " +
                            o_.operands[0] + " were not written");
            }
        }
        if (!target.Finish(error)) {
            fileStatus = FileFailed(error);
        }
        status = status != EXIT_STATUS_OK ? status : fileStatus;
        if (o_.json) {
            WriteJson(SummaryOf(driver), &w.info, output.Lines(), status);
        }
        return status;
    }

    // What the run came to, for the summary of several radios.
    void Report(RadioRunReport& report, int status) const {
        report.status = status;
        report.result = OutcomeName(outcome_);
        report.serial = serial_;
        report.reason = failure_;
    }

private:
    // A file or folder name with {serial} and {port} put in.
    std::string Named(const std::string& pattern) const {
        return ExpandRadioName(pattern, RadioLabel(o_), serial_.empty() ? "unknown" : serial_);
    }

    // Writes the images of the last read or write into the --images directory.
    void KeepImages(const OperationDriver& driver, int& status) {
        if (o_.images.empty() || !driver.TablesListed()) {
            return;
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
            WriteImageFolder(Named(o_.images), images);
        } catch (const FileError& e) {
            status = FileFailed(e.what());
        }
    }

    // A file that could not be read or written; the first such error is the document's.
    int FileFailed(const std::string& message) {
        if (failure_.empty()) {
            failure_ = message;
        }
        return CliFail(c_, EXIT_STATUS_FILE, message);
    }

    // The configuration file's text on standard output (-o -).
    void WriteConfigToOutput(Workspace& w, int& status) {
        try {
            c_.out << ConfigDocumentText(w.channels, w.settings, w.captions);
        } catch (const FileError& e) {
            status = FileFailed(std::string("standard output: ") + e.what());
            return;
        }
        c_.out.flush();
        if (!c_.out) {
            status = FileFailed("standard output: the configuration could not be written");
        }
    }

    // A command that ended before its operation began: with --json its document still says
    // what went wrong.
    int NotRun(int status) {
        if (o_.json) {
            WriteJson(Summary{}, nullptr, {}, status);
        }
        return status;
    }

    // What the document says of the operation.
    struct Summary {
        OperationOutcome outcome = OperationOutcome::NotRun;
        int linkError = 0;
        int port = 0;
        bool secondTable = false;
    };

    static Summary SummaryOf(const OperationDriver& driver) {
        return Summary{driver.Outcome(), driver.LinkError(), driver.port_number,
                       driver.SecondTable()};
    }

    void WriteJson(const Summary& summary, const TInfoContext* info,
                   const std::vector<std::string>& log, int& status) {
        JsonWriter json;
        json.BeginObject();
        json.Key("command").String(o_.command);
        json.Key("result").String(OutcomeName(summary.outcome));
        json.Key("exit_status").Number(status);
        json.Key("error");
        if (failure_.empty()) {
            json.Null();
        } else {
            json.String(failure_);
        }
        json.Key("link_error");
        if (summary.linkError != 0) {
            json.Number(summary.linkError);
        } else {
            json.Null();
        }
        json.Key("port").Number(summary.port);
        if (o_.command == "read" || o_.command == "write") {
            json.Key("file").String(o_.command == "read" ? Named(o_.output) : o_.operands[0]);
            json.Key("second_table").Bool(summary.secondTable);
        }
        json.Key("radio");
        if (info != nullptr && info->has_block0) {
            WriteRadioJson(json, *info);
        } else {
            json.Null();
        }
        json.Key("log").BeginArray();
        for (const std::string& line : log) {
            json.String(line);
        }
        json.EndArray();
        json.EndObject();
        c_.out << json.Text();
        c_.out.flush();
        if (!c_.out && status == EXIT_STATUS_OK) {
            status =
                CliFail(c_, EXIT_STATUS_FILE, "standard output: the document could not be written");
        }
    }

    static const char* OutcomeName(OperationOutcome outcome) {
        switch (outcome) {
        case OperationOutcome::Succeeded:
            return "succeeded";
        case OperationOutcome::PortNotOpened:
            return "port_not_opened";
        case OperationOutcome::LinkError:
            return "link_error";
        case OperationOutcome::TableError:
            return "table_error";
        case OperationOutcome::Refused:
            return "refused";
        case OperationOutcome::Cancelled:
            return "cancelled";
        case OperationOutcome::BackupFailed:
            return "backup_failed";
        case OperationOutcome::VerifyFailed:
            return "verify_failed";
        default:
            return "not_run";
        }
    }

    // Why a write was refused, from what the identification found.
    std::string RefusalText(const Workspace& w) {
        std::vector<std::string> reasons;
        const FreqRange* current = w.channels.ranges.current();
        if (current == nullptr || !w.info.ranges.Equals(*current)) {
            reasons.push_back("the radio's frequency ranges (" + RangeSetMhzText(w.info.ranges) +
                              ") differ from those of " + o_.operands[0] + " (" +
                              (current != nullptr ? RangeSetMhzText(*current) : "none") +
                              "); write a configuration made for the radio's ranges");
        }
        if (!w.info.IsProgrammerAccepted(w.info.programmer_id)) {
            std::string reason = "the radio requires another programmer [" +
                                 TerminalText(w.info.programmer_id) + "]";
            if (!o_.secondType) {
                reason += "; --second-type also accepts the alternative identifier";
            }
            reasons.push_back(reason);
        }
        if (reasons.empty()) {
            std::string reason = "a table image could not be built";
            const std::string& detail =
                !w.channels.lastError.empty() ? w.channels.lastError : w.settings.lastError;
            if (!detail.empty()) {
                reason += ": " + TerminalText(detail);
            }
            reasons.push_back(reason);
        }
        std::string text = "write refused: ";
        for (size_t i = 0; i < reasons.size(); ++i) {
            text += (i > 0 ? "; and " : "") + reasons[i];
        }
        return text;
    }

    int Failed(const std::string& message) {
        failure_ = message;
        return CliFail(c_, EXIT_STATUS_FAILED, message);
    }

    int OutcomeStatus(const OperationDriver& driver, const Workspace& w) {
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
            return Failed(message);
        }
        case OperationOutcome::LinkError:
            return Failed(o_.command + " failed: " + LinkFailureText(driver.LinkError()));
        case OperationOutcome::TableError:
            return Failed(o_.command +
                          " failed: a table read from the radio did not parse (see the log "
                          "above); the configuration was not saved");
        case OperationOutcome::Refused:
            return Failed(RefusalText(w));
        case OperationOutcome::Cancelled:
            return Failed("interrupted");
        case OperationOutcome::BackupFailed:
            return Failed("write stopped: the backup could not be saved; the radio was not "
                          "changed (see the log above; --backup-dir DIR saves it elsewhere)");
        case OperationOutcome::VerifyFailed:
            return Failed("write failed: the radio does not hold what was written");
        default:
            return Failed(o_.command + " did not run");
        }
    }

    const CliOptions& o_;
    CliContext& c_;
    std::string failure_; // the error line of a failed operation
    OperationOutcome outcome_ = OperationOutcome::NotRun;
    std::string serial_; // of the identified radio, as backups name it
};

} // namespace

int RunOneRadio(const CliOptions& o, CliContext& c, RadioRunReport* report) {
    RadioCommand command(o, c);
    const int status = command.Run();
    if (report != nullptr) {
        command.Report(*report, status);
    }
    return status;
}

int RunRadioCommand(const CliOptions& o, CliContext& c) {
    if (o.RadioCount() > 1) {
        return RunFleet(o, c);
    }
    return RunOneRadio(o, c, nullptr);
}
