#pragma once

#include <QMainWindow>

// The program's main window: owns the model for the program's whole life.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
};
