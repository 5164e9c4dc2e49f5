#pragma once

#include <QSlider>
#include <QString>

class QLineEdit;

// Slider of a settings binding. Besides the handle it can show a selection
// band between two values (the key-beep range).
class TrackBar : public QSlider {
    Q_OBJECT
public:
    TrackBar(Qt::Orientation orientation, int minimum, int maximum, QWidget* parent);

    void SetSelection(int start, int end);
    int SelectionStart() const { return selectionStart; }
    int SelectionEnd() const { return selectionEnd; }
    bool HasSelection() const { return selectionStart <= selectionEnd; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int selectionStart = 0;
    int selectionEnd = -1; // empty band
};

// Links one numeric settings field to the controls that show and set it.
// Bindings with a track bar take their range from the track bar; bindings
// without one accept [minimum, maximum] typed into the edit.
struct SettingBinding {
    QLineEdit* edit = nullptr;
    TrackBar* trackBar = nullptr; // none for the edit-only bindings
    int* value = nullptr;         // the settings field read and written
    int minimum = 0;
    int maximum = 0;
    // A vertical bar has its highest value at the top: value = maximum - position.
    bool reversed = false;
};

// The value an edit's text stands for, or false when the text is not the
// plain decimal form of an integer within [minimum, maximum] (after leading
// and trailing blanks are removed): "007", "+5", "12a" and "" are refused.
bool ParseBindingText(const QString& text, int minimum, int maximum, int& value);

// The number a five-position password edit shows: missing positions at the
// end and blank positions count as 0; anything else that is not a number gives 0.
int PasswordFromText(const QString& text);
