#pragma once

#include <string>
#include <vector>

// What a terminal shows after the bytes written to it: text, carriage returns, newlines and
// the few cursor moves the progress display uses (ESC [ n A up, ESC [ K clear to the end of
// the line, ESC [ J clear to the end of the screen). An unknown sequence is kept as text, so
// a test sees it.
class TerminalScreen {
public:
    explicit TerminalScreen(const std::string& bytes) {
        lines_.emplace_back();
        for (size_t i = 0; i < bytes.size(); ++i) {
            const char ch = bytes[i];
            if (ch == '\x1b' && i + 1 < bytes.size() && bytes[i + 1] == '[') {
                size_t j = i + 2;
                int n = 0;
                bool digits = false;
                while (j < bytes.size() && bytes[j] >= '0' && bytes[j] <= '9') {
                    n = n * 10 + (bytes[j++] - '0');
                    digits = true;
                }
                if (j < bytes.size() && Control(bytes[j], digits ? n : 1)) {
                    i = j;
                    continue;
                }
            }
            if (ch == '\r') {
                col_ = 0;
            } else if (ch == '\n') {
                ++row_;
                col_ = 0;
                if (row_ == lines_.size()) {
                    lines_.emplace_back();
                }
            } else {
                std::string& line = lines_[row_];
                if (line.size() < col_) {
                    line.append(col_ - line.size(), ' ');
                }
                if (col_ < line.size()) {
                    line[col_] = ch;
                } else {
                    line += ch;
                }
                ++col_;
            }
        }
        while (!lines_.empty() && lines_.back().empty()) {
            lines_.pop_back();
        }
    }

    // The lines shown, top to bottom, without the empty ones at the end.
    const std::vector<std::string>& Lines() const { return lines_; }
    // Whether the cursor went above the first line written (a miscounted move).
    bool MovedAboveTheTop() const { return aboveTop_; }

private:
    bool Control(char final, int n) {
        switch (final) {
        case 'A':
            if (static_cast<size_t>(n) > row_) {
                aboveTop_ = true;
                row_ = 0;
            } else {
                row_ -= static_cast<size_t>(n);
            }
            return true;
        case 'K':
            if (lines_[row_].size() > col_) {
                lines_[row_].resize(col_);
            }
            return true;
        case 'J':
            if (lines_[row_].size() > col_) {
                lines_[row_].resize(col_);
            }
            lines_.resize(row_ + 1);
            return true;
        default:
            return false;
        }
    }

    std::vector<std::string> lines_;
    size_t row_ = 0;
    size_t col_ = 0;
    bool aboveTop_ = false;
};
