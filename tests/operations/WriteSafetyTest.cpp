// Backup before a write, verify after it, restore, dry run, and what a failed write says.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include "files/AtomicFile.h"
#include "files/BackupStore.h"
#include "files/ConfigFile.h"
#include "files/ImageFolder.h"
#include "operations/DriverHarness.h"

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

bool Contains(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool ContainsPrefix(const Lines& lines, const std::string& prefix) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
}

Channel MakeChannel(int32_t rx, int32_t tx, int32_t number) {
    Channel c;
    c.freq_rx = rx;
    c.freq_tx = tx;
    c.number = number;
    c.squelch = 2;
    return c;
}

// The radio's three tables as it holds them.
struct RadioImages {
    SimulatedRadio::Image channels0, channels3, settings;
};

RadioImages Snapshot(const SimulatedRadio& radio) {
    return {radio.Table(0), radio.Table(3), radio.Table(1)};
}

bool SameBytes(const SimulatedRadio::Image& a, const ImageBuffer& b) {
    return std::equal(a.begin(), a.end(), b.begin());
}

// A harness whose radio holds a first configuration (slots 3 and 120, volume 7), written
// the plain way; the model then holds a second one (slot 3 changed, slot 4 added, volume
// 5). Backup and verify are on.
struct WrittenRadio {
    explicit WrittenRadio(const RadioIdentity& id = RadioIdentity(),
                          Pacing pacing = Pacing::Instant)
        : h(id, pacing) {
        h.channels.channels[3] = MakeChannel(33012500, 33012500, 3);
        h.channels.channels[120] = MakeChannel(40000000, 40000000, 20);
        h.settings.Volume = 7;
        EXPECT_EQ(h.Run(MODE_WRITE), OperationOutcome::Succeeded);
        before = Snapshot(h.radio);
        h.channels.channels[3].freq_rx = 33025000;
        h.channels.channels[4] = MakeChannel(34000000, 34000000, 4);
        h.settings.Volume = 5;
        h.driver->safety.backup = true;
        h.driver->safety.verify = true;
        h.radio.ResetStats();
    }
    DriverHarness h;
    RadioImages before;
};

TEST(WriteBackup, HoldsTheRadiosPreviousImagesByteForByte) {
    WrittenRadio w;
    DriverHarness& h = w.h;
    ASSERT_EQ(h.Run(MODE_WRITE), OperationOutcome::Succeeded)
        << testing::PrintToString(h.log.lines);

    const fs::path folder = h.driver->BackupFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.parent_path(), fs::path(h.backupRoot) / "170001");
    const ImageSet stored = ReadImageFolder(folder);
    ASSERT_TRUE(stored.hasChannels100_199);
    EXPECT_TRUE(SameBytes(w.before.channels0, stored.channels0_99));
    EXPECT_TRUE(SameBytes(w.before.channels3, stored.channels100_199));
    EXPECT_TRUE(SameBytes(w.before.settings, stored.settings));
    EXPECT_NE(ReadFileBytes(folder / "info.txt").find("170001"), std::string::npos);

    // radio.xml is the configuration as read, not the one in hand.
    ChannelsContext read;
    SettingsContext readSettings;
    FlagCaptions captions;
    OpenConfigFile(folder / "radio.xml", read, readSettings, captions);
    EXPECT_EQ(read.channels[3].freq_rx, 33012500);
    EXPECT_FALSE(read.channels[4].IsUsed());
    EXPECT_EQ(read.channels[120].freq_rx, 40000000);
    EXPECT_EQ(readSettings.Volume, 7);

    const Lines& l = h.log.lines;
    EXPECT_TRUE(Contains(l, "Будет изменено каналов: 2, параметров настроек: 1"));
    EXPECT_TRUE(Contains(l, "Резервная копия сохранена: " + folder.string()));
    EXPECT_TRUE(Contains(l, "Проверка записи: станция содержит записанные таблицы."));
    // The backup is saved before the first write and the verify follows the last one.
    const auto at = [&](const std::string& line) {
        return std::find(l.begin(), l.end(), line) - l.begin();
    };
    EXPECT_LT(at("Резервная копия сохранена: " + folder.string()), at("Запись ..."));
    EXPECT_LT(at("Таблица настроек записана."), at("Проверка записи ..."));
    EXPECT_EQ(h.radio.Stats().tablesWritten, 3u);
    EXPECT_EQ(h.radio.Stats().readRequests, 18u); // 4 + 4 + 1 pieces, twice

    // The next backup of the same second gets a folder of its own.
    ASSERT_EQ(h.Run(MODE_WRITE), OperationOutcome::Succeeded);
    EXPECT_NE(h.driver->BackupFolder(), folder.string());
    EXPECT_EQ(ListBackups(h.backupRoot).size(), 2u);
    EXPECT_TRUE(Contains(h.log.lines, "Изменений нет: станция уже содержит эти таблицы."));
}

