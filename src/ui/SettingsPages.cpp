#include "ui/SettingsPages.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>
#include <initializer_list>

#include "model/InfoContext.h"
#include "model/SettingsContext.h"
#include "ui/CellPainter.h"
#include "ui/VolumeDiagram.h"

namespace {

// Highest password the radio's 16-bit field carries.
constexpr int MaxPassword = 65535;
// Highest common squelch level offered ("L1".."L8").
constexpr int MaxSquelchLevel = 8;

// Raises a counter for the lifetime of the guard.
class CounterGuard {
public:
    explicit CounterGuard(int& counter) : counter_(counter) { ++counter_; }
    ~CounterGuard() { --counter_; }
    CounterGuard(const CounterGuard&) = delete;
    CounterGuard& operator=(const CounterGuard&) = delete;

private:
    int& counter_;
};

QLineEdit* NewEdit(const char* name, QWidget* parent, int width = 40) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setFixedWidth(width);
    return edit;
}

QLineEdit* NewReadOnlyEdit(const char* name, QWidget* parent) {
    QLineEdit* edit = NewEdit(name, parent, 28);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    edit->setAlignment(Qt::AlignCenter);
    return edit;
}

TrackBar* NewTrackBar(const char* name, Qt::Orientation orientation, int minimum, int maximum,
                      QWidget* parent) {
    auto* bar = new TrackBar(orientation, minimum, maximum, parent);
    bar->setObjectName(QString::fromLatin1(name));
    return bar;
}

QCheckBox* NewCheckBox(const char* name, const QString& caption, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QComboBox* NewComboBox(const char* name, const QStringList& items, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->addItems(items);
    return combo;
}

QLabel* NewLabel(const QString& caption, QWidget* parent) {
    return new QLabel(caption, parent);
}

QGroupBox* NewGroup(const char* name, const QString& caption, QWidget* parent) {
    auto* group = new QGroupBox(caption, parent);
    group->setObjectName(QString::fromLatin1(name));
    return group;
}

bool CanTakeFocus(const QWidget* w) {
    return w->isEnabled() && w->isVisible() && w->focusPolicy() != Qt::NoFocus;
}

bool UnderPointer(const QWidget* w, const QPoint& global) {
    return w->isVisible() && w->rect().contains(w->mapFromGlobal(global));
}

QStringList OutputFunctionItems() {
    return {QStringLiteral("Пассивен всегда"),
            QStringLiteral("Активен всегда"),
            QStringLiteral("Активен при приеме полезного сигнала"),
            QStringLiteral("Активен при недостаточной мощности"),
            QStringLiteral("Активен при рассогласовании антенны"),
            QStringLiteral("Активен при срыве ФАПЧ"),
            QStringLiteral("Активен при перегреве передатчика"),
            QStringLiteral("Активен при готовности передатчика"),
            QStringLiteral("Активен при готовности приемника")};
}

int OutputItem(int value) {
    return value >= 0 && value <= 8 ? value : 0;
}

} // namespace

SettingsPages::SettingsPages(SettingsContext& settings_, TInfoContext& info_, CellPainter& painter_,
                             QWidget* parent)
    : QObject(parent), settings(settings_), info(info_), painter(painter_) {
    page1 = new QWidget(parent);
    page1->setObjectName(QStringLiteral("PageSettings"));
    page2 = new QWidget(parent);
    page2->setObjectName(QStringLiteral("PageSettings2"));
    BuildPage1();
    BuildPage2();
    BuildBindings();
    page1->installEventFilter(this);
}

SettingsPages::~SettingsPages() = default;

