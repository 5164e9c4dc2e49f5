#include "ui/FormChannel.h"

TFormChan::TFormChan(QWidget* parent) : QDialog(parent) {}
TFormChan::~TFormChan() = default;

void TFormChan::Setup(ChannelsContext& channels, const SettingsContext& s, int i,
                      std::function<void(int row)> move) {
    channelTable = &channels;
    settings = &s;
    index = i;
    moveGridRow = std::move(move);
}

void TFormChan::SetPowerLevels(const std::array<int, 4>& watts) { powerLevels = watts; }
std::array<int, 4> TFormChan::PowerLevels() const { return powerLevels; }
void TFormChan::SetFlagCaptions(const uint8_t*) {}
FlagCaptions TFormChan::Captions() const { return DefaultFlagCaptions(); }
void TFormChan::SetCaptions(const FlagCaptions&) {}
FieldState TFormChan::RxFrequencyState(int32_t) const { return FieldState::Invalid; }
FieldState TFormChan::TxFrequencyState(int32_t) const { return FieldState::Invalid; }
FieldState TFormChan::ToneState(int32_t t) {
    return t >= 400 && t <= 3000 ? FieldState::Valid : FieldState::Invalid;
}
QString TFormChan::FrequencyText(int32_t, int) { return {}; }
int32_t TFormChan::ParseFrequency(const QString&, int) { return -1; }
int32_t TFormChan::StepFrequency(Qt::KeyboardModifiers, int, bool, int32_t f) { return f; }
int TFormChan::StepIndex(Qt::KeyboardModifiers, int, int slot) { return slot; }
int TFormChan::StepNumberValue(Qt::KeyboardModifiers, int, int number) { return number; }
