#include "ui/FormChannel.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "model/ChannelsContext.h"
#include "model/Cp1251.h"
#include "model/SettingsContext.h"
#include "ui/ChannelFit.h"
#include "ui/Icons.h"

namespace {

constexpr int LAST_SLOT = 199;
constexpr int32_t WARNING_FREQ = 41900000;
constexpr int32_t LOW_BAND_BEGIN = 26000000; // 26..30 MHz has a 10 kHz (5 kHz) raster
constexpr int32_t LOW_BAND_END = 30000000;
constexpr int32_t DEFAULT_TONE = 1000;
constexpr int WHEEL_NOTCH = 120;

// Raises the editor's re-entrancy counter for one scope.
class Updating {
public:
    explicit Updating(int& counter) : counter_(counter) { ++counter_; }
    ~Updating() { --counter_; }
    Updating(const Updating&) = delete;
    Updating& operator=(const Updating&) = delete;

private:
    int& counter_;
};

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

bool InLowBand(int32_t f) {
    return f >= LOW_BAND_BEGIN && f <= LOW_BAND_END;
}

QString MaskFor(int digits) {
    // The last two digits are fixed zeros: the frequency is typed in steps of 100 Hz.
    return digits == 8 ? QStringLiteral("99 999 9\\0\\0;0") : QStringLiteral("999 999 9\\0\\0;0");
}

// Text for a check box: its mnemonic character doubled so the caption shows as given.
QString CheckBoxText(const std::string& cp1251) {
    return QString::fromStdString(Cp1251ToUtf8(cp1251)).replace('&', QStringLiteral("&&"));
}

// Integer value of an edit's text; fallback when the text is not a (32-bit) number.
int IntOf(const QString& text, int fallback) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : fallback;
}

void SetTextIfChanged(QLineEdit* edit, const QString& text) {
    if (edit->text() != text)
        edit->setText(text);
}

QValidator* DigitsOnly(QObject* parent) {
    return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")),
                                           parent);
}

} // namespace

