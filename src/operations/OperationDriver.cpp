#include "operations/OperationDriver.h"

#include <cstdarg>
#include <cstdio>
#include <ctime>

#include "files/AtomicFile.h"
#include "files/BackupStore.h"
#ifndef ZORVEX_CORE_ONLY
#include "files/ConfigFile.h"
#endif
#include "files/FileError.h"
#include "link/ComThread.h"
#include "model/ChannelsContext.h"
#include "model/Cp1251.h"
#include "model/FlagCaptions.h"
#include "model/InfoContext.h"
#include "model/SettingsContext.h"
#include "operations/LinkErrorMessage.h"

namespace {

constexpr uint32_t COLOR_IDENTIFYING = 0xC0C000; // green 192, blue 192
constexpr uint32_t COLOR_READING = 0x00C000;     // green 192
constexpr uint32_t COLOR_WRITING = 0x0000C0;     // red 192

constexpr int32_t CHANNELS_ADDRESS = 0x0000;
constexpr int32_t SETTINGS_ADDRESS = 0x0004;
constexpr int32_t CHANNELS2_ADDRESS = 0x000C;
constexpr int32_t CHANNELS_JOB_LENGTH = 2012;
constexpr int32_t SETTINGS_JOB_LENGTH = 34;
constexpr int32_t SETTINGS_1_1_JOB_LENGTH = 38;
constexpr int32_t INFO_JOB_LENGTH[3] = {122, 104, 464};

// printf into Windows-1251 text: the format is UTF-8 source text, the %s arguments are
// Windows-1251 already.
std::string Text(const char* utf8Format, ...) {
    const std::string format = Utf8ToCp1251(utf8Format);
    char buffer[1024];
    va_list args;
    va_start(args, utf8Format);
    int n = std::vsnprintf(buffer, sizeof buffer, format.c_str(), args);
    va_end(args);
    if (n < 0) {
        return std::string();
    }
    return std::string(buffer, static_cast<size_t>(n) < sizeof buffer ? n : sizeof buffer - 1);
}

int Major(uint16_t version) {
    return version >> 8;
}
int Minor(uint16_t version) {
    return version & 0xFF;
}

} // namespace

void OperationDriver::WorkerDeleter::operator()(ComThread* worker) const {
    delete worker;
}

OperationDriver::OperationDriver(ChannelsContext& channels_, SettingsContext& settings_,
                                 TInfoContext& info_, Poster poster)
    : channels(&channels_), settings(&settings_), info(&info_), poster_(std::move(poster)),
      alive_(std::make_shared<bool>(true)) {
    for (auto& buffer : buffers_) {
        buffer.fill(0xFF);
    }
}

OperationDriver::~OperationDriver() {
    *alive_ = false;
    CloseWorker();
}

void OperationDriver::Start(int32_t mode_) {
    CloseWorker();
    mode = mode_;
    outcome_ = OperationOutcome::Running;
    link_error_ = 0;
    open_error_.clear();
    open_failure_ = PortOpenReason{};
    data_without_reply_ = false;
    second_table_ = false;
    tables_listed_ = false;
    backup_folder_.clear();
    planned_ = ConfigDiff();
    radio_touched_ = false;
    refusal_ = WriteRefusal::None;
    unwritten_channels_ = 0;
    verify_table_ = -1;
    verify_offset_ = -1;
    write_count_ = 0;
    write_next_ = 0;
    finished_reported_ = false;
    log.enabled = true;
    log.ClearLog();
    state = STATE_OPEN;
    RunStateMachine();
}

void OperationDriver::SetRestoreImages(const ImageSet& images, uint32_t serial, bool force) {
    restore_ = images;
    restore_serial_ = serial;
    restore_force_ = force;
}

void OperationDriver::Close() {
    if (outcome_ == OperationOutcome::Running && SafetyOn() &&
        (mode == MODE_WRITE || mode == MODE_RESTORE)) {
        if (state == STATE_WRITING) {
            LogInterrupted();
        } else if (state == STATE_VERIFYING) {
            log.LogLine(Text("Проверка записи прервана."));
        } else if (state != STATE_DONE && state != STATE_INACTIVE && state != STATE_CLOSE) {
            LogUnchanged();
        }
    }
    CloseWorker();
    if (outcome_ == OperationOutcome::Running) {
        outcome_ = OperationOutcome::Cancelled;
    }
    EnterDone();
}

void OperationDriver::RunStateMachine() {
    if (running_) {
        rerun_ = true;
        return;
    }
    running_ = true;
    do {
        rerun_ = false;
        RunSteps();
    } while (rerun_);
    running_ = false;
}

