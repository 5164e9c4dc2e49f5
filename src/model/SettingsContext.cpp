#include "model/SettingsContext.h"

#include <algorithm>
#include <cstdio>

#include "model/Cp1251.h"
#include "model/TableImage.h"

namespace {

// squelch_byte: bits 0-2 level, bit 7 squelch off.
constexpr uint8_t SQUELCH_OFF = 0x80;
// audio_flags
constexpr uint8_t AUDIO_AUTO_VOLUME = 0x08;
constexpr uint8_t AUDIO_EXT_SPEAKER_OFF = 0x10;
constexpr uint8_t AUDIO_START_LOCK = 0x20;
constexpr uint8_t AUDIO_SPEC_LOCK = 0x40;
// power_flags
constexpr uint8_t POWER_TAMP = 0x01;
constexpr uint8_t POWER_COMMON = 0x02;
constexpr uint8_t POWER_SQL_COMMON = 0x04;
// option_flags
constexpr uint8_t OPTION_KEY_LOCK = 0x01;
constexpr uint8_t OPTION_TAMP = 0x02;
constexpr uint8_t OPTION_KEY_BEEP = 0x04;
constexpr uint8_t OPTION_DIGITAL_DELAY = 0x08;
constexpr uint8_t OPTION_MULTIPLEXED = 0x10;
constexpr uint8_t OPTION_SQW_POLARITY = 0x20;
constexpr uint8_t OPTION_TX_VOICE_MONITOR = 0x40;
constexpr uint8_t OPTION_DEEMPHASIS_OFF = 0x80;

constexpr int32_t MAX_PASSWORD = 0xFFFF;

uint8_t Byte(int32_t value) {
    return static_cast<uint8_t>(value);
}
uint16_t Word(int32_t value) {
    return static_cast<uint16_t>(value);
}
uint8_t Bit(bool set, uint8_t mask) {
    return set ? mask : 0;
}

// Levels 1..8 travel in three bits; level 8 is sent as 0.
uint8_t SquelchBits(int32_t level) {
    return static_cast<uint8_t>(std::clamp(level, 1, 8) & 7);
}
int32_t SquelchLevel(uint8_t bits) {
    return (bits & 7) == 0 ? 8 : bits & 7;
}

} // namespace

uint16_t SettingsImageSize(uint16_t version) {
    switch (version) {
    case SETTINGS_V1_0:
        return 34;
    case SETTINGS_V1_1:
        return 38;
    case SETTINGS_V1_2:
        return 46;
    case SETTINGS_V1_3:
        return 48;
    default:
        return 0;
    }
}

void SettingsContext::SetDefaults() {
    *this = SettingsContext{};
}

bool SettingsContext::BuildSettingsImage(uint8_t* image, uint16_t version) {
    this->version = version;
    lastError.clear();
    const uint16_t size = SettingsImageSize(version);
    if (size == 0)
        return false;
    if (version >= SETTINGS_V1_1 && (TxPowerPassword < 0 || TxPowerPassword > MAX_PASSWORD)) {
        // Cut to 16 bits it would lock the radio's power setting with an unknown password.
        const std::string format = Utf8ToCp1251(
            "Пароль %d не может быть записан в радиостанцию: допустимы значения 0..%d!!!");
        char text[160];
        std::snprintf(text, sizeof text, format.c_str(), TxPowerPassword, MAX_PASSWORD);
        lastError = text;
        return false;
    }

    StartImage(image, version, size);
    uint8_t* p = image;
    PutU32(p + 12, static_cast<uint32_t>(ProgramCount));
    p[16] = Byte(SpecChannel);
    p[17] = Byte(BeepMax);
    p[18] = Byte(BeepMin);
    p[19] = Byte(MinVolume);
    p[20] = Byte(StartChannel);
    p[21] = TxPower ? 1 : 0;
    p[22] = Byte(Volume);
    p[23] = static_cast<uint8_t>(Bit(!Squelch_On, SQUELCH_OFF) | 1);
    p[24] = Byte(Intensity);
    p[25] = Bit(SquelchAutoVol_On, AUDIO_AUTO_VOLUME) | Bit(!ExtSpeaker_On, AUDIO_EXT_SPEAKER_OFF) |
            Bit(StartChannelLock, AUDIO_START_LOCK) | Bit(SpecChannelLock, AUDIO_SPEC_LOCK);
    PutU16(p + 26, Word(TxLimit));
    PutU16(p + 28, Word(TxPause));
    p[30] = Byte(IntensityKeys);
    PutU16(p + 31, Word(ScanPause));
    p[33] = Byte(MicAmp);

    if (version >= SETTINGS_V1_1) {
        PutU16(p + 34, Word(TxPowerPassword));
        p[36] = Byte(MaxTxPower);
        p[37] = Bit(Tamp, POWER_TAMP) | Bit(TxPowerCommon, POWER_COMMON) |
                Bit(SqlCommon, POWER_SQL_COMMON);
        p[23] = static_cast<uint8_t>((p[23] & ~7) | SquelchBits(Squelch));
    }
    if (version >= SETTINGS_V1_2) {
        PutU16(p + 38, Word(ID));
        p[40] = Bit(KeyLock, OPTION_KEY_LOCK) | Bit(Tamp, OPTION_TAMP) |
                Bit(KeyBeep, OPTION_KEY_BEEP) | Bit(DigitalDelay, OPTION_DIGITAL_DELAY) |
                Bit(MultiplexedChannel, OPTION_MULTIPLEXED) |
                Bit(SqwMonitorPolarity, OPTION_SQW_POLARITY) |
                Bit(TxVoiceMonitor, OPTION_TX_VOICE_MONITOR) |
                Bit(DeemphasisOff, OPTION_DEEMPHASIS_OFF);
        p[41] = Byte(Output1Function);
        p[42] = Byte(Output2Function);
        p[43] = Byte(Output3Function);
        p[44] = Byte(StartupMode);
        p[45] = Byte(RepeaterDelay);
    }
    if (version >= SETTINGS_V1_3) {
        p[46] = Byte(SpecChannel_1);
        p[47] = Byte(SpecChannel_2);
    }
    return SealImage(image);
}

