#include "files/ChannelExport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/ExcelWrapper.h"
#include "files/TestFiles.h"
#include "model/Cp1251.h"

namespace {

using testfiles::ReadAll;
using testfiles::TempDir;
using testfiles::WriteAll;

const char* const PYTHON = "/usr/bin/python3";

bool ReaderAvailable() {
    static const bool available =
        std::system((std::string(PYTHON) + " -c 'import openpyxl' >/dev/null 2>&1").c_str()) == 0;
    return available;
}

// What openpyxl (and the raw sheet XML) see in the workbook, one fact per line.
std::vector<std::string> ReadBack(const std::filesystem::path& file) {
    const std::string command = std::string(PYTHON) +
                                " '" ZORVEX_SOURCE_DIR "/tests/files/read_xlsx.py' '" +
                                file.string() + "'";
    std::vector<std::string> lines;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return lines;
    }
    std::string line;
    for (int c; (c = std::fgetc(pipe)) != EOF;) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(c);
        }
    }
    EXPECT_EQ(pclose(pipe), 0) << command;
    return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines) {
        text += l + "\n";
    }
    return text;
}

const std::vector<std::string> HEADER = {
    "sheets Таблица каналов",  "defined _xlnm.Print_Titles 'Таблица каналов'!$1:$2",
    "sheet 1 Таблица каналов", "title_rows $1:$2",
    "width A 10.7109375",      "width B 20.7109375",
    "width C 20.7109375",
};

const std::vector<std::string> HEADER_CELLS = {
    // A merged cell's outline is carried by the cells along each edge.
    "cell A1 s:Канал fmt=General h=center v=center border=thick,thick,thick,-",
    "cell B1 s:Частота, Гц fmt=General h=center v=center border=thick,thick,-,thin",
    "cell C1 empty fmt=General h=center v=center border=-,thick,thick,thin",
    "cell A2 empty fmt=General h=center v=center border=thick,-,thick,thick",
    "cell B2 s:приема fmt=General h=center v=center border=thick,thin,thin,thick",
    "cell C2 s:передачи fmt=General h=center v=center border=thin,thin,thick,thick",
};

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

TEST(ChannelExport, SheetHasTheFramedHeaderGroupsMergesAndGroupedNumbers) {
    if (!ReaderAvailable()) {
        GTEST_SKIP() << "openpyxl is not installed";
    }
    ChannelsContext table;
    table.channels[5].freq_rx = table.channels[5].freq_tx = 41000000; // simplex: merged B:C
    table.channels[6].freq_rx = 42012500;                             // receive only
    table.channels[7].freq_rx = 43000000;
    table.channels[7].freq_tx = 44000000;
    table.channels[9].freq_tx = 45000000; // after a gap, transmit only
    table.channels[9].freq_rx = -3;
    table.channels[150].freq_rx = table.channels[150].freq_tx = 146500000;
    table.channels[150].number = 50;  // the index is exported, not the number
    table.channels[151].freq_rx = -1; // not used: skipped

    TempDir dir;
    const auto file = dir / "channels.xlsx";
    const ExportResult result = ExportChannels(table, file);
    ASSERT_TRUE(result.ok) << Cp1251ToUtf8(result.reason);
    EXPECT_EQ(Cp1251ToUtf8(result.caption), "Экспорт в Excel");
    EXPECT_EQ(Cp1251ToUtf8(result.message), "Экспорт прошел успешно.");
    EXPECT_TRUE(result.reason.empty());
    EXPECT_EQ(dir.Entries(), (std::set<std::string>{"channels.xlsx"}));

    const std::vector<std::string> expected =
        Concat({HEADER,
                {"merge A1:A2", "merge B1:C1", "merge B3:C3", "merge B7:C7"},
                HEADER_CELLS,
                {
                    "cell A3 n:5 fmt=General h=center v=center border=thick,thick,thick,thin",
                    "cell B3 n:41000000 fmt=#,##0 h=center v=center border=thick,thick,-,thin",
                    "cell C3 empty fmt=#,##0 h=center v=center border=-,thick,thick,thin",
                    "cell A4 n:6 fmt=General h=center v=center border=thick,thin,thick,thin",
                    "cell B4 n:42012500 fmt=#,##0 h=center v=center border=thick,thin,thin,thin",
                    "cell C4 empty fmt=General h=center v=center border=thin,thin,thick,thin",
                    "cell A5 n:7 fmt=General h=center v=center border=thick,thin,thick,thin",
                    "cell B5 n:43000000 fmt=#,##0 h=center v=center border=thick,thin,thin,thin",
                    "cell C5 n:44000000 fmt=#,##0 h=center v=center border=thin,thin,thick,thin",
                    "cell A6 n:9 fmt=General h=center v=center border=thick,thick,thick,thin",
                    "cell B6 empty fmt=General h=center v=center border=thick,thick,thin,thin",
                    "cell C6 n:45000000 fmt=#,##0 h=center v=center border=thin,thick,thick,thin",
                    "cell A7 n:150 fmt=General h=center v=center border=thick,thick,thick,thin",
                    "cell B7 n:146500000 fmt=#,##0 h=center v=center border=thick,thick,-,thin",
                    "cell C7 empty fmt=#,##0 h=center v=center border=-,thick,thick,thin",
                    "cell A8 empty fmt=General h=None v=None border=-,thick,-,-",
                    "cell B8 empty fmt=General h=None v=None border=-,thick,-,-",
                    "cell C8 empty fmt=General h=None v=None border=-,thick,-,-",
                }});
    EXPECT_EQ(Joined(ReadBack(file)), Joined(expected));
}

