#include "link/ComThread.h"

#include <chrono>
#include <cstring>

#include "link/ComPorts.h"

namespace {

uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

constexpr uint32_t InfoBlockSize(uint32_t number) {
    switch (number) {
    case 0:
        return 122;
    case 1:
        return 104;
    case 2:
        return 464;
    default:
        return 0;
    }
}

} // namespace

ComThread::ComThread() = default;

ComThread::~ComThread() {
    ClosePort();
}

bool ComThread::OpenPort(int number) {
    if (IsPortOpen())
        return true;
    if (number < MIN_COM_PORT || number > MAX_COM_PORT) {
        lastOpenError_ = "COM" + std::to_string(number) + " is not a port number (1..255)";
        lastOpenFailure_ = PortOpenReason{PortOpenFailure::NoDevice, {}, false};
        return false;
    }
    const std::string device = ComPortDevice(number);
    if (!port_.Open(device, LINK_SPEED)) {
        lastOpenError_ = device.empty() ? "COM" + std::to_string(number) +
                                              ": no device stands behind this port number"
                                        : port_.LastOpenError();
        lastOpenFailure_ = port_.LastOpenFailure();
        return false;
    }
    // The radio may still be answering a request of an earlier session (interrupted in the
    // middle of an exchange): let that answer pass before the first request goes out.
    port_.DiscardUntilQuiet(QUIET_MS, QUIET_LIMIT_MS);
    lastOpenError_.clear();
    lastOpenFailure_ = PortOpenReason{};
    answeredSinceOpen_ = false;
    portNumber_.store(number);
    return true;
}

bool ComThread::SetNotifyWindow(Notify notify) {
    notify_ = std::move(notify);
    return true;
}

bool ComThread::IsPortOpen() const {
    const int n = portNumber_.load();
    return n >= MIN_COM_PORT && n <= MAX_COM_PORT && port_.IsOpen();
}

bool ComThread::IsBusy() const {
    if (!running_.load() || terminate_.load())
        return false;
    const uint32_t s = status_.load();
    // A list handed over (status 0) belongs to the worker as much as a running one.
    return s < 100;
}

bool ComThread::ClearJobs() {
    if (IsBusy())
        return false;
    jobCount_ = 0;
    return true;
}

bool ComThread::AddJob(const TransferJob* job) {
    if (IsBusy() || job == nullptr || jobCount_ >= MAX_JOBS)
        return false;
    jobs_[jobCount_++] = *job;
    return true;
}

bool ComThread::StartJobs() {
    if (!IsPortOpen() || IsBusy())
        return false;
    // A worker told to stop (a close asked from its own thread) runs no further list: the
    // list would never begin and its status would never reach 100.
    if (started_ && (terminate_.load() || !running_.load()))
        return false;
    {
        std::lock_guard lock(wakeMutex_);
        status_.store(0);
    }
    if (!started_) {
        started_ = true;
        terminate_.store(false);
        running_.store(true);
        thread_ = std::thread([this] { Execute(); });
    } else {
        wake_.notify_all();
    }
    return true;
}

int ComThread::GetProgress() const {
    const uint32_t s = status_.load();
    if (s == 0)
        return 1;
    return s > 100 ? 100 : static_cast<int>(s);
}

bool ComThread::InfoReceived(int block) const {
    return block >= 0 && block < 3 && infoReceived_[block].load();
}

bool ComThread::ClosePort() {
    if (started_ && std::this_thread::get_id() == thread_.get_id()) {
        // Called from the worker itself (a notification that did more than post): it cannot
        // wait for its own end, so it only asks the job loop to stop.
        terminate_.store(true);
        return false;
    }
    if (started_) {
        {
            std::lock_guard lock(wakeMutex_);
            terminate_.store(true);
        }
        wake_.notify_all();
        if (thread_.joinable())
            thread_.join();
        started_ = false;
        terminate_.store(false);
    }
    if (port_.IsOpen())
        port_.Close();
    portNumber_.store(0);
    return true;
}

// ---------------------------------------------------------------- job loop

