// The transfer worker: owns the serial port to the radio and runs lists of transfer jobs
// (read a table, write a table, fetch an information block) on a thread of its own.
//
// Hand-over between the driver's thread and the worker goes through the status:
// 0 = list handed over, 1..99 = running (percentage), 100 = list finished, worker idle.
// The driver fills the job table and the job buffers only while the worker is not busy,
// hands the list over with StartJobs, and reads the buffers, GetError() and the block
// received flags once GetProgress() has returned 100.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "link/Framing.h"
#include "link/LinkTrace.h"
#include "link/SerialPort.h"
#include "link/TransferErrors.h"
#include "link/TransferJob.h"

class ComThread {
public:
    static constexpr uint32_t MAX_JOBS = 1024;
    static constexpr uint32_t LINK_SPEED = 9600;
    static constexpr int IDLE_POLL_MS = 100; // idle worker checks its status this often
    static constexpr int READ_PAUSE_MS = 50; // longest pause between port reads
    // Silence that ends the wait for (the rest of) a reply. After a request it counts from
    // the moment the request has left the line, not from its hand-over to the driver.
    static constexpr int SILENCE_MS = 1000;
    // Longest wait for a valid reply frame after the request has left the line, however
    // many bytes keep arriving. The longest reply (a full read piece, every byte escaped)
    // takes about 1.1 s at 9600 Bd, a radio writing flash memory some 0.5 s before it.
    static constexpr int REPLY_LIMIT_MS = 4000;
    // On opening, what still arrives from an earlier session is discarded until the line
    // has been quiet this long (at most QUIET_LIMIT_MS).
    static constexpr int QUIET_MS = 5;
    static constexpr int QUIET_LIMIT_MS = 1000;
    static constexpr int ATTEMPTS = 3;
    static constexpr uint32_t PIECE_SIZE = 512;
    static constexpr uint32_t RAW_CHUNK = 256;

    // The progress message, wParam packed as: bits 0-7 port number, 8-15 current op,
    // 16-23 status, 24-31 error code (low byte of each). It is called on the worker thread
    // after every step and must only post (queue) the notification, never wait for the
    // receiver. It stays in use until ClosePort has returned.
    using Notify = std::function<void(uint32_t wParam)>;

    ComThread();
    ~ComThread(); // closes the port (ClosePort)
    ComThread(const ComThread&) = delete;
    ComThread& operator=(const ComThread&) = delete;

    // Opens COM port number (1..255, device from link/ComPorts.h) at 9600 Bd. Succeeds at
    // once when a port is already open, whatever the number. On failure LastOpenError()
    // says why.
    bool OpenPort(int number);
    const std::string& LastOpenError() const { return lastOpenError_; }
    // The same, for a program to act on.
    const PortOpenReason& LastOpenFailure() const { return lastOpenFailure_; }
    // The device path behind the open port (empty when closed).
    const std::string& Device() const { return port_.Device(); }

    // Receiver of progress notifications; an empty function means none. Set it before the
    // first StartJobs.
    bool SetNotifyWindow(Notify notify);

    // Observer of the traffic (frames sent, bytes received, exchanges); none by default, and
    // without one the worker does no work for it. Set it before the first StartJobs.
    void SetObserver(LinkObserver observer) { observer_ = std::move(observer); }

    bool IsPortOpen() const;
    int PortNumber() const { return portNumber_.load(); }
    // True from StartJobs until the list has ended (status 0..99 on a started worker) and
    // while the worker has not been told to stop. The job table and buffers belong to the
    // worker meanwhile.
    bool IsBusy() const;

    bool ClearJobs();
    bool AddJob(const TransferJob* job);
    uint32_t JobCount() const { return jobCount_; }
    // Hands the listed jobs to the worker (starting its thread the first time). Fails when
    // no port is open, a list is still running, or the worker has been told to stop.
    bool StartJobs();

    // The status, raised to 1 when 0 and lowered to 100 when above.
    int GetProgress() const;
    int GetError() const { return errorCode_.load(); }
    // With error code 24: every failed attempt received bytes, but no valid reply frame
    // (noise, broken frames): another device may be on the port. Cleared when a list begins.
    bool DataWithoutReply() const { return dataWithoutReply_.load(); }
    // Information block 0, 1 or 2 arrived and was copied into its job's buffer.
    bool InfoReceived(int block) const;

    // Stops the worker (waits for its thread body to return, about one second at most plus
    // the frame being written) and closes the port.
    bool ClosePort();

    // ---- Worker-thread operations. The job loop calls them; they are public so a test can
    // ---- drive single exchanges on one thread without starting the worker.

    // Transactions (job ops 1, 2 and 3). The outcome is in the error code and buffers.
    bool ReadTable(int32_t address, uint8_t* buffer);
    bool WriteTable(int32_t address, uint8_t* buffer);
    bool RequestInfo(int32_t number, uint8_t* buffer);