bool SettingsContext::ParseSettingsImage(const uint8_t* image) {
    version = GetU16(image + IMAGE_VERSION_OFFSET);
    if (!ImageChecks(image))
        return false;
    const uint16_t size = SettingsImageSize(version);
    if (size == 0 || GetU16(image + IMAGE_SIZE_OFFSET) != size)
        return false;

    const uint8_t* p = image;
    SpecChannel = p[16];
    BeepMax = p[17];
    BeepMin = p[18];
    MinVolume = p[19];
    StartChannel = p[20];
    TxPower = p[21] != 0;
    Volume = p[22];
    Squelch_On = !(p[23] & SQUELCH_OFF);
    Intensity = p[24];
    SquelchAutoVol_On = p[25] & AUDIO_AUTO_VOLUME;
    ExtSpeaker_On = !(p[25] & AUDIO_EXT_SPEAKER_OFF);
    StartChannelLock = p[25] & AUDIO_START_LOCK;
    SpecChannelLock = p[25] & AUDIO_SPEC_LOCK;
    TxLimit = GetU16(p + 26);
    TxPause = GetU16(p + 28);
    IntensityKeys = p[30];
    ScanPause = GetU16(p + 31);
    MicAmp = p[33];

    if (version >= SETTINGS_V1_1) {
        TxPowerPassword = GetU16(p + 34);
        MaxTxPower = p[36];
        Squelch = SquelchLevel(p[23]);
        Tamp = p[37] & POWER_TAMP;
        TxPowerCommon = p[37] & POWER_COMMON;
        SqlCommon = p[37] & POWER_SQL_COMMON;
    } else {
        TxPowerPassword = 0;
        MaxTxPower = 3;
        Squelch = 1;
        Tamp = true;
        TxPowerCommon = false;
        SqlCommon = false;
    }

    if (version >= SETTINGS_V1_2) {
        ID = GetU16(p + 38);
        KeyLock = p[40] & OPTION_KEY_LOCK;
        Tamp = p[40] & OPTION_TAMP;
        KeyBeep = p[40] & OPTION_KEY_BEEP;
        DigitalDelay = p[40] & OPTION_DIGITAL_DELAY;
        MultiplexedChannel = p[40] & OPTION_MULTIPLEXED;
        SqwMonitorPolarity = p[40] & OPTION_SQW_POLARITY;
        TxVoiceMonitor = p[40] & OPTION_TX_VOICE_MONITOR;
        DeemphasisOff = p[40] & OPTION_DEEMPHASIS_OFF;
        Output1Function = p[41];
        Output2Function = p[42];
        Output3Function = p[43];
        StartupMode = p[44];
        RepeaterDelay = p[45];
    } else {
        ID = 1;
        KeyLock = false;
        KeyBeep = true;
        DigitalDelay = true;
        MultiplexedChannel = false;
        SqwMonitorPolarity = false;
        TxVoiceMonitor = true;
        DeemphasisOff = false;
        Output1Function = Output2Function = Output3Function = 0;
        StartupMode = 0x80;
        RepeaterDelay = 0;
    }

    if (version >= SETTINGS_V1_3) {
        SpecChannel_1 = p[46];
        SpecChannel_2 = p[47];
    } else {
        SpecChannel_1 = SpecChannel_2 = 0;
    }
    return true;
}