TFormChan::TFormChan(QWidget* parent) : QDialog(parent), flagCaptions(DefaultFlagCaptions()) {
    BuildControls();
    ApplyFlagCaptions();
    UpdateCaption();
    // The dialog takes every wheel event and the navigation keys, whichever control has them.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

TFormChan::~TFormChan() = default;

void TFormChan::BuildControls() {
    setObjectName(QStringLiteral("FormChan"));
    auto named = [](auto* widget, const char* name, const char* tip = nullptr) {
        widget->setObjectName(QString::fromLatin1(name));
        if (tip)
            widget->setToolTip(Text(tip));
        return widget;
    };
    auto linkButton = [&](const char* name) {
        auto* b = named(new QToolButton(this), name);
        b->setAutoRaise(true);
        b->setIcon(IconByName(QStringLiteral("chan_link_off")));
        return b;
    };
    auto note = [&](const char* name) {
        auto* box = named(new QWidget(this), name);
        auto* row = new QHBoxLayout(box);
        row->setContentsMargins(0, 0, 0, 0);
        auto* icon = new QLabel(box);
        icon->setPixmap(PixmapByName(QStringLiteral("chan_note")));
        row->addWidget(icon);
        row->addWidget(new QLabel(Text("см. Настройки"), box));
        row->addStretch();
        box->hide();
        return box;
    };
    QFont mono(QStringLiteral("Lucida Console"));
    mono.setStyleHint(QFont::Monospace);

    auto* top = new QVBoxLayout(this);

    // Title line.
    auto* title = new QHBoxLayout;
    auto* numberLabel = new QLabel(Text("Номер канала на индикаторе (0-99)"), this);
    EditChannelName = named(new QLineEdit(this), "EditChannelName");
    EditChannelName->setValidator(DigitsOnly(EditChannelName));
    EditChannelName->setMaximumWidth(60);
    numberLabel->setBuddy(EditChannelName);
    title->addWidget(numberLabel);
    title->addWidget(EditChannelName);
    title->addStretch();
    top->addLayout(title);

    // The groups scroll when the screen is too small for them; the title line, the buttons
    // and the warning line stay in view.
    Body = named(new QWidget, "EditorBody");
    auto* columns = new QHBoxLayout(Body);
    columns->setContentsMargins(0, 0, 0, 0);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    columns->addLayout(left, 3);
    columns->addLayout(right, 2);
    BodyScroll = named(new QScrollArea(this), "EditorBodyScroll");
    BodyScroll->setFrameShape(QFrame::NoFrame);
    BodyScroll->setWidgetResizable(true);
    BodyScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    top->addWidget(BodyScroll, 1);

    // Operating frequency.
    {
        auto* group = new QGroupBox(Text("Рабочая частота (Гц)"), this);
        auto* grid = new QGridLayout(group);
        CheckBoxFreqRx = named(new QCheckBox(group), "CheckBoxFreqRx", "Разрешить прием на канале");
        MaskEditFreqRx = named(new QLineEdit(group), "MaskEditFreqRx", "Частота приема");
        ButtonFreqEqual = linkButton("ButtonFreqEqual");
        CheckBoxFreqTx =
            named(new QCheckBox(group), "CheckBoxFreqTx", "Разрешить передачу на канале");
        MaskEditFreqTx = named(new QLineEdit(group), "MaskEditFreqTx", "Частота передачи");
        for (QLineEdit* e : {MaskEditFreqRx, MaskEditFreqTx}) {
            e->setFont(mono);
            e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("0000000000000")));
        }
        grid->addWidget(CheckBoxFreqRx, 0, 0);
        grid->addWidget(MaskEditFreqRx, 0, 1);
        grid->addWidget(ButtonFreqEqual, 1, 1, Qt::AlignHCenter);
        grid->addWidget(CheckBoxFreqTx, 2, 0);
        grid->addWidget(MaskEditFreqTx, 2, 1);
        grid->setColumnStretch(1, 1);
        left->addWidget(group);
    }
    // Channel bandwidth.
    {
        auto* group = new QGroupBox(Text("Полоса"), this);
        auto* grid = new QGridLayout(group);
        ComboBoxBandRx = named(new QComboBox(group), "ComboBoxBandRx", "Полоса приема");
        ComboBoxBandTx = named(new QComboBox(group), "ComboBoxBandTx", "Полоса передачи");
        for (QComboBox* c : {ComboBoxBandRx, ComboBoxBandTx})
            c->addItems({Text("12,5 кГц"), Text("25,0 кГц")});
        ButtonBandEqual = linkButton("ButtonBandEqual");
        grid->addWidget(ComboBoxBandRx, 0, 0);
        grid->addWidget(ButtonBandEqual, 1, 0, Qt::AlignHCenter);
        grid->addWidget(ComboBoxBandTx, 2, 0);
        left->addWidget(group);
    }
    // Subtones.
    {
        auto* group = new QGroupBox(Text("Субтон"), this);
        auto* grid = new QGridLayout(group);
        ComboBoxSubtoneTypeRx =
            named(new QComboBox(group), "ComboBoxSubtoneTypeRx", "Субтон приема");
        ComboBoxSubtoneTypeTx =
            named(new QComboBox(group), "ComboBoxSubtoneTypeTx", "Субтон передачи");
        for (QComboBox* c : {ComboBoxSubtoneTypeRx, ComboBoxSubtoneTypeTx})
            c->addItems({Text("(нет)"), QStringLiteral("CTCSS"), QStringLiteral("DCS")});
        ComboBoxSubtoneRx = named(new QComboBox(group), "ComboBoxSubtoneRx");
        ComboBoxSubtoneTx = named(new QComboBox(group), "ComboBoxSubtoneTx");
        for (QComboBox* c : {ComboBoxSubtoneRx, ComboBoxSubtoneTx})
            c->setMaxVisibleItems(20);
        ButtonSubtoneEqual = linkButton("ButtonSubtoneEqual");
        grid->addWidget(ComboBoxSubtoneTypeRx, 0, 0);
        grid->addWidget(ComboBoxSubtoneRx, 0, 1);
        grid->addWidget(ButtonSubtoneEqual, 1, 0, 1, 2, Qt::AlignHCenter);
        grid->addWidget(ComboBoxSubtoneTypeTx, 2, 0);
        grid->addWidget(ComboBoxSubtoneTx, 2, 1);
        grid->setColumnStretch(1, 1);
        left->addWidget(group);
    }
    // Call tones.
    {
        auto* group = new QGroupBox(Text("Вызывной тон (Гц)"), this);
        auto* grid = new QGridLayout(group);
        CheckBoxToneRx = named(new QCheckBox(group), "CheckBoxToneRx",
                               "Разрешить детектор вызывного тона при приеме");
        MaskEditToneRx = named(new QLineEdit(group), "MaskEditToneRx", "Вызывной тон приема");
        ButtonToneEqual = linkButton("ButtonToneEqual");
        CheckBoxToneTx =
            named(new QCheckBox(group), "CheckBoxToneTx", "Разрешить передачу вызывного тона");
        MaskEditToneTx = named(new QLineEdit(group), "MaskEditToneTx", "Вызывной тон передачи");
        for (QLineEdit* e : {MaskEditToneRx, MaskEditToneTx})
            e->setValidator(DigitsOnly(e));
        grid->addWidget(CheckBoxToneRx, 0, 0);
        grid->addWidget(MaskEditToneRx, 0, 1);
        grid->addWidget(ButtonToneEqual, 1, 1, Qt::AlignHCenter);
        grid->addWidget(CheckBoxToneTx, 2, 0);
        grid->addWidget(MaskEditToneTx, 2, 1);
        grid->setColumnStretch(1, 1);
        left->addWidget(group);
    }
    // Squelch.
    {
        auto* group = new QGroupBox(Text("Порог ШП"), this);
        auto* row = new QHBoxLayout(group);
        ComboBoxSquelch = named(new QComboBox(group), "ComboBoxSquelch");
        for (int level = 1; level <= 8; ++level)
            ComboBoxSquelch->addItem(QStringLiteral("L%1").arg(level));
        NoteSquelch = note("NoteSquelch");
        row->addWidget(ComboBoxSquelch);
        row->addWidget(NoteSquelch);
        row->addStretch();
        right->addWidget(group);
    }
    // Transmit power.
    {
        auto* group = new QGroupBox(Text("Мощность передатчика"), this);
        auto* row = new QHBoxLayout(group);
        ComboBoxPowerMin = named(new QComboBox(group), "ComboBoxPowerMin");
        ComboBoxPowerMax = named(new QComboBox(group), "ComboBoxPowerMax");
        NotePower = note("NotePower");
        row->addWidget(new QLabel(Text("Мин:"), group));
        row->addWidget(ComboBoxPowerMin);
        row->addWidget(new QLabel(Text("Макс:"), group));
        row->addWidget(ComboBoxPowerMax);
        row->addWidget(NotePower);
        row->addStretch();
        right->addWidget(group);
    }
    // Mode flags.
    {
        auto* group = new QGroupBox(Text("Флаги"), this);
        auto* col = new QVBoxLayout(group);
        CheckBoxActive = named(new QCheckBox(Text("Рабочий канал"), group), "CheckBoxActive");
        CheckBoxScan = named(new QCheckBox(Text("Сканируемый канал"), group), "CheckBoxScan");
        CheckBoxScrambler =
            named(new QCheckBox(Text("УПР (Устройство преобразования речи)"), group),
                  "CheckBoxScrambler");
        CheckBoxTxLimit =
            named(new QCheckBox(Text("Время передачи ограничено"), group), "CheckBoxTxLimit");
        CheckBoxTxBusy = named(new QCheckBox(Text("Передача на занятом канале разрешена"), group),
                               "CheckBoxTxBusy");
        for (QCheckBox* c :
             {CheckBoxActive, CheckBoxScan, CheckBoxScrambler, CheckBoxTxLimit, CheckBoxTxBusy})
            col->addWidget(c);
        right->addWidget(group);
    }
    // Additional functions.
    {
        auto* group = new QGroupBox(Text("Дополнительные функции"), this);
        group->setObjectName(QStringLiteral("GroupBoxFlags"));
        group->setToolTip(Text("Назначение флагов зависит от набора дополнительных опций, "
                               "установленных в радиостанцию"));
        auto* grid = new QGridLayout(group);
        for (int i = 0; i < 8; ++i) {
            CheckBoxFlag[i] = new QCheckBox(group);
            CheckBoxFlag[i]->setObjectName(QStringLiteral("CheckBoxFlag%1").arg(i));
            grid->addWidget(CheckBoxFlag[i], i % 4, i / 4);
        }
        right->addWidget(group);
    }
    left->addStretch();
    right->addStretch();
    BodyScroll->setWidget(Body);
    BodyScroll->setMinimumWidth(Body->minimumSizeHint().width() +
                                BodyScroll->verticalScrollBar()->sizeHint().width());

    // Buttons.
    auto button = [&](const char* name, const char* caption, const char* tip, const char* icon) {
        auto* b = named(new QPushButton(Text(caption), this), name, tip);
        b->setAutoDefault(false);
        if (icon)
            b->setIcon(IconByName(QString::fromLatin1(icon)));
        return b;
    };
    ButtonPrev = button("ButtonPrev", "Предыдущий канал",
                        "Сохранить и перейти к предыдущему каналу", "chan_prev");
    ButtonNext = button("ButtonNext", "Следующий канал", "Сохранить и перейти к следующему каналу",
                        "chan_next");
    ButtonErase =
        button("ButtonErase", "Удалить канал", "Очистить содержимое канала", "chan_erase");
    ButtonLoad = button("ButtonLoad", "Загрузить из канала", "Загрузить копию из канала номер ...",
                        "chan_load");
    ButtonSave =
        button("ButtonSave", "Сохранить в канал", "Сохранить копию в канал номер ...", "chan_save");
    EditChannelLoad =
        named(new QLineEdit(this), "EditChannelLoad", "Номер канала для загрузки копии");
    EditChannelSave =
        named(new QLineEdit(this), "EditChannelSave", "Номер канала для сохранения копии");
    for (QLineEdit* e : {EditChannelLoad, EditChannelSave}) {
        e->setValidator(DigitsOnly(e));
        e->setMaximumWidth(60);
    }
    ButtonOk = named(new QPushButton(QStringLiteral("OK"), this), "ButtonOk");
    ButtonOk->setDefault(true);
    ButtonCancel = named(new QPushButton(QStringLiteral("Cancel"), this), "ButtonCancel");
    ButtonCancel->setAutoDefault(false);

    auto* nav = new QGridLayout;
    nav->addWidget(ButtonPrev, 0, 0);
    nav->addWidget(ButtonNext, 0, 1);
    nav->addWidget(ButtonErase, 0, 2);
    nav->addWidget(ButtonLoad, 1, 0);
    nav->addWidget(EditChannelLoad, 1, 1, Qt::AlignLeft);
    nav->addWidget(ButtonSave, 2, 0);
    nav->addWidget(EditChannelSave, 2, 1, Qt::AlignLeft);
    nav->addWidget(ButtonOk, 1, 4);
    nav->addWidget(ButtonCancel, 2, 4);
    nav->setColumnStretch(3, 1);
    top->addLayout(nav);

    // Warning line.
    auto* bottom = new QHBoxLayout;
    ImageWarning = named(new QLabel(this), "ImageWarning");
    ImageWarning->setPixmap(PixmapByName(QStringLiteral("chan_warning")));
    EditWarning = named(new QLineEdit(this), "EditWarning");
    EditWarning->setReadOnly(true);
    EditWarning->setFocusPolicy(Qt::NoFocus);
    EditWarning->setText(Text("Внимание!!! Корректный прием на частоте 41.9МГц обеспечивается "
                              "только с аппаратной опцией №25!"));
    EditWarning->setCursorPosition(0);
    EditWarning->setMinimumWidth(EditWarning->fontMetrics().horizontalAdvance(EditWarning->text()) +
                                 16);
    ImageWarning->hide();
    EditWarning->hide();
    bottom->addWidget(ImageWarning);
    bottom->addWidget(EditWarning, 1);
    top->addLayout(bottom);

    // Wiring: user actions only (activated/clicked); text edits also react to programmatic
    // changes and are guarded by `updating`.
    connect(CheckBoxFreqRx, &QCheckBox::clicked, this, [this] { CheckBoxFreqRxClick(); });
    connect(CheckBoxFreqTx, &QCheckBox::clicked, this, [this] { CheckBoxFreqTxClick(); });
    connect(MaskEditFreqRx, &QLineEdit::textChanged, this, [this] { MaskEditFreqRxChange(); });
    connect(MaskEditFreqTx, &QLineEdit::textChanged, this, [this] { MaskEditFreqTxChange(); });
    connect(ButtonFreqEqual, &QToolButton::clicked, this, [this] { ButtonFreqEqualClick(); });
    connect(ComboBoxBandRx, &QComboBox::activated, this, [this] { ComboBoxBandRxChange(); });
    connect(ComboBoxBandTx, &QComboBox::activated, this, [this] { ComboBoxBandTxChange(); });
    connect(ButtonBandEqual, &QToolButton::clicked, this, [this] { ButtonBandEqualClick(); });
    connect(ComboBoxSubtoneTypeRx, &QComboBox::activated, this,
            [this] { ComboBoxSubtoneTypeChange(true); });
    connect(ComboBoxSubtoneTypeTx, &QComboBox::activated, this,
            [this] { ComboBoxSubtoneTypeChange(false); });
    connect(ComboBoxSubtoneRx, &QComboBox::activated, this,
            [this] { ComboBoxSubtoneChange(true); });
    connect(ComboBoxSubtoneTx, &QComboBox::activated, this,
            [this] { ComboBoxSubtoneChange(false); });
    connect(ButtonSubtoneEqual, &QToolButton::clicked, this, [this] { ButtonSubtoneEqualClick(); });
    connect(CheckBoxToneRx, &QCheckBox::clicked, this, [this] { CheckBoxToneClick(true); });
    connect(CheckBoxToneTx, &QCheckBox::clicked, this, [this] { CheckBoxToneClick(false); });
    connect(MaskEditToneRx, &QLineEdit::textChanged, this, [this] { MaskEditToneChange(true); });
    connect(MaskEditToneTx, &QLineEdit::textChanged, this, [this] { MaskEditToneChange(false); });
    connect(ButtonToneEqual, &QToolButton::clicked, this, [this] { ButtonToneEqualClick(); });
    connect(ComboBoxSquelch, &QComboBox::activated, this, [this] { ComboBoxSquelchChange(); });
    connect(ComboBoxPowerMin, &QComboBox::activated, this, [this] { ComboBoxPowerChange(false); });
    connect(ComboBoxPowerMax, &QComboBox::activated, this, [this] { ComboBoxPowerChange(true); });
    connect(EditChannelName, &QLineEdit::textChanged, this, [this] { EditChannelNameChange(); });
    connect(EditChannelLoad, &QLineEdit::textChanged, this,
            [this] { EditChannelCopyChange(true); });
    connect(EditChannelSave, &QLineEdit::textChanged, this,
            [this] { EditChannelCopyChange(false); });
    connect(ButtonLoad, &QPushButton::clicked, this, [this] { ButtonLoadClick(); });
    connect(ButtonSave, &QPushButton::clicked, this, [this] { ButtonSaveClick(); });
    connect(ButtonPrev, &QPushButton::clicked, this, [this] { ButtonNavigateClick(-1); });
    connect(ButtonNext, &QPushButton::clicked, this, [this] { ButtonNavigateClick(+1); });
    connect(ButtonErase, &QPushButton::clicked, this, [this] { ButtonEraseClick(); });
    connect(ButtonOk, &QPushButton::clicked, this, [this] { ButtonOkClick(); });
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);

    const std::array<std::pair<QCheckBox*, bool Channel::*>, 5> modeFlags{{
        {CheckBoxActive, &Channel::active},
        {CheckBoxScan, &Channel::scan},
        {CheckBoxScrambler, &Channel::scrambler},
        {CheckBoxTxLimit, &Channel::tx_limit},
        {CheckBoxTxBusy, &Channel::tx_busy},
    }};
    for (const auto& [box, field] : modeFlags)
        connect(box, &QCheckBox::clicked, this, [this, field](bool on) { work.*field = on; });
    const std::array<bool Channel::*, 8> userFlags{
        &Channel::flag0, &Channel::flag1, &Channel::flag2, &Channel::flag3,
        &Channel::flag4, &Channel::flag5, &Channel::flag6, &Channel::flag7};
    for (int i = 0; i < 8; ++i) {
        bool Channel::*field = userFlags[i];
        connect(CheckBoxFlag[i], &QCheckBox::clicked, this,
                [this, field](bool on) { work.*field = on; });
    }
}

