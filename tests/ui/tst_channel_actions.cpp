// The channel editor's actions: opening, stepping between slots (with Shift), the copy
// controls, erasing, the keyboard actions and the mouse wheel.

#include "tst_channel_fixture.h"

class TestChannelActions : public QObject {
    Q_OBJECT
private slots:
    void openClampsIndex_data();
    void openClampsIndex();
    void nextAndPrevStoreAndLoad();
    void shiftNextCopiesIntoBothSlots();
    void steppingOntoInvalidSlotKeepsButtonsOff();
    void numberOfATableThatStoresNone_data();
    void numberOfATableThatStoresNone();
    void keyboardActions();
    void copyControls();
    void eraseThenOk();
    void eraseThenCancelKeepsSlot();
    void wheelOnFrequency_data();
    void wheelOnFrequency();
    void wheelOnTransmitFrequency();
    void wheelOnSlotAndNumberEdits_data();
    void wheelOnSlotAndNumberEdits();
    void wheelIsClaimedByTheDialog();
    void stepFunctions();
};

void TestChannelActions::openClampsIndex_data() {
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("opened");
    QTest::addColumn<bool>("prev");
    QTest::addColumn<bool>("next");
    QTest::newRow("header row") << -1 << 0 << false << true;
    QTest::newRow("first") << 0 << 0 << false << true;
    QTest::newRow("middle") << 57 << 57 << true << true;
    QTest::newRow("last") << 199 << 199 << true << false;
    QTest::newRow("beyond") << 250 << 199 << true << false;
}

void TestChannelActions::openClampsIndex() {
    QFETCH(int, requested);
    QFETCH(int, opened);
    QFETCH(bool, prev);
    QFETCH(bool, next);
    EditorFixture fx;
    fx.Slot(opened) = ChannelAt(150000000);
    fx.Slot(opened).number = 9;
    fx.Open(requested);
    QCOMPARE(fx.dlg.Index(), opened);
    QCOMPARE(fx.dlg.windowTitle(), QStringLiteral("Ячейка %1").arg(opened));
    QCOMPARE(fx.Edit("EditChannelName")->text(), QStringLiteral("9"));
    QCOMPARE(fx.Button("ButtonPrev")->isEnabled(), prev);
    QCOMPARE(fx.Button("ButtonNext")->isEnabled(), next);
    QCOMPARE(fx.dlg.focusWidget(), fx.Combo("ComboBoxBandRx")); // first show
}

void TestChannelActions::nextAndPrevStoreAndLoad() {
    EditorFixture fx;
    fx.Slot(10) = ChannelAt(150000000);
    fx.Slot(11) = ChannelAt(160000000);
    fx.Slot(11).number = 77;
    fx.Open(10);
    EditorFixture::TypeOver(fx.Edit("EditChannelName"), "33");
    EditorFixture::Tick(fx.Box("CheckBoxScan"));
    EditorFixture::Tick(fx.Box("CheckBoxFlag5"));

    QTest::mouseClick(fx.Button("ButtonNext"), Qt::LeftButton);
    QCOMPARE(fx.Slot(10).number, 33); // stored on the way
    QCOMPARE(fx.Slot(10).scan, false);
    QCOMPARE(fx.Slot(10).flag5, true);
    QCOMPARE(fx.dlg.Index(), 11);
    QCOMPARE(fx.dlg.windowTitle(), QStringLiteral("Ячейка 11"));
    QCOMPARE(fx.Edit("EditChannelName")->text(), QStringLiteral("77"));
    QCOMPARE(fx.Edit("MaskEditFreqRx")->displayText(), QStringLiteral("160 000 000"));
    QVERIFY(fx.Box("CheckBoxScan")->isChecked());
    QVERIFY(!fx.Box("CheckBoxFlag5")->isChecked());
    QCOMPARE(fx.gridRows, std::vector<int>{12});

    QTest::mouseClick(fx.Button("ButtonPrev"), Qt::LeftButton);
    QCOMPARE(fx.dlg.Index(), 10);
    QCOMPARE(fx.Edit("EditChannelName")->text(), QStringLiteral("33"));
    QCOMPARE(fx.gridRows, (std::vector<int>{12, 11}));
    fx.Button("ButtonCancel")->click();
    QCOMPARE(fx.Slot(11).number, 77); // stored unchanged when leaving it

    // At the last slot Next switches off.
    fx.Slot(198) = ChannelAt(150000000);
    fx.Open(198);
    QTest::mouseClick(fx.Button("ButtonNext"), Qt::LeftButton);
    QCOMPARE(fx.dlg.Index(), 199);
    QVERIFY(!fx.Button("ButtonNext")->isEnabled());
    QVERIFY(fx.Button("ButtonPrev")->isEnabled());
}

