// What the transfer worker can tell an observer about the traffic on the line, for
// diagnosing a cable or a radio: every frame sent, every run of bytes received, and the end
// of every request/reply exchange.
#pragma once

#include <cstdint>
#include <functional>

struct LinkTraceEvent {
    enum Kind {
        FRAME_SENT,     // bytes: the frame as written to the line
        BYTES_RECEIVED, // bytes: what one read of the port returned
        EXCHANGE_DONE,  // bytes: the request packet; reply: the reply packet (FCS excluded)
    };
    Kind kind = FRAME_SENT;
    const uint8_t* bytes = nullptr;
    uint32_t length = 0;
    // EXCHANGE_DONE only: the reply packet when an acceptable frame came back.
    const uint8_t* reply = nullptr;
    uint32_t replyLength = 0;
    bool replied = false;
    uint32_t bytesSent = 0;     // EXCHANGE_DONE: frame bytes written for the request
    uint32_t bytesReceived = 0; // EXCHANGE_DONE: bytes read while waiting for the reply
    int32_t op = 0;             // the job's TransferOp
    uint32_t address = 0;       // block address of a piece, or the information block number
    int attempt = 0;            // 1, 2, 3 within the transaction
};

// Called on the worker thread while the worker waits: it must return quickly and must not
// call back into the worker. The pointers are valid only during the call.
using LinkObserver = std::function<void(const LinkTraceEvent& event)>;
