#include <QApplication>

#include "ui/MainWindow.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    TForm1 mainWindow;
    mainWindow.show();
    return app.exec();
}