void OperationDriver::RunSteps() {
    for (;;) {
        bool more = false;
        switch (state) {
        case STATE_OPEN:
            more = StepOpen();
            break;
        case STATE_START_READ:
            more = StepStartRead();
            break;
        case STATE_START_WRITE:
            more = StepStartWrite();
            break;
        case STATE_IDENTIFYING:
            more = StepIdentifying();
            break;
        case STATE_CLOSE:
            more = StepClose();
            break;
        case STATE_READING:
            more = StepReading();
            break;
        case STATE_WRITING:
            more = StepWriting();
            break;
        case STATE_BACKUP_READING:
            more = StepBackupReading();
            break;
        case STATE_VERIFYING:
            more = StepVerifying();
            break;
        default:
            return; // inactive, done, or out of range
        }
        if (!more) {
            return;
        }
    }
}

void OperationDriver::OnWorkerNotify(uint64_t generation) {
    // Notifications of a worker that has been closed since are stale: its operation is over.
    if (generation != generation_ || !worker_) {
        return;
    }
    RunStateMachine();
}

bool OperationDriver::OpenWorker() {
    if (worker_ || port_number == 0) {
        return false;
    }
    worker_.reset(new ComThread());
    if (linkObserver) {
        worker_->SetObserver(linkObserver);
    }
    if (!worker_->OpenPort(port_number)) {
        open_error_ = worker_->LastOpenError();
        open_failure_ = worker_->LastOpenFailure();
        CloseWorker();
        return false;
    }
    const uint64_t generation = ++generation_;
    std::shared_ptr<bool> alive = alive_;
    worker_->SetNotifyWindow([this, generation, alive](uint32_t) {
        poster_([this, generation, alive] {
            if (*alive) {
                OnWorkerNotify(generation);
            }
        });
    });
    return true;
}

void OperationDriver::CloseWorker() {
    if (worker_) {
        worker_->ClosePort();
        worker_.reset();
    }
}

void OperationDriver::Repaint() {
    if (onProgress) {
        onProgress();
    }
}

void OperationDriver::EnterDone() {
    state = STATE_DONE;
    if (!finished_reported_) {
        finished_reported_ = true;
        if (onFinished) {
            onFinished();
        }
    }
}

void OperationDriver::LogError(int code) {
    log.LogLine(LinkErrorMessage(code));
}

void OperationDriver::LogOpenFailure() {
    switch (open_failure_.failure) {
    case PortOpenFailure::None:
        break;
    case PortOpenFailure::NoDevice:
        log.LogLine(Text("Номеру COM%d не соответствует ни одно устройство.", port_number));
        break;
    case PortOpenFailure::Absent:
        log.LogLine(Text("Нет такого устройства — адаптер не подключён?"));
        break;
    case PortOpenFailure::InUse:
        log.LogLine(Text("Порт занят другой программой."));
        break;
    case PortOpenFailure::NoPermission:
        if (!open_failure_.ownerOnly && !open_failure_.group.empty()) {
            log.LogLine(Text("Нет прав на порт: добавьте пользователя в группу %s и войдите в "
                             "систему заново.",
                             open_failure_.group.c_str()));
        } else {
            log.LogLine(Text("Нет прав на порт: он доступен только владельцу. Нужно правило "
                             "udev, отдающее порт группе dialout, и пользователь в этой группе."));
        }
        break;
    case PortOpenFailure::Other:
        log.LogLine(Text("Порт не удалось открыть или настроить (ошибка системы)."));
        break;
    }
}

void OperationDriver::LogOtherProgrammer() {
    log.LogLine(Text("\r\nДля программирования радиостанции необходим другой программатор [%s]\r\n",
                     info->programmer_id.c_str()));
}

bool OperationDriver::Wait() {
    if (!worker_) {
        state = STATE_CLOSE;
        return false;
    }
    const int progress = worker_->GetProgress();
    if (progress != 100) {
        percent = progress;
        Repaint();
        return false;
    }
    percent = 100;
    Repaint();
    return true;
}

bool OperationDriver::StepOpen() {
    if (!OpenWorker()) {
        log.LogLine(Text("Не удалось открыть порт COM%d !!!", port_number));
        LogOpenFailure();
        log.LogLine(Text("Процесс остановлен!!!"));
        Repaint();
        outcome_ = OperationOutcome::PortNotOpened;
        EnterDone();
        return false;
    }
    worker_->ClearJobs();
    for (int block = 0; block < 3; ++block) {
        TransferJob job;
        job.op = OP_REQUEST_INFO;
        job.address = block;
        job.length = INFO_JOB_LENGTH[block];
        job.buffer = Buf(BUFFER_INFO0 + block);
        worker_->AddJob(&job);
    }
    bar_color = COLOR_IDENTIFYING;
    percent = 0;
    log.LogLine(Text("Порт COM%d открыт.", port_number));
    Repaint();
    info->has_block0 = false;
    info->has_block1 = false;
    info->has_block2 = false;
    worker_->StartJobs();
    state = STATE_IDENTIFYING;
    return false;
}

