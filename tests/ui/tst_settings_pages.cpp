#include <QtTest>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>
#include <QWheelEvent>

#include <memory>

#include "model/InfoContext.h"
#include "model/SettingsContext.h"
#include "ui/CellPainter.h"
#include "ui/SettingBinding.h"
#include "ui/SettingsPages.h"
#include "ui/VolumeDiagram.h"

namespace {

// Both pages side by side in one shown window, so that geometry, visibility
// and focus behave as in the main window.
struct Pages {
    SettingsContext settings;
    TInfoContext info;
    CellPainter painter;
    QWidget window;
    std::unique_ptr<SettingsPages> pages;

    explicit Pages(uint16_t version = SETTINGS_V1_3) {
        settings.version = version;
        pages = std::make_unique<SettingsPages>(settings, info, painter, &window);
        auto* row = new QHBoxLayout(&window);
        row->addWidget(pages->Page1());
        row->addWidget(pages->Page2());
        window.show();
        QApplication::setActiveWindow(&window);
        pages->RefreshSettings();
    }

    template <typename T> T* Get(const char* name) {
        T* w = window.findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }

    // One wheel notch (120 per notch) with the pointer at the centre of `target`.
    bool Wheel(QWidget* target, int notches) {
        const QPointF local = QPointF(target->rect().center());
        QWheelEvent event(local, QPointF(target->mapToGlobal(local.toPoint())), QPoint(),
                          QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
        QCoreApplication::sendEvent(target, &event);
        return event.isAccepted();
    }

    // The user picks an item of a drop-down (what a click in its list emits).
    static void Choose(QComboBox* combo, int index) {
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
};

bool IsRed(const QLineEdit* edit) {
    return edit->palette().color(QPalette::Base) == Qt::red;
}

void TypeInto(QLineEdit* edit, const QString& text) {
    edit->clear();
    edit->setFocus();
    QTest::keyClicks(edit, text);
}

} // namespace

class TestSettingsPages : public QObject {
    Q_OBJECT
private slots:
    void bindingTextRules_data();
    void bindingTextRules();
    void scanPauseEntry();
    void digitOnlyEdits();
    void wheelOverTxLimitStopsAtLimits();
    void wheelOverSliders_data();
    void wheelOverSliders();
    void verticalBarKeys();
    void wheelFocusPassAndUnhandled();
    void beepSlidersDragEachOther();
    void versionVisibility_data();
    void versionVisibility();
    void maxPowerList_data();
    void maxPowerList();
    void passwordFromText_data();
    void passwordFromText();
    void passwordEntry();
    void startupMode_data();
    void startupMode();
    void checkBoxesWriteTheirField_data();
    void checkBoxesWriteTheirField();
    void dropDownsAndButtons();
    void commonValuesReachThePainter();
    void refreshLeavesUnshownValuesAlone();
    void readOnlyEditClickFocusesTrackBar();
};

void TestSettingsPages::bindingTextRules_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    // Range 0..60 throughout.
    QTest::newRow("plain") << "60" << true << 60;
    QTest::newRow("zero") << "0" << true << 0;
    QTest::newRow("blanks around") << "  7 " << true << 7;
    QTest::newRow("above") << "61" << false << 0;
    QTest::newRow("leading zero") << "05" << false << 0;
    QTest::newRow("leading zeros") << "007" << false << 0;
    QTest::newRow("plus sign") << "+5" << false << 0;
    QTest::newRow("minus zero") << "-0" << false << 0;
    QTest::newRow("negative") << "-1" << false << 0;
    QTest::newRow("trailing letter") << "12a" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("too long") << "99999999999" << false << 0;
}

void TestSettingsPages::bindingTextRules() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    int v = -42;
    QCOMPARE(ParseBindingText(text, 0, 60, v), valid);
    QCOMPARE(v, valid ? value : -42);
}

