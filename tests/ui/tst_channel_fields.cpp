// The channel editor's entries: judgement of frequencies while typing, the masked edits,
// subtones, call tones, power and squelch, the channel number and the flag captions.

#include "tst_channel_fixture.h"

#include "model/Cp1251.h"

class TestChannelFields : public QObject {
    Q_OBJECT
private slots:
    void linkedSlotOpensTickedAndFollowsBand();
    void typedReceiveFrequency_data();
    void typedReceiveFrequency();
    void typedTransmitFrequency_data();
    void typedTransmitFrequency();
    void loadedWarningFrequency();
    void linkedTransmitOutsideTransmitRanges();
    void slotOutsideRangeOpensUnticked();
    void offRasterFrequencyOpensRedInsteadOfBeingDropped_data();
    void offRasterFrequencyOpensRedInsteadOfBeingDropped();
    void eightDigitMaskAndSwitchingMasks();
    void subtoneOnOpen_data();
    void subtoneOnOpen();
    void choosingDcsFollowsOnLinkedTransmit();
    void callTones();
    void numberOutOfRangeBlocksStoring();
    void commonPowerAndSquelch();
    void ownPowerLevelsAndChoice();
    void flagCaptions();
    void parseAndFormatFrequency();
};

void TestChannelFields::linkedSlotOpensTickedAndFollowsBand() {
    EditorFixture fx;
    fx.Slot(3) = ChannelAt(156800000);
    fx.Open(3);

    QCOMPARE(fx.dlg.windowTitle(), QStringLiteral("Ячейка 3"));
    QVERIFY(fx.Box("CheckBoxFreqRx")->isChecked());
    QVERIFY(fx.Box("CheckBoxFreqTx")->isChecked());
    QVERIFY(!fx.Box("CheckBoxFreqTx")->isEnabled()); // linked
    QVERIFY(!fx.Edit("MaskEditFreqTx")->isEnabled());
    QCOMPARE(fx.Edit("MaskEditFreqRx")->displayText(), QStringLiteral("156 800 000"));
    QCOMPARE(fx.Edit("MaskEditFreqTx")->displayText(), QStringLiteral("156 800 000"));
    QCOMPARE(EditorFixture::Colour(fx.Edit("MaskEditFreqRx")), QStringLiteral("normal"));
    QVERIFY(fx.Button("ButtonOk")->isEnabled());

    // 25 kHz → 12.5 kHz from the keyboard; the linked transmit band follows.
    QComboBox* band = fx.Combo("ComboBoxBandRx");
    QCOMPARE(band->currentIndex(), 1);
    QTest::keyClick(band, Qt::Key_Up);
    QCOMPARE(band->currentText(), QStringLiteral("12,5 кГц"));
    QCOMPARE(fx.Combo("ComboBoxBandTx")->currentIndex(), 0);
    QCOMPARE(EditorFixture::Colour(fx.Edit("MaskEditFreqRx")), QStringLiteral("normal"));

    fx.Button("ButtonOk")->click();
    QVERIFY(!fx.dlg.isVisible());
    QCOMPARE(fx.Slot(3).band_rx, false);
    QCOMPARE(fx.Slot(3).band_tx, false);
    QCOMPARE(fx.Slot(3).freq_tx, 156800000);
}