bool OperationDriver::StepIdentifying() {
    if (!Wait()) {
        return state == STATE_CLOSE;
    }
    if (worker_->GetError() != 0) {
        if (worker_->InfoReceived(0)) {
            info->DecodeBlock0(Buf(BUFFER_INFO0));
        }
        // Only a block 0 of this radio names the programmer it requires; the record may
        // still hold the identifier of the radio identified before.
        if (info->has_block0 && !info->programmer_id.empty() &&
            !info->IsProgrammerAccepted(info->programmer_id)) {
            LogOtherProgrammer();
        }
        TakeListError(); // the worker reported an error: always taken
        if ((mode == MODE_WRITE || mode == MODE_RESTORE) && SafetyOn()) {
            LogUnchanged();
        }
        return true;
    }
    log.LogLine(Text("Информация о станции получена."));
    if (worker_->InfoReceived(0)) {
        info->DecodeBlock0(Buf(BUFFER_INFO0));
    }
    if (worker_->InfoReceived(1)) {
        info->DecodeBlock1(Buf(BUFFER_INFO1));
    }
    if (worker_->InfoReceived(2)) {
        info->DecodeBlock2(Buf(BUFFER_INFO2));
    }
    const bool accepted = info->IsProgrammerAccepted(info->programmer_id);
    const FreqRange* current = channels->ranges.current();
    const bool rangesEqual = current != nullptr && info->ranges.Equals(*current);
    settings->ProgramCount = static_cast<int32_t>(info->programming_count + 1);

    switch (mode) {
    case MODE_IDENTIFY:
        if (!rangesEqual) {
            log.LogLine(Text("\r\nДиапазон частот в станции и файле не совпадают!!!\r\n"));
        }
        if (!accepted) {
            LogOtherProgrammer();
        }
        outcome_ = OperationOutcome::Succeeded;
        state = STATE_CLOSE;
        break;
    case MODE_READ:
        if (!accepted) {
            LogOtherProgrammer();
        }
        state = STATE_START_READ;
        break;
    case MODE_WRITE:
        if (rangesEqual && accepted) {
            state = STATE_START_WRITE;
            break;
        }
        if (!rangesEqual) {
            log.LogLine(Text("\r\nДиапазон частот в станции и файле не совпадают!!!\r\n"
                             "Запись прервана!!!\r\n"));
        }
        if (!accepted) {
            LogOtherProgrammer();
        }
        refusal_ = !accepted ? WriteRefusal::Programmer : WriteRefusal::Ranges;
        if (SafetyOn()) {
            LogUnchanged();
        }
        outcome_ = OperationOutcome::Refused;
        state = STATE_CLOSE;
        break;
    case MODE_RESTORE:
        if (!accepted) {
            LogOtherProgrammer();
            refusal_ = WriteRefusal::Programmer;
        } else if (RestoreAccepted()) {
            state = STATE_START_WRITE;
            break;
        }
        LogUnchanged();
        outcome_ = OperationOutcome::Refused;
        state = STATE_CLOSE;
        break;
    default:
        outcome_ = OperationOutcome::Succeeded;
        state = STATE_CLOSE;
        break;
    }
    return true;
}

bool OperationDriver::StepStartRead() {
    bar_color = COLOR_READING;
    log.LogLine(Text("Чтение ..."));
    worker_->ClearJobs();
    buffers_[BUFFER_CHANNELS_0_99].fill(0xFF);
    buffers_[BUFFER_CHANNELS_100_199].fill(0xFF);
    buffers_[BUFFER_SETTINGS].fill(0xFF);
    second_table_ = info->channels2_version != 0;

    StartTableJobs(OP_READ_TABLE, SETTINGS_JOB_LENGTH);
    state = STATE_READING;
    return false;
}

