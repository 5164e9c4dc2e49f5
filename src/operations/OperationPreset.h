#pragma once

#include <cstdint>
#include <string>

// What the host shows before an operation starts: the window caption (Windows-1251) and
// the progress bar's colour (0x00BBGGRR) and percentage. The bar keeps these values only
// when the port cannot be opened.
struct OperationPreset {
    std::string caption;
    uint32_t bar_color = 0;
    int32_t percent = 0;
};

// Identify: "Информация ...", green, 35; read: "Чтение ...", green, 35;
// write: "Запись ...", red, 70. Any other mode gives an empty caption, 0 and 0.
OperationPreset PresetForMode(int32_t mode);
