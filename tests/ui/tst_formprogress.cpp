#include <QImage>
#include <QPlainTextEdit>
#include <QtTest>

#include "model/ChannelsContext.h"
#include "model/Cp1251.h"
#include "model/InfoContext.h"
#include "model/SettingsContext.h"
#include "operations/LinkErrorMessage.h"
#include "support/ModalHelpers.h"
#include "support/SimulatedRadioPort.h"
#include "ui/FormProgress.h"

namespace {

QString Utf8(const std::string& cp1251) {
    return QString::fromStdString(Cp1251ToUtf8(cp1251));
}

// The model a main window would own, with the default range set current.
struct Model {
    ChannelsContext channels;
    SettingsContext settings;
    TInfoContext info;
    Model() {
        FreqRange set;
        set.SetDefault();
        channels.ranges.Select(channels.ranges.Add(set));
    }
};

// Runs one operation in the window and closes it once the driver is done; returns the log.
QStringList RunToEnd(TFormProgress& window, int32_t mode) {
    bool finished = false;
    OnNextModal(
        [&](QWidget*) {
            finished = QTest::qWaitFor([&] { return window.driver.Finished(); }, 20000);
            window.reject();
        },
        30000);
    window.RunOperation(mode);
    if (!finished)
        qWarning("operation did not finish");
    return window.LogLines();
}

} // namespace

