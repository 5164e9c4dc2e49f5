#include "files/ExcelWrapper.h"

#include <xlsxwriter.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <system_error>

#include "files/AtomicFile.h"
#include "model/Cp1251.h"

namespace fs = std::filesystem;

namespace {

// libxlsxwriter limits: rows 1..1048576, columns 1..16384 in the 1-based numbering here.
constexpr int MAX_ROW = 1048576;
constexpr int MAX_COLUMN = 16384;

uint8_t BorderStyle(int weight) {
    switch (weight) {
    case XL_HAIRLINE:
        return LXW_BORDER_HAIR;
    case XL_THIN:
        return LXW_BORDER_THIN;
    case XL_MEDIUM:
        return LXW_BORDER_MEDIUM;
    case XL_THICK:
        return LXW_BORDER_THICK;
    default:
        throw std::runtime_error("unknown border weight " + std::to_string(weight));
    }
}

void CheckAlignment(int value, bool horizontal) {
    const bool ok = value == 0 || value == XL_CENTER ||
                    (horizontal ? (value == XL_LEFT || value == XL_RIGHT)
                                : (value == XL_TOP || value == XL_BOTTOM));
    if (!ok) {
        throw std::runtime_error("unknown alignment " + std::to_string(value));
    }
}

uint8_t HorizontalAlign(int value) {
    switch (value) {
    case XL_CENTER:
        return LXW_ALIGN_CENTER;
    case XL_LEFT:
        return LXW_ALIGN_LEFT;
    default:
        return LXW_ALIGN_RIGHT;
    }
}

uint8_t VerticalAlign(int value) {
    switch (value) {
    case XL_CENTER:
        return LXW_ALIGN_VERTICAL_CENTER;
    case XL_TOP:
        return LXW_ALIGN_VERTICAL_TOP;
    default:
        return LXW_ALIGN_VERTICAL_BOTTOM;
    }
}

struct WorkbookCloser {
    void operator()(lxw_workbook* workbook) const {
        if (workbook != nullptr) {
            workbook_close(workbook);
        }
    }
};

std::string Utf8(const std::string& cp1251) {
    return Cp1251ToUtf8(cp1251);
}

// Writes the collected sheets into an open workbook.
class SheetWriter {
public:
    explicit SheetWriter(lxw_workbook* workbook) : workbook_(workbook) {}

    void Write(const TExcelWrapper::Sheet& sheet) {
        const std::string name = Utf8(sheet.name);
        if (workbook_validate_sheet_name(workbook_, name.c_str()) != LXW_NO_ERROR) {
            throw std::runtime_error("invalid sheet name \"" + name + "\"");
        }
        lxw_worksheet* ws = workbook_add_worksheet(workbook_, name.c_str());
        if (ws == nullptr) {
            throw std::runtime_error("cannot add sheet \"" + name + "\"");
        }
        for (const auto& [column, width] : sheet.columnWidths) {
            Check(worksheet_set_column(ws, static_cast<lxw_col_t>(column - 1),
                                       static_cast<lxw_col_t>(column - 1), width, nullptr));
        }
        if (sheet.printTitleFirst > 0) {
            Check(worksheet_repeat_rows(ws, static_cast<lxw_row_t>(sheet.printTitleFirst - 1),
                                        static_cast<lxw_row_t>(sheet.printTitleLast - 1)));
        }
        for (const TExcelWrapper::Rect& m : sheet.merges) {
            const TExcelWrapper::Cell* anchor = Find(sheet, m.row1, m.column1);
            Check(worksheet_merge_range(ws, Row(m.row1), Col(m.column1), Row(m.row2),
                                        Col(m.column2), "",
                                        anchor != nullptr ? FormatOf(*anchor) : nullptr));
        }
        // Cells after the merges: each keeps its own format, the anchor gets its value.
        for (const auto& [key, cell] : sheet.cells) {
            const lxw_row_t row = Row(key.first);
            const lxw_col_t col = Col(key.second);
            lxw_format* format = FormatOf(cell);
            if (cell.number) {
                Check(worksheet_write_number(ws, row, col, *cell.number, format));
            } else if (cell.text && !cell.text->empty()) {
                Check(worksheet_write_string(ws, row, col, Utf8(*cell.text).c_str(), format));
            } else if (format != nullptr) {
                Check(worksheet_write_blank(ws, row, col, format));
            }
        }
    }

private:
    static lxw_row_t Row(int row) { return static_cast<lxw_row_t>(row - 1); }
    static lxw_col_t Col(int column) { return static_cast<lxw_col_t>(column - 1); }

    static const TExcelWrapper::Cell* Find(const TExcelWrapper::Sheet& sheet, int row, int col) {
        auto it = sheet.cells.find({row, col});
        return it == sheet.cells.end() ? nullptr : &it->second;
    }

    static void Check(lxw_error error) {
        if (error != LXW_NO_ERROR) {
            throw std::runtime_error(lxw_strerror(error));
        }
    }

