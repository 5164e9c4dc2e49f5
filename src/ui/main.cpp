#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <cstdio>
#include <exception>

#include "ui/About.h"
#include "ui/FormChannel.h"
#include "ui/FormCom.h"
#include "ui/FormFreqRange.h"
#include "ui/FormProgress.h"
#include "ui/MainWindow.h"
#include "ui/StartArguments.h"

namespace {

void ShowException(const QString& text) {
    QMessageBox::critical(nullptr, TForm1::ApplicationTitle(), text);
}

// Shows an exception that escapes an event handler in the standard error dialog instead of
// letting it tear through the event loop.
class ZorvexApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            ShowException(QString::fromUtf8(error.what()));
        } catch (...) {
            ShowException(QStringLiteral("Неизвестная ошибка"));
        }
        return false;
    }
};

void Grab(QWidget& window, const QString& dir, const char* name) {
    window.show();
    QApplication::processEvents();
    const QString file = QDir(dir).filePath(QString::fromLatin1(name) + ".png");
    if (!window.grab().save(file))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
}

// Writes a picture of every window into dir (for documentation and review) and ends.
int WriteScreenshots(const QString& dir) {
    QDir().mkpath(dir);
    TForm1 w;
    w.messageBoxHook = [](QMessageBox::Icon, const QString&, const QString&) {};
    w.channels.channels[0].freq_rx = 41000000;
    w.channels.channels[0].freq_tx = 41000000;
    w.channels.channels[1].freq_rx = 42012500;
    w.channels.channels[1].freq_tx = 43500000;
    Grab(w, dir, "main_channels");
    w.PageControl->setCurrentWidget(w.TabSheetSettings);
    Grab(w, dir, "main_settings");
    w.PageControl->setTabVisible(w.PageControl->indexOf(w.TabSheetSettings2), true);
    w.PageControl->setCurrentWidget(w.TabSheetSettings2);
    Grab(w, dir, "main_settings2");
    w.info.has_block0 = w.info.has_block1 = true;
    w.UpdateInfoPage();
    w.PageControl->setCurrentWidget(w.TabSheetInfo);
    Grab(w, dir, "main_info");

    w.FormChan->Setup(w.channels, w.settings, 1, [](int) {});
    Grab(*w.FormChan, dir, "channel_editor");
    w.FormChan->hide();
    Grab(*w.FormAbout, dir, "about");
    w.FormAbout->hide();
    w.FormComPort->SetPortSource([] {
        return std::vector<SystemPort>{{"COM1", "/dev/ttyS0"}, {"COM33", "/dev/ttyUSB0"}};
    });
    Grab(*w.FormComPort, dir, "com_port");
    w.FormComPort->hide();
    std::vector<std::string> ranges;
    w.channels.ranges.FillStrings(ranges);
    w.FormFreqRange->Fill(ranges, w.channels.ranges.currentIndex());
    Grab(*w.FormFreqRange, dir, "freq_range");
    w.FormFreqRange->hide();
    w.FormProgress->setWindowTitle(QStringLiteral("Чтение ..."));
    w.FormProgress->MemoLog->setPlainText(
        QStringLiteral("Порт COM1 открыт.\nИнформация о станции получена.\nЧтение ..."));
    w.FormProgress->driver.percent = 45;
    w.FormProgress->driver.bar_color = 0x00C000;
    Grab(*w.FormProgress, dir, "progress");
    w.FormProgress->hide();
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    ZorvexApplication app(argc, argv);
    try {
        TForm1::SetUpApplication();
        const StartArguments start = ParseStartArguments(QApplication::arguments());
        if (start.screenshots)
            return WriteScreenshots(start.screenshotsDir);
        TForm1 mainWindow; // creates the other five windows in turn
        mainWindow.show();
        if (!start.configFile.isEmpty())
            mainWindow.OpenConfiguration(start.configFile);
        return app.exec();
    } catch (const std::exception& error) {
        ShowException(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowException(QStringLiteral("Неизвестная ошибка"));
    }
    return 1;
}
