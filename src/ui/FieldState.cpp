#include "ui/FieldState.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

QColor StateColour(FieldState state) {
    switch (state) {
    case FieldState::Invalid:
        return QColor(Qt::red);
    case FieldState::Warning:
        return QColor(Qt::yellow);
    case FieldState::Valid:
        break;
    }
    return QColor();
}

void ShowState(FieldState state, QWidget* edit, bool evenDisabled) {
    if (!edit)
        return;
    QPalette pal = QApplication::palette(edit);
    const QColor colour = StateColour(state);
    if (colour.isValid()) {
        pal.setColor(QPalette::Active, QPalette::Base, colour);
        pal.setColor(QPalette::Inactive, QPalette::Base, colour);
    }
    pal.setColor(QPalette::Disabled, QPalette::Base,
                 evenDisabled && colour.isValid()
                     ? colour
                     : pal.color(QPalette::Disabled, QPalette::Button));
    edit->setPalette(pal);
}