void TestChannelActions::shiftNextCopiesIntoBothSlots() {
    EditorFixture fx;
    fx.Slot(10) = ChannelAt(150000000);
    fx.Slot(11) = ChannelAt(160000000);
    fx.Slot(11).number = 77;
    fx.Open(10);
    EditorFixture::TypeOver(fx.Edit("EditChannelName"), "42");
    EditorFixture::TypeOver(fx.Edit("MaskEditFreqRx"), "1512500");

    QTest::mouseClick(fx.Button("ButtonNext"), Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(fx.dlg.Index(), 11);
    QCOMPARE(fx.dlg.windowTitle(), QStringLiteral("Ячейка 11"));
    for (int slot : {10, 11}) {
        QCOMPARE(fx.Slot(slot).freq_rx, 151250000);
        QCOMPARE(fx.Slot(slot).freq_tx, 151250000);
        QCOMPARE(fx.Slot(slot).number, 42);
    }
    // The dialog keeps the copied content.
    QCOMPARE(fx.Edit("EditChannelName")->text(), QStringLiteral("42"));
    QCOMPARE(fx.Edit("MaskEditFreqRx")->displayText(), QStringLiteral("151 250 000"));
    QCOMPARE(fx.gridRows, std::vector<int>{12});
}

// A slot the dialog steps onto that cannot be stored as it is must not be passed on by Next or
// Prev either.
void TestChannelActions::steppingOntoInvalidSlotKeepsButtonsOff() {
    EditorFixture fx;
    fx.Slot(10) = ChannelAt(150000000);
    fx.Slot(11) = ChannelAt(150000000);
    fx.Slot(11).number = 111;
    fx.Open(10);
    QTest::mouseClick(fx.Button("ButtonNext"), Qt::LeftButton);
    QCOMPARE(fx.dlg.Index(), 11);
    QVERIFY(!fx.Button("ButtonOk")->isEnabled());
    QVERIFY(!fx.Button("ButtonNext")->isEnabled());
    QVERIFY(!fx.Button("ButtonPrev")->isEnabled());
    QTest::keyClick(&fx.dlg, Qt::Key_F4);
    QCOMPARE(fx.dlg.Index(), 11);

    EditorFixture::TypeOver(fx.Edit("EditChannelName"), "11");
    QVERIFY(fx.Button("ButtonNext")->isEnabled());
    QVERIFY(fx.Button("ButtonPrev")->isEnabled());
}

void TestChannelActions::numberOfATableThatStoresNone_data() {
    QTest::addColumn<int>("imageVersion"); // channels 100..199 read from an image of it
    QTest::addColumn<int>("radioFirst");   // the radio's own table versions (0: unknown)
    QTest::addColumn<int>("radioSecond");
    QTest::addColumn<bool>("stores");
    QTest::addColumn<QString>("colour");
    QTest::newRow("read from a 1.0 table") << 0x0100 << 0 << 0 << true << "yellow";
    QTest::newRow("read from a 2.0 table") << 0x0200 << 0 << 0 << false << "red";
    QTest::newRow("radio's second table is 1.0") << 0x0200 << 0x0200 << 0x0100 << true << "yellow";
    QTest::newRow("radio's second table is 2.0") << 0x0100 << 0x0100 << 0x0200 << false << "red";
}

// A 1.0 record has no channel number: after reading such a table every slot 100..199 holds
// its slot index as number, which must not keep the slot from being stored.
void TestChannelActions::numberOfATableThatStoresNone() {
    QFETCH(int, imageVersion);
    QFETCH(int, radioFirst);
    QFETCH(int, radioSecond);
    QFETCH(bool, stores);
    QFETCH(QString, colour);
    EditorFixture fx;
    for (int slot = 100; slot < 200; ++slot) {
        fx.Slot(slot) = ChannelAt(150000000);
        fx.Slot(slot).number = slot; // a 2.0 table carries it, a 1.0 read sets it
    }
    std::vector<uint8_t> image(TABLE_IMAGE_SIZE);
    QVERIFY(fx.channels.BuildImage(image.data(), static_cast<uint16_t>(imageVersion), 100));
    for (int slot = 100; slot < 200; ++slot)
        fx.Slot(slot).number = 0;
    QVERIFY(fx.channels.ParseImage(image.data(), 100));
    QCOMPARE(fx.Slot(101).number, 101);
    fx.dlg.SetTableVersions(static_cast<uint16_t>(radioFirst), static_cast<uint16_t>(radioSecond));

    fx.Open(101);
    QCOMPARE(fx.Edit("EditChannelName")->text(), QStringLiteral("101"));
    QCOMPARE(EditorFixture::Colour(fx.Edit("EditChannelName")), colour);
    QCOMPARE(fx.Edit("EditChannelName")->toolTip().isEmpty(), !stores);
    QCOMPARE(fx.Button("ButtonOk")->isEnabled(), stores);
    QCOMPARE(fx.Button("ButtonNext")->isEnabled(), stores);
    QCOMPARE(fx.Button("ButtonPrev")->isEnabled(), stores);
    QCOMPARE(fx.Edit("EditChannelSave")->isEnabled(), stores);
    if (!stores)
        return;
    EditorFixture::Tick(fx.Box("CheckBoxScan"));
    QTest::mouseClick(fx.Button("ButtonNext"), Qt::LeftButton);
    QCOMPARE(fx.dlg.Index(), 102);
    QCOMPARE(fx.Slot(101).scan, false);
    QCOMPARE(fx.Slot(101).number, 101);
    // Slots 0..99 of the same radio still have their numbers judged when that table keeps them.
    if (radioFirst == 0x0200) {
        fx.Slot(5) = ChannelAt(150000000);
        fx.Slot(5).number = 120;
        fx.dlg.hide();
        fx.Open(5);
        QVERIFY(!fx.Button("ButtonOk")->isEnabled());
    }
}

void TestChannelActions::keyboardActions() {
    EditorFixture fx;
    for (int slot : {4, 5, 6}) {
        fx.Slot(slot) = ChannelAt(150000000 + slot * 25000);
        fx.Slot(slot).number = slot;
    }
    fx.Open(5);
    QLineEdit* number = fx.Edit("EditChannelName");
    number->setFocus();
    QTest::keyClick(number, Qt::Key_F4);
    QCOMPARE(fx.dlg.Index(), 6);
    QTest::keyClick(number, Qt::Key_F3);
    QTest::keyClick(number, Qt::Key_F3);
    QCOMPARE(fx.dlg.Index(), 4);
    QTest::keyClick(fx.Edit("MaskEditFreqRx"), Qt::Key_F4, Qt::ShiftModifier);
    QCOMPARE(fx.dlg.Index(), 5);
    QCOMPARE(fx.Slot(5).freq_rx, 150100000); // slot 4's content copied on

    // Ctrl+Delete erases even from a line edit, which would otherwise take it.
    QTest::keyClick(number, Qt::Key_Delete, Qt::ControlModifier);
    QVERIFY(!fx.Box("CheckBoxFreqRx")->isChecked());
    QCOMPARE(number->text(), QStringLiteral("4")); // the (copied) number is kept

    // Enter takes OK, Escape cancels.
    QTest::keyClick(number, Qt::Key_Return);
    QVERIFY(!fx.dlg.isVisible());
    QVERIFY(!fx.Slot(5).IsUsed());
    fx.Open(6);
    EditorFixture::Tick(fx.Box("CheckBoxFreqRx"));
    QTest::keyClick(&fx.dlg, Qt::Key_Escape);
    QVERIFY(!fx.dlg.isVisible());
    QCOMPARE(fx.Slot(6).freq_rx, 150150000);
}

void TestChannelActions::copyControls() {
    EditorFixture fx;
    fx.Slot(3) = ChannelAt(150000000);
    fx.Slot(7) = ChannelAt(165000000);
    fx.Slot(7).number = 70;
    fx.Open(3);
    QLineEdit* load = fx.Edit("EditChannelLoad");
    QPushButton* loadButton = fx.Button("ButtonLoad");
    QVERIFY(load->text().isEmpty());
    QVERIFY(!loadButton->isEnabled());

    EditorFixture::TypeOver(load, "250");
    QVERIFY(load->text().isEmpty());
    QVERIFY(!loadButton->isEnabled());

    EditorFixture::TypeOver(load, "7");
    QVERIFY(loadButton->isEnabled());
    QTest::mouseClick(loadButton, Qt::LeftButton);
    QCOMPARE(fx.dlg.Index(), 3); // the slot being edited stays
    QCOMPARE(fx.dlg.windowTitle(), QStringLiteral("Ячейка 3"));
    QCOMPARE(fx.Edit("EditChannelName")->text(), QStringLiteral("70"));
    QCOMPARE(fx.Edit("MaskEditFreqRx")->displayText(), QStringLiteral("165 000 000"));
    QCOMPARE(fx.Slot(3).freq_rx, 150000000); // nothing stored yet

    EditorFixture::TypeOver(fx.Edit("EditChannelSave"), "120");
    QTest::mouseClick(fx.Button("ButtonSave"), Qt::LeftButton);
    QCOMPARE(fx.Slot(120).freq_rx, 165000000); // stored at once
    QCOMPARE(fx.Slot(120).number, 70);
    fx.Button("ButtonCancel")->click();
    QCOMPARE(fx.Slot(3).freq_rx, 150000000);
    QCOMPARE(fx.Slot(120).freq_rx, 165000000); // stays written after Cancel

    // The copy slots are remembered from one opening to the next.
    fx.Open(3);
    QCOMPARE(load->text(), QStringLiteral("7"));
    QCOMPARE(fx.Edit("EditChannelSave")->text(), QStringLiteral("120"));
}

void TestChannelActions::eraseThenOk() {
    EditorFixture fx;
    Channel& c = fx.Slot(8);
    c = ChannelAt(150000000, false);
    c.freq_tx = 151000000;
    c.tone_rx = c.tone_tx = 1750;
    c.subtone_rx = 12;
    c.subtone_tx = 60;
    c.tx_power_low = 1;
    c.tx_power_high = 2;
    c.number = 7;
    c.squelch = 6;
    c.scan = false;
    c.active = false;
    c.scrambler = true;
    c.tx_limit = true;
    c.tx_busy = false;
    c.flag0 = c.flag3 = c.flag7 = true;
    fx.Open(8);
    QTest::mouseClick(fx.Button("ButtonErase"), Qt::LeftButton);
    QVERIFY(!fx.Box("CheckBoxFreqRx")->isChecked());
    QVERIFY(!fx.Box("CheckBoxFreqTx")->isChecked());
    QCOMPARE(fx.Slot(8).freq_rx, 150000000); // nothing stored before OK
    QVERIFY(fx.Button("ButtonOk")->isEnabled());

    fx.Button("ButtonOk")->click();
    const Channel& s = fx.Slot(8);
    QVERIFY(!s.IsUsed());
    QCOMPARE(s.tone_rx, 0);
    QCOMPARE(s.tone_tx, 0);
    QCOMPARE(s.subtone_rx, 0);
    QCOMPARE(s.subtone_tx, 0);
    QVERIFY(s.scan && s.active && s.tx_busy && s.band_rx && s.band_tx);
    QVERIFY(!s.scrambler && !s.tx_limit);
    QVERIFY(!s.flag0 && !s.flag1 && !s.flag2 && !s.flag3 && !s.flag4 && !s.flag5 && !s.flag6 &&
            !s.flag7);
    QCOMPARE(s.squelch, 1);
    QCOMPARE(s.tx_power_low, 1);
    QCOMPARE(s.tx_power_high, 2);
    QCOMPARE(s.number, 7);
}

void TestChannelActions::eraseThenCancelKeepsSlot() {
    EditorFixture fx;
    fx.Slot(8) = ChannelAt(150000000);
    const Channel before = fx.Slot(8);
    fx.Open(8);
    QTest::mouseClick(fx.Button("ButtonErase"), Qt::LeftButton);
    fx.Button("ButtonCancel")->click();
    QVERIFY(fx.Slot(8) == before);
}

void TestChannelActions::wheelOnFrequency_data() {
    QTest::addColumn<std::vector<Band>>("ranges");
    QTest::addColumn<bool>("band25");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("mods");
    QTest::addColumn<int>("to");

    const std::vector<Band> vhf{{146000000, 174000000}};
    const int none = Qt::NoModifier, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
    QTest::newRow("up onto the raster") << vhf << true << 156812500 << 120 << none << 156825000;
    QTest::newRow("down onto the raster") << vhf << true << 156812500 << -120 << none << 156800000;
    QTest::newRow("down one step") << vhf << true << 156800000 << -120 << none << 156775000;
    QTest::newRow("12.5 kHz up") << vhf << false << 156800000 << 120 << none << 156812500;
    QTest::newRow("Shift up") << vhf << true << 156812500 << 120 << shift << 157800000;
    QTest::newRow("Shift down") << vhf << true << 156812500 << -120 << shift << 155800000;
    QTest::newRow("Ctrl up") << vhf << false << 156812500 << 120 << ctrl << 156912500;
    QTest::newRow("two notches") << vhf << true << 156800000 << 240 << none << 156850000;
    QTest::newRow("above the last range") << vhf << true << 174000000 << 120 << none << 174000000;
    QTest::newRow("Shift above the top") << vhf << true << 173500000 << 120 << shift << 174000000;
    QTest::newRow("below the first range") << vhf << true << 146000000 << -120 << none << 146000000;
    const std::vector<Band> two{{33000000, 40000000}, {45000000, 48500000}};
    QTest::newRow("up across a gap") << two << false << 40000000 << 120 << none << 45000000;
    QTest::newRow("down across a gap") << two << false << 45000000 << -120 << none << 40000000;
    const std::vector<Band> cb{{26000000, 30000000}};
    QTest::newRow("10 kHz raster up") << cb << true << 27005000 << 120 << none << 27010000;
    QTest::newRow("10 kHz raster down") << cb << true << 27010000 << -120 << none << 27000000;
}

void TestChannelActions::wheelOnFrequency() {
    QFETCH(std::vector<Band>, ranges);
    QFETCH(bool, band25);
    QFETCH(int, from);
    QFETCH(int, delta);
    QFETCH(int, mods);
    QFETCH(int, to);
    EditorFixture fx;
    FreqRange set;
    for (const Band& b : ranges) {
        set.AddRx(b.first, b.second);
        set.AddTx(b.first, b.second);
    }
    fx.channels.ranges.Clear();
    fx.channels.ranges.Add(set);
    fx.channels.ranges.Select(0);
    fx.Slot(0) = ChannelAt(from, band25);
    fx.Open(0);
    QLineEdit* rx = fx.Edit("MaskEditFreqRx");
    QVERIFY(rx->isEnabled());
    EditorFixture::Wheel(rx, delta, Qt::KeyboardModifiers(mods));
    QCOMPARE(fx.dlg.Work().freq_rx, to);
    QCOMPARE(EditorFixture::Digits(rx).toInt(), to);
    QVERIFY(!rx->hasSelectedText());
    QCOMPARE(fx.dlg.focusWidget(), rx);
}

void TestChannelActions::wheelOnTransmitFrequency() {
    EditorFixture fx;
    fx.Slot(0) = ChannelAt(150000000);
    fx.Slot(0).freq_tx = 155000000; // not linked
    fx.Open(0);
    QLineEdit* tx = fx.Edit("MaskEditFreqTx");
    EditorFixture::Wheel(tx, 120);
    QCOMPARE(fx.dlg.Work().freq_tx, 155025000);
    QCOMPARE(fx.dlg.Work().freq_rx, 150000000);

    // A disabled edit under the pointer is passed over; the focused frequency edit steps.
    fx.Link("ButtonFreqEqual")->click();
    QVERIFY(!tx->isEnabled());
    fx.Edit("MaskEditFreqRx")->setFocus();
    EditorFixture::Wheel(tx, -120);
    QCOMPARE(fx.dlg.Work().freq_rx, 149975000);
}

void TestChannelActions::wheelOnSlotAndNumberEdits_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("start"); // typed before the wheel; "" leaves the edit empty
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("mods");
    QTest::addColumn<QString>("shown");

    const int none = Qt::NoModifier, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
    QTest::newRow("load from -1 down") << "EditChannelLoad"
                                       << "" << -120 << none << "199";
    QTest::newRow("load from -1 up") << "EditChannelLoad"
                                     << "" << 120 << none << "1";
    QTest::newRow("load Shift up") << "EditChannelLoad"
                                   << "5" << 120 << shift << "15";
    QTest::newRow("load Ctrl down at 0") << "EditChannelLoad"
                                         << "3" << -120 << ctrl << "0";
    QTest::newRow("save up at the end") << "EditChannelSave"
                                        << "199" << 120 << none << "199";
    QTest::newRow("save from -1 down") << "EditChannelSave"
                                       << "" << -120 << none << "199";
    QTest::newRow("number 100 down") << "EditChannelName"
                                     << "100" << -120 << none << "98";
    QTest::newRow("number 100 up") << "EditChannelName"
                                   << "100" << 120 << none << "1";
    QTest::newRow("number Shift up at 95") << "EditChannelName"
                                           << "95" << 120 << shift << "99";
}