void SettingsPages::BuildPage1() {
    QWidget* p = page1;

    // "Канал"
    QGroupBox* channel = NewGroup("GroupBoxChannel", QStringLiteral("Канал"), p);
    {
        auto* g = new QGridLayout(channel);
        EditStartChannel = NewEdit("EditStartChannel", channel);
        EditSpecChannel = NewEdit("EditSpecChannel", channel);
        EditSpecChannel1 = NewEdit("EditSpecChannel1", channel);
        EditSpecChannel2 = NewEdit("EditSpecChannel2", channel);
        ButtonStartChannelLock = new QToolButton(channel);
        ButtonStartChannelLock->setObjectName(QStringLiteral("ButtonStartChannelLock"));
        ButtonSpecChannelLock = new QToolButton(channel);
        ButtonSpecChannelLock->setObjectName(QStringLiteral("ButtonSpecChannelLock"));
        LabelSpecChannel1 = NewLabel(QStringLiteral("Приоритетный, банк 1"), channel);
        LabelSpecChannel2 = NewLabel(QStringLiteral("Приоритетный, банк 2"), channel);
        g->addWidget(NewLabel(QStringLiteral("Стартовый"), channel), 0, 0);
        g->addWidget(EditStartChannel, 0, 1);
        g->addWidget(ButtonStartChannelLock, 0, 2);
        g->addWidget(NewLabel(QStringLiteral("Приоритетный"), channel), 1, 0);
        g->addWidget(EditSpecChannel, 1, 1);
        g->addWidget(ButtonSpecChannelLock, 1, 2);
        g->addWidget(LabelSpecChannel1, 2, 0);
        g->addWidget(EditSpecChannel1, 2, 1);
        g->addWidget(LabelSpecChannel2, 3, 0);
        g->addWidget(EditSpecChannel2, 3, 1);
    }

    // "Текущая мощность передачи"
    QGroupBox* txPower =
        NewGroup("GroupBoxTxPower", QStringLiteral("Текущая мощность передачи"), p);
    {
        auto* g = new QHBoxLayout(txPower);
        RadioButtonTxMax = new QRadioButton(QStringLiteral("Максимальная"), txPower);
        RadioButtonTxMax->setObjectName(QStringLiteral("RadioButtonTxMax"));
        RadioButtonTxMin = new QRadioButton(QStringLiteral("Минимальная"), txPower);
        RadioButtonTxMin->setObjectName(QStringLiteral("RadioButtonTxMin"));
        g->addWidget(RadioButtonTxMax);
        g->addWidget(RadioButtonTxMin);
    }

    // "Шумоподавитель"
    QGroupBox* squelch = NewGroup("GroupBoxSquelch", QStringLiteral("Шумоподавитель"), p);
    {
        auto* g = new QVBoxLayout(squelch);
        CheckBoxSquelchOn = NewCheckBox("CheckBoxSquelchOn", QStringLiteral("Включен"), squelch);
        CheckBoxSquelchAutoVolume = NewCheckBox("CheckBoxSquelchAutoVolume",
                                                QStringLiteral("Адаптивная громкость"), squelch);
        CheckBoxDigitalDelay =
            NewCheckBox("CheckBoxDigitalDelay", QStringLiteral("Цифровой режим"), squelch);
        ComboBoxSquelchCommon = NewComboBox(
            "ComboBoxSquelchCommon",
            {QStringLiteral("Индивидуально по каналам"), QStringLiteral("Общий на все каналы")},
            squelch);
        QStringList levels;
        for (int level = 1; level <= MaxSquelchLevel; ++level)
            levels << QStringLiteral("L%1").arg(level);
        ComboBoxSquelchLevel = NewComboBox("ComboBoxSquelchLevel", levels, squelch);
        g->addWidget(CheckBoxSquelchOn);
        g->addWidget(CheckBoxSquelchAutoVolume);
        g->addWidget(CheckBoxDigitalDelay);
        auto* common = new QHBoxLayout;
        common->addWidget(ComboBoxSquelchCommon);
        common->addWidget(ComboBoxSquelchLevel);
        common->addStretch(1);
        g->addLayout(common);
    }

    // "Яркость"
    QGroupBox* brightness = NewGroup("GroupBoxIntensity", QStringLiteral("Яркость"), p);
    {
        auto* g = new QGridLayout(brightness);
        EditIntensity = NewReadOnlyEdit("EditIntensity", brightness);
        TrackBarIntensity = NewTrackBar("TrackBarIntensity", Qt::Horizontal, 0, 9, brightness);
        EditIntensityKeys = NewReadOnlyEdit("EditIntensityKeys", brightness);
        TrackBarIntensityKeys =
            NewTrackBar("TrackBarIntensityKeys", Qt::Horizontal, 0, 9, brightness);
        g->addWidget(NewLabel(QStringLiteral("Индикация"), brightness), 0, 0);
        g->addWidget(EditIntensity, 0, 1);
        g->addWidget(TrackBarIntensity, 0, 2);
        g->addWidget(NewLabel(QStringLiteral("Подсветка кнопок"), brightness), 1, 0);
        g->addWidget(EditIntensityKeys, 1, 1);
        g->addWidget(TrackBarIntensityKeys, 1, 2);
    }

    // "Громкость"
    QGroupBox* volume = NewGroup("GroupBoxVolume", QStringLiteral("Громкость"), p);
    {
        auto* g = new QGridLayout(volume);
        CheckBoxKeyBeep = NewCheckBox("CheckBoxKeyBeep", QString(), volume);
        auto* beepTitle = new QHBoxLayout;
        beepTitle->addWidget(CheckBoxKeyBeep);
        beepTitle->addWidget(NewLabel(QStringLiteral("Звук нажатия кнопок"), volume));
        beepTitle->addStretch();
        g->addLayout(beepTitle, 0, 1, 1, 3);

        EditBeepMin = NewReadOnlyEdit("EditBeepMin", volume);
        TrackBarBeepMin = NewTrackBar("TrackBarBeepMin", Qt::Horizontal, 1, 16, volume);
        TrackBarBeepMin->setTickInterval(2);
        TrackBarBeepMin->setTickPosition(QSlider::TicksBelow);
        EditBeepMax = NewReadOnlyEdit("EditBeepMax", volume);
        TrackBarBeepMax = NewTrackBar("TrackBarBeepMax", Qt::Horizontal, 1, 16, volume);
        TrackBarBeepMax->setTickInterval(2);
        TrackBarBeepMax->setTickPosition(QSlider::TicksBelow);
        g->addWidget(NewLabel(QStringLiteral("Мин"), volume), 1, 0);
        g->addWidget(TrackBarBeepMin, 1, 1, 1, 2);
        g->addWidget(EditBeepMin, 1, 3);
        g->addWidget(NewLabel(QStringLiteral("Макс"), volume), 2, 0);
        g->addWidget(TrackBarBeepMax, 2, 1, 1, 2);
        g->addWidget(EditBeepMax, 2, 3);

        // The vertical bar has its highest value at the top, like the chart beside it.
        TrackBarMinVolume = NewTrackBar("TrackBarMinVolume", Qt::Vertical, 0, 9, volume);
        TrackBarMinVolume->setInvertedAppearance(true);
        TrackBarMinVolume->setInvertedControls(true);
        EditMinVolume = NewReadOnlyEdit("EditMinVolume", volume);
        PaintBoxVolume = new VolumeDiagram(
            [this] {
                VolumeDiagramInput in;
                in.volume = settings.Volume;
                in.minVolume = settings.MinVolume;
                in.beepMin = settings.BeepMin;
                in.beepMax = settings.BeepMax;
                in.keyBeepDrawn = CheckBoxKeyBeep->isHidden() || CheckBoxKeyBeep->isChecked();
                return in;
            },
            volume);
        PaintBoxVolume->setObjectName(QStringLiteral("PaintBoxVolume"));
        auto* minColumn = new QVBoxLayout;
        minColumn->addWidget(EditMinVolume, 0, Qt::AlignHCenter);
        minColumn->addWidget(TrackBarMinVolume, 1, Qt::AlignHCenter);
        g->addLayout(minColumn, 3, 0);
        g->addWidget(PaintBoxVolume, 3, 1, 1, 3);

        EditVolume = NewReadOnlyEdit("EditVolume", volume);
        TrackBarVolume = NewTrackBar("TrackBarVolume", Qt::Horizontal, 0, 16, volume);
        TrackBarVolume->setTickInterval(2);
        TrackBarVolume->setTickPosition(QSlider::TicksAbove);
        g->addWidget(NewLabel(QStringLiteral("Текущий уровень громкости"), volume), 4, 1);
        g->addWidget(TrackBarVolume, 5, 1, 1, 2);
        g->addWidget(EditVolume, 5, 3);
        CheckBoxExtSpeaker =
            NewCheckBox("CheckBoxExtSpeaker", QStringLiteral("Включить внешний динамик"), volume);
        g->addWidget(CheckBoxExtSpeaker, 6, 0, 1, 4);
    }

    // "Ограничение времени непрерывной передачи"
    QGroupBox* txTime =
        NewGroup("GroupBoxTxLimit", QStringLiteral("Ограничение времени непрерывной передачи"), p);
    {
        auto* g = new QGridLayout(txTime);
        EditTxLimit = NewEdit("EditTxLimit", txTime);
        EditTxPause = NewEdit("EditTxPause", txTime);
        g->addWidget(NewLabel(QStringLiteral("Длительность передачи"), txTime), 0, 0);
        g->addWidget(EditTxLimit, 0, 1);
        g->addWidget(NewLabel(QStringLiteral("Длительность паузы"), txTime), 1, 0);
        g->addWidget(EditTxPause, 1, 1);
        g->addWidget(NewLabel(QStringLiteral("От 0 до 900 секунд"), txTime), 2, 0, 1, 2);
    }

    // "Сканирование"
    QGroupBox* scan = NewGroup("GroupBoxScan", QStringLiteral("Сканирование"), p);
    {
        auto* g = new QGridLayout(scan);
        EditScanPause = NewEdit("EditScanPause", scan);
        g->addWidget(NewLabel(QStringLiteral("Длительность паузы"), scan), 0, 0);
        g->addWidget(EditScanPause, 0, 1);
        g->addWidget(NewLabel(QStringLiteral("От 0 до 60 секунд"), scan), 1, 0, 1, 2);
    }

    // "Чувствительность микрофона гарнитуры (мВ)"
    RadioGroupMicAmp = NewGroup("RadioGroupMicAmp",
                                QStringLiteral("Чувствительность микрофона гарнитуры (мВ)"), p);
    {
        auto* g = new QHBoxLayout(RadioGroupMicAmp);
        MicAmpButtons = new QButtonGroup(RadioGroupMicAmp);
        const QString captions[] = {QStringLiteral("10.0"), QStringLiteral("5.0"),
                                    QStringLiteral("3.2"), QStringLiteral("2.5")};
        for (int i = 0; i < 4; ++i) {
            auto* button = new QRadioButton(captions[i], RadioGroupMicAmp);
            button->setObjectName(QStringLiteral("RadioButtonMicAmp%1").arg(i));
            MicAmpButtons->addButton(button, i);
            g->addWidget(button);
        }
    }

    // "Мощность передатчика"
    GroupBoxTxPowerMode =
        NewGroup("GroupBoxTxPowerMode", QStringLiteral("Мощность передатчика"), p);
    {
        auto* g = new QGridLayout(GroupBoxTxPowerMode);
        ComboBoxTxPowerCommon = NewComboBox(
            "ComboBoxTxPowerCommon",
            {QStringLiteral("Индивидуально по каналам"), QStringLiteral("Общая на все каналы")},
            GroupBoxTxPowerMode);
        LabelPassword = NewLabel(QStringLiteral("Пароль"), GroupBoxTxPowerMode);
        LabelPassword->setObjectName(QStringLiteral("LabelPassword"));
        MaskEditPassword = NewEdit("MaskEditPassword", GroupBoxTxPowerMode, 56);
        // Five digit positions; unfilled ones show as 0 (read the shown text, not text()).
        MaskEditPassword->setInputMask(QStringLiteral("00000;0"));
        ComboBoxMaxTxPower = NewComboBox("ComboBoxMaxTxPower", {}, GroupBoxTxPowerMode);
        CheckBoxTamp = NewCheckBox(
            "CheckBoxTamp", QStringLiteral("Защита от перегрева передатчика"), GroupBoxTxPowerMode);
        CheckBoxTamp->setToolTip(
            QStringLiteral("Автоматически снижает мощность при перегреве выше 70 градусов"));
        g->addWidget(ComboBoxTxPowerCommon, 0, 0, 1, 2);
        g->addWidget(LabelPassword, 1, 0);
        g->addWidget(MaskEditPassword, 1, 1);
        g->addWidget(ComboBoxMaxTxPower, 2, 0, 1, 2);
        g->addWidget(CheckBoxTamp, 3, 0, 1, 2);
    }

    // Three columns, each as tall as its own groups, so that the page fits the main window's
    // page area at its start and minimum size (the volume group is the tallest).
    auto* columns = new QHBoxLayout(p);
    auto column = [columns](std::initializer_list<QWidget*> groups) {
        auto* c = new QVBoxLayout;
        for (QWidget* group : groups)
            c->addWidget(group);
        c->addStretch(1);
        columns->addLayout(c);
    };
    column({channel, txPower, squelch, RadioGroupMicAmp});
    column({volume});
    column({brightness, txTime, scan, GroupBoxTxPowerMode});
    columns->addStretch(1);

    // Controls that write their field at once.
    connect(RadioButtonTxMax, &QRadioButton::clicked, this, [this] { settings.TxPower = true; });
    connect(RadioButtonTxMin, &QRadioButton::clicked, this, [this] { settings.TxPower = false; });
    auto bindCheck = [this](QCheckBox* box, bool& field, bool repaint = false) {
        connect(box, &QCheckBox::clicked, this, [this, &field, repaint](bool checked) {
            field = checked;
            if (repaint)
                PaintBoxVolume->update();
        });
    };
    bindCheck(CheckBoxSquelchOn, settings.Squelch_On);
    bindCheck(CheckBoxSquelchAutoVolume, settings.SquelchAutoVol_On);
    bindCheck(CheckBoxExtSpeaker, settings.ExtSpeaker_On);
    bindCheck(CheckBoxTamp, settings.Tamp);
    bindCheck(CheckBoxKeyBeep, settings.KeyBeep, true);
    bindCheck(CheckBoxDigitalDelay, settings.DigitalDelay);
    connect(ButtonStartChannelLock, &QToolButton::clicked, this, [this] {
        settings.StartChannelLock = !settings.StartChannelLock;
        UpdateLockButtons();
    });
    connect(ButtonSpecChannelLock, &QToolButton::clicked, this, [this] {
        settings.SpecChannelLock = !settings.SpecChannelLock;
        UpdateLockButtons();
    });
    connect(MicAmpButtons, &QButtonGroup::idClicked, this,
            [this](int id) { settings.MicAmp = id; });
    connect(ComboBoxSquelchCommon, &QComboBox::activated, this, [this](int index) {
        settings.SqlCommon = index != 0;
        ComboBoxSquelchLevel->setVisible(settings.SqlCommon);
        HandCommonValuesToPainter();
    });
    connect(ComboBoxSquelchLevel, &QComboBox::activated, this, [this](int index) {
        settings.Squelch = std::clamp(index + 1, 1, MaxSquelchLevel);
        HandCommonValuesToPainter();
    });
    connect(ComboBoxTxPowerCommon, &QComboBox::activated, this, [this](int index) {
        settings.TxPowerCommon = index != 0;
        MaskEditPassword->setVisible(settings.TxPowerCommon);
        LabelPassword->setVisible(settings.TxPowerCommon);
        ComboBoxMaxTxPower->setVisible(settings.TxPowerCommon);
        HandCommonValuesToPainter();
    });
    connect(ComboBoxMaxTxPower, &QComboBox::activated, this, [this](int index) {
        settings.MaxTxPower = std::clamp(index + 1, 1, 4);
        HandCommonValuesToPainter();
    });
    connect(MaskEditPassword, &QLineEdit::textEdited, this, [this] { PasswordEdited(); });
}

