#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "cli/ProgressDisplay.h"

// One radio's row on the board.
struct BoardRow {
    std::string label;  // COM33, pts-3 (UTF-8)
    int percent = 0;    // 0..100 while the operation runs
    std::string ending; // how it ended ("written", "failed: ..."); empty while it runs
};

// The rows as the terminal shows them, none wider than columns - 1 characters (the last
// column would wrap on some terminals): labels padded to one width, then a bar and its
// percentage, or how the radio's run ended.
std::vector<std::string> BoardLines(const std::vector<BoardRow>& rows, size_t columns);

// The terminal of several radios at once. Whole lines of every radio go through it, one at a
// time, so lines never mix; when drawing, it also keeps one progress row per radio at the
// bottom of the terminal, redrawn in place with cursor moves, and every line printed goes
// above the rows.
class ProgressBoard {
public:
    // terminal: the stream the rows are drawn on (the error stream); draw: it is a terminal
    // that takes cursor moves and rows are wanted; columns: its width.
    ProgressBoard(std::ostream& terminal, bool draw, size_t columns);
    ~ProgressBoard();
    ProgressBoard(const ProgressBoard&) = delete;
    ProgressBoard& operator=(const ProgressBoard&) = delete;

    // A row for a radio, before the radios start; returns its index.
    size_t AddRow(const std::string& label);
    // The display one radio's operation reports to: it moves that radio's row.
    ProgressDisplay& Display(size_t row);

    // Writes line (without its newline) and a newline to `to`, the log or the error stream,
    // with the rows kept below it.
    void WriteLine(std::ostream& to, const std::string& line);
    void SetPercent(size_t row, int percent);
    // The radio's run is over: its row says how it ended.
    void Finish(size_t row, const std::string& ending);
    // Takes the rows off the terminal for good; lines still go through.
    void Remove();

private:
    class RowDisplay;
    void EraseLocked();
    void DrawLocked();

    std::ostream& terminal_;
    bool draw_;
    size_t columns_;
    std::mutex lock_;
    std::vector<BoardRow> rows_;
    std::vector<std::unique_ptr<RowDisplay>> displays_;
    size_t shownLines_ = 0; // rows on the terminal now, the cursor on the line below them
};
