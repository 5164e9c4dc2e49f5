#include "files/ChannelCsv.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>

#include "files/AtomicFile.h"
#include "model/ChannelCheck.h"
#include "model/Cp1251.h"

namespace {

constexpr std::string_view BOM = "\xEF\xBB\xBF";
constexpr int64_t HZ_PER_MHZ = 1000000;
constexpr int FREQ_DECIMALS = 6;
constexpr int64_t BAND_NARROW_TENTHS = 125; // 12.5 kHz
constexpr int64_t BAND_WIDE_TENTHS = 250;   // 25 kHz
constexpr int FIRST_DCS_CODE = 51;
constexpr int LAST_CTCSS_CODE = 50;

enum Column {
    COL_SLOT,
    COL_NUMBER,
    COL_RX,
    COL_TX,
    COL_BAND_RX,
    COL_BAND_TX,
    COL_SUBTONE_RX,
    COL_SUBTONE_TX,
    COL_TONE_RX,
    COL_TONE_TX,
    COL_POWER_LOW,
    COL_POWER_HIGH,
    COL_SQUELCH,
    COL_ACTIVE,
    COL_SCAN,
    COL_SCRAMBLER,
    COL_TX_LIMIT,
    COL_TX_BUSY,
    COL_F0,
    COL_COUNT = COL_F0 + 8,
};
static_assert(COL_COUNT == CHANNEL_CSV_COLUMNS.size());
// A header cell without a name: a padding column, refused only where it holds a value.
constexpr int UNNAMED_COLUMN = -1;

// The yes/no fields in column order from COL_ACTIVE on.
bool* YesNoField(Channel& c, int column) {
    bool* const fields[] = {&c.active, &c.scan,  &c.scrambler, &c.tx_limit, &c.tx_busy,
                            &c.flag0,  &c.flag1, &c.flag2,     &c.flag3,    &c.flag4,
                            &c.flag5,  &c.flag6, &c.flag7};
    return fields[column - COL_ACTIVE];
}

// ------------------------------------------------------------------------------- writing

// Value with up to decimals places, trailing zeros dropped, with the locale's decimal mark.
std::string FixedText(int64_t scaled, int decimals, char mark) {
    int64_t unit = 1;
    for (int i = 0; i < decimals; ++i)
        unit *= 10;
    std::string text = std::to_string(scaled / unit);
    std::string fraction = std::to_string(scaled % unit);
    fraction.insert(0, static_cast<size_t>(decimals) - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    if (!fraction.empty())
        text += mark + fraction;
    return text;
}

// Tenths of hertz of CTCSS tone code 1..50 (" 67,0" gives 670).
int64_t CtcssTenths(int code) {
    int64_t tenths = 0;
    for (const char* p = CTCSS_TONES[static_cast<size_t>(code)]; *p; ++p) {
        if (*p >= '0' && *p <= '9')
            tenths = tenths * 10 + (*p - '0');
    }
    return tenths;
}

std::string SubtoneText(int32_t code, char mark) {
    if (code >= 1 && code <= LAST_CTCSS_CODE) {
        const int64_t tenths = CtcssTenths(code); // always one decimal: "67.0"
        return std::to_string(tenths / 10) + mark + static_cast<char>('0' + tenths % 10);
    }
    if (code >= FIRST_DCS_CODE && code <= MAX_SUBTONE_CODE)
        return std::string("D") + DCS_CODES[static_cast<size_t>(code - LAST_CTCSS_CODE)];
    return std::string();
}

std::string FrequencyText(int32_t hz, char mark) {
    return hz > 0 ? FixedText(hz, FREQ_DECIMALS, mark) : std::string();
}

std::string BandText(bool wide, char mark) {
    return FixedText(wide ? BAND_WIDE_TENTHS : BAND_NARROW_TENTHS, 1, mark);
}

// RFC 4180: a field holding the separator, a quote or a line break is quoted, its quotes
// doubled.
std::string QuotedField(const std::string& field, char separator) {
    if (field.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (char ch : field) {
        if (ch == '"')
            quoted += '"';
        quoted += ch;
    }
    return quoted + '"';
}

std::array<std::string, COL_COUNT> RowCells(int slot, const Channel& c, char mark) {
    std::array<std::string, COL_COUNT> cells;
    cells[COL_SLOT] = std::to_string(slot);
    cells[COL_NUMBER] = std::to_string(c.number);
    cells[COL_RX] = FrequencyText(c.freq_rx, mark);
    cells[COL_TX] = FrequencyText(c.freq_tx, mark);
    cells[COL_BAND_RX] = BandText(c.band_rx, mark);
    cells[COL_BAND_TX] = BandText(c.band_tx, mark);
    cells[COL_SUBTONE_RX] = SubtoneText(c.subtone_rx, mark);
    cells[COL_SUBTONE_TX] = SubtoneText(c.subtone_tx, mark);
    cells[COL_TONE_RX] = c.tone_rx > 0 ? std::to_string(c.tone_rx) : std::string();
    cells[COL_TONE_TX] = c.tone_tx > 0 ? std::to_string(c.tone_tx) : std::string();
    cells[COL_POWER_LOW] = std::to_string(c.tx_power_low);
    cells[COL_POWER_HIGH] = std::to_string(c.tx_power_high);
    cells[COL_SQUELCH] = std::to_string(c.squelch);
    Channel copy = c;
    for (int column = COL_ACTIVE; column < COL_COUNT; ++column)
        cells[static_cast<size_t>(column)] = *YesNoField(copy, column) ? "1" : "0";
    return cells;
}

void AppendRow(std::string& out, const std::array<std::string, COL_COUNT>& cells, char separator) {
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            out += separator;
        out += QuotedField(cells[i], separator);
    }
    out += "\r\n";
}

// ------------------------------------------------------------------------------- reading

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

// A whole number without sign ("-" allowed in front); values beyond the 32-bit range are
// clamped, so the range checks refuse them.
std::optional<int32_t> ParseInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    int64_t value = 0;
    for (char ch : text) {
        if (!IsDigit(ch))
            return std::nullopt;
        value = std::min<int64_t>(value * 10 + (ch - '0'), INT64_C(1) << 40);
    }
    value = negative ? -value : value;
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// A non-negative decimal with a point or a comma, as a multiple of 10^-decimals; digits past
// decimals must be zeros. Clamped like ParseInteger.
std::optional<int64_t> ParseDecimal(std::string_view text, int decimals) {
    const size_t mark = text.find_first_of(".,");
    std::string_view whole = text.substr(0, mark);
    std::string_view fraction =
        mark == std::string_view::npos ? std::string_view() : text.substr(mark + 1);
    if (whole.empty() && fraction.empty())
        return std::nullopt;
    if (mark != std::string_view::npos && fraction.empty())
        return std::nullopt;
    int64_t value = 0;
    for (char ch : whole) {
        if (!IsDigit(ch))
            return std::nullopt;
        value = std::min<int64_t>(value * 10 + (ch - '0'), INT64_C(1) << 40);
    }
    for (int i = 0; i < decimals; ++i) {
        const char ch =
            static_cast<size_t>(i) < fraction.size() ? fraction[static_cast<size_t>(i)] : '0';
        if (!IsDigit(ch))
            return std::nullopt;
        value = value * 10 + (ch - '0');
    }
    for (size_t i = static_cast<size_t>(decimals); i < fraction.size(); ++i) {
        if (fraction[i] != '0')
            return std::nullopt;
    }
    return value;
}

std::optional<int32_t> ParseSubtone(std::string_view text) {
    if (text.empty())
        return 0;
    if (text.front() == 'D' || text.front() == 'd') {
        const std::string_view digits = text.substr(1);
        for (int code = FIRST_DCS_CODE; code <= MAX_SUBTONE_CODE; ++code) {
            if (digits == DCS_CODES[static_cast<size_t>(code - LAST_CTCSS_CODE)])
                return code;
        }
        return std::nullopt;
    }
    const std::optional<int64_t> tenths = ParseDecimal(text, 1);
    if (!tenths)
        return std::nullopt;
    for (int code = 1; code <= LAST_CTCSS_CODE; ++code) {
        if (CtcssTenths(code) == *tenths)
            return code;
    }
    return std::nullopt;
}

// The records of the text, split by the separator, with a problem where the quoting is broken
// (an unclosed quote ends the reading). Row numbers count records from 1.
struct Records {
    std::vector<std::vector<std::string>> rows;
    std::vector<CsvProblem> problems;
};

Records SplitRecords(std::string_view text, char separator) {
    Records records;
    std::vector<std::string> row;
    std::string field;
    size_t i = 0;
    const size_t n = text.size();
    bool rowBroken = false;
    auto endRecord = [&] {
        row.push_back(field);
        field.clear();
        records.rows.push_back(std::move(row));
        row.clear();
        rowBroken = false;
    };
    while (i < n) {
        const char ch = text[i];
        if (ch == '"' && Trimmed(field).empty()) {
            // A quoted field: up to the closing quote, doubled quotes standing for one.
            field.clear();
            size_t j = i + 1;
            bool closed = false;
            while (j < n) {
                if (text[j] == '"') {
                    if (j + 1 < n && text[j + 1] == '"') {
                        field += '"';
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                field += text[j++];
            }
            if (!closed) {
                records.problems.push_back({static_cast<int>(records.rows.size() + 1), "", "",
                                            CsvProblemKind::UnterminatedQuote});
                return records; // the broken record is not taken
            }
            // Blanks may follow; anything else before the separator is an error.
            while (j < n && (text[j] == ' ' || text[j] == '\t') && text[j] != separator)
                ++j;
            if (j < n && text[j] != separator && text[j] != '\r' && text[j] != '\n') {
                if (!rowBroken) {
                    records.problems.push_back({static_cast<int>(records.rows.size() + 1), "",
                                                field, CsvProblemKind::TextAfterQuote});
                }
                rowBroken = true;
                while (j < n && text[j] != separator && text[j] != '\r' && text[j] != '\n')
                    ++j;
            }
            i = j;
            continue;
        }
        if (ch == separator) {
            row.push_back(field);
            field.clear();
            ++i;
        } else if (ch == '\r' || ch == '\n') {
            endRecord();
            i += (ch == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
        } else {
            field += ch;
            ++i;
        }
    }
    if (!field.empty() || !row.empty())
        endRecord();
    return records;
}

// The separator of the header row: the most frequent of comma, semicolon and tab outside
// quotes on the first line; 0 when there is none.
char HeaderSeparator(std::string_view text) {
    int counts[3] = {0, 0, 0};
    const char separators[3] = {',', ';', '\t'};
    bool quoted = false;
    for (char ch : text) {
        if (ch == '"')
            quoted = !quoted;
        else if (!quoted && (ch == '\r' || ch == '\n'))
            break;
        for (int k = 0; k < 3; ++k)
            counts[k] += !quoted && ch == separators[k] ? 1 : 0;
    }
    const int best = static_cast<int>(std::max_element(counts, counts + 3) - counts);
    return counts[best] > 0 ? separators[best] : '\0';
}

// Text of a value for a message: malformed UTF-8 bytes (and characters outside Windows-1251,
// which the desktop program's messages carry) become '?'.
std::string ShownValue(std::string_view value) {
    return FitsCp1251(value) ? std::string(value) : Cp1251ToUtf8(Utf8ToCp1251(value));
}

bool AllEmpty(const std::vector<std::string>& cells) {
    return std::all_of(cells.begin(), cells.end(),
                       [](const std::string& cell) { return Trimmed(cell).empty(); });
}

CsvProblemKind FaultKind(ChannelFault fault) {
    switch (fault) {
    case ChannelFault::NoFrequency:
        return CsvProblemKind::NoFrequency;
    case ChannelFault::RxOutOfRange:
        return CsvProblemKind::RxOutOfRange;
    case ChannelFault::RxOffRaster:
        return CsvProblemKind::RxOffRaster;
    case ChannelFault::TxOutOfRange:
        return CsvProblemKind::TxOutOfRange;
    case ChannelFault::TxOffRaster:
        return CsvProblemKind::TxOffRaster;
    case ChannelFault::RxToneInvalid:
    case ChannelFault::TxToneInvalid:
        return CsvProblemKind::CallTone;
    case ChannelFault::RxSubtoneInvalid:
    case ChannelFault::TxSubtoneInvalid:
        return CsvProblemKind::Subtone;
    case ChannelFault::NumberInvalid:
        return CsvProblemKind::Number;
    case ChannelFault::PowerLowInvalid:
    case ChannelFault::PowerHighInvalid:
        return CsvProblemKind::PowerLevel;
    case ChannelFault::SquelchInvalid:
        break;
    }
    return CsvProblemKind::Squelch;
}

int FaultColumn(ChannelFault fault) {
    switch (fault) {
    case ChannelFault::NoFrequency:
    case ChannelFault::RxOutOfRange:
    case ChannelFault::RxOffRaster:
        return COL_RX;
    case ChannelFault::TxOutOfRange:
    case ChannelFault::TxOffRaster:
        return COL_TX;
    case ChannelFault::RxToneInvalid:
        return COL_TONE_RX;
    case ChannelFault::TxToneInvalid:
        return COL_TONE_TX;
    case ChannelFault::RxSubtoneInvalid:
        return COL_SUBTONE_RX;
    case ChannelFault::TxSubtoneInvalid:
        return COL_SUBTONE_TX;
    case ChannelFault::NumberInvalid:
        return COL_NUMBER;
    case ChannelFault::PowerLowInvalid:
        return COL_POWER_LOW;
    case ChannelFault::PowerHighInvalid:
        return COL_POWER_HIGH;
    case ChannelFault::SquelchInvalid:
        break;
    }
    return COL_SQUELCH;
}

// Reads the data rows into the import, given which file column holds which field.
class RowReader {
public:
    RowReader(ChannelCsvImport& result, const ChannelsContext& table,
              const std::vector<int>& fieldOfColumn)
        : result_(result), table_(table), fieldOfColumn_(fieldOfColumn) {
        columnOfField_.fill(-1);
        for (size_t k = 0; k < fieldOfColumn.size(); ++k) {
            if (fieldOfColumn[k] != UNNAMED_COLUMN)
                columnOfField_[static_cast<size_t>(fieldOfColumn[k])] = static_cast<int>(k);
        }
        slotRow_.fill(0);
    }

    void Read(int row, const std::vector<std::string>& cells) {
        row_ = row;
        cells_ = &cells;
        bad_.fill(false);
        unnamedBad_ = false;
        // Spreadsheets may pad a row with empty cells; they carry nothing.
        const bool padded =
            cells.size() > fieldOfColumn_.size() &&
            std::all_of(cells.begin() + static_cast<std::ptrdiff_t>(fieldOfColumn_.size()),
                        cells.end(), [](const std::string& cell) { return Trimmed(cell).empty(); });
        if (cells.size() < fieldOfColumn_.size() ||
            (cells.size() > fieldOfColumn_.size() && !padded)) {
            result_.problems.push_back(
                {row, "",
                 std::to_string(cells.size()) + "/" + std::to_string(fieldOfColumn_.size()),
                 CsvProblemKind::CellCount});
            return;
        }
        for (size_t k = 0; k < fieldOfColumn_.size(); ++k) {
            if (fieldOfColumn_[k] == UNNAMED_COLUMN && !Trimmed(cells[k]).empty()) {
                result_.problems.push_back(
                    {row, "", ShownValue(Trimmed(cells[k])), CsvProblemKind::UnknownColumn});
                unnamedBad_ = true;
            }
        }
        const std::optional<int32_t> slot = Integer(COL_SLOT);
        Channel c;
        if (slot && (*slot < 0 || *slot >= CHANNEL_COUNT)) {
            Report(COL_SLOT, CsvProblemKind::SlotRange);
        } else if (slot && slotRow_[static_cast<size_t>(*slot)] != 0) {
            Report(COL_SLOT, CsvProblemKind::DuplicateSlot, slotRow_[static_cast<size_t>(*slot)]);
        } else if (slot) {
            slotRow_[static_cast<size_t>(*slot)] = row;
            c.number = *slot % TABLE_CHANNELS;
        }
        Take(COL_NUMBER, c.number);
        Frequency(COL_RX, c.freq_rx);
        Frequency(COL_TX, c.freq_tx);
        Band(COL_BAND_RX, c.band_rx);
        Band(COL_BAND_TX, c.band_tx);
        Subtone(COL_SUBTONE_RX, c.subtone_rx);
        Subtone(COL_SUBTONE_TX, c.subtone_tx);
        Tone(COL_TONE_RX, c.tone_rx);
        Tone(COL_TONE_TX, c.tone_tx);
        Take(COL_POWER_LOW, c.tx_power_low);
        Take(COL_POWER_HIGH, c.tx_power_high);
        Take(COL_SQUELCH, c.squelch);
        for (int field = COL_ACTIVE; field < COL_COUNT; ++field)
            YesNo(field, *YesNoField(c, field));

        for (ChannelFault fault : ChannelFaults(c, table_)) {
            const int field = FaultColumn(fault);
            if (fault == ChannelFault::NoFrequency && (bad_[COL_RX] || bad_[COL_TX]))
                continue;
            if (!bad_[static_cast<size_t>(field)])
                Report(field, FaultKind(fault));
        }
        if (!bad_[COL_SLOT] && slot && !AnyBad()) {
            // The editor keeps the power levels in order.
            if (c.tx_power_high < c.tx_power_low)
                std::swap(c.tx_power_low, c.tx_power_high);
            result_.channels[static_cast<size_t>(*slot)] = c;
            ++result_.channelCount;
        }
    }

private:
    bool AnyBad() const {
        return unnamedBad_ || std::any_of(bad_.begin(), bad_.end(), [](bool b) { return b; });
    }

    // The trimmed cell of a field, or none when the file has no such column.
    std::optional<std::string_view> Cell(int field) const {
        const int column = columnOfField_[static_cast<size_t>(field)];
        if (column < 0)
            return std::nullopt;
        return Trimmed((*cells_)[static_cast<size_t>(column)]);
    }

    void Report(int field, CsvProblemKind kind, int otherRow = 0) {
        bad_[static_cast<size_t>(field)] = true;
        const std::optional<std::string_view> cell = Cell(field);
        result_.problems.push_back({row_, CHANNEL_CSV_COLUMNS[static_cast<size_t>(field)],
                                    cell ? ShownValue(*cell) : std::string(), kind, otherRow});
    }

    // A required whole number; none (reported) when empty or not a number.
    std::optional<int32_t> Integer(int field) {
        const std::optional<std::string_view> cell = Cell(field);
        if (!cell)
            return std::nullopt;
        if (cell->empty()) {
            Report(field, CsvProblemKind::EmptyCell);
            return std::nullopt;
        }
        const std::optional<int32_t> value = ParseInteger(*cell);
        if (!value)
            Report(field, CsvProblemKind::NotInteger);
        return value;
    }

    void Take(int field, int32_t& into) {
        if (const std::optional<int32_t> value = Integer(field))
            into = *value;
    }

    void Frequency(int field, int32_t& into) {
        const std::optional<std::string_view> cell = Cell(field);
        if (!cell || cell->empty())
            return;
        const std::optional<int64_t> hz = ParseDecimal(*cell, FREQ_DECIMALS);
        if (!hz || *hz <= 0) {
            Report(field, CsvProblemKind::NotFrequency);
            return;
        }
        into = static_cast<int32_t>(std::min<int64_t>(*hz, INT32_MAX));
    }

    void Band(int field, bool& into) {
        const std::optional<std::string_view> cell = Cell(field);
        if (!cell)
            return;
        const std::optional<int64_t> tenths = ParseDecimal(*cell, 1);
        if (cell->empty() || !tenths ||
            (*tenths != BAND_NARROW_TENTHS && *tenths != BAND_WIDE_TENTHS)) {
            Report(field, cell->empty() ? CsvProblemKind::EmptyCell : CsvProblemKind::Band);
            return;
        }
        into = *tenths == BAND_WIDE_TENTHS;
    }

    void Subtone(int field, int32_t& into) {
        const std::optional<std::string_view> cell = Cell(field);
        if (!cell)
            return;
        const std::optional<int32_t> code = ParseSubtone(*cell);
        if (!code) {
            Report(field, CsvProblemKind::Subtone);
            return;
        }
        into = *code;
    }

    void Tone(int field, int32_t& into) {
        const std::optional<std::string_view> cell = Cell(field);
        if (!cell || cell->empty())
            return;
        const std::optional<int32_t> tone = ParseInteger(*cell);
        if (!tone) {
            Report(field, CsvProblemKind::NotInteger);
            return;
        }
        into = *tone;
        if (into == 0) // 0 would read as "no tone": a given tone must be one
            Report(field, CsvProblemKind::CallTone);
    }

    void YesNo(int field, bool& into) {
        const std::optional<std::string_view> cell = Cell(field);
        if (!cell)
            return;
        if (*cell == "1" || *cell == "0") {
            into = *cell == "1";
            return;
        }
        Report(field, cell->empty() ? CsvProblemKind::EmptyCell : CsvProblemKind::YesNo);
    }

    ChannelCsvImport& result_;
    const ChannelsContext& table_;
    const std::vector<int>& fieldOfColumn_;
    std::array<int, COL_COUNT> columnOfField_{};
    std::array<int, CHANNEL_COUNT> slotRow_{};
    std::array<bool, COL_COUNT> bad_{};
    int row_ = 0;
    const std::vector<std::string>* cells_ = nullptr;
    bool unnamedBad_ = false;
};

struct ReasonText {
    const char* en;
    const char* ru; // UTF-8 here, Windows-1251 when handed out
};

ReasonText Reason(CsvProblemKind kind) {
    switch (kind) {
    case CsvProblemKind::NoHeader:
        return {"the file holds no header row", "в файле нет строки заголовков"};
    case CsvProblemKind::NoSeparator:
        return {"the header row has no comma, semicolon or tab between its columns",
                "в строке заголовков нет разделителя столбцов (запятой, точки с запятой или "
                "табуляции)"};
    case CsvProblemKind::UnterminatedQuote:
        return {"a quoted value is not closed", "не закрыта кавычка значения"};
    case CsvProblemKind::TextAfterQuote:
        return {"text after the closing quote of a value", "текст после закрывающей кавычки"};
    case CsvProblemKind::UnknownColumn:
        return {"not a column of a channel list", "такого столбца в списке каналов нет"};
    case CsvProblemKind::DuplicateColumn:
        return {"the column is given twice", "столбец задан дважды"};
    case CsvProblemKind::MissingColumn:
        return {"a required column is missing", "нет обязательного столбца"};
    case CsvProblemKind::CellCount:
        return {"the row's cells (found/expected) do not match the header",
                "число ячеек строки (есть/нужно) не совпадает с заголовком"};
    case CsvProblemKind::EmptyCell:
        return {"a value is required", "нужно значение"};
    case CsvProblemKind::NotInteger:
        return {"not a whole number", "не целое число"};
    case CsvProblemKind::SlotRange:
        return {"the slot must be 0 to 199", "номер ячейки должен быть от 0 до 199"};
    case CsvProblemKind::DuplicateSlot:
        return {"the slot is given in an earlier row", "ячейка уже задана в строке выше"};
    case CsvProblemKind::NotFrequency:
        return {"not a frequency in MHz above 0 with at most 6 decimals",
                "не частота в МГц (больше 0, не более 6 знаков после запятой)"};
    case CsvProblemKind::NoFrequency:
        return {"neither a receive nor a transmit frequency",
                "нет ни частоты приема, ни частоты передачи"};
    case CsvProblemKind::RxOutOfRange:
        return {"outside the receive ranges of the range set", "частота вне диапазонов приема"};
    case CsvProblemKind::RxOffRaster:
        return {"not on the channel raster (12.5 kHz steps, 5 kHz steps in 26-30 MHz)",
                "частота не на сетке каналов (шаг 12,5 кГц, в диапазоне 26-30 МГц шаг 5 кГц)"};
    case CsvProblemKind::TxOutOfRange:
        return {"outside the transmit ranges of the range set", "частота вне диапазонов передачи"};
    case CsvProblemKind::TxOffRaster:
        return {"not on the channel raster (12.5 kHz steps)",
                "частота не на сетке каналов (шаг 12,5 кГц)"};
    case CsvProblemKind::Band:
        return {"the band must be 12.5 or 25", "полоса должна быть 12,5 или 25"};
    case CsvProblemKind::Subtone:
        return {"not a CTCSS tone (67.0 to 254.1) or a DCS code (D023 to D754)",
                "не тон CTCSS (от 67,0 до 254,1) и не код DCS (от D023 до D754)"};
    case CsvProblemKind::CallTone:
        return {"the call tone must be 400 to 3000 Hz",
                "вызывной тон должен быть от 400 до 3000 Гц"};
    case CsvProblemKind::Number:
        return {"the channel number must be 0 to 99", "номер канала должен быть от 0 до 99"};
    case CsvProblemKind::PowerLevel:
        return {"the power level must be 0 to 3", "уровень мощности должен быть от 0 до 3"};
    case CsvProblemKind::Squelch:
        return {"the squelch level must be 1 to 8", "порог ШП должен быть от 1 до 8"};
    case CsvProblemKind::YesNo:
        break;
    }
    return {"must be 1 or 0", "должно быть 1 или 0"};
}

} // namespace

std::string ChannelCsvText(const ChannelsContext& table, CsvLocale locale) {
    const char separator = locale == CsvLocale::Russian ? ';' : ',';
    const char mark = locale == CsvLocale::Russian ? ',' : '.';
    std::string out(BOM);
    std::array<std::string, COL_COUNT> header;
    for (size_t i = 0; i < header.size(); ++i)
        header[i] = CHANNEL_CSV_COLUMNS[i];
    AppendRow(out, header, separator);
    for (int slot = 0; slot < CHANNEL_COUNT; ++slot) {
        const Channel& c = table.channels[static_cast<size_t>(slot)];
        if (c.IsUsed())
            AppendRow(out, RowCells(slot, c, mark), separator);
    }
    return out;
}

void SaveChannelCsv(const std::filesystem::path& path, const ChannelsContext& table,
                    CsvLocale locale) {
    WriteFileAtomically(path, ChannelCsvText(table, locale));
}

std::string CsvProblemText(const CsvProblem& p) {
    std::string text = "row " + std::to_string(p.row);
    if (!p.column.empty())
        text += ", column \"" + p.column + "\"";
    if (!p.value.empty() || (p.row > 1 && !p.column.empty()))
        text += ", value \"" + p.value + "\"";
    text += std::string(": ") + Reason(p.kind).en;
    if (p.kind == CsvProblemKind::DuplicateSlot && p.otherRow > 0)
        text += " (row " + std::to_string(p.otherRow) + ")";
    return text;
}

std::string CsvProblemTextRu(const CsvProblem& p) {
    std::string text = "строка " + std::to_string(p.row);
    if (!p.column.empty())
        text += ", столбец «" + p.column + "»";
    if (!p.value.empty() || (p.row > 1 && !p.column.empty()))
        text += ", значение «" + p.value + "»";
    text += std::string(": ") + Reason(p.kind).ru;
    if (p.kind == CsvProblemKind::DuplicateSlot && p.otherRow > 0)
        text += " (" + std::to_string(p.otherRow) + ")";
    return Utf8ToCp1251(text);
}

ChannelCsvImport ParseChannelCsv(std::string_view bytes, const ChannelsContext& table) {
    ChannelCsvImport result;
    for (int slot = 0; slot < CHANNEL_COUNT; ++slot) {
        result.channels[static_cast<size_t>(slot)].Reset();
        result.channels[static_cast<size_t>(slot)].number = slot % TABLE_CHANNELS;
    }
    if (bytes.substr(0, BOM.size()) == BOM)
        bytes.remove_prefix(BOM.size());
    const char separator = HeaderSeparator(bytes);
    Records records = SplitRecords(bytes, separator == '\0' ? ',' : separator);
    result.problems = std::move(records.problems);
    if (records.rows.empty() && !result.problems.empty())
        return result; // a quote left open in the header row
    if (records.rows.empty() || AllEmpty(records.rows.front())) {
        result.problems.insert(result.problems.begin(), {1, "", "", CsvProblemKind::NoHeader});
        return result;
    }
    if (separator == '\0') {
        result.problems.insert(result.problems.begin(), {1, "", "", CsvProblemKind::NoSeparator});
        return result;
    }

    // Header: which field each column holds.
    std::vector<int> fieldOfColumn;
    std::array<bool, COL_COUNT> seen{};
    bool headerOk = true;
    for (const std::string& cell : records.rows.front()) {
        const std::string_view name = Trimmed(cell);
        if (name.empty()) {
            fieldOfColumn.push_back(UNNAMED_COLUMN); // kept only while its cells are empty
            continue;
        }
        const auto found = std::find(CHANNEL_CSV_COLUMNS.begin(), CHANNEL_CSV_COLUMNS.end(), name);
        const int field = static_cast<int>(found - CHANNEL_CSV_COLUMNS.begin());
        if (found == CHANNEL_CSV_COLUMNS.end()) {
            result.problems.push_back({1, ShownValue(name), "", CsvProblemKind::UnknownColumn});
            headerOk = false;
        } else if (seen[static_cast<size_t>(field)]) {
            result.problems.push_back({1, std::string(name), "", CsvProblemKind::DuplicateColumn});
            headerOk = false;
        } else {
            seen[static_cast<size_t>(field)] = true;
        }
        fieldOfColumn.push_back(field);
    }
    for (int required : {COL_SLOT, COL_RX}) {
        if (!seen[static_cast<size_t>(required)]) {
            result.problems.push_back({1, CHANNEL_CSV_COLUMNS[static_cast<size_t>(required)], "",
                                       CsvProblemKind::MissingColumn});
            headerOk = false;
        }
    }
    if (!headerOk)
        return result;

    RowReader reader(result, table, fieldOfColumn);
    for (size_t r = 1; r < records.rows.size(); ++r) {
        if (!AllEmpty(records.rows[r]))
            reader.Read(static_cast<int>(r + 1), records.rows[r]);
    }
    std::stable_sort(result.problems.begin(), result.problems.end(),
                     [](const CsvProblem& a, const CsvProblem& b) { return a.row < b.row; });
    return result;
}

ChannelCsvImport ReadChannelCsv(const std::filesystem::path& path, const ChannelsContext& table) {
    return ParseChannelCsv(ReadFileBytes(path), table);
}