void SettingsPages::BuildPage2() {
    QWidget* p = page2;
    auto* column = new QVBoxLayout(p);

    auto* idRow = new QHBoxLayout;
    EditID = NewEdit("EditID", p, 48);
    EditID->setAlignment(Qt::AlignRight);
    idRow->addWidget(NewLabel(QStringLiteral("Идентификатор станции"), p));
    idRow->addWidget(EditID);
    idRow->addStretch();
    column->addLayout(idRow);

    CheckBoxKeyLock =
        NewCheckBox("CheckBoxKeyLock", QStringLiteral("Блокировать кнопки панели управления"), p);
    CheckBoxTxVoiceMonitor = NewCheckBox("CheckBoxTxVoiceMonitor",
                                         QStringLiteral("Прослушивание передаваемого сигнала"), p);
    CheckBoxDeemphasisOff =
        NewCheckBox("CheckBoxDeemphasisOff",
                    QStringLiteral("Отключение посткоррекции принимаемого сигнала"), p);
    column->addWidget(CheckBoxKeyLock);
    column->addWidget(CheckBoxTxVoiceMonitor);
    column->addWidget(CheckBoxDeemphasisOff);

    auto* startRow = new QHBoxLayout;
    ComboBoxStartupMode = NewComboBox("ComboBoxStartupMode",
                                      {QStringLiteral("Включить станцию в режим приема"),
                                       QStringLiteral("Восстановить состояние")},
                                      p);
    startRow->addWidget(NewLabel(QStringLiteral("При подаче питания"), p));
    startRow->addWidget(ComboBoxStartupMode);
    startRow->addStretch();
    column->addLayout(startRow);

    QGroupBox* board = NewGroup("GroupBoxM72", QStringLiteral("Плата расширения M72"), p);
    {
        auto* g = new QGridLayout(board);
        CheckBoxMuxChannel = NewCheckBox(
            "CheckBoxMuxChannel", QStringLiteral("Мультиплексированный канал управления"), board);
        ComboBoxSqwMonitorPolarity = NewComboBox("ComboBoxSqwMonitorPolarity",
                                                 {QStringLiteral("+5В: НЕТ   принимаемого сигнала"),
                                                  QStringLiteral("+5В: ЕСТЬ принимаемый  сигнал")},
                                                 board);
        ComboBoxOutput1Function =
            NewComboBox("ComboBoxOutput1Function", OutputFunctionItems(), board);
        ComboBoxOutput2Function =
            NewComboBox("ComboBoxOutput2Function", OutputFunctionItems(), board);
        ComboBoxOutput3Function =
            NewComboBox("ComboBoxOutput3Function", OutputFunctionItems(), board);
        g->addWidget(CheckBoxMuxChannel, 0, 0, 1, 2);
        g->addWidget(NewLabel(QStringLiteral("Вывод DB15.14"), board), 1, 0);
        g->addWidget(ComboBoxSqwMonitorPolarity, 1, 1);
        g->addWidget(NewLabel(QStringLiteral("Вывод Output1 (DB15.6)"), board), 2, 0);
        g->addWidget(ComboBoxOutput1Function, 2, 1);
        g->addWidget(NewLabel(QStringLiteral("Вывод Output2 (DB15.1)"), board), 3, 0);
        g->addWidget(ComboBoxOutput2Function, 3, 1);
        g->addWidget(NewLabel(QStringLiteral("Вывод Output3 (DB15.5)"), board), 4, 0);
        g->addWidget(ComboBoxOutput3Function, 4, 1);
    }
    column->addWidget(board);

    QGroupBox* repeater = NewGroup("GroupBoxRepeater", QStringLiteral("Ретранслятор"), p);
    {
        auto* g = new QHBoxLayout(repeater);
        EditRepeaterDelay = NewEdit("EditRepeaterDelay", repeater);
        g->addWidget(NewLabel(QStringLiteral("Задержка выключения передатчика"), repeater));
        g->addWidget(EditRepeaterDelay);
        g->addWidget(NewLabel(QStringLiteral("(от 0 до 60 секунд)"), repeater));
        g->addStretch();
    }
    column->addWidget(repeater);
    column->addStretch();

    auto bindCheck = [this](QCheckBox* box, bool& field) {
        connect(box, &QCheckBox::clicked, this, [&field](bool checked) { field = checked; });
    };
    bindCheck(CheckBoxKeyLock, settings.KeyLock);
    bindCheck(CheckBoxTxVoiceMonitor, settings.TxVoiceMonitor);
    bindCheck(CheckBoxDeemphasisOff, settings.DeemphasisOff);
    bindCheck(CheckBoxMuxChannel, settings.MultiplexedChannel);
    connect(ComboBoxStartupMode, &QComboBox::activated, this,
            [this](int index) { settings.StartupMode = index == 0 ? 0x84 : 0; });
    connect(ComboBoxSqwMonitorPolarity, &QComboBox::activated, this,
            [this](int index) { settings.SqwMonitorPolarity = index == 1; });
    auto bindOutput = [this](QComboBox* combo, int& field) {
        connect(combo, &QComboBox::activated, this,
                [&field](int index) { field = OutputItem(index); });
    };
    bindOutput(ComboBoxOutput1Function, settings.Output1Function);
    bindOutput(ComboBoxOutput2Function, settings.Output2Function);
    bindOutput(ComboBoxOutput3Function, settings.Output3Function);
}

