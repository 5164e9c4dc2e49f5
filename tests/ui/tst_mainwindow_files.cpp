// The main window and files: errors in Russian naming the file, Qt's own texts in Russian,
// the folders the file dialogs remember, and a configuration named on the command line.

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <memory>
#include <sys/resource.h>

#include "files/RangeListFile.h"
#include "support/ModalHelpers.h"
#include "ui/FormChannel.h"
#include "ui/FormCom.h"
#include "ui/MainWindow.h"
#include "ui/StartArguments.h"

namespace {

struct Message {
    QMessageBox::Icon icon;
    QString text;
    QString detail;
};

const char* const kOneChannel =
    "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<root>\n<Channels>\n"
    "<channel id=\"4\"><freq_rx>41000000</freq_rx><freq_tx>41000000</freq_tx></channel>\n"
    "</Channels>\n</root>\n";

// Lowers the file-size limit of this process for one scope (writes beyond it fail with
// EFBIG instead of killing the process).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &before_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = before_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &before_);
        std::signal(SIGXFSZ, previous_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit before_{};
    void (*previous_)(int) = nullptr;
};

} // namespace

class TestMainWindowFiles : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::vector<Message> messages_;
    std::vector<TForm1::FileDialogRequest> requests_;
    QString answer_; // what the file dialog answers

    std::unique_ptr<TForm1> MakeWindow() {
        RangeListLocation location;
        location.readFrom = location.writeTo = (dir_->path() + "/Zorvex_config.xml").toStdString();
        auto w = std::make_unique<TForm1>(location);
        w->FormComPort->SetPortSource([] { return std::vector<SystemPort>{{"COM3", ""}}; });
        w->messageBoxHook = [this, window = w.get()](QMessageBox::Icon icon, const QString&,
                                                     const QString& text) {
            messages_.push_back({icon, text, window->LastMessageDetail()});
        };
        w->fileDialogHook = [this](const TForm1::FileDialogRequest& request) {
            requests_.push_back(request);
            return answer_;
        };
        w->unsavedChangesHook = [] { return TForm1::UnsavedChoice::Discard; };
        w->show();
        return w;
    }

    QString Path(const char* name) const { return dir_->path() + QLatin1Char('/') + name; }

    void Write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private slots:
    void initTestCase() { IsolateUserConfig(); }
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        messages_.clear();
        requests_.clear();
        answer_.clear();
        QSettings(QStringLiteral("Zorvex_Prog"), QStringLiteral("Settings")).clear();
    }

    void qtOwnTextsAreRussian() {
        TForm1::SetUpApplication();
        TForm1::SetUpApplication(); // once is enough, twice does no harm
        QMessageBox box(QMessageBox::Question, QString(), QString(),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Отмена"));
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')),
                 QStringLiteral("Да"));
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        QVERIFY(buttons);
        QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Отмена"));
    }

    // Open, save and export failures say in Russian what went wrong and with which file; the
    // library's own words follow underneath.
    void fileErrorsNameTheFileAndTheReason_data() {
        QTest::addColumn<QString>("action"); // open, save, export
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("text"); // %1: the target's path
        QTest::newRow("open a missing file")
            << "open"
            << "missing.xml"
            << "Не удалось открыть файл «%1»: нет такого файла или папки.";
        QTest::newRow("open a file that is not XML")
            << "open"
            << "notes.xml"
            << "Не удалось открыть файл «%1»: это не файл настроек радиостанции (XML) или он "
               "повреждён.";
        QTest::newRow("open a folder") << "open"
                                       << "folder"
                                       << "Не удалось открыть файл «%1»: это папка, а не файл.";
        QTest::newRow("save into a missing folder")
            << "save"
            << "no-such-dir/cfg.xml"
            << "Не удалось сохранить файл «%1»: нет такого файла или папки.";
        QTest::newRow("save beyond the file-size limit")
            << "save"
            << "big.xml"
            << "Не удалось сохранить файл «%1»: превышен допустимый размер файла.";
        QTest::newRow("export into a missing folder") << "export"
                                                      << "no-such-dir/channels.xlsx"
                                                      << "Ошибка при экспорте!!!";
    }
    void fileErrorsNameTheFileAndTheReason() {
        QFETCH(QString, action);
        QFETCH(QString, target);
        QFETCH(QString, text);
        Write(Path("notes.xml"), "just some notes, no markup\n");
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("folder")));
        auto w = MakeWindow();
        w->channels.channels[4].freq_rx = w->channels.channels[4].freq_tx = 41000000;
        answer_ = Path(target.toUtf8().constData());
        const QString shown = QDir::toNativeSeparators(answer_);
        if (action == "open") {
            w->FileOpen1->trigger();
        } else if (action == "save") {
            std::unique_ptr<FileSizeLimit> limit;
            if (target == "big.xml")
                limit = std::make_unique<FileSizeLimit>(512);
            w->FileSaveAs1->trigger();
        } else {
            w->FileSaveAs2->trigger();
        }
        QCOMPARE(messages_.size(), size_t(1));
        QCOMPARE(messages_[0].icon, QMessageBox::Critical);
        QCOMPARE(messages_[0].text, text.contains("%1") ? text.arg(shown) : text);
        QVERIFY(!messages_[0].detail.isEmpty()); // the library's words
        if (action == "export") {
            QVERIFY2(messages_[0].detail.startsWith(
                         QStringLiteral("Не удалось записать файл «%1»: папка «%2» не существует.")
                             .arg(shown, QDir::toNativeSeparators(Path("no-such-dir")))),
                     qPrintable(messages_[0].detail));
        }
        QVERIFY(w->channels.channels[4].IsUsed()); // nothing in hand is lost
        QVERIFY(!QFile::exists(Path("big.xml")));
    }

    // Configurations and exports each come back to the folder they were last taken from.
    void fileDialogsRememberTheLastFolderPerKind() {
        QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("configs")));
        QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("sheets")));
        Write(Path("configs/a.xml"), kOneChannel);
        {
            auto w = MakeWindow();
            answer_ = Path("configs/a.xml");
            w->FileOpen1->trigger();
            QVERIFY(w->channels.channels[4].IsUsed());
            answer_ = Path("sheets/out.xlsx");
            w->FileSaveAs2->trigger();
            answer_.clear(); // a cancelled dialog remembers nothing
            w->FileSaveAs1->trigger();
            w->FileSaveAs2->trigger();
            QCOMPARE(requests_.size(), size_t(4));
            QCOMPARE(requests_[0].kind, TForm1::FileKind::Configuration);
            QCOMPARE(requests_[0].folder, QString()); // nothing remembered yet
            QCOMPARE(requests_[1].kind, TForm1::FileKind::Export);
            QCOMPARE(requests_[1].folder, QString());
            QCOMPARE(requests_[2].folder, Path("configs"));
            QCOMPARE(requests_[3].folder, Path("sheets"));
        }
        // The next start offers the same folders; a folder that has gone is not offered.
        requests_.clear();
        QVERIFY(QDir(Path("sheets")).removeRecursively());
        auto w = MakeWindow();
        w->FileOpen1->trigger();
        w->FileSaveAs2->trigger();
        QCOMPARE(requests_.size(), size_t(2));
        QCOMPARE(requests_[0].folder, Path("configs"));
        QCOMPARE(requests_[1].folder, QString());
    }

    void commandLineNamesTheConfiguration_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("screenshots");
        QTest::newRow("none") << QStringList{"zorvex-prog"} << ""
                              << "";
        QTest::newRow("a file") << QStringList{"zorvex-prog", "/tmp/a.xml"} << "/tmp/a.xml"
                                << "";
        QTest::newRow("options around it")
            << QStringList{"zorvex-prog", "-style", "/tmp/a.xml", "b.xml"} << "/tmp/a.xml"
            << "";
        QTest::newRow("a name after --")
            << QStringList{"zorvex-prog", "--", "-odd.xml"} << "-odd.xml"
            << "";
        QTest::newRow("screenshots") << QStringList{"zorvex-prog", "--screenshots", "shots"} << ""
                                     << "shots";
    }
    void commandLineNamesTheConfiguration() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, file);
        QFETCH(QString, screenshots);
        const StartArguments start = ParseStartArguments(arguments);
        QCOMPARE(start.configFile, file);
        QCOMPARE(start.screenshots, !screenshots.isEmpty());
        QCOMPARE(start.screenshotsDir, screenshots);
    }

    // "Open with": the file given at start is opened and counts as kept; one that cannot be
    // opened gives the usual error and leaves the empty configuration.
    void configurationOpenedAtStart() {
        Write(Path("start.xml"), kOneChannel);
        auto w = MakeWindow();
        QVERIFY(w->OpenConfiguration(Path("start.xml")));
        QVERIFY(w->channels.channels[4].IsUsed());
        QVERIFY(!w->HasUnsavedChanges());
        QVERIFY(messages_.empty());

        auto other = MakeWindow();
        QVERIFY(!other->OpenConfiguration(Path("gone.xml")));
        QCOMPARE(messages_.size(), size_t(1));
        QCOMPARE(messages_[0].text,
                 QStringLiteral("Не удалось открыть файл «%1»: нет такого файла или папки.")
                     .arg(QDir::toNativeSeparators(Path("gone.xml"))));
        for (const Channel& channel : other->channels.channels)
            QVERIFY(!channel.IsUsed());
        QVERIFY(!other->HasUnsavedChanges());
    }
};

QTEST_MAIN(TestMainWindowFiles)
#include "tst_mainwindow_files.moc"
