#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Constants of the spreadsheet operations.
inline constexpr int XL_CENTER = -4108; // centred, horizontally or vertically
inline constexpr int XL_LEFT = -4131;
inline constexpr int XL_RIGHT = -4152;
inline constexpr int XL_TOP = -4160;
inline constexpr int XL_BOTTOM = -4107;
inline constexpr int XL_HAIRLINE = 1; // border weights
inline constexpr int XL_THIN = 2;
inline constexpr int XL_MEDIUM = -4138;
inline constexpr int XL_THICK = 4;
inline constexpr int XL_WORKBOOK = 18; // file-format code of SaveWorkbook: an .xlsx workbook

// Builds one workbook in memory, the way a spreadsheet application is driven: select a
// cell or a rectangle, then give it a value, a format, borders; SaveWorkbook writes an
// .xlsx file. Rows and columns count from 1. Text is Windows-1251. Operations that cannot
// be carried out throw std::runtime_error (SelectRange reports bad corners by its result).
class TExcelWrapper {
public:
    TExcelWrapper() = default;

    // Starts a new workbook with sheetCount sheets; sheet 1 is selected.
    bool NewWorkbook(int sheetCount = 1);

    // Selects sheet n (1-based).
    bool SelectSheet(int n);

    // The current range becomes one cell.
    bool SelectCell(int row, int column);

    // The current range becomes the rectangle; merge joins it into one cell. False, and
    // nothing selected, when row2 < row1, column2 < column1 or any number is below 1.
    // Throws when the merge would overlap an existing one.
    bool SelectRange(int row1, int column1, int row2, int column2, bool merge);

    // Width of every column of the current range, in characters.
    bool SetColumnWidth(double width);

    // Per-edge border weights of the current range's outline (0 leaves the edge alone):
    // the left edge of its first column, the top of its first row, and so on.
    bool SetBorders(int left, int top, int right, int bottom);

    // Alignment of every cell of the current range; 0 leaves a direction alone.
    bool SetAlignment(int horizontal, int vertical);

    // Puts the number into the current range (the first cell of a merged one); a non-empty
    // format sets the number format code, which is locale-independent ("#,##0").
    bool SetNumber(int64_t value, const std::string& format = {});

    // Puts the text into the current range (the first cell of a merged one).
    bool SetText(const std::string& text);

    // Writes the workbook as an .xlsx file (the only file format, whatever code is given)
    // beside file, then renames it over file. Throws on failure, leaving file untouched and
    // no partial file behind.
    bool SaveWorkbook(const std::filesystem::path& file, int code = XL_WORKBOOK);

    // Rows repeated on every printed page, as "$1:$2".
    void SetPrintTitleRows(const std::string& text);

    // Name of the current sheet.
    void SetSheetName(const std::string& text);

    // "A1"-style reference: column letters (1 "A", 26 "Z", 27 "AA") then the row number.
    static std::string CellAddress(int row, int column);

    struct Border {
        int left = 0, top = 0, right = 0, bottom = 0;
    };
    struct Cell {
        std::optional<double> number;
        std::optional<std::string> text; // Windows-1251
        std::string numberFormat;
        int horizontal = 0;
        int vertical = 0;
        Border border;
    };
    struct Rect {
        int row1 = 0, column1 = 0, row2 = 0, column2 = 0;
    };
    struct Sheet {
        std::string name;                          // Windows-1251
        std::map<std::pair<int, int>, Cell> cells; // (row, column)
        std::vector<Rect> merges;
        std::map<int, double> columnWidths;
        int printTitleFirst = 0, printTitleLast = 0; // rows, 0 when none
    };

    // The collected workbook, for inspection.
    const std::vector<Sheet>& sheets() const { return sheets_; }

private:
    Sheet& CurrentSheet();
    bool HasRange() const { return range_.row1 > 0; }
    // Cells of the current range, created when missing.
    template <typename F> void ForEachCell(F f);
    bool RangeIsMerge() const;

    std::vector<Sheet> sheets_;
    int sheet_ = -1;
    Rect range_;
};
