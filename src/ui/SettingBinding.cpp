#include "ui/SettingBinding.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

TrackBar::TrackBar(Qt::Orientation orientation, int minimum, int maximum, QWidget* parent)
    : QSlider(orientation, parent) {
    setRange(minimum, maximum);
    setSingleStep(1);
    setPageStep(1);
    setFocusPolicy(Qt::StrongFocus);
}

void TrackBar::SetSelection(int start, int end) {
    if (start == selectionStart && end == selectionEnd)
        return;
    selectionStart = start;
    selectionEnd = end;
    update();
}

void TrackBar::paintEvent(QPaintEvent* event) {
    QSlider::paintEvent(event);
    if (!HasSelection())
        return;
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const bool horizontal = orientation() == Qt::Horizontal;
    const int handleLength = horizontal ? handle.width() : handle.height();
    const int span = (horizontal ? groove.width() : groove.height()) - handleLength;
    auto at = [&](int v) {
        const int offset =
            QStyle::sliderPositionFromValue(minimum(), maximum(), v, span, option.upsideDown);
        return (horizontal ? groove.left() : groove.top()) + offset + handleLength / 2;
    };
    const int a = at(selectionStart);
    const int b = at(selectionEnd);
    QPainter p(this);
    QColor band = palette().color(QPalette::Highlight);
    band.setAlpha(140);
    const int thickness = 4;
    if (horizontal) {
        const int y = groove.center().y() - thickness / 2;
        p.fillRect(QRect(QPoint(std::min(a, b), y), QPoint(std::max(a, b), y + thickness - 1)),
                   band);
    } else {
        const int x = groove.center().x() - thickness / 2;
        p.fillRect(QRect(QPoint(x, std::min(a, b)), QPoint(x + thickness - 1, std::max(a, b))),
                   band);
    }
}

bool ParseBindingText(const QString& text, int minimum, int maximum, int& value) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    int v = trimmed.toInt(&ok);
    if (!ok)
        v = minimum;
    if (trimmed != QString::number(v) || v < minimum || v > maximum)
        return false;
    value = v;
    return true;
}

int PasswordFromText(const QString& text) {
    QString digits = text;
    while (digits.size() < 5)
        digits.append(QLatin1Char('0'));
    digits.replace(QLatin1Char(' '), QLatin1Char('0'));
    bool ok = false;
    int v = digits.toInt(&ok);
    if (!ok)
        v = -1;
    return v < 0 ? 0 : v;
}
