#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QComboBox;
class QPushButton;

// The frequency-range picker: a selection-only list of the range sets, "Выбрать" / "Отменить".
// The main window fills it, shows it modally and applies the choice.
class TFormFreqRange : public QDialog {
    Q_OBJECT
public:
    explicit TFormFreqRange(QWidget* parent = nullptr);

    QComboBox* ComboBoxRanges = nullptr;
    QPushButton* ButtonOk = nullptr;
    QPushButton* ButtonCancel = nullptr;

    // Replaces the list with the given texts (Windows-1251) and selects `current`
    // (nothing selected when it is outside the list).
    void Fill(const std::vector<std::string>& texts, int current);
    // The selected entry, -1 when the list is empty.
    int SelectedIndex() const;

protected:
    void showEvent(QShowEvent* event) override;
};