void TestSettingsPages::scanPauseEntry() {
    Pages f;
    auto* edit = f.Get<QLineEdit>("EditScanPause");
    QCOMPARE(edit->text(), QStringLiteral("5"));

    edit->setText("61"); // pasted in one go
    QVERIFY(IsRed(edit));
    QCOMPARE(f.settings.ScanPause, 5);

    TypeInto(edit, "60");
    QVERIFY(!IsRed(edit));
    QCOMPARE(f.settings.ScanPause, 60);

    edit->setText("05");
    QVERIFY(IsRed(edit));
    QCOMPARE(f.settings.ScanPause, 60);

    // Typed key by key, each valid step is taken: "6" is stored before "61" turns red.
    TypeInto(edit, "61");
    QVERIFY(IsRed(edit));
    QCOMPARE(f.settings.ScanPause, 6);

    edit->clear();
    QVERIFY(IsRed(edit));
    QCOMPARE(f.settings.ScanPause, 6);
}

void TestSettingsPages::digitOnlyEdits() {
    Pages f;
    auto* start = f.Get<QLineEdit>("EditStartChannel");
    TypeInto(start, "1a2");
    QCOMPARE(start->text(), QStringLiteral("12"));
    QCOMPARE(f.settings.StartChannel, 12);

    TypeInto(start, "200");
    QVERIFY(IsRed(start));
    QCOMPARE(f.settings.StartChannel, 20); // "20" was valid on the way to "200"

    auto* id = f.Get<QLineEdit>("EditID");
    TypeInto(id, "254");
    QCOMPARE(f.settings.ID, 254);
    TypeInto(id, "255");
    QVERIFY(IsRed(id));
    QCOMPARE(f.settings.ID, 25);
}

void TestSettingsPages::wheelOverTxLimitStopsAtLimits() {
    Pages f;
    auto* edit = f.Get<QLineEdit>("EditTxLimit");
    f.settings.TxLimit = 2;
    f.pages->RefreshSettings();

    for (int expected : {1, 0, 0, 0}) {
        QVERIFY(f.Wheel(edit, -1));
        QCOMPARE(f.settings.TxLimit, expected);
        QCOMPARE(edit->text(), QString::number(expected));
        QVERIFY(!IsRed(edit));
    }
    QVERIFY(edit->hasFocus());

    QVERIFY(f.Wheel(edit, 1));
    QCOMPARE(f.settings.TxLimit, 1);

    TypeInto(edit, "899");
    for (int expected : {900, 900}) {
        QVERIFY(f.Wheel(edit, 1));
        QCOMPARE(f.settings.TxLimit, expected);
        QVERIFY(!IsRed(edit));
    }

    // An invalid text is replaced by the stepped last valid value.
    TypeInto(edit, "abc");
    QVERIFY(IsRed(edit));
    QVERIFY(f.Wheel(edit, -1));
    QCOMPARE(f.settings.TxLimit, 899);
    QVERIFY(!IsRed(edit));
}

void TestSettingsPages::wheelOverSliders_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<int>("notches");
    QTest::addColumn<int>("minVolume");
    QTest::addColumn<int>("volume");
    QTest::newRow("vertical up") << "TrackBarMinVolume"
                                 << "EditMinVolume" << 1 << 6 << 10;
    QTest::newRow("vertical down") << "TrackBarMinVolume"
                                   << "EditMinVolume" << -1 << 4 << 10;
    QTest::newRow("vertical via its edit") << "EditMinVolume"
                                           << "EditMinVolume" << 1 << 6 << 10;
    QTest::newRow("horizontal up") << "TrackBarVolume"
                                   << "EditVolume" << 1 << 5 << 11;
    QTest::newRow("horizontal down") << "TrackBarVolume"
                                     << "EditVolume" << -1 << 5 << 9;
}

