#include "ui/MainWindow.h"

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    resize(1020, 562);
    setWindowTitle(QStringLiteral("Программатор каналов и настроек мобильных радиостанций"));
}
