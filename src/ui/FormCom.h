#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QPushButton;

// One serial port as the system reports it: its COM name ("COM3", any case) and the device
// that stands behind it ("/dev/ttyUSB0"; empty when the system gives none).
struct SystemPort {
    std::string name;
    std::string device;
};

// Where the dialog takes the system's serial ports from. The default asks the link's COM
// mapping; tests hand in a fixed list.
using PortSource = std::function<std::vector<SystemPort>()>;

// The COM port dialog: lists the ports the system reports, pre-selects the remembered one and
// remembers a confirmed choice in QSettings("Zorvex_Prog", "Settings"), key "DefaultComPort".
class TFormComPort : public QDialog {
    Q_OBJECT
public:
    explicit TFormComPort(QWidget* parent = nullptr);

    // 1..255, or 0 for none. Kept between showings.
    int chosen_port = 0;
    // The remembered choice ("COM97") when the last BuildPortList did not list it and took
    // another port instead; empty when it was listed or nothing is remembered.
    QString missing_remembered;

    QComboBox* ComboBoxCOM = nullptr;
    QPushButton* BitBtnOk = nullptr;
    QPushButton* BitBtnCancell = nullptr;

    void SetPortSource(PortSource source);

    // Rebuilds the list and selects the remembered port, or the first listed one, setting
    // chosen_port; an empty list leaves chosen_port as it was. Always returns true.
    bool BuildPortList();

    // chosen_port follows the selection ("COM%d" text; anything else gives 0).
    void ComboBoxCOMChange();
    // Stores the selection's text as the remembered choice.
    void BitBtnOkClick();

    // The settings store key of the remembered choice.
    static const char* const kSettingsKey;

protected:
    void showEvent(QShowEvent* event) override; // FormShow

private:
    void FormShow();

    PortSource source_;
    int filling_ = 0;
};

// The number n of a name "COM<n>" (case-insensitive) when n is 1..255; 0 otherwise.
int ComPortNumber(const std::string& name);