// Typing seven (or six) digits over the receive edit of a slot in the given band.
void TestChannelFields::typedReceiveFrequency_data() {
    QTest::addColumn<uint32_t>("rangeBegin");
    QTest::addColumn<uint32_t>("rangeEnd");
    QTest::addColumn<bool>("band25");
    QTest::addColumn<bool>("linked"); // else a receive-only slot
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("hz");
    QTest::addColumn<QString>("colour");
    QTest::addColumn<bool>("okEnabled");

    const uint32_t vhfB = 146000000, vhfE = 174000000;
    const bool both = true, rxOnly = false;
    // clang-format off
    QTest::newRow("156.8 MHz, 25 kHz")      << vhfB << vhfE << true  << both << "1568000" << 156800000 << "normal" << true;
    QTest::newRow("156.8 MHz, 12.5 kHz")    << vhfB << vhfE << false << both << "1568000" << 156800000 << "normal" << true;
    QTest::newRow("156.8125 MHz, 25 kHz")   << vhfB << vhfE << true  << both << "1568125" << 156812500 << "yellow" << true;
    QTest::newRow("156.8125 MHz, 12.5 kHz") << vhfB << vhfE << false << both << "1568125" << 156812500 << "normal" << true;
    QTest::newRow("156.81 MHz, 25 kHz")     << vhfB << vhfE << true  << both << "1568100" << 156810000 << "red"    << false;
    QTest::newRow("156.81 MHz, 12.5 kHz")   << vhfB << vhfE << false << both << "1568100" << 156810000 << "red"    << false;
    QTest::newRow("typed zeros count")      << vhfB << vhfE << true  << both << "1560125" << 156012500 << "yellow" << true;
    QTest::newRow("below the range")        << vhfB << vhfE << true  << both << "1450000" << 145000000 << "red"    << false;
    const uint32_t cbB = 26000000, cbE = 30000000;
    QTest::newRow("27.005 MHz, 25 kHz")     << cbB << cbE << true  << rxOnly << "270050" << 27005000 << "yellow" << true;
    QTest::newRow("27.005 MHz, 12.5 kHz")   << cbB << cbE << false << rxOnly << "270050" << 27005000 << "yellow" << true;
    QTest::newRow("27.01 MHz, 25 kHz")      << cbB << cbE << true  << rxOnly << "270100" << 27010000 << "normal" << true;
    QTest::newRow("27.01 MHz, 12.5 kHz")    << cbB << cbE << false << rxOnly << "270100" << 27010000 << "normal" << true;
    QTest::newRow("27.001 MHz, 25 kHz")     << cbB << cbE << true  << rxOnly << "270010" << 27001000 << "red"    << false;
    QTest::newRow("27.001 MHz, 12.5 kHz")   << cbB << cbE << false << rxOnly << "270010" << 27001000 << "red"    << false;
    QTest::newRow("27.01 MHz, linked")      << cbB << cbE << false << both   << "270100" << 27010000 << "normal" << false;
    const uint32_t lowB = 33000000, lowE = 48500000;
    QTest::newRow("41.9 MHz")               << lowB << lowE << true << both << "419000" << 41900000 << "yellow" << true;
    QTest::newRow("41.925 MHz")             << lowB << lowE << true << both << "419250" << 41925000 << "normal" << true;
    // clang-format on
}

void TestChannelFields::typedReceiveFrequency() {
    QFETCH(uint32_t, rangeBegin);
    QFETCH(uint32_t, rangeEnd);
    QFETCH(bool, band25);
    QFETCH(bool, linked);
    QFETCH(QString, keys);
    QFETCH(int, hz);
    QFETCH(QString, colour);
    QFETCH(bool, okEnabled);

    EditorFixture fx({{rangeBegin, rangeEnd}});
    fx.Slot(0) = ChannelAt(static_cast<int32_t>(rangeBegin), band25);
    if (!linked)
        fx.Slot(0).freq_tx = 0;
    fx.Open(0);
    QCOMPARE(fx.Box("CheckBoxFreqTx")->isChecked(), linked);
    QLineEdit* rx = fx.Edit("MaskEditFreqRx");
    EditorFixture::TypeOver(rx, keys);

    QCOMPARE(fx.dlg.Work().freq_rx, hz);
    const int digits = rangeEnd >= 100000000 ? 9 : 8;
    QCOMPARE(EditorFixture::Digits(rx), QStringLiteral("%1").arg(hz, digits, 10, QLatin1Char('0')));
    QCOMPARE(EditorFixture::Colour(rx), colour);
    QCOMPARE(fx.Button("ButtonOk")->isEnabled(), okEnabled);
    QCOMPARE(fx.Button("ButtonNext")->isEnabled(), okEnabled);
    QCOMPARE(fx.Edit("EditWarning")->isVisible(), hz == 41900000);
    if (okEnabled) {
        fx.Button("ButtonOk")->click();
        QCOMPARE(fx.Slot(0).freq_rx, hz);
        QCOMPARE(fx.Slot(0).freq_tx, linked ? hz : -1);
    }
}