// The list handed over by the first StartJobs begins at once: the status is already 0, so
// there is nothing to wait for.
void ComThread::Execute() {
    ResetReceiver();
    while (!Terminated()) {
        status_.store(1);
        bytesDone_ = 0;
        bytesInJob_ = 0;
        jobIndex_ = 0;
        currentOp_.store(0);
        errorCode_.store(0);
        dataWithoutReply_.store(false);
        Post();
        bytesTotal_ = 0;
        for (uint32_t i = 0; i < jobCount_; ++i)
            bytesTotal_ += static_cast<uint32_t>(jobs_[i].length);

        while (!Terminated() && errorCode_.load() == 0 && jobIndex_ < jobCount_) {
            const TransferJob& job = jobs_[jobIndex_];
            currentOp_.store(job.op);
            bytesInJob_ = 0;
            switch (job.op) {
            case OP_READ_TABLE:
                ReadTable(job.address, job.buffer);
                break;
            case OP_WRITE_TABLE:
                WriteTable(job.address, job.buffer);
                break;
            case OP_REQUEST_INFO:
                RequestInfo(job.address, job.buffer);
                break;
            default:
                break;
            }
            bytesDone_ += static_cast<uint32_t>(job.length);
            bytesInJob_ = 0;
            ++jobIndex_;
            RecomputeStatus();
            Post();
        }
        status_.store(100);
        Post();

        std::unique_lock lock(wakeMutex_);
        while (status_.load() == 100 && !terminate_.load())
            wake_.wait_for(lock, std::chrono::milliseconds(IDLE_POLL_MS));
    }
    status_.store(100);
    running_.store(false);
}

void ComThread::RecomputeStatus() {
    uint32_t s;
    if (bytesTotal_ == 0) {
        // Lengths that add up to nothing: count finished jobs instead of bytes.
        s = jobCount_ ? jobIndex_ * 98u / jobCount_ + 1 : 1;
    } else {
        s = (bytesDone_ + bytesInJob_) * 98u / bytesTotal_ + 1;
    }
    status_.store(s >= 100 ? 99 : s);
}

void ComThread::Post() {
    if (!notify_)
        return;
    const uint32_t wParam = (static_cast<uint32_t>(portNumber_.load()) & 0xFF) |
                            ((static_cast<uint32_t>(currentOp_.load()) & 0xFF) << 8) |
                            ((status_.load() & 0xFF) << 16) |
                            ((static_cast<uint32_t>(errorCode_.load()) & 0xFF) << 24);
    notify_(wParam);
}

bool ComThread::AdvanceProgress(uint32_t bytes) {
    uint32_t cap = 0;
    if (jobIndex_ < jobCount_ && jobs_[jobIndex_].length > 0)
        cap = static_cast<uint32_t>(jobs_[jobIndex_].length);
    if (bytes > cap)
        bytes = cap;
    if (bytes == bytesInJob_)
        return false;
    bytesInJob_ = bytes;
    RecomputeStatus();
    Post();
    return true;
}

void ComThread::SetError(int code) {
    errorCode_.store(code);
}

void ComThread::BeginTransaction() {
    failedExchanges_ = 0;
    strayExchanges_ = 0;
}

void ComThread::SetNoReply() {
    if (errorCode_.load() != 0)
        return;
    SetError(TRANSFER_NO_REPLY);
    dataWithoutReply_.store(failedExchanges_ > 0 && strayExchanges_ == failedExchanges_);
}

// ---------------------------------------------------------------- framing

void ComThread::ResetReceiver() {
    collector_.Reset();
    rawCount_ = 0;
    rawPosition_ = 0;
}

bool ComThread::BuildFrame() {
    const uint16_t fcs = Fcs16(outPacket_, outLength_);
    outPacket_[outLength_] = static_cast<uint8_t>(fcs & 0xFF);
    outPacket_[outLength_ + 1] = static_cast<uint8_t>(fcs >> 8);
    outFrameLength_ =
        static_cast<uint32_t>(EncodeFrame(outPacket_, outLength_, outFrame_, sizeof outFrame_));
    return true;
}