    lxw_format* FormatOf(const TExcelWrapper::Cell& cell) {
        const auto& b = cell.border;
        if (cell.numberFormat.empty() && cell.horizontal == 0 && cell.vertical == 0 &&
            b.left == 0 && b.top == 0 && b.right == 0 && b.bottom == 0) {
            return nullptr;
        }
        char key[64];
        std::snprintf(key, sizeof key, "%d|%d|%d|%d|%d|%d|", cell.horizontal, cell.vertical, b.left,
                      b.top, b.right, b.bottom);
        const std::string fullKey = key + cell.numberFormat;
        auto it = formats_.find(fullKey);
        if (it != formats_.end()) {
            return it->second;
        }
        lxw_format* format = workbook_add_format(workbook_);
        if (format == nullptr) {
            throw std::runtime_error("out of memory");
        }
        if (!cell.numberFormat.empty()) {
            format_set_num_format(format, cell.numberFormat.c_str());
        }
        if (cell.horizontal != 0) {
            format_set_align(format, HorizontalAlign(cell.horizontal));
        }
        if (cell.vertical != 0) {
            format_set_align(format, VerticalAlign(cell.vertical));
        }
        if (b.left != 0) {
            format_set_left(format, BorderStyle(b.left));
        }
        if (b.top != 0) {
            format_set_top(format, BorderStyle(b.top));
        }
        if (b.right != 0) {
            format_set_right(format, BorderStyle(b.right));
        }
        if (b.bottom != 0) {
            format_set_bottom(format, BorderStyle(b.bottom));
        }
        formats_.emplace(fullKey, format);
        return format;
    }

    lxw_workbook* workbook_;
    std::map<std::string, lxw_format*> formats_;
};

} // namespace

bool TExcelWrapper::NewWorkbook(int sheetCount) {
    if (sheetCount < 1 || sheetCount > 255) {
        throw std::runtime_error("invalid sheet count");
    }
    sheets_.clear();
    for (int n = 1; n <= sheetCount; ++n) {
        Sheet sheet;
        sheet.name = "Sheet" + std::to_string(n);
        sheets_.push_back(std::move(sheet));
    }
    sheet_ = 0;
    range_ = {};
    return true;
}

TExcelWrapper::Sheet& TExcelWrapper::CurrentSheet() {
    if (sheet_ < 0 || sheet_ >= static_cast<int>(sheets_.size())) {
        throw std::runtime_error("no workbook");
    }
    return sheets_[static_cast<std::size_t>(sheet_)];
}

bool TExcelWrapper::SelectSheet(int n) {
    if (n < 1 || n > static_cast<int>(sheets_.size())) {
        throw std::runtime_error("no sheet " + std::to_string(n));
    }
    sheet_ = n - 1;
    range_ = {};
    return true;
}

bool TExcelWrapper::SelectCell(int row, int column) {
    CurrentSheet();
    if (row < 1 || column < 1 || row > MAX_ROW || column > MAX_COLUMN) {
        throw std::runtime_error("no cell " + CellAddress(row, column));
    }
    range_ = {row, column, row, column};
    return true;
}

bool TExcelWrapper::SelectRange(int row1, int column1, int row2, int column2, bool merge) {
    Sheet& sheet = CurrentSheet();
    if (row1 < 1 || column1 < 1 || row2 < row1 || column2 < column1 || row2 > MAX_ROW ||
        column2 > MAX_COLUMN) {
        return false;
    }
    const Rect rect{row1, column1, row2, column2};
    if (merge && (row1 != row2 || column1 != column2)) {
        for (const Rect& m : sheet.merges) {
            if (m.row1 <= row2 && row1 <= m.row2 && m.column1 <= column2 && column1 <= m.column2) {
                throw std::runtime_error("merge " + CellAddress(row1, column1) + ":" +
                                         CellAddress(row2, column2) + " overlaps another");
            }
        }
        sheet.merges.push_back(rect);
    }
    range_ = rect;
    return true;
}

bool TExcelWrapper::RangeIsMerge() const {
    for (const Rect& m : sheets_[static_cast<std::size_t>(sheet_)].merges) {
        if (m.row1 == range_.row1 && m.column1 == range_.column1 && m.row2 == range_.row2 &&
            m.column2 == range_.column2) {
            return true;
        }
    }
    return false;
}

template <typename F> void TExcelWrapper::ForEachCell(F f) {
    Sheet& sheet = CurrentSheet();
    if (!HasRange()) {
        throw std::runtime_error("no cell selected");
    }
    for (int r = range_.row1; r <= range_.row2; ++r) {
        for (int c = range_.column1; c <= range_.column2; ++c) {
            f(sheet.cells[{r, c}], r, c);
        }
    }
}

bool TExcelWrapper::SetColumnWidth(double width) {
    Sheet& sheet = CurrentSheet();
    if (!HasRange()) {
        throw std::runtime_error("no cell selected");
    }
    if (!(width >= 0 && width <= 255)) {
        throw std::runtime_error("invalid column width");
    }
    for (int c = range_.column1; c <= range_.column2; ++c) {
        sheet.columnWidths[c] = width;
    }
    return true;
}