// The transmit edit of an unlinked slot has no 26–30 MHz and no 41.9 MHz rule.
void TestChannelFields::typedTransmitFrequency_data() {
    QTest::addColumn<uint32_t>("rangeBegin");
    QTest::addColumn<uint32_t>("rangeEnd");
    QTest::addColumn<bool>("band25");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("colour");

    const uint32_t vhfB = 146000000, vhfE = 174000000;
    QTest::newRow("156.8125 MHz, 25 kHz") << vhfB << vhfE << true << "1568125"
                                          << "yellow";
    QTest::newRow("156.8125 MHz, 12.5 kHz") << vhfB << vhfE << false << "1568125"
                                            << "normal";
    QTest::newRow("156.81 MHz") << vhfB << vhfE << false << "1568100"
                                << "red";
    QTest::newRow("27.005 MHz") << 26000000u << 30000000u << true << "270050"
                                << "red";
    QTest::newRow("27.0125 MHz, 12.5 kHz") << 26000000u << 30000000u << false << "270125"
                                           << "normal";
    QTest::newRow("41.9 MHz") << 33000000u << 48500000u << true << "419000"
                              << "normal";
}

void TestChannelFields::typedTransmitFrequency() {
    QFETCH(uint32_t, rangeBegin);
    QFETCH(uint32_t, rangeEnd);
    QFETCH(bool, band25);
    QFETCH(QString, keys);
    QFETCH(QString, colour);

    EditorFixture fx({{rangeBegin, rangeEnd}});
    fx.Slot(0) = ChannelAt(static_cast<int32_t>(rangeBegin), band25);
    fx.Open(0);
    fx.Link("ButtonFreqEqual")->click();
    QLineEdit* tx = fx.Edit("MaskEditFreqTx");
    QVERIFY(tx->isEnabled());
    EditorFixture::TypeOver(tx, keys);
    QCOMPARE(EditorFixture::Colour(tx), colour);
    QCOMPARE(fx.Button("ButtonOk")->isEnabled(), colour != "red");
    QCOMPARE(fx.dlg.Work().freq_rx, static_cast<int32_t>(rangeBegin)); // receive untouched
    QVERIFY(!fx.Edit("EditWarning")->isVisible());
}

void TestChannelFields::loadedWarningFrequency() {
    EditorFixture fx({{33000000, 48500000}});
    fx.Slot(0) = ChannelAt(41900000);
    fx.Slot(1) = ChannelAt(41925000);
    fx.Open(0);
    QCOMPARE(EditorFixture::Colour(fx.Edit("MaskEditFreqRx")), QStringLiteral("yellow"));
    QVERIFY(fx.Edit("EditWarning")->isVisible());
    QVERIFY(fx.W<QWidget>("ImageWarning")->isVisible());
    QCOMPARE(fx.Edit("EditWarning")->text(),
             QStringLiteral("Внимание!!! Корректный прием на частоте 41.9МГц обеспечивается "
                            "только с аппаратной опцией №25!"));
    QVERIFY(fx.Button("ButtonOk")->isEnabled()); // a warning never blocks

    fx.Button("ButtonNext")->click();
    QCOMPARE(fx.dlg.Index(), 1);
    QCOMPARE(EditorFixture::Colour(fx.Edit("MaskEditFreqRx")), QStringLiteral("normal"));
    QVERIFY(!fx.Edit("EditWarning")->isVisible());
    QVERIFY(!fx.W<QWidget>("ImageWarning")->isVisible());
}

// Receive 146–174 MHz but transmit only 146–160 MHz: a linked transmit frequency must still
// be one the transmitter may use before the slot can be stored.
void TestChannelFields::linkedTransmitOutsideTransmitRanges() {
    EditorFixture fx({{146000000, 174000000}}, {{146000000, 160000000}});
    fx.Slot(0) = ChannelAt(150000000);
    fx.Open(0);
    QVERIFY(!fx.Box("CheckBoxFreqTx")->isEnabled()); // linked
    QVERIFY(fx.Button("ButtonOk")->isEnabled());

    EditorFixture::TypeOver(fx.Edit("MaskEditFreqRx"), "1650000");
    QCOMPARE(fx.dlg.Work().freq_rx, 165000000);
    QCOMPARE(EditorFixture::Colour(fx.Edit("MaskEditFreqRx")), QStringLiteral("normal"));
    QCOMPARE(fx.Edit("MaskEditFreqTx")->palette().color(QPalette::Disabled, QPalette::Base),
             QColor(Qt::red));
    QVERIFY(!fx.Button("ButtonOk")->isEnabled());
    QVERIFY(!fx.Button("ButtonNext")->isEnabled());

    // Linking a receive-only slot onto such a frequency is blocked the same way.
    fx.Slot(1) = ChannelAt(165000000);
    fx.Slot(1).freq_tx = 0;
    fx.dlg.hide();
    fx.Open(1);
    QVERIFY(!fx.Box("CheckBoxFreqTx")->isChecked());
    QVERIFY(fx.Button("ButtonOk")->isEnabled());
    fx.Link("ButtonFreqEqual")->click();
    QVERIFY(fx.Box("CheckBoxFreqTx")->isChecked());
    QVERIFY(!fx.Button("ButtonOk")->isEnabled());
    fx.Button("ButtonCancel")->click();
    QCOMPARE(fx.Slot(1).freq_tx, 0);
}

