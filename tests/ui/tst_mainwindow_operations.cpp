#include <QAction>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>
#include <memory>

#include "files/RangeListFile.h"
#include "model/Cp1251.h"
#include "model/FlagCaptions.h"
#include "support/ModalHelpers.h"
#include "support/SimulatedRadioPort.h"
#include "ui/FormChannel.h"
#include "ui/FormCom.h"
#include "ui/FormProgress.h"
#include "ui/MainWindow.h"

namespace {

struct Message {
    QMessageBox::Icon icon;
    QString text;
};

QString Utf8(const std::string& cp1251) {
    return QString::fromStdString(Cp1251ToUtf8(cp1251));
}

FlagCaptions Custom() {
    FlagCaptions captions = DefaultFlagCaptions();
    captions[0] = "Custom0";
    captions[7] = "Custom7";
    return captions;
}

} // namespace

// The main window around radio operations: what it refreshes and asks after the progress
// window closes.
class TestMainWindowOperations : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::vector<Message> messages_;
    // The question about unsaved changes: how often it was asked and what it is answered.
    int questions_ = 0;
    TForm1::UnsavedChoice answer_ = TForm1::UnsavedChoice::Discard;

    // A main window with a range list of its own (the default set only).
    std::unique_ptr<TForm1> MakeWindow(int port) {
        RangeListLocation location;
        location.readFrom = location.writeTo = (dir_->path() + "/Zorvex_config.xml").toStdString();
        auto w = std::make_unique<TForm1>(location);
        w->FormComPort->SetPortSource([] { return std::vector<SystemPort>{}; });
        w->messageBoxHook = [this](QMessageBox::Icon icon, const QString&, const QString& text) {
            messages_.push_back({icon, text});
        };
        w->unsavedChangesHook = [this] {
            ++questions_;
            return answer_;
        };
        w->show();
        w->FormProgress->SetPortNumber(port);
        messages_.clear();
        return w;
    }

    // Runs the action's operation to its end and closes the progress window.
    static bool Run(TForm1& w, QAction* action) {
        bool finished = false;
        bool busy = false;
        OnNextModal(
            [&](QWidget*) {
                busy = w.modalBusy;
                finished =
                    QTest::qWaitFor([&] { return w.FormProgress->driver.Finished(); }, 20000);
                w.FormProgress->reject();
            },
            30000);
        action->trigger();
        return finished && busy && !w.modalBusy;
    }

