#include "files/ChannelCsv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "files/FileError.h"
#include "files/TestFiles.h"
#include "model/Cp1251.h"
#include "model/RangeSets.h"

namespace {

using testfiles::TempDir;

// Receive and transmit 26-30, 33-48.5 and 146-174 MHz: the low band has its own raster.
ChannelsContext TableWithRanges() {
    ChannelsContext table;
    const Ranges ranges = {{26000000, 30000000}, {33000000, 48500000}, {146000000, 174000000}};
    table.ranges.Select(table.ranges.Add(MakeSet(ranges, ranges)));
    return table;
}

const std::string BOM = "\xEF\xBB\xBF";
const std::string HEADER = "Slot,Number,Rx MHz,Tx MHz,Rx band kHz,Tx band kHz,Rx subtone,"
                           "Tx subtone,Rx call tone Hz,Tx call tone Hz,Power low,Power high,"
                           "Squelch,Active,Scan,Scrambler,Tx limit,Tx busy,F0,F1,F2,F3,F4,F5,"
                           "F6,F7\r\n";

// A channel the editor accepts, drawn at random within the ranges of TableWithRanges.
class ChannelGenerator {
public:
    explicit ChannelGenerator(unsigned seed) : random_(seed) {}

    Channel Next() {
        Channel c;
        const int kind = Pick(0, 5); // both, receive only, transmit only, 41.9 MHz...
        if (kind != 2)
            c.freq_rx = kind == 3 ? 41900000 : Frequency(true);
        if (kind != 1)
            c.freq_tx = kind == 4 ? c.freq_rx : Frequency(false);
        if (kind == 4 && c.freq_tx % 12500 != 0)
            c.freq_tx = 0; // a low-band 5 kHz receive step is no transmit frequency
        c.tone_rx = Pick(0, 1) ? Pick(400, 3000) : 0;
        c.tone_tx = Pick(0, 1) ? Pick(400, 3000) : 0;
        c.subtone_rx = Pick(0, 133);
        c.subtone_tx = Pick(0, 133);
        c.tx_power_low = Pick(0, 3);
        c.tx_power_high = Pick(c.tx_power_low, 3);
        c.number = Pick(0, 99);
        c.squelch = Pick(1, 8);
        for (bool* flag :
             {&c.scan, &c.band_rx, &c.band_tx, &c.scrambler, &c.tx_limit, &c.tx_busy, &c.active,
              &c.flag0, &c.flag1, &c.flag2, &c.flag3, &c.flag4, &c.flag5, &c.flag6, &c.flag7})
            *flag = Pick(0, 1) == 1;
        return c;
    }

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

private:
    int32_t Frequency(bool rx) {
        static const int32_t bounds[3][2] = {
            {26000000, 30000000}, {33000000, 48500000}, {146000000, 174000000}};
        const auto& range = bounds[Pick(0, 2)];
        const int32_t step = rx && range[0] == 26000000 ? 5000 : 12500;
        return range[0] + step * Pick(0, (range[1] - range[0]) / step);
    }

    std::mt19937 random_;
};

// ---------------------------------------------------------------------------- round trips

TEST(ChannelCsvRoundTrip, RandomConfigurationsComeBackExactlyInBothLocales) {
    for (CsvLocale locale : {CsvLocale::Default, CsvLocale::Russian}) {
        for (unsigned seed = 1; seed <= 30; ++seed) {
            SCOPED_TRACE("seed " + std::to_string(seed));
            ChannelGenerator generator(seed);
            ChannelsContext table = TableWithRanges();
            const int used = generator.Pick(0, CHANNEL_COUNT);
            for (int n = 0; n < used; ++n)
                table.channels[static_cast<size_t>(generator.Pick(0, 199))] = generator.Next();

            const ChannelCsvImport back = ParseChannelCsv(ChannelCsvText(table, locale), table);
            ASSERT_TRUE(back.ok()) << CsvProblemText(back.problems.front());
            EXPECT_EQ(back.channels, table.channels);
        }
    }
}

TEST(ChannelCsvRoundTrip, FileOnDiskReadsBack) {
    TempDir dir;
    ChannelsContext table = TableWithRanges();
    table.channels[7] = ChannelGenerator(5).Next();
    SaveChannelCsv(dir / "list.csv", table, CsvLocale::Russian);
    const ChannelCsvImport back = ReadChannelCsv(dir / "list.csv", table);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.channels, table.channels);
    EXPECT_EQ(back.channelCount, 1);
    EXPECT_THROW(ReadChannelCsv(dir / "missing.csv", table), FileError);
}