void TestChannelFields::slotOutsideRangeOpensUnticked() {
    EditorFixture fx;
    fx.Slot(5) = ChannelAt(100000000);
    fx.Open(5);
    QCheckBox* rxBox = fx.Box("CheckBoxFreqRx");
    QLineEdit* rx = fx.Edit("MaskEditFreqRx");
    QVERIFY(!rxBox->isChecked());
    QVERIFY(!rx->isEnabled());
    QVERIFY(rx->text().isEmpty());
    QVERIFY(rx->inputMask().isEmpty());

    EditorFixture::Tick(rxBox);
    QVERIFY(rxBox->isChecked());
    QVERIFY(rx->isEnabled());
    QCOMPARE(rx->displayText(), QStringLiteral("146 000 000"));
    QCOMPARE(fx.dlg.Work().freq_rx, 146000000);

    // Switched off again and stored: the slot is emptied.
    EditorFixture::Tick(rxBox);
    QVERIFY(!rx->isEnabled());
    fx.Button("ButtonOk")->click();
    QVERIFY(!fx.Slot(5).IsUsed());
}

void TestChannelFields::offRasterFrequencyOpensRedInsteadOfBeingDropped_data() {
    QTest::addColumn<uint32_t>("rangeBegin");
    QTest::addColumn<uint32_t>("rangeEnd");
    QTest::addColumn<int>("rx");
    QTest::addColumn<int>("tx");
    QTest::addColumn<QString>("rxColour");
    QTest::addColumn<QString>("txColour");
    // The transmit raster knows no 10 kHz rule: a linked 27.010 MHz slot is red on transmit.
    QTest::newRow("10 kHz transmit in 26-30 MHz, linked")
        << 26000000u << 30000000u << 27010000 << 27010000 << "normal"
        << "red";
    QTest::newRow("transmit off the raster")
        << 146000000u << 174000000u << 150000000 << 150001000 << "normal"
        << "red";
    QTest::newRow("receive off the raster")
        << 146000000u << 174000000u << 150001000 << 150000000 << "red"
        << "normal";
}

// A frequency the slot holds inside the ranges but off the raster opens switched on and red:
// pressing OK on an unrelated change cannot drop it. Only switching it off erases it.
void TestChannelFields::offRasterFrequencyOpensRedInsteadOfBeingDropped() {
    QFETCH(uint32_t, rangeBegin);
    QFETCH(uint32_t, rangeEnd);
    QFETCH(int, rx);
    QFETCH(int, tx);
    QFETCH(QString, rxColour);
    QFETCH(QString, txColour);

    EditorFixture fx({{rangeBegin, rangeEnd}});
    fx.Slot(0) = ChannelAt(rx);
    fx.Slot(0).freq_tx = tx;
    const Channel before = fx.Slot(0);
    fx.Open(0);
    QVERIFY(fx.Box("CheckBoxFreqRx")->isChecked());
    QVERIFY(fx.Box("CheckBoxFreqTx")->isChecked());
    QCOMPARE(EditorFixture::Colour(fx.Edit("MaskEditFreqRx")), rxColour);
    QCOMPARE(EditorFixture::Colour(fx.Edit("MaskEditFreqTx")), txColour);
    QVERIFY(!fx.Button("ButtonOk")->isEnabled());
    QVERIFY(!fx.Button("ButtonNext")->isEnabled());
    fx.Button("ButtonCancel")->click();
    QCOMPARE(fx.Slot(0), before);

    // Switched off by the user: then storing erases it.
    fx.Open(0);
    if (rx == tx)
        fx.Link("ButtonFreqEqual")->click(); // unlink, so transmit has a box of its own
    QCheckBox* box = fx.Box(rxColour == "red" ? "CheckBoxFreqRx" : "CheckBoxFreqTx");
    EditorFixture::Tick(box);
    QVERIFY(!box->isChecked());
    QVERIFY(fx.Button("ButtonOk")->isEnabled());
    fx.Button("ButtonOk")->click();
    if (rxColour == "red") {
        QCOMPARE(fx.Slot(0).freq_rx, -1);
        QCOMPARE(fx.Slot(0).freq_tx, tx);
    } else {
        QCOMPARE(fx.Slot(0).freq_rx, rx);
        QCOMPARE(fx.Slot(0).freq_tx, -1);
    }
}

