#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "model/Channel.h"
#include "model/ChannelsContext.h"

// Channel lists as comma-separated text that spreadsheets open and save: a header row, then
// one row per used slot in slot order. UTF-8 with a byte-order mark, RFC 4180 quoting.

// File dialogs of the channel list (UTF-8, filter in "caption|pattern" form).
inline constexpr const char* CHANNEL_CSV_FILTER = "Список каналов CSV (*.csv)|*.csv";
inline constexpr const char* CHANNEL_CSV_EXTENSION = "csv";

// The columns, in the order they are written.
inline constexpr std::array<const char*, 26> CHANNEL_CSV_COLUMNS = {"Slot",
                                                                    "Number",
                                                                    "Rx MHz",
                                                                    "Tx MHz",
                                                                    "Rx band kHz",
                                                                    "Tx band kHz",
                                                                    "Rx subtone",
                                                                    "Tx subtone",
                                                                    "Rx call tone Hz",
                                                                    "Tx call tone Hz",
                                                                    "Power low",
                                                                    "Power high",
                                                                    "Squelch",
                                                                    "Active",
                                                                    "Scan",
                                                                    "Scrambler",
                                                                    "Tx limit",
                                                                    "Tx busy",
                                                                    "F0",
                                                                    "F1",
                                                                    "F2",
                                                                    "F3",
                                                                    "F4",
                                                                    "F5",
                                                                    "F6",
                                                                    "F7"};

// How numbers are written: the default is a comma between columns and a decimal point; the
// Russian form has semicolons and decimal commas, as a spreadsheet in a Russian locale
// expects.
enum class CsvLocale { Default, Russian };

// The channel list of the table as the bytes of a CSV file.
std::string ChannelCsvText(const ChannelsContext& table, CsvLocale locale);

// Writes ChannelCsvText to path, replacing it atomically. Throws FileError on failure (the old
// file then stays as it was).
void SaveChannelCsv(const std::filesystem::path& path, const ChannelsContext& table,
                    CsvLocale locale);

// What is wrong with a place of a CSV file being read.
enum class CsvProblemKind {
    NoHeader,          // the file holds no header row
    NoSeparator,       // the header row has no comma, semicolon or tab
    UnterminatedQuote, // a quoted value runs to the end of the file
    TextAfterQuote,    // characters between a closing quote and the next separator
    UnknownColumn,     // a header name not in CHANNEL_CSV_COLUMNS, or a value in an unnamed one
    DuplicateColumn,   // a header name given twice
    MissingColumn,     // Slot or Rx MHz absent
    CellCount,         // a row with another number of cells than the header
    EmptyCell,         // a column that needs a value holds none
    NotInteger,        // not a whole number
    SlotRange,         // slot not 0..199
    DuplicateSlot,     // slot given by an earlier row (otherRow)
    NotFrequency,      // not a frequency in MHz with at most 6 decimals, above 0
    NoFrequency,       // neither a receive nor a transmit frequency
    RxOutOfRange,      // outside the receive ranges of the current set
    RxOffRaster,       // off the receive channel raster
    TxOutOfRange,      // outside the transmit ranges of the current set
    TxOffRaster,       // off the transmit channel raster
    Band,              // band not 12.5 or 25
    Subtone,           // not a CTCSS tone nor a DCS code
    CallTone,          // call tone not 400..3000 Hz
    Number,            // channel number not 0..99
    PowerLevel,        // power level not 0..3
    Squelch,           // squelch level not 1..8
    YesNo,             // not 1 or 0
};

// One problem: where (row 1 is the header; column empty for a whole row or file), the value
// found there (UTF-8, as in the file) and why it is refused.
struct CsvProblem {
    int row = 0;
    std::string column;
    std::string value;
    CsvProblemKind kind = CsvProblemKind::NoHeader;
    int otherRow = 0; // DuplicateSlot: the row that gave the slot first

    bool operator==(const CsvProblem&) const = default;
};

// One line for a problem: English (UTF-8) for the command-line tool, Russian (Windows-1251)
// for the desktop program.
std::string CsvProblemText(const CsvProblem& problem);
std::string CsvProblemTextRu(const CsvProblem& problem);

// The channels read from a CSV file: every slot the file does not give is empty (numbered
// slot modulo 100, as in a new configuration). Only when problems is empty may they replace
// a configuration's channels.
struct ChannelCsvImport {
    std::array<Channel, CHANNEL_COUNT> channels;
    int channelCount = 0; // used slots given by the file
    std::vector<CsvProblem> problems;

    bool ok() const { return problems.empty(); }
};

// Reads a channel list. The separator (comma, semicolon or tab) is the one of the header row;
// either decimal mark is accepted; columns stand in any order, only Slot and Rx MHz are
// required and a missing column gives every channel that field's default; header cells without
// a name, and cells past the header's, may pad the rows as long as they stay empty. Every row
// is checked
// as the channel editor checks an entry, against the current range set of table. All problems
// are collected, in file order. Rows whose cells are all empty are skipped.
ChannelCsvImport ParseChannelCsv(std::string_view bytes, const ChannelsContext& table);

// ParseChannelCsv of the file at path. Throws FileError when it cannot be read.
ChannelCsvImport ReadChannelCsv(const std::filesystem::path& path, const ChannelsContext& table);