void TestChannelActions::wheelOnSlotAndNumberEdits() {
    QFETCH(QString, edit);
    QFETCH(QString, start);
    QFETCH(int, delta);
    QFETCH(int, mods);
    QFETCH(QString, shown);
    EditorFixture fx;
    fx.Slot(0) = ChannelAt(150000000);
    fx.Open(0);
    QLineEdit* e = fx.Edit(qPrintable(edit));
    if (!start.isEmpty())
        EditorFixture::TypeOver(e, start);
    EditorFixture::Wheel(e, delta, Qt::KeyboardModifiers(mods));
    QCOMPARE(e->text(), shown);
    QCOMPARE(EditorFixture::Colour(e), QStringLiteral("normal"));
    // After the step every control is usable again.
    QVERIFY(fx.Button("ButtonOk")->isEnabled());
    if (edit == "EditChannelLoad")
        QVERIFY(fx.Button("ButtonLoad")->isEnabled());
    if (edit == "EditChannelName") {
        fx.Button("ButtonOk")->click();
        QCOMPARE(fx.Slot(0).number, shown.toInt());
    }
}

void TestChannelActions::wheelIsClaimedByTheDialog() {
    EditorFixture fx;
    fx.Slot(0) = ChannelAt(150000000);
    fx.Open(0);
    QComboBox* band = fx.Combo("ComboBoxBandRx");
    QComboBox* squelch = fx.Combo("ComboBoxSquelch");
    EditorFixture::Wheel(band, -120);
    EditorFixture::Wheel(squelch, -120);
    QCOMPARE(band->currentIndex(), 1);
    QCOMPARE(squelch->currentIndex(), 0);
    QCOMPARE(fx.dlg.Work().freq_rx, 150000000);

    // Half notches from a fine-grained wheel add up to one step.
    QLineEdit* rx = fx.Edit("MaskEditFreqRx");
    EditorFixture::Wheel(rx, 60);
    QCOMPARE(fx.dlg.Work().freq_rx, 150000000);
    EditorFixture::Wheel(rx, 60);
    QCOMPARE(fx.dlg.Work().freq_rx, 150025000);
}

void TestChannelActions::stepFunctions() {
    using M = Qt::KeyboardModifiers;
    QCOMPARE(TFormChan::StepFrequency(M(), 120, true, 156812500), 156825000);
    QCOMPARE(TFormChan::StepFrequency(M(), -120, false, 156806000), 156800000);
    QCOMPARE(TFormChan::StepFrequency(M(Qt::ShiftModifier), 120, true, 156812500), 157800000);
    QCOMPARE(TFormChan::StepFrequency(M(), -120, true, 10000), 0); // never below zero
    QCOMPARE(TFormChan::StepIndex(M(), -120, -1), 199);
    QCOMPARE(TFormChan::StepIndex(M(), 120, 250), 1);
    QCOMPARE(TFormChan::StepIndex(M(Qt::ShiftModifier), -120, 4), 0);
    QCOMPARE(TFormChan::StepNumberValue(M(), -120, 100), 98);
    QCOMPARE(TFormChan::StepNumberValue(M(), 120, -1), 1);
}

QTEST_MAIN(TestChannelActions)
#include "tst_channel_actions.moc"
