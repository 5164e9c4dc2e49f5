#include "ui/FormRestore.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

TFormRestore::TFormRestore(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormRestore"));
    setWindowTitle(QStringLiteral("Восстановление из резервной копии"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("Резервные копии подключённой станции:"));
    layout->addWidget(label);

    TableBackups = new QTableWidget(0, 3);
    TableBackups->setObjectName(QStringLiteral("TableBackups"));
    TableBackups->setHorizontalHeaderLabels({QStringLiteral("Дата и время"),
                                             QStringLiteral("Программирований"),
                                             QStringLiteral("Каналов")});
    TableBackups->setSelectionBehavior(QAbstractItemView::SelectRows);
    TableBackups->setSelectionMode(QAbstractItemView::SingleSelection);
    TableBackups->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TableBackups->verticalHeader()->hide();
    TableBackups->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    TableBackups->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(TableBackups);

    auto* buttons = new QDialogButtonBox;
    ButtonRestore =
        buttons->addButton(QStringLiteral("Восстановить"), QDialogButtonBox::AcceptRole);
    ButtonRestore->setObjectName(QStringLiteral("ButtonRestore"));
    ButtonCancel = buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(TableBackups, &QTableWidget::itemSelectionChanged, this, &TFormRestore::UpdateButtons);
    connect(TableBackups, &QTableWidget::cellDoubleClicked, this, [this](int, int) {
        if (Chosen() != nullptr) {
            accept();
        }
    });
    resize(460, 320);
    UpdateButtons();
}

void TFormRestore::SetBackups(const std::vector<BackupEntry>& backups) {
    backups_ = backups;
    TableBackups->clearContents();
    TableBackups->setRowCount(static_cast<int>(backups_.size()));
    auto known = [](int value) {
        return value >= 0 ? QString::number(value) : QStringLiteral("?");
    };
    for (int row = 0; row < static_cast<int>(backups_.size()); ++row) {
        const BackupEntry& e = backups_[static_cast<size_t>(row)];
        TableBackups->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(e.dateTime)));
        TableBackups->setItem(row, 1, new QTableWidgetItem(known(e.programmingCount)));
        TableBackups->setItem(row, 2, new QTableWidgetItem(known(e.usedChannels)));
    }
    if (!backups_.empty()) {
        TableBackups->selectRow(0);
    }
    UpdateButtons();
}

const BackupEntry* TFormRestore::Chosen() const {
    const QList<QTableWidgetItem*> selected = TableBackups->selectedItems();
    if (selected.isEmpty()) {
        return nullptr;
    }
    const int row = selected.first()->row();
    if (row < 0 || row >= static_cast<int>(backups_.size())) {
        return nullptr;
    }
    return &backups_[static_cast<size_t>(row)];
}

void TFormRestore::UpdateButtons() {
    ButtonRestore->setEnabled(Chosen() != nullptr);
}
