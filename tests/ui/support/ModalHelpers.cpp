#include "ModalHelpers.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

namespace {

void Poll(QWidget* previous, std::function<void(QWidget*)> action, int timeoutMs,
          std::shared_ptr<QElapsedTimer> clock) {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != previous && modal->isVisible()) {
        action(modal);
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
}
