#include "ui/FieldState.h"

#include <QPalette>
#include <QWidget>

void ShowState(FieldState state, QWidget* edit) {
    if (!edit)
        return;
    QPalette pal = edit->palette();
    QColor colour = edit->palette().color(QPalette::Active, QPalette::Base);
    (void)state;
    pal.setColor(QPalette::Base, colour);
    edit->setPalette(pal);
}