void OperationDriver::StartTableJobs(int32_t op, int32_t settingsLength) {
    TransferJob job;
    job.op = op;
    job.address = CHANNELS_ADDRESS;
    job.length = CHANNELS_JOB_LENGTH;
    job.buffer = Buf(BUFFER_CHANNELS_0_99);
    worker_->AddJob(&job);
    if (second_table_) {
        job.address = CHANNELS2_ADDRESS;
        job.buffer = Buf(BUFFER_CHANNELS_100_199);
        worker_->AddJob(&job);
    }
    job.address = SETTINGS_ADDRESS;
    job.length = settingsLength;
    job.buffer = Buf(BUFFER_SETTINGS);
    worker_->AddJob(&job);
    tables_listed_ = worker_->StartJobs();
}

bool OperationDriver::TakeListError() {
    const int error = worker_->GetError();
    if (error == 0) {
        return false;
    }
    FailWithLinkError(error);
    data_without_reply_ = error == TRANSFER_NO_REPLY && worker_->DataWithoutReply();
    if (data_without_reply_) {
        log.LogLine(Text("Получены данные без правильного ответа (к порту подключено другое "
                         "устройство?)"));
    }
    state = STATE_CLOSE;
    return true;
}

void OperationDriver::FailWithLinkError(int error) {
    LogError(error);
    link_error_ = error;
    outcome_ = OperationOutcome::LinkError;
}

void OperationDriver::LogBackupFolder() {
    if (!backup_folder_.empty()) {
        log.LogLine(Text("Резервная копия: %s", Utf8ToCp1251(backup_folder_).c_str()));
    }
}

bool OperationDriver::FinishWritten() {
    if (mode == MODE_RESTORE) {
        TakeRestoredModel();
    }
    outcome_ = OperationOutcome::Succeeded;
    state = STATE_CLOSE;
    return true;
}

bool OperationDriver::StepReading() {
    if (!Wait()) {
        return state == STATE_CLOSE;
    }
    if (TakeListError()) {
        return true;
    }
    bool ok = true;
    if (channels->ParseImage(Buf(BUFFER_CHANNELS_0_99), 0)) {
        log.LogLine(Text("Таблица каналов   0-99 прочитана (версия %d.%d).",
                         Major(channels->tableVersion), Minor(channels->tableVersion)));
    } else {
        log.LogLine(Text("Ошибки в таблице каналов 0-99 !!!"));
        log.LogLine(channels->lastError);
        ok = false;
    }
    if (second_table_) {
        if (channels->ParseImage(Buf(BUFFER_CHANNELS_100_199), TABLE_CHANNELS)) {
            log.LogLine(Text("Таблица каналов 100-199 прочитана (версия %d.%d).",
                             Major(channels->tableVersion), Minor(channels->tableVersion)));
        } else {
            log.LogLine(Text("Ошибки в таблице каналов 100-199 !!!"));
            log.LogLine(channels->lastError);
            ok = false;
        }
    } else {
        // Slots 100-199 show what the radio holds there: nothing.
        ClearSecondTableSlots();
        log.LogLine(Text("В станции нет таблицы каналов 100-199, каналы 100-199 очищены."));
    }
    if (settings->ParseSettingsImage(Buf(BUFFER_SETTINGS))) {
        log.LogLine(Text("Таблица настроек прочитана (версия %d.%d).", Major(settings->version),
                         Minor(settings->version)));
    } else {
        log.LogLine(Text("Ошибки в таблице настроек!!!"));
        ok = false;
    }
    outcome_ = ok ? OperationOutcome::Succeeded : OperationOutcome::TableError;
    state = STATE_CLOSE;
    return true;
}