class TestFormProgress : public QObject {
    Q_OBJECT
private slots:
    void noPortKeepsPresetAndSaysSo_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("percent");
        QTest::addColumn<uint>("colour");
        QTest::newRow("identify") << int(MODE_IDENTIFY) << "Информация ..." << 35 << 0x008000u;
        QTest::newRow("read") << int(MODE_READ) << "Чтение ..." << 35 << 0x008000u;
        QTest::newRow("write") << int(MODE_WRITE) << "Запись ..." << 70 << 0x0000FFu;
    }
    void noPortKeepsPresetAndSaysSo() {
        QFETCH(int, mode);
        QFETCH(QString, caption);
        QFETCH(int, percent);
        QFETCH(uint, colour);
        Model m;
        TFormProgress window(m.channels, m.settings, m.info);
        window.SetPortNumber(0);
        const QStringList log = RunToEnd(window, mode);
        QCOMPARE(window.windowTitle(), caption);
        QVERIFY(log.size() >= 2);
        QCOMPARE(log.first(), QStringLiteral("Не удалось открыть порт COM0 !!!"));
        QCOMPARE(log.last(), QStringLiteral("Процесс остановлен!!!"));
        QCOMPARE(window.driver.percent, percent);
        QCOMPARE(window.driver.bar_color, colour);
    }

    void readFromSimulatedRadio_data() {
        QTest::addColumn<int>("channels2");
        QTest::addColumn<QStringList>("middle");
        QTest::newRow("two channel tables")
            << 0x0200
            << QStringList{"Таблица каналов   0-99 прочитана (версия 2.0).",
                           "Таблица каналов 100-199 прочитана (версия 2.0).",
                           "Таблица настроек прочитана (версия 1.3)."};
        QTest::newRow("no second table")
            << 0
            << QStringList{"Таблица каналов   0-99 прочитана (версия 2.0).",
                           "В станции нет таблицы каналов 100-199, каналы 100-199 очищены.",
                           "Таблица настроек прочитана (версия 1.3)."};
    }
    void readFromSimulatedRadio() {
        QFETCH(int, channels2);
        QFETCH(QStringList, middle);
        SimulatedRadioPort::Options options;
        options.channels2Version = static_cast<uint16_t>(channels2);
        SimulatedRadioPort radio(options);
        QVERIFY2(radio.Start(), radio.Error().c_str());
        Model m;
        m.channels.channels[150].freq_rx = 41000000; // the radio holds nothing there
        m.channels.channels[150].freq_tx = 41000000;
        TFormProgress window(m.channels, m.settings, m.info);
        window.SetPortNumber(radio.ComNumber());
        const QString com = QString::number(radio.ComNumber());
        const QStringList log = RunToEnd(window, MODE_READ);
        QStringList expected{"Порт COM" + com + " открыт.", "Информация о станции получена.",
                             "Чтение ..."};
        expected << middle << "Порт COM" + com + " закрыт.";
        QCOMPARE(log, expected);
        QCOMPARE(window.driver.percent, 100);
        QVERIFY(m.info.HasIdentity());
        // An empty table 100-199, or none at all: either way the slot holds nothing.
        QVERIFY(!m.channels.channels[150].IsUsed());
        QCOMPARE(m.settings.ProgramCount, m.info.programming_count + 1);
    }

    void writeToSimulatedRadio() {
        SimulatedRadioPort radio;
        QVERIFY2(radio.Start(), radio.Error().c_str());
        Model m;
        m.channels.channels[0].freq_rx = 41000000;
        m.channels.channels[0].freq_tx = 41000000;
        TFormProgress window(m.channels, m.settings, m.info);
        window.SetPortNumber(radio.ComNumber());
        const QString com = QString::number(radio.ComNumber());
        const QStringList log = RunToEnd(window, MODE_WRITE);
        QCOMPARE(log, (QStringList{"Порт COM" + com + " открыт.", "Информация о станции получена.",
                                   "Таблица каналов   0-99 сформирована (версия 2.0).",
                                   "Таблица каналов 100-199 сформирована (версия 2.0).",
                                   "Таблица настроек сформирована (версия 1.3).", "Запись ...",
                                   "Таблица каналов записана.", "Таблица настроек записана.",
                                   "Порт COM" + com + " закрыт."}));
        QCOMPARE(radio.TablesWritten(), 3u);
    }

    void writeRefusedWhenRangesDiffer() {
        SimulatedRadioPort radio;
        QVERIFY2(radio.Start(), radio.Error().c_str());
        Model m;
        FreqRange other;
        other.AddRx(40000000, 45000000);
        other.AddTx(40000000, 45000000);
        m.channels.ranges.Select(m.channels.ranges.Add(other));
        TFormProgress window(m.channels, m.settings, m.info);
        window.SetPortNumber(radio.ComNumber());
        const QString com = QString::number(radio.ComNumber());
        const QStringList log = RunToEnd(window, MODE_WRITE);
        QCOMPARE(log, (QStringList{"Порт COM" + com + " открыт.", "Информация о станции получена.",
                                   "", "Диапазон частот в станции и файле не совпадают!!!",
                                   "Запись прервана!!!", "", "Порт COM" + com + " закрыт."}));
        QCOMPARE(radio.TablesWritten(), 0u);
    }

    void errorReplyDuringIdentification() {
        SimulatedRadioPort::Options options;
        options.errorReplies = 100;
        SimulatedRadioPort radio(options);
        QVERIFY2(radio.Start(), radio.Error().c_str());
        Model m;
        TFormProgress window(m.channels, m.settings, m.info);
        window.SetPortNumber(radio.ComNumber());
        const QStringList log = RunToEnd(window, MODE_READ);
        QVERIFY(window.driver.LinkError() != 0);
        QVERIFY(log.size() >= 3);
        QCOMPARE(log.at(log.size() - 2), Utf8(LinkErrorMessage(window.driver.LinkError())));
        QCOMPARE(log.last(), "Порт COM" + QString::number(radio.ComNumber()) + " закрыт.");
        QVERIFY(!log.contains("Чтение ..."));
    }

    void escapeDuringReadClosesWithoutClosingLine() {
        SimulatedRadioPort::Options options;
        options.lineSpeed = true; // a read takes seconds: long enough to interrupt
        SimulatedRadioPort radio(options);
        QVERIFY2(radio.Start(), radio.Error().c_str());
        Model m;
        TFormProgress window(m.channels, m.settings, m.info);
        window.SetPortNumber(radio.ComNumber());
        bool reading = false;
        bool closedByEscape = false;
        OnNextModal(
            [&](QWidget*) {
                reading = QTest::qWaitFor(
                    [&] {
                        return window.driver.state == STATE_READING && radio.ReadRequests() > 0;
                    },
                    20000);
                QTest::keyClick(window.MemoLog, Qt::Key_Escape);
                closedByEscape = !window.isVisible();
            },
            30000);
        window.RunOperation(MODE_READ);
        QVERIFY(reading);
        QVERIFY(closedByEscape);
        QCOMPARE(window.driver.state, int32_t(STATE_DONE));
        QCOMPARE(window.driver.Outcome(), OperationOutcome::Cancelled);
        const QStringList log = window.LogLines();
        QCOMPARE(log.last(), QStringLiteral("Чтение ..."));
        for (const QString& line : log)
            QVERIFY(!line.contains("закрыт"));
        // The window is reused: a second operation starts with a fresh log.
        window.SetPortNumber(0);
        const QStringList again = RunToEnd(window, MODE_IDENTIFY);
        QCOMPARE(again.first(), QStringLiteral("Не удалось открыть порт COM0 !!!"));
    }

    void barWidth_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("bar");
        QTest::newRow("45 %") << 641 << 45 << 288;
        QTest::newRow("0 %") << 641 << 0 << 0;
        QTest::newRow("100 %") << 641 << 100 << 641;
        QTest::newRow("below 0: empty panel") << 641 << -1 << -1;
        QTest::newRow("above 100: empty panel") << 641 << 101 << -1;
    }
    void barWidth() {
        QFETCH(int, width);
        QFETCH(int, percent);
        QFETCH(int, bar);
        QCOMPARE(ProgressPanel::BarWidth(width, percent), bar);
    }

    void barDrawsTwoColouredLabel() {
        Model m;
        TFormProgress window(m.channels, m.settings, m.info);
        window.driver.percent = 50;
        window.driver.bar_color = 0x00C000; // green 192
        const QImage image = window.StatusBar->grab().toImage();
        const int width = image.width();
        const int end = width * 50 / 100;
        const QColor face = window.StatusBar->palette().color(QPalette::Button);
        QCOMPARE(image.pixelColor(1, 1), QColor(0, 192, 0));
        QCOMPARE(image.pixelColor(end - 1, 1), QColor(0, 192, 0));
        QCOMPARE(image.pixelColor(end + 1, 1), face);
        QCOMPARE(image.pixelColor(width - 2, image.height() - 2), face);
        // The label is centred, so at 50 % it straddles the bar's end: white text on the bar
        // (the bar itself has no red), black text beyond it.
        bool white = false, black = false;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = end - 40; x < end; ++x)
                white |= image.pixelColor(x, y).red() > 200;
            for (int x = end + 1; x < end + 40; ++x)
                black |= image.pixelColor(x, y).lightness() < 80;
        }
        QVERIFY(white);
        QVERIFY(black);
        QCOMPARE(ProgressPanel::ColorFromBgr(0x0000FF), QColor(255, 0, 0));
    }
};

QTEST_MAIN(TestFormProgress)
#include "tst_formprogress.moc"
