#include "ui/About.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <cstdio>
#include <cstring>

#include "model/Cp1251.h"
#include "model/InfoContext.h"
#include "ui/Icons.h"

namespace {
constexpr int kChannelsVersionMajor = 2, kChannelsVersionMinor = 0;
constexpr int kSettingsVersionMajor = 1, kSettingsVersionMinor = 3;
} // namespace

QString BuildDateLine(const char* compilerDate) {
    static const char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    char month[4] = {};
    int day = 0, year = 0;
    if (compilerDate == nullptr ||
        std::sscanf(compilerDate, "%3s %d %d", month, &day, &year) != 3 ||
        std::strlen(month) != 3) {
        return QStringLiteral("Дата сборки ?");
    }
    const char* found = std::strstr(kMonths, month);
    if (found == nullptr || (found - kMonths) % 3 != 0)
        return QStringLiteral("Дата сборки ?");
    const int monthNumber = static_cast<int>(found - kMonths) / 3 + 1;
    return QStringLiteral("Дата сборки %1.%2.%3").arg(day).arg(monthNumber).arg(year);
}

TFormAbout::TFormAbout(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("О программе"));
    ImageIcon = new QLabel(this);
    ImageIcon->setPixmap(PixmapByName(QStringLiteral("app")));
    ImageIcon->setFixedSize(32, 32);
    Label1 = new QLabel(QStringLiteral("Программатор каналов и настроек"), this);
    Label2 = new QLabel(this);
    LabelVersion = new QLabel(this);
    LabelDate = new QLabel(this);
    LabelChannelsVersion = new QLabel(this);
    LabelSettingsVersion = new QLabel(this);
    ButtonOk = new QPushButton(QStringLiteral("OK"), this);
    ButtonOk->setDefault(true);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label2->setFont(bold);

    auto* title = new QVBoxLayout;
    title->addWidget(Label1);
    title->addWidget(Label2);
    auto* head = new QHBoxLayout;
    head->addWidget(ImageIcon, 0, Qt::AlignTop);
    head->addSpacing(8);
    head->addLayout(title, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addSpacing(12);
    for (QLabel* label : {LabelVersion, LabelDate, LabelChannelsVersion, LabelSettingsVersion}) {
        label->setAlignment(Qt::AlignHCenter);
        layout->addWidget(label);
    }
    layout->addStretch(1);
    layout->addWidget(ButtonOk, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ButtonOk, &QPushButton::clicked, this, &QDialog::accept);
    FormShow();
}

void TFormAbout::FormShow() {
    Label2->setText(QStringLiteral("мобильных радиостанций"));
    LabelDate->setText(BuildDateLine(__DATE__));
    LabelVersion->setText(QStringLiteral("Версия ") +
                          QString::fromStdString(Cp1251ToUtf8(OwnProgrammerId())) +
                          QStringLiteral(" ") + QLatin1String(kProgramVersion));
    LabelChannelsVersion->setText(QStringLiteral("Версия таблицы каналов %1.%2")
                                      .arg(kChannelsVersionMajor)
                                      .arg(kChannelsVersionMinor));
    LabelSettingsVersion->setText(QStringLiteral("Версия таблицы настроек %1.%2")
                                      .arg(kSettingsVersionMajor)
                                      .arg(kSettingsVersionMinor));
}

void TFormAbout::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}
