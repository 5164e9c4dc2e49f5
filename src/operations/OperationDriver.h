#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "files/ImageFolder.h"
#include "link/LinkTrace.h"
#include "link/PortOpenFailure.h"
#include "operations/ConfigDiff.h"
#include "operations/LogStream.h"

class ChannelsContext;
class SettingsContext;
class TInfoContext;
class ComThread;

// Operation modes.
enum OperationMode : int32_t {
    MODE_READ = 1,
    MODE_WRITE = 2,
    MODE_IDENTIFY = 3,
    MODE_RESTORE = 4, // a write of stored images (SetRestoreImages), not built from the model
};

// States of the machine.
enum OperationState : int32_t {
    STATE_INACTIVE = 0,
    STATE_OPEN = 1,
    STATE_START_READ = 2,
    STATE_START_WRITE = 3,
    STATE_IDENTIFYING = 4,
    STATE_CLOSE = 5,
    STATE_READING = 6,
    STATE_WRITING = 7,
    STATE_DONE = 8,
    STATE_BACKUP_READING = 9, // a write reads the tables it is about to replace
    STATE_VERIFYING = 10,     // a write reads back the tables it has written
};

// The six job buffers of an operation.
enum OperationBuffer : int {
    BUFFER_INFO0 = 0,
    BUFFER_INFO1 = 1,
    BUFFER_INFO2 = 2,
    BUFFER_CHANNELS_0_99 = 3,
    BUFFER_CHANNELS_100_199 = 4,
    BUFFER_SETTINGS = 5,
    BUFFER_COUNT = 6,
};

// How the last operation ended, for hosts that must tell success from failure (the
// command-line tool's exit status). The log holds the details.
enum class OperationOutcome {
    NotRun,        // nothing started yet
    Running,       // between Start and the done state
    Succeeded,     // identify, read or write went through
    PortNotOpened, // no port chosen, device absent or busy
    LinkError,     // the worker left an error code
    TableError,    // a table read from the radio failed to parse
    Refused,       // write refused: ranges differ, programmer not accepted, image not built
    Cancelled,     // closed by the user before the operation ended
    BackupFailed,  // write stopped before anything was sent: the backup could not be saved
    VerifyFailed,  // written, but the radio does not hold what was sent
};

// Why a write or restore was refused (outcome Refused).
enum class WriteRefusal {
    None,
    Ranges,     // the radio's range set is not the configuration's
    Programmer, // the radio needs another programmer
    Build,      // an image could not be built
    Serial,     // restore: the radio's serial number is not the backup's
    Tables,     // restore: the backup's tables are not the radio's (presence or version)
};

// The safety steps of a write (and restore). Off here, so a driver on its own writes the
// plain way; the desktop program and the command-line tool switch backup and verify on
// unless the user turned them off.
struct WriteSafety {
    bool backup = false;    // read and keep the tables about to be replaced, before writing
    bool verify = false;    // read back what was written and compare it byte for byte
    bool dryRun = false;    // stop after reading the radio's tables: nothing is written
    std::string backupRoot; // where backups go; empty: DefaultBackupRoot()
};

// The state machine of a radio operation (identify, read, write) with no user interface
// in it. It owns the transfer worker from the opening of the port to its closing and is
// driven on the host's thread:
//   - the host sets port_number (and, if it likes, the preset bar values) and calls Start;
//   - the worker's progress notifications reach the driver through the poster the host
//     supplied: the driver hands the poster a call, the host queues it onto its own
//     thread and runs it there later (a queued Qt call, a queue in a terminal loop);
//   - the host calls Close when the user closes the window (Esc, close button, Ctrl+C);
//   - Finished() tells when nothing more will happen; onFinished fires once then.
// The model objects are the host's and are changed only on the host's thread.
class OperationDriver {
public:
    // Queues a call onto the host's thread. Called from the worker's thread; must not wait
    // for the host.
    using Poster = std::function<void(std::function<void()>)>;

    OperationDriver(ChannelsContext& channels, SettingsContext& settings, TInfoContext& info,
                    Poster poster);
    ~OperationDriver(); // closes the worker, if any
    OperationDriver(const OperationDriver&) = delete;
    OperationDriver& operator=(const OperationDriver&) = delete;

    // Begins an operation in the given mode: enables the log, clears it, sets state 1 and
    // runs the machine (opening the port and starting the identification list). An
    // operation still running is closed first.
    void Start(int32_t mode);

    // Runs the machine for one progress notification of the worker.
    void RunStateMachine();

    // The user closed the operation: stops the worker, closes the port (blocking for at
    // most about a second), state 8, no log line.
    void Close();

    bool Finished() const { return state == STATE_DONE || state == STATE_INACTIVE; }
    OperationOutcome Outcome() const { return outcome_; }
    // The worker's error code when the outcome is LinkError, else 0.
    int LinkError() const { return link_error_; }
    // Why the port could not be opened (the system's words), when the outcome is
    // PortNotOpened; empty otherwise and when no port was chosen.
    const std::string& OpenError() const { return open_error_; }
    // The same reason for a program to act on (failure None when no port was tried).
    const PortOpenReason& OpenFailure() const { return open_failure_; }
    // With link error 24: bytes arrived but never a valid reply (another device?).
    bool DataWithoutReply() const { return data_without_reply_; }

    // One of the six 2048-byte buffers. After a read: the images as read (the channel image
    // 100-199 only when SecondTable()); after a write: the images sent.
    const uint8_t* Buffer(int index) const { return buffers_[index].data(); }
    // The read or write list held the channel table 100-199.
    bool SecondTable() const { return second_table_; }
    // The read or write list was handed to the worker (for a write: every image was built).
    bool TablesListed() const { return tables_listed_; }