bool ComThread::SendFrame() {
    const auto start = Clock::now();
    const long n = port_.Write(outFrame_, outFrameLength_);
    bytesWritten_ = n > 0 ? static_cast<uint32_t>(n) : 0;
    if (observer_) {
        LinkTraceEvent event;
        event.kind = LinkTraceEvent::FRAME_SENT;
        event.bytes = outFrame_;
        event.length = bytesWritten_;
        event.op = currentOp_.load();
        event.attempt = attempt_;
        observer_(event);
    }
    // The radio answers once the whole request has reached it: the wait for the reply
    // starts when the last byte has left the line. Drivers that take the bytes long before
    // (and pseudo-terminals, which have no line) are covered by the line time, 10 bits a
    // byte at the port speed.
    port_.Drain();
    const uint32_t speed = port_.Speed();
    const auto lineTime =
        speed ? std::chrono::nanoseconds(uint64_t{outFrameLength_} * 10'000'000'000ull / speed)
              : std::chrono::nanoseconds(0);
    silenceFrom_ = std::max<Clock::time_point>(Clock::now(), start + lineTime);
    replyDeadline_ = silenceFrom_ + std::chrono::milliseconds(REPLY_LIMIT_MS);
    strayBytes_ = false;
    return true;
}

bool ComThread::ReadChunk() {
    if (rawCount_ > rawPosition_) {
        std::memmove(rawChunk_, rawChunk_ + rawPosition_, rawCount_ - rawPosition_);
        rawCount_ -= rawPosition_;
        rawPosition_ = 0;
        return true;
    }
    rawCount_ = 0;
    rawPosition_ = 0;
    const auto silenceEnd =
        std::max(Clock::now(), silenceFrom_) + std::chrono::milliseconds(SILENCE_MS);
    while (!Terminated()) {
        const auto now = Clock::now();
        // Bytes that keep arriving without ever forming a reply end the wait as well.
        if (now >= replyDeadline_)
            return false;
        const long n = port_.Read(rawChunk_, RAW_CHUNK);
        if (n < 0)
            return false;
        if (n > 0) {
            bytesRead_ = static_cast<uint32_t>(n);
            rawCount_ = static_cast<uint32_t>(n);
            exchangeReceived_ += bytesRead_;
            if (observer_) {
                LinkTraceEvent event;
                event.kind = LinkTraceEvent::BYTES_RECEIVED;
                event.bytes = rawChunk_;
                event.length = rawCount_;
                event.op = currentOp_.load();
                event.attempt = attempt_;
                observer_(event);
            }
            return true;
        }
        if (now >= silenceEnd)
            return false;
        // The pause between reads ends early when data arrives.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(silenceEnd - now).count();
        port_.WaitReadable(static_cast<int>(std::min<long long>(left, READ_PAUSE_MS)));
    }
    return false;
}

bool ComThread::ReceiveFrame() {
    while (!Terminated()) {
        if (!ReadChunk())
            return false;
        while (rawPosition_ < rawCount_) {
            const uint8_t b = rawChunk_[rawPosition_++];
            if (b != FRAME_START && collector_.WaitingForStart())
                strayBytes_ = true; // discarded outside any frame
            switch (collector_.Push(b)) {
            case FrameCollector::Result::Complete:
                return true;
            case FrameCollector::Result::Overflow:
                strayBytes_ = true;
                return false;
            case FrameCollector::Result::NeedMore:
                break;
            }
        }
    }
    return false;
}

bool ComThread::DecodeFrame() {
    size_t n = 0;
    frameValid_ =
        DecodeFrameBody(collector_.Body(), collector_.BodyLength(), inPacket_, MAX_PACKET, n);
    inLength_ = static_cast<uint32_t>(n);
    return frameValid_;
}

bool ComThread::ReceiveReply() {
    bool echoSkipped = false;
    for (;;) {
        if (!ReceiveFrame())
            return false;
        DecodeFrame();
        if (!echoSkipped && inLength_ == outLength_ &&
            std::memcmp(inPacket_, outPacket_, outLength_) == 0) {
            echoSkipped = true; // that was the echo of the request
            continue;
        }
        if (IsLateWriteAnswer())
            continue;
        return true;
    }
}

bool ComThread::IsLateWriteAnswer() const {
    if (answeredSinceOpen_ || !frameValid_ || outLength_ < 1 || outPacket_[0] != 0x01)
        return false;
    const bool writeReply = inLength_ == 4 && inPacket_[0] == 0x03;
    const bool writeError = inLength_ == 3 && inPacket_[0] == 0xFF && inPacket_[1] == 0x03;
    return writeReply || writeError;
}

// ---------------------------------------------------------------- transactions

bool ComThread::PortSpeedCheck() {
    if (port_.Speed() == LINK_SPEED)
        return true;
    return port_.SetSpeed(LINK_SPEED);
}

bool ComThread::Exchange() {
    exchangeReceived_ = 0;
    BuildFrame();
    SendFrame();
    // A reply with a bad FCS or broken escaping is no reply at all: its content cannot be
    // trusted, so the attempt is repeated.
    const bool received = ReceiveReply();
    const bool replied = received && frameValid_; // ReceiveReply decoded it
    if (observer_)
        ObserveExchange(replied);
    if (replied) {
        answeredSinceOpen_ = true;
        return true;
    }
    ++failedExchanges_;
    if (strayBytes_ || received)
        ++strayExchanges_;
    return false;
}

void ComThread::ObserveExchange(bool replied) {
    LinkTraceEvent event;
    event.kind = LinkTraceEvent::EXCHANGE_DONE;
    event.bytes = outPacket_;
    event.length = outLength_;
    event.replied = replied;
    if (replied) {
        event.reply = inPacket_;
        event.replyLength = inLength_;
    }
    event.bytesSent = bytesWritten_;
    event.bytesReceived = exchangeReceived_;
    event.op = currentOp_.load();
    event.address = outPacket_[0] == 0x01 ? outPacket_[1] : Le16(outPacket_ + 2);
    event.attempt = attempt_;
    observer_(event);
}

bool ComThread::CheckErrorReply() {
    if (inLength_ < 3 || inPacket_[0] != 0xFF)
        return false;
    SetError(TransferErrorForRadioCode(inPacket_[2]));
    return true;
}

bool ComThread::ReadTable(int32_t address, uint8_t* buffer) {
    return TransferTable(address, buffer, &ComThread::ReadPiece);
}

bool ComThread::WriteTable(int32_t address, uint8_t* buffer) {
    return TransferTable(address, buffer, &ComThread::WritePiece);
}

// Moves the four pieces of one table, each in its own transaction; the whole table is tried
// again from its first piece when a piece fails.
bool ComThread::TransferTable(int32_t address, uint8_t* buffer,
                              bool (ComThread::*piece)(uint32_t, uint8_t*)) {
    if (buffer == nullptr) {
        SetError(TRANSFER_BUFFER);
        return false;
    }
    if (!PortSpeedCheck())
        return false;
    BeginTransaction();
    const uint32_t base = static_cast<uint32_t>(address) & 0xFFFC;
    for (int attempt = 0; attempt < ATTEMPTS && !Terminated(); ++attempt) {
        attempt_ = attempt + 1;
        lastPiece_ = false;
        bytesInJob_ = 0;
        bool complete = true;
        for (uint32_t k = 0; k < 4; ++k) {
            if (!(this->*piece)(base + k, buffer)) {
                complete = false;
                break;
            }
            AdvanceProgress(PIECE_SIZE * (k + 1));
        }
        if (complete)
            return true;
    }
    if (Terminated())
        return false;
    SetNoReply();
    return false;
}

bool ComThread::ReadPiece(uint32_t address, uint8_t* buffer) {
    if (lastPiece_)
        return true;
    outPacket_[0] = 0x02;
    outPacket_[1] = 0x00;
    outPacket_[2] = static_cast<uint8_t>(address & 0xFF);
    outPacket_[3] = static_cast<uint8_t>((address >> 8) & 0xFF);
    outLength_ = 4;
    if (!Exchange())
        return false;
    if (CheckErrorReply())
        return false;
    return CheckReadReply(address, buffer);
}

bool ComThread::CheckReadReply(uint32_t address, uint8_t* buffer) {
    if (inPacket_[0] != 0x02) {
        SetError(TRANSFER_WRONG_REPLY);
        return false;
    }
    if (inLength_ < 4) {
        SetError(TRANSFER_LENGTH);
        return false;
    }
    if (Le16(inPacket_ + 2) != (address & 0xFFFF)) {
        SetError(TRANSFER_WRONG_REPLY);
        return false;
    }
    const uint32_t n = static_cast<uint16_t>(inLength_ - 4);
    const uint32_t k = address & 3;
    if (k == 0) {
        if (n < 4 || n > PIECE_SIZE) {
            SetError(TRANSFER_LENGTH);
            return false;
        }
        const uint32_t total = Le16(inPacket_ + 6);
        if (n > total || (total > PIECE_SIZE && n != PIECE_SIZE)) {
            SetError(TRANSFER_LENGTH);
            return false;
        }
        std::memcpy(buffer, inPacket_ + 4, n);
        if (n == total)
            lastPiece_ = true;
        return true;
    }
    if (n < 1 || n > PIECE_SIZE) {
        SetError(TRANSFER_LENGTH);
        return false;
    }
    const uint32_t total = Le16(buffer + 2);
    const uint32_t position = PIECE_SIZE * k;
    if ((total > position + PIECE_SIZE && n != PIECE_SIZE) || position + n > total) {
        SetError(TRANSFER_LENGTH);
        return false;
    }
    std::memcpy(buffer + position, inPacket_ + 4, n);
    if (position + n == total)
        lastPiece_ = true;
    return true;
}

bool ComThread::WritePiece(uint32_t address, uint8_t* buffer) {
    if (lastPiece_)
        return true;
    const uint32_t position = PIECE_SIZE * (address & 3);
    const uint32_t total = Le16(buffer + 2);
    uint32_t n = static_cast<uint16_t>(total - position);
    if (n > PIECE_SIZE)
        n = PIECE_SIZE;
    outPacket_[0] = 0x03;
    outPacket_[1] = 0x00;
    outPacket_[2] = static_cast<uint8_t>(address & 0xFF);
    outPacket_[3] = static_cast<uint8_t>((address >> 8) & 0xFF);
    std::memcpy(outPacket_ + 4, buffer + position, n);
    outLength_ = 4 + n;
    if (position + n >= total)
        lastPiece_ = true;
    if (!Exchange())
        return false;
    if (CheckErrorReply())
        return false;
    return CheckWriteReply(address);
}

bool ComThread::CheckWriteReply(uint32_t address) {
    if (inPacket_[0] != 0x03) {
        SetError(TRANSFER_WRONG_REPLY);
        return false;
    }
    if (inLength_ != 4) {
        SetError(TRANSFER_LENGTH);
        return false;
    }
    if (Le16(inPacket_ + 2) != (address & 0xFFFF)) {
        SetError(TRANSFER_WRONG_REPLY);
        return false;
    }
    return true;
}

bool ComThread::RequestInfo(int32_t number, uint8_t* buffer) {
    const uint32_t block = static_cast<uint32_t>(number) & 0xFF;
    if (block < 3)
        infoReceived_[block].store(false);
    if (buffer == nullptr) {
        SetError(TRANSFER_BUFFER);
        return false;
    }
    if (!PortSpeedCheck())
        return false;
    BeginTransaction();
    for (int attempt = 0; attempt < ATTEMPTS && !Terminated(); ++attempt) {
        attempt_ = attempt + 1;
        outPacket_[0] = 0x01;
        outPacket_[1] = static_cast<uint8_t>(block);
        outLength_ = 2;
        if (!Exchange())
            continue;
        // A radio without block 2 answers its request with a data error: the block is
        // simply absent.
        if (block >= 2 && inLength_ >= 3 && inPacket_[0] == 0xFF && inPacket_[2] == 3)
            return true;
        if (CheckErrorReply())
            return false;
        return CheckInfoReply(block, buffer);
    }
    if (Terminated())
        return false;
    SetNoReply();
    return false;
}

bool ComThread::CheckInfoReply(uint32_t number, uint8_t* buffer) {
    if (number < 2 && inPacket_[0] != 0x01) {
        SetError(TRANSFER_WRONG_REPLY);
        return false;
    }
    if (inPacket_[1] != number) {
        SetError(TRANSFER_WRONG_REPLY);
        return false;
    }
    const uint32_t size = InfoBlockSize(number);
    if (size == 0)
        return false;
    if (inLength_ != size + 2) {
        SetError(TRANSFER_LENGTH);
        return false;
    }
    std::memcpy(buffer, inPacket_ + 2, size);
    infoReceived_[number].store(true);
    return true;
}