    // Progress inside the current job; true when the value changed.
    bool AdvanceProgress(uint32_t bytes);

    // Framing of one exchange.
    bool BuildFrame();
    bool SendFrame();
    bool ReadChunk();
    bool ReceiveFrame();
    bool DecodeFrame();
    bool ReceiveReply();
    // Puts the frame receiver into its initial state (waiting for a start flag).
    void ResetReceiver();

    // The packet to send and the last packet received (FCS excluded).
    uint8_t* OutPacket() { return outPacket_; }
    // Limited so that the frame check sequence still fits behind the packet.
    void SetOutLength(uint32_t n) { outLength_ = std::min<uint32_t>(n, MAX_PACKET - 2); }
    const uint8_t* InPacket() const { return inPacket_; }
    uint32_t InLength() const { return inLength_; }
    // Verdict of the last DecodeFrame.
    bool LastFrameValid() const { return frameValid_; }

private:
    using Clock = std::chrono::steady_clock;

    void Execute();
    bool PortSpeedCheck();
    bool ReadPiece(uint32_t address, uint8_t* buffer);
    bool WritePiece(uint32_t address, uint8_t* buffer);
    // The four pieces of one table, each moved by piece (ReadPiece or WritePiece).
    bool TransferTable(int32_t address, uint8_t* buffer,
                       bool (ComThread::*piece)(uint32_t, uint8_t*));
    // One request/reply exchange of the packet in outPacket_. False when no acceptable
    // frame came back (nothing, a broken frame or an FCS mismatch).
    bool Exchange();
    bool CheckErrorReply();
    bool CheckReadReply(uint32_t address, uint8_t* buffer);
    bool CheckWriteReply(uint32_t address);
    bool CheckInfoReply(uint32_t number, uint8_t* buffer);
    // A valid frame that answers a write piece although an information request was asked,
    // before the radio has answered anything since the port was opened: the late answer
    // to a write interrupted in an earlier session.
    bool IsLateWriteAnswer() const;
    // Starts the attempt counts of one transaction; ends it with code 24 unless a code is set.
    void BeginTransaction();
    void SetNoReply();
    void SetError(int code);
    void RecomputeStatus();
    void Post();
    bool Terminated() const { return terminate_.load(); }
    void ObserveExchange(bool replied);

    SerialPort port_;
    std::string lastOpenError_;
    PortOpenReason lastOpenFailure_;
    std::atomic<int> portNumber_{0};
    Notify notify_;
    LinkObserver observer_;
    int attempt_ = 0;               // of the running transaction, from 1
    uint32_t exchangeReceived_ = 0; // bytes read since the running exchange's request

    std::thread thread_;
    bool started_ = false;
    std::atomic<bool> terminate_{false};
    std::atomic<bool> running_{false}; // thread body has not returned
    std::mutex wakeMutex_;
    std::condition_variable wake_; // ends the idle wait early on StartJobs and ClosePort

    TransferJob jobs_[MAX_JOBS];
    uint32_t jobCount_ = 0;
    uint32_t jobIndex_ = 0;
    std::atomic<int32_t> currentOp_{0};
    std::atomic<uint32_t> status_{0};
    uint32_t bytesDone_ = 0;
    uint32_t bytesInJob_ = 0;
    uint32_t bytesTotal_ = 0;
    std::atomic<int32_t> errorCode_{0};
    std::atomic<bool> dataWithoutReply_{false};
    std::atomic<bool> infoReceived_[3] = {false, false, false};
    bool lastPiece_ = false;

    // Framing buffers.
    uint8_t outPacket_[MAX_PACKET];
    uint32_t outLength_ = 0;
    uint8_t outFrame_[MAX_FRAME];
    uint32_t outFrameLength_ = 0;
    uint8_t rawChunk_[RAW_CHUNK];
    uint32_t rawCount_ = 0;
    uint32_t rawPosition_ = 0;
    FrameCollector collector_;
    uint8_t inPacket_[MAX_PACKET];
    uint32_t inLength_ = 0;
    bool frameValid_ = false;
    uint32_t bytesWritten_ = 0;
    uint32_t bytesRead_ = 0;

    // Timing of the exchange in progress.
    Clock::time_point silenceFrom_{};                            // the request left the line
    Clock::time_point replyDeadline_ = Clock::time_point::max(); // end of REPLY_LIMIT_MS
    bool strayBytes_ = false;        // bytes since the request that formed no valid frame
    bool answeredSinceOpen_ = false; // a reply has been accepted on this port
    int failedExchanges_ = 0;        // of the current transaction
    int strayExchanges_ = 0;         // ...that failed with stray bytes
};
