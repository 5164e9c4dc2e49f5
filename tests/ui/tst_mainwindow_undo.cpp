// Undo and redo of every kind of change to the configuration in hand, the unsaved-changes
// state they lead back to, and the grid's selection with its bulk edits, copy and paste.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolBar>
#include <QUndoStack>
#include <QtTest>
#include <memory>

#include "files/RangeListFile.h"
#include "model/Cp1251.h"
#include "support/ModalHelpers.h"
#include "ui/ChannelGrid.h"
#include "ui/FormChannel.h"
#include "ui/FormCom.h"
#include "ui/FormFreqRange.h"
#include "ui/MainWindow.h"
#include "ui/SettingsPages.h"

namespace {

struct Message {
    QMessageBox::Icon icon;
    QString text;
};

FreqRange Range(uint32_t begin, uint32_t end) {
    FreqRange set;
    set.AddRx(begin, end);
    set.AddTx(begin, end);
    return set;
}

void Use(Channel& channel, int32_t f) {
    channel.freq_rx = channel.freq_tx = f;
}

// The action of a menu reached through the texts of its submenus ("Порог ШП", "L5").
QAction* MenuAction(QMenu* menu, const QStringList& path) {
    QAction* found = nullptr;
    for (const QString& text : path) {
        found = nullptr;
        if (!menu)
            return nullptr;
        for (QAction* action : menu->actions()) {
            if (action->text() == text) {
                found = action;
                break;
            }
        }
        if (!found)
            return nullptr;
        menu = found->menu();
    }
    return found;
}

} // namespace

class TestMainWindowUndo : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::vector<Message> messages_;
    std::optional<int> number_; // what the number input answers

    std::unique_ptr<TForm1> MakeWindow() {
        RangeListLocation location;
        location.readFrom = location.writeTo = (dir_->path() + "/Zorvex_config.xml").toStdString();
        auto w = std::make_unique<TForm1>(location);
        w->FormComPort->SetPortSource([] { return std::vector<SystemPort>{{"COM3", ""}}; });
        w->messageBoxHook = [this](QMessageBox::Icon icon, const QString&, const QString& text) {
            messages_.push_back({icon, text});
        };
        w->unsavedChangesHook = [] { return TForm1::UnsavedChoice::Discard; };
        w->questionHook = [](const QString&) { return true; };
        w->numberInputHook = [this](const QString&) { return number_; };
        w->show();
        return w;
    }

    // A configuration with used slots 0..3 (41 MHz upwards) and a narrower second range
    // set, opened from a file so that it counts as kept.
    std::unique_ptr<TForm1> MakeKeptWindow() {
        auto w = MakeWindow();
        w->channels.ranges.Add(Range(40000000, 41500000));
        for (int slot = 0; slot < 4; ++slot)
            Use(w->channels.channels[static_cast<std::size_t>(slot)], 41000000 + slot * 500000);
        const QString path = dir_->path() + "/kept.xml";
        w->fileDialogHook = [path](const TForm1::FileDialogRequest&) { return path; };
        w->FileSaveAs1->trigger();
        w->FileOpen1->trigger();
        return w;
    }

    static void RightClick(ChannelGrid* grid, int column, int row) {
        QTest::mousePress(grid->viewport(), Qt::RightButton, Qt::NoModifier,
                          grid->cellRect(column, row).center());
    }
    static void Click(ChannelGrid* grid, int row, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, mods, grid->cellRect(0, row).center());
    }

