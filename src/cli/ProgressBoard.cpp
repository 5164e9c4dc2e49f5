#include "cli/ProgressBoard.h"

#include <algorithm>

#include "cli/TerminalText.h"

namespace {

constexpr size_t BAR_WIDTH = 30;
constexpr size_t MIN_BAR_WIDTH = 10;
constexpr size_t MAX_LABEL_WIDTH = 24;

// Characters of UTF-8 text: every byte that does not continue a sequence.
size_t Characters(const std::string& utf8) {
    return static_cast<size_t>(std::count_if(utf8.begin(), utf8.end(), [](char ch) {
        return (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
    }));
}

// The text cut to at most width characters, "..." marking a cut, never inside a character.
std::string Fit(const std::string& utf8, size_t width) {
    if (Characters(utf8) <= width) {
        return utf8;
    }
    const size_t keep = width > 3 ? width - 3 : 0;
    size_t count = 0;
    size_t end = 0;
    for (; end < utf8.size(); ++end) {
        if ((static_cast<unsigned char>(utf8[end]) & 0xC0) != 0x80) {
            if (count == keep) {
                break;
            }
            ++count;
        }
    }
    return utf8.substr(0, end) + std::string(std::min<size_t>(3, width), '.');
}

} // namespace

std::vector<std::string> BoardLines(const std::vector<BoardRow>& rows, size_t columns) {
    const size_t usable = columns > 1 ? columns - 1 : 1;
    size_t labelWidth = 0;
    for (const BoardRow& row : rows) {
        labelWidth = std::max(labelWidth, std::min(MAX_LABEL_WIDTH, Characters(row.label)));
    }
    // label, two spaces, "[", the bar, "] ", "100 %"
    const size_t around = labelWidth + 2 + 2 + 1 + 5;
    const size_t barWidth =
        usable > around + MIN_BAR_WIDTH ? std::min(BAR_WIDTH, usable - around) : MIN_BAR_WIDTH;

    std::vector<std::string> lines;
    lines.reserve(rows.size());
    for (const BoardRow& row : rows) {
        std::string line = Fit(row.label, labelWidth);
        line.append(labelWidth - Characters(line) + 2, ' ');
        if (!row.ending.empty()) {
            line += EscapeControls(row.ending, false); // one line, whatever the reason holds
        } else {
            const int percent = std::clamp(row.percent, 0, 100);
            const size_t filled = barWidth * static_cast<size_t>(percent) / 100;
            line += '[';
            line.append(filled, '#');
            line.append(barWidth - filled, '.');
            line += "] ";
            const std::string number = std::to_string(percent);
            line.append(3 - number.size(), ' ');
            line += number + " %";
        }
        lines.push_back(Fit(line, usable));
    }
    return lines;
}

class ProgressBoard::RowDisplay : public ProgressDisplay {
public:
    RowDisplay(ProgressBoard& board, size_t row) : board_(board), row_(row) {}
    void Show(int percent) override { board_.SetPercent(row_, percent); }

private:
    ProgressBoard& board_;
    size_t row_;
};

ProgressBoard::ProgressBoard(std::ostream& terminal, bool draw, size_t columns)
    : terminal_(terminal), draw_(draw), columns_(columns) {}

ProgressBoard::~ProgressBoard() {
    Remove();
}

size_t ProgressBoard::AddRow(const std::string& label) {
    std::lock_guard guard(lock_);
    rows_.push_back({label, 0, {}});
    displays_.push_back(std::make_unique<RowDisplay>(*this, rows_.size() - 1));
    return rows_.size() - 1;
}

ProgressDisplay& ProgressBoard::Display(size_t row) {
    std::lock_guard guard(lock_);
    return *displays_[row];
}

void ProgressBoard::WriteLine(std::ostream& to, const std::string& line) {
    std::lock_guard guard(lock_);
    EraseLocked();
    // A stream that has gone away (a closed pipe) stays failed; the radios go on.
    to << line << '\n';
    to.flush();
    DrawLocked();
}

void ProgressBoard::SetPercent(size_t row, int percent) {
    std::lock_guard guard(lock_);
    percent = std::clamp(percent, 0, 100);
    if (rows_[row].percent == percent && shownLines_ != 0) {
        return; // nothing moved: no redraw
    }
    rows_[row].percent = percent;
    DrawLocked();
}

void ProgressBoard::Finish(size_t row, const std::string& ending) {
    std::lock_guard guard(lock_);
    rows_[row].ending = ending.empty() ? "done" : ending;
    DrawLocked();
}

void ProgressBoard::Remove() {
    std::lock_guard guard(lock_);
    EraseLocked();
    draw_ = false;
}

void ProgressBoard::EraseLocked() {
    if (shownLines_ == 0) {
        return;
    }
    // Up to the first row, then clear from there to the end of the screen.
    terminal_ << "\x1b[" << shownLines_ << "A\r\x1b[J";
    terminal_.flush();
    shownLines_ = 0;
}

void ProgressBoard::DrawLocked() {
    if (!draw_ || rows_.empty()) {
        return;
    }
    std::string text;
    if (shownLines_ != 0) {
        text = "\x1b[" + std::to_string(shownLines_) + "A";
    }
    for (const std::string& line : BoardLines(rows_, columns_)) {
        text += "\r" + line + "\x1b[K\n";
    }
    terminal_ << text;
    terminal_.flush();
    shownLines_ = rows_.size();
}