// ---------------------------------------------------------------------------------------------
// Interface for the main window

void TFormChan::Setup(ChannelsContext& channels, const SettingsContext& s, int i,
                      std::function<void(int row)> move) {
    channelTable = &channels;
    settings = &s;
    index = i;
    moveGridRow = std::move(move);
}

void TFormChan::SetPowerLevels(const std::array<int, 4>& watts) {
    powerLevels = watts;
}

std::array<int, 4> TFormChan::PowerLevels() const {
    return powerLevels;
}

void TFormChan::SetTableVersions(uint16_t first, uint16_t second) {
    tableVersions = {first, second};
}

bool TFormChan::NumberStored(int n) const {
    uint16_t version = tableVersions[n < TABLE_CHANNELS ? 0 : 1];
    if (version == 0 && channelTable)
        version = channelTable->tableVersion;
    return version != CHANNEL_TABLE_V1;
}

void TFormChan::SetFlagCaptions(const uint8_t* options) {
    flagCaptions = FlagCaptionsForOptions(options);
    ApplyFlagCaptions();
}

FlagCaptions TFormChan::Captions() const {
    return flagCaptions;
}

void TFormChan::SetCaptions(const FlagCaptions& captions) {
    flagCaptions = captions;
    ApplyFlagCaptions();
}

