#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include <QDialog>

#include "model/Channel.h"
#include "model/FlagCaptions.h"
#include "ui/FieldState.h"

class ChannelsContext;
class SettingsContext;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QToolButton;
class QWheelEvent;

// The modal dialog in which one channel slot of the channel table is edited. It works on a
// copy of the slot (`work`) and judges every entry against the current frequency-range set
// and the channel raster while the user types; the table changes only when a slot is stored
// (OK, stepping to the previous/next slot, "Сохранить в канал").
//
// Created once and reused: call Setup() before every show()/exec().
class TFormChan : public QDialog {
    Q_OBJECT
public:
    explicit TFormChan(QWidget* parent = nullptr);
    ~TFormChan() override;

    // Hands over the model before a show. index is the slot to edit (grid row − 1; −1 and
    // below open slot 0, above 199 opens slot 199). settings supplies the common power and
    // squelch choices (TxPowerCommon/MaxTxPower, SqlCommon/Squelch; a table before 1.1
    // has none). moveGridRow is called with the grid row (slot + 1) whenever the dialog steps
    // to another slot; it should move the grid's current row there and repaint the grid.
    void Setup(ChannelsContext& channels, const SettingsContext& settings, int index,
               std::function<void(int row)> moveGridRow);

    // Watts of the power levels 0..3 shown in the power drop-downs (5, 10, 20, 40 until the
    // radio reports its own); they keep their values between shows.
    void SetPowerLevels(const std::array<int, 4>& watts);
    std::array<int, 4> PowerLevels() const;

    // Versions of the radio's two channel tables (slots 0..99 and 100..199) as its last
    // identification reported them; 0 where unknown or absent. The version of the last table
    // built or read stands in for an unknown one.
    void SetTableVersions(uint16_t first, uint16_t second);
    // Whether the channel table that holds slot n stores the channel number: a version 1.0
    // record does not (the radio shows the slot index), so the number then blocks nothing.
    bool NumberStored(int n) const;

    // Captions of the eight function flags for a radio with the given 32 option bytes, or the
    // defaults "Ф0".."Ф7" for nullptr.
    void SetFlagCaptions(const uint8_t* options);
    // The eight captions as Windows-1251 text, for the configuration file.
    FlagCaptions Captions() const;
    void SetCaptions(const FlagCaptions& captions);

    // The slot being edited and its working copy.
    int Index() const { return index; }
    const Channel& Work() const { return work; }

    // Judgements of the entries; frequencies and tones in Hz, against the current range set.
    FieldState RxFrequencyState(int32_t f) const;
    FieldState TxFrequencyState(int32_t f) const;
    static FieldState ToneState(int32_t t);

    // Digits for a frequency edit whose mask shows `digits` digits (the last two fixed to 0),
    // and the frequency an edit's displayed text stands for (−1 when it is not a number).
    static QString FrequencyText(int32_t f, int digits);
    static int32_t ParseFrequency(const QString& text, int digits);

    // One mouse-wheel step of a frequency (see the raster rules in the .cpp), of a slot
    // number (0..199) and of a channel number (0..99).
    static int32_t StepFrequency(Qt::KeyboardModifiers mods, int delta, bool band25, int32_t f);
    static int StepIndex(Qt::KeyboardModifiers mods, int delta, int slot);
    static int StepNumberValue(Qt::KeyboardModifiers mods, int delta, int number);