bool OperationDriver::StepStartWrite() {
    bar_color = COLOR_WRITING;
    worker_->ClearJobs();
    second_table_ = info->channels2_version != 0;

    uint16_t settingsVersion = SETTINGS_V1_0;
    if (mode == MODE_RESTORE) {
        // The stored images go as they are; RestoreAccepted has matched them to the radio.
        std::copy(restore_.channels0_99.begin(), restore_.channels0_99.end(),
                  Buf(BUFFER_CHANNELS_0_99));
        std::copy(restore_.channels100_199.begin(), restore_.channels100_199.end(),
                  Buf(BUFFER_CHANNELS_100_199));
        std::copy(restore_.settings.begin(), restore_.settings.end(), Buf(BUFFER_SETTINGS));
        settingsVersion = GetU16(Buf(BUFFER_SETTINGS));
        log.LogLine(Text("Таблицы взяты из резервной копии."));
    } else {
        // Every image is built before anything is queued: an image that cannot be built
        // refuses the whole write, so the radio never gets part of a configuration.
        bool built = true;
        const uint16_t version1 = info->has_block1 && info->channels_version == CHANNEL_TABLE_V2
                                      ? CHANNEL_TABLE_V2
                                      : CHANNEL_TABLE_V1;
        if (channels->BuildImage(Buf(BUFFER_CHANNELS_0_99), version1, 0)) {
            log.LogLine(Text("Таблица каналов   0-99 сформирована (версия %d.%d).", Major(version1),
                             Minor(version1)));
        } else {
            log.LogLine(Text("Таблица каналов   0-99 не сформирована (версия %d.%d) !!!",
                             Major(version1), Minor(version1)));
            log.LogLine(channels->lastError);
            built = false;
        }
        if (second_table_) {
            const uint16_t version2 =
                info->has_block1 && info->channels2_version == CHANNEL_TABLE_V2 ? CHANNEL_TABLE_V2
                                                                                : CHANNEL_TABLE_V1;
            if (channels->BuildImage(Buf(BUFFER_CHANNELS_100_199), version2, TABLE_CHANNELS)) {
                log.LogLine(Text("Таблица каналов 100-199 сформирована (версия %d.%d).",
                                 Major(version2), Minor(version2)));
            } else {
                log.LogLine(Text("Таблица каналов 100-199 не сформирована (версия %d.%d) !!!",
                                 Major(version2), Minor(version2)));
                log.LogLine(channels->lastError);
                built = false;
            }
        }
        if (info->has_block1 && info->settings_version != 0) {
            settingsVersion = info->settings_version;
        }
        if (settings->BuildSettingsImage(Buf(BUFFER_SETTINGS), settingsVersion)) {
            log.LogLine(Text("Таблица настроек сформирована (версия %d.%d).",
                             Major(settingsVersion), Minor(settingsVersion)));
        } else {
            log.LogLine(Text("Таблица настроек не сформирована (версия %d.%d) !!!",
                             Major(settingsVersion), Minor(settingsVersion)));
            if (!settings->lastError.empty()) {
                log.LogLine(settings->lastError);
            } else if (SettingsImageSize(settingsVersion) == 0) {
                log.LogLine(Text("Версия %d.%d таблицы настроек не поддерживается!!!",
                                 Major(settingsVersion), Minor(settingsVersion)));
            }
            built = false;
        }
        if (!built) {
            log.LogLine(Text("Запись прервана!!!"));
            if (SafetyOn()) {
                LogUnchanged();
            }
            refusal_ = WriteRefusal::Build;
            outcome_ = OperationOutcome::Refused;
            state = STATE_CLOSE;
            return true;
        }
    }
    const int32_t settingsJobLength =
        settingsVersion == SETTINGS_V1_1 ? SETTINGS_1_1_JOB_LENGTH : SETTINGS_JOB_LENGTH;

    // The write list, one table at a time.
    write_count_ = 0;
    write_steps_[write_count_++] = {CHANNELS_ADDRESS, CHANNELS_JOB_LENGTH, BUFFER_CHANNELS_0_99};
    if (second_table_) {
        write_steps_[write_count_++] = {CHANNELS2_ADDRESS, CHANNELS_JOB_LENGTH,
                                        BUFFER_CHANNELS_100_199};
    }
    write_steps_[write_count_++] = {SETTINGS_ADDRESS, settingsJobLength, BUFFER_SETTINGS};
    write_total_ = 0;
    for (int i = 0; i < write_count_; ++i) {
        write_total_ += write_steps_[i].length;
    }
    write_next_ = 0;
    write_done_ = 0;

    if (safety.backup || safety.dryRun) {
        bar_color = COLOR_READING;
        log.LogLine(Text("Чтение таблиц станции для резервной копии ..."));
        StartCheckRead(backup_);
        state = STATE_BACKUP_READING;
        return false;
    }
    log.LogLine(Text("Запись ..."));
    tables_listed_ = true;
    StartNextWrite();
    state = STATE_WRITING;
    return false;
}

void OperationDriver::StartCheckRead(std::array<std::array<uint8_t, 2048>, 3>& into) {
    worker_->ClearJobs();
    for (auto& image : into) {
        image.fill(0xFF);
    }
    TransferJob job;
    job.op = OP_READ_TABLE;
    job.address = CHANNELS_ADDRESS;
    job.length = CHANNELS_JOB_LENGTH;
    job.buffer = into[0].data();
    worker_->AddJob(&job);
    if (second_table_) {
        job.address = CHANNELS2_ADDRESS;
        job.buffer = into[1].data();
        worker_->AddJob(&job);
    }
    job.address = SETTINGS_ADDRESS;
    job.length = SETTINGS_JOB_LENGTH;
    job.buffer = into[2].data();
    worker_->AddJob(&job);
    percent = 0;
    Repaint();
    worker_->StartJobs();
}

