#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <utility>
#include <vector>

#include "RangeSets.h"
#include "model/Cp1251.h"
#include "model/InfoContext.h"

namespace {

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = v >> 8;
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + i] = (v >> (8 * i)) & 0xFF;
    }
}
void PutText(std::vector<uint8_t>& b, size_t at, const char* text) {
    std::memcpy(b.data() + at, text, std::strlen(text));
}

// Block 0 of a radio with one 33-48.5 MHz range in both directions.
std::vector<uint8_t> Block0(uint32_t serial = 1234567) {
    std::vector<uint8_t> b(INFO_BLOCK0_SIZE, 0);
    Put32(b, 0, 17);
    Put32(b, 4, serial);
    PutText(b, 8, " 2.07\t");
    PutText(b, 18, "ZVP01");
    PutText(b, 23, "5T-17LM");
    PutText(b, 43, "short comment");
    PutText(b, 83, "aux");
    Put16(b, 98, 2640);  // transmit base in steps
    Put16(b, 100, 2640); // receive base in steps
    Put16(b, 104, 12500);
    Put16(b, 106, 0);
    Put16(b, 108, 1240);
    // Entries 2..4 have equal offsets and add nothing.
    Put16(b, 110, 5);
    Put16(b, 112, 5);
    return b;
}

std::vector<uint8_t> Block1(uint16_t channels2 = 0x0200) {
    std::vector<uint8_t> b(INFO_BLOCK1_SIZE, 0);
    Put16(b, 0, 0x1203);
    Put32(b, 4, 8192);
    Put32(b, 8, 0xDEADBEEF);
    Put32(b, 12, 120000);
    Put32(b, 16, 0x0000ABCD);
    const uint16_t tags[][2] = {{0, 0x0100},     {4, 0x0103}, {8, 0x0101},
                                {12, channels2}, {7, 0x0909}, {0, 0x0200}};
    for (size_t i = 0; i < 16; ++i) {
        const uint16_t tag = i < std::size(tags) ? tags[i][0] : 0xFFFF;
        const uint16_t version = i < std::size(tags) ? tags[i][1] : 0xFFFF;
        Put16(b, 20 + 4 * i, tag);
        Put16(b, 22 + 4 * i, version);
    }
    Put32(b, 84, 0x11111111);
    Put32(b, 88, 0x22222222);
    Put32(b, 92, 0x33333333);
    Put32(b, 96, 262144 + 1000);
    b[100] = 5;
    b[101] = 10;
    b[102] = 20;
    b[103] = 40;
    return b;
}

std::vector<uint8_t> Block2(const char* longComment) {
    std::vector<uint8_t> b(INFO_BLOCK2_SIZE, 0);
    PutText(b, 44, longComment);
    for (int i = 0; i < 32; ++i) {
        b[172 + i] = static_cast<uint8_t>(i);
    }
    return b;
}

std::string U(const std::string& cp1251) {
    return Cp1251ToUtf8(cp1251);
}

} // namespace

TEST(InfoContext, Block0DecodesTextsAndRanges) {
    TInfoContext info;
    ASSERT_TRUE(info.DecodeBlock0(Block0().data()));
    EXPECT_TRUE(info.has_block0);
    EXPECT_FALSE(info.HasIdentity());
    EXPECT_EQ(info.firmware_version, "2.07"); // blanks and control characters trimmed
    EXPECT_EQ(info.programmer_id, "ZVP01");
    EXPECT_EQ(info.radio_type, "5T-17LM");
    EXPECT_EQ(info.ranges.rx_begin[0], 33000000u);
    EXPECT_EQ(info.ranges.rx_end[0], 48500000u);
    EXPECT_EQ(info.ranges.tx_begin[0], 33000000u);
    EXPECT_EQ(info.ranges.tx_end[0], 48500000u);
    EXPECT_EQ(info.ranges.rx_begin[1], 0u);
    EXPECT_EQ(info.ranges.tx_end[1], 0u);
}