// ---------------------------------------------------------------------------- writing

TEST(ChannelCsvWrite, RowsOfUsedSlotsInSlotOrderWithByteOrderMarkAndCrLf) {
    ChannelsContext table = TableWithRanges();
    Channel& a = table.channels[150];
    a.freq_rx = 146512500;
    a.band_rx = false;
    a.subtone_rx = 1;  // 67.0
    a.subtone_tx = 51; // D023
    a.tone_rx = 1750;
    a.number = 50;
    a.tx_power_low = 1;
    a.tx_power_high = 2;
    a.squelch = 4;
    a.flag7 = true;
    Channel& b = table.channels[3];
    b.freq_rx = 41912500;
    b.freq_tx = 33000000;
    b.subtone_rx = 50; // 254.1
    b.scan = false;

    EXPECT_EQ(ChannelCsvText(table, CsvLocale::Default),
              BOM + HEADER + "3,3,41.9125,33,25,25,254.1,,,,0,3,1,1,0,0,0,1,0,0,0,0,0,0,0,0\r\n" +
                  "150,50,146.5125,,12.5,25,67.0,D023,1750,,1,2,4,1,1,0,0,1,0,0,0,0,0,0,0,1\r\n");

    std::string russianHeader = HEADER;
    std::replace(russianHeader.begin(), russianHeader.end(), ',', ';');
    EXPECT_EQ(ChannelCsvText(table, CsvLocale::Russian),
              BOM + russianHeader +
                  "3;3;41,9125;33;25;25;254,1;;;;0;3;1;1;0;0;0;1;0;0;0;0;0;0;0;0\r\n" +
                  "150;50;146,5125;;12,5;25;67,0;D023;1750;;1;2;4;1;1;0;0;1;0;0;0;0;0;0;0;1\r\n");
}

TEST(ChannelCsvWrite, EmptyTableGivesTheHeaderOnly) {
    EXPECT_EQ(ChannelCsvText(TableWithRanges(), CsvLocale::Default), BOM + HEADER);
}

TEST(ChannelCsvWrite, FailedSaveThrowsAndKeepsTheOldFile) {
    TempDir dir;
    testfiles::WriteAll(dir / "old.csv", "old");
    ChannelsContext table = TableWithRanges();
    EXPECT_THROW(SaveChannelCsv(dir / "no-such-dir" / "x.csv", table, CsvLocale::Default),
                 FileError);
    EXPECT_EQ(testfiles::ReadAll(dir / "old.csv"), "old");
}

// ---------------------------------------------------------------------------- reading

// A file that makes slot 12 a 146.5125 MHz receive channel in the 12.5 kHz band.
struct ReadCase {
    const char* name;
    std::string text;
};