void TestSettingsPages::wheelOverSliders() {
    QFETCH(QString, target);
    QFETCH(QString, edit);
    QFETCH(int, notches);
    QFETCH(int, minVolume);
    QFETCH(int, volume);
    Pages f;
    f.settings.MinVolume = 5;
    f.pages->RefreshSettings();
    auto* widget = f.Get<QWidget>(target.toLatin1().constData());
    QVERIFY(f.Wheel(widget, notches));
    QCOMPARE(f.settings.MinVolume, minVolume);
    QCOMPARE(f.settings.Volume, volume);
    const int shown = target.contains("Min") ? minVolume : volume;
    QCOMPARE(f.Get<QLineEdit>(edit.toLatin1().constData())->text(), QString::number(shown));
}

// The vertical bar has its highest value at the top, so Up raises it like a wheel notch up.
void TestSettingsPages::verticalBarKeys() {
    Pages f;
    f.settings.MinVolume = 5;
    f.pages->RefreshSettings();
    auto* bar = f.Get<TrackBar>("TrackBarMinVolume");
    bar->setFocus();
    QTest::keyClick(bar, Qt::Key_Up);
    QCOMPARE(f.settings.MinVolume, 6);
    QTest::keyClick(bar, Qt::Key_Down);
    QTest::keyClick(bar, Qt::Key_Down);
    QCOMPARE(f.settings.MinVolume, 4);
    QTest::keyClick(bar, Qt::Key_End);
    QCOMPARE(f.settings.MinVolume, 0);
}

