// The progress rows of several radios at once: how a row reads, and what the terminal shows
// while lines of every radio go above the rows.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/ProgressBoard.h"
#include "cli/TerminalScreen.h"

namespace {

TEST(BoardLines, RowsReadAsBarsOrHowTheRunEnded) {
    struct Case {
        std::vector<BoardRow> rows;
        size_t columns;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        // Labels padded to the longest, a 30-character bar, the percentage right-aligned.
        {{{"COM5", 0, ""}, {"ttyUSB10", 50, ""}, {"pts-3", 100, ""}},
         80,
         {"COM5      [..............................]   0 %",
          "ttyUSB10  [###############...............]  50 %",
          "pts-3     [##############################] 100 %"}},
        // Out-of-range percentages are held to the bar.
        {{{"COM5", -7, ""}, {"COM6", 140, ""}},
         80,
         {"COM5  [..............................]   0 %",
          "COM6  [##############################] 100 %"}},
        // An ended run says how it ended, a newline in the reason shown escaped.
        {{{"COM5", 100, "written"}, {"COM6", 40, "failed: no answer\nfrom the radio"}},
         80,
         {"COM5  written", "COM6  failed: no answer\\x0afrom the radio"}},
        // A narrow terminal: the bar shrinks, and nothing reaches the last column.
        {{{"COM5", 50, ""}}, 40, {"COM5  [############.............]  50 %"}},
        {{{"COM5", 50, ""}}, 12, {"COM5  [#..."}},
        {{{"COM5", 0, "failed: the radio refused the range set"}}, 24, {"COM5  failed: the ra..."}},
        // A cut never splits a character.
        {{{"COM5", 0, "failed: файл занят"}}, 20, {"COM5  failed: фа..."}},
        // Labels are measured in characters, not bytes (a device path in Cyrillic).
        {{{"порт-номер-пятнадцать-длинный", 10, ""}, {"COM5", 0, ""}},
         80,
         {"порт-номер-пятнадцать...  [###...........................]  10 %",
          "COM5                      [..............................]   0 %"}},
        // A very long label is cut to 24 characters.
        {{{"a-very-long-device-name-of-a-usb-adapter", 10, ""}},
         80,
         {"a-very-long-device-na...  [###...........................]  10 %"}},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> lines = BoardLines(c.rows, c.columns);
        EXPECT_EQ(lines, c.lines) << "columns " << c.columns << ", first label "
                                  << c.rows.front().label;
    }
}

std::vector<std::string> Screen(const std::string& bytes) {
    const TerminalScreen screen(bytes);
    EXPECT_FALSE(screen.MovedAboveTheTop());
    return screen.Lines();
}

TEST(ProgressBoard, LinesGoAboveTheRowsAndTheRowsLeaveNothingBehind) {
    std::ostringstream terminal;
    ProgressBoard board(terminal, true, 80);
    board.AddRow("COM5");
    board.AddRow("COM6");
    board.SetPercent(0, 50);
    board.WriteLine(terminal, "COM5: Порт COM5 открыт");
    board.SetPercent(1, 100);
    board.WriteLine(terminal, "COM6: a line much longer than any progress row would ever be");
    board.Finish(0, "written");
    EXPECT_EQ(Screen(terminal.str()),
              (std::vector<std::string>{
                  "COM5: Порт COM5 открыт",
                  "COM6: a line much longer than any progress row would ever be", "COM5  written",
                  "COM6  [##############################] 100 %"}));

    board.Remove();
    const std::vector<std::string> after = {
        "COM5: Порт COM5 открыт", "COM6: a line much longer than any progress row would ever be"};
    EXPECT_EQ(Screen(terminal.str()), after);
    // Lines after the rows are gone are written as they come, with no cursor moves.
    const size_t before = terminal.str().size();
    board.SetPercent(1, 20);
    board.WriteLine(terminal, "summary");
    EXPECT_EQ(terminal.str().substr(before), "summary\n");
}

TEST(ProgressBoard, LinesForAnotherStreamStayPlainText) {
    // Standard output in a file, the rows on the terminal of the error stream.
    std::ostringstream terminal, file;
    {
        ProgressBoard board(terminal, true, 80);
        board.AddRow("COM5");
        board.SetPercent(0, 30);
        board.WriteLine(file, "COM5: one");
        board.SetPercent(0, 60);
        board.WriteLine(file, "COM5: two");
    } // the board goes, and its rows with it
    EXPECT_EQ(file.str(), "COM5: one\nCOM5: two\n");
    EXPECT_TRUE(Screen(terminal.str()).empty()) << terminal.str();
}

TEST(ProgressBoard, WithoutDrawingOnlyLinesAreWritten) {
    std::ostringstream terminal;
    ProgressBoard board(terminal, false, 80);
    board.AddRow("COM5");
    board.SetPercent(0, 30);
    board.WriteLine(terminal, "COM5: one");
    board.Finish(0, "written");
    EXPECT_EQ(terminal.str(), "COM5: one\n");
}

TEST(ProgressBoard, RadiosAtOnceNeverMixLinesOrLoseTheRows) {
    std::ostringstream terminal;
    ProgressBoard board(terminal, true, 80);
    constexpr int RADIOS = 4;
    constexpr int LINES = 50;
    for (int r = 0; r < RADIOS; ++r) {
        board.AddRow("COM" + std::to_string(r + 1));
    }
    std::vector<std::thread> threads;
    for (int r = 0; r < RADIOS; ++r) {
        threads.emplace_back([&board, &terminal, r] {
            for (int i = 0; i < LINES; ++i) {
                board.SetPercent(static_cast<size_t>(r), i * 2);
                board.WriteLine(terminal,
                                "COM" + std::to_string(r + 1) + ": line " + std::to_string(i));
            }
            board.SetPercent(static_cast<size_t>(r), 100);
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    const std::vector<std::string> lines = Screen(terminal.str());
    ASSERT_EQ(lines.size(), static_cast<size_t>(RADIOS * LINES + RADIOS));
    std::set<std::string> seen;
    for (size_t i = 0; i < static_cast<size_t>(RADIOS * LINES); ++i) {
        seen.insert(lines[i]);
    }
    for (int r = 0; r < RADIOS; ++r) {
        for (int i = 0; i < LINES; ++i) {
            EXPECT_EQ(seen.count("COM" + std::to_string(r + 1) + ": line " + std::to_string(i)),
                      1u);
        }
        EXPECT_EQ(lines[static_cast<size_t>(RADIOS * LINES + r)],
                  "COM" + std::to_string(r + 1) + "  [##############################] 100 %");
    }
}

} // namespace
