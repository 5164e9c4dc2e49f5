// What a simulated radio says about itself in its information blocks 0, 1 and 2.
// Texts are Windows-1251 bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/InfoContext.h" // the information block sizes

struct RadioIdentity {
    // Block 0
    uint32_t programmingCount = 0;
    uint32_t serialNumber = 170001;       // 0xFFFFFFFF means none
    std::string firmwareVersion = "2.14"; // up to 10
    std::string programmerId = "ZVP01";   // up to 5
    std::string radioType = "Simulated";  // up to 20
    std::string comment = "";             // up to 40
    std::string auxText = "";             // up to 15
    // Frequency ranges: frequency = (base + offset) x step, in hertz.
    uint16_t txBase = 2640;
    uint16_t rxBase = 2640;
    uint16_t step = 12500;
    // Begin and end offsets of ranges 1..4; equal offsets mean no range.
    std::array<std::array<uint16_t, 2>, 4> rangeOffsets{{{0, 1240}, {0, 0}, {0, 0}, {0, 0}}};

    // Block 1
    uint16_t bootloaderVersion = 0x1203; // 1.2.3
    uint16_t auxWord = 0;
    uint32_t bootloaderSize = 8192;
    uint32_t bootloaderChecksum = 0x1BADB002;
    uint32_t firmwareSize = 118784;
    uint32_t firmwareChecksum = 0x5EED1234;
    uint16_t channelsVersion = 0x0200;
    uint16_t channels2Version = 0x0200; // 0: the radio has no second channel table
    uint16_t settingsVersion = 0x0103;
    uint16_t calibrationVersion = 0x0100;
    std::array<uint32_t, 3> cpuId{0x00430031, 0x3133470A, 0x20383650};
    uint32_t flashSize = 131072;
    std::array<uint8_t, 4> powerW{1, 5, 10, 25};

    // Block 2
    bool hasBlock2 = true;        // without it the radio answers the request with radio code 3
    std::string longComment = ""; // up to 128
    std::array<uint8_t, 32> options{};

    // Sets one range pair (1..4) from limits in hertz, keeping the bases and the step.
    // False when the limits are not whole steps above the base or do not fit 16 bits.
    bool SetRange(int index, uint32_t beginHz, uint32_t endHz);
};

// The raw information blocks, laid out as the radio sends them.
std::array<uint8_t, INFO_BLOCK0_SIZE> BuildInfoBlock0(const RadioIdentity& id);
std::array<uint8_t, INFO_BLOCK1_SIZE> BuildInfoBlock1(const RadioIdentity& id);
std::array<uint8_t, INFO_BLOCK2_SIZE> BuildInfoBlock2(const RadioIdentity& id);
