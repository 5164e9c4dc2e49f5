#pragma once

#include <QObject>
#include <vector>

#include "ui/SettingBinding.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;
class QToolButton;
class QWheelEvent;
class QWidget;
class CellPainter;
class SettingsContext;
class TInfoContext;
class VolumeDiagram;

// The two settings pages of the main window ("Настройки" and "Настройки 2").
// Every control writes its settings field at once; the settings object is the
// only store. The main window puts Page1() and Page2() into its tab pages,
// shows or hides the second tab on page2VisibilityChanged, repaints the grid
// on commonValuesChanged and forwards its wheel events to HandleWheel.
// Page1 refreshes itself from the settings whenever it is shown.
class SettingsPages : public QObject {
    Q_OBJECT
public:
    SettingsPages(SettingsContext& settings, TInfoContext& info, CellPainter& painter,
                  QWidget* parent);
    ~SettingsPages() override;

    QWidget* Page1() const { return page1; }
    QWidget* Page2() const { return page2; }

    // Fills every control from the settings (call after the settings were replaced).
    void RefreshSettings();
    // Shows or hides the version-dependent controls and fills the power-mode group.
    void ApplySettingsVersion();

    // Steps the binding under the pointer, or else the focused one, by one per
    // notch. Returns true when the event was used; false leaves it to the
    // widget under the pointer. Call it before that widget sees the event.
    bool HandleWheel(QWheelEvent* event);

    // Whether page "Настройки 2" should be shown for the current settings version.
    bool Page2Wanted() const { return page2Wanted; }

    const std::vector<SettingBinding>& Bindings() const { return bindings; }

signals:
    void page2VisibilityChanged(bool visible);
    // The common squelch/power values handed to the grid painter changed.
    void commonValuesChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildPage1();
    void BuildPage2();
    void BuildBindings();

    void ValidateBindingEdit(SettingBinding& binding);
    void ShowEditValue(SettingBinding& binding);
    void TrackToValue(SettingBinding& binding);
    void ValueToTrack(SettingBinding& binding);
    void TrackBarChange(QSlider* trackBar);
    void EditClick(QLineEdit* edit);
    void StepBinding(SettingBinding& binding, int step, bool takeFocus);
    void UpdateBeepBands();
    void UpdateLockButtons();
    void HandCommonValuesToPainter();
    void PasswordEdited();
    void SetEditValid(QLineEdit* edit, bool valid);
    SettingBinding* BindingOfTrackBar(const QSlider* trackBar);
    SettingBinding* BindingOfEdit(const QLineEdit* edit);

    SettingsContext& settings;
    TInfoContext& info;
    CellPainter& painter;

    std::vector<SettingBinding> bindings;
    int updating = 0; // re-entry guard while controls are being written
    bool page2Wanted = false;

    QWidget* page1 = nullptr;
    QWidget* page2 = nullptr;

    // Page "Настройки"
    QLineEdit* EditStartChannel = nullptr;
    QLineEdit* EditSpecChannel = nullptr;
    QLineEdit* EditSpecChannel1 = nullptr;
    QLineEdit* EditSpecChannel2 = nullptr;
    QLabel* LabelSpecChannel1 = nullptr;
    QLabel* LabelSpecChannel2 = nullptr;
    QToolButton* ButtonStartChannelLock = nullptr;
    QToolButton* ButtonSpecChannelLock = nullptr;
    QRadioButton* RadioButtonTxMax = nullptr;
    QRadioButton* RadioButtonTxMin = nullptr;
    QCheckBox* CheckBoxSquelchOn = nullptr;
    QCheckBox* CheckBoxSquelchAutoVolume = nullptr;
    QCheckBox* CheckBoxDigitalDelay = nullptr;
    QComboBox* ComboBoxSquelchCommon = nullptr;
    QComboBox* ComboBoxSquelchLevel = nullptr;
    QLineEdit* EditIntensity = nullptr;
    TrackBar* TrackBarIntensity = nullptr;
    QLineEdit* EditIntensityKeys = nullptr;
    TrackBar* TrackBarIntensityKeys = nullptr;
    VolumeDiagram* PaintBoxVolume = nullptr;
    QLineEdit* EditVolume = nullptr;
    TrackBar* TrackBarVolume = nullptr;
    QLineEdit* EditMinVolume = nullptr;
    TrackBar* TrackBarMinVolume = nullptr;
    QLineEdit* EditBeepMin = nullptr;
    TrackBar* TrackBarBeepMin = nullptr;
    QLineEdit* EditBeepMax = nullptr;
    TrackBar* TrackBarBeepMax = nullptr;
    QCheckBox* CheckBoxKeyBeep = nullptr;
    QCheckBox* CheckBoxExtSpeaker = nullptr;
    QLineEdit* EditTxLimit = nullptr;
    QLineEdit* EditTxPause = nullptr;
    QLineEdit* EditScanPause = nullptr;
    QGroupBox* RadioGroupMicAmp = nullptr;
    QButtonGroup* MicAmpButtons = nullptr;
    QGroupBox* GroupBoxTxPowerMode = nullptr;
    QComboBox* ComboBoxTxPowerCommon = nullptr;
    QLabel* LabelPassword = nullptr;
    QLineEdit* MaskEditPassword = nullptr;
    QComboBox* ComboBoxMaxTxPower = nullptr;
    QCheckBox* CheckBoxTamp = nullptr;

    // Page "Настройки 2"
    QLineEdit* EditID = nullptr;
    QCheckBox* CheckBoxKeyLock = nullptr;
    QCheckBox* CheckBoxTxVoiceMonitor = nullptr;
    QCheckBox* CheckBoxDeemphasisOff = nullptr;
    QComboBox* ComboBoxStartupMode = nullptr;
    QCheckBox* CheckBoxMuxChannel = nullptr;
    QComboBox* ComboBoxSqwMonitorPolarity = nullptr;
    QComboBox* ComboBoxOutput1Function = nullptr;
    QComboBox* ComboBoxOutput2Function = nullptr;
    QComboBox* ComboBoxOutput3Function = nullptr;
    QLineEdit* EditRepeaterDelay = nullptr;
};
