#include "ui/SettingBinding.h"

bool ParseBindingText(const QString& text, int minimum, int maximum, int& value) {
    (void)text;
    (void)minimum;
    (void)maximum;
    (void)value;
    return false;
}

int PasswordFromText(const QString& text) {
    (void)text;
    return 0;
}
