#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/FreqRange.h"

// Sizes of the three information blocks the radio sends about itself.
inline constexpr size_t INFO_BLOCK0_SIZE = 122;
inline constexpr size_t INFO_BLOCK1_SIZE = 104;
inline constexpr size_t INFO_BLOCK2_SIZE = 464;

// Process-wide switch: when true, the alternative programmer identifier is accepted too.
// False at start; set once by the main window's hidden action and never cleared.
extern bool AcceptSecondType;

// The programmer identifiers this program accepts (5 characters each), built at run time.
std::string OwnProgrammerId();
std::string AlternativeProgrammerId();

// What the radio says about itself: identity, ranges, power levels, versions and options,
// decoded from information blocks 0, 1 and 2. Texts are Windows-1251.
class TInfoContext {
public:
    TInfoContext();

    // Each decodes one block (exactly its size in bytes, as the information transaction
    // stored it), sets its flag and returns true.
    bool DecodeBlock0(const uint8_t* block);
    bool DecodeBlock1(const uint8_t* block);
    bool DecodeBlock2(const uint8_t* block);

    // Blocks 0 and 1 have both been decoded.
    bool HasIdentity() const { return has_block0 && has_block1; }

    // The radio requires this program (or, while AcceptSecondType is on, the alternative).
    bool IsProgrammerAccepted(const std::string& id) const;

    // The Russian text report, lines separated by CR LF (Windows-1251).
    std::string BuildReport() const;

    uint32_t programming_count = 0;
    uint32_t serial_number = 0;
    std::string firmware_version;
    std::string programmer_id;
    std::string radio_type;
    std::string comment;
    std::string aux_text;
    std::string long_comment;
    FreqRange ranges;
    uint16_t bootloader_version = 0;
    uint16_t aux_word = 0;
    uint32_t bootloader_size = 0;
    uint32_t bootloader_checksum = 0;
    uint32_t firmware_size = 0;
    uint32_t firmware_checksum = 0;
    uint16_t channels_version = 0;
    uint16_t channels2_version = 0;
    uint16_t settings_version = 0;
    uint16_t calibration_version = 0;
    bool has_block0 = false;
    bool has_block1 = false;
    bool has_block2 = false;
    uint32_t cpu_id[3] = {};
    uint32_t flash_size = 0;
    int32_t power_w[4] = {5, 10, 20, 40};
    uint8_t options[32] = {};
};