void TestChannelFields::eightDigitMaskAndSwitchingMasks() {
    EditorFixture fx({{33000000, 48500000}});
    fx.Slot(0) = ChannelAt(41925000);
    fx.Open(0);
    QLineEdit* rx = fx.Edit("MaskEditFreqRx");
    QCOMPARE(rx->displayText(), QStringLiteral("41 925 000"));
    EditorFixture::TypeOver(rx, "334875");
    QCOMPARE(fx.dlg.Work().freq_rx, 33487500);
    fx.Button("ButtonCancel")->click();

    // The same dialog after a switch to a nine-digit set: the old text is not carried over.
    fx.UseRanges({{146000000, 174000000}});
    fx.Slot(1) = ChannelAt(146012500);
    fx.Open(1);
    QCOMPARE(rx->displayText(), QStringLiteral("146 012 500"));
    QCOMPARE(fx.dlg.Work().freq_rx, 146012500);
}

void TestChannelFields::subtoneOnOpen_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("stored");
    QTest::newRow("none") << 0 << "(нет)"
                          << "" << 0;
    QTest::newRow("first CTCSS") << 1 << "CTCSS"
                                 << " 67,0 Гц" << 1;
    QTest::newRow("last CTCSS") << 50 << "CTCSS"
                                << "254,1 Гц" << 50;
    QTest::newRow("first DCS") << 51 << "DCS"
                               << "023" << 51;
    QTest::newRow("last DCS") << 133 << "DCS"
                              << "754" << 133;
    QTest::newRow("134") << 134 << "(нет)"
                         << "" << 0;
    QTest::newRow("255") << 255 << "(нет)"
                         << "" << 0;
}

void TestChannelFields::subtoneOnOpen() {
    QFETCH(int, code);
    QFETCH(QString, type);
    QFETCH(QString, value);
    QFETCH(int, stored);
    EditorFixture fx;
    fx.Slot(0) = ChannelAt(156800000);
    fx.Slot(0).subtone_rx = fx.Slot(0).subtone_tx = code;
    fx.Open(0);
    for (const char* side : {"Rx", "Tx"}) {
        QCOMPARE(fx.Combo(qPrintable(QStringLiteral("ComboBoxSubtoneType") + side))->currentText(),
                 type);
        QComboBox* v = fx.Combo(qPrintable(QStringLiteral("ComboBoxSubtone") + side));
        QCOMPARE(v->currentText(), value);
    }
    QCOMPARE(fx.Combo("ComboBoxSubtoneRx")->isEnabled(), stored != 0);
    QVERIFY(!fx.Combo("ComboBoxSubtoneTx")->isEnabled()); // linked
    fx.Button("ButtonOk")->click();
    QCOMPARE(fx.Slot(0).subtone_rx, stored);
    QCOMPARE(fx.Slot(0).subtone_tx, stored);
}

