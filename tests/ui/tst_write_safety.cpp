#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "files/BackupStore.h"
#include "files/RangeListFile.h"
#include "support/ModalHelpers.h"
#include "support/SimulatedRadioPort.h"
#include "ui/FormCom.h"
#include "ui/FormProgress.h"
#include "ui/FormRestore.h"
#include "ui/MainWindow.h"

// The main window's backup and verify items, the restore dialog, and what a write leaves
// unsaved.
class TestWriteSafety : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    QStringList messages_;

    std::unique_ptr<TForm1> MakeWindow(int port) {
        RangeListLocation location;
        location.readFrom = location.writeTo = (dir_->path() + "/Zorvex_config.xml").toStdString();
        auto w = std::make_unique<TForm1>(location);
        w->FormComPort->SetPortSource([] { return std::vector<SystemPort>{}; });
        w->messageBoxHook = [this](QMessageBox::Icon, const QString&, const QString& text) {
            messages_.push_back(text);
        };
        w->unsavedChangesHook = [] { return TForm1::UnsavedChoice::Discard; };
        w->show();
        w->FormProgress->SetPortNumber(port);
        return w;
    }

    // Closes the next progress window once its operation has ended.
    static void CloseProgressWhenDone(TForm1& w) {
        OnNextModal(
            [&w](QWidget*) {
                (void)QTest::qWaitFor([&] { return w.FormProgress->driver.Finished(); }, 30000);
                w.FormProgress->reject();
            },
            40000);
    }

    static void Write(TForm1& w) {
        CloseProgressWhenDone(w);
        w.ActionWrite->trigger();
    }

    static QMenu* MenuNamed(TForm1& w, const QString& title) {
        for (QAction* a : w.MainMenu->actions()) {
            if (a->menu() != nullptr && a->text() == title)
                return a->menu();
        }
        return nullptr;
    }

