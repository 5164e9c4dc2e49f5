#pragma once

#include <QWidget>
#include <functional>

// Runs `action` on the next modal window that appears (QApplication::activeModalWidget),
// from the event loop that window runs. Polls briefly; gives up after timeoutMs so a test
// never hangs on a dialog that did not come. The action should close the window; one still
// open timeoutMs after the action is rejected with a warning.
void OnNextModal(std::function<void(QWidget* modal)> action, int timeoutMs = 10000);

// Like OnNextModal, for a modal window that is not `previous` (a dialog opened from inside
// another modal window).
void OnNextModalOtherThan(QWidget* previous, std::function<void(QWidget* modal)> action,
                          int timeoutMs = 10000);

// Closes the next modal window with reject() (or close() when it is not a dialog).
void RejectNextModal(int timeoutMs = 10000);

// Points the per-user configuration (QSettings, the per-user range list) and data (backups)
// at a fresh temporary directory for the rest of the process. Call before the first
// QSettings use.
void IsolateUserConfig();
