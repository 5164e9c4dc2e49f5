#include "ModalHelpers.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

namespace {

// Watches a modal window the test acted on until it closes; rejects it when it is still
// open after timeoutMs. Stops as soon as the window has been hidden once.
void Watch(QPointer<QWidget> modal, int timeoutMs, std::shared_ptr<QElapsedTimer> clock) {
    if (!clock->isValid())
        clock->start();
    if (!modal || !modal->isVisible())
        return;
    if (clock->elapsed() > timeoutMs) {
        qWarning("modal window left open by the test: closing it");
        if (auto* dialog = qobject_cast<QDialog*>(modal.data())) {
            dialog->reject();
        } else {
            modal->close();
        }
        return;
    }
    QTimer::singleShot(20, qApp, [=] { Watch(modal, timeoutMs, clock); });
}

void Poll(QWidget* previous, std::function<void(QWidget*)> action, int timeoutMs,
          std::shared_ptr<QElapsedTimer> clock) {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != previous && modal->isVisible()) {
        action(modal);
        // A failed check inside the action returns before the window is closed: close it
        // so the test goes on (and fails) instead of hanging.
        Watch(QPointer<QWidget>(modal), timeoutMs, std::make_shared<QElapsedTimer>());
        return;
    }
    if (clock->elapsed() > timeoutMs) {
        qWarning("no modal window appeared within %d ms", timeoutMs);
        return;
    }
    QTimer::singleShot(5, qApp, [=] { Poll(previous, action, timeoutMs, clock); });
}

} // namespace

void OnNextModalOtherThan(QWidget* previous, std::function<void(QWidget*)> action, int timeoutMs) {
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QTimer::singleShot(0, qApp, [=] { Poll(previous, action, timeoutMs, clock); });
}

void OnNextModal(std::function<void(QWidget*)> action, int timeoutMs) {
    OnNextModalOtherThan(nullptr, std::move(action), timeoutMs);
}

void RejectNextModal(int timeoutMs) {
    OnNextModal(
        [](QWidget* modal) {
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            } else {
                modal->close();
            }
        },
        timeoutMs);
}

void IsolateUserConfig() {
    static QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    // Writes make backups: keep them out of the user's data folder too.
    qputenv("XDG_DATA_HOME", (dir.path() + QStringLiteral("/data")).toLocal8Bit());
}
