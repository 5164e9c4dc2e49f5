#include "cli/WriteSafetyReport.h"

void ApplyWriteSafety(const CliOptions& o, OperationDriver& driver) {
    driver.safety.backup = !o.noBackup && !o.dryRun;
    driver.safety.verify = !o.noVerify && !o.dryRun;
    driver.safety.dryRun = o.dryRun;
    driver.safety.backupRoot = o.backupDir;
}

std::string ShellQuoted(const std::string& text) {
    if (!text.empty() &&
        text.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                               "0123456789/._-+=:,@") == std::string::npos) {
        return text;
    }
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string RadioArguments(const CliOptions& o) {
    std::string args;
    if (!o.device.empty()) {
        args = "--device " + ShellQuoted(o.device);
    } else if (o.simulate) {
        args = "--simulate";
        if (!o.simState.empty()) {
            args += " --sim-state " + ShellQuoted(o.simState);
        }
    } else {
        args = "--port " + std::to_string(o.port);
    }
    if (o.secondType) {
        args += " --second-type";
    }
    return args;
}

namespace {

const char* TableText(int table) {
    switch (table) {
    case 0:
        return "channel table 0-99";
    case 3:
        return "channel table 100-199";
    default:
        return "settings table";
    }
}

} // namespace

void ReportWriteFailure(const CliOptions& o, const OperationDriver& driver, std::ostream& err) {
    const std::string& folder = driver.BackupFolder();
    if (driver.Outcome() == OperationOutcome::Succeeded) {
        return;
    }
    if (driver.Outcome() == OperationOutcome::VerifyFailed) {
        err << "zorvex-cli: the radio does not hold what was written: its "
            << TableText(driver.VerifyTable()) << " differs from the image sent at byte "
            << driver.VerifyOffset() << '\n';
    } else if (driver.Outcome() == OperationOutcome::BackupFailed) {
        err << "zorvex-cli: the backup could not be saved, so nothing was written; the radio "
               "is unchanged (--backup-dir DIR saves it elsewhere)\n";
        return;
    } else if (driver.RadioTouched()) {
        err << "zorvex-cli: the write was cut off: the radio may hold partly written tables\n";
    } else {
        return;
    }
    if (!folder.empty()) {
        err << "zorvex-cli: the radio's previous tables are in " << folder
            << "; to write them back, run:\n"
            << "  zorvex-cli restore " << ShellQuoted(folder) << ' ' << RadioArguments(o) << '\n';
    }
}
