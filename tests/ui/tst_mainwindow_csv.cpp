#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "files/RangeListFile.h"
#include "support/ModalHelpers.h"
#include "ui/FormCom.h"
#include "ui/MainWindow.h"

namespace {

struct Message {
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

// The two channel-list items of the "Файл" menu.
class TestMainWindowCsv : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::vector<Message> messages_;
    QString chosen_; // what the file dialog answers

    std::unique_ptr<TForm1> MakeWindow() {
        RangeListLocation location;
        location.readFrom = location.writeTo = (dir_->path() + "/Zorvex_config.xml").toStdString();
        auto w = std::make_unique<TForm1>(location);
        w->FormComPort->SetPortSource([] { return std::vector<SystemPort>{}; });
        w->messageBoxHook = [this](QMessageBox::Icon icon, const QString& title,
                                   const QString& text) {
            messages_.push_back({icon, title, text});
        };
        w->unsavedChangesHook = [] { return TForm1::UnsavedChoice::Discard; };
        w->fileDialogHook = [this](const TForm1::FileDialogRequest& request) {
            return request.filter.contains(QStringLiteral("*.csv")) ? chosen_ : QString();
        };
        w->show();
        messages_.clear();
        return w;
    }

private slots:
    void initTestCase() { IsolateUserConfig(); }
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        messages_.clear();
    }

    void menuTexts() {
        auto w = MakeWindow();
        QCOMPARE(w->FileImportCsv->text(), QStringLiteral("Импорт каналов из CSV…"));
        QCOMPARE(w->FileExportCsv->text(), QStringLiteral("Экспорт каналов в CSV…"));
    }

    void exportWritesTheRussianFormAndImportReadsItBack() {
        auto w = MakeWindow(); // range set 0: the default 33-48.5 MHz
        w->channels.channels[4].freq_rx = 41912500;
        w->channels.channels[4].freq_tx = 40000000;
        w->channels.channels[4].subtone_rx = 51;
        chosen_ = dir_->path() + "/list.csv";
        w->FileExportCsv->trigger();
        QCOMPARE(messages_.size(), size_t(1));
        QCOMPARE(messages_[0].icon, QMessageBox::Information);
        const QByteArray bytes = ReadFile(chosen_);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBFSlot;Number;Rx MHz;"));
        QVERIFY(bytes.contains("\r\n4;4;41,9125;40;25;25;D023;"));

        const auto exported = w->channels.channels;
        w->FileCreateExecute();
        QVERIFY(!w->channels.channels[4].IsUsed());
        messages_.clear();
        w->FileImportCsv->trigger();
        QVERIFY(messages_.empty());
        QVERIFY(w->channels.channels == exported);
        QVERIFY(w->HasUnsavedChanges());
    }

    void importWithProblemsListsThemAndKeepsTheChannels() {
        auto w = MakeWindow();
        w->channels.channels[9].freq_rx = 40000000;
        const auto before = w->channels.channels;
        chosen_ = dir_->path() + "/bad.csv";
        WriteFile(chosen_, "Slot;Rx MHz;Squelch\r\n0;40;1\r\n1;150;9\r\n");
        w->FileImportCsv->trigger();
        QCOMPARE(messages_.size(), size_t(1));
        QCOMPARE(messages_[0].icon, QMessageBox::Warning);
        const QStringList lines = messages_[0].text.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[1], QStringLiteral("строка 3, столбец «Rx MHz», значение «150»: частота вне "
                                          "диапазонов приема"));
        QVERIFY(lines[2].startsWith(QStringLiteral("строка 3, столбец «Squelch»")));
        QVERIFY(w->channels.channels == before);
    }

    void cancelledDialogsDoNothing() {
        auto w = MakeWindow();
        chosen_.clear();
        w->FileImportCsv->trigger();
        w->FileExportCsv->trigger();
        QVERIFY(messages_.empty());
        QVERIFY(!w->HasUnsavedChanges());
    }
};

QTEST_MAIN(TestMainWindowCsv)
#include "tst_mainwindow_csv.moc"
