// A radio at the far end of the serial line: answers information, read-piece and
// write-piece requests from the tables it holds, and can be told to misbehave.
//
// Memory: channel table 0 (block addresses 0x0000-0x0003), the settings table
// (0x0004-0x0007) and channel table 3 (0x000C-0x000F, absent when the identity reports
// channels2Version 0). Each is a 2048-byte image; a written image replaces the stored one
// only when its last piece has arrived and its checksum is right.
//
// All public members are safe to call from any thread.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "link/Framing.h"
#include "sim/RadioIdentity.h"

// Misbehaviour, applied to the replies the radio sends. Counters count down once per
// reply they spoil; a filter limits the faults to one kind of request.
struct RadioFaults {
    enum class Only { Any, Info, Read, Write };

    bool echo = false;     // repeat every request frame before replying
    size_t noiseBytes = 0; // garbage bytes (no flag bytes) before every reply frame
    int splitParts = 1;    // write every reply in this many pieces...
    int splitPauseMs = 0;  // ...with this pause between them
    bool dead = false;     // never answer

    Only only = Only::Any; // which requests the counted faults below apply to
    int skipReplies = 0;   // let this many matching replies through untouched first
    int dropReplies = 0;   // send no reply
    int corruptFcs = 0;    // send the reply with a wrong FCS
    int errorReplies = 0;  // answer FF 00 <errorCode> instead
    int errorCode = 3;
    int wrongAddress = 0;   // name the next block address / block number in the reply
    int truncateFrames = 0; // send half a reply frame, then the whole reply

    int replyDelayMs = 0; // answer this long after the request has fully arrived
    bool babble = false;  // another device: never answer, stream text lines for ever
    // Memory faults, not limited by the filter above.
    int alterWrites = 0;     // store this many accepted tables changed (one byte flipped,
                             // checksum made right again), while answering as usual
    int dieAfterWrites = -1; // answer this many write pieces, then fall silent (dead) for
                             // good, as a pulled cable; -1: never
};

enum class Pacing {
    Instant,  // write replies as fast as the pseudo-terminal takes them
    Line9600, // take as long as the bytes would at 9600 Bd, 10 bits a byte, both ways
};

struct RadioStats {
    unsigned requests = 0;  // well-formed request packets received
    unsigned badFrames = 0; // frames with a bad FCS or escaping
    unsigned infoRequests = 0;
    unsigned readRequests = 0;
    unsigned writeRequests = 0;
    std::vector<uint32_t> writeLengths; // data bytes of every write-piece request, in order
    unsigned tablesWritten = 0;         // images accepted after their last piece
    uint64_t bytesIn = 0;               // bytes received, flags and escapes included
    uint64_t bytesOut = 0;              // bytes sent
};

class SimulatedRadio {
public:
    static constexpr size_t IMAGE_SIZE = 2048;
    using Image = std::array<uint8_t, IMAGE_SIZE>;

    // Builds empty channel tables and default settings in the versions of the identity.
    explicit SimulatedRadio(RadioIdentity identity = RadioIdentity());

    RadioIdentity Identity() const;
    void SetIdentity(const RadioIdentity& identity);
    RadioFaults Faults() const;
    void SetFaults(const RadioFaults& faults);
    RadioStats Stats() const;
    void ResetStats();

    // Table by number: 0 (channels 0-99), 1 (settings), 3 (channels 100-199).
    Image Table(int number) const;
    void SetTable(int number, const Image& image);
    bool HasTable(int number) const;

    // Answers one decoded request packet. Returns false when the radio sends nothing;
    // otherwise reply holds the reply packet (without FCS), before any fault is applied.
    bool Answer(const uint8_t* request, size_t length, std::vector<uint8_t>& reply);

    // Feeds bytes received from the line; appends to out every byte to send back, with
    // faults applied. Each element of out is one write, so split replies come out as
    // several elements; pauseMs tells how long to wait before the element.
    struct Write {
        std::vector<uint8_t> bytes;
        int pauseMs = 0;
    };
    void Receive(const uint8_t* data, size_t length, std::vector<Write>& out);

    // Receives one line of text for every request frame: what was asked and what the radio
    // did. Called on the serving thread with the radio locked: it must not call back into
    // the radio.
    using Log = std::function<void(const std::string&)>;
    void SetLog(Log log);

    // The next line a babbling device sends (NMEA-like text, CR LF), in turn.
    std::string NextBabbleLine();

    // Memory between runs: the three tables and the programming count, as text.
    bool SaveState(const std::string& path, std::string* error = nullptr) const;
    bool LoadState(const std::string& path, std::string* error = nullptr);

private:
    bool AnswerLocked(const uint8_t* request, size_t length, std::vector<uint8_t>& reply);
    bool AnswerWrite(const uint8_t* request, size_t length, std::vector<uint8_t>& reply);
    Image* TableLocked(int number);
    bool FaultApplies(uint8_t command) const;
    void HandleFrameLocked(std::vector<Write>& out);

    mutable std::mutex mutex_;
    Log log_;
    RadioIdentity identity_;
    RadioFaults faults_;
    RadioStats stats_;
    Image table0_{};
    Image settings_{};
    Image table3_{};
    // Image being written: pieces are collected here until the last one arrives.
    Image pending_{};
    int pendingTable_ = -1;
    uint32_t pendingNext_ = 0; // next piece expected
    // Receiver of the request stream.
    FrameCollector collector_;
    uint8_t packet_[MAX_PACKET];
    unsigned noiseSeed_ = 1;
    unsigned babbleCount_ = 0;
};

// A valid empty channel-table image (100 empty channels) of the given version.
SimulatedRadio::Image EmptyChannelImage(uint16_t version);
// A valid settings image of the given version (0x0100..0x0103) holding default settings.
SimulatedRadio::Image DefaultSettingsImage(uint16_t version);
// Writes the checksum and its guard word into an image (offsets 4 and 8).
void SealTableImage(SimulatedRadio::Image& image);
// Checksum of table images (CRC-32, polynomial 0x04C11DB7, words taken byte-reversed).
uint32_t TableImageCrc(const uint8_t* image, size_t position, size_t count);
