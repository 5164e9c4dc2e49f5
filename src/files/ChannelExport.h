#pragma once

#include <filesystem>
#include <string>

#include "model/ChannelsContext.h"

// Save dialog of the export (UTF-8, filter in "caption|pattern" form).
inline constexpr const char* EXPORT_FILTER = "Таблица Excel (*.xlsx)|*.xlsx";
inline constexpr const char* EXPORT_DEFAULT_EXTENSION = "xlsx";

// Number format of the frequencies: groups of three digits in every locale.
inline constexpr const char* FREQ_NUMBER_FORMAT = "#,##0";

// Outcome of an export. Texts are Windows-1251.
struct ExportResult {
    bool ok = false;
    // Caption and text of the message box to show: information on success, error otherwise.
    std::string caption;
    std::string message;
    // Why it failed (the system's or the library's words), empty on success.
    std::string reason;
};

// Writes the channel table as a spreadsheet to file: a two-row framed header, one row per
// used channel, groups of consecutive channels framed thick. Never throws; a failed export
// leaves no file (or the old one) behind.
ExportResult ExportChannels(const ChannelsContext& channels, const std::filesystem::path& file);
