#include <QApplication>
#include <QMessageBox>
#include <exception>

#include "ui/MainWindow.h"

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

} // namespace

int main(int argc, char* argv[]) {
    ZorvexApplication app(argc, argv);
    try {
        QApplication::setApplicationDisplayName(TForm1::ApplicationTitle());
        TForm1 mainWindow; // creates the other five windows in turn
        mainWindow.show();
        return app.exec();
    } catch (const std::exception& error) {
        ShowException(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowException(QStringLiteral("Неизвестная ошибка"));
    }
    return 1;
}
