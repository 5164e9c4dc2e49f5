#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

// The about box: program name, version with the own programmer identifier, build date and the
// table versions this program supports. Filled anew at every show.
class TFormAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFormAbout(QWidget* parent = nullptr);

    QLabel* ImageIcon = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* LabelVersion = nullptr;
    QLabel* LabelDate = nullptr;
    QLabel* LabelChannelsVersion = nullptr;
    QLabel* LabelSettingsVersion = nullptr;
    QPushButton* ButtonOk = nullptr;

    void FormShow();

    static constexpr const char* kProgramVersion = "2.0.0";

protected:
    void showEvent(QShowEvent* event) override;
};

// "Дата сборки d.m.yyyy" from a compiler date text "Mmm dd yyyy" ("Mar  5 2024" gives
// "Дата сборки 5.3.2024"). A text that is not in that form gives "Дата сборки ?".
QString BuildDateLine(const char* compilerDate);
