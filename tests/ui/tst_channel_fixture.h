#pragma once

// A channel table with one range set, the settings, and the channel editor opened on it.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include <initializer_list>
#include <utility>
#include <vector>

#include "model/ChannelsContext.h"
#include "model/SettingsContext.h"
#include "ui/FormChannel.h"

using Band = std::pair<uint32_t, uint32_t>;
Q_DECLARE_METATYPE(std::vector<Band>)

struct EditorFixture {
    ChannelsContext channels;
    SettingsContext settings;
    TFormChan dlg;
    std::vector<int> gridRows; // rows the dialog moved the grid to

    // Receive and transmit ranges of the one current set; transmit defaults to receive.
    explicit EditorFixture(std::initializer_list<Band> rx = {{146000000, 174000000}},
                           std::initializer_list<Band> tx = {}) {
        UseRanges(rx, tx);
    }

    void UseRanges(std::initializer_list<Band> rx, std::initializer_list<Band> tx = {}) {
        FreqRange set;
        for (const Band& b : rx)
            set.AddRx(b.first, b.second);
        for (const Band& b : (tx.size() ? tx : rx))
            set.AddTx(b.first, b.second);
        channels.ranges.Clear();
        channels.ranges.Add(set);
        channels.ranges.Select(0);
    }

    Channel& Slot(int n) { return channels.channels[static_cast<std::size_t>(n)]; }

    void Open(int index) {
        dlg.Setup(channels, settings, index, [this](int row) { gridRows.push_back(row); });
        dlg.show();
    }

    template <class T> T* W(const char* name) {
        T* w = dlg.findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QLineEdit* Edit(const char* name) { return W<QLineEdit>(name); }
    QCheckBox* Box(const char* name) { return W<QCheckBox>(name); }
    QComboBox* Combo(const char* name) { return W<QComboBox>(name); }
    QPushButton* Button(const char* name) { return W<QPushButton>(name); }
    QToolButton* Link(const char* name) { return W<QToolButton>(name); }

    // Types into an edit from its first position, as a user who clicked there would.
    static void TypeOver(QLineEdit* edit, const QString& keys) {
        edit->setFocus();
        if (edit->inputMask().isEmpty())
            edit->selectAll();
        else
            edit->home(false);
        QTest::keyClicks(edit, keys);
    }

    // A click on a check box's indicator.
    static void Tick(QCheckBox* box) {
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
    }

    // The background the user sees: "red", "yellow", "normal" or "disabled".
    static QString Colour(QWidget* edit) {
        const QPalette::ColorGroup group =
            edit->isEnabled() ? QPalette::Active : QPalette::Disabled;
        const QColor c = edit->palette().color(group, QPalette::Base);
        if (c == QColor(Qt::red))
            return QStringLiteral("red");
        if (c == QColor(Qt::yellow))
            return QStringLiteral("yellow");
        if (!edit->isEnabled() &&
            c == QApplication::palette(edit).color(QPalette::Disabled, QPalette::Button))
            return QStringLiteral("disabled");
        if (c == QApplication::palette(edit).color(group, QPalette::Base))
            return QStringLiteral("normal");
        return c.name();
    }

    // One wheel notch (or several: 120 per notch) over a control, with keyboard modifiers.
    static void Wheel(QWidget* over, int delta, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        const QPointF local = QRectF(over->rect()).center();
        QWheelEvent event(local, QPointF(over->mapToGlobal(local.toPoint())), QPoint(),
                          QPoint(0, delta), Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(over, &event);
    }

    // Digits the frequency edit shows, without the group blanks.
    static QString Digits(QLineEdit* edit) { return edit->displayText().remove(' '); }
};

// A channel at frequency f both ways, in the given band, otherwise defaults.
inline Channel ChannelAt(int32_t f, bool band25 = true) {
    Channel c;
    c.freq_rx = c.freq_tx = f;
    c.band_rx = c.band_tx = band25;
    return c;
}
