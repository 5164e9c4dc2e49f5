// One job of the transfer worker, copied into its job table by value.
#pragma once

#include <cstdint>

enum TransferOp : int32_t {
    OP_READ_TABLE = 1,   // buffer receives the table image
    OP_WRITE_TABLE = 2,  // buffer holds the image to write
    OP_REQUEST_INFO = 3, // buffer receives the information block
};

// Size every job buffer must have at least.
inline constexpr int JOB_BUFFER_SIZE = 2048;

struct TransferJob {
    int32_t op = 0;            // TransferOp; any other value exchanges nothing
    int32_t address = 0;       // tables: block address (low 16 bits); info: block number (low 8)
    int32_t length = 0;        // weight in bytes for the progress percentage
    uint8_t* buffer = nullptr; // owned by the caller, JOB_BUFFER_SIZE bytes at least
};