void TFormChan::ApplyFlagCaptions() {
    for (int i = 0; i < 8; ++i)
        CheckBoxFlag[i]->setText(CheckBoxText(flagCaptions[i]));
}

// ---------------------------------------------------------------------------------------------
// Judgements and conversions

FieldState TFormChan::RxFrequencyState(int32_t f) const {
    return channelTable ? RxFrequencyFit(*channelTable, f, work.band_rx) : FieldState::Invalid;
}

FieldState TFormChan::TxFrequencyState(int32_t f) const {
    return channelTable ? TxFrequencyFit(*channelTable, f, work.band_tx) : FieldState::Invalid;
}

FieldState TFormChan::ToneState(int32_t t) {
    return CallToneFit(t);
}

QString TFormChan::FrequencyText(int32_t f, int digits) {
    return QStringLiteral("%1").arg(std::max(f, 0) / 100, digits - 2, 10, QLatin1Char('0'));
}

int32_t TFormChan::ParseFrequency(const QString& text, int digits) {
    QString d;
    for (QChar c : text) {
        if (c == ' ')
            continue;
        if (c == '_') // an unfilled position
            c = '0';
        if (!c.isDigit() || c.unicode() > 127)
            return -1;
        d += c;
    }
    while (d.size() < digits)
        d += '0';
    bool ok = false;
    const qlonglong value = d.toLongLong(&ok);
    if (!ok || value > INT32_MAX)
        return -1;
    return static_cast<int32_t>(value);
}

// ---------------------------------------------------------------------------------------------
// Showing, loading, storing

void TFormChan::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
    if (!shownBefore) {
        shownBefore = true;
        FitToScreen();
        ComboBoxBandRx->setFocus();
    }
}

void TFormChan::FitToScreen() {
    // The whole dialog without scrolling where the screen has room for it; otherwise as much
    // as the screen holds, with room for the title bar and a task bar.
    QSize natural = sizeHint();
    natural.rheight() += Body->sizeHint().height() - BodyScroll->sizeHint().height();
    QSize room(1264, 632);
    if (const QScreen* shown = screen()) {
        const QRect area = shown->availableGeometry();
        room = QSize(area.width() - 16, area.height() - 40);
    }
    resize(natural.boundedTo(room).expandedTo(minimumSizeHint()));
}

void TFormChan::FormShow() {
    for (QComboBox* box : {ComboBoxPowerMin, ComboBoxPowerMax}) {
        box->clear();
        for (int watts : powerLevels)
            box->addItem(Text("%1 Вт").arg(watts));
    }
    wheelRemainder = 0;
    index = std::clamp(index, 0, LAST_SLOT);
    RefreshCopyControls();
    LoadChannel(index);
}

void TFormChan::UpdateCaption() {
    setWindowTitle(Text("Ячейка %1").arg(index));
}

bool TFormChan::LoadChannel(int n) {
    UpdateCaption();
    if (!channelTable || n < 0 || n > LAST_SLOT)
        return false;
    work = channelTable->channels[static_cast<std::size_t>(n)];
    {
        Updating guard(updating);
        EditChannelName->setText(QString::number(work.number));
    }
    EditChannelNameChange();
    RefreshAll();
    return true;
}

void TFormChan::RefreshAll() {
    RefreshFrequencies(true);
    RefreshBands(true);
    RefreshSubtones(true);
    RefreshTones(true);
    RefreshSquelch(true);
    RefreshPower(true);
    RefreshFlagBoxes();
}

void TFormChan::RefreshFlagBoxes() {
    CheckBoxActive->setChecked(work.active);
    CheckBoxScan->setChecked(work.scan);
    CheckBoxScrambler->setChecked(work.scrambler);
    CheckBoxTxLimit->setChecked(work.tx_limit);
    CheckBoxTxBusy->setChecked(work.tx_busy);
    const std::array<bool, 8> flags{work.flag0, work.flag1, work.flag2, work.flag3,
                                    work.flag4, work.flag5, work.flag6, work.flag7};
    for (int i = 0; i < 8; ++i)
        CheckBoxFlag[i]->setChecked(flags[i]);
}