TEST(WriteBackup, RadioWithoutSerialOrSecondTable) {
    RadioIdentity id;
    id.serialNumber = 0xFFFFFFFFu;
    id.channels2Version = 0;
    WrittenRadio w(id);
    ASSERT_EQ(w.h.Run(MODE_WRITE), OperationOutcome::Succeeded);
    const fs::path folder = w.h.driver->BackupFolder();
    EXPECT_EQ(folder.parent_path().filename(), "no-serial");
    EXPECT_FALSE(fs::exists(folder / "channels-100-199.bin"));
    EXPECT_TRUE(fs::exists(folder / "channels-0-99.bin"));
}

// A backup that cannot be saved stops the write before any write request.
TEST(WriteBackup, BackupThatCannotBeSavedTouchesNothing) {
    WrittenRadio w;
    DriverHarness& h = w.h;
    fs::create_directories(h.backupRoot);
    const fs::path blocker = fs::path(h.backupRoot) / "file";
    WriteFileAtomically(blocker, "not a folder");
    h.driver->safety.backupRoot = (blocker / "backups").string();
    EXPECT_EQ(h.Run(MODE_WRITE), OperationOutcome::BackupFailed);
    EXPECT_EQ(h.radio.Stats().writeRequests, 0u);
    EXPECT_TRUE(ContainsPrefix(h.log.lines, "Не удалось сохранить резервную копию: "));
    EXPECT_EQ(h.log.lines[h.log.lines.size() - 2], "Станция не изменена.");
    EXPECT_FALSE(h.driver->RadioTouched());
}

// A full disk, as a file-size limit gives it: the images cannot be written in full. Runs
// in a child process (the limit would hold for the whole test program).
void WriteUnderFileSizeLimit() {
    ::signal(SIGXFSZ, SIG_IGN);
    WrittenRadio w;
    struct rlimit limit = {1000, 1000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const OperationOutcome outcome = w.h.Run(MODE_WRITE);
    const bool ok = outcome == OperationOutcome::BackupFailed &&
                    w.h.radio.Stats().writeRequests == 0 && ListBackups(w.h.backupRoot).empty() &&
                    Contains(w.h.log.lines, "Станция не изменена.");
    std::error_code ignored;
    fs::remove_all(w.h.backupRoot, ignored); // _exit skips the harness's own cleaning
    std::fflush(nullptr);
    ::_exit(ok ? 0 : 1);
}

TEST(WriteBackupDeathTest, FullDiskStopsTheWriteBeforeAnythingIsSent) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(WriteUnderFileSizeLimit(), testing::ExitedWithCode(0), "");
}

TEST(WriteBackup, ReadErrorDuringTheBackupStopsTheWrite) {
    WrittenRadio w;
    DriverHarness& h = w.h;
    RadioFaults faults;
    faults.only = RadioFaults::Only::Read;
    faults.errorReplies = 1;
    h.radio.SetFaults(faults);
    EXPECT_EQ(h.Run(MODE_WRITE), OperationOutcome::LinkError);
    EXPECT_EQ(h.radio.Stats().writeRequests, 0u);
    EXPECT_TRUE(Contains(h.log.lines, "Резервная копия не сделана: таблицы станции не прочитаны."));
    EXPECT_TRUE(Contains(h.log.lines, "Станция не изменена."));
    EXPECT_TRUE(h.driver->BackupFolder().empty());
}

TEST(WriteVerify, RadioThatStoresAnAlteredImageIsCaught) {
    WrittenRadio w;
    DriverHarness& h = w.h;
    RadioFaults faults;
    faults.alterWrites = 1; // the first table accepted: channels 0-99
    h.radio.SetFaults(faults);
    EXPECT_EQ(h.Run(MODE_WRITE), OperationOutcome::VerifyFailed);
    EXPECT_EQ(h.driver->VerifyTable(), 0);
    EXPECT_EQ(h.driver->VerifyOffset(), 16);
    const Lines& l = h.log.lines;
    EXPECT_TRUE(Contains(l, "Таблица каналов 0-99 в станции не совпадает с записанной (первое "
                            "отличие: байт 16) !!!"));
    EXPECT_TRUE(Contains(l, "Станция содержит не то, что было записано!!!"));
    EXPECT_TRUE(Contains(l, "Резервная копия: " + h.driver->BackupFolder()));
}

