#pragma once

#include <QDialog>
#include <vector>

#include "files/BackupStore.h"

class QPushButton;
class QTableWidget;

// The list of the connected radio's backups, newest first (date and time, programming
// count, used channels), from which one is chosen to be written back.
class TFormRestore : public QDialog {
    Q_OBJECT
public:
    explicit TFormRestore(QWidget* parent = nullptr);

    // Shows these backups; the newest is selected. With none, "Восстановить" stays off.
    void SetBackups(const std::vector<BackupEntry>& backups);
    // The chosen backup, or null when none is selected.
    const BackupEntry* Chosen() const;

    QTableWidget* TableBackups = nullptr;
    QPushButton* ButtonRestore = nullptr;
    QPushButton* ButtonCancel = nullptr;

private:
    void UpdateButtons();
    std::vector<BackupEntry> backups_;
};