    // Slot ↔ working copy. Both return false for a slot outside 0..199.
    bool LoadChannel(int n);
    bool StoreChannel(int n);

protected:
    void showEvent(QShowEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void FormShow();
    // The size at the first show: the natural size, limited to the screen.
    void FitToScreen();
    void UpdateCaption();

    void RefreshFrequencies(bool loaded);
    void RefreshBands(bool loaded);
    void RefreshSubtones(bool loaded);
    void RefreshTones(bool loaded);
    void RefreshSquelch(bool loaded);
    void RefreshPower(bool loaded);
    void RefreshAll();
    void RefreshFlagBoxes();
    void UpdateButtons();
    void RefreshCopyControls();
    FieldState LinkedTxState() const;
    void ShowFrequencyStates();

    void SetFrequencyEdit(QLineEdit* edit, int digits, int32_t f);
    void ClearFrequencyEdit(QLineEdit* edit);
    void ShowSubtone(QComboBox* type, QComboBox* value, int32_t code, bool valueEnabled);
    static void FillCtcssList(QComboBox* box);
    static void FillDcsList(QComboBox* box);
    void ApplyFlagCaptions();

    void CheckBoxFreqRxClick();
    void CheckBoxFreqTxClick();
    void MaskEditFreqRxChange();
    void MaskEditFreqTxChange();
    void ButtonFreqEqualClick();
    void ComboBoxBandRxChange();
    void ComboBoxBandTxChange();
    void ButtonBandEqualClick();
    void ComboBoxSubtoneTypeChange(bool rx);
    void ComboBoxSubtoneChange(bool rx);
    void ButtonSubtoneEqualClick();
    void CheckBoxToneClick(bool rx);
    void MaskEditToneChange(bool rx);
    void ButtonToneEqualClick();
    void ComboBoxSquelchChange();
    void ComboBoxPowerChange(bool max);
    void EditChannelNameChange();
    void EditChannelCopyChange(bool load);
    void ButtonLoadClick();
    void ButtonSaveClick();
    void ButtonNavigateClick(int step);
    void ButtonEraseClick();
    void ButtonOkClick();

    bool HandleWheel(QWheelEvent* event);
    void StepRxFrequency(Qt::KeyboardModifiers mods, int delta);
    void StepTxFrequency(Qt::KeyboardModifiers mods, int delta);
    void StepNumber(Qt::KeyboardModifiers mods, int delta);
    bool HandleShortcut(QKeyEvent* event);

    Channel work;
    ChannelsContext* channelTable = nullptr;
    const SettingsContext* settings = nullptr;
    std::function<void(int row)> moveGridRow;
    int index = 0;
    std::array<uint16_t, 2> tableVersions{};
    int loadIndex = -1;
    int saveIndex = -1;
    std::array<int, 4> powerLevels{5, 10, 20, 40};
    FlagCaptions flagCaptions;
    FieldState rxState = FieldState::Valid;
    FieldState txState = FieldState::Valid;
    FieldState toneRxState = FieldState::Valid;
    FieldState toneTxState = FieldState::Valid;
    bool numberValid = true;
    bool allValid = true;
    bool freqLinked = false;
    bool bandLinked = false;
    bool subtoneLinked = false;
    bool toneLinked = false;
    int updating = 0;
    int wheelRemainder = 0;
    bool shownBefore = false;

    QWidget* Body = nullptr; // the groups, in BodyScroll
    QScrollArea* BodyScroll = nullptr;
    QLineEdit* EditChannelName = nullptr;
    QComboBox* ComboBoxBandRx = nullptr;
    QComboBox* ComboBoxBandTx = nullptr;
    QToolButton* ButtonBandEqual = nullptr;
    QCheckBox* CheckBoxFreqRx = nullptr;
    QCheckBox* CheckBoxFreqTx = nullptr;
    QLineEdit* MaskEditFreqRx = nullptr;
    QLineEdit* MaskEditFreqTx = nullptr;
    QToolButton* ButtonFreqEqual = nullptr;
    QComboBox* ComboBoxSubtoneTypeRx = nullptr;
    QComboBox* ComboBoxSubtoneTypeTx = nullptr;
    QComboBox* ComboBoxSubtoneRx = nullptr;
    QComboBox* ComboBoxSubtoneTx = nullptr;
    QToolButton* ButtonSubtoneEqual = nullptr;
    QCheckBox* CheckBoxToneRx = nullptr;
    QCheckBox* CheckBoxToneTx = nullptr;
    QLineEdit* MaskEditToneRx = nullptr;
    QLineEdit* MaskEditToneTx = nullptr;
    QToolButton* ButtonToneEqual = nullptr;
    QComboBox* ComboBoxSquelch = nullptr;
    QWidget* NoteSquelch = nullptr;
    QComboBox* ComboBoxPowerMin = nullptr;
    QComboBox* ComboBoxPowerMax = nullptr;
    QWidget* NotePower = nullptr;
    QCheckBox* CheckBoxActive = nullptr;
    QCheckBox* CheckBoxScan = nullptr;
    QCheckBox* CheckBoxScrambler = nullptr;
    QCheckBox* CheckBoxTxLimit = nullptr;
    QCheckBox* CheckBoxTxBusy = nullptr;
    std::array<QCheckBox*, 8> CheckBoxFlag{};
    QPushButton* ButtonPrev = nullptr;
    QPushButton* ButtonNext = nullptr;
    QPushButton* ButtonErase = nullptr;
    QPushButton* ButtonLoad = nullptr;
    QPushButton* ButtonSave = nullptr;
    QLineEdit* EditChannelLoad = nullptr;
    QLineEdit* EditChannelSave = nullptr;
    QPushButton* ButtonOk = nullptr;
    QPushButton* ButtonCancel = nullptr;
    QLabel* ImageWarning = nullptr;
    QLineEdit* EditWarning = nullptr;
};