TEST(ChannelCsvRead, SeparatorsDecimalMarksQuotingAndLineEnds) {
    const ReadCase cases[] = {
        {"comma, point", "Slot,Rx MHz,Rx band kHz\r\n12,146.5125,12.5\r\n"},
        {"semicolon, comma", "Slot;Rx MHz;Rx band kHz\r\n12;146,5125;12,5\r\n"},
        {"tab, comma", "Slot\tRx MHz\tRx band kHz\n12\t146,5125\t12,5\n"},
        {"comma, quoted decimal comma", "Slot,Rx MHz,Rx band kHz\n12,\"146,5125\",\"12,5\""},
        {"semicolon, point, byte-order mark", BOM + "Slot;Rx MHz;Rx band kHz\r\n12;146.5125;12.5"},
        {"quoted header and cells", "\"Slot\",\"Rx MHz\",Rx band kHz\r\n\"12\",146.5125,12.5\r\n"},
        {"blanks around cells, CR line ends",
         " Slot , Rx MHz ,Rx band kHz\r 12 , 146.512500 ,12.5\r"},
        {"padding columns and cells", "Slot,,Rx MHz,Rx band kHz,\n12,,146.5125,12.5,,\n"},
        {"empty rows skipped", "Slot;Rx MHz;Rx band kHz\r\n;;\r\n12;146,5125;12,5\r\n\r\n;;\r\n"},
    };
    const ChannelsContext table = TableWithRanges();
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ChannelCsvImport result = ParseChannelCsv(c.text, table);
        ASSERT_TRUE(result.ok()) << CsvProblemText(result.problems.front());
        EXPECT_EQ(result.channelCount, 1);
        EXPECT_EQ(result.channels[12].freq_rx, 146512500);
        EXPECT_FALSE(result.channels[12].band_rx);
    }
}

TEST(ChannelCsvRead, ColumnsInAnyOrderAndMissingOnesTakeTheFieldDefaults) {
    const ChannelsContext table = TableWithRanges();
    const ChannelCsvImport result =
        ParseChannelCsv("F3,Rx MHz,Tx subtone,Slot\r\n1,33.0125,D754,112\r\n", table);
    ASSERT_TRUE(result.ok()) << CsvProblemText(result.problems.front());

    Channel expected; // the empty channel's defaults, numbered as a new configuration
    expected.freq_rx = 33012500;
    expected.subtone_tx = 133;
    expected.flag3 = true;
    expected.number = 12;
    EXPECT_EQ(result.channels[112], expected);

    // Every other slot is empty as in a new configuration.
    Channel empty;
    empty.number = 11;
    EXPECT_EQ(result.channels[111], empty);
}

TEST(ChannelCsvRead, PowerLevelsOutOfOrderAreSwappedAsTheEditorDoes) {
    const ChannelCsvImport result =
        ParseChannelCsv("Slot,Rx MHz,Power low,Power high\n0,40,3,1\n", TableWithRanges());
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.channels[0].tx_power_low, 1);
    EXPECT_EQ(result.channels[0].tx_power_high, 3);
}

// ---------------------------------------------------------------------------- problems

struct ProblemCase {
    const char* name;
    std::string text; // the whole file
    CsvProblem problem;
};