// The cable is pulled after n write pieces (4 + 4 + 1 of them): the log names the tables
// written completely, and the backup brings back exactly what the radio held.
TEST(WriteInterrupted, CablePulledAtSeveralMomentsLeavesARestorableRadio) {
    struct Case {
        int pieces;
        const char* tablesLine;
    };
    const Case cases[] = {
        {0, "Ни одна таблица не записана полностью; не записаны: таблица каналов 0-99, таблица "
            "каналов 100-199, таблица настроек."},
        {2, "Ни одна таблица не записана полностью; не записаны: таблица каналов 0-99, таблица "
            "каналов 100-199, таблица настроек."},
        {4, "Записаны полностью: таблица каналов 0-99; не записаны: таблица каналов 100-199, "
            "таблица настроек."},
        {8, "Записаны полностью: таблица каналов 0-99, таблица каналов 100-199; не записаны: "
            "таблица настроек."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pieces);
        WrittenRadio w;
        DriverHarness& h = w.h;
        RadioFaults faults;
        faults.dieAfterWrites = c.pieces;
        h.radio.SetFaults(faults);
        EXPECT_EQ(h.Run(MODE_WRITE), OperationOutcome::LinkError);
        const std::string folder = h.driver->BackupFolder();
        ASSERT_FALSE(folder.empty());
        const Lines& l = h.log.lines;
        EXPECT_TRUE(Contains(l, "Запись прервана!!!")) << testing::PrintToString(l);
        EXPECT_TRUE(Contains(l, c.tablesLine)) << testing::PrintToString(l);
        EXPECT_TRUE(Contains(
            l, "Станция может содержать частично записанные таблицы. Резервная копия: " + folder));
        EXPECT_TRUE(h.driver->RadioTouched());

        // The cable is back: restore the backup.
        h.radio.SetFaults(RadioFaults());
        h.driver->safety.backupRoot = h.backupRoot + "-after";
        h.driver->SetRestoreImages(ReadImageFolder(folder), 170001, false);
        ASSERT_EQ(h.Run(MODE_RESTORE), OperationOutcome::Succeeded)
            << testing::PrintToString(h.log.lines);
        const RadioImages after = Snapshot(h.radio);
        EXPECT_EQ(after.channels0, w.before.channels0);
        EXPECT_EQ(after.channels3, w.before.channels3);
        EXPECT_EQ(after.settings, w.before.settings);
        // The model shows what the radio now holds.
        EXPECT_EQ(h.channels.channels[3].freq_rx, 33012500);
        EXPECT_FALSE(h.channels.channels[4].IsUsed());
        EXPECT_EQ(h.settings.Volume, 7);
        fs::remove_all(h.backupRoot + "-after");
    }
}

TEST(WriteInterrupted, ClosingTheWindowDuringTheWriteSaysWhatTheRadioHolds) {
    WrittenRadio w(RadioIdentity(), Pacing::Line9600);
    DriverHarness& h = w.h;
    h.driver->safety.verify = false;
    ASSERT_TRUE(h.RunUntil(MODE_WRITE, [&] { return h.radio.Stats().writeRequests >= 5; }));
    h.driver->Close();
    h.Drain();
    EXPECT_EQ(h.driver->Outcome(), OperationOutcome::Cancelled);
    const Lines& l = h.log.lines;
    EXPECT_TRUE(Contains(l, "Запись прервана!!!"));
    EXPECT_TRUE(ContainsPrefix(l, "Записаны полностью: таблица каналов 0-99; не записаны: "));
    EXPECT_TRUE(ContainsPrefix(l, "Станция может содержать частично записанные таблицы. "
                                  "Резервная копия: "));
}