private slots:
    void initTestCase() { IsolateUserConfig(); }
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        messages_.clear();
        questions_ = 0;
        answer_ = TForm1::UnsavedChoice::Discard;
        AcceptSecondType = false;
    }

    void readTakesRadioRangeSetAndRefreshesPages() {
        SimulatedRadioPort::Options options;
        options.rangeBegin = 40000000;
        options.rangeEnd = 45000000;
        SimulatedRadioPort radio(options);
        QVERIFY2(radio.Start(), radio.Error().c_str());
        auto w = MakeWindow(radio.ComNumber());
        w->FormChan->SetCaptions(Custom());
        QCOMPARE(w->channels.ranges.Count(), 1);
        QVERIFY(Run(*w, w->ActionRead));

        QVERIFY(w->PageVisible(w->TabSheetInfo));
        QVERIFY(!w->MemoInfo->toPlainText().isEmpty());
        QVERIFY(!w->MemoInfo->toPlainText().contains('\r'));
        QVERIFY(w->ActionWrite->isEnabled());
        QVERIFY(w->PageVisible(w->TabSheetSettings2)); // settings table 1.3
        // The radio's set was new: appended, current, in the status bar.
        QCOMPARE(w->channels.ranges.Count(), 2);
        QCOMPARE(w->channels.ranges.currentIndex(), 1);
        QVERIFY(w->channels.ranges.Item(1).Equals(w->info.ranges));
        QVERIFY(w->channels.ranges.modified());
        QCOMPARE(w->StatusBar->PanelText(1), Utf8(w->info.ranges.Text()));
        // The flag names follow the radio.
        QCOMPARE(w->FormChan->Captions(), FlagCaptionsForOptions(w->info.options));
        QCOMPARE(w->painter.watts, (std::array<int32_t, 4>{1, 5, 10, 25}));
        QVERIFY(messages_.empty());
    }

    // A read replaces the configuration: its undo history starts afresh; a write keeps it.
    void readStartsAFreshUndoHistoryAWriteKeepsIt() {
        SimulatedRadioPort radio;
        QVERIFY2(radio.Start(), radio.Error().c_str());
        auto w = MakeWindow(radio.ComNumber());
        w->channels.channels[3].freq_rx = w->channels.channels[3].freq_tx = 41000000;
        w->RecordChange(QStringLiteral("изменение канала 3"));
        QVERIFY(Run(*w, w->ActionRead));
        QCOMPARE(w->UndoStack->count(), 0);
        w->channels.channels[3].freq_rx = w->channels.channels[3].freq_tx = 41000000;
        w->RecordChange(QStringLiteral("изменение канала 3"));
        QCOMPARE(w->UndoStack->count(), 1);
        QVERIFY(w->ActionWrite->isEnabled());
        QVERIFY(Run(*w, w->ActionWrite));
        QCOMPARE(w->UndoStack->count(), 1);
        QVERIFY(w->EditUndo->isEnabled());
        QVERIFY(Run(*w, w->ActionRead));
        QCOMPARE(w->UndoStack->count(), 0);
        QVERIFY(!w->EditUndo->isEnabled());
        QVERIFY(w->channels.channels[3].IsUsed()); // what the radio was written with
    }

    void failedReadKeepsFlagNamesAndRangeSet() {
        auto w = MakeWindow(0); // no port: nothing comes in
        w->FormChan->SetCaptions(Custom());
        // Left over from an earlier radio: must not be taken again.
        w->info.ranges.Clear();
        w->info.ranges.AddRx(40000000, 45000000);
        w->info.ranges.AddTx(40000000, 45000000);
        const QString status = w->StatusBar->PanelText(1);
        QVERIFY(Run(*w, w->ActionRead));
        QCOMPARE(w->FormChan->Captions(), Custom());
        QCOMPARE(w->channels.ranges.Count(), 1);
        QCOMPARE(w->StatusBar->PanelText(1), status);
        QVERIFY(!w->PageVisible(w->TabSheetInfo));
    }

    void identifyWarnsWhenRadioRangeDiffers_data() {
        QTest::addColumn<uint>("begin");
        QTest::addColumn<uint>("end");
        QTest::addColumn<bool>("warned");
        QTest::newRow("same set") << 0u << 0u << false;
        QTest::newRow("other set") << 40000000u << 45000000u << true;
    }
    void identifyWarnsWhenRadioRangeDiffers() {
        QFETCH(uint, begin);
        QFETCH(uint, end);
        QFETCH(bool, warned);
        SimulatedRadioPort::Options options;
        options.rangeBegin = begin;
        options.rangeEnd = end;
        SimulatedRadioPort radio(options);
        QVERIFY2(radio.Start(), radio.Error().c_str());
        auto w = MakeWindow(radio.ComNumber());
        QVERIFY(Run(*w, w->ActionGetInfo));
        QVERIFY(w->PageVisible(w->TabSheetInfo));
        QCOMPARE(messages_.size(), size_t(warned ? 1 : 0));
        if (warned) {
            QCOMPARE(messages_[0].icon, QMessageBox::Warning);
            QCOMPARE(messages_[0].text, QStringLiteral("Выбранный диапазон частот не совпадает с "
                                                       "диапазоном частот радиостанции"));
        }
        QCOMPARE(w->channels.ranges.Count(), 1); // identification does not change the list
    }

    void foreignProgrammerDisablesWrite() {
        SimulatedRadioPort::Options options;
        options.programmerId = "ABCDE";
        SimulatedRadioPort radio(options);
        QVERIFY2(radio.Start(), radio.Error().c_str());
        auto w = MakeWindow(radio.ComNumber());
        QVERIFY(Run(*w, w->ActionGetInfo));
        QVERIFY(!w->ActionWrite->isEnabled());
        QCOMPARE(messages_.size(), size_t(1));
        QCOMPARE(messages_[0].icon, QMessageBox::Critical);
        QCOMPARE(
            messages_[0].text,
            QStringLiteral("Для программирования станции необходим другой программатор [ABCDE]"));
        // "Создать" re-decides from the information held: still disabled.
        messages_.clear();
        w->FileCreate->trigger();
        QVERIFY(!w->ActionWrite->isEnabled());
    }

    // A read replaces the configuration in hand: unsaved edits are asked about first.
    void readAsksBeforeReplacingUnsavedChanges() {
        SimulatedRadioPort radio;
        QVERIFY2(radio.Start(), radio.Error().c_str());
        auto w = MakeWindow(radio.ComNumber());
        w->channels.channels[3].freq_rx = 41000000;
        w->channels.channels[3].freq_tx = 42000000;
        answer_ = TForm1::UnsavedChoice::Cancel;
        w->ActionRead->trigger(); // no progress window comes
        QCOMPARE(questions_, 1);
        QCOMPARE(radio.ReadRequests(), 0u);
        QVERIFY(w->channels.channels[3].IsUsed());

        answer_ = TForm1::UnsavedChoice::Discard;
        QVERIFY(Run(*w, w->ActionRead));
        QCOMPARE(questions_, 2);
        QVERIFY(!w->channels.channels[3].IsUsed()); // the radio's table is empty
        QVERIFY(!w->HasUnsavedChanges());           // and it is kept in the radio
    }

    void writeThenReadBackKeepsChannels() {
        SimulatedRadioPort radio;
        QVERIFY2(radio.Start(), radio.Error().c_str());
        auto w = MakeWindow(radio.ComNumber());
        w->channels.channels[3].freq_rx = 41000000;
        w->channels.channels[3].freq_tx = 42000000;
        w->channels.channels[120].freq_rx = 47000000;
        w->channels.channels[120].freq_tx = 47000000;
        QVERIFY(Run(*w, w->ActionWrite));
        QCOMPARE(radio.TablesWritten(), 3u);
        w->FileCreate->trigger();
        QCOMPARE(questions_, 0); // what was written is kept in the radio
        QVERIFY(!w->channels.channels[3].IsUsed());
        QVERIFY(Run(*w, w->ActionRead));
        QCOMPARE(w->channels.channels[3].freq_tx, 42000000);
        QCOMPARE(w->channels.channels[120].freq_rx, 47000000);
        QVERIFY(messages_.empty());
    }
};

QTEST_MAIN(TestMainWindowOperations)
#include "tst_mainwindow_operations.moc"