TEST(ChannelCsvProblems, EveryKindIsReportedWithRowColumnAndValue) {
    using K = CsvProblemKind;
    const std::string h = "Slot,Rx MHz,Tx MHz\n";
    const ProblemCase cases[] = {
        {"empty file", "", {1, "", "", K::NoHeader}},
        {"byte-order mark only", BOM + "\r\n", {1, "", "", K::NoHeader}},
        {"no separator", "Slot\n1\n", {1, "", "", K::NoSeparator}},
        {"open quote", h + "1,\"40,40\n", {2, "", "", K::UnterminatedQuote}},
        {"text after quote", h + "1,\"40\"x,40\n", {2, "", "40", K::TextAfterQuote}},
        {"unknown column", "Slot,Rx MHz,Colour\n", {1, "Colour", "", K::UnknownColumn}},
        {"quoted unknown column",
         "Slot,Rx MHz,\"Col\"\"our\"\n",
         {1, "Col\"our", "", K::UnknownColumn}},
        {"value in an unnamed column", "Slot,Rx MHz,\n1,40,x\n", {2, "", "x", K::UnknownColumn}},
        {"long row", h + "1,40,40,x\n", {2, "", "4/3", K::CellCount}},
        {"column twice", "Slot,Rx MHz,Slot\n", {1, "Slot", "", K::DuplicateColumn}},
        {"no Rx MHz", "Slot,Tx MHz\n", {1, "Rx MHz", "", K::MissingColumn}},
        {"no Slot", "Number,Rx MHz\n", {1, "Slot", "", K::MissingColumn}},
        {"short row", h + "1,40\n", {2, "", "2/3", K::CellCount}},
        {"empty slot", h + ",40,40\n", {2, "Slot", "", K::EmptyCell}},
        {"slot not a number", h + "x1,40,40\n", {2, "Slot", "x1", K::NotInteger}},
        {"slot 200", h + "200,40,40\n", {2, "Slot", "200", K::SlotRange}},
        {"slot -1", h + "-1,40,40\n", {2, "Slot", "-1", K::SlotRange}},
        {"slot twice", h + "5,40,40\n5,41,41\n", {3, "Slot", "5", K::DuplicateSlot, 2}},
        {"frequency text", h + "1,40 MHz,40\n", {2, "Rx MHz", "40 MHz", K::NotFrequency}},
        {"seven decimals", h + "1,40.0000125,40\n", {2, "Rx MHz", "40.0000125", K::NotFrequency}},
        {"zero frequency", h + "1,0,40\n", {2, "Rx MHz", "0", K::NotFrequency}},
        {"no frequency", h + "1,,\n", {2, "Rx MHz", "", K::NoFrequency}},
        {"rx out of range", h + "1,50,40\n", {2, "Rx MHz", "50", K::RxOutOfRange}},
        {"rx in a gap", h + "1,31,40\n", {2, "Rx MHz", "31", K::RxOutOfRange}},
        {"rx off raster", h + "1,40.006,40\n", {2, "Rx MHz", "40.006", K::RxOffRaster}},
        {"rx low band 1 kHz", h + "1,27.001,\n", {2, "Rx MHz", "27.001", K::RxOffRaster}},
        {"tx out of range", h + "1,40,175\n", {2, "Tx MHz", "175", K::TxOutOfRange}},
        {"tx low band 5 kHz", h + "1,,27.005\n", {2, "Tx MHz", "27.005", K::TxOffRaster}},
        {"band 20", "Slot,Rx MHz,Tx band kHz\n1,40,20\n", {2, "Tx band kHz", "20", K::Band}},
        {"band empty", "Slot,Rx MHz,Rx band kHz\n1,40,\n", {2, "Rx band kHz", "", K::EmptyCell}},
        {"ctcss not a tone",
         "Slot,Rx MHz,Rx subtone\n1,40,67.1\n",
         {2, "Rx subtone", "67.1", K::Subtone}},
        {"dcs not a code",
         "Slot,Rx MHz,Tx subtone\n1,40,D024\n",
         {2, "Tx subtone", "D024", K::Subtone}},
        {"call tone low",
         "Slot,Rx MHz,Rx call tone Hz\n1,40,399\n",
         {2, "Rx call tone Hz", "399", K::CallTone}},
        {"call tone 0",
         "Slot,Rx MHz,Tx call tone Hz\n1,40,0\n",
         {2, "Tx call tone Hz", "0", K::CallTone}},
        {"call tone text",
         "Slot,Rx MHz,Tx call tone Hz\n1,40,1k\n",
         {2, "Tx call tone Hz", "1k", K::NotInteger}},
        {"number 100", "Slot,Rx MHz,Number\n1,40,100\n", {2, "Number", "100", K::Number}},
        {"power 4", "Slot,Rx MHz,Power high\n1,40,4\n", {2, "Power high", "4", K::PowerLevel}},
        {"power -1", "Slot,Rx MHz,Power low\n1,40,-1\n", {2, "Power low", "-1", K::PowerLevel}},
        {"squelch 0", "Slot,Rx MHz,Squelch\n1,40,0\n", {2, "Squelch", "0", K::Squelch}},
        {"squelch 9", "Slot,Rx MHz,Squelch\n1,40,9\n", {2, "Squelch", "9", K::Squelch}},
        {"yes/no 2", "Slot,Rx MHz,Scan\n1,40,2\n", {2, "Scan", "2", K::YesNo}},
        {"yes/no empty", "Slot,Rx MHz,F5\n1,40,\n", {2, "F5", "", K::EmptyCell}},
    };
    const ChannelsContext table = TableWithRanges();
    for (const ProblemCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ChannelCsvImport result = ParseChannelCsv(c.text, table);
        ASSERT_EQ(result.problems.size(), 1u)
            << (result.problems.empty() ? "no problem" : CsvProblemText(result.problems[1]));
        EXPECT_EQ(result.problems[0], c.problem) << CsvProblemText(result.problems[0]);
        EXPECT_FALSE(result.ok());
    }
}