private slots:
    void initTestCase() { IsolateUserConfig(); }
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        messages_.clear();
    }

    void settingsItemsAreOnByDefaultAndRemembered() {
        {
            auto w = MakeWindow(0);
            QMenu* setup = MenuNamed(*w, QStringLiteral("Установки"));
            QVERIFY(setup != nullptr);
            QVERIFY(setup->actions().contains(w->ActionBackupBeforeWrite));
            QVERIFY(setup->actions().contains(w->ActionVerifyAfterWrite));
            QCOMPARE(w->ActionBackupBeforeWrite->text(),
                     QStringLiteral("Резервная копия перед записью"));
            QCOMPARE(w->ActionVerifyAfterWrite->text(), QStringLiteral("Проверка после записи"));
            QVERIFY(w->ActionBackupBeforeWrite->isCheckable());
            QVERIFY(w->ActionBackupBeforeWrite->isChecked());
            QVERIFY(w->ActionVerifyAfterWrite->isChecked());
            QVERIFY(MenuNamed(*w, QStringLiteral("Радиостанция"))
                        ->actions()
                        .contains(w->ActionRestore));
            w->ActionVerifyAfterWrite->setChecked(false);
        }
        auto w = MakeWindow(0);
        QVERIFY(w->ActionBackupBeforeWrite->isChecked());
        QVERIFY(!w->ActionVerifyAfterWrite->isChecked());
        w->ActionVerifyAfterWrite->setChecked(true);
    }

    void writeKeepsABackupThatTheRestoreDialogWritesBack() {
        SimulatedRadioPort radio;
        QVERIFY2(radio.Start(), radio.Error().c_str());
        auto w = MakeWindow(radio.ComNumber());
        w->channels.channels[5].freq_rx = 33012500;
        w->channels.channels[5].freq_tx = 33012500;
        w->settings.Volume = 4;
        Write(*w); // backup of the empty radio, then the configuration
        QVERIFY(w->FormProgress->LogLines().contains(
            QStringLiteral("Проверка записи: станция содержит записанные таблицы.")));
        w->channels.channels[5].freq_rx = 40000000;
        w->settings.Volume = 9;
        Write(*w); // backup holding channel 5 at 33.0125 MHz
        QCOMPARE(ListBackups(DefaultBackupRoot(), 170001u).size(), size_t(2));

        int shown = 0;
        QString question;
        w->restoreDialogHook = [&](TFormRestore& dialog) {
            ++shown;
            if (dialog.TableBackups->rowCount() != 2 || !dialog.ButtonRestore->isEnabled())
                return int(QDialog::Rejected);
            dialog.TableBackups->selectRow(0); // the newest
            CloseProgressWhenDone(*w);
            return int(QDialog::Accepted);
        };
        w->questionHook = [&](const QString& text) {
            question = text;
            return true;
        };
        CloseProgressWhenDone(*w); // the identification
        w->ActionRestore->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!w->modalBusy && w->FormProgress->driver.Finished(), 40000);
        QCOMPARE(shown, 1);
        QVERIFY(question.startsWith(QStringLiteral("Записать в станцию резервную копию от ")));
        QCOMPARE(w->FormProgress->driver.Outcome(), OperationOutcome::Succeeded);
        QCOMPARE(w->FormProgress->driver.mode, int32_t(MODE_RESTORE));
        // The grid shows what the radio holds again.
        QCOMPARE(w->channels.channels[5].freq_rx, 33012500);
        QCOMPARE(w->settings.Volume, 4);
        QVERIFY(!w->HasUnsavedChanges());
    }

    void slotsARadioCannotHoldStayUnsaved() {
        SimulatedRadioPort::Options options;
        options.channels2Version = 0;
        SimulatedRadioPort radio(options);
        QVERIFY2(radio.Start(), radio.Error().c_str());
        auto w = MakeWindow(radio.ComNumber());
        w->channels.channels[101].freq_rx = 40000000;
        w->channels.channels[101].freq_tx = 40000000;
        Write(*w);
        QCOMPARE(w->FormProgress->driver.Outcome(), OperationOutcome::Succeeded);
        QVERIFY(w->FormProgress->LogLines().contains(QStringLiteral(
            "Каналы 100-199 не записаны: в станции нет таблицы для них (каналов: 1).")));
        QVERIFY(w->HasUnsavedChanges());
        w->channels.channels[101].Reset();
        w->channels.channels[101].number = 1;
        QVERIFY(!w->HasUnsavedChanges());
    }

    void closingTheWindowDuringTheWriteSaysWhatTheRadioHolds() {
        SimulatedRadioPort::Options options;
        options.lineSpeed = true;
        SimulatedRadioPort radio(options);
        QVERIFY2(radio.Start(), radio.Error().c_str());
        auto w = MakeWindow(radio.ComNumber());
        w->ActionVerifyAfterWrite->setChecked(false);
        OnNextModal(
            [&](QWidget*) {
                (void)QTest::qWaitFor([&] { return radio.TablesWritten() >= 1; }, 30000);
                w->FormProgress->reject();
            },
            40000);
        w->ActionWrite->trigger();
        w->ActionVerifyAfterWrite->setChecked(true);
        QCOMPARE(w->FormProgress->driver.Outcome(), OperationOutcome::Cancelled);
        QVERIFY(w->FormProgress->LogLines().contains(QStringLiteral("Запись прервана!!!")));
        QCOMPARE(messages_.size(), 1);
        QVERIFY(messages_[0].startsWith(QStringLiteral("Запись прервана. Станция может содержать "
                                                       "частично записанные таблицы.\nРезервная "
                                                       "копия: ")));
    }

    void restoreDialogListsTheBackups() {
        TFormRestore dialog;
        QVERIFY(!dialog.ButtonRestore->isEnabled());
        BackupEntry a, b;
        a.dateTime = "2026-12-11 10:00:00";
        a.programmingCount = 4;
        a.usedChannels = 12;
        b.dateTime = "2026-12-10 09:00:00";
        b.usedChannels = -1;
        dialog.SetBackups({a, b});
        QCOMPARE(dialog.TableBackups->rowCount(), 2);
        QCOMPARE(dialog.TableBackups->item(0, 0)->text(), QStringLiteral("2026-12-11 10:00:00"));
        QCOMPARE(dialog.TableBackups->item(0, 1)->text(), QStringLiteral("4"));
        QCOMPARE(dialog.TableBackups->item(1, 2)->text(), QStringLiteral("?"));
        QVERIFY(dialog.ButtonRestore->isEnabled());
        QCOMPARE(dialog.Chosen()->dateTime, a.dateTime);
        dialog.TableBackups->selectRow(1);
        QCOMPARE(dialog.Chosen()->dateTime, b.dateTime);
    }
};

QTEST_MAIN(TestWriteSafety)
#include "tst_write_safety.moc"