void OperationDriver::StartNextWrite() {
    const WriteStep& step = write_steps_[write_next_];
    worker_->ClearJobs();
    TransferJob job;
    job.op = OP_WRITE_TABLE;
    job.address = step.address;
    job.length = step.length;
    job.buffer = Buf(step.buffer);
    worker_->AddJob(&job);
    bar_color = COLOR_WRITING;
    radio_touched_ = true;
    if (!worker_->StartJobs()) {
        tables_listed_ = false;
    }
}

bool OperationDriver::WaitWrite() {
    if (!worker_) {
        state = STATE_CLOSE;
        return false;
    }
    const int progress = worker_->GetProgress();
    const int32_t length = write_steps_[write_next_].length;
    const bool last = write_next_ + 1 >= write_count_;
    if (progress != 100 || (!last && worker_->GetError() == 0)) {
        // The bar runs over the whole write, not over each table's list.
        const int64_t done = static_cast<int64_t>(write_done_) * 100 +
                             static_cast<int64_t>(length) * (progress == 100 ? 100 : progress);
        percent = write_total_ > 0 ? static_cast<int32_t>(done / write_total_) : progress;
        Repaint();
        return progress == 100;
    }
    percent = 100;
    Repaint();
    return true;
}

namespace {

const char* TableName(int buffer) {
    switch (buffer) {
    case BUFFER_CHANNELS_0_99:
        return "таблица каналов 0-99";
    case BUFFER_CHANNELS_100_199:
        return "таблица каналов 100-199";
    default:
        return "таблица настроек";
    }
}

} // namespace

void OperationDriver::LogUnchanged() {
    log.LogLine(Text("Станция не изменена."));
}

void OperationDriver::LogInterrupted() {
    log.LogLine(Text("Запись прервана!!!"));
    std::string written, missing;
    for (int i = 0; i < write_count_; ++i) {
        std::string& into = i < write_next_ ? written : missing;
        if (!into.empty()) {
            into += ", ";
        }
        into += Text(TableName(write_steps_[i].buffer));
    }
    if (written.empty()) {
        log.LogLine(
            Text("Ни одна таблица не записана полностью; не записаны: %s.", missing.c_str()));
    } else if (missing.empty()) {
        log.LogLine(Text("Записаны полностью: %s.", written.c_str()));
    } else {
        log.LogLine(
            Text("Записаны полностью: %s; не записаны: %s.", written.c_str(), missing.c_str()));
    }
    if (!backup_folder_.empty()) {
        log.LogLine(Text("Станция может содержать частично записанные таблицы. Резервная копия: %s",
                         Utf8ToCp1251(backup_folder_).c_str()));
    } else {
        log.LogLine(Text("Станция может содержать частично записанные таблицы."));
    }
}

bool OperationDriver::StepBackupReading() {
    if (!Wait()) {
        return state == STATE_CLOSE;
    }
    const int error = worker_->GetError();
    if (error != 0) {
        FailWithLinkError(error);
        log.LogLine(Text("Резервная копия не сделана: таблицы станции не прочитаны."));
        LogUnchanged();
        state = STATE_CLOSE;
        return true;
    }
    ComputePlannedChanges();
    if (safety.dryRun) {
        log.LogLine(Text("Пробный запуск: в станцию ничего не записано."));
        outcome_ = OperationOutcome::Succeeded;
        state = STATE_CLOSE;
        return true;
    }
    if (safety.backup && !SaveBackup()) {
        LogUnchanged();
        outcome_ = OperationOutcome::BackupFailed;
        state = STATE_CLOSE;
        return true;
    }
    log.LogLine(Text("Запись ..."));
    tables_listed_ = true;
    StartNextWrite();
    state = STATE_WRITING;
    return false;
}

