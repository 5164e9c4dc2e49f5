#include "model/InfoContext.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "model/Cp1251.h"
#include "model/TableImage.h"

bool AcceptSecondType = false;

namespace {

// Blank or control character (0x00..0x20 and DEL).
bool IsBlankOrControl(uint8_t c) {
    return c <= 0x20 || c == 0x7F;
}

// A text field: bytes up to the first zero or the field's width, without leading and
// trailing blanks and control characters.
std::string FieldText(const uint8_t* p, size_t width) {
    size_t n = 0;
    while (n < width && p[n] != 0) {
        ++n;
    }
    size_t begin = 0;
    while (begin < n && IsBlankOrControl(p[begin])) {
        ++begin;
    }
    size_t end = n;
    while (end > begin && IsBlankOrControl(p[end - 1])) {
        --end;
    }
    return std::string(reinterpret_cast<const char*>(p + begin), end - begin);
}

// The identifiers are kept masked so they do not stand in the binary as plain strings.
constexpr uint8_t kIdMask = 0x5A;
constexpr std::array<uint8_t, 5> kOwnId = {'Z' ^ kIdMask, 'V' ^ kIdMask, 'P' ^ kIdMask,
                                           '0' ^ kIdMask, '1' ^ kIdMask};
constexpr std::array<uint8_t, 5> kAlternativeId = {'Z' ^ kIdMask, 'V' ^ kIdMask, 'P' ^ kIdMask,
                                                   '0' ^ kIdMask, '2' ^ kIdMask};

std::string Unmask(const std::array<uint8_t, 5>& stored) {
    std::string id;
    for (uint8_t b : stored) {
        id += static_cast<char>(b ^ kIdMask);
    }
    return id;
}

std::string Format(const char* format, auto... args) {
    char buffer[256];
    const int n = std::snprintf(buffer, sizeof buffer, format, args...);
    if (n < 0)
        return std::string();
    // A longer result was cut by snprintf: take only what the buffer holds.
    return std::string(buffer, std::min(static_cast<size_t>(n), sizeof buffer - 1));
}

// Captions are written here in UTF-8 and converted once to the core's Windows-1251.
std::string T(const char* utf8) {
    return Utf8ToCp1251(utf8);
}

std::string RangeLine(const uint32_t* begin, const uint32_t* end) {
    std::string line;
    for (int i = 0; i < FREQ_RANGE_SLOTS; ++i) {
        if (begin[i] != 0 && end[i] != 0) {
            line += Format("%c (%s-%s)", i == 0 ? ' ' : ',', MhzText(begin[i]).c_str(),
                           MhzText(end[i]).c_str());
        }
    }
    return line;
}

} // namespace

std::string OwnProgrammerId() {
    return Unmask(kOwnId);
}
std::string AlternativeProgrammerId() {
    return Unmask(kAlternativeId);
}

TInfoContext::TInfoContext() = default;

bool TInfoContext::DecodeBlock0(const uint8_t* b) {
    programming_count = GetU32(b + 0);
    serial_number = GetU32(b + 4);
    firmware_version = FieldText(b + 8, 10);
    programmer_id = FieldText(b + 18, 5);
    radio_type = FieldText(b + 23, 20);
    comment = FieldText(b + 43, 40);
    aux_text = FieldText(b + 83, 15);

    const uint16_t txBase = GetU16(b + 98);
    const uint16_t rxBase = GetU16(b + 100);
    const uint16_t step = GetU16(b + 104);
    ranges.Clear();
    // Bases, offsets and the step are 16-bit; base plus offset may need more (136-174 MHz
    // in 2.5 kHz steps reaches 69 600 steps), so it is not cut to 16 bits. Products 32-bit.
    auto edge = [&](uint16_t base, int offsetAt) {
        const uint32_t sum = static_cast<uint32_t>(base) + GetU16(b + offsetAt);
        return sum * static_cast<uint32_t>(step);
    };
    for (int i = 0; i < 4; ++i) {
        const uint32_t begin = edge(rxBase, 106 + 4 * i);
        const uint32_t end = edge(rxBase, 108 + 4 * i);
        if (begin != end) {
            ranges.AddRx(begin, end);
        }
    }
    for (int i = 0; i < 4; ++i) {
        const uint32_t begin = edge(txBase, 106 + 4 * i);
        const uint32_t end = edge(txBase, 108 + 4 * i);
        if (begin != end) {
            ranges.AddTx(begin, end);
        }
    }
    has_block0 = true;
    return true;
}