void TestChannelFields::choosingDcsFollowsOnLinkedTransmit() {
    EditorFixture fx;
    fx.Slot(0) = ChannelAt(156800000);
    fx.Open(0);
    QComboBox* type = fx.Combo("ComboBoxSubtoneTypeRx");
    QComboBox* rx = fx.Combo("ComboBoxSubtoneRx");
    QVERIFY(!rx->isEnabled());
    QTest::keyClick(type, Qt::Key_Down); // CTCSS
    QCOMPARE(rx->currentText(), QStringLiteral(" 67,0 Гц"));
    QCOMPARE(rx->count(), 50);
    QTest::keyClick(type, Qt::Key_Down); // DCS
    QCOMPARE(type->currentText(), QStringLiteral("DCS"));
    QCOMPARE(rx->currentText(), QStringLiteral("023"));
    QCOMPARE(rx->count(), 83);
    QCOMPARE(fx.Combo("ComboBoxSubtoneTypeTx")->currentText(), QStringLiteral("DCS"));
    QCOMPARE(fx.Combo("ComboBoxSubtoneTx")->currentText(), QStringLiteral("023"));
    QVERIFY(!fx.Combo("ComboBoxSubtoneTypeTx")->isEnabled());

    QTest::keyClick(rx, Qt::Key_Down); // 025
    QCOMPARE(fx.Combo("ComboBoxSubtoneTx")->currentText(), QStringLiteral("025"));
    QCOMPARE(fx.dlg.Work().subtone_tx, 52);

    // Unlinked, the transmit side keeps its own code.
    fx.Link("ButtonSubtoneEqual")->click();
    QComboBox* txType = fx.Combo("ComboBoxSubtoneTypeTx");
    QVERIFY(txType->isEnabled());
    QTest::keyClick(txType, Qt::Key_Up); // CTCSS
    QCOMPARE(fx.dlg.Work().subtone_tx, 1);
    QCOMPARE(fx.dlg.Work().subtone_rx, 52);
    fx.Button("ButtonOk")->click();
    QCOMPARE(fx.Slot(0).subtone_rx, 52);
    QCOMPARE(fx.Slot(0).subtone_tx, 1);
}

void TestChannelFields::callTones() {
    EditorFixture fx;
    fx.Slot(0) = ChannelAt(156800000);
    fx.Slot(0).tone_rx = fx.Slot(0).tone_tx = 350; // not a tone: opens switched off
    fx.Open(0);
    QCheckBox* rxBox = fx.Box("CheckBoxToneRx");
    QLineEdit* rx = fx.Edit("MaskEditToneRx");
    QVERIFY(!rxBox->isChecked());
    QVERIFY(!rx->isEnabled());

    EditorFixture::Tick(rxBox);
    QCOMPARE(rx->text(), QStringLiteral("1000"));
    QVERIFY(fx.Box("CheckBoxToneTx")->isChecked()); // linked
    QCOMPARE(fx.Edit("MaskEditToneTx")->text(), QStringLiteral("1000"));

    EditorFixture::TypeOver(rx, "300");
    QCOMPARE(EditorFixture::Colour(rx), QStringLiteral("red"));
    QVERIFY(!fx.Button("ButtonOk")->isEnabled());
    EditorFixture::TypeOver(rx, "2100");
    QCOMPARE(EditorFixture::Colour(rx), QStringLiteral("normal"));
    QCOMPARE(fx.Edit("MaskEditToneTx")->text(), QStringLiteral("2100"));
    QVERIFY(fx.Button("ButtonOk")->isEnabled());
    fx.Button("ButtonOk")->click();
    QCOMPARE(fx.Slot(0).tone_rx, 2100);
    QCOMPARE(fx.Slot(0).tone_tx, 2100);

    // A tone switched off is stored as none.
    fx.Open(0);
    EditorFixture::Tick(rxBox);
    QVERIFY(!rx->isEnabled());
    fx.Button("ButtonOk")->click();
    QCOMPARE(fx.Slot(0).tone_rx, 0);
    QCOMPARE(fx.Slot(0).tone_tx, 0);
}