void TestSettingsPages::wheelFocusPassAndUnhandled() {
    Pages f;
    auto* intensity = f.Get<TrackBar>("TrackBarIntensity");
    f.settings.Intensity = 4;
    f.pages->RefreshSettings();
    intensity->setFocus();
    QVERIFY(intensity->hasFocus());

    // The pointer over a control that is no binding: the focused binding steps.
    auto* label = f.Get<QCheckBox>("CheckBoxSquelchOn");
    const QPointF local(label->rect().center());
    QWheelEvent notch(local, QPointF(label->mapToGlobal(local.toPoint())), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QVERIFY(f.pages->HandleWheel(&notch));
    QCOMPARE(f.settings.Intensity, 5);
    QVERIFY(intensity->hasFocus());

    // A sideways wheel steps nothing and is left to the control under the pointer.
    QWheelEvent sideways(local, QPointF(label->mapToGlobal(local.toPoint())), QPoint(),
                         QPoint(120, 0), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QVERIFY(!f.pages->HandleWheel(&sideways));
    QCOMPARE(f.settings.Intensity, 5);

    // Nothing under the pointer and no binding focused: unhandled.
    label->setFocus();
    QVERIFY(!f.pages->HandleWheel(&notch));
    QCOMPARE(f.settings.Intensity, 5);
}

void TestSettingsPages::beepSlidersDragEachOther() {
    Pages f;
    auto* lower = f.Get<TrackBar>("TrackBarBeepMin");
    auto* upper = f.Get<TrackBar>("TrackBarBeepMax");
    QCOMPARE(lower->value(), 3);
    QCOMPARE(upper->value(), 8);

    lower->setValue(10);
    QCOMPARE(f.settings.BeepMin, 10);
    QCOMPARE(f.settings.BeepMax, 10);
    QCOMPARE(upper->value(), 10);
    QCOMPARE(f.Get<QLineEdit>("EditBeepMax")->text(), QStringLiteral("10"));
    for (TrackBar* bar : {lower, upper}) {
        QCOMPARE(bar->SelectionStart(), 10);
        QCOMPARE(bar->SelectionEnd(), 10);
    }

    upper->setValue(4);
    QCOMPARE(f.settings.BeepMax, 4);
    QCOMPARE(f.settings.BeepMin, 4);
    QCOMPARE(lower->value(), 4);
    QCOMPARE(f.Get<QLineEdit>("EditBeepMin")->text(), QStringLiteral("4"));

    upper->setValue(12); // no crossing: the lower one stays
    QCOMPARE(f.settings.BeepMin, 4);
    QCOMPARE(lower->value(), 4);
    for (TrackBar* bar : {lower, upper}) {
        QCOMPARE(bar->SelectionStart(), 4);
        QCOMPARE(bar->SelectionEnd(), 12);
    }
}

void TestSettingsPages::versionVisibility_data() {
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("common");
    QTest::addColumn<bool>("page2");
    QTest::addColumn<bool>("banks");
    QTest::newRow("1.0") << 0x0100 << false << false << false;
    QTest::newRow("1.1") << 0x0101 << true << false << false;
    QTest::newRow("1.2") << 0x0102 << true << true << false;
    QTest::newRow("1.3") << 0x0103 << true << true << true;
}

void TestSettingsPages::versionVisibility() {
    QFETCH(int, version);
    QFETCH(bool, common);
    QFETCH(bool, page2);
    QFETCH(bool, banks);
    // Start from the opposite extreme, so that every control has to change.
    Pages f(version == 0x0100 ? SETTINGS_V1_3 : SETTINGS_V1_0);
    f.settings.SqlCommon = true;
    f.settings.TxPowerCommon = true;
    QSignalSpy page2Signal(f.pages.get(), &SettingsPages::page2VisibilityChanged);
    f.settings.version = uint16_t(version);
    f.pages->RefreshSettings();

    QCOMPARE(!f.Get<QComboBox>("ComboBoxSquelchCommon")->isHidden(), common);
    QCOMPARE(!f.Get<QComboBox>("ComboBoxSquelchLevel")->isHidden(), common);
    QCOMPARE(!f.Get<QGroupBox>("GroupBoxTxPowerMode")->isHidden(), common);
    QCOMPARE(!f.Get<QLineEdit>("MaskEditPassword")->isHidden(), common);
    QCOMPARE(!f.Get<QComboBox>("ComboBoxMaxTxPower")->isHidden(), common);
    QCOMPARE(!f.Get<QCheckBox>("CheckBoxKeyBeep")->isHidden(), page2);
    QCOMPARE(!f.Get<QCheckBox>("CheckBoxDigitalDelay")->isHidden(), page2);
    QCOMPARE(!f.Get<QLineEdit>("EditSpecChannel1")->isHidden(), banks);
    QCOMPARE(!f.Get<QLineEdit>("EditSpecChannel2")->isHidden(), banks);
    int bankLabels = 0;
    for (QLabel* label : f.window.findChildren<QLabel*>())
        if (label->text().startsWith(QStringLiteral("Приоритетный, банк")) && !label->isHidden())
            ++bankLabels;
    QCOMPARE(bankLabels, banks ? 2 : 0);

    QCOMPARE(f.pages->Page2Wanted(), page2);
    QVERIFY(!page2Signal.isEmpty());
    QCOMPARE(page2Signal.last().at(0).toBool(), page2);

    // Both pages fit the area the main window gives them (its 1020 x 562 client area less the
    // menu and tool strip, the tab bar and the status bar), so that at the window's start and
    // minimum size no control is drawn over another (the volume slider over the diagram).
    const QSize area(1016, 470);
    QCoreApplication::processEvents(); // let the layouts take in what was shown and hidden
    for (QWidget* page : {f.pages->Page1(), f.pages->Page2()}) {
        const QSize need = page->minimumSizeHint();
        QVERIFY2(need.width() <= area.width() && need.height() <= area.height(),
                 qPrintable(QStringLiteral("%1 needs %2 x %3")
                                .arg(page->objectName())
                                .arg(need.width())
                                .arg(need.height())));
    }
}

void TestSettingsPages::maxPowerList_data() {
    QTest::addColumn<QList<int>>("watts");
    QTest::addColumn<int>("maxTxPower");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("selected");
    const QStringList three = {QStringLiteral("мин: 5Вт / макс: 10Вт"),
                               QStringLiteral("мин: 5Вт / макс: 20Вт"),
                               QStringLiteral("мин: 5Вт / макс: 40Вт")};
    QTest::newRow("5/10/20/40, level 4") << QList<int>{5, 10, 20, 40} << 4 << three << 2;
    QTest::newRow("5/10/20/40, level 2") << QList<int>{5, 10, 20, 40} << 2 << three << 1;
    QTest::newRow("level 0") << QList<int>{5, 10, 20, 40} << 0 << three << 0;
    QTest::newRow("P2 = 0") << QList<int>{5, 10, 0, 40} << 3
                            << QStringList{QStringLiteral("мин: 5Вт / макс: 10Вт")} << 0;
    QTest::newRow("P1 = 0") << QList<int>{5, 0, 20, 40} << 2 << QStringList{} << -1;
}

void TestSettingsPages::maxPowerList() {
    QFETCH(QList<int>, watts);
    QFETCH(int, maxTxPower);
    QFETCH(QStringList, items);
    QFETCH(int, selected);
    Pages f(SETTINGS_V1_1);
    for (int i = 0; i < 4; ++i)
        f.info.power_w[i] = watts[i];
    f.settings.TxPowerCommon = true;
    f.settings.MaxTxPower = maxTxPower;
    f.pages->RefreshSettings();

    auto* combo = f.Get<QComboBox>("ComboBoxMaxTxPower");
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i)
        shown << combo->itemText(i);
    QCOMPARE(shown, items);
    QCOMPARE(combo->currentIndex(), selected);
    QCOMPARE(f.settings.MaxTxPower, maxTxPower); // only a user choice writes it
}

void TestSettingsPages::passwordFromText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");
    QTest::newRow("two typed, rest missing") << "12" << 12000;
    QTest::newRow("two typed, rest blank") << "12   " << 12000;
    QTest::newRow("blanks inside") << "1 2 3" << 10203;
    QTest::newRow("all five") << "00042" << 42;
    QTest::newRow("largest") << "99999" << 99999;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("not a number") << "1a" << 0;
}