void OperationDriver::ComputePlannedChanges() {
    // Both sides as the radio would give them back: the tables read, the images to write.
    ChannelsContext before, after;
    SettingsContext beforeSettings, afterSettings;
    bool parsed =
        before.ParseImage(backup_[0].data(), 0) && after.ParseImage(Buf(BUFFER_CHANNELS_0_99), 0);
    if (second_table_) {
        parsed = parsed && before.ParseImage(backup_[1].data(), TABLE_CHANNELS) &&
                 after.ParseImage(Buf(BUFFER_CHANNELS_100_199), TABLE_CHANNELS);
    }
    parsed = parsed && beforeSettings.ParseSettingsImage(backup_[2].data()) &&
             afterSettings.ParseSettingsImage(Buf(BUFFER_SETTINGS));
    if (!parsed) {
        log.LogLine(Text("Таблицы станции не разобраны, изменения не подсчитаны."));
        return;
    }
#ifndef ZORVEX_CORE_ONLY // comparing goes through the XML form of the configuration
    DiffScope scope;
    scope.channelSlots = second_table_ ? CHANNEL_COUNT : TABLE_CHANNELS;
    scope.rangeSet = false;
    scope.flagCaptions = false;
    planned_ = CompareConfigs(ConfigView{&before, &beforeSettings, nullptr},
                              ConfigView{&after, &afterSettings, nullptr}, scope);
    if (planned_.Empty()) {
        log.LogLine(Text("Изменений нет: станция уже содержит эти таблицы."));
    } else {
        log.LogLine(Text("Будет изменено каналов: %d, параметров настроек: %d",
                         planned_.ChangedChannels(), planned_.ChangedSettings()));
    }
#endif
}

bool OperationDriver::SaveBackup() {
    BackupContent content;
    std::copy(backup_[0].begin(), backup_[0].end(), content.images.channels0_99.begin());
    std::copy(backup_[1].begin(), backup_[1].end(), content.images.channels100_199.begin());
    std::copy(backup_[2].begin(), backup_[2].end(), content.images.settings.begin());
    content.images.hasChannels100_199 = second_table_;

    std::string report = Cp1251ToUtf8(info->BuildReport());
    for (size_t at = report.find("\r\n"); at != std::string::npos; at = report.find("\r\n", at)) {
        report.erase(at, 1);
    }
    content.infoText = report;

    // The configuration as read, built from the images alone (never the user's model).
    ChannelsContext scratch;
    SettingsContext scratchSettings;
    if (info->ranges.IsValid()) {
        scratch.ranges.Select(scratch.ranges.Add(info->ranges));
    }
    bool parsed = scratch.ParseImage(backup_[0].data(), 0);
    if (second_table_) {
        parsed = scratch.ParseImage(backup_[1].data(), TABLE_CHANNELS) && parsed;
    }
    parsed = scratchSettings.ParseSettingsImage(backup_[2].data()) && parsed;
    try {
        if (!parsed) {
            log.LogLine(Text("Таблицы станции не разобраны: файл radio.xml в резервную копию "
                             "не записан."));
        }
#ifndef ZORVEX_CORE_ONLY // the core alone has no XML writer: the images and info.txt only
        else {
            content.configXml =
                ConfigDocumentText(scratch, scratchSettings, FlagCaptionsForOptions(info->options));
        }
#endif
        const std::filesystem::path root = safety.backupRoot.empty()
                                               ? DefaultBackupRoot()
                                               : std::filesystem::path(safety.backupRoot);
        const std::filesystem::path folder =
            WriteBackup(root, info->serial_number, std::time(nullptr), content);
        backup_folder_ = PathText(folder);
    } catch (const FileError& e) {
        log.LogLine(
            Text("Не удалось сохранить резервную копию: %s", Utf8ToCp1251(e.what()).c_str()));
        return false;
    }
    log.LogLine(Text("Резервная копия сохранена: %s", Utf8ToCp1251(backup_folder_).c_str()));
    return true;
}

bool OperationDriver::StepWriting() {
    if (!WaitWrite()) {
        return state == STATE_CLOSE;
    }
    const int error = worker_->GetError();
    if (error != 0) {
        FailWithLinkError(error);
        if (SafetyOn()) {
            LogInterrupted();
        }
        state = STATE_CLOSE;
        return true;
    }
    write_done_ += write_steps_[write_next_].length;
    if (++write_next_ < write_count_) {
        StartNextWrite();
        return false;
    }
    log.LogLine(Text("Таблица каналов записана."));
    log.LogLine(Text("Таблица настроек записана."));
    if (!second_table_) {
        for (int i = TABLE_CHANNELS; i < CHANNEL_COUNT; ++i) {
            unwritten_channels_ += channels->channels[i].IsUsed() ? 1 : 0;
        }
        if (mode == MODE_WRITE && unwritten_channels_ > 0) {
            log.LogLine(
                Text("Каналы 100-199 не записаны: в станции нет таблицы для них (каналов: %d).",
                     unwritten_channels_));
        }
    }
    if (safety.verify) {
        bar_color = COLOR_READING;
        log.LogLine(Text("Проверка записи ..."));
        StartCheckRead(verify_);
        state = STATE_VERIFYING;
        return false;
    }
    return FinishWritten();
}