void SettingsPages::BuildBindings() {
    auto withBar = [this](QLineEdit* edit, TrackBar* bar, int& field, bool reversed = false) {
        bindings.push_back({edit, bar, &field, bar->minimum(), bar->maximum(), reversed});
    };
    auto editOnly = [this](QLineEdit* edit, int& field, int minimum, int maximum) {
        bindings.push_back({edit, nullptr, &field, minimum, maximum, false});
    };
    withBar(EditIntensity, TrackBarIntensity, settings.Intensity);
    withBar(EditIntensityKeys, TrackBarIntensityKeys, settings.IntensityKeys);
    withBar(EditVolume, TrackBarVolume, settings.Volume);
    withBar(EditMinVolume, TrackBarMinVolume, settings.MinVolume, true);
    withBar(EditBeepMin, TrackBarBeepMin, settings.BeepMin);
    withBar(EditBeepMax, TrackBarBeepMax, settings.BeepMax);
    editOnly(EditStartChannel, settings.StartChannel, 0, 199);
    editOnly(EditSpecChannel, settings.SpecChannel, 0, 199);
    editOnly(EditSpecChannel1, settings.SpecChannel_1, 0, 199);
    editOnly(EditSpecChannel2, settings.SpecChannel_2, 0, 199);
    editOnly(EditTxLimit, settings.TxLimit, 0, 900);
    editOnly(EditTxPause, settings.TxPause, 0, 900);
    editOnly(EditScanPause, settings.ScanPause, 0, 60);
    editOnly(EditID, settings.ID, 0, 254);
    editOnly(EditRepeaterDelay, settings.RepeaterDelay, 0, 60);

    const QRegularExpression digits(QStringLiteral("[0-9]*"));
    for (QLineEdit* edit :
         {EditStartChannel, EditSpecChannel, EditSpecChannel1, EditSpecChannel2, EditID})
        edit->setValidator(new QRegularExpressionValidator(digits, edit));

    for (SettingBinding& b : bindings) {
        b.edit->installEventFilter(this);
        if (b.trackBar) {
            b.trackBar->installEventFilter(this);
            TrackBar* bar = b.trackBar;
            connect(bar, &QSlider::valueChanged, this, [this, bar] { TrackBarChange(bar); });
        } else {
            QLineEdit* edit = b.edit;
            connect(edit, &QLineEdit::textChanged, this, [this, edit] {
                if (SettingBinding* own = BindingOfEdit(edit))
                    ValidateBindingEdit(*own);
            });
        }
    }
}

