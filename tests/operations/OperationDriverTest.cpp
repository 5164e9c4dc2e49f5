#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "link/ComPorts.h"
#include "link/SerialPort.h"
#include "model/Cp1251.h"
#include "operations/DriverHarness.h"

namespace {

using Lines = std::vector<std::string>;

const char* const OTHER_PROGRAMMER =
    "Для программирования радиостанции необходим другой программатор";

RadioIdentity Identity(uint16_t channels, uint16_t channels2, uint16_t settings) {
    RadioIdentity id;
    id.channelsVersion = channels;
    id.channels2Version = channels2;
    id.settingsVersion = settings;
    return id;
}

bool Contains(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

Channel TestChannel(int32_t rx, int32_t tx, int32_t number) {
    Channel c;
    c.freq_rx = rx;
    c.freq_tx = tx;
    c.number = number;
    c.tone_tx = 1750;
    c.subtone_rx = 12;
    c.tx_power_low = 1;
    c.tx_power_high = 2;
    c.squelch = 3;
    c.scan = false;
    c.flag3 = true;
    return c;
}

// ---- Opening the port

TEST(OperationDriverOpen, PortZeroLogsTwoLinesAndKeepsThePreset) {
    struct Case {
        int32_t mode;
        int32_t percent;
        uint32_t color;
    };
    for (const Case& c : {Case{MODE_IDENTIFY, 35, 0x008000}, Case{MODE_READ, 35, 0x008000},
                          Case{MODE_WRITE, 70, 0x0000FF}}) {
        DriverHarness h;
        h.driver->port_number = 0;
        EXPECT_EQ(h.Run(c.mode), OperationOutcome::PortNotOpened);
        EXPECT_EQ(h.log.lines,
                  (Lines{"Не удалось открыть порт COM0 !!!", "Процесс остановлен!!!"}));
        EXPECT_EQ(h.driver->percent, c.percent);
        EXPECT_EQ(h.driver->bar_color, c.color);
        EXPECT_EQ(h.driver->state, STATE_DONE);
        EXPECT_EQ(h.radio.Stats().requests, 0u);
    }
}

// The line after the specified one tells a technician what to do about it.
TEST(OperationDriverOpen, PortThatCannotBeOpenedIsReportedWithItsNumberAndTheReason) {
    DriverHarness h;
    SerialPort holder; // another program on the simulated radio's port
    ASSERT_TRUE(holder.Open(h.pty.DevicePath())) << holder.LastOpenError();
    const struct {
        const char* name;
        const char* device; // behind a free number; nullptr: the harness's busy port
        PortOpenFailure failure;
        const char* reason;
    } cases[] = {
        {"absent", "/nonexistent/tty-zorvex", PortOpenFailure::Absent,
         "Нет такого устройства — адаптер не подключён?"},
        {"in use", nullptr, PortOpenFailure::InUse, "Порт занят другой программой."},
        {"no device behind the number", "", PortOpenFailure::NoDevice, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int number = c.device ? FreeComPortNumber() : h.port;
        ASSERT_NE(number, 0);
        if (c.device && *c.device) {
            ASSERT_TRUE(SetComPortOverride(number, c.device));
        }
        h.driver->port_number = number;
        EXPECT_EQ(h.Run(MODE_READ), OperationOutcome::PortNotOpened);
        const std::string n = std::to_string(number);
        const std::string reason =
            c.reason ? c.reason : "Номеру COM" + n + " не соответствует ни одно устройство.";
        EXPECT_EQ(h.log.lines, (Lines{"Не удалось открыть порт COM" + n + " !!!", reason,
                                      "Процесс остановлен!!!"}));
        EXPECT_FALSE(h.driver->OpenError().empty());
        EXPECT_EQ(h.driver->OpenFailure().failure, c.failure);
        if (c.device)
            SetComPortOverride(number, "");
    }
    EXPECT_EQ(h.radio.Stats().requests, 0u);
}

// ---- Identification

TEST(OperationDriverIdentify, ReportsRadioAndCountsTheProgramming) {
    RadioIdentity id;
    id.programmingCount = 41;
    DriverHarness h(id);
    h.log.lines.push_back("left over from the last operation");
    EXPECT_EQ(h.Run(MODE_IDENTIFY), OperationOutcome::Succeeded)
        << ::testing::PrintToString(h.log.lines);
    EXPECT_EQ(h.log.lines,
              (Lines{PortOpened(h.port), "Информация о станции получена.", PortClosed(h.port)}));
    EXPECT_TRUE(h.info.HasIdentity());
    EXPECT_TRUE(h.info.has_block2);
    EXPECT_EQ(h.settings.ProgramCount, 42);
    EXPECT_EQ(h.driver->percent, 100);
    EXPECT_EQ(h.driver->bar_color, 0xC0C000u);
    ASSERT_FALSE(h.percents.empty());
    EXPECT_EQ(h.percents.front(), 0);
    EXPECT_EQ(h.percents.back(), 100);
    EXPECT_TRUE(std::is_sorted(h.percents.begin(), h.percents.end()));
}

TEST(OperationDriverIdentify, DifferingRangesAndOtherProgrammerAreOnlyReported) {
    RadioIdentity id;
    ASSERT_TRUE(id.SetRange(1, 33000000, 40000000));
    id.programmerId = "QQ123";
    DriverHarness h(id);
    EXPECT_EQ(h.Run(MODE_IDENTIFY), OperationOutcome::Succeeded)
        << ::testing::PrintToString(h.log.lines);
    EXPECT_EQ(h.log.lines,
              (Lines{PortOpened(h.port), "Информация о станции получена.", "",
                     "Диапазон частот в станции и файле не совпадают!!!", "", "",
                     std::string(OTHER_PROGRAMMER) + " [QQ123]", "", PortClosed(h.port)}));
}

TEST(OperationDriverIdentify, ErrorReplyEndsWithItsMessage) {
    struct Case {
        int radioCode;
        const char* message;
    };
    for (const Case& c : {Case{3, "Ошибка данных!!!"}, Case{1, "Ошибка контрольной суммы !!!"},
                          Case{9, "Ошибка !!!"}}) {
        DriverHarness h;
        RadioFaults faults;
        faults.only = RadioFaults::Only::Info;
        faults.errorReplies = 1;
        faults.errorCode = c.radioCode;
        h.radio.SetFaults(faults);
        EXPECT_EQ(h.Run(MODE_READ), OperationOutcome::LinkError);
        EXPECT_EQ(h.log.lines, (Lines{PortOpened(h.port), c.message, PortClosed(h.port)}));
        EXPECT_FALSE(h.info.has_block0);
        EXPECT_EQ(h.radio.Stats().readRequests, 0u);
    }
}

// Replies that never decode (a cable picking up noise, another device on the port) end as
// "no reply", and the log says that data did arrive.
TEST(OperationDriverIdentify, DataWithoutAValidReplyIsToldAfterTheNoReplyLine) {
    DriverHarness h;
    RadioFaults f;
    f.corruptFcs = 1000;
    h.radio.SetFaults(f);
    EXPECT_EQ(h.Run(MODE_IDENTIFY), OperationOutcome::LinkError);
    EXPECT_EQ(h.driver->LinkError(), 24);
    EXPECT_TRUE(h.driver->DataWithoutReply());
    const auto at = std::find(h.log.lines.begin(), h.log.lines.end(),
                              "Ошибка Ответ не получен за отведенное время!!!");
    ASSERT_NE(at, h.log.lines.end());
    ASSERT_NE(at + 1, h.log.lines.end());
    EXPECT_EQ(at[1], "Получены данные без правильного ответа (к порту подключено другое "
                     "устройство?)");

    f.corruptFcs = 0;
    f.dead = true; // silence: nothing arrived, nothing more to say
    h.radio.SetFaults(f);
    EXPECT_EQ(h.Run(MODE_IDENTIFY), OperationOutcome::LinkError);
    EXPECT_FALSE(h.driver->DataWithoutReply());
    EXPECT_FALSE(Contains(h.log.lines, "Получены данные без правильного ответа (к порту "
                                       "подключено другое устройство?)"));
}

TEST(OperationDriverIdentify, BlockZeroThatArrivedBeforeAnErrorIsStillDecoded) {
    RadioIdentity id;
    id.programmerId = "QQ123";
    DriverHarness h(id);
    RadioFaults faults;
    faults.only = RadioFaults::Only::Info;
    faults.skipReplies = 1; // block 0 arrives, block 1 is refused
    faults.errorReplies = 1;
    faults.errorCode = 2;
    h.radio.SetFaults(faults);
    EXPECT_EQ(h.Run(MODE_WRITE), OperationOutcome::LinkError);
    EXPECT_EQ(h.driver->LinkError(), 26);
    EXPECT_EQ(h.log.lines,
              (Lines{PortOpened(h.port), "", std::string(OTHER_PROGRAMMER) + " [QQ123]", "",
                     "Ошибка не доступно!!!", PortClosed(h.port)}));
    EXPECT_TRUE(h.info.has_block0);
    EXPECT_FALSE(h.info.has_block1);
    EXPECT_EQ(h.radio.Stats().writeRequests, 0u);
}

TEST(OperationDriverIdentify, ErrorBeforeBlockZeroNamesNoProgrammerOfAnEarlierRadio) {
    RadioIdentity id;
    id.programmerId = "QQ123";
    DriverHarness h(id);
    ASSERT_EQ(h.Run(MODE_IDENTIFY), OperationOutcome::Succeeded);
    ASSERT_EQ(Cp1251ToUtf8(h.info.programmer_id), "QQ123");

    RadioFaults faults;
    faults.only = RadioFaults::Only::Info;
    faults.errorReplies = 1; // block 0 of the next identification is refused
    faults.errorCode = 3;
    h.radio.SetFaults(faults);
    EXPECT_EQ(h.Run(MODE_IDENTIFY), OperationOutcome::LinkError);
    EXPECT_EQ(h.log.lines, (Lines{PortOpened(h.port), "Ошибка данных!!!", PortClosed(h.port)}));
}

// A radio that names no programmer is never accepted: after a good identification the
// message shows empty brackets (read goes on, write is refused); after an error it is not
// logged at all.
TEST(OperationDriverIdentify, RadioNamingNoProgrammerIsNeverAccepted) {
    const std::string other = std::string(OTHER_PROGRAMMER) + " []";
    struct Case {
        const char* name;
        int32_t mode;
        bool errorAfterBlockZero;
        OperationOutcome outcome;
        std::vector<std::string> middle; // the lines between the port's opening and closing
    };
    const Case cases[] = {
        {"identify",
         MODE_IDENTIFY,
         false,
         OperationOutcome::Succeeded,
         {"Информация о станции получена.", "", other, ""}},
        {"read",
         MODE_READ,
         false,
         OperationOutcome::Succeeded,
         {"Информация о станции получена.", "", other, "", "Чтение ...",
          "Таблица каналов   0-99 прочитана (версия 2.0).",
          "Таблица каналов 100-199 прочитана (версия 2.0).",
          "Таблица настроек прочитана (версия 1.3)."}},
        {"write",
         MODE_WRITE,
         false,
         OperationOutcome::Refused,
         {"Информация о станции получена.", "", other, ""}},
        {"error after block 0", MODE_READ, true, OperationOutcome::LinkError, {"Ошибка данных!!!"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RadioIdentity id;
        id.programmerId = "";
        DriverHarness h(id);
        if (c.errorAfterBlockZero) {
            RadioFaults faults;
            faults.only = RadioFaults::Only::Info;
            faults.skipReplies = 1;
            faults.errorReplies = 1;
            faults.errorCode = 3;
            h.radio.SetFaults(faults);
        }
        EXPECT_EQ(h.Run(c.mode), c.outcome);
        Lines expected = {PortOpened(h.port)};
        expected.insert(expected.end(), c.middle.begin(), c.middle.end());
        expected.push_back(PortClosed(h.port));
        EXPECT_EQ(h.log.lines, expected);
        EXPECT_TRUE(h.info.has_block0);
        EXPECT_EQ(h.radio.Stats().writeRequests, 0u);
    }
}

// ---- Reading

TEST(OperationDriverRead, BothTablesAndSettings) {
    DriverHarness h(Identity(0x0200, 0x0200, 0x0103));
    EXPECT_EQ(h.Run(MODE_READ), OperationOutcome::Succeeded);
    EXPECT_EQ(h.log.lines, (Lines{PortOpened(h.port), "Информация о станции получена.",
                                  "Чтение ...", "Таблица каналов   0-99 прочитана (версия 2.0).",
                                  "Таблица каналов 100-199 прочитана (версия 2.0).",
                                  "Таблица настроек прочитана (версия 1.3).", PortClosed(h.port)}));
    EXPECT_EQ(h.driver->bar_color, 0x00C000u);
    EXPECT_EQ(h.driver->percent, 100);
    EXPECT_TRUE(h.driver->SecondTable());
    EXPECT_EQ(h.radio.Stats().readRequests, 9u); // 4 + 4 pieces of channels, 1 of settings
    const auto table3 = h.radio.Table(3);
    EXPECT_EQ(std::memcmp(h.driver->Buffer(BUFFER_CHANNELS_100_199), table3.data(), 2048), 0);
}

TEST(OperationDriverRead, RadioWithoutSecondTableReadsTwoTables) {
    DriverHarness h(Identity(0x0100, 0, 0x0101));
    for (auto& c : h.channels.channels) {
        c.freq_rx = 40000000; // slots 100-199 must not keep these: the radio has no table
    }
    EXPECT_EQ(h.Run(MODE_READ), OperationOutcome::Succeeded);
    EXPECT_EQ(h.log.lines, (Lines{PortOpened(h.port), "Информация о станции получена.",
                                  "Чтение ...", "Таблица каналов   0-99 прочитана (версия 1.0).",
                                  "В станции нет таблицы каналов 100-199, каналы 100-199 очищены.",
                                  "Таблица настроек прочитана (версия 1.1).", PortClosed(h.port)}));
    EXPECT_EQ(h.radio.Stats().readRequests, 5u);
    EXPECT_FALSE(h.driver->SecondTable());
    EXPECT_FALSE(h.channels.channels[0].IsUsed());
    EXPECT_FALSE(h.channels.channels[100].IsUsed());
    EXPECT_EQ(h.channels.channels[150].number, 50);
}

TEST(OperationDriverRead, ProgrammerNotAcceptedStillReads) {
    RadioIdentity id;
    id.programmerId = AlternativeProgrammerId();
    DriverHarness h(id);
    ASSERT_FALSE(AcceptSecondType);
    EXPECT_EQ(h.Run(MODE_READ), OperationOutcome::Succeeded);
    const Lines& l = h.log.lines;
    ASSERT_GE(l.size(), 6u);
    EXPECT_EQ(l[1], "Информация о станции получена.");
    EXPECT_EQ(l[2], "");
    EXPECT_EQ(l[3], std::string(OTHER_PROGRAMMER) + " [" + Cp1251ToUtf8(id.programmerId) + "]");
    EXPECT_EQ(l[4], "");
    EXPECT_EQ(l[5], "Чтение ...");
    EXPECT_TRUE(Contains(l, "Таблица настроек прочитана (версия 1.3)."));
    EXPECT_EQ(l.back(), PortClosed(h.port));
}

TEST(OperationDriverRead, BadTableIsReportedAndTheOthersAreStillParsed) {
    DriverHarness h;
    auto image = h.radio.Table(0);
    image[4] ^= 0x01; // checksum no longer matches
    h.radio.SetTable(0, image);
    h.channels.channels[5].freq_rx = 41000000;
    EXPECT_EQ(h.Run(MODE_READ), OperationOutcome::TableError);
    const Lines& l = h.log.lines;
    ASSERT_EQ(l.size(), 8u);
    EXPECT_EQ(l[3], "Ошибки в таблице каналов 0-99 !!!");
    EXPECT_EQ(l[4].rfind("Ошибка контрольной суммы!!! Рассчитано: ", 0), 0u) << l[4];
    EXPECT_EQ(l[5], "Таблица каналов 100-199 прочитана (версия 2.0).");
    EXPECT_EQ(l[6], "Таблица настроек прочитана (версия 1.3).");
    EXPECT_EQ(l[7], PortClosed(h.port));
    EXPECT_EQ(h.channels.channels[5].freq_rx, 41000000); // a failed parse leaves the channels
}

// Each table that fails to parse has its own lines; the tables around it are still parsed.
TEST(OperationDriverRead, SecondChannelTableOrSettingsThatFailAreReportedInTheirPlace) {
    struct Case {
        const char* name;
        int table; // the simulated radio's table number
        Lines reported;
    };
    const Case cases[] = {
        {"channels 100-199",
         3,
         {"Таблица каналов   0-99 прочитана (версия 2.0).", "Ошибки в таблице каналов 100-199 !!!",
          "(reason)", "Таблица настроек прочитана (версия 1.3)."}},
        {"settings",
         1,
         {"Таблица каналов   0-99 прочитана (версия 2.0).",
          "Таблица каналов 100-199 прочитана (версия 2.0).", "Ошибки в таблице настроек!!!"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DriverHarness h;
        auto image = h.radio.Table(c.table);
        image[4] ^= 0x01; // checksum no longer matches
        h.radio.SetTable(c.table, image);
        EXPECT_EQ(h.Run(MODE_READ), OperationOutcome::TableError);
        Lines expected = {PortOpened(h.port), "Информация о станции получена.", "Чтение ..."};
        expected.insert(expected.end(), c.reported.begin(), c.reported.end());
        expected.push_back(PortClosed(h.port));
        Lines got = h.log.lines;
        // The checksum reason names computed values; only its beginning is fixed.
        for (std::string& line : got) {
            if (line.rfind("Ошибка контрольной суммы!!! Рассчитано: ", 0) == 0) {
                line = "(reason)";
            }
        }
        EXPECT_EQ(got, expected);
    }
}

TEST(OperationDriverRead, LinkErrorDuringTheReadEndsIt) {
    DriverHarness h;
    RadioFaults faults;
    faults.only = RadioFaults::Only::Read;
    faults.dead = false;
    faults.dropReplies = 1000; // no read reply at all
    h.radio.SetFaults(faults);
    EXPECT_EQ(h.Run(MODE_READ), OperationOutcome::LinkError);
    EXPECT_EQ(h.driver->LinkError(), 24);
    const Lines& l = h.log.lines;
    ASSERT_GE(l.size(), 2u);
    EXPECT_EQ(l[l.size() - 2], "Ошибка Ответ не получен за отведенное время!!!");
    EXPECT_EQ(l.back(), PortClosed(h.port));
}

// ---- Writing

TEST(OperationDriverWrite, VersionsFollowTheRadio) {
    struct Case {
        uint16_t channels, channels2, settings;
        Lines built; // the lines naming the versions built
        std::vector<uint32_t> pieces;
    };
    const std::vector<uint32_t> table = {512, 512, 512, 476};
    auto concat = [](std::vector<uint32_t> a, const std::vector<uint32_t>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const Case cases[] = {
        {0x0200,
         0x0200,
         0x0103,
         {"Таблица каналов   0-99 сформирована (версия 2.0).",
          "Таблица каналов 100-199 сформирована (версия 2.0).",
          "Таблица настроек сформирована (версия 1.3)."},
         concat(concat(table, table), {48})},
        {0x0100,
         0,
         0x0101,
         {"Таблица каналов   0-99 сформирована (версия 1.0).",
          "Таблица настроек сформирована (версия 1.1)."},
         concat(table, {38})},
        {0x0200,
         0x0100,
         0x0102,
         {"Таблица каналов   0-99 сформирована (версия 2.0).",
          "Таблица каналов 100-199 сформирована (версия 1.0).",
          "Таблица настроек сформирована (версия 1.2)."},
         concat(concat(table, table), {46})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings);
        DriverHarness h(Identity(c.channels, c.channels2, c.settings));
        EXPECT_EQ(h.Run(MODE_WRITE), OperationOutcome::Succeeded);
        Lines expected = {PortOpened(h.port), "Информация о станции получена."};
        expected.insert(expected.end(), c.built.begin(), c.built.end());
        expected.insert(expected.end(), {"Запись ...", "Таблица каналов записана.",
                                         "Таблица настроек записана.", PortClosed(h.port)});
        EXPECT_EQ(h.log.lines, expected);
        EXPECT_EQ(h.radio.Stats().writeLengths, c.pieces);
        EXPECT_EQ(h.radio.Stats().tablesWritten, c.channels2 == 0 ? 2u : 3u);
        EXPECT_EQ(h.driver->bar_color, 0x0000C0u);
    }
}

TEST(OperationDriverWrite, ReportedSettingsVersionZeroIsWrittenAsOnePointZero) {
    DriverHarness h(Identity(0x0200, 0, 0));
    h.Run(MODE_WRITE);
    const Lines& l = h.log.lines;
    ASSERT_GE(l.size(), 5u);
    EXPECT_EQ(l[3], "Таблица настроек сформирована (версия 1.0).");
    EXPECT_EQ(l[4], "Запись ...");
    const std::vector<uint32_t> pieces = h.radio.Stats().writeLengths;
    ASSERT_GE(pieces.size(), 5u);
    EXPECT_EQ(pieces[4], 34u);
    EXPECT_EQ(h.settings.version, 0x0100);
}

TEST(OperationDriverWrite, DifferingRangesWriteNothing) {
    RadioIdentity id;
    ASSERT_TRUE(id.SetRange(1, 33000000, 40000000));
    DriverHarness h(id);
    EXPECT_EQ(h.Run(MODE_WRITE), OperationOutcome::Refused);
    EXPECT_EQ(h.log.lines, (Lines{PortOpened(h.port), "Информация о станции получена.", "",
                                  "Диапазон частот в станции и файле не совпадают!!!",
                                  "Запись прервана!!!", "", PortClosed(h.port)}));
    EXPECT_EQ(h.radio.Stats().writeRequests, 0u);
    EXPECT_FALSE(h.driver->TablesListed());
}

TEST(OperationDriverWrite, ProgrammerRefusedUnlessTheSecondTypeIsAccepted) {
    RadioIdentity id;
    id.programmerId = AlternativeProgrammerId();
    {
        DriverHarness h(id);
        EXPECT_EQ(h.Run(MODE_WRITE), OperationOutcome::Refused);
        EXPECT_EQ(h.radio.Stats().writeRequests, 0u);
        EXPECT_TRUE(Contains(h.log.lines, std::string(OTHER_PROGRAMMER) + " [" +
                                              Cp1251ToUtf8(id.programmerId) + "]"));
    }
    {
        DriverHarness h(id);
        AcceptSecondType = true;
        const OperationOutcome outcome = h.Run(MODE_WRITE);
        AcceptSecondType = false;
        EXPECT_EQ(outcome, OperationOutcome::Succeeded);
        EXPECT_EQ(h.radio.Stats().tablesWritten, 3u);
    }
}

// An image that cannot be built refuses the whole write before anything is sent.
TEST(OperationDriverWrite, ImageThatCannotBeBuiltRefusesTheWrite) {
    struct Case {
        const char* name;
        uint16_t channels, settings;
        std::function<void(DriverHarness&)> setup;
        std::string failedLine;
    };
    const Case cases[] = {
        {"frequency beyond a 1.0 record", 0x0100, 0x0103,
         [](DriverHarness& h) {
             h.channels.channels[7].freq_rx = 880000000;
             h.channels.channels[7].freq_tx = 880000000;
         },
         "Таблица каналов   0-99 не сформирована (версия 1.0) !!!"},
        {"password wider than 16 bits", 0x0200, 0x0101,
         [](DriverHarness& h) { h.settings.TxPowerPassword = 70000; },
         "Таблица настроек не сформирована (версия 1.1) !!!"},
        {"unknown settings version", 0x0200, 0x0104, [](DriverHarness&) {},
         "Таблица настроек не сформирована (версия 1.4) !!!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DriverHarness h(Identity(c.channels, 0x0200, 0x0103));
        RadioIdentity id = h.radio.Identity();
        id.settingsVersion = c.settings;
        h.radio.SetIdentity(id);
        c.setup(h);
        EXPECT_EQ(h.Run(MODE_WRITE), OperationOutcome::Refused);
        const Lines& l = h.log.lines;
        EXPECT_TRUE(Contains(l, c.failedLine));
        ASSERT_GE(l.size(), 3u);
        EXPECT_EQ(l[l.size() - 2], "Запись прервана!!!");
        EXPECT_EQ(l.back(), PortClosed(h.port));
        EXPECT_FALSE(Contains(l, "Запись ..."));
        EXPECT_EQ(h.radio.Stats().writeRequests, 0u);
        EXPECT_FALSE(h.driver->TablesListed());
        EXPECT_EQ(h.driver->state, STATE_DONE);
    }
}

// ---- Round trip

TEST(OperationDriverRoundTrip, WriteThenReadGivesTheSameConfiguration) {
    DriverHarness h;
    h.channels.channels[0] = TestChannel(33012500, 33012500, 1);
    h.channels.channels[57] = TestChannel(41912500, 40000000, 58);
    h.channels.channels[57].band_tx = false;
    h.channels.channels[57].subtone_tx = 60;
    h.channels.channels[120] = TestChannel(48500000, 0, 21);
    h.channels.channels[199] = TestChannel(0, 33000000, 99);
    h.settings.Volume = 7;
    h.settings.TxLimit = 180;
    h.settings.ScanPause = 300;
    h.settings.ID = 4242;
    h.settings.SpecChannel_2 = 150;
    h.settings.KeyLock = true;
    ASSERT_EQ(h.Run(MODE_WRITE), OperationOutcome::Succeeded);
    EXPECT_EQ(h.radio.Stats().tablesWritten, 3u);

    ChannelsContext readChannels;
    SettingsContext readSettings;
    TInfoContext readInfo;
    FreqRange set;
    set.SetDefault();
    readChannels.ranges.Select(readChannels.ranges.Add(set));
    OperationDriver reader(readChannels, readSettings, readInfo,
                           [&](std::function<void()> call) { h.queue.Post(std::move(call)); });
    reader.port_number = h.port;
    reader.Start(MODE_READ);
    for (int i = 0; i < 600 && !reader.Finished(); ++i) {
        h.queue.RunFor(100);
    }
    ASSERT_EQ(reader.Outcome(), OperationOutcome::Succeeded);
    for (int i = 0; i < CHANNEL_COUNT; ++i) {
        if (h.channels.channels[i].IsUsed()) {
            EXPECT_EQ(readChannels.channels[i], h.channels.channels[i]) << "channel " << i;
        } else {
            EXPECT_FALSE(readChannels.channels[i].IsUsed()) << "channel " << i;
        }
    }

    uint8_t written[2048], read[2048];
    ASSERT_TRUE(h.settings.BuildSettingsImage(written, 0x0103));
    ASSERT_TRUE(readSettings.BuildSettingsImage(read, 0x0103));
    // Offsets 12..15 carry the programming counter, which is never read back.
    EXPECT_EQ(std::memcmp(written + 16, read + 16, 48 - 16), 0);
    EXPECT_EQ(readSettings.ProgramCount, h.settings.ProgramCount + 1);
}

// ---- Closing

TEST(OperationDriverClose, ClosingMidReadStopsTheWorkerWithoutALogLine) {
    DriverHarness h(RadioIdentity(), Pacing::Line9600);
    ASSERT_TRUE(h.RunUntil(
        MODE_READ, [&] { return h.driver->state == STATE_READING && h.driver->percent > 5; }));

    // Hold the radio's next answer half-sent for a while, so that the operation is closed
    // in the middle of a reply rather than in the gap between two exchanges.
    RadioFaults slow;
    slow.splitParts = 2;
    slow.splitPauseMs = 700;
    h.radio.SetFaults(slow);
    const unsigned asked = h.radio.Stats().requests;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (h.radio.Stats().requests <= asked && std::chrono::steady_clock::now() < deadline) {
        h.queue.RunFor(5);
    }
    ASSERT_GT(h.radio.Stats().requests, asked);

    const Lines before = h.log.lines;
    h.driver->Close();
    EXPECT_EQ(h.driver->state, STATE_DONE);
    EXPECT_EQ(h.driver->Outcome(), OperationOutcome::Cancelled);
    h.Drain(); // notifications posted before the worker ended change nothing
    EXPECT_EQ(h.log.lines, before);
    EXPECT_EQ(before.back(), "Чтение ...");
    const unsigned requests = h.radio.Stats().requests;

    // The radio still answers the interrupted request; let that answer arrive, as it does
    // while a technician starts the next operation.
    const int fd = ::open(h.pty.DevicePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    pollfd p{fd, POLLIN, 0};
    EXPECT_EQ(::poll(&p, 1, 3000), 1);
    ::close(fd);
    h.radio.SetFaults(RadioFaults());

    // The port was closed: the next operation opens it again and talks to the radio, and
    // the stale answer waiting on the port is not taken for a reply.
    h.pty.SetPacing(Pacing::Instant);
    EXPECT_EQ(h.Run(MODE_IDENTIFY), OperationOutcome::Succeeded)
        << ::testing::PrintToString(h.log.lines);
    EXPECT_GT(h.radio.Stats().requests, requests);
    EXPECT_EQ(h.log.lines.front(), PortOpened(h.port));
}

TEST(OperationDriverClose, FinishedHookRunsOnceAndLateNotificationsDoNothing) {
    DriverHarness h;
    int finished = 0;
    h.driver->onFinished = [&] { ++finished; };
    EXPECT_EQ(h.Run(MODE_IDENTIFY), OperationOutcome::Succeeded)
        << ::testing::PrintToString(h.log.lines);
    h.driver->RunStateMachine();
    h.driver->Close();
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(h.log.lines.back(), PortClosed(h.port));
    EXPECT_EQ(h.driver->state, STATE_DONE);
}

} // namespace
