#include "operations/OperationDriver.h"

#include <cstdarg>
#include <cstdio>

#include "link/ComThread.h"
#include "model/ChannelsContext.h"
#include "model/Cp1251.h"
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
    finished_reported_ = false;
    log.enabled = true;
    log.ClearLog();
    state = STATE_OPEN;
    RunStateMachine();
}

void OperationDriver::Close() {
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
        return TakeListError();
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
    LogError(error);
    data_without_reply_ = error == TRANSFER_NO_REPLY && worker_->DataWithoutReply();
    if (data_without_reply_) {
        log.LogLine(Text("Получены данные без правильного ответа (к порту подключено другое "
                         "устройство?)"));
    }
    link_error_ = error;
    outcome_ = OperationOutcome::LinkError;
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

    // Every image is built before anything is queued: an image that cannot be built refuses
    // the whole write, so the radio never gets part of a configuration.
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
        const uint16_t version2 = info->has_block1 && info->channels2_version == CHANNEL_TABLE_V2
                                      ? CHANNEL_TABLE_V2
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
    uint16_t settingsVersion = SETTINGS_V1_0;
    if (info->has_block1 && info->settings_version != 0) {
        settingsVersion = info->settings_version;
    }
    if (settings->BuildSettingsImage(Buf(BUFFER_SETTINGS), settingsVersion)) {
        log.LogLine(Text("Таблица настроек сформирована (версия %d.%d).", Major(settingsVersion),
                         Minor(settingsVersion)));
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
        outcome_ = OperationOutcome::Refused;
        state = STATE_CLOSE;
        return true;
    }
    log.LogLine(Text("Запись ..."));

    StartTableJobs(OP_WRITE_TABLE, settingsVersion == SETTINGS_V1_1 ? SETTINGS_1_1_JOB_LENGTH
                                                                    : SETTINGS_JOB_LENGTH);
    state = STATE_WRITING;
    return false;
}

bool OperationDriver::StepWriting() {
    if (!Wait()) {
        return state == STATE_CLOSE;
    }
    if (TakeListError()) {
        return true;
    }
    log.LogLine(Text("Таблица каналов записана."));
    log.LogLine(Text("Таблица настроек записана."));
    outcome_ = OperationOutcome::Succeeded;
    state = STATE_CLOSE;
    return true;
}

bool OperationDriver::StepClose() {
    CloseWorker();
    log.LogLine(Text("Порт COM%d закрыт.", port_number));
    percent = 100;
    Repaint();
    EnterDone();
    return false;
}