TEST(ChannelExport, EmptyTableGivesTheHeaderAndTheClosingLineOnRowThree) {
    if (!ReaderAvailable()) {
        GTEST_SKIP() << "openpyxl is not installed";
    }
    ChannelsContext table;
    TempDir dir;
    ASSERT_TRUE(ExportChannels(table, dir / "empty.xlsx").ok);
    const std::vector<std::string> expected =
        Concat({HEADER,
                {"merge A1:A2", "merge B1:C1"},
                HEADER_CELLS,
                {
                    "cell A3 empty fmt=General h=None v=None border=-,thick,-,-",
                    "cell B3 empty fmt=General h=None v=None border=-,thick,-,-",
                    "cell C3 empty fmt=General h=None v=None border=-,thick,-,-",
                }});
    EXPECT_EQ(Joined(ReadBack(dir / "empty.xlsx")), Joined(expected));
}

TEST(ChannelExport, FailureIsReportedAndLeavesNoPartialFile) {
    ChannelsContext table;
    for (int i = 0; i < CHANNEL_COUNT; ++i) {
        table.channels[i].freq_rx = 40000000 + 12500 * i;
        table.channels[i].freq_tx = 41000000 + 12500 * i;
    }
    TempDir dir;

    ExportResult result = ExportChannels(table, dir / "missing" / "out.xlsx");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(Cp1251ToUtf8(result.caption), "Экспорт в Excel");
    EXPECT_EQ(Cp1251ToUtf8(result.message), "Ошибка при экспорте!!!");
    // The real cause, not the library's guess at a permissions problem.
    EXPECT_NE(
        result.reason.find("the folder \"" + (dir / "missing").string() + "\" does not exist"),
        std::string::npos)
        << result.reason;
    EXPECT_EQ(dir.Entries(), std::set<std::string>{});

    // The disk fills up while the workbook is written: the old file stays as it was.
    WriteAll(dir / "out.xlsx", "previous export");
    {
        testfiles::FileSizeLimit full(2048);
        result = ExportChannels(table, dir / "out.xlsx");
    }
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.reason.empty());
    EXPECT_EQ(ReadAll(dir / "out.xlsx"), "previous export");
    EXPECT_EQ(dir.Entries(), (std::set<std::string>{"out.xlsx"}));

    // A directory in the way of the file name.
    std::filesystem::create_directory(dir / "taken.xlsx");
    EXPECT_FALSE(ExportChannels(table, dir / "taken.xlsx").ok);
    EXPECT_EQ(dir.Entries(), (std::set<std::string>{"out.xlsx", "taken.xlsx"}));
}