    // The images a MODE_RESTORE operation writes, and the serial number of the radio they
    // came from (NO_SERIAL when it had none). force: write also to a radio with another
    // serial number.
    void SetRestoreImages(const ImageSet& images, uint32_t serial, bool force);

    // The backup folder the last write made; empty when it made none.
    const std::string& BackupFolder() const { return backup_folder_; }
    // The changes the last write was about to make (after its backup read): the radio's
    // tables as read against the images to be written.
    const ConfigDiff& PlannedChanges() const { return planned_; }
    // The last write sent at least one write request: the radio may have changed.
    bool RadioTouched() const { return radio_touched_; }
    WriteRefusal Refusal() const { return refusal_; }
    // Used channels 100-199 the last write could not send (the radio has no table for them).
    int UnwrittenChannels() const { return unwritten_channels_; }
    // Table that failed the verify (0, 3 or 1) and its first differing offset; -1 when none.
    int VerifyTable() const { return verify_table_; }
    int VerifyOffset() const { return verify_offset_; }

    WriteSafety safety;

    // Members the host may read, and set before Start.
    int32_t port_number = 0; // COM port; 0 = none chosen
    int32_t mode = 0;        // OperationMode
    int32_t state = STATE_INACTIVE;
    int32_t percent = 0;    // drawn by the progress bar
    uint32_t bar_color = 0; // 0x00BBGGRR

    ChannelsContext* channels;
    SettingsContext* settings;
    TInfoContext* info;

    LogStream log; // the host attaches its sink

    // Called whenever the progress bar must be redrawn (percent or bar_color changed).
    std::function<void()> onProgress;
    // Observer of the line traffic, handed to each new worker (none by default). It runs on
    // the worker's thread.
    LinkObserver linkObserver;
    // Called once when the operation reaches state 8, normally or through Close. It must
    // not destroy the driver.
    std::function<void()> onFinished;

private:
    bool OpenWorker();
    void CloseWorker();
    bool Wait(); // the waiting step of states 4, 6 and 7; true when the list has finished
    // Hands the worker the table list: channels 0-99, channels 100-199 when the radio has
    // them, then the settings.
    void StartTableJobs(int32_t op, int32_t settingsLength);
    // After a list has finished: logs and keeps the worker's error; true when there was one.
    bool TakeListError();
    // Each step performs its state and returns whether the machine goes on at once (false:
    // work was handed to the worker, or the step must wait for it).
    bool StepOpen();
    bool StepIdentifying();
    bool StepStartRead();
    bool StepStartWrite();
    bool StepReading();
    bool StepWriting();
    bool StepClose();
    bool StepBackupReading();
    bool StepVerifying();
    // Restore: the checks of the stored images against the identified radio.
    bool RestoreAccepted();
    bool SafetyOn() const { return safety.backup || safety.verify || safety.dryRun; }
    // A list reading the three tables into the given buffers (backup or verify).
    void StartCheckRead(std::array<std::array<uint8_t, 2048>, 3>& into);
    void StartNextWrite();
    bool WaitWrite();
    bool SaveBackup();
    void ComputePlannedChanges();
    void LogUnchanged();
    void LogInterrupted();
    void ClearSecondTableSlots();
    void TakeRestoredModel();
    void RunSteps();
    void LogError(int code);
    // Logs the link error and ends the operation's outcome as a link error.
    void FailWithLinkError(int error);
    // "Резервная копия: <folder>" when a backup was made.
    void LogBackupFolder();
    // The write (and its verify) came through: a restore takes the restored tables as the
    // model; closes with success.
    bool FinishWritten();
    // The line after "cannot open the port" that says why, when the reason is known.
    void LogOpenFailure();
    void LogOtherProgrammer();
    void Repaint();
    void EnterDone();
    void OnWorkerNotify(uint64_t generation);
    uint8_t* Buf(int index) { return buffers_[index].data(); }

    struct WorkerDeleter {
        void operator()(ComThread* worker) const;
    };

    Poster poster_;
    std::unique_ptr<ComThread, WorkerDeleter> worker_;
    std::array<std::array<uint8_t, 2048>, BUFFER_COUNT> buffers_{};
    // Backup read (index 0: channels 0-99, 1: channels 100-199, 2: settings) and verify read.
    std::array<std::array<uint8_t, 2048>, 3> backup_{};
    std::array<std::array<uint8_t, 2048>, 3> verify_{};
    ImageSet restore_{};
    uint32_t restore_serial_ = 0;
    bool restore_force_ = false;
    // The write goes table by table, so a failure can name what was written completely.
    struct WriteStep {
        int32_t address;
        int32_t length;
        int buffer;
    };
    std::array<WriteStep, 3> write_steps_{};
    int write_count_ = 0;
    int write_next_ = 0; // the table being written
    int32_t write_total_ = 0;
    int32_t write_done_ = 0; // lengths of the tables written completely
    std::string backup_folder_;
    ConfigDiff planned_;
    bool radio_touched_ = false;
    WriteRefusal refusal_ = WriteRefusal::None;
    int unwritten_channels_ = 0;
    int verify_table_ = -1;
    int verify_offset_ = -1;
    OperationOutcome outcome_ = OperationOutcome::NotRun;
    int link_error_ = 0;
    bool second_table_ = false;
    bool tables_listed_ = false;
    std::string open_error_;
    PortOpenReason open_failure_;
    bool data_without_reply_ = false;
    bool finished_reported_ = true;
    bool running_ = false;    // RunStateMachine is on the stack
    bool rerun_ = false;      // it was called again meanwhile
    uint64_t generation_ = 0; // which worker the queued notifications belong to
    std::shared_ptr<bool> alive_;
};