void TestChannelFields::numberOutOfRangeBlocksStoring() {
    EditorFixture fx;
    fx.Slot(20) = ChannelAt(156800000);
    fx.Slot(20).number = 20;
    fx.Open(20);
    EditorFixture::TypeOver(fx.Edit("EditChannelLoad"), "5");
    EditorFixture::TypeOver(fx.Edit("EditChannelSave"), "6");
    QVERIFY(fx.Button("ButtonLoad")->isEnabled());
    QVERIFY(fx.Button("ButtonSave")->isEnabled());

    QLineEdit* number = fx.Edit("EditChannelName");
    EditorFixture::TypeOver(number, "100");
    QCOMPARE(EditorFixture::Colour(number), QStringLiteral("red"));
    for (const char* name : {"ButtonOk", "ButtonPrev", "ButtonNext", "ButtonLoad", "ButtonSave"})
        QVERIFY2(!fx.Button(name)->isEnabled(), name);
    QVERIFY(fx.Edit("EditChannelLoad")->text().isEmpty());
    QVERIFY(fx.Edit("EditChannelSave")->text().isEmpty());
    QVERIFY(fx.Button("ButtonCancel")->isEnabled());

    EditorFixture::TypeOver(number, "42");
    QCOMPARE(EditorFixture::Colour(number), QStringLiteral("normal"));
    QVERIFY(fx.Button("ButtonOk")->isEnabled());
    QCOMPARE(fx.Edit("EditChannelLoad")->text(), QStringLiteral("5"));
    QCOMPARE(fx.Edit("EditChannelSave")->text(), QStringLiteral("6"));
    number->selectAll();
    QTest::keyClick(number, Qt::Key_Backspace);
    QVERIFY(!fx.Button("ButtonOk")->isEnabled()); // empty is not a number

    fx.Button("ButtonCancel")->click();
    QVERIFY(!fx.dlg.isVisible());
    QCOMPARE(fx.Slot(20).number, 20); // nothing stored

    // A version 1.0 table leaves slot numbers up to 199: such a slot opens red.
    fx.Slot(150) = ChannelAt(156800000);
    fx.Slot(150).number = 150;
    fx.Open(150);
    QCOMPARE(EditorFixture::Colour(number), QStringLiteral("red"));
    QVERIFY(!fx.Button("ButtonOk")->isEnabled());
}

void TestChannelFields::commonPowerAndSquelch() {
    EditorFixture fx;
    fx.Slot(0) = ChannelAt(156800000);
    fx.Slot(0).tx_power_low = 1;
    fx.Slot(0).tx_power_high = 2;
    fx.Slot(0).squelch = 5;
    fx.settings.version = SETTINGS_V1_1;
    fx.settings.TxPowerCommon = true;
    fx.settings.MaxTxPower = 4;
    fx.settings.SqlCommon = true;
    fx.settings.Squelch = 2;
    fx.Open(0);
    QComboBox* min = fx.Combo("ComboBoxPowerMin");
    QComboBox* max = fx.Combo("ComboBoxPowerMax");
    QComboBox* squelch = fx.Combo("ComboBoxSquelch");
    QVERIFY(!min->isEnabled());
    QVERIFY(!max->isEnabled());
    QCOMPARE(min->currentText(), QStringLiteral("5 Вт"));
    QCOMPARE(max->currentText(), QStringLiteral("40 Вт")); // 4 shows the top level
    QVERIFY(fx.W<QWidget>("NotePower")->isVisible());
    QVERIFY(!squelch->isEnabled());
    QCOMPARE(squelch->currentText(), QStringLiteral("L2"));
    QVERIFY(fx.W<QWidget>("NoteSquelch")->isVisible());
    QTest::keyClick(max, Qt::Key_Up); // disabled: no effect
    fx.Button("ButtonOk")->click();
    // The slot keeps its own levels for when the common setting is switched off again.
    QCOMPARE(fx.Slot(0).tx_power_low, 1);
    QCOMPARE(fx.Slot(0).tx_power_high, 2);
    QCOMPARE(fx.Slot(0).squelch, 5);

    fx.settings.TxPowerCommon = false;
    fx.settings.SqlCommon = false;
    fx.Open(0);
    QVERIFY(min->isEnabled());
    QCOMPARE(min->currentIndex(), 1);
    QCOMPARE(max->currentIndex(), 2);
    QCOMPARE(squelch->currentText(), QStringLiteral("L5"));
    QVERIFY(!fx.W<QWidget>("NotePower")->isVisible());
    QVERIFY(!fx.W<QWidget>("NoteSquelch")->isVisible());

    // A table before 1.1 has no common power or squelch: flags left set (a configuration
    // written to an older radio) must not lock the slot's own levels, which the grid shows.
    fx.Button("ButtonCancel")->click();
    fx.settings.version = SETTINGS_V1_0;
    fx.settings.TxPowerCommon = true;
    fx.settings.SqlCommon = true;
    fx.Open(0);
    QVERIFY(min->isEnabled());
    QVERIFY(max->isEnabled());
    QVERIFY(squelch->isEnabled());
    QCOMPARE(min->currentIndex(), 1);
    QCOMPARE(max->currentIndex(), 2);
    QCOMPARE(squelch->currentText(), QStringLiteral("L5"));
    QVERIFY(!fx.W<QWidget>("NotePower")->isVisible());
    QVERIFY(!fx.W<QWidget>("NoteSquelch")->isVisible());
}

