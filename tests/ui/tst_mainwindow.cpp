#include <QtTest>

#include "ui/MainWindow.h"

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void caption() {
        TForm1 w;
        w.show();
        QCOMPARE(w.windowTitle(),
                 QStringLiteral("Программатор каналов и настроек мобильных радиостанций"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