TEST(ChannelExport, DeviceIsWrittenIntoNotReplaced) {
    ChannelsContext table;
    table.channels[0].freq_rx = 40000000;
    TempDir dir;
    std::filesystem::create_symlink("/dev/null", dir / "sink.xlsx");
    for (const char* target : {"/dev/null", "sink.xlsx"}) {
        const ExportResult result =
            ExportChannels(table, target[0] == '/' ? std::filesystem::path(target) : dir / target);
        EXPECT_TRUE(result.ok) << target << ": " << result.reason;
        struct stat st {};
        ASSERT_EQ(stat("/dev/null", &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode));
    }
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "sink.xlsx"));
    EXPECT_EQ(dir.Entries(), std::set<std::string>{"sink.xlsx"});
}

TEST(ExcelWrapper, CellAddressNamesColumnsAsTheSpreadsheetDoes) {
    struct Case {
        int row, column;
        const char* address;
    };
    const Case cases[] = {
        {1, 1, "A1"},   {2, 26, "Z2"},     {3, 27, "AA3"},   {1, 52, "AZ1"},
        {1, 53, "BA1"}, {10, 702, "ZZ10"}, {1, 703, "AAA1"}, {1048576, 16384, "XFD1048576"}};
    for (const Case& c : cases) {
        EXPECT_EQ(TExcelWrapper::CellAddress(c.row, c.column), c.address);
    }
}

TEST(ExcelWrapper, BadRangesAreRefusedAndMergesMayNotOverlap) {
    TExcelWrapper excel;
    EXPECT_THROW(excel.SelectCell(1, 1), std::runtime_error); // no workbook yet
    ASSERT_TRUE(excel.NewWorkbook());
    ASSERT_TRUE(excel.SelectSheet(1));
    EXPECT_THROW(excel.SelectSheet(2), std::runtime_error);
    EXPECT_THROW(excel.SetText("x"), std::runtime_error); // nothing selected

    struct Case {
        int r1, c1, r2, c2;
    };
    const Case refused[] = {{2, 1, 1, 1}, {1, 2, 1, 1}, {0, 1, 1, 1}, {1, 0, 1, 1}, {-1, -1, 1, 1}};
    for (const Case& c : refused) {
        EXPECT_FALSE(excel.SelectRange(c.r1, c.c1, c.r2, c.c2, true))
            << c.r1 << "," << c.c1 << " " << c.r2 << "," << c.c2;
    }
    EXPECT_TRUE(excel.sheets()[0].merges.empty());

    ASSERT_TRUE(excel.SelectRange(1, 1, 2, 2, true));
    EXPECT_THROW(excel.SelectRange(2, 2, 3, 3, true), std::runtime_error);
    EXPECT_TRUE(excel.SelectRange(2, 2, 3, 3, false)); // selecting without merging is fine
    EXPECT_TRUE(excel.SelectRange(3, 1, 3, 2, true));
    EXPECT_EQ(excel.sheets()[0].merges.size(), 2u);

    EXPECT_THROW(excel.SetBorders(3, 0, 0, 0), std::runtime_error);
    EXPECT_THROW(excel.SetAlignment(XL_TOP, 0), std::runtime_error);
    EXPECT_THROW(excel.SetPrintTitleRows("rows 1 to 2"), std::runtime_error);
}

TEST(ExcelWrapper, ValuesOfAPlainRangeFillEveryCellOfAMergedOneOnlyTheFirst) {
    TExcelWrapper excel;
    excel.NewWorkbook();
    excel.SelectRange(1, 1, 1, 2, false);
    excel.SetNumber(7, FREQ_NUMBER_FORMAT);
    excel.SelectRange(2, 1, 2, 2, true);
    excel.SetText("t");
    const auto& cells = excel.sheets()[0].cells;
    EXPECT_EQ(cells.at({1, 1}).number, 7.0);
    EXPECT_EQ(cells.at({1, 2}).number, 7.0);
    EXPECT_EQ(cells.at({1, 2}).numberFormat, "#,##0");
    EXPECT_EQ(cells.at({2, 1}).text, "t");
    EXPECT_FALSE(cells.at({2, 2}).text.has_value());
}

} // namespace