private slots:
    void initTestCase() { IsolateUserConfig(); }
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        messages_.clear();
        number_.reset();
        QSettings(QStringLiteral("Zorvex_Prog"), QStringLiteral("Settings")).clear();
    }

    void editMenuShortcutsAndToolBar() {
        auto w = MakeWindow();
        QStringList top;
        for (QAction* a : w->MainMenu->actions())
            top << a->text();
        QCOMPARE(top, (QStringList{"Файл", "Правка", "Радиостанция", "Установки", "О программе"}));
        QCOMPARE(w->MainMenu->actions().at(1)->menu()->actions(),
                 (QList<QAction*>{w->EditUndo, w->EditRedo}));
        QCOMPARE(w->EditUndo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(w->EditRedo->shortcuts(),
                 (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Y),
                                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));
        const QList<QAction*> tools = w->ToolBar->actions();
        QCOMPARE(tools.mid(tools.size() - 2), (QList<QAction*>{w->EditUndo, w->EditRedo}));
        QVERIFY(!w->EditUndo->icon().isNull() && !w->EditRedo->icon().isNull());
        QVERIFY(!w->EditUndo->isEnabled() && !w->EditRedo->isEnabled());
        // The shortcuts of the window's other actions stay theirs.
        for (QAction* a : w->actions()) {
            if (a == w->EditUndo || a == w->EditRedo)
                continue;
            for (const QKeySequence& key : w->EditUndo->shortcuts() + w->EditRedo->shortcuts())
                QVERIFY2(!a->shortcuts().contains(key), qPrintable(a->objectName()));
        }
    }

    // Each kind of change is one step: undo brings back the configuration before it (and
    // with it "nothing unsaved"), redo the one after it.
    void everyKindOfChangeIsOneStep_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("undoText");
        QTest::newRow("editor OK") << "editor"
                                   << "Отменить изменение канала 1";
        QTest::newRow("editor copy to another slot") << "copy"
                                                     << "Отменить изменение каналов 1, 9";
        QTest::newRow("editor erase") << "erase"
                                      << "Отменить изменение канала 1";
        QTest::newRow("grid toggle") << "toggle"
                                     << "Отменить переключение флага канала 2";
        QTest::newRow("range change with removed channels")
            << "range"
            << "Отменить смена диапазона (удалено каналов: 2)";
        QTest::newRow("settings check box") << "setting"
                                            << "Отменить изменение настроек";
        QTest::newRow("settings typed value") << "typed"
                                              << "Отменить изменение настроек";
        QTest::newRow("bulk edit") << "bulk"
                                   << "Отменить Порог ШП: L5 (каналов: 2)";
        QTest::newRow("paste") << "paste"
                               << "Отменить вставка каналов 10–11";
        QTest::newRow("channels replaced") << "replace"
                                           << "Отменить импорт каналов";
    }
    void everyKindOfChangeIsOneStep() {
        QFETCH(QString, kind);
        QFETCH(QString, undoText);
        auto w = MakeKeptWindow();
        QVERIFY(!w->HasUnsavedChanges());
        QCOMPARE(w->UndoStack->count(), 0);
        const ConfigSnapshot before =
            ConfigSnapshot::Of(w->channels, w->settings, w->FormChan->Captions());
        ChannelGrid* grid = w->DrawGridChannels;

        if (kind == "editor" || kind == "copy" || kind == "erase") {
            grid->setCurrentRow(2); // slot 1
            OnNextModal([&](QWidget* modal) {
                auto* dlg = qobject_cast<TFormChan*>(modal);
                if (kind == "editor") {
                    dlg->findChild<QCheckBox*>("CheckBoxScan")->click();
                } else if (kind == "copy") {
                    dlg->findChild<QCheckBox*>("CheckBoxScan")->click();
                    auto* save = dlg->findChild<QLineEdit*>("EditChannelSave");
                    save->setText(QStringLiteral("9"));
                    dlg->findChild<QPushButton*>("ButtonSave")->click();
                } else {
                    dlg->findChild<QPushButton*>("ButtonErase")->click();
                }
                dlg->findChild<QPushButton*>("ButtonOk")->click();
            });
            w->ActionEditChannel->trigger();
        } else if (kind == "toggle") {
            RightClick(grid, 9, 3); // "scan" of slot 2
        } else if (kind == "range") {
            OnNextModal([](QWidget* modal) {
                auto* dialog = qobject_cast<TFormFreqRange*>(modal);
                dialog->ComboBoxRanges->setCurrentIndex(1);
                dialog->ButtonOk->click();
            });
            w->ActionSelectFreqRange->trigger();
        } else if (kind == "setting") {
            w->findChild<QCheckBox*>("CheckBoxSquelchOn")->click();
        } else if (kind == "typed") {
            auto* edit = w->findChild<QLineEdit*>("EditTxLimit");
            QVERIFY(edit);
            w->PageControl->setCurrentWidget(w->TabSheetSettings);
            edit->setFocus();
            edit->selectAll();
            QTest::keyClicks(edit, "120"); // three edits, one step
        } else if (kind == "bulk") {
            Click(grid, 1);
            Click(grid, 2, Qt::ShiftModifier);
            MenuAction(w->GridMenu(), {"Порог ШП", "L5"})->trigger();
        } else if (kind == "paste") {
            Click(grid, 1);
            Click(grid, 2, Qt::ShiftModifier);
            MenuAction(w->GridMenu(), {"Копировать каналы"})->trigger();
            Click(grid, 11);
            MenuAction(w->GridMenu(), {"Вставить каналы"})->trigger();
        } else if (kind == "replace") {
            std::array<Channel, CHANNEL_COUNT> imported{};
            Use(imported[100], 40500000);
            w->ReplaceChannels(imported, QStringLiteral("импорт каналов"));
        }
        QCoreApplication::processEvents(); // settings edits are looked at once stored

        const ConfigSnapshot after =
            ConfigSnapshot::Of(w->channels, w->settings, w->FormChan->Captions());
        QVERIFY(!(after == before));
        QVERIFY(w->HasUnsavedChanges());
        QCOMPARE(w->UndoStack->count(), 1);
        QCOMPARE(w->EditUndo->text(), undoText);
        QVERIFY(w->EditUndo->isEnabled());

        w->EditUndo->trigger();
        QVERIFY(ConfigSnapshot::Of(w->channels, w->settings, w->FormChan->Captions()) == before);
        QVERIFY(!w->HasUnsavedChanges()); // back where the file is
        QCOMPARE(w->EditRedo->text(), QString(undoText).replace("Отменить", "Повторить"));
        if (kind == "range")
            QCOMPARE(w->channels.ranges.currentIndex(), 0);

        // The shortcuts, once the main window is active again after a dialog.
        QApplication::setActiveWindow(w.get());
        w->DrawGridChannels->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w.get(), Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(ConfigSnapshot::Of(w->channels, w->settings, w->FormChan->Captions()) == after);
        QVERIFY(w->HasUnsavedChanges());
        QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!w->HasUnsavedChanges());
        QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(ConfigSnapshot::Of(w->channels, w->settings, w->FormChan->Captions()) == after);
    }

    // Opening a file, "Создать" and a save start from where they are; steps before them cannot
    // be undone into the new configuration.
    void openAndCreateStartAFreshHistory() {
        auto w = MakeKeptWindow();
        RightClick(w->DrawGridChannels, 9, 1);
        QCOMPARE(w->UndoStack->count(), 1);
        w->FileOpen1->trigger(); // the same file again
        QCOMPARE(w->UndoStack->count(), 0);
        QVERIFY(!w->EditUndo->isEnabled());
        RightClick(w->DrawGridChannels, 9, 1);
        QCOMPARE(w->UndoStack->count(), 1);
        w->FileCreate->trigger();
        QCOMPARE(w->UndoStack->count(), 0);
        QVERIFY(!w->channels.channels[0].IsUsed());
    }

    // Saving makes the saved state the one without unsaved changes: undo past it leaves
    // changes unsaved again.
    void unsavedStateFollowsTheSavedStateThroughUndo() {
        auto w = MakeKeptWindow();
        RightClick(w->DrawGridChannels, 9, 1);
        RightClick(w->DrawGridChannels, 10, 1);
        QCOMPARE(w->UndoStack->count(), 2);
        w->FileSaveAs1->trigger();
        QVERIFY(!w->HasUnsavedChanges());
        w->EditUndo->trigger();
        QVERIFY(w->HasUnsavedChanges());
        w->EditRedo->trigger();
        QVERIFY(!w->HasUnsavedChanges());
    }

    void selectionByClicksAndKeys() {
        auto w = MakeWindow();
        ChannelGrid* grid = w->DrawGridChannels;
        QCOMPARE(grid->selectedSlots(), std::vector<int>{0});
        Click(grid, 3);
        Click(grid, 6, Qt::ShiftModifier);
        QCOMPARE(grid->selectedSlots(), (std::vector<int>{2, 3, 4, 5}));
        Click(grid, 9, Qt::ControlModifier);
        Click(grid, 4, Qt::ControlModifier); // off again
        QCOMPARE(grid->selectedSlots(), (std::vector<int>{2, 4, 5, 8}));
        QVERIFY(!grid->isRowSelected(4)); // current, but taken out of the selection

        // A current row taken out with Ctrl stays out when one other row is left selected.
        // (No row is clicked twice running: that would be a double click.)
        Click(grid, 3);
        Click(grid, 1, Qt::ControlModifier);
        Click(grid, 7, Qt::ControlModifier);
        Click(grid, 3, Qt::ControlModifier);
        Click(grid, 1, Qt::ControlModifier);
        QCOMPARE(grid->selectedSlots(), std::vector<int>{6});
        Click(grid, 5, Qt::ControlModifier);
        QCOMPARE(grid->selectedSlots(), (std::vector<int>{4, 6}));
        Click(grid, 10);
        QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(grid->selectedSlots(), (std::vector<int>{9, 10, 11}));
        QTest::keyClick(grid, Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(grid->selectedSlots(), (std::vector<int>{9, 10}));
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(grid->selectedSlots(), std::vector<int>{11});
        QVERIFY(grid->isRowSelected(12) && !grid->isRowSelected(11));

        // The slot-index column's right button opens the menu and keeps the selection; the
        // right button elsewhere still toggles a cell of the row under it.
        QSignalSpy menus(grid, &ChannelGrid::contextMenuRequested);
        grid->setCurrentRow(1);
        Click(grid, 1);
        Click(grid, 3, Qt::ShiftModifier);
        RightClick(grid, 0, 2);
        QCOMPARE(menus.count(), 1);
        QCOMPARE(grid->selectedSlots(), (std::vector<int>{0, 1, 2}));
        RightClick(grid, 0, 20); // outside the selection: that row alone
        QCOMPARE(grid->selectedSlots(), std::vector<int>{19});
        QTest::keyClick(grid, Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(menus.count(), 3);
    }

    // A bulk edit sets the field of the selected used slots only, as one step; a value the
    // slots cannot take is refused for them with a message naming them.
    void bulkEditsOfTheSelectedSlots() {
        auto w = MakeKeptWindow();
        ChannelGrid* grid = w->DrawGridChannels;
        Click(grid, 2);
        Click(grid, 6, Qt::ShiftModifier); // slots 1..5: 1..3 used, 4 and 5 empty
        MenuAction(w->GridMenu(), {"Дополнительные функции", "Ф3", "Да"})->trigger();
        for (int slot : {1, 2, 3})
            QVERIFY(w->channels.channels[static_cast<std::size_t>(slot)].flag3);
        for (int slot : {0, 4, 5})
            QVERIFY(!w->channels.channels[static_cast<std::size_t>(slot)].flag3);
        QCOMPARE(w->UndoStack->count(), 1);
        QCOMPARE(w->EditUndo->text(), QStringLiteral("Отменить Ф3: да (каналов: 3)"));
        QVERIFY(messages_.empty());

        MenuAction(w->GridMenu(), {"Мощность мин.", "20 Вт"})->trigger(); // level 2
        MenuAction(w->GridMenu(), {"Мощность макс.", "5 Вт"})->trigger(); // level 0
        QCOMPARE(w->channels.channels[2].tx_power_high, 0);
        QCOMPARE(w->channels.channels[2].tx_power_low, 0); // low never above high
        QCOMPARE(w->UndoStack->count(), 3);

        // 5000 Hz is no call tone: refused for every used slot, named in one line.
        number_ = 5000;
        MenuAction(w->GridMenu(), {"Вызывной тон передачи", "Задать…"})->trigger();
        QCOMPARE(messages_.size(), size_t(1));
        QCOMPARE(messages_[0].icon, QMessageBox::Warning);
        QVERIFY2(messages_[0].text.endsWith(
                     QStringLiteral("Каналы 1, 2, 3: вызывной тон передачи вне 400..3000 Гц.")),
                 qPrintable(messages_[0].text));
        QCOMPARE(w->channels.channels[1].tone_tx, 0);
        QCOMPARE(w->UndoStack->count(), 3); // nothing changed, no step

        number_ = 1750;
        MenuAction(w->GridMenu(), {"Вызывной тон передачи", "Задать…"})->trigger();
        QCOMPARE(w->channels.channels[3].tone_tx, 1750);
        QCOMPARE(w->UndoStack->count(), 4);
        for (int step = 0; step < 4; ++step)
            w->EditUndo->trigger();
        QVERIFY(!w->HasUnsavedChanges());
    }
};

QTEST_MAIN(TestMainWindowUndo)
#include "tst_mainwindow_undo.moc"
