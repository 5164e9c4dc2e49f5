// Every window of the program fits a 1280 × 720 screen (logical pixels) with a task bar along
// its bottom and room for the window's title bar: a 1920 × 1080 screen at a scale factor of
// 150 % is that size. The test makes the offscreen platform's screen that size; it runs once
// as it is and once with QT_SCALE_FACTOR=1.5 (see tests/CMakeLists.txt).

#include <QApplication>
#include <QFile>
#include <QLayout>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "files/RangeListFile.h"
#include "support/ModalHelpers.h"
#include "ui/About.h"
#include "ui/FormChannel.h"
#include "ui/FormCom.h"
#include "ui/FormFreqRange.h"
#include "ui/FormProgress.h"
#include "ui/MainWindow.h"

namespace {

const QSize kScreen(1280, 720);
constexpr int kTaskBar = 48;
// A title bar with the window's borders.
const QSize kFrame(16, 40);

QSize Room() {
    return QSize(kScreen.width() - kFrame.width(), kScreen.height() - kTaskBar - kFrame.height());
}

// The screen the windows open on: kScreen without the task bar, in device pixels.
QByteArray ScreenConfiguration(double scale) {
    const int width = qRound(kScreen.width() * scale);
    const int height = qRound((kScreen.height() - kTaskBar) * scale);
    return QStringLiteral("{ \"screens\": [ { \"name\": \"screen\", \"x\": 0, \"y\": 0, "
                          "\"width\": %1, \"height\": %2, \"logicalDpi\": 96 } ] }")
        .arg(width)
        .arg(height)
        .toUtf8();
}

// The smallest size the user can give the window.
QSize SmallestSize(const QWidget& window) {
    QSize smallest = window.minimumSize();
    if (window.layout() && window.layout()->sizeConstraint() != QLayout::SetNoConstraint)
        smallest = smallest.expandedTo(window.layout()->totalMinimumSize());
    return smallest;
}

} // namespace

class TestWindowSizes : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<TForm1> main_;

    QWidget* Window(const QString& name) {
        if (name == "main")
            return main_.get();
        if (name == "editor")
            return main_->FormChan;
        if (name == "about")
            return main_->FormAbout;
        if (name == "port")
            return main_->FormComPort;
        if (name == "progress")
            return main_->FormProgress;
        return main_->FormFreqRange;
    }

private slots:
    void initTestCase() {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(area.size(), QSize(kScreen.width(), kScreen.height() - kTaskBar));
        IsolateUserConfig();
        RangeListLocation location;
        location.readFrom = location.writeTo = (dir_.path() + "/Zorvex_config.xml").toStdString();
        main_ = std::make_unique<TForm1>(location);
        main_->messageBoxHook = [](QMessageBox::Icon, const QString&, const QString&) {};
        main_->show();
        main_->FormChan->Setup(main_->channels, main_->settings, 0, [](int) {});
    }
    void cleanupTestCase() { main_.reset(); }

    void everyWindowFitsTheScreen_data() {
        QTest::addColumn<QString>("window");
        for (const char* name : {"main", "editor", "about", "port", "progress", "range"})
            QTest::newRow(name) << name;
    }
    void everyWindowFitsTheScreen() {
        QFETCH(QString, window);
        QWidget* w = Window(window);
        w->show();
        QCoreApplication::processEvents();
        const QSize smallest = SmallestSize(*w);
        const QSize room = Room();
        QVERIFY2(smallest.width() <= room.width() && smallest.height() <= room.height(),
                 qPrintable(QStringLiteral("smallest %1×%2, room %3×%4")
                                .arg(smallest.width())
                                .arg(smallest.height())
                                .arg(room.width())
                                .arg(room.height())));
        QVERIFY2(w->width() <= room.width() && w->height() <= room.height(),
                 qPrintable(QStringLiteral("at start %1×%2").arg(w->width()).arg(w->height())));
        // In device pixels the same room is 1920 × 1080 at 150 %.
        const qreal ratio = w->devicePixelRatioF();
        QVERIFY(smallest.height() * ratio <= room.height() * ratio + 0.5);
        if (w != main_.get())
            w->hide();
    }

    // Nothing of the channel editor is out of reach at its smallest size: what does not fit
    // scrolls, and the buttons stay in view.
    void editorAtItsSmallestKeepsButtonsInView() {
        TFormChan* editor = main_->FormChan;
        editor->show();
        editor->resize(SmallestSize(*editor));
        QCoreApplication::processEvents();
        for (const char* name : {"ButtonOk", "ButtonCancel", "ButtonPrev", "ButtonNext"}) {
            auto* button = editor->findChild<QWidget*>(QLatin1String(name));
            QVERIFY(button);
            const QRect inDialog(button->mapTo(editor, QPoint(0, 0)), button->size());
            QVERIFY2(editor->rect().contains(inDialog), name);
        }
        editor->hide();
    }
};

int main(int argc, char** argv) {
    bool ok = false;
    double scale = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    if (!ok || scale <= 0)
        scale = 1.0;
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) || file.write(ScreenConfiguration(scale)) < 0)
        return 2;
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    QApplication app(argc, argv);
    TestWindowSizes test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_window_sizes.moc"