SettingBinding* SettingsPages::BindingOfTrackBar(const QSlider* trackBar) {
    for (SettingBinding& b : bindings)
        if (b.trackBar == trackBar)
            return &b;
    return nullptr;
}

SettingBinding* SettingsPages::BindingOfEdit(const QLineEdit* edit) {
    for (SettingBinding& b : bindings)
        if (b.edit == edit)
            return &b;
    return nullptr;
}

void SettingsPages::SetEditValid(QLineEdit* edit, bool valid) {
    QPalette pal = edit->palette();
    const QColor wanted =
        valid ? QApplication::palette(edit).color(QPalette::Base) : QColor(Qt::red);
    if (pal.color(QPalette::Base) == wanted)
        return;
    pal.setColor(QPalette::Base, wanted);
    edit->setPalette(pal);
}

void SettingsPages::ValidateBindingEdit(SettingBinding& binding) {
    int v = 0;
    const bool valid = ParseBindingText(binding.edit->text(), binding.minimum, binding.maximum, v);
    SetEditValid(binding.edit, valid);
    if (valid)
        *binding.value = v;
}

void SettingsPages::ShowEditValue(SettingBinding& binding) {
    const QString text = QString::number(*binding.value);
    if (binding.edit->text() != text)
        binding.edit->setText(text); // its change handler validates it
    ValidateBindingEdit(binding);
}