void TestSettingsPages::passwordFromText() {
    QFETCH(QString, text);
    QFETCH(int, number);
    QCOMPARE(PasswordFromText(text), number);
}

void TestSettingsPages::passwordEntry() {
    Pages f(SETTINGS_V1_1);
    f.settings.TxPowerCommon = true;
    f.settings.TxPowerPassword = 42;
    f.pages->RefreshSettings();
    auto* edit = f.Get<QLineEdit>("MaskEditPassword");
    QCOMPARE(edit->displayText(), QStringLiteral("00042"));

    edit->setFocus();
    edit->clear();
    edit->home(false);
    QTest::keyClicks(edit, "12");
    QCOMPARE(edit->displayText(), QStringLiteral("12000"));
    QCOMPARE(f.settings.TxPowerPassword, 12000);

    // The radio keeps 16 bits: a larger password is refused, never cut.
    edit->clear();
    edit->home(false);
    QTest::keyClicks(edit, "65535");
    QVERIFY(!IsRed(edit));
    QCOMPARE(f.settings.TxPowerPassword, 65535);
    edit->clear();
    edit->home(false);
    QTest::keyClicks(edit, "65536");
    QVERIFY(IsRed(edit));
    QCOMPARE(f.settings.TxPowerPassword, 65530); // the last shown number that fits
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->displayText(), QStringLiteral("65530"));
    QVERIFY(!IsRed(edit));
}

void TestSettingsPages::startupMode_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("item");
    QTest::newRow("0x84") << 0x84 << 0;
    QTest::newRow("0x80") << 0x80 << 0;
    QTest::newRow("0x00") << 0x00 << 1;
    QTest::newRow("0xC0") << 0xC0 << 1;
}

