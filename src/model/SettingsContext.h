#pragma once

#include <cstdint>
#include <string>

// Settings table versions and the image size of each.
inline constexpr uint16_t SETTINGS_V1_0 = 0x0100;
inline constexpr uint16_t SETTINGS_V1_1 = 0x0101;
inline constexpr uint16_t SETTINGS_V1_2 = 0x0102;
inline constexpr uint16_t SETTINGS_V1_3 = 0x0103;

// Image size of a settings table version, or 0 for a version the program does not know.
uint16_t SettingsImageSize(uint16_t version);

// The radio's station-wide settings and the codec of its settings-table image. Field names
// are the ones the configuration file uses (ProgramCount is not stored there).
class SettingsContext {
public:
    int32_t ProgramCount = 0;
    uint16_t version = SETTINGS_V1_0;
    int32_t Intensity = 9;
    int32_t IntensityKeys = 9;
    int32_t Volume = 10;
    int32_t MinVolume = 9;
    int32_t BeepMin = 3;
    int32_t BeepMax = 8;
    int32_t TxLimit = 0;
    int32_t TxPause = 0;
    int32_t StartChannel = 0;
    int32_t SpecChannel = 0;
    int32_t ScanPause = 5;
    bool TxPower = false;
    bool Squelch_On = true;
    bool SquelchAutoVol_On = true;
    bool ExtSpeaker_On = true;
    bool SpecChannelLock = false;
    bool StartChannelLock = false;
    int32_t MicAmp = 1;
    int32_t TxPowerPassword = 0;
    int32_t MaxTxPower = 2;
    int32_t Squelch = 1;
    bool Tamp = true;
    bool TxPowerCommon = false;
    bool SqlCommon = false;
    int32_t ID = 1;
    bool KeyLock = false;
    bool KeyBeep = true;
    bool DigitalDelay = true;
    bool MultiplexedChannel = false;
    bool SqwMonitorPolarity = false;
    bool TxVoiceMonitor = true;
    bool DeemphasisOff = false;
    int32_t Output1Function = 0;
    int32_t Output2Function = 0;
    int32_t Output3Function = 0;
    int32_t StartupMode = 0x80;
    int32_t SpecChannel_1 = 0;
    int32_t SpecChannel_2 = 0;
    int32_t RepeaterDelay = 0;

    // Windows-1251 reason of the last refused build; emptied when a build starts.
    std::string lastError;

    SettingsContext() = default;

    // Every field to its default, version 0x0100.
    void SetDefaults();

    // Image of the settings in version 0x0100..0x0103 into the TABLE_IMAGE_SIZE buffer. Sets
    // version first, also when it then fails. Refuses (lastError says why) a TxPowerPassword
    // the 16-bit field cannot carry.
    bool BuildSettingsImage(uint8_t* image, uint16_t version);

    // Reads a TABLE_IMAGE_SIZE image. Sets version to the image's word before any check; on
    // failure every other field keeps its value.
    bool ParseSettingsImage(const uint8_t* image);

    // Squelch and power common to all channels. A table before 1.1 has no such setting:
    // every channel then uses its own levels, whatever the two flags were left at.
    bool CommonSquelchInUse() const { return version >= SETTINGS_V1_1 && SqlCommon; }
    bool CommonPowerInUse() const { return version >= SETTINGS_V1_1 && TxPowerCommon; }

    bool operator==(const SettingsContext&) const = default;
};