void SettingsPages::TrackToValue(SettingBinding& binding) {
    const int position = binding.trackBar->value();
    const int v = binding.reversed ? binding.trackBar->maximum() - position : position;
    *binding.value = v;
    binding.edit->setText(QString::number(v));
}

void SettingsPages::ValueToTrack(SettingBinding& binding) {
    const int v = *binding.value;
    binding.trackBar->setValue(binding.reversed ? binding.trackBar->maximum() - v : v);
    TrackToValue(binding);
}

void SettingsPages::TrackBarChange(QSlider* trackBar) {
    if (updating != 0)
        return;
    CounterGuard guard(updating);
    SettingBinding* b = BindingOfTrackBar(trackBar);
    if (!b)
        return;
    TrackToValue(*b);
    if (trackBar == TrackBarVolume || trackBar == TrackBarMinVolume ||
        trackBar == TrackBarBeepMin || trackBar == TrackBarBeepMax)
        PaintBoxVolume->update();
    if (trackBar == TrackBarBeepMin) {
        if (settings.BeepMax < settings.BeepMin) {
            settings.BeepMax = settings.BeepMin;
            ValueToTrack(*BindingOfTrackBar(TrackBarBeepMax));
        }
        UpdateBeepBands();
    } else if (trackBar == TrackBarBeepMax) {
        if (settings.BeepMax < settings.BeepMin) {
            settings.BeepMin = settings.BeepMax;
            ValueToTrack(*BindingOfTrackBar(TrackBarBeepMin));
        }
        UpdateBeepBands();
    }
}