bool TExcelWrapper::SetBorders(int left, int top, int right, int bottom) {
    for (int weight : {left, top, right, bottom}) {
        if (weight != 0) {
            BorderStyle(weight);
        }
    }
    const Rect r = range_;
    ForEachCell([&](Cell& cell, int row, int column) {
        if (left != 0 && column == r.column1) {
            cell.border.left = left;
        }
        if (top != 0 && row == r.row1) {
            cell.border.top = top;
        }
        if (right != 0 && column == r.column2) {
            cell.border.right = right;
        }
        if (bottom != 0 && row == r.row2) {
            cell.border.bottom = bottom;
        }
    });
    return true;
}

bool TExcelWrapper::SetAlignment(int horizontal, int vertical) {
    CheckAlignment(horizontal, true);
    CheckAlignment(vertical, false);
    ForEachCell([&](Cell& cell, int, int) {
        if (horizontal != 0) {
            cell.horizontal = horizontal;
        }
        if (vertical != 0) {
            cell.vertical = vertical;
        }
    });
    return true;
}

bool TExcelWrapper::SetNumber(int64_t value, const std::string& format) {
    const bool merged = HasRange() && RangeIsMerge();
    const Rect r = range_;
    ForEachCell([&](Cell& cell, int row, int column) {
        if (!merged || (row == r.row1 && column == r.column1)) {
            cell.number = static_cast<double>(value);
            cell.text.reset();
        }
        if (!format.empty()) {
            cell.numberFormat = format;
        }
    });
    return true;
}

bool TExcelWrapper::SetText(const std::string& text) {
    const bool merged = HasRange() && RangeIsMerge();
    const Rect r = range_;
    ForEachCell([&](Cell& cell, int row, int column) {
        if (!merged || (row == r.row1 && column == r.column1)) {
            cell.text = text;
            cell.number.reset();
        }
    });
    return true;
}

bool TExcelWrapper::SaveWorkbook(const fs::path& requested, int /*code*/) {
    if (sheets_.empty()) {
        throw std::runtime_error("no workbook");
    }
    // A pipe or a device is written into; the workbook is then made in the temporary folder.
    const bool inPlace = ClassifyWriteTarget(requested) == WriteTarget::InPlace;
    const fs::path file = inPlace ? requested : ReplacementTarget(requested);
    fs::path folder = file.parent_path();
    std::error_code status;
    if (!inPlace && !folder.empty() && !fs::is_directory(folder, status)) {
        // The library would guess at a permissions problem.
        const bool missing = !fs::exists(folder, status);
        const std::string name = "\"" + PathText(folder) + "\"";
        throw std::runtime_error(
            "cannot write \"" + PathText(file) + "\": " +
            (missing ? "the folder " + name + " does not exist" : name + " is not a folder"));
    }
    if (inPlace) {
        folder = fs::temp_directory_path(status);
    } else {
        RemoveStaleTemporaries(folder);
    }
    const fs::path temporary = TemporaryPathBeside(folder / file.filename());
    const std::string temporaryName = PathText(temporary);
    auto removeTemporary = [&] {
        std::error_code ignored;
        fs::remove(temporary, ignored);
    };
    try {
        lxw_workbook_options options{};
        options.constant_memory = LXW_FALSE;
        std::unique_ptr<lxw_workbook, WorkbookCloser> workbook(
            workbook_new_opt(temporaryName.c_str(), &options));
        if (!workbook) {
            throw std::runtime_error("cannot create the workbook");
        }
        SheetWriter writer(workbook.get());
        for (const Sheet& sheet : sheets_) {
            writer.Write(sheet);
        }
        const lxw_error error = workbook_close(workbook.release());
        if (error != LXW_NO_ERROR) {
            throw std::runtime_error(std::string("cannot write \"") + PathText(file) +
                                     "\": " + lxw_strerror(error));
        }
        if (inPlace) {
            WriteInPlace(file, ReadFileBytes(temporary));
            removeTemporary();
        } else {
            FlushToDisk(temporary);
            ReplaceFile(temporary, file);
        }
    } catch (...) {
        removeTemporary();
        throw;
    }
    return true;
}

void TExcelWrapper::SetPrintTitleRows(const std::string& text) {
    Sheet& sheet = CurrentSheet();
    int first = 0, last = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "$%d:$%d%c", &first, &last, &tail) != 2 &&
        std::sscanf(text.c_str(), "%d:%d%c", &first, &last, &tail) != 2) {
        throw std::runtime_error("invalid print title rows \"" + text + "\"");
    }
    if (first < 1 || last < first || last > MAX_ROW) {
        throw std::runtime_error("invalid print title rows \"" + text + "\"");
    }
    sheet.printTitleFirst = first;
    sheet.printTitleLast = last;
}

void TExcelWrapper::SetSheetName(const std::string& text) {
    CurrentSheet().name = text;
}

std::string TExcelWrapper::CellAddress(int row, int column) {
    std::string letters;
    for (int c = column; c > 0; c = (c - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    }
    return letters + std::to_string(row);
}