TEST(ChannelCsvProblems, AllProblemsOfAFileComeAtOnceInRowOrder) {
    const std::string text = "Slot;Rx MHz;Squelch\r\n"
                             "0;40;1\r\n"
                             "1;50;9\r\n" // two problems in one row
                             "2;40;1\r\n"
                             "3;abc;1\r\n"; // a bad frequency hides "no frequency"
    const ChannelCsvImport result = ParseChannelCsv(text, TableWithRanges());
    ASSERT_EQ(result.problems.size(), 3u);
    EXPECT_EQ(result.problems[0].row, 3);
    EXPECT_EQ(result.problems[0].kind, CsvProblemKind::RxOutOfRange);
    EXPECT_EQ(result.problems[1].row, 3);
    EXPECT_EQ(result.problems[1].kind, CsvProblemKind::Squelch);
    EXPECT_EQ(result.problems[2].row, 5);
    EXPECT_EQ(result.problems[2].kind, CsvProblemKind::NotFrequency);
}

TEST(ChannelCsvProblems, ChecksFollowTheRangeSetInHand) {
    // The same file is good in one range set and refused in another.
    const std::string text = "Slot,Rx MHz\n0,150\n";
    EXPECT_TRUE(ParseChannelCsv(text, TableWithRanges()).ok());
    ChannelsContext defaultSet;
    FreqRange set;
    set.SetDefault();
    defaultSet.ranges.Select(defaultSet.ranges.Add(set));
    const ChannelCsvImport result = ParseChannelCsv(text, defaultSet);
    ASSERT_EQ(result.problems.size(), 1u);
    EXPECT_EQ(result.problems[0].kind, CsvProblemKind::RxOutOfRange);
}

TEST(ChannelCsvProblems, LinesInBothLanguages) {
    const CsvProblem cell{4, "Rx MHz", "146.0031", CsvProblemKind::RxOffRaster};
    EXPECT_EQ(CsvProblemText(cell), "row 4, column \"Rx MHz\", value \"146.0031\": not on the "
                                    "channel raster (12.5 kHz steps, 5 kHz steps in 26-30 MHz)");
    EXPECT_EQ(Cp1251ToUtf8(CsvProblemTextRu(cell)),
              "строка 4, столбец «Rx MHz», значение «146.0031»: частота не на сетке каналов "
              "(шаг 12,5 кГц, в диапазоне 26-30 МГц шаг 5 кГц)");
    const CsvProblem twice{9, "Slot", "5", CsvProblemKind::DuplicateSlot, 3};
    EXPECT_EQ(CsvProblemText(twice),
              "row 9, column \"Slot\", value \"5\": the slot is given in an earlier row (row 3)");
    EXPECT_EQ(CsvProblemText({1, "Colour", "", CsvProblemKind::UnknownColumn}),
              "row 1, column \"Colour\": not a column of a channel list");
    EXPECT_EQ(CsvProblemText({2, "Rx MHz", "", CsvProblemKind::NoFrequency}),
              "row 2, column \"Rx MHz\", value \"\": neither a receive nor a transmit frequency");
    EXPECT_EQ(CsvProblemText({1, "", "", CsvProblemKind::NoHeader}),
              "row 1: the file holds no header row");
}

TEST(ChannelCsvProblems, MalformedTextInAValueIsShownSafely) {
    const ChannelCsvImport result =
        ParseChannelCsv("Slot,Rx MHz\n1,4\xff\xfe\n", TableWithRanges());
    ASSERT_EQ(result.problems.size(), 1u);
    EXPECT_EQ(result.problems[0].value, "4??");
}

} // namespace