TEST(Restore, RefusesAnotherRadioOrOtherTables) {
    struct Case {
        const char* name;
        uint32_t backupSerial;
        bool force;
        bool dropSecondTable;
        OperationOutcome outcome;
        WriteRefusal refusal;
    };
    const Case cases[] = {
        {"same radio", 170001, false, false, OperationOutcome::Succeeded, WriteRefusal::None},
        {"other serial", 170002, false, false, OperationOutcome::Refused, WriteRefusal::Serial},
        {"other serial, forced", 170002, true, false, OperationOutcome::Succeeded,
         WriteRefusal::None},
        {"backup without table 100-199", 170001, true, true, OperationOutcome::Refused,
         WriteRefusal::Tables},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DriverHarness h;
        ImageSet images;
        std::copy_n(h.radio.Table(0).begin(), 2048, images.channels0_99.begin());
        std::copy_n(h.radio.Table(3).begin(), 2048, images.channels100_199.begin());
        std::copy_n(h.radio.Table(1).begin(), 2048, images.settings.begin());
        images.hasChannels100_199 = !c.dropSecondTable;
        h.driver->SetRestoreImages(images, c.backupSerial, c.force);
        EXPECT_EQ(h.Run(MODE_RESTORE), c.outcome) << testing::PrintToString(h.log.lines);
        EXPECT_EQ(h.driver->Refusal(), c.refusal);
        if (c.outcome == OperationOutcome::Refused) {
            EXPECT_EQ(h.radio.Stats().writeRequests, 0u);
            EXPECT_TRUE(Contains(h.log.lines, "Станция не изменена."));
        } else {
            EXPECT_EQ(h.radio.Stats().tablesWritten, 3u);
        }
    }
}

TEST(DryRun, NamesExactlyTheChangedSlotsAndFieldsAndWritesNothing) {
    WrittenRadio w;
    DriverHarness& h = w.h;
    h.driver->safety.dryRun = true;
    h.channels.channels[120].number = 21;
    EXPECT_EQ(h.Run(MODE_WRITE), OperationOutcome::Succeeded);
    EXPECT_EQ(h.radio.Stats().writeRequests, 0u);
    EXPECT_TRUE(h.driver->BackupFolder().empty());
    Lines lines;
    for (const ConfigDifference& d : h.driver->PlannedChanges().items) {
        lines.push_back(DifferenceLine(d));
    }
    EXPECT_EQ(lines, (Lines{"channel 3: freq_rx: 33012500 -> 33025000",
                            "channel 4: freq_rx: - -> 34000000",
                            "channel 4: freq_tx: - -> 34000000",
                            "channel 4: tx_power_low: - -> 0",
                            "channel 4: tx_power_high: - -> 3",
                            "channel 4: squelch: - -> 2",
                            "channel 4: scan: - -> 1",
                            "channel 4: band_rx: - -> 1",
                            "channel 4: band_tx: - -> 1",
                            "channel 4: scrambler: - -> 0",
                            "channel 4: tx_limit: - -> 0",
                            "channel 4: tx_busy: - -> 1",
                            "channel 4: active: - -> 1",
                            "channel 4: flag0: - -> 0",
                            "channel 4: flag1: - -> 0",
                            "channel 4: flag2: - -> 0",
                            "channel 4: flag3: - -> 0",
                            "channel 4: flag4: - -> 0",
                            "channel 4: flag5: - -> 0",
                            "channel 4: flag6: - -> 0",
                            "channel 4: flag7: - -> 0",
                            "channel 4: number: - -> 4",
                            "channel 120: number: 20 -> 21",
                            "setting Volume: 7 -> 5"}));
    EXPECT_TRUE(Contains(h.log.lines, "Пробный запуск: в станцию ничего не записано."));
}

// A radio without channel table 100-199: a read empties the slots, a write counts what it
// could not send.
TEST(SecondTableMissing, ReadEmptiesTheSlotsAndWriteCountsWhatItCannotSend) {
    DriverHarness h(RadioIdentity{});
    RadioIdentity id;
    id.channels2Version = 0;
    h.radio.SetIdentity(id);
    h.channels.channels[101] = MakeChannel(40000000, 40000000, 1);
    h.channels.channels[150] = MakeChannel(40000000, 40000000, 50);
    ASSERT_EQ(h.Run(MODE_WRITE), OperationOutcome::Succeeded);
    EXPECT_TRUE(Contains(
        h.log.lines, "Каналы 100-199 не записаны: в станции нет таблицы для них (каналов: 2)."));
    EXPECT_EQ(h.driver->UnwrittenChannels(), 2);

    ASSERT_EQ(h.Run(MODE_READ), OperationOutcome::Succeeded);
    EXPECT_TRUE(
        Contains(h.log.lines, "В станции нет таблицы каналов 100-199, каналы 100-199 очищены."));
    for (int i = 100; i < 200; ++i) {
        EXPECT_FALSE(h.channels.channels[i].IsUsed()) << i;
    }
}

} // namespace
