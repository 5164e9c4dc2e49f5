#include <QLabel>
#include <QtTest>

#include "model/InfoContext.h"
#include "support/ModalHelpers.h"
#include "ui/About.h"

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void buildDateLine_data() {
        QTest::addColumn<QString>("compilerDate");
        QTest::addColumn<QString>("line");
        QTest::newRow("single-digit day, padded") << "Mar  5 2024"
                                                  << "Дата сборки 5.3.2024";
        QTest::newRow("January") << "Jan  1 2025"
                                 << "Дата сборки 1.1.2025";
        QTest::newRow("December") << "Dec 31 1999"
                                  << "Дата сборки 31.12.1999";
        QTest::newRow("September") << "Sep 10 2026"
                                   << "Дата сборки 10.9.2026";
        QTest::newRow("month word not at a boundary") << "anF 10 2026"
                                                      << "Дата сборки ?";
        QTest::newRow("unknown month") << "Foo 10 2026"
                                       << "Дата сборки ?";
        QTest::newRow("not a date") << ""
                                    << "Дата сборки ?";
    }
    void buildDateLine() {
        QFETCH(QString, compilerDate);
        QFETCH(QString, line);
        QCOMPARE(BuildDateLine(compilerDate.toLatin1().constData()), line);
    }

    void showFillsLabels() {
        TFormAbout about;
        about.Label2->setText("changed");
        OnNextModal([&](QWidget* modal) {
            QCOMPARE(modal, static_cast<QWidget*>(&about));
            QTest::keyClick(modal, Qt::Key_Escape); // Esc closes it
        });
        about.exec();
        QCOMPARE(about.windowTitle(), QStringLiteral("О программе"));
        QCOMPARE(about.Label1->text(), QStringLiteral("Программатор каналов и настроек"));
        QCOMPARE(about.Label2->text(), QStringLiteral("мобильных радиостанций"));
        QCOMPARE(about.LabelVersion->text(),
                 QStringLiteral("Версия %1 2.0.0").arg(QString::fromStdString(OwnProgrammerId())));
        QCOMPARE(about.LabelDate->text(), BuildDateLine(__DATE__));
        QVERIFY(!about.LabelDate->text().contains('?'));
        QCOMPARE(about.LabelChannelsVersion->text(), QStringLiteral("Версия таблицы каналов 2.0"));
        QCOMPARE(about.LabelSettingsVersion->text(), QStringLiteral("Версия таблицы настроек 1.3"));
        QVERIFY(!about.isVisible());
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