void SettingsPages::UpdateBeepBands() {
    TrackBarBeepMin->SetSelection(settings.BeepMin, settings.BeepMax);
    TrackBarBeepMax->SetSelection(settings.BeepMin, settings.BeepMax);
}

void SettingsPages::UpdateLockButtons() {
    static const QIcon unlocked(QStringLiteral(":/icons/lock_open.png"));
    static const QIcon locked(QStringLiteral(":/icons/lock_closed.png"));
    ButtonStartChannelLock->setIcon(settings.StartChannelLock ? locked : unlocked);
    ButtonSpecChannelLock->setIcon(settings.SpecChannelLock ? locked : unlocked);
}

void SettingsPages::EditClick(QLineEdit* edit) {
    SettingBinding* b = BindingOfEdit(edit);
    if (b && b->trackBar && CanTakeFocus(b->trackBar))
        b->trackBar->setFocus(Qt::MouseFocusReason);
}

void SettingsPages::HandCommonValuesToPainter() {
    painter.commonSquelch = settings.CommonSquelchInUse();
    painter.commonPower = settings.CommonPowerInUse();
    painter.commonSquelchLevel = settings.Squelch;
    painter.commonPowerLevel = settings.MaxTxPower;
    emit commonValuesChanged();
}

void SettingsPages::PasswordEdited() {
    const int password = PasswordFromText(MaskEditPassword->displayText());
    // The radio keeps the password in 16 bits: a larger one is refused, not cut.
    const bool valid = password <= MaxPassword;
    SetEditValid(MaskEditPassword, valid);
    if (valid)
        settings.TxPowerPassword = password;
}

void SettingsPages::ApplySettingsVersion() {
    const uint16_t version = settings.version;
    CounterGuard guard(updating);
    if (version < SETTINGS_V1_1) {
        ComboBoxSquelchCommon->hide();
        ComboBoxSquelchLevel->hide();
        GroupBoxTxPowerMode->hide();
        MaskEditPassword->hide();
        LabelPassword->hide();
        ComboBoxMaxTxPower->hide();
    }
    if (version < SETTINGS_V1_2) {
        CheckBoxKeyBeep->hide();
        CheckBoxDigitalDelay->hide();
        page2Wanted = false;
    }
    if (version < SETTINGS_V1_3) {
        EditSpecChannel1->hide();
        EditSpecChannel2->hide();
        LabelSpecChannel1->hide();
        LabelSpecChannel2->hide();
    }
    if (version >= SETTINGS_V1_1) {
        ComboBoxSquelchCommon->setCurrentIndex(settings.SqlCommon ? 1 : 0);
        ComboBoxTxPowerCommon->setCurrentIndex(settings.TxPowerCommon ? 1 : 0);
        const int level = settings.Squelch - 1;
        ComboBoxSquelchLevel->setCurrentIndex(
            level >= 0 && level < ComboBoxSquelchLevel->count() ? level : -1);

        ComboBoxSquelchCommon->show();
        GroupBoxTxPowerMode->show();
        ComboBoxSquelchLevel->setVisible(ComboBoxSquelchCommon->currentIndex() != 0);
        const bool powerCommon = ComboBoxTxPowerCommon->currentIndex() != 0;
        MaskEditPassword->setVisible(powerCommon);
        ComboBoxMaxTxPower->setVisible(powerCommon);
        LabelPassword->setVisible(powerCommon);

        ComboBoxMaxTxPower->clear();
        const int p0 = info.power_w[0];
        for (int k = 1; k <= 3; ++k) {
            const int pk = info.power_w[k];
            if (pk == 0)
                break;
            ComboBoxMaxTxPower->addItem(QStringLiteral("мин: %1Вт / макс: %2Вт").arg(p0).arg(pk));
        }
        const int last = ComboBoxMaxTxPower->count() - 1;
        ComboBoxMaxTxPower->setCurrentIndex(
            last < 0 ? -1 : std::clamp(settings.MaxTxPower - 1, 0, last));

        MaskEditPassword->clear();
        MaskEditPassword->setText(
            QStringLiteral("%1").arg(settings.TxPowerPassword, 5, 10, QLatin1Char('0')));
        SetEditValid(MaskEditPassword,
                     settings.TxPowerPassword >= 0 && settings.TxPowerPassword <= MaxPassword);

        if (version >= SETTINGS_V1_2) {
            CheckBoxKeyBeep->show();
            CheckBoxDigitalDelay->show();
            page2Wanted = true;
        }
        if (version >= SETTINGS_V1_3) {
            EditSpecChannel1->show();
            EditSpecChannel2->show();
            LabelSpecChannel1->show();
            LabelSpecChannel2->show();
        }
    }
    emit page2VisibilityChanged(page2Wanted);
}

