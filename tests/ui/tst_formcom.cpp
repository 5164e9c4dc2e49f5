#include <QComboBox>
#include <QPushButton>
#include <QSettings>
#include <QtTest>

#include "support/ModalHelpers.h"
#include "ui/FormCom.h"

namespace {

QSettings Store() {
    return QSettings(QStringLiteral("Zorvex_Prog"), QStringLiteral("Settings"));
}

QStringList Items(const TFormComPort& dialog) {
    QStringList items;
    for (int i = 0; i < dialog.ComboBoxCOM->count(); ++i)
        items << dialog.ComboBoxCOM->itemText(i);
    return items;
}

std::vector<SystemPort> Ports(const QStringList& names) {
    std::vector<SystemPort> ports;
    for (const QString& name : names)
        ports.push_back({name.toStdString(), "/dev/x" + name.toStdString()});
    return ports;
}

} // namespace

class TestFormCom : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { IsolateUserConfig(); }
    void init() { Store().clear(); }

    void buildsListFromSystemPorts_data() {
        QTest::addColumn<QStringList>("system");
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("chosen");
        QTest::newRow("ascending by number")
            << QStringList{"COM10", "COM3"} << "" << QStringList{"COM3", "COM10"} << "COM3" << 3;
        QTest::newRow("lower case name")
            << QStringList{"com5"} << "" << QStringList{"COM5"} << "COM5" << 5;
        QTest::newRow("listed once")
            << QStringList{"COM2", "COM2"} << "" << QStringList{"COM2"} << "COM2" << 2;
        QTest::newRow("not a COM port or out of range")
            << QStringList{"LPT1", "COM0", "COM256", "COMx", "COM", "COM-1", "COM 4", "COM4"} << ""
            << QStringList{"COM4"} << "COM4" << 4;
        QTest::newRow("remembered wins") << QStringList{"COM1", "COM2", "COM7"} << "COM7"
                                         << QStringList{"COM1", "COM2", "COM7"} << "COM7" << 7;
        QTest::newRow("remembered gone: first")
            << QStringList{"COM1", "COM2"} << "COM7" << QStringList{"COM1", "COM2"} << "COM1" << 1;
        QTest::newRow("remembered text must match exactly")
            << QStringList{"COM1", "COM7"} << "com7" << QStringList{"COM1", "COM7"} << "COM1" << 1;
        QTest::newRow("leading zero listed plainly")
            << QStringList{"COM07", "COM9"} << "COM7" << QStringList{"COM7", "COM9"} << "COM7" << 7;
        QTest::newRow("highest number")
            << QStringList{"COM255"} << "" << QStringList{"COM255"} << "COM255" << 255;
    }
    void buildsListFromSystemPorts() {
        QFETCH(QStringList, system);
        QFETCH(QString, remembered);
        QFETCH(QStringList, listed);
        QFETCH(QString, selected);
        QFETCH(int, chosen);
        if (!remembered.isEmpty())
            Store().setValue("DefaultComPort", remembered);
        TFormComPort dialog;
        dialog.SetPortSource([system] { return Ports(system); });
        QVERIFY(dialog.BuildPortList());
        QCOMPARE(Items(dialog), listed);
        QCOMPARE(dialog.ComboBoxCOM->currentText(), selected);
        QCOMPARE(dialog.chosen_port, chosen);
    }

    void emptyListKeepsChosenPortAndOkStoresEmptyText() {
        Store().setValue("DefaultComPort", "COM3");
        TFormComPort dialog;
        dialog.chosen_port = 6;
        dialog.SetPortSource([] { return std::vector<SystemPort>{}; });
        dialog.BuildPortList();
        QCOMPARE(dialog.ComboBoxCOM->count(), 0);
        QCOMPARE(dialog.ComboBoxCOM->currentIndex(), -1);
        QCOMPARE(dialog.chosen_port, 6);
        int shownWith = 0;
        OnNextModal([&](QWidget*) {
            shownWith = dialog.chosen_port;
            dialog.BitBtnOk->click();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(shownWith, 6);
        QCOMPARE(Store().value("DefaultComPort").toString(), QString());
    }

    void deviceBehindEachNumberIsItsToolTip() {
        TFormComPort dialog;
        dialog.SetPortSource([] {
            return std::vector<SystemPort>{
                {"COM33", "/dev/ttyUSB0"}, {"COM1", "/dev/ttyS0"}, {"COM33", "/dev/other"}};
        });
        dialog.BuildPortList();
        QCOMPARE(dialog.ComboBoxCOM->itemData(0, Qt::ToolTipRole).toString(),
                 QStringLiteral("/dev/ttyS0"));
        QCOMPARE(dialog.ComboBoxCOM->itemData(1, Qt::ToolTipRole).toString(),
                 QStringLiteral("/dev/ttyUSB0"));
    }

    void showingReselectsPreviousChoiceAndSelectionFollowsUser() {
        Store().setValue("DefaultComPort", "COM2");
        QStringList system{"COM2", "COM4", "COM6"};
        TFormComPort dialog;
        dialog.SetPortSource([&system] { return Ports(system); });
        dialog.BuildPortList();
        QCOMPARE(dialog.chosen_port, 2);

        // The user picks COM4 and cancels: the remembered choice stays, chosen_port keeps COM4.
        QWidget* focused = nullptr;
        int followed = 0;
        OnNextModal([&](QWidget*) {
            focused = dialog.focusWidget();
            dialog.ComboBoxCOM->setCurrentText("COM4");
            followed = dialog.chosen_port;
            dialog.BitBtnCancell->click();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(focused, static_cast<QWidget*>(dialog.ComboBoxCOM));
        QCOMPARE(followed, 4);
        QCOMPARE(Store().value("DefaultComPort").toString(), QStringLiteral("COM2"));
        QCOMPARE(dialog.chosen_port, 4);

        // Shown again: COM4 is selected although COM2 is remembered; OK remembers COM4.
        QString shown;
        OnNextModal([&](QWidget*) {
            shown = dialog.ComboBoxCOM->currentText();
            dialog.BitBtnOk->click();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(shown, QStringLiteral("COM4"));
        QCOMPARE(dialog.chosen_port, 4);
        QCOMPARE(Store().value("DefaultComPort").toString(), QStringLiteral("COM4"));

        // The previous choice disappeared: the first item is selected.
        system = {"COM6", "COM8"};
        OnNextModal([&](QWidget*) {
            shown = dialog.ComboBoxCOM->currentText();
            dialog.BitBtnCancell->click();
        });
        dialog.exec();
        QCOMPARE(shown, QStringLiteral("COM6"));
        QCOMPARE(dialog.chosen_port, 6);
    }

    void windowHasItsOwnFontAndFixedSize() {
        // A dialog does not take its parent's font: it must set the program's 8-point font
        // itself, or it shows in the desktop's default size.
        QWidget owner;
        QFont large = owner.font();
        large.setPointSize(14);
        owner.setFont(large);
        TFormComPort dialog(&owner);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("COM порт"));
        QCOMPARE(dialog.ComboBoxCOM->font().pointSize(), 8);
        QCOMPARE(dialog.BitBtnOk->font().pointSize(), 8);
        dialog.show();
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    }

    void comNumberParsing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        QTest::newRow("plain") << "COM3" << 3;
        QTest::newRow("lower case") << "com12" << 12;
        QTest::newRow("zero") << "COM0" << 0;
        QTest::newRow("too large") << "COM256" << 0;
        QTest::newRow("huge") << "COM99999999999" << 0;
        QTest::newRow("trailing text") << "COM3x" << 0;
        QTest::newRow("other device") << "ttyS0" << 0;
        QTest::newRow("empty") << "" << 0;
    }
    void comNumberParsing() {
        QFETCH(QString, name);
        QFETCH(int, number);
        QCOMPARE(ComPortNumber(name.toStdString()), number);
    }
};

QTEST_MAIN(TestFormCom)
#include "tst_formcom.moc"