TEST(InfoContext, Block0RangesAreBasePlusOffsetTimesStep) {
    const struct {
        const char* name;
        uint16_t bases[3];   // receive base, transmit base, step
        uint16_t offsets[8]; // begin, end of entries 1..4
        FreqRange expected;
    } cases[] = {
        {"one range, same bases",
         {2640, 2640, 12500},
         {0, 1240, 5, 5, 0, 0, 7, 7},
         MakeSet({{33000000, 48500000}}, {{33000000, 48500000}})},
        {"bases differ, two ranges",
         {2640, 2800, 12500},
         {0, 560, 800, 1240, 0, 0, 0, 0},
         MakeSet({{33000000, 40000000}, {43000000, 48500000}},
                 {{35000000, 42000000}, {45000000, 50500000}})},
        // 136-174 MHz in 2.5 kHz steps: base plus offset goes beyond 16 bits (69 600 steps)
        {"sum beyond sixteen bits",
         {54400, 54400, 2500},
         {0, 15200, 0, 0, 0, 0, 0, 0},
         MakeSet({{136000000, 174000000}}, {{136000000, 174000000}})},
        {"step 0 gives no range", {2640, 2640, 0}, {0, 1240, 0, 0, 0, 0, 0, 0}, FreqRange{}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto b = Block0();
        Put16(b, 100, c.bases[0]);
        Put16(b, 98, c.bases[1]);
        Put16(b, 104, c.bases[2]);
        for (int i = 0; i < 8; ++i) {
            Put16(b, 106 + 2 * i, c.offsets[i]);
        }
        TInfoContext info;
        info.ranges.AddRx(1, 2); // cleared by the decoding
        info.DecodeBlock0(b.data());
        EXPECT_TRUE(info.ranges.Equals(c.expected))
            << Cp1251ToUtf8(info.ranges.Text()) << " instead of "
            << Cp1251ToUtf8(c.expected.Text());
    }
}

TEST(InfoContext, FullWidthTextWithoutTerminatorIsTakenWhole) {
    auto b = Block0();
    PutText(b, 23, "ABCDEFGHIJKLMNOPQRST"); // 20 characters, runs into the comment field
    TInfoContext info;
    info.DecodeBlock0(b.data());
    EXPECT_EQ(info.radio_type, "ABCDEFGHIJKLMNOPQRST");
}

TEST(InfoContext, TextFieldsLoseSurroundingBlanksAndControlCharacters) {
    const struct {
        const char* name;
        const char* field; // the 20 bytes of the radio type field, up to the first zero
        const char* text;
    } cases[] = {
        {"blanks", "  5T-17LM  ", "5T-17LM"},
        {"tab and line break", "\t5T-17LM\r\n", "5T-17LM"},
        {"delete is a control character too", "\177 5T-17LM\177\177", "5T-17LM"},
        {"inner blanks and controls stay", "5T \177-17LM", "5T \177-17LM"},
        {"Windows-1251 letters are kept", "\xc7\xc5\xc2\xd0\xc0\xcd", "\xc7\xc5\xc2\xd0\xc0\xcd"},
        {"nothing but controls", "\x01\x7f \x1f", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto b = Block0();
        std::memset(b.data() + 23, 0, 20);
        PutText(b, 23, c.field);
        TInfoContext info;
        info.DecodeBlock0(b.data());
        EXPECT_EQ(info.radio_type, c.text);
    }
}

TEST(InfoContext, Block1TagsLaterEntryWinsAndBlock2CommentSurvivesWhenDecodedAfter) {
    TInfoContext info;
    info.DecodeBlock0(Block0().data());
    info.DecodeBlock2(Block2("old").data());
    info.DecodeBlock1(Block1().data()); // empties the long comment
    EXPECT_EQ(info.long_comment, "");
    EXPECT_EQ(info.channels_version, 0x0200); // the second tag 0 entry wins
    EXPECT_EQ(info.settings_version, 0x0103);
    EXPECT_EQ(info.calibration_version, 0x0101);
    EXPECT_EQ(info.channels2_version, 0x0200);
    EXPECT_EQ(info.power_w[3], 40);
    EXPECT_TRUE(info.HasIdentity());
    info.DecodeBlock2(Block2("long comment").data());
    EXPECT_EQ(info.long_comment, "long comment");
    EXPECT_EQ(info.options[31], 31);
}

TEST(InfoContext, ReportWithAllBlocks) {
    TInfoContext info;
    info.DecodeBlock0(Block0().data());
    info.DecodeBlock1(Block1().data());
    info.DecodeBlock2(Block2("long comment").data());
    const std::string expected =
        "Тип радиостанции: 5T-17LM\r\n\r\n"
        "Серийный номер: 1234567\r\n\r\n"
        "Количество попыток программирования: 17\r\n\r\n"
        "Микроконтроллер.\r\n\tCPUID: 33333333 22222222 11111111\r\n\tFLASH:256K\r\n\r\n"
        "Мощность передачи:\r\n\tP0=5 Вт\r\n\tP1=10 Вт\r\n\tP2=20 Вт\r\n\tP3=40 Вт\r\n\r\n"
        "Диапазон рабочих частот (МГц):\r\n"
        "\tПрием:      ( 33-48.5)\r\n"
        "\tПередача:   ( 33-48.5)\r\n\r\n"
        "Комментарий: long comment\r\n\r\n"
        "Версия программатора: ZVP01\r\n\r\n"
        "Программное обеспечение:\r\n\tВерсия: 2.07\r\n"
        "\tРазмер: 120000\r\n\tКонтрольная сумма: 0X0000ABCD\r\n\r\n"
        "Загрузчик:\r\n\tВерсия: 1.2.3\r\n\tРазмер: 8192\r\n\tКонтрольная сумма: 0XDEADBEEF\r\n\r\n"
        "Таблица каналов 0-99:     Версия 2.0\r\n"
        "Таблица каналов 100-199:    Версия 2.0\r\n"
        "Таблица настроек:    Версия 1.3\r\n"
        "Таблица калибровок:  Версия 1.1\r\n"
        "Опции:\r\n"
        "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F \r\n"
        "10 11 12 13 14 15 16 17 18 19 1A 1B 1C 1D 1E 1F \r\n";
    EXPECT_EQ(U(info.BuildReport()), expected);
}

TEST(InfoContext, ReportWithBlock0OnlyAndNoSerialNumber) {
    TInfoContext info;
    info.DecodeBlock0(Block0(0xFFFFFFFFu).data());
    const std::string expected = "Тип радиостанции: 5T-17LM\r\n\r\n"
                                 "Количество попыток программирования: 17\r\n\r\n"
                                 "Диапазон рабочих частот (МГц):\r\n"
                                 "\tПрием:      ( 33-48.5)\r\n"
                                 "\tПередача:   ( 33-48.5)\r\n\r\n"
                                 "Комментарий: short comment\r\n\r\n"
                                 "Версия программатора: ZVP01\r\n\r\n"
                                 "Программное обеспечение:\r\n\tВерсия: 2.07\r\n";
    EXPECT_EQ(U(info.BuildReport()), expected);
}

TEST(InfoContext, ReportOmitsSecondTableWhenAbsent) {
    TInfoContext info;
    info.DecodeBlock1(Block1(0).data());
    const std::string report = U(info.BuildReport());
    EXPECT_EQ(report.find("100-199"), std::string::npos);
    EXPECT_NE(report.find("Таблица каналов 0-99:"), std::string::npos);
}

TEST(InfoContext, AcceptedProgrammer) {
    struct Case {
        std::string id;
        bool secondType;
        bool accepted;
    } cases[] = {
        {"ZVP01", false, true}, {"ZVP02", false, false}, {"ZVP02", true, true},
        {"", false, false},     {"", true, false},       {"zvp01", true, false},
        {"ZVP0", true, false},  {"ZVP011", true, false},
    };
    TInfoContext info;
    for (const auto& c : cases) {
        AcceptSecondType = c.secondType;
        EXPECT_EQ(info.IsProgrammerAccepted(c.id), c.accepted)
            << c.id << " second=" << c.secondType;
    }
    AcceptSecondType = false;
    EXPECT_EQ(OwnProgrammerId(), "ZVP01");
    EXPECT_EQ(AlternativeProgrammerId(), "ZVP02");
}
