// Error codes the transfer worker leaves for its driver (ComThread::GetError).
#pragma once

enum TransferError : int {
    TRANSFER_OK = 0,
    TRANSFER_CHECKSUM = 17,        // error reply, radio code 1
    TRANSFER_WRONG_REPLY = 18,     // reply of the wrong kind, block number or address
    TRANSFER_LENGTH = 19,          // reply of the wrong length, or data beyond the image
    TRANSFER_SIGNATURE = 20,       // no transaction produces it
    TRANSFER_SPEED = 21,           // no transaction produces it
    TRANSFER_BUFFER = 22,          // a job without a buffer
    TRANSFER_MISMATCH = 23,        // no transaction produces it
    TRANSFER_NO_REPLY = 24,        // three attempts without an acceptable reply
    TRANSFER_UNKNOWN_COMMAND = 25, // error reply, radio code 0
    TRANSFER_NOT_AVAILABLE = 26,   // error reply, radio code 2
    TRANSFER_DATA = 27,            // error reply, radio code 3
    TRANSFER_SEQUENCE = 28,        // error reply, radio code 4
    TRANSFER_COMPATIBILITY = 29,   // error reply, radio code 5
    TRANSFER_OTHER = 65535,        // error reply, any other radio code
};

// Radio error code of an error reply (byte 2) to the worker's error code.
int TransferErrorForRadioCode(unsigned radioCode);