void SettingsPages::RefreshSettings() {
    CounterGuard guard(updating);
    for (int i = 0; i < 6; ++i)
        ValueToTrack(bindings[i]);
    for (int i = 6; i < 13; ++i)
        ShowEditValue(bindings[i]);
    ApplySettingsVersion();
    PaintBoxVolume->update();

    (settings.TxPower ? RadioButtonTxMax : RadioButtonTxMin)->setChecked(true);
    CheckBoxSquelchOn->setChecked(settings.Squelch_On);
    CheckBoxSquelchAutoVolume->setChecked(settings.SquelchAutoVol_On);
    CheckBoxExtSpeaker->setChecked(settings.ExtSpeaker_On);
    UpdateLockButtons();
    if (QAbstractButton* mic = MicAmpButtons->button(settings.MicAmp)) {
        mic->setChecked(true);
    } else {
        MicAmpButtons->setExclusive(false);
        for (QAbstractButton* button : MicAmpButtons->buttons())
            button->setChecked(false);
        MicAmpButtons->setExclusive(true);
    }

    if (settings.version >= SETTINGS_V1_1) {
        ComboBoxSquelchCommon->setCurrentIndex(settings.SqlCommon ? 1 : 0);
        ComboBoxTxPowerCommon->setCurrentIndex(settings.TxPowerCommon ? 1 : 0);
        CheckBoxTamp->setChecked(settings.Tamp);
    }
    HandCommonValuesToPainter();
    UpdateBeepBands();
    if (settings.version < SETTINGS_V1_2)
        return;

    ShowEditValue(bindings[13]);
    ShowEditValue(bindings[14]);
    CheckBoxKeyLock->setChecked(settings.KeyLock);
    CheckBoxKeyBeep->setChecked(settings.KeyBeep);
    CheckBoxTxVoiceMonitor->setChecked(settings.TxVoiceMonitor);
    CheckBoxDeemphasisOff->setChecked(settings.DeemphasisOff);
    CheckBoxMuxChannel->setChecked(settings.MultiplexedChannel);
    CheckBoxDigitalDelay->setChecked(settings.DigitalDelay);
    ComboBoxStartupMode->setCurrentIndex((settings.StartupMode & 0xC0) == 0x80 ? 0 : 1);
    ComboBoxOutput1Function->setCurrentIndex(OutputItem(settings.Output1Function));
    ComboBoxOutput2Function->setCurrentIndex(OutputItem(settings.Output2Function));
    ComboBoxOutput3Function->setCurrentIndex(OutputItem(settings.Output3Function));
    ComboBoxSqwMonitorPolarity->setCurrentIndex(settings.SqwMonitorPolarity ? 1 : 0);
    PaintBoxVolume->update();
}

void SettingsPages::StepBinding(SettingBinding& b, int step, bool takeFocus) {
    if (b.trackBar) {
        if (takeFocus && CanTakeFocus(b.trackBar))
            b.trackBar->setFocus(Qt::MouseFocusReason);
        // Its change handler takes the new position into the field.
        b.trackBar->setValue(b.trackBar->value() + (b.reversed ? -step : step));
        return;
    }
    *b.value = std::clamp(*b.value + step, b.minimum, b.maximum);
    b.edit->setText(QString::number(*b.value)); // its change handler validates it
    if (takeFocus && CanTakeFocus(b.edit))
        b.edit->setFocus(Qt::MouseFocusReason);
}

bool SettingsPages::HandleWheel(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    // A sideways wheel (no vertical delta) is not a step of any setting.
    if (delta == 0)
        return false;
    const int step = delta >= 2 ? 1 : (delta == 1 ? 0 : -1);
    const QPoint global = event->globalPosition().toPoint();

    for (SettingBinding& b : bindings) {
        if ((b.trackBar && UnderPointer(b.trackBar, global)) || UnderPointer(b.edit, global)) {
            StepBinding(b, step, true);
            return true;
        }
    }
    for (SettingBinding& b : bindings) {
        QWidget* owner = b.trackBar ? static_cast<QWidget*>(b.trackBar) : b.edit;
        if (owner->hasFocus()) {
            StepBinding(b, step, false);
            return true;
        }
    }
    return false;
}

bool SettingsPages::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Wheel:
        if (HandleWheel(static_cast<QWheelEvent*>(event))) {
            event->accept();
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
        if (auto* edit = qobject_cast<QLineEdit*>(watched); edit && edit->isReadOnly())
            EditClick(edit);
        break;
    case QEvent::Show:
        if (watched == page1)
            RefreshSettings();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
