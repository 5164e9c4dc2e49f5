#include "ui/FormFreqRange.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "model/Cp1251.h"

TFormFreqRange::TFormFreqRange(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Диапазон частот"));
    ComboBoxRanges = new QComboBox(this);
    ComboBoxRanges->setObjectName(QStringLiteral("ComboBoxRanges"));
    ComboBoxRanges->setEditable(false);
    ComboBoxRanges->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ButtonOk = new QPushButton(QStringLiteral("Выбрать"), this);
    ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
    ButtonOk->setDefault(true);
    ButtonCancel = new QPushButton(QStringLiteral("Отменить"), this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ButtonOk);
    buttons->addWidget(ButtonCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ComboBoxRanges);
    layout->addLayout(buttons);

    connect(ButtonOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);

    // Resizable in width only.
    setMinimumWidth(250);
    const int height = sizeHint().height();
    setMinimumHeight(height);
    setMaximumHeight(height);
    resize(250, height);
}

void TFormFreqRange::Fill(const std::vector<std::string>& texts, int current) {
    ComboBoxRanges->clear();
    for (const std::string& text : texts) {
        ComboBoxRanges->addItem(QString::fromStdString(Cp1251ToUtf8(text)));
    }
    ComboBoxRanges->setCurrentIndex(current >= 0 && current < ComboBoxRanges->count() ? current
                                                                                      : -1);
}

int TFormFreqRange::SelectedIndex() const {
    return ComboBoxRanges->currentIndex();
}

void TFormFreqRange::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ComboBoxRanges->setFocus();
}
