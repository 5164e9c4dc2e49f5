#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QWheelEvent>
#include <QtTest>
#include <memory>

#include "files/ConfigFile.h"
#include "files/RangeListFile.h"
#include "model/Cp1251.h"
#include "model/FlagCaptions.h"
#include "support/ModalHelpers.h"
#include "ui/About.h"
#include "ui/ChannelGrid.h"
#include "ui/FormChannel.h"
#include "ui/FormCom.h"
#include "ui/FormFreqRange.h"
#include "ui/FormProgress.h"
#include "ui/MainWindow.h"
#include "ui/WaveNet.h"

namespace {

struct Message {
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

QString Utf8(const std::string& cp1251) {
    return QString::fromStdString(Cp1251ToUtf8(cp1251));
}

FreqRange Range(uint32_t begin, uint32_t end) {
    FreqRange set;
    set.AddRx(begin, end);
    set.AddTx(begin, end);
    return set;
}

void SetChannel(Channel& channel, int32_t rx, int32_t tx) {
    channel.freq_rx = rx;
    channel.freq_tx = tx;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_; // fresh for every test: its own range-list file
    std::vector<Message> messages_;
    // The question about unsaved changes: how often it was asked and what it is answered.
    int questions_ = 0;
    TForm1::UnsavedChoice answer_ = TForm1::UnsavedChoice::Discard;
    // Yes/no questions asked, and the answer they get.
    QStringList asked_;
    bool yes_ = true;

    // A main window with its range list in the temporary directory, the given system ports,
    // its message boxes recorded, shown as at start-up.
    std::unique_ptr<TForm1> MakeWindow(std::vector<SystemPort> ports = {{"COM3", "/dev/ttyS2"}}) {
        RangeListLocation location;
        location.readFrom = location.writeTo = (dir_->path() + "/Zorvex_config.xml").toStdString();
        auto w = std::make_unique<TForm1>(location);
        w->FormComPort->SetPortSource([ports] { return ports; });
        w->messageBoxHook = [this](QMessageBox::Icon icon, const QString& title,
                                   const QString& text) {
            messages_.push_back({icon, title, text});
        };
        w->unsavedChangesHook = [this] {
            ++questions_;
            return answer_;
        };
        w->questionHook = [this](const QString& text) {
            asked_ << text;
            return yes_;
        };
        w->show();
        messages_.clear();
        return w;
    }

private slots:
    void initTestCase() { IsolateUserConfig(); }
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        messages_.clear();
        questions_ = 0;
        answer_ = TForm1::UnsavedChoice::Discard;
        asked_.clear();
        yes_ = true;
        QSettings(QStringLiteral("Zorvex_Prog"), QStringLiteral("Settings")).clear();
        AcceptSecondType = false;
    }