void TestSettingsPages::startupMode() {
    QFETCH(int, stored);
    QFETCH(int, item);
    Pages f;
    auto* combo = f.Get<QComboBox>("ComboBoxStartupMode");
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->itemText(0), QStringLiteral("Включить станцию в режим приема"));
    QCOMPARE(combo->itemText(1), QStringLiteral("Восстановить состояние"));
    f.settings.StartupMode = stored;
    f.pages->RefreshSettings();
    QCOMPARE(combo->currentIndex(), item);
    QCOMPARE(f.settings.StartupMode, stored);

    combo->setFocus();
    QTest::keyClick(combo, item == 0 ? Qt::Key_Down : Qt::Key_Up);
    QCOMPARE(f.settings.StartupMode, item == 0 ? 0 : 0x84);
    QTest::keyClick(combo, item == 0 ? Qt::Key_Up : Qt::Key_Down);
    QCOMPARE(f.settings.StartupMode, item == 0 ? 0x84 : 0);
}

void TestSettingsPages::checkBoxesWriteTheirField_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("field"); // index into the table below
    const char* names[] = {"CheckBoxSquelchOn",     "CheckBoxSquelchAutoVolume",
                           "CheckBoxExtSpeaker",    "CheckBoxTamp",
                           "CheckBoxKeyBeep",       "CheckBoxDigitalDelay",
                           "CheckBoxKeyLock",       "CheckBoxTxVoiceMonitor",
                           "CheckBoxDeemphasisOff", "CheckBoxMuxChannel"};
    for (int i = 0; i < int(std::size(names)); ++i)
        QTest::newRow(names[i]) << QString::fromLatin1(names[i]) << i;
}

void TestSettingsPages::checkBoxesWriteTheirField() {
    QFETCH(QString, name);
    QFETCH(int, field);
    Pages f;
    bool SettingsContext::*const fields[] = {
        &SettingsContext::Squelch_On,    &SettingsContext::SquelchAutoVol_On,
        &SettingsContext::ExtSpeaker_On, &SettingsContext::Tamp,
        &SettingsContext::KeyBeep,       &SettingsContext::DigitalDelay,
        &SettingsContext::KeyLock,       &SettingsContext::TxVoiceMonitor,
        &SettingsContext::DeemphasisOff, &SettingsContext::MultiplexedChannel};
    bool& value = f.settings.*fields[field];
    auto* box = f.Get<QCheckBox>(name.toLatin1().constData());
    QCOMPARE(box->isChecked(), value);
    const bool before = value;
    box->click();
    QCOMPARE(value, !before);
    value = before;
    f.pages->RefreshSettings();
    QCOMPARE(box->isChecked(), before);
}

void TestSettingsPages::dropDownsAndButtons() {
    Pages f;
    f.Get<QRadioButton>("RadioButtonTxMax")->click();
    QVERIFY(f.settings.TxPower);
    f.Get<QRadioButton>("RadioButtonTxMin")->click();
    QVERIFY(!f.settings.TxPower);

    f.Get<QRadioButton>("RadioButtonMicAmp2")->click();
    QCOMPARE(f.settings.MicAmp, 2);

    auto* lock = f.Get<QToolButton>("ButtonStartChannelLock");
    const QImage unlocked = lock->icon().pixmap(16).toImage();
    lock->click();
    QVERIFY(f.settings.StartChannelLock);
    QVERIFY(lock->icon().pixmap(16).toImage() != unlocked);
    lock->click();
    QVERIFY(!f.settings.StartChannelLock);
    QCOMPARE(lock->icon().pixmap(16).toImage(), unlocked);
    f.Get<QToolButton>("ButtonSpecChannelLock")->click();
    QVERIFY(f.settings.SpecChannelLock);
    QVERIFY(!f.settings.StartChannelLock);

    auto* output = f.Get<QComboBox>("ComboBoxOutput2Function");
    QCOMPARE(output->count(), 9);
    QCOMPARE(output->itemText(8), QStringLiteral("Активен при готовности приемника"));
    Pages::Choose(output, 5);
    QCOMPARE(f.settings.Output2Function, 5);
    QCOMPARE(f.settings.Output1Function, 0);

    Pages::Choose(f.Get<QComboBox>("ComboBoxSqwMonitorPolarity"), 1);
    QVERIFY(f.settings.SqwMonitorPolarity);
}