bool TFormChan::StoreChannel(int n) {
    UpdateCaption();
    if (!channelTable || n < 0 || n > LAST_SLOT)
        return false;
    if (!CheckBoxFreqRx->isChecked())
        work.freq_rx = -1;
    if (!CheckBoxFreqTx->isChecked())
        work.freq_tx = -1;
    if (work.freq_rx == -1 && work.freq_tx == -1) {
        // The slot is being emptied: everything but the power levels and the number to the
        // values of an unused slot.
        work.tone_rx = work.tone_tx = 0;
        work.subtone_rx = work.subtone_tx = 0;
        work.band_rx = work.band_tx = true;
        work.scrambler = work.tx_limit = false;
        work.tx_busy = work.active = work.scan = true;
        work.squelch = 1;
        work.flag0 = work.flag1 = work.flag2 = work.flag3 = false;
        work.flag4 = work.flag5 = work.flag6 = work.flag7 = false;
    } else {
        if (!CheckBoxToneRx->isChecked())
            work.tone_rx = 0;
        if (!CheckBoxToneTx->isChecked())
            work.tone_tx = 0;
        if (work.tx_power_high < work.tx_power_low)
            std::swap(work.tx_power_high, work.tx_power_low);
    }
    channelTable->channels[static_cast<std::size_t>(n)] = work;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Frequencies

void TFormChan::SetFrequencyEdit(QLineEdit* edit, int digits, int32_t f) {
    const QString mask = MaskFor(digits);
    if (edit->inputMask() != mask) {
        // A new mask would reinterpret the old text: start from an empty edit.
        edit->setInputMask(QString());
        edit->clear();
        edit->setInputMask(mask);
    }
    const QString text = FrequencyText(f, digits);
    if (ParseFrequency(edit->displayText(), digits) != ParseFrequency(text, digits))
        edit->setText(text);
}

void TFormChan::ClearFrequencyEdit(QLineEdit* edit) {
    edit->setInputMask(QString());
    edit->clear();
}

// The transmit state while the transmit frequency follows the receive one: the receive
// judgement, except that a frequency the transmitter may not use (outside the transmit
// ranges or off the transmit raster) stays invalid, so it is never stored for transmit.
FieldState TFormChan::LinkedTxState() const {
    if (rxState == FieldState::Invalid)
        return rxState;
    if (TxFrequencyState(work.freq_tx) == FieldState::Invalid)
        return FieldState::Invalid;
    return rxState;
}

void TFormChan::ShowFrequencyStates() {
    ShowState(rxState, MaskEditFreqRx);
    // A linked transmit edit is disabled; it still shows red when the shared frequency is one
    // the transmitter may not use, so the user sees why storing is blocked.
    const bool linkedOut = freqLinked && CheckBoxFreqTx->isChecked() &&
                           txState == FieldState::Invalid && rxState != FieldState::Invalid;
    ShowState(txState, MaskEditFreqTx, linkedOut);
}

void TFormChan::RefreshFrequencies(bool loaded) {
    Updating guard(updating);
    CheckBoxFreqRx->setEnabled(true);
    rxState = RxFrequencyState(work.freq_rx);
    txState = TxFrequencyState(work.freq_tx);
    if (loaded) {
        // A frequency the slot holds inside the ranges but off the channel raster opens
        // switched on (and red, so that it blocks storing): switched off, OK would drop it
        // without a word. Empty and out-of-range frequencies open switched off.
        const bool rxHeld = channelTable && work.freq_rx > 0 &&
                            channelTable->RxInRange(static_cast<uint32_t>(work.freq_rx));
        const bool txHeld = channelTable && work.freq_tx > 0 &&
                            channelTable->TxInRange(static_cast<uint32_t>(work.freq_tx));
        CheckBoxFreqRx->setChecked(rxState != FieldState::Invalid || rxHeld);
        CheckBoxFreqTx->setChecked(txState != FieldState::Invalid || txHeld);
    }
    const int rxDigits = channelTable ? channelTable->RxFreqDigits() : 9;
    const int txDigits = channelTable ? channelTable->TxFreqDigits() : 9;
    const bool rxOn = CheckBoxFreqRx->isChecked();
    if (rxOn) {
        SetFrequencyEdit(MaskEditFreqRx, rxDigits, work.freq_rx);
        MaskEditFreqRx->setEnabled(true);
    } else {
        ClearFrequencyEdit(MaskEditFreqRx);
        MaskEditFreqRx->setEnabled(false);
    }
    const bool warn = rxOn && work.freq_rx == WARNING_FREQ;
    EditWarning->setVisible(warn);
    ImageWarning->setVisible(warn);

    if (loaded) {
        const bool txOn = CheckBoxFreqTx->isChecked();
        freqLinked = (!rxOn && !txOn) || (rxOn && txOn && work.freq_rx == work.freq_tx);
    }
    if (freqLinked) {
        ButtonFreqEqual->setIcon(IconByName(QStringLiteral("chan_link_on")));
        MaskEditFreqTx->setEnabled(false);
        CheckBoxFreqTx->setEnabled(false);
        work.freq_tx = work.freq_rx;
        txState = LinkedTxState();
        CheckBoxFreqTx->setChecked(rxOn);
        if (rxOn)
            SetFrequencyEdit(MaskEditFreqTx, txDigits, work.freq_rx);
        else
            ClearFrequencyEdit(MaskEditFreqTx);
    } else {
        ButtonFreqEqual->setIcon(IconByName(QStringLiteral("chan_link_off")));
        CheckBoxFreqTx->setEnabled(true);
        if (CheckBoxFreqTx->isChecked()) {
            SetFrequencyEdit(MaskEditFreqTx, txDigits, work.freq_tx);
            MaskEditFreqTx->setEnabled(true);
        } else {
            ClearFrequencyEdit(MaskEditFreqTx);
            MaskEditFreqTx->setEnabled(false);
        }
    }
    ShowFrequencyStates();
    UpdateButtons();
}

void TFormChan::ButtonFreqEqualClick() {
    freqLinked = !freqLinked;
    RefreshFrequencies(false);
}

void TFormChan::CheckBoxFreqRxClick() {
    if (updating > 0)
        return;
    if (RxFrequencyState(work.freq_rx) == FieldState::Invalid && channelTable)
        work.freq_rx = static_cast<int32_t>(channelTable->MinRxFreq());
    RefreshFrequencies(false);
}

void TFormChan::CheckBoxFreqTxClick() {
    if (updating > 0)
        return;
    if (TxFrequencyState(work.freq_tx) == FieldState::Invalid && channelTable)
        work.freq_tx = static_cast<int32_t>(channelTable->MinTxFreq());
    RefreshFrequencies(false);
}

void TFormChan::MaskEditFreqRxChange() {
    if (updating > 0 || !channelTable)
        return;
    work.freq_rx = ParseFrequency(MaskEditFreqRx->displayText(), channelTable->RxFreqDigits());
    rxState = RxFrequencyState(work.freq_rx);
    if (rxState != FieldState::Invalid)
        RefreshFrequencies(false);
    else
        UpdateButtons();
    ShowState(rxState, MaskEditFreqRx);
}

void TFormChan::MaskEditFreqTxChange() {
    if (updating > 0 || !channelTable)
        return;
    work.freq_tx = ParseFrequency(MaskEditFreqTx->displayText(), channelTable->TxFreqDigits());
    txState = TxFrequencyState(work.freq_tx);
    if (txState != FieldState::Invalid)
        RefreshFrequencies(false);
    else
        UpdateButtons();
    ShowState(txState, MaskEditFreqTx);
}

// ---------------------------------------------------------------------------------------------
// Bandwidth

void TFormChan::RefreshBands(bool loaded) {
    Updating guard(updating);
    if (loaded)
        bandLinked = work.band_rx == work.band_tx;
    if (bandLinked) {
        work.band_tx = work.band_rx;
        ComboBoxBandTx->setEnabled(false);
        ButtonBandEqual->setIcon(IconByName(QStringLiteral("chan_link_on")));
    } else {
        ComboBoxBandTx->setEnabled(true);
        ButtonBandEqual->setIcon(IconByName(QStringLiteral("chan_link_off")));
    }
    ComboBoxBandRx->setCurrentIndex(work.band_rx ? 1 : 0);
    ComboBoxBandTx->setCurrentIndex(work.band_tx ? 1 : 0);
    if (!loaded) {
        rxState = RxFrequencyState(work.freq_rx);
        txState = freqLinked ? LinkedTxState() : TxFrequencyState(work.freq_tx);
        ShowFrequencyStates();
        UpdateButtons();
    }
}

void TFormChan::ComboBoxBandRxChange() {
    if (updating > 0)
        return;
    work.band_rx = ComboBoxBandRx->currentIndex() != 0;
    if (bandLinked) {
        work.band_tx = work.band_rx;
        Updating guard(updating);
        ComboBoxBandTx->setCurrentIndex(work.band_tx ? 1 : 0);
    }
    RefreshFrequencies(false);
}

void TFormChan::ComboBoxBandTxChange() {
    if (updating > 0)
        return;
    work.band_tx = ComboBoxBandTx->currentIndex() != 0;
    RefreshFrequencies(false);
}

void TFormChan::ButtonBandEqualClick() {
    bandLinked = !bandLinked;
    if (!bandLinked)
        work.band_tx = !work.band_rx;
    RefreshBands(false);
}

// ---------------------------------------------------------------------------------------------
// Subtones

void TFormChan::FillCtcssList(QComboBox* box) {
    box->clear();
    for (int code = 1; code <= 50; ++code)
        box->addItem(QString::fromLatin1(CTCSS_TONES[static_cast<std::size_t>(code)]) +
                     Text(" Гц"));
}

void TFormChan::FillDcsList(QComboBox* box) {
    box->clear();
    for (int n = 1; n <= 83; ++n)
        box->addItem(QString::fromLatin1(DCS_CODES[static_cast<std::size_t>(n)]));
}

void TFormChan::ShowSubtone(QComboBox* type, QComboBox* value, int32_t code, bool valueEnabled) {
    if (code >= 1 && code <= 50) {
        type->setCurrentIndex(1);
        if (value->count() != 50)
            FillCtcssList(value);
        value->setCurrentIndex(code - 1);
        value->setEnabled(valueEnabled);
    } else if (code >= 51 && code <= 133) {
        type->setCurrentIndex(2);
        if (value->count() != 83)
            FillDcsList(value);
        value->setCurrentIndex(code - 51);
        value->setEnabled(valueEnabled);
    } else {
        type->setCurrentIndex(0);
        value->clear();
        value->setCurrentIndex(-1);
        value->setEnabled(false);
    }
}

void TFormChan::RefreshSubtones(bool loaded) {
    Updating guard(updating);
    if (loaded) {
        if (work.subtone_rx > 133)
            work.subtone_rx = 0;
        if (work.subtone_tx > 133)
            work.subtone_tx = 0;
        subtoneLinked = work.subtone_rx == work.subtone_tx;
    }
    if (subtoneLinked) {
        work.subtone_tx = work.subtone_rx;
        ButtonSubtoneEqual->setIcon(IconByName(QStringLiteral("chan_link_on")));
    } else {
        ButtonSubtoneEqual->setIcon(IconByName(QStringLiteral("chan_link_off")));
    }
    ComboBoxSubtoneTypeTx->setEnabled(!subtoneLinked);
    ShowSubtone(ComboBoxSubtoneTypeRx, ComboBoxSubtoneRx, work.subtone_rx, true);
    ShowSubtone(ComboBoxSubtoneTypeTx, ComboBoxSubtoneTx, work.subtone_tx, !subtoneLinked);
}

void TFormChan::ComboBoxSubtoneTypeChange(bool rx) {
    if (updating > 0)
        return;
    const int item = (rx ? ComboBoxSubtoneTypeRx : ComboBoxSubtoneTypeTx)->currentIndex();
    const int32_t code = item == 1 ? 1 : item == 2 ? 51 : 0;
    (rx ? work.subtone_rx : work.subtone_tx) = code;
    RefreshSubtones(false);
}

void TFormChan::ComboBoxSubtoneChange(bool rx) {
    if (updating > 0)
        return;
    const int type = (rx ? ComboBoxSubtoneTypeRx : ComboBoxSubtoneTypeTx)->currentIndex();
    const int item = (rx ? ComboBoxSubtoneRx : ComboBoxSubtoneTx)->currentIndex();
    int32_t code = 0;
    if (item >= 0 && type == 1)
        code = item + 1;
    else if (item >= 0 && type == 2)
        code = item + 51;
    (rx ? work.subtone_rx : work.subtone_tx) = code;
    RefreshSubtones(false);
}

void TFormChan::ButtonSubtoneEqualClick() {
    subtoneLinked = !subtoneLinked;
    RefreshSubtones(false);
}

// ---------------------------------------------------------------------------------------------
// Call tones

void TFormChan::RefreshTones(bool loaded) {
    Updating guard(updating);
    toneRxState = ToneState(work.tone_rx);
    toneTxState = ToneState(work.tone_tx);
    if (loaded) {
        CheckBoxToneRx->setChecked(toneRxState == FieldState::Valid);
        CheckBoxToneTx->setChecked(toneTxState == FieldState::Valid);
        const bool a = CheckBoxToneRx->isChecked();
        const bool b = CheckBoxToneTx->isChecked();
        toneLinked = (!a && !b) || (a && b && work.tone_rx == work.tone_tx);
    }
    if (CheckBoxToneRx->isChecked()) {
        SetTextIfChanged(MaskEditToneRx, QString::number(work.tone_rx));
        MaskEditToneRx->setEnabled(true);
    } else {
        MaskEditToneRx->clear();
        MaskEditToneRx->setEnabled(false);
    }
    if (toneLinked) {
        ButtonToneEqual->setIcon(IconByName(QStringLiteral("chan_link_on")));
        CheckBoxToneTx->setEnabled(false);
        work.tone_tx = work.tone_rx;
        toneTxState = toneRxState;
        CheckBoxToneTx->setChecked(CheckBoxToneRx->isChecked());
    } else {
        ButtonToneEqual->setIcon(IconByName(QStringLiteral("chan_link_off")));
        CheckBoxToneTx->setEnabled(true);
    }
    if (CheckBoxToneTx->isChecked()) {
        SetTextIfChanged(MaskEditToneTx, QString::number(work.tone_tx));
        MaskEditToneTx->setEnabled(!toneLinked);
    } else {
        MaskEditToneTx->clear();
        MaskEditToneTx->setEnabled(false);
    }
    ShowState(toneRxState, MaskEditToneRx);
    ShowState(toneTxState, MaskEditToneTx);
    UpdateButtons();
}

void TFormChan::CheckBoxToneClick(bool rx) {
    if (updating > 0)
        return;
    int32_t& tone = rx ? work.tone_rx : work.tone_tx;
    if (ToneState(tone) == FieldState::Invalid)
        tone = DEFAULT_TONE;
    RefreshTones(false);
}

void TFormChan::MaskEditToneChange(bool rx) {
    if (updating > 0)
        return;
    QLineEdit* edit = rx ? MaskEditToneRx : MaskEditToneTx;
    int32_t& tone = rx ? work.tone_rx : work.tone_tx;
    FieldState& state = rx ? toneRxState : toneTxState;
    tone = IntOf(edit->text(), 0);
    state = ToneState(tone);
    if (state == FieldState::Valid)
        RefreshTones(false);
    else
        UpdateButtons();
    ShowState(state, edit);
}

void TFormChan::ButtonToneEqualClick() {
    toneLinked = !toneLinked;
    RefreshTones(false);
}

// ---------------------------------------------------------------------------------------------
// Squelch and power

void TFormChan::RefreshSquelch(bool) {
    work.squelch = std::clamp(work.squelch, 1, 8);
    int level = work.squelch;
    const bool common = settings && settings->CommonSquelchInUse();
    if (common)
        level = std::clamp(settings->Squelch, 1, 8);
    ComboBoxSquelch->setEnabled(!common);
    NoteSquelch->setVisible(common);
    ComboBoxSquelch->setCurrentIndex(level - 1);
}

void TFormChan::ComboBoxSquelchChange() {
    work.squelch = ComboBoxSquelch->currentIndex() + 1;
}

void TFormChan::RefreshPower(bool loaded) {
    Updating guard(updating);
    if (loaded) {
        if (work.tx_power_low < 0 || work.tx_power_low > 3)
            work.tx_power_low = 0;
        if (work.tx_power_high < 0 || work.tx_power_high > 3)
            work.tx_power_high = 3;
    }
    if (work.tx_power_high < work.tx_power_low)
        std::swap(work.tx_power_high, work.tx_power_low);
    const bool common = settings && settings->CommonPowerInUse();
    ComboBoxPowerMin->setEnabled(!common);
    ComboBoxPowerMax->setEnabled(!common);
    NotePower->setVisible(common);
    if (common) {
        ComboBoxPowerMin->setCurrentIndex(0);
        ComboBoxPowerMax->setCurrentIndex(std::clamp(settings->MaxTxPower, 0, 3));
    } else {
        ComboBoxPowerMin->setCurrentIndex(work.tx_power_low);
        ComboBoxPowerMax->setCurrentIndex(work.tx_power_high);
    }
}

void TFormChan::ComboBoxPowerChange(bool max) {
    const int item = (max ? ComboBoxPowerMax : ComboBoxPowerMin)->currentIndex();
    if (item < 0)
        return;
    (max ? work.tx_power_high : work.tx_power_low) = item;
    RefreshPower(false);
}

// ---------------------------------------------------------------------------------------------
// Channel number, buttons and copy controls

void TFormChan::EditChannelNameChange() {
    if (updating > 0)
        return;
    const int typed = IntOf(EditChannelName->text(), -1);
    const bool inDisplayRange = typed >= 0 && typed <= 99;
    if (NumberStored(index)) {
        work.number = typed;
        numberValid = inDisplayRange;
        ShowState(numberValid ? FieldState::Valid : FieldState::Invalid, EditChannelName);
        EditChannelName->setToolTip(QString());
    } else {
        // The table keeps no number: whatever the edit holds cannot reach the radio.
        if (typed >= 0)
            work.number = typed;
        numberValid = true;
        ShowState(inDisplayRange ? FieldState::Valid : FieldState::Warning, EditChannelName);
        EditChannelName->setToolTip(Text("Таблица каналов версии 1.0 не хранит номер канала: "
                                         "радиостанция показывает номер ячейки"));
    }
    UpdateButtons();
}

void TFormChan::UpdateButtons() {
    auto blocks = [](QCheckBox* box, FieldState state) {
        return box->isChecked() && state == FieldState::Invalid;
    };
    allValid = !blocks(CheckBoxFreqRx, rxState) && !blocks(CheckBoxFreqTx, txState) &&
               !blocks(CheckBoxToneRx, toneRxState) && !blocks(CheckBoxToneTx, toneTxState) &&
               numberValid;
    ButtonOk->setEnabled(allValid);
    ButtonNext->setEnabled(allValid && index < LAST_SLOT);
    ButtonPrev->setEnabled(allValid && index > 0);
    RefreshCopyControls();
}

void TFormChan::RefreshCopyControls() {
    Updating guard(updating);
    for (QWidget* w : {static_cast<QWidget*>(ButtonLoad), static_cast<QWidget*>(ButtonSave),
                       static_cast<QWidget*>(EditChannelLoad),
                       static_cast<QWidget*>(EditChannelSave), static_cast<QWidget*>(ButtonErase)})
        w->setVisible(true);
    auto side = [this](int slot, QLineEdit* edit, QPushButton* button) {
        const bool usable = slot >= 0 && slot <= LAST_SLOT && allValid;
        SetTextIfChanged(edit, usable ? QString::number(slot) : QString());
        button->setEnabled(usable);
        edit->setEnabled(allValid);
    };
    side(loadIndex, EditChannelLoad, ButtonLoad);
    side(saveIndex, EditChannelSave, ButtonSave);
}

void TFormChan::EditChannelCopyChange(bool load) {
    if (updating > 0)
        return;
    (load ? loadIndex : saveIndex) = IntOf((load ? EditChannelLoad : EditChannelSave)->text(), -1);
    RefreshCopyControls();
}

void TFormChan::ButtonLoadClick() {
    if (loadIndex < 0 || loadIndex > LAST_SLOT)
        return;
    LoadChannel(loadIndex);
    EditChannelLoad->setFocus();
}

void TFormChan::ButtonSaveClick() {
    if (saveIndex < 0 || saveIndex > LAST_SLOT)
        return;
    StoreChannel(saveIndex);
    EditChannelSave->setFocus();
}

void TFormChan::ButtonNavigateClick(int step) {
    const bool shift = QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
    StoreChannel(index);
    index = std::clamp(index + step, 0, LAST_SLOT);
    if (shift)
        StoreChannel(index); // the edited content goes into the new slot too and stays
    else
        LoadChannel(index);
    if (moveGridRow)
        moveGridRow(index + 1);
    UpdateCaption();
    UpdateButtons();
}

void TFormChan::ButtonEraseClick() {
    Updating guard(updating);
    work.freq_rx = work.freq_tx = -1;
    work.tone_rx = work.tone_tx = 0;
    work.subtone_rx = work.subtone_tx = 0;
    work.band_rx = work.band_tx = true;
    work.scrambler = work.tx_limit = false;
    work.tx_busy = work.active = true;
    work.squelch = 1;
    RefreshFrequencies(true);
    RefreshBands(true);
    RefreshSubtones(true);
    RefreshTones(true);
    RefreshSquelch(true);
    RefreshPower(true);
    CheckBoxActive->setChecked(work.active);
    CheckBoxScan->setChecked(work.scan);
    CheckBoxScrambler->setChecked(work.scrambler);
    CheckBoxTxLimit->setChecked(work.tx_limit);
    CheckBoxTxBusy->setChecked(work.tx_busy);
}

void TFormChan::ButtonOkClick() {
    if (!allValid)
        return;
    StoreChannel(index);
    accept();
}

// ---------------------------------------------------------------------------------------------
// Keyboard

bool TFormChan::HandleShortcut(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    QPushButton* target = nullptr;
    // F3/F4 also with Shift, which copies the slot while stepping.
    if (event->key() == Qt::Key_F4 && (mods & ~Qt::ShiftModifier) == Qt::NoModifier)
        target = ButtonNext;
    else if (event->key() == Qt::Key_F3 && (mods & ~Qt::ShiftModifier) == Qt::NoModifier)
        target = ButtonPrev;
    else if (event->key() == Qt::Key_Delete && mods == Qt::ControlModifier)
        target = ButtonErase;
    if (!target)
        return false;
    if (target->isEnabled())
        target->click();
    return true;
}

void TFormChan::keyPressEvent(QKeyEvent* event) {
    if (HandleShortcut(event))
        return;
    QDialog::keyPressEvent(event);
}

bool TFormChan::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        HandleWheel(static_cast<QWheelEvent*>(event));
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool ours =
            (key->key() == Qt::Key_F3 || key->key() == Qt::Key_F4 ||
             (key->key() == Qt::Key_Delete && key->modifiers().testFlag(Qt::ControlModifier)));
        if (ours && event->type() == QEvent::ShortcutOverride) {
            // Keep the line edits from taking Ctrl+Delete for themselves.
            event->accept();
            return true;
        }
        if (ours && HandleShortcut(key))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Mouse wheel

void TFormChan::wheelEvent(QWheelEvent* event) {
    HandleWheel(event);
}

int32_t TFormChan::StepFrequency(Qt::KeyboardModifiers mods, int delta, bool band25, int32_t f) {
    const int32_t raster = band25 ? 25000 : 12500;
    const int sign = delta < 0 ? -1 : 1;
    if (mods.testFlag(Qt::ShiftModifier) || mods.testFlag(Qt::ControlModifier)) {
        const int32_t step = mods.testFlag(Qt::ShiftModifier) ? 1000000 : 100000;
        f = f / raster * raster + sign * step;
    } else {
        const int32_t step = InLowBand(f) ? 10000 : raster;
        if (sign > 0)
            f = f / step * step + step;
        else if (f % step != 0)
            f = f / step * step;
        else
            f -= step;
    }
    return std::max(f, 0);
}

int TFormChan::StepIndex(Qt::KeyboardModifiers mods, int delta, int slot) {
    const int step = mods.testFlag(Qt::ShiftModifier)     ? 10
                     : mods.testFlag(Qt::ControlModifier) ? 5
                                                          : 1;
    if (slot < 0 || slot > LAST_SLOT)
        slot = delta < 0 ? LAST_SLOT + 1 : 0;
    return std::clamp(slot + (delta < 0 ? -step : step), 0, LAST_SLOT);
}

int TFormChan::StepNumberValue(Qt::KeyboardModifiers mods, int delta, int number) {
    const int step = mods.testFlag(Qt::ShiftModifier)     ? 10
                     : mods.testFlag(Qt::ControlModifier) ? 5
                                                          : 1;
    if (number < 0 || number > 99)
        number = delta < 0 ? 99 : 0;
    return std::clamp(number + (delta < 0 ? -step : step), 0, 99);
}

void TFormChan::StepRxFrequency(Qt::KeyboardModifiers mods, int delta) {
    if (!channelTable)
        return;
    work.freq_rx = StepFrequency(mods, delta, work.band_rx, work.freq_rx);
    channelTable->SnapRxFreq(work.freq_rx, delta);
    rxState = RxFrequencyState(work.freq_rx);
    RefreshFrequencies(false);
    ShowState(rxState, MaskEditFreqRx);
    MaskEditFreqRx->deselect();
}

void TFormChan::StepTxFrequency(Qt::KeyboardModifiers mods, int delta) {
    if (!channelTable)
        return;
    work.freq_tx = StepFrequency(mods, delta, work.band_tx, work.freq_tx);
    channelTable->SnapTxFreq(work.freq_tx, delta);
    txState = TxFrequencyState(work.freq_tx);
    RefreshFrequencies(false);
    ShowState(txState, MaskEditFreqTx);
    MaskEditFreqTx->deselect();
}

void TFormChan::StepNumber(Qt::KeyboardModifiers mods, int delta) {
    const int number = StepNumberValue(mods, delta, work.number);
    // Through the edit's change handler, so the number is judged and the buttons follow.
    EditChannelName->setText(QString::number(number));
    EditChannelNameChange();
    RefreshCopyControls();
}

bool TFormChan::HandleWheel(QWheelEvent* event) {
    event->accept();
    const int delta = event->angleDelta().y();
    if (delta == 0)
        return true;
    // Fine-grained wheels deliver parts of a notch: step once per whole notch.
    if ((wheelRemainder < 0) != (delta < 0))
        wheelRemainder = 0;
    wheelRemainder += delta;
    const int notches = wheelRemainder / WHEEL_NOTCH;
    wheelRemainder -= notches * WHEEL_NOTCH;
    if (notches == 0)
        return true;

    const std::array<QLineEdit*, 5> edits{MaskEditFreqRx, MaskEditFreqTx, EditChannelLoad,
                                          EditChannelSave, EditChannelName};
    const QPoint global = event->globalPosition().toPoint();
    int target = -1;
    for (int i = 0; i < 5 && target < 0; ++i) {
        QLineEdit* e = edits[static_cast<std::size_t>(i)];
        if (e->isEnabled() && e->isVisible() && e->rect().contains(e->mapFromGlobal(global))) {
            target = i;
            e->setFocus(Qt::MouseFocusReason);
        }
    }
    for (int i = 0; i < 4 && target < 0; ++i) {
        if (focusWidget() == edits[static_cast<std::size_t>(i)])
            target = i;
    }
    if (target < 0)
        return true;
    const Qt::KeyboardModifiers mods = event->modifiers();
    const int step = notches < 0 ? -WHEEL_NOTCH : WHEEL_NOTCH;
    for (int n = std::abs(notches); n > 0; --n) {
        switch (target) {
        case 0:
            StepRxFrequency(mods, step);
            break;
        case 1:
            StepTxFrequency(mods, step);
            break;
        case 2:
            loadIndex = StepIndex(mods, step, loadIndex);
            RefreshCopyControls();
            break;
        case 3:
            saveIndex = StepIndex(mods, step, saveIndex);
            RefreshCopyControls();
            break;
        default:
            StepNumber(mods, step);
            break;
        }
    }
    return true;
}
