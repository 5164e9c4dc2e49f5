#include "ui/SettingsPages.h"

#include <QWheelEvent>
#include <QWidget>

SettingsPages::SettingsPages(SettingsContext& settings_, TInfoContext& info_, CellPainter& painter_,
                             QWidget* parent)
    : QObject(parent), settings(settings_), info(info_), painter(painter_) {
    page1 = new QWidget(parent);
    page2 = new QWidget(parent);
}

SettingsPages::~SettingsPages() = default;

void SettingsPages::RefreshSettings() {}
void SettingsPages::ApplySettingsVersion() {}
bool SettingsPages::HandleWheel(QWheelEvent*) {
    return false;
}
bool SettingsPages::eventFilter(QObject* watched, QEvent* event) {
    return QObject::eventFilter(watched, event);
}