void TestSettingsPages::commonValuesReachThePainter() {
    Pages f;
    QSignalSpy changed(f.pages.get(), &SettingsPages::commonValuesChanged);
    f.settings.SqlCommon = true;
    f.settings.TxPowerCommon = true;
    f.settings.Squelch = 5;
    f.settings.MaxTxPower = 3;
    f.pages->RefreshSettings();
    QVERIFY(f.painter.commonSquelch);
    QVERIFY(f.painter.commonPower);
    QCOMPARE(f.painter.commonSquelchLevel, 5);
    QCOMPARE(f.painter.commonPowerLevel, 3);
    QVERIFY(!changed.isEmpty());
    QCOMPARE(f.Get<QComboBox>("ComboBoxSquelchLevel")->currentText(), QStringLiteral("L5"));

    changed.clear();
    Pages::Choose(f.Get<QComboBox>("ComboBoxSquelchLevel"), 7);
    QCOMPARE(f.settings.Squelch, 8);
    QCOMPARE(f.painter.commonSquelchLevel, 8);
    Pages::Choose(f.Get<QComboBox>("ComboBoxMaxTxPower"), 0);
    QCOMPARE(f.settings.MaxTxPower, 1);
    QCOMPARE(f.painter.commonPowerLevel, 1);
    Pages::Choose(f.Get<QComboBox>("ComboBoxSquelchCommon"), 0);
    QVERIFY(!f.settings.SqlCommon);
    QVERIFY(!f.painter.commonSquelch);
    QVERIFY(f.Get<QComboBox>("ComboBoxSquelchLevel")->isHidden());
    Pages::Choose(f.Get<QComboBox>("ComboBoxTxPowerCommon"), 0);
    QVERIFY(!f.settings.TxPowerCommon);
    QVERIFY(!f.painter.commonPower);
    QVERIFY(f.Get<QLineEdit>("MaskEditPassword")->isHidden());
    QCOMPARE(changed.count(), 4);

    // A table before 1.1 has no common values: the grid must not keep showing old ones.
    f.settings.SqlCommon = true;
    f.settings.TxPowerCommon = true;
    f.pages->RefreshSettings();
    QVERIFY(f.painter.commonSquelch);
    f.settings.version = SETTINGS_V1_0;
    f.pages->RefreshSettings();
    QVERIFY(!f.painter.commonSquelch);
    QVERIFY(!f.painter.commonPower);
}

void TestSettingsPages::refreshLeavesUnshownValuesAlone() {
    Pages f;
    f.settings.Output1Function = 12;
    f.settings.BeepMin = 10;
    f.settings.BeepMax = 5;
    f.settings.ScanPause = 75;
    f.pages->RefreshSettings();
    QCOMPARE(f.Get<QComboBox>("ComboBoxOutput1Function")->currentIndex(), 0);
    QCOMPARE(f.settings.Output1Function, 12);
    QCOMPARE(f.settings.BeepMin, 10); // the refresh does not drag the sliders
    QCOMPARE(f.settings.BeepMax, 5);
    QVERIFY(IsRed(f.Get<QLineEdit>("EditScanPause")));
    QCOMPARE(f.settings.ScanPause, 75);
}

void TestSettingsPages::readOnlyEditClickFocusesTrackBar() {
    Pages f;
    auto* edit = f.Get<QLineEdit>("EditVolume");
    QVERIFY(edit->isReadOnly());
    QCOMPARE(edit->focusPolicy(), Qt::NoFocus);
    QTest::mouseClick(edit, Qt::LeftButton);
    QVERIFY(f.Get<TrackBar>("TrackBarVolume")->hasFocus());
}

QTEST_MAIN(TestSettingsPages)
#include "tst_settings_pages.moc"
