#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <cstdio>
#include <exception>
#include <string_view>

#include "ui/About.h"
#include "ui/FormChannel.h"
#include "ui/FormCom.h"
#include "ui/FormFreqRange.h"
#include "ui/FormProgress.h"
#include "ui/MainWindow.h"
#include "ui/StartArguments.h"

namespace {

const char* const USAGE = R"(Использование: zorvex-prog [ПАРАМЕТРЫ] [ФАЙЛ.xml]

Программатор мобильных УКВ радиостанций ЗЕВРАН 5Т-17ЛМ. Через последовательный порт
считывает из радиостанции две таблицы каналов и таблицу настроек, позволяет изменить
200 каналов и настройки станции и записывает их обратно. Конфигурации хранятся в файлах
XML; ФАЙЛ.xml, если он указан, открывается при запуске. Список каналов выгружается
в электронную таблицу.

Параметры:
  -h, --help       показать эту справку и выйти
  -V, --version    показать название и версию программы и выйти
Принимаются и стандартные параметры Qt, например -platform offscreen.

Порты COM1-COM32 - это устройства /dev/ttyS0-/dev/ttyS31, COM33-COM64 -
/dev/ttyUSB0-/dev/ttyUSB31, COM65-COM96 - /dev/ttyACM0-/dev/ttyACM31. Переменная
окружения ZORVEX_COMn=УСТРОЙСТВО ставит за номер n любое устройство, например
ZORVEX_COM97=/dev/pts/5 - имитатор радиостанции zorvex-radio-sim.
)";

// Answers --help and --version before the application object exists, so that both work
// without a display. Returns true when one of them was given (before a "--").
bool AnswerInfoOption(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--")
            break;
        if (arg == "--help" || arg == "-h") {
            std::fputs(USAGE, stdout);
            return true;
        }
        if (arg == "--version" || arg == "-V") {
            std::fputs("zorvex-prog " ZORVEX_VERSION "\n", stdout);
            return true;
        }
    }
    return false;
}

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
    if (AnswerInfoOption(argc, argv))
        return 0;
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