void TestChannelFields::ownPowerLevelsAndChoice() {
    EditorFixture fx;
    fx.Slot(0) = ChannelAt(156800000);
    fx.Slot(0).tx_power_low = 7;   // out of range: opens as 0
    fx.Slot(0).tx_power_high = -1; // out of range: opens as 3
    fx.dlg.SetPowerLevels({1, 5, 12, 25});
    fx.Open(0);
    QComboBox* min = fx.Combo("ComboBoxPowerMin");
    QComboBox* max = fx.Combo("ComboBoxPowerMax");
    QCOMPARE(min->count(), 4);
    QCOMPARE(min->itemText(0), QStringLiteral("1 Вт"));
    QCOMPARE(max->itemText(3), QStringLiteral("25 Вт"));
    QCOMPARE(min->currentIndex(), 0);
    QCOMPARE(max->currentIndex(), 3);

    QTest::keyClick(max, Qt::Key_Up);  // 12 W
    QTest::keyClick(max, Qt::Key_Up);  // 5 W
    QTest::keyClick(min, Qt::Key_End); // minimum above the maximum: the two swap
    QCOMPARE(min->currentIndex(), 1);
    QCOMPARE(max->currentIndex(), 3);
    QTest::keyClick(fx.Combo("ComboBoxSquelch"), Qt::Key_End);
    fx.Button("ButtonOk")->click();
    QCOMPARE(fx.Slot(0).tx_power_low, 1);
    QCOMPARE(fx.Slot(0).tx_power_high, 3);
    QCOMPARE(fx.Slot(0).squelch, 8);
    QCOMPARE(fx.dlg.PowerLevels(), (std::array<int, 4>{1, 5, 12, 25}));
}

void TestChannelFields::flagCaptions() {
    TFormChan dlg;
    auto caption = [&](int i) {
        return dlg.findChild<QCheckBox*>(QStringLiteral("CheckBoxFlag%1").arg(i))->text();
    };
    QCOMPARE(caption(0), QStringLiteral("Ф0"));
    QCOMPARE(caption(7), QStringLiteral("Ф7"));

    uint8_t options[32] = {};
    options[2] = 0x40;
    dlg.SetFlagCaptions(options);
    QCOMPARE(caption(0), QStringLiteral("Ф0. Задействовать волновую сеть"));
    QCOMPARE(caption(1), QStringLiteral("Ф1. Ретрансляция УКВ - волновая сеть"));
    QCOMPARE(caption(2), QStringLiteral("Ф2"));
    QCOMPARE(dlg.Captions()[0], Utf8ToCp1251("Ф0. Задействовать волновую сеть"));

    options[2] = 0xBF; // every bit but the wave-network one
    dlg.SetFlagCaptions(options);
    QCOMPARE(caption(0), QStringLiteral("Ф0"));
    dlg.SetFlagCaptions(options);
    dlg.SetFlagCaptions(nullptr);
    QCOMPARE(caption(1), QStringLiteral("Ф1"));

    // Captions from a configuration file come back unchanged; '&' shows as itself.
    FlagCaptions fromFile = DefaultFlagCaptions();
    fromFile[3] = Utf8ToCp1251("Вызов & ответ");
    dlg.SetCaptions(fromFile);
    QCOMPARE(dlg.Captions(), fromFile);
    QCOMPARE(caption(3), QStringLiteral("Вызов && ответ"));
}

void TestChannelFields::parseAndFormatFrequency() {
    QCOMPARE(TFormChan::FrequencyText(41900000, 9), QStringLiteral("0419000"));
    QCOMPARE(TFormChan::FrequencyText(41900000, 8), QStringLiteral("419000"));
    QCOMPARE(TFormChan::ParseFrequency(QStringLiteral("1568000"), 9), 156800000);
    QCOMPARE(TFormChan::ParseFrequency(QStringLiteral("041 900 000"), 9), 41900000);
    QCOMPARE(TFormChan::ParseFrequency(QStringLiteral("33 4__ ___"), 8), 33400000);
    QCOMPARE(TFormChan::ParseFrequency(QString(), 8), 0);
    QCOMPARE(TFormChan::ParseFrequency(QStringLiteral("12a"), 9), -1);
}

QTEST_MAIN(TestChannelFields)
#include "tst_channel_fields.moc"