bool OperationDriver::StepVerifying() {
    if (!Wait()) {
        return state == STATE_CLOSE;
    }
    const int error = worker_->GetError();
    if (error != 0) {
        FailWithLinkError(error);
        log.LogLine(Text("Проверка записи не выполнена: таблицы не прочитаны."));
        LogBackupFolder();
        state = STATE_CLOSE;
        return true;
    }
    for (int i = 0; i < write_count_; ++i) {
        const WriteStep& step = write_steps_[i];
        const uint8_t* sent = Buf(step.buffer);
        // The verify read holds channels 0-99, channels 100-199 and settings in this order.
        const int slot = step.buffer - BUFFER_CHANNELS_0_99;
        const uint8_t* got = verify_[slot].data();
        size_t length = GetU16(sent + 2);
        if (length < 12 || length > 2048) {
            length = 2048;
        }
        // The first differing byte of the records; the header (whose checksum follows
        // any change) only when the records are the same.
        for (size_t n = 0; n < length; ++n) {
            const size_t at = n + 12 < length ? n + 12 : n + 12 - length;
            if (sent[at] != got[at]) {
                verify_table_ = step.buffer == BUFFER_CHANNELS_0_99      ? 0
                                : step.buffer == BUFFER_CHANNELS_100_199 ? 3
                                                                         : 1;
                verify_offset_ = static_cast<int>(at);
                break;
            }
        }
        if (verify_table_ >= 0) {
            log.LogLine(
                Text("Т%s в станции не совпадает с записанной (первое отличие: байт %d) !!!",
                     Text(TableName(step.buffer) + 2).c_str(), verify_offset_));
            log.LogLine(Text("Станция содержит не то, что было записано!!!"));
            LogBackupFolder();
            outcome_ = OperationOutcome::VerifyFailed;
            state = STATE_CLOSE;
            return true;
        }
    }
    log.LogLine(Text("Проверка записи: станция содержит записанные таблицы."));
    return FinishWritten();
}

bool OperationDriver::RestoreAccepted() {
    if (restore_serial_ != info->serial_number && !restore_force_) {
        log.LogLine(Text("Резервная копия сделана для другой станции (серийный номер %s), "
                         "а подключена станция %s !!!",
                         SerialFolderName(restore_serial_).c_str(),
                         SerialFolderName(info->serial_number).c_str()));
        refusal_ = WriteRefusal::Serial;
        return false;
    }
    const bool second = info->channels2_version != 0;
    if (second != restore_.hasChannels100_199) {
        log.LogLine(second ? Text("В резервной копии нет таблицы каналов 100-199, а в станции "
                                  "она есть !!!")
                           : Text("В резервной копии есть таблица каналов 100-199, а в станции "
                                  "её нет !!!"));
        refusal_ = WriteRefusal::Tables;
        return false;
    }
    if (info->has_block1) {
        struct Check {
            const uint8_t* image;
            uint16_t version;
            const char* name;
        };
        const Check checks[] = {
            {restore_.channels0_99.data(), info->channels_version, "каналов 0-99"},
            {restore_.channels100_199.data(), info->channels2_version, "каналов 100-199"},
            {restore_.settings.data(), info->settings_version, "настроек"},
        };
        for (const Check& c : checks) {
            if (c.version == 0 || (c.image == restore_.channels100_199.data() && !second)) {
                continue;
            }
            const uint16_t stored = GetU16(c.image);
            if (stored != c.version) {
                log.LogLine(
                    Text("Таблица %s резервной копии версии %d.%d, а станция ждёт %d.%d !!!",
                         c.name, Major(stored), Minor(stored), Major(c.version), Minor(c.version)));
                refusal_ = WriteRefusal::Tables;
                return false;
            }
        }
    }
    return true;
}

void OperationDriver::TakeRestoredModel() {
    // The radio now holds the stored images: the host's model shows them, as after a read.
    channels->ParseImage(Buf(BUFFER_CHANNELS_0_99), 0);
    if (second_table_) {
        channels->ParseImage(Buf(BUFFER_CHANNELS_100_199), TABLE_CHANNELS);
    } else {
        ClearSecondTableSlots();
    }
    settings->ParseSettingsImage(Buf(BUFFER_SETTINGS));
}

void OperationDriver::ClearSecondTableSlots() {
    for (int i = TABLE_CHANNELS; i < CHANNEL_COUNT; ++i) {
        channels->channels[i].Reset();
        channels->channels[i].number = i % TABLE_CHANNELS;
    }
}

bool OperationDriver::StepClose() {
    CloseWorker();
    log.LogLine(Text("Порт COM%d закрыт.", port_number));
    percent = 100;
    Repaint();
    EnterDone();
    return false;
}