bool TInfoContext::DecodeBlock1(const uint8_t* b) {
    bootloader_version = GetU16(b + 0);
    aux_word = GetU16(b + 2);
    bootloader_size = GetU32(b + 4);
    bootloader_checksum = GetU32(b + 8);
    firmware_size = GetU32(b + 12);
    firmware_checksum = GetU32(b + 16);
    long_comment.clear();
    channels_version = 0;
    settings_version = 0;
    calibration_version = 0;
    channels2_version = 0;
    for (int i = 0; i < 16; ++i) {
        const uint16_t tag = GetU16(b + 20 + 4 * i);
        const uint16_t version = GetU16(b + 22 + 4 * i);
        switch (tag) {
        case 0:
            channels_version = version;
            break;
        case 4:
            settings_version = version;
            break;
        case 8:
            calibration_version = version;
            break;
        case 12:
            channels2_version = version;
            break;
        default:
            break;
        }
    }
    for (int i = 0; i < 3; ++i) {
        cpu_id[i] = GetU32(b + 84 + 4 * i);
    }
    flash_size = GetU32(b + 96);
    for (int i = 0; i < 4; ++i) {
        power_w[i] = b[100 + i];
    }
    has_block1 = true;
    return true;
}

bool TInfoContext::DecodeBlock2(const uint8_t* b) {
    long_comment = FieldText(b + 44, 128);
    for (int i = 0; i < 32; ++i) {
        options[i] = b[172 + i];
    }
    has_block2 = true;
    return true;
}

bool TInfoContext::IsProgrammerAccepted(const std::string& id) const {
    if (id.empty()) {
        return false;
    }
    if (id == OwnProgrammerId()) {
        return true;
    }
    return AcceptSecondType && id == AlternativeProgrammerId();
}

std::string TInfoContext::BuildReport() const {
    std::string r;
    if (has_block0) {
        r += T("Тип радиостанции: ") + radio_type + "\r\n\r\n";
        if (serial_number != 0xFFFFFFFFu) {
            r += T("Серийный номер: ") + Format("%u\r\n\r\n", serial_number);
        }
        r += T("Количество попыток программирования: ") + Format("%u\r\n\r\n", programming_count);
    }
    if (has_block1) {
        r += T("Микроконтроллер.\r\n") + Format("\tCPUID: %08X %08X %08X\r\n\tFLASH:%dK\r\n\r\n",
                                                cpu_id[2], cpu_id[1], cpu_id[0],
                                                static_cast<int>(flash_size / 1024));
        r += T("Мощность передачи:\r\n");
        for (int i = 0; i < 4; ++i) {
            r += Format("\tP%d=%d ", i, power_w[i]) + T("Вт") + "\r\n";
        }
        r += "\r\n";
    }
    if (has_block0) {
        r += T("Диапазон рабочих частот (МГц):\r\n");
        r += T("\tПрием:    ") + RangeLine(ranges.rx_begin, ranges.rx_end) + "\r\n";
        r += T("\tПередача: ") + RangeLine(ranges.tx_begin, ranges.tx_end) + "\r\n\r\n";
        if (!long_comment.empty()) {
            r += T("Комментарий: ") + long_comment + "\r\n\r\n";
        } else if (!comment.empty()) {
            r += T("Комментарий: ") + comment + "\r\n\r\n";
        }
        r += T("Версия программатора: ") + programmer_id + "\r\n\r\n";
        r += T("Программное обеспечение:\r\n") + T("\tВерсия: ") + firmware_version + "\r\n";
        if (has_block1) {
            r += T("\tРазмер: ") + Format("%d\r\n", static_cast<int>(firmware_size)) +
                 T("\tКонтрольная сумма: ") + Format("0X%08X\r\n\r\n", firmware_checksum);
        }
    }
    if (has_block1) {
        r += T("Загрузчик:\r\n") + T("\tВерсия: ") +
             Format("%d.%d.%d\r\n", (bootloader_version >> 12) & 0xF,
                    (bootloader_version >> 8) & 0xF, bootloader_version & 0xFF) +
             T("\tРазмер: ") + Format("%d\r\n", static_cast<int>(bootloader_size)) +
             T("\tКонтрольная сумма: ") + Format("0X%08X\r\n\r\n", bootloader_checksum);
        r += T("Таблица каналов 0-99:     Версия ") +
             Format("%d.%d\r\n", channels_version >> 8, channels_version & 0xFF);
        if (channels2_version != 0) {
            r += T("Таблица каналов 100-199:    Версия ") +
                 Format("%d.%d\r\n", channels2_version >> 8, channels2_version & 0xFF);
        }
        r += T("Таблица настроек:    Версия ") +
             Format("%d.%d\r\n", settings_version >> 8, settings_version & 0xFF);
        r += T("Таблица калибровок:  Версия ") +
             Format("%d.%d\r\n", calibration_version >> 8, calibration_version & 0xFF);
    }
    if (has_block2) {
        r += T("Опции:\r\n");
        for (int i = 0; i < 32; ++i) {
            r += Format("%02X ", options[i]);
            if (i == 15 || i == 31) {
                r += "\r\n";
            }
        }
    }
    return r;
}