    void actionCaptionsMenuTextsAndShortcuts_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("menuText");
        QTest::addColumn<QKeySequence>("shortcut");
        const auto row = [](const char* name, const char* caption, const char* menu,
                            QKeySequence key) {
            QTest::newRow(name) << QString::fromUtf8(name) << QString::fromUtf8(caption)
                                << QString::fromUtf8(menu) << key;
        };
        row("FileCreate", "Создать", "Создать", QKeySequence(Qt::CTRL | Qt::Key_N));
        row("FileOpen1", "Открыть", "Открыть", QKeySequence(Qt::CTRL | Qt::Key_O));
        row("FileSaveAs1", "Сохранить как", "Сохранить как ...",
            QKeySequence(Qt::CTRL | Qt::Key_S));
        row("FileSaveAs2", "Экспорт в Excel", "Экспорт в &Excel",
            QKeySequence(Qt::CTRL | Qt::Key_E));
        row("ActionGetInfo", "Информация", "Информация", QKeySequence(Qt::CTRL | Qt::Key_I));
        row("ActionRead", "Прочитать из радиостанции", "Прочитать",
            QKeySequence(Qt::CTRL | Qt::Key_R));
        row("ActionWrite", "Записать в радиостанцию", "Записать",
            QKeySequence(Qt::CTRL | Qt::Key_W));
        row("ActionComPort", "Выбрать COM порт", "Выбрать &COM порт",
            QKeySequence(Qt::CTRL | Qt::Key_C));
        row("ActionSelectFreqRange", "Выбрать диапазон частот", "Выбрать диапазон частот",
            QKeySequence(Qt::CTRL | Qt::Key_F));
        // Ctrl+N stays with "Создать": the hand-over has no shortcut.
        row("ActionWaveNet", "Программатор волновой сети", "Программатор волновой сети",
            QKeySequence());
        row("ActionAbout", "О программе", "О программе", QKeySequence(Qt::Key_F1));
        row("ActionSecondType", "", "", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_A));
        row("ActionEditChannel", "", "", QKeySequence());
    }
    void actionCaptionsMenuTextsAndShortcuts() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, menuText);
        QFETCH(QKeySequence, shortcut);
        auto w = MakeWindow();
        auto* action = w->findChild<QAction*>(name);
        QVERIFY(action);
        QCOMPARE(action->iconText(), caption);
        QCOMPARE(action->text(), menuText);
        QCOMPARE(action->shortcut(), shortcut);
        QVERIFY(action->isEnabled());
    }

    void menuBarAndToolBarOrder() {
        auto w = MakeWindow();
        QStringList top;
        for (QAction* a : w->MainMenu->actions())
            top << a->text();
        QCOMPARE(top, (QStringList{"Файл", "Правка", "Радиостанция", "Установки", "О программе"}));

        const auto menuOf = [&](int i) {
            QList<QAction*> items = w->MainMenu->actions().at(i)->menu()->actions();
            return items;
        };
        QCOMPARE(menuOf(0), (QList<QAction*>{w->FileCreate, w->FileOpen1, w->FileSaveAs1,
                                             w->FileSaveAs2, w->FileImportCsv, w->FileExportCsv}));
        QCOMPARE(menuOf(2), (QList<QAction*>{w->ActionGetInfo, w->ActionRead, w->ActionWrite,
                                             w->ActionRestore}));
        const QList<QAction*> setup = menuOf(3);
        QCOMPARE(setup.size(), 6);
        QCOMPARE(setup.mid(0, 3),
                 (QList<QAction*>{w->ActionComPort, w->ActionSelectFreqRange, w->ActionWaveNet}));
        QVERIFY(setup.at(3)->isSeparator());
        QCOMPARE(setup.mid(4),
                 (QList<QAction*>{w->ActionBackupBeforeWrite, w->ActionVerifyAfterWrite}));
        QCOMPARE(w->MainMenu->actions().at(4), w->ActionAbout);

        // "Правка" and its two tool-bar buttons come after the specified ones.
        const QList<QAction*> tools = w->ToolBar->actions();
        QCOMPARE(tools.size(), 10);
        QCOMPARE(tools.mid(0, 3), (QList<QAction*>{w->FileCreate, w->FileOpen1, w->FileSaveAs1}));
        QVERIFY(tools.at(3)->isSeparator());
        QCOMPARE(tools.mid(4, 3),
                 (QList<QAction*>{w->ActionGetInfo, w->ActionRead, w->ActionWrite}));
        QVERIFY(tools.at(7)->isSeparator());
        for (QAction* a : tools)
            QVERIFY(a->isSeparator() || !a->icon().isNull());
        QCOMPARE(w->ToolBar->toolButtonStyle(), Qt::ToolButtonIconOnly);
    }

    void startUpShowsChannelsAndStatus() {
        auto w = MakeWindow({{"COM10", "/dev/ttyUSB9"}, {"COM3", "/dev/ttyS2"}});
        QCOMPARE(w->windowTitle(),
                 QStringLiteral("Программатор каналов и настроек мобильных радиостанций"));
        QCOMPARE(w->PageControl->currentWidget(), w->TabSheetChannels);
        QVERIFY(w->PageVisible(w->TabSheetChannels));
        QVERIFY(w->PageVisible(w->TabSheetSettings));
        QVERIFY(!w->PageVisible(w->TabSheetSettings2));
        QVERIFY(!w->PageVisible(w->TabSheetInfo));
        QCOMPARE(w->PageControl->tabText(0), QStringLiteral("Каналы"));
        QCOMPARE(w->PageControl->tabText(3), QStringLiteral("Информация о радиостанции"));

        QCOMPARE(w->FormComPort->chosen_port, 3);
        QCOMPARE(w->FormProgress->port_number(), 3);
        QCOMPARE(w->StatusBar->PanelText(0), QStringLiteral("COM3"));
        // No list file: the default set is the only one and current.
        QCOMPARE(w->channels.ranges.Count(), 1);
        QCOMPARE(w->channels.ranges.currentIndex(), 0);
        QCOMPARE(w->StatusBar->PanelText(1), Utf8(w->channels.ranges.Item(0).Text()));
        QCOMPARE(w->StatusBar->PanelText(2), QString());
        QVERIFY(w->ActionSelectFreqRange->isEnabled() && w->ActionSelectFreqRange->isVisible());
    }

    void startUpLeavesWindowCaptionsAsSet() {
        // The platform appends a display name, once one is set, to the caption of every
        // window ("COM порт — Программатор радиостанции ..."): the captions must stay as the
        // windows set them, so the title names the program in its message boxes only.
        TForm1::SetUpApplication();
        QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
        // Windows without a parent (the start-up error box) still show the program's icon.
        QVERIFY(!QApplication::windowIcon().isNull());
    }

    void startUpWithoutPortsLeavesPortZero() {
        auto w = MakeWindow({});
        QCOMPARE(w->FormProgress->port_number(), 0);
        QCOMPARE(w->StatusBar->PanelText(0), QString());
    }

    void missingRememberedPortIsNamedOnce_data() {
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QStringList>("ports");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QString>("message");
        QTest::newRow("gone, first port taken")
            << "COM97" << QStringList{"COM3", "COM1"} << 1
            << QStringLiteral("Порт COM97 не найден, выбран COM1");
        QTest::newRow("gone, no port at all")
            << "COM97" << QStringList{} << 0 << QStringLiteral("Порт COM97 не найден");
        QTest::newRow("present") << "COM3" << QStringList{"COM1", "COM3"} << 3 << QString();
        QTest::newRow("nothing remembered") << "" << QStringList{"COM5"} << 5 << QString();
    }
    void missingRememberedPortIsNamedOnce() {
        QFETCH(QString, remembered);
        QFETCH(QStringList, ports);
        QFETCH(int, chosen);
        QFETCH(QString, message);
        if (!remembered.isEmpty())
            QSettings(QStringLiteral("Zorvex_Prog"), QStringLiteral("Settings"))
                .setValue(QLatin1String(TFormComPort::kSettingsKey), remembered);
        std::vector<SystemPort> system;
        for (const QString& port : ports)
            system.push_back({port.toStdString(), ""});
        auto w = MakeWindow(system);
        QCOMPARE(w->FormProgress->port_number(), chosen);
        QCOMPARE(w->StatusBar->Message(), message);
        QVERIFY(messages_.empty()); // a note, not a box to click away
        if (chosen == 0)
            return;
        // Once the user has chosen a port the note has done its work.
        OnNextModal([](QWidget* modal) { qobject_cast<TFormComPort*>(modal)->BitBtnOk->click(); });
        w->ActionComPort->trigger();
        QCOMPARE(w->StatusBar->Message(), QString());
    }

    void rangeListWrittenAtExitOnlyWhenChanged() {
        const QString file = dir_->path() + "/Zorvex_config.xml";
        QFile::remove(file);
        MakeWindow().reset(); // no file: the default list is written
        QVERIFY(QFile::exists(file));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray first = f.readAll();
        f.close();
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Append));
        f.write("<!-- kept -->"); // a re-write would drop this
        f.close();
        MakeWindow().reset();
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), first + "<!-- kept -->");
    }

    void statusBarClickDispatch_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("expected"); // 0: COM dialog, 1: range dialog, -1: nothing
        QTest::newRow("panel 0 left edge") << "0" << int(Qt::LeftButton) << 0;
        QTest::newRow("panel 0 right edge, right button") << "w0-1" << int(Qt::RightButton) << 0;
        QTest::newRow("panel 1 first pixel") << "w0" << int(Qt::LeftButton) << 1;
        QTest::newRow("panel 1 last pixel, middle button")
            << "w0+w1-1" << int(Qt::MiddleButton) << 1;
        QTest::newRow("panel 2") << "w0+w1+5" << int(Qt::LeftButton) << -1;
        QTest::newRow("right of all panels") << "w0+w1+w2+10" << int(Qt::LeftButton) << -1;
    }
    void statusBarClickDispatch() {
        QFETCH(QString, where);
        QFETCH(int, button);
        QFETCH(int, expected);
        auto w = MakeWindow();
        const auto& widths = w->StatusBar->PanelWidths();
        const int w0 = widths[0], w1 = widths[1], w2 = widths[2];
        const std::map<QString, int> xs = {{"0", 0},
                                           {"w0-1", w0 - 1},
                                           {"w0", w0},
                                           {"w0+w1-1", w0 + w1 - 1},
                                           {"w0+w1+5", w0 + w1 + 5},
                                           {"w0+w1+w2+10", w0 + w1 + w2 + 10}};
        const int x = xs.at(where);
        QVERIFY(x < w->StatusBar->width());
        QSignalSpy com(w->ActionComPort, &QAction::triggered);
        QSignalSpy range(w->ActionSelectFreqRange, &QAction::triggered);
        QString opened;
        if (expected >= 0) {
            OnNextModal([&](QWidget* modal) {
                opened = modal->windowTitle();
                qobject_cast<QDialog*>(modal)->reject();
            });
        }
        QTest::mouseClick(w->StatusBar, Qt::MouseButton(button), {},
                          QPoint(x, w->StatusBar->height() / 2));
        QCOMPARE(com.count(), expected == 0 ? 1 : 0);
        QCOMPARE(range.count(), expected == 1 ? 1 : 0);
        if (expected == 0)
            QCOMPARE(opened, QStringLiteral("COM порт"));
        if (expected == 1)
            QCOMPARE(opened, QStringLiteral("Диапазон частот"));
        QVERIFY(!w->modalBusy);
    }

    void statusBarIgnoredWhileModalDialogOpen() {
        auto w = MakeWindow();
        QSignalSpy com(w->ActionComPort, &QAction::triggered);
        bool busyInside = false;
        QWidget* stillModal = nullptr;
        OnNextModal([&](QWidget* about) {
            busyInside = w->modalBusy;
            w->StatusBarMouseDown(1); // panel 0
            stillModal = QApplication::activeModalWidget();
            qobject_cast<QDialog*>(about)->accept();
        });
        w->ActionAbout->trigger();
        QVERIFY(busyInside);
        QCOMPARE(com.count(), 0);
        QCOMPARE(stillModal, static_cast<QWidget*>(w->FormAbout));
        QVERIFY(!w->modalBusy);
    }

    void secondTypeShortcutSetsFlagOnceAndForAll() {
        auto w = MakeWindow();
        QApplication::setActiveWindow(w.get());
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QVERIFY(!AcceptSecondType);
        QTest::keyClick(w.get(), Qt::Key_A, Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(AcceptSecondType);
        QTest::keyClick(w.get(), Qt::Key_A, Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(AcceptSecondType);
        w->FileCreate->trigger();
        QVERIFY(AcceptSecondType);
        QVERIFY(messages_.empty());
        // No visible trace: not in a menu, not on the tool bar.
        for (QAction* top : w->MainMenu->actions()) {
            if (top->menu())
                QVERIFY(!top->menu()->actions().contains(w->ActionSecondType));
        }
        QVERIFY(!w->ToolBar->actions().contains(w->ActionSecondType));
    }

    void editChannelOpensEditorOnGridRow_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("slot");
        QTest::newRow("header row opens channel 0") << 0 << 0;
        QTest::newRow("row 1 is channel 0") << 1 << 0;
        QTest::newRow("row 200 is channel 199") << 200 << 199;
    }
    void editChannelOpensEditorOnGridRow() {
        QFETCH(int, row);
        QFETCH(int, slot);
        auto w = MakeWindow();
        w->DrawGridChannels->setCurrentRow(row);
        int index = -1;
        bool busy = false;
        OnNextModal([&](QWidget* modal) {
            busy = w->modalBusy;
            index = w->FormChan->Index();
            QCOMPARE(modal, static_cast<QWidget*>(w->FormChan));
            w->FormChan->reject();
        });
        emit w->DrawGridChannels->editChannelRequested(); // what a double click or Enter sends
        QCOMPARE(index, slot);
        QVERIFY(busy);
        QVERIFY(!w->modalBusy);
    }

    void comPortCancelKeepsPortOkTakesIt() {
        auto w = MakeWindow({{"COM2", "/dev/ttyS1"}, {"COM4", "/dev/ttyS3"}});
        QCOMPARE(w->FormProgress->port_number(), 2);
        const auto choose = [&](const QString& item, bool ok) {
            OnNextModal([=](QWidget* modal) {
                auto* dialog = qobject_cast<TFormComPort*>(modal);
                QVERIFY(dialog);
                if (!item.isEmpty())
                    dialog->ComboBoxCOM->setCurrentText(item);
                (ok ? dialog->BitBtnOk : dialog->BitBtnCancell)->click();
            });
            w->ActionComPort->trigger();
        };
        choose("COM4", false);
        QCOMPARE(w->FormProgress->port_number(), 2);
        QCOMPARE(w->StatusBar->PanelText(0), QStringLiteral("COM2"));
        QString shownAgain;
        OnNextModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<TFormComPort*>(modal);
            shownAgain = dialog->ComboBoxCOM->currentText();
            dialog->BitBtnOk->click();
        });
        w->ActionComPort->trigger();
        QCOMPARE(shownAgain, QStringLiteral("COM4"));
        QCOMPARE(w->FormProgress->port_number(), 4);
        QCOMPARE(w->StatusBar->PanelText(0), QStringLiteral("COM4"));
        QCOMPARE(QSettings("Zorvex_Prog", "Settings").value("DefaultComPort").toString(),
                 QStringLiteral("COM4"));
    }

    void comPortOkWithNoPortLeavesOperationPort() {
        auto w = MakeWindow({});
        w->FormProgress->SetPortNumber(9);
        w->ShowPortStatus();
        QCOMPARE(w->StatusBar->PanelText(0), QStringLiteral("COM9"));
        OnNextModal([](QWidget* modal) { qobject_cast<TFormComPort*>(modal)->BitBtnOk->click(); });
        w->ActionComPort->trigger();
        QCOMPARE(w->FormComPort->chosen_port, 0);
        QCOMPARE(w->FormProgress->port_number(), 9);
        QCOMPARE(w->StatusBar->PanelText(0), QStringLiteral("COM9"));
    }

    // Choosing a set that empties channels says how many first; "no" changes nothing.
    void rangeChangeAsksBeforeEmptyingChannels() {
        auto w = MakeWindow();
        const FreqRange narrow = Range(40000000, 45000000);
        w->channels.ranges.Add(narrow);
        SetChannel(w->channels.channels[0], 35000000, 35000000); // outside
        SetChannel(w->channels.channels[1], 41000000, 41000000); // inside
        SetChannel(w->channels.channels[2], 44000000, 47000000); // transmit outside
        SetChannel(w->channels.channels[3], 0, 46000000);        // transmit only, outside
        const auto before = w->channels.channels;
        const QString status = w->StatusBar->PanelText(1);
        QStringList listed;
        int selectedAtShow = -2;
        const auto chooseNarrow = [&](QWidget* modal) {
            auto* dialog = qobject_cast<TFormFreqRange*>(modal);
            listed.clear();
            for (int i = 0; i < dialog->ComboBoxRanges->count(); ++i)
                listed << dialog->ComboBoxRanges->itemText(i);
            selectedAtShow = dialog->ComboBoxRanges->currentIndex();
            dialog->ComboBoxRanges->setCurrentIndex(1);
            dialog->ButtonOk->click();
        };
        const QString question =
            QStringLiteral("При смене диапазона будут удалены каналы: 3. Продолжить?");

        yes_ = false;
        OnNextModal(chooseNarrow);
        w->ActionSelectFreqRange->trigger();
        QCOMPARE(asked_, QStringList{question});
        QCOMPARE(w->channels.ranges.currentIndex(), 0);
        QCOMPARE(w->StatusBar->PanelText(1), status);
        QVERIFY(w->channels.channels == before);

        yes_ = true;
        OnNextModal(chooseNarrow);
        w->ActionSelectFreqRange->trigger();
        QCOMPARE(asked_, (QStringList{question, question}));
        QCOMPARE(listed,
                 (QStringList{Utf8(w->channels.ranges.Item(0).Text()), Utf8(narrow.Text())}));
        QCOMPARE(selectedAtShow, 0);
        QCOMPARE(w->channels.ranges.currentIndex(), 1);
        QCOMPARE(w->StatusBar->PanelText(1), Utf8(narrow.Text()));
        QVERIFY(!w->channels.channels[0].IsUsed());
        QCOMPARE(w->channels.channels[0].number, 0);
        QVERIFY(w->channels.channels[1].IsUsed());
        QVERIFY(!w->channels.channels[2].IsUsed());
        QVERIFY(!w->channels.channels[3].IsUsed());
        QVERIFY(messages_.empty()); // agreed to beforehand: no second message
        QVERIFY(!w->modalBusy);
    }

    void rangeDialogSameSetOrCancelChangesNothing() {
        auto w = MakeWindow();
        w->channels.ranges.Add(Range(40000000, 45000000));
        SetChannel(w->channels.channels[7], 41000000, 41000000);
        const QString status = w->StatusBar->PanelText(1);
        // Cancel after picking the other set.
        OnNextModal([](QWidget* modal) {
            auto* dialog = qobject_cast<TFormFreqRange*>(modal);
            dialog->ComboBoxRanges->setCurrentIndex(1);
            dialog->ButtonCancel->click();
        });
        w->ActionSelectFreqRange->trigger();
        QCOMPARE(w->channels.ranges.currentIndex(), 0);
        QCOMPARE(w->StatusBar->PanelText(1), status);
        // "Выбрать" on the current set: the channels fit, no warning.
        OnNextModal(
            [](QWidget* modal) { qobject_cast<TFormFreqRange*>(modal)->ButtonOk->click(); });
        w->ActionSelectFreqRange->trigger();
        QCOMPARE(w->channels.ranges.currentIndex(), 0);
        QVERIFY(w->channels.channels[7].IsUsed());
        QVERIFY(messages_.empty());
        QVERIFY(asked_.isEmpty()); // nothing to empty, nothing to ask
    }

    void openFileRemovingChannelsWarnsOnce() {
        auto w = MakeWindow();
        const QString path = dir_->path() + "/outside.xml";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<root>\n"
            "<FreqRange><rx0 begin=\"33000000\" end=\"48500000\"/>"
            "<tx0 begin=\"33000000\" end=\"48500000\"/></FreqRange>\n<Channels>\n"
            "<channel id=\"0\"><freq_rx>40000000</freq_rx><freq_tx>40000000</freq_tx></channel>\n"
            "<channel id=\"1\"><freq_rx>150000000</freq_rx><freq_tx>150000000</freq_tx></channel>\n"
            "<channel id=\"2\"><freq_rx>160000000</freq_rx></channel>\n"
            "</Channels>\n<Flags><Flag0>Alpha</Flag0></Flags>\n</root>\n");
        file.close();
        TForm1::FileDialogRequest asked;
        w->fileDialogHook = [&](const TForm1::FileDialogRequest& request) {
            asked = request;
            return path;
        };
        w->FileOpen1->trigger();
        QVERIFY(!asked.save);
        QCOMPARE(asked.filter, QStringLiteral("Настройки (*.xml)"));
        QCOMPARE(asked.defaultSuffix, QStringLiteral("xml"));
        QCOMPARE(messages_.size(), size_t(1));
        QCOMPARE(messages_[0].icon, QMessageBox::Warning);
        QCOMPARE(messages_[0].text, QStringLiteral("При загрузке файла были удалены каналы, не "
                                                   "соответствующие диапазону частот.\n"
                                                   "Канал 1: прием 150 000 000 Гц, передача "
                                                   "150 000 000 Гц\n"
                                                   "Канал 2: прием 160 000 000 Гц, передача нет"));
        QVERIFY(w->channels.channels[0].IsUsed());
        QVERIFY(!w->channels.channels[1].IsUsed());
        QVERIFY(!w->channels.channels[2].IsUsed());
        QCOMPARE(QString::fromStdString(Cp1251ToUtf8(w->FormChan->Captions()[0])),
                 QStringLiteral("Alpha"));
        QCOMPARE(w->StatusBar->PanelText(1), Utf8(w->channels.ranges.Item(0).Text()));
    }

    void openHandEditedFileListsItsProblemsInOneMessage() {
        auto w = MakeWindow();
        const QString path = dir_->path() + "/edited.xml";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<root>\n<Channels>\n"
                   "<channel id=\"5\">\n<freq_rx>41.000</freq_rx>\n<freq_tx>41000000</freq_tx>\n"
                   "</channel>\n<Channel id=\"1\"><freq_rx>40000000</freq_rx></Channel>\n"
                   "</Channels>\n</root>\n");
        file.close();
        w->fileDialogHook = [&](const TForm1::FileDialogRequest&) { return path; };
        w->FileOpen1->trigger();
        QCOMPARE(messages_.size(), size_t(1));
        QCOMPARE(messages_[0].icon, QMessageBox::Warning);
        QCOMPARE(messages_[0].text,
                 QStringLiteral("Файл «edited.xml» прочитан, но в нём найдены ошибки:\n"
                                "Строка 5: канал 5: freq_rx: «41.000» — не число, прочитано 0\n"
                                "Строка 8: Channels: элемент «Channel» не входит в формат, "
                                "пропущен"));
        QCOMPARE(w->channels.channels[5].freq_tx, 41000000); // read as before

        // The same configuration saved by the program opens without a word.
        messages_.clear();
        const QString saved = dir_->path() + "/saved.xml";
        SaveConfigFile(saved.toStdString(), w->channels, w->settings, w->FormChan->Captions());
        w->fileDialogHook = [&](const TForm1::FileDialogRequest&) { return saved; };
        w->FileOpen1->trigger();
        QVERIFY(messages_.empty());
    }

    void openUnreadableFileShowsErrorAndKeepsModel() {
        auto w = MakeWindow();
        SetChannel(w->channels.channels[5], 41000000, 41000000);
        const QString path = dir_->path() + "/broken.xml";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<root><Channels><channel id=\"5\">");
        file.close();
        w->fileDialogHook = [&](const TForm1::FileDialogRequest&) { return path; };
        w->FileOpen1->trigger();
        QCOMPARE(messages_.size(), size_t(1));
        QCOMPARE(messages_[0].icon, QMessageBox::Critical);
        QVERIFY(!messages_[0].text.isEmpty());
        QCOMPARE(w->channels.channels[5].freq_rx, 41000000);
    }

    // Edits that no file and no radio holds are offered for saving before "Создать",
    // opening a file or closing the program would drop them.
    void unsavedChangesAreAskedAboutBeforeTheyAreLost() {
        auto w = MakeWindow();
        QVERIFY(!w->HasUnsavedChanges());
        w->FileCreate->trigger();
        QCOMPARE(questions_, 0); // nothing to lose

        SetChannel(w->channels.channels[7], 41000000, 42000000);
        QVERIFY(w->HasUnsavedChanges());
        QString target;
        int dialogs = 0;
        w->fileDialogHook = [&](const TForm1::FileDialogRequest&) {
            ++dialogs;
            return target;
        };

        // Cancel: nothing is replaced, no file is asked for, the program stays.
        answer_ = TForm1::UnsavedChoice::Cancel;
        w->FileCreate->trigger();
        w->FileOpen1->trigger();
        QVERIFY(!w->close());
        QCOMPARE(questions_, 3);
        QCOMPARE(dialogs, 0);
        QVERIFY(w->isVisible());
        QVERIFY(w->channels.channels[7].IsUsed());

        // Save, but the file dialog is cancelled or the save fails: still nothing replaced.
        answer_ = TForm1::UnsavedChoice::Save;
        w->FileCreate->trigger();
        QCOMPARE(dialogs, 1);
        target = dir_->path() + "/no-such-dir/kept.xml";
        w->FileCreate->trigger();
        QCOMPARE(messages_.size(), size_t(1));
        QCOMPARE(messages_[0].icon, QMessageBox::Critical);
        QVERIFY(w->channels.channels[7].IsUsed());

        // Save to a file: the edit is in the file, then the new configuration comes.
        target = dir_->path() + "/kept.xml";
        w->FileCreate->trigger();
        QVERIFY(!w->channels.channels[7].IsUsed());
        QVERIFY(!w->HasUnsavedChanges());
        QFile kept(target);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QVERIFY(kept.readAll().contains("<channel id=\"7\">"));
        kept.close();

        // What was opened counts as kept; renamed flags are a change like any other.
        answer_ = TForm1::UnsavedChoice::Discard;
        const int asked = questions_;
        w->FileOpen1->trigger();
        QCOMPARE(questions_, asked);
        QVERIFY(w->channels.channels[7].IsUsed());
        QVERIFY(!w->HasUnsavedChanges());
        FlagCaptions captions = w->FormChan->Captions();
        captions[2] = "Renamed";
        w->FormChan->SetCaptions(captions);
        QVERIFY(w->HasUnsavedChanges());

        // Discard: the program closes.
        QVERIFY(w->close());
        QCOMPARE(questions_, asked + 1);
    }

    void saveAndExportReportTheirOutcome() {
        auto w = MakeWindow();
        SetChannel(w->channels.channels[0], 41000000, 42000000);
        QString target;
        TForm1::FileDialogRequest asked;
        w->fileDialogHook = [&](const TForm1::FileDialogRequest& request) {
            asked = request;
            return target;
        };
        // Cancelled dialog: nothing happens.
        target.clear();
        w->FileSaveAs1->trigger();
        QVERIFY(messages_.empty());

        target = dir_->path() + "/saved.xml";
        w->FileSaveAs1->trigger();
        QVERIFY(asked.save);
        QCOMPARE(asked.filter, QStringLiteral("Настройки радиостанции (*.xml)"));
        QVERIFY(messages_.empty()); // no message on success
        QVERIFY(QFile::exists(target));

        target = dir_->path() + "/no-such-dir/saved.xml";
        w->FileSaveAs1->trigger();
        QCOMPARE(messages_.size(), size_t(1));
        QCOMPARE(messages_[0].icon, QMessageBox::Critical);

        messages_.clear();
        target = dir_->path() + "/channels.xlsx";
        w->FileSaveAs2->trigger();
        QCOMPARE(asked.filter, QStringLiteral("Таблица Excel (*.xlsx)"));
        QCOMPARE(asked.defaultSuffix, QStringLiteral("xlsx"));
        QCOMPARE(messages_.size(), size_t(1));
        QCOMPARE(messages_[0].icon, QMessageBox::Information);
        QCOMPARE(messages_[0].title, QStringLiteral("Экспорт в Excel"));
        QCOMPARE(messages_[0].text, QStringLiteral("Экспорт прошел успешно."));
        QVERIFY(QFile::exists(target));

        messages_.clear();
        target = dir_->path() + "/no-such-dir/channels.xlsx";
        w->FileSaveAs2->trigger();
        QCOMPARE(messages_.size(), size_t(1));
        QCOMPARE(messages_[0].icon, QMessageBox::Critical);
        QCOMPARE(messages_[0].title, QStringLiteral("Экспорт в Excel"));
        QCOMPARE(messages_[0].text, QStringLiteral("Ошибка при экспорте!!!"));
    }

    void infoPageFollowsIdentity_data() {
        QTest::addColumn<bool>("block0");
        QTest::addColumn<bool>("block1");
        QTest::addColumn<QString>("id"); // "own", "alt" or a literal
        QTest::addColumn<bool>("secondType");
        QTest::addColumn<bool>("pageShown");
        QTest::addColumn<bool>("writeEnabled");
        QTest::addColumn<bool>("errorShown");
        QTest::newRow("nothing received")
            << false << false << "XXXXX" << false << false << true << false;
        QTest::newRow("own programmer") << true << true << "own" << false << true << true << false;
        QTest::newRow("foreign programmer")
            << true << true << "ABCDE" << false << true << false << true;
        QTest::newRow("empty programmer") << true << true << "" << false << true << false << false;
        QTest::newRow("block 0 only, own")
            << true << false << "own" << false << true << false << false;
        QTest::newRow("block 0 only, foreign")
            << true << false << "ABCDE" << false << true << false << true;
        QTest::newRow("alternative, switch off")
            << true << true << "alt" << false << true << false << true;
        QTest::newRow("alternative, switch on")
            << true << true << "alt" << true << true << true << false;
    }
    void infoPageFollowsIdentity() {
        QFETCH(bool, block0);
        QFETCH(bool, block1);
        QFETCH(QString, id);
        QFETCH(bool, secondType);
        QFETCH(bool, pageShown);
        QFETCH(bool, writeEnabled);
        QFETCH(bool, errorShown);
        auto w = MakeWindow();
        AcceptSecondType = secondType;
        w->info.has_block0 = block0;
        w->info.has_block1 = block1;
        w->info.programmer_id = id == "own"   ? OwnProgrammerId()
                                : id == "alt" ? AlternativeProgrammerId()
                                              : id.toStdString();
        const int32_t watts[4] = {1, 5, 10, 25};
        std::copy(std::begin(watts), std::end(watts), w->info.power_w);
        w->UpdateInfoPage();
        QCOMPARE(w->PageVisible(w->TabSheetInfo), pageShown);
        QCOMPARE(w->ActionWrite->isEnabled(), writeEnabled);
        QCOMPARE(messages_.size(), size_t(errorShown ? 1 : 0));
        if (errorShown) {
            QCOMPARE(messages_[0].icon, QMessageBox::Critical);
            QCOMPARE(
                messages_[0].text,
                QStringLiteral("Для программирования станции необходим другой программатор [%1]")
                    .arg(QString::fromStdString(w->info.programmer_id)));
        }
        if (pageShown)
            QCOMPARE(w->MemoInfo->toPlainText().isEmpty(), false);
        if (block0 && block1) {
            QCOMPARE(w->painter.watts, (std::array<int32_t, 4>{1, 5, 10, 25}));
            QCOMPARE(w->FormChan->PowerLevels(), (std::array<int, 4>{1, 5, 10, 25}));
        } else {
            QCOMPARE(w->painter.watts, (std::array<int32_t, 4>{5, 10, 20, 40}));
        }
    }

    void settingsPageRefreshedWhenShownAndWheelStepsOnce() {
        auto w = MakeWindow();
        auto* bar = w->findChild<QSlider*>(QStringLiteral("TrackBarIntensity"));
        QVERIFY(bar);
        w->settings.Intensity = 4;
        w->PageControl->setCurrentWidget(w->TabSheetSettings);
        QCOMPARE(bar->value(), 4);
        // One notch down over the bar: the window hands it to the settings pages, which step
        // the value by one (the slider on its own would move by several).
        const QPoint local = bar->rect().center();
        QWheelEvent wheel(local, bar->mapToGlobal(local), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(bar, &wheel);
        QCOMPARE(w->settings.Intensity, 3);
        QCOMPARE(bar->value(), 3);
    }

    void waveNetWithoutPortStartsNothing() {
        auto w = MakeWindow({});
        QTemporaryDir toolDir;
        const QString marker = toolDir.path() + "/ran";
        QFile tool(toolDir.path() + "/" + LINK_TOOL_FILE_NAME);
        QVERIFY(tool.open(QIODevice::WriteOnly));
        tool.write(("#!/bin/sh\ntouch '" + marker + "'\n").toUtf8());
        tool.close();
        tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        w->WaveNet().toolDirectory = toolDir.path().toStdString();
        w->WaveNet().settleMs = 0;
        QCOMPARE(w->FormProgress->port_number(), 0);
        w->ActionWaveNet->trigger();
        QVERIFY(!QFile::exists(marker));
        QVERIFY(!w->WaveNet().ToolPortOpen());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
