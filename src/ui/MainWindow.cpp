#include "ui/MainWindow.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShowEvent>
#include <QStringList>
#include <QTabWidget>
#include <QToolBar>
#include <QUndoStack>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <exception>
#include <filesystem>

#include "files/BackupStore.h"
#include "files/ChannelCsv.h"
#include "files/ChannelExport.h"
#include "files/ConfigFile.h"
#include "files/FileError.h"
#include "files/ImageFolder.h"
#include "files/RangeListFile.h"
#include "model/Cp1251.h"
#include "ui/About.h"
#include "ui/ChannelGrid.h"
#include "ui/ConfigChangeCommand.h"
#include "ui/FileErrorText.h"
#include "ui/FormChannel.h"
#include "ui/FormCom.h"
#include "ui/FormFreqRange.h"
#include "ui/FormProgress.h"
#include "ui/FormRestore.h"
#include "ui/Icons.h"
#include "ui/RussianQtTexts.h"
#include "ui/SettingsPages.h"
#include "ui/WaveNet.h"

namespace {

const char* const kMainCaption = "Программатор каналов и настроек мобильных радиостанций";

QString FromCp1251(const std::string& text) {
    return QString::fromStdString(Cp1251ToUtf8(text));
}

// "caption|pattern" as the Qt file dialog wants it: "caption".
QString QtFilter(const char* filter) {
    const QString text = QString::fromUtf8(filter);
    const int bar = text.indexOf(QLatin1Char('|'));
    return bar < 0 ? text : text.left(bar);
}

// A file dialog for the filter ("caption|pattern") and default extension of a kind of file.
TForm1::FileDialogRequest DialogRequest(bool save, const char* filter, const char* suffix,
                                        TForm1::FileKind kind = TForm1::FileKind::Configuration) {
    TForm1::FileDialogRequest request;
    request.save = save;
    request.filter = QtFilter(filter);
    request.defaultSuffix = QString::fromUtf8(suffix);
    request.kind = kind;
    return request;
}

std::filesystem::path FsPath(const QString& name) {
    const QByteArray utf8 = name.toUtf8();
    return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.constData()),
                                               static_cast<size_t>(utf8.size())));
}

// How many used channels choosing set `index` of the range list would empty.
int ChannelsOutsideSet(const ChannelsContext& channels, int index) {
    ChannelsContext trial = channels;
    if (!trial.ranges.Select(index))
        return 0;
    trial.RemoveOutOfRange();
    int removed = 0;
    for (std::size_t slot = 0; slot < trial.channels.size(); ++slot)
        removed += channels.channels[slot].IsUsed() && !trial.channels[slot].IsUsed() ? 1 : 0;
    return removed;
}

// The radio's report, CR LF separated, as plain text lines.
QString ReportText(const std::string& report) {
    QString text = FromCp1251(report);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace

// ---------------------------------------------------------------- StatusPanelBar

StatusPanelBar::StatusPanelBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StatusBar"));
    setSizeGripEnabled(false);
    const QFontMetrics fm = fontMetrics();
    widths_ = {std::max(50, fm.horizontalAdvance(QStringLiteral("COM255")) + 12), 600,
               std::max(50, fm.height() * 2)};
    setMinimumHeight(fm.height() + 8);
}

void StatusPanelBar::SetPanelText(int panel, const QString& text) {
    if (panel < 0 || panel >= PanelCount)
        return;
    texts_[static_cast<size_t>(panel)] = text;
    update();
}

QString StatusPanelBar::PanelText(int panel) const {
    if (panel < 0 || panel >= PanelCount)
        return QString();
    return texts_[static_cast<size_t>(panel)];
}

void StatusPanelBar::SetMessage(const QString& text) {
    message_ = text;
    setToolTip(text);
    update();
}

int StatusPanelBar::PanelAt(int x) const {
    int right = 0;
    for (int panel = 0; panel < PanelCount; ++panel) {
        right += widths_[static_cast<size_t>(panel)];
        if (right > x)
            return panel;
    }
    return -1;
}

void StatusPanelBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    int left = 0;
    for (int panel = 0; panel < PanelCount; ++panel) {
        const int width = widths_[static_cast<size_t>(panel)];
        const QRect box(left, 1, width - 2, height() - 2);
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(box.adjusted(0, 0, -1, -1));
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(box.adjusted(4, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                   texts_[static_cast<size_t>(panel)]);
        left += width;
    }
    if (!message_.isEmpty()) {
        p.drawText(QRect(left + 6, 1, width() - left - 8, height() - 2),
                   Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                   fontMetrics().elidedText(message_, Qt::ElideRight, width() - left - 8));
    }
}

void StatusPanelBar::mousePressEvent(QMouseEvent* event) {
    emit pressedAt(event->position().toPoint().x());
    event->accept();
}

// ---------------------------------------------------------------- TForm1

QString TForm1::ApplicationTitle() {
    return QStringLiteral("Программатор радиостанции \"ЗЕВРАН 5Т-17ЛМ\"");
}

void TForm1::SetUpApplication() {
    // The title heads the program's message boxes. It is not made the display name: the
    // platform would append that to the caption of every window.
    QApplication::setWindowIcon(IconByName(QStringLiteral("app")));
    InstallRussianQtTexts();
}

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent), rangeList_(std::make_unique<RangeListSession>(
                               channels.ranges, FsPath(QCoreApplication::applicationDirPath()))) {
    Build();
}

TForm1::TForm1(const RangeListLocation& rangeList, QWidget* parent)
    : QMainWindow(parent),
      rangeList_(std::make_unique<RangeListSession>(channels.ranges, rangeList)) {
    Build();
}

TForm1::~TForm1() {
    qApp->removeEventFilter(this);
    // The windows and pages work on the model: let them go before it does.
    delete FormFreqRange;
    delete FormProgress;
    delete FormComPort;
    delete FormAbout;
    delete FormChan;
    delete Pages;
    delete takeCentralWidget();
    waveNet_.reset();
    rangeList_.reset(); // writes the range list when it changed
}

void TForm1::Build() {
    AcceptSecondType = false;
    modalBusy = false;
    waveNet_ = std::make_unique<WaveNetHandOver>();
    UndoStack = new QUndoStack(this);

    QFont font(QStringLiteral("Tahoma"), 8);
    font.setStyleHint(QFont::SansSerif);
    setFont(font);

    CreateActions();
    CreateMenusAndToolBar();
    CreatePages();
    StatusBar = new StatusPanelBar(this);
    setStatusBar(StatusBar);
    connect(StatusBar, &StatusPanelBar::pressedAt, this, &TForm1::StatusBarMouseDown);

    resize(1020, 562);
    setMinimumSize(1020, 562);
    setWindowTitle(QString::fromUtf8(kMainCaption));
    setWindowIcon(IconByName(QStringLiteral("app")));

    CreateWindows();
    qApp->installEventFilter(this);
    WatchSettingsEdits();
    MarkConfigurationKept();
    ResetUndo();
}

void TForm1::CreateActions() {
    struct ActionDef {
        QAction** action;
        const char* name;
        const char* caption;
        const char* menuText; // null: the caption
        const char* icon;     // null: none
        QKeySequence shortcut;
        void (TForm1::*handler)();
    };
    const ActionDef actionDefs[] = {
        {&FileCreate, "FileCreate", "Создать", nullptr, "file_new",
         QKeySequence(Qt::CTRL | Qt::Key_N), &TForm1::FileCreateExecute},
        {&FileOpen1, "FileOpen1", "Открыть", nullptr, "file_open",
         QKeySequence(Qt::CTRL | Qt::Key_O), &TForm1::FileOpen1Execute},
        {&FileSaveAs1, "FileSaveAs1", "Сохранить как", "Сохранить как ...", "file_save",
         QKeySequence(Qt::CTRL | Qt::Key_S), &TForm1::FileSaveAs1Execute},
        {&FileSaveAs2, "FileSaveAs2", "Экспорт в Excel", "Экспорт в &Excel", "file_export",
         QKeySequence(Qt::CTRL | Qt::Key_E), &TForm1::FileSaveAs2Execute},
        {&FileImportCsv, "FileImportCsv", "Импорт каналов из CSV…", nullptr, nullptr,
         QKeySequence(), &TForm1::FileImportCsvExecute},
        {&FileExportCsv, "FileExportCsv", "Экспорт каналов в CSV…", nullptr, nullptr,
         QKeySequence(), &TForm1::FileExportCsvExecute},
        {&ActionGetInfo, "ActionGetInfo", "Информация", nullptr, "radio_info",
         QKeySequence(Qt::CTRL | Qt::Key_I), &TForm1::ActionGetInfoExecute},
        {&ActionRead, "ActionRead", "Прочитать из радиостанции", "Прочитать", "radio_read",
         QKeySequence(Qt::CTRL | Qt::Key_R), &TForm1::ActionReadExecute},
        {&ActionWrite, "ActionWrite", "Записать в радиостанцию", "Записать", "radio_write",
         QKeySequence(Qt::CTRL | Qt::Key_W), &TForm1::ActionWriteExecute},
        {&ActionComPort, "ActionComPort", "Выбрать COM порт", "Выбрать &COM порт", "com_port",
         QKeySequence(Qt::CTRL | Qt::Key_C), &TForm1::ActionComPortExecute},
        {&ActionSelectFreqRange, "ActionSelectFreqRange", "Выбрать диапазон частот", nullptr,
         "freq_range", QKeySequence(Qt::CTRL | Qt::Key_F), &TForm1::ActionSelectFreqRangeExecute},
        // Ctrl+N belongs to "Создать"; the hand-over gets no shortcut of its own, so no stray
        // key press switches the radio's link speed.
        {&ActionWaveNet, "ActionWaveNet", "Программатор волновой сети", nullptr, "wavenet",
         QKeySequence(), &TForm1::ActionWaveNetExecute},
        {&ActionAbout, "ActionAbout", "О программе", nullptr, nullptr, QKeySequence(Qt::Key_F1),
         &TForm1::ActionAboutExecute},
        {&ActionEditChannel, "ActionEditChannel", "", nullptr, nullptr, QKeySequence(),
         &TForm1::ActionEditChannelExecute},
        {&ActionSecondType, "ActionSecondType", "", nullptr, nullptr,
         QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_A), &TForm1::ActionSecondTypeExecute},
    };
    for (const ActionDef& def : actionDefs) {
        auto* action = new QAction(this);
        action->setObjectName(QLatin1String(def.name));
        const QString caption = QString::fromUtf8(def.caption);
        // text() is what the menu shows; iconText() and the tool tip carry the caption.
        action->setText(def.menuText ? QString::fromUtf8(def.menuText) : caption);
        action->setIconText(caption);
        action->setToolTip(caption);
        if (def.icon)
            action->setIcon(IconByName(QLatin1String(def.icon)));
        if (!def.shortcut.isEmpty())
            action->setShortcut(def.shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, def.handler);
        addAction(action); // shortcuts work without a menu entry too
        *def.action = action;
    }

    ActionRestore = new QAction(QStringLiteral("Восстановить из резервной копии…"), this);
    ActionRestore->setObjectName(QStringLiteral("ActionRestore"));
    connect(ActionRestore, &QAction::triggered, this, &TForm1::ActionRestoreExecute);
    const struct {
        QAction** action;
        const char* name;
        const char* caption;
        const char* key;
    } switches[] = {
        {&ActionBackupBeforeWrite, "ActionBackupBeforeWrite", "Резервная копия перед записью",
         "BackupBeforeWrite"},
        {&ActionVerifyAfterWrite, "ActionVerifyAfterWrite", "Проверка после записи",
         "VerifyAfterWrite"},
    };
    for (const auto& sw : switches) {
        auto* action = new QAction(QString::fromUtf8(sw.caption), this);
        action->setObjectName(QLatin1String(sw.name));
        action->setCheckable(true);
        const QString key = QLatin1String(sw.key);
        action->setChecked(QSettings("Zorvex_Prog", "Settings").value(key, true).toBool());
        connect(action, &QAction::toggled, this,
                [key](bool on) { QSettings("Zorvex_Prog", "Settings").setValue(key, on); });
        *sw.action = action;
    }
    // "Отменить <step>" / "Повторить <step>"; Ctrl+C, Ctrl+N and the rest stay as they are.
    EditUndo = UndoStack->createUndoAction(this, QStringLiteral("Отменить"));
    EditUndo->setObjectName(QStringLiteral("EditUndo"));
    EditUndo->setIcon(IconByName(QStringLiteral("edit_undo")));
    EditUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    EditRedo = UndoStack->createRedoAction(this, QStringLiteral("Повторить"));
    EditRedo->setObjectName(QStringLiteral("EditRedo"));
    EditRedo->setIcon(IconByName(QStringLiteral("edit_redo")));
    EditRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    for (QAction* action : {EditUndo, EditRedo}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
}

void TForm1::CreateMenusAndToolBar() {
    MainMenu = new QMenuBar;
    MainMenu->setObjectName(QStringLiteral("MainMenu"));
    QMenu* file = MainMenu->addMenu(QStringLiteral("Файл"));
    file->addAction(FileCreate);
    file->addAction(FileOpen1);
    file->addAction(FileSaveAs1);
    file->addAction(FileSaveAs2);
    file->addAction(FileImportCsv);
    file->addAction(FileExportCsv);
    QMenu* edit = MainMenu->addMenu(QStringLiteral("Правка"));
    edit->setObjectName(QStringLiteral("MenuEdit"));
    edit->addAction(EditUndo);
    edit->addAction(EditRedo);
    QMenu* radio = MainMenu->addMenu(QStringLiteral("Радиостанция"));
    radio->addAction(ActionGetInfo);
    radio->addAction(ActionRead);
    radio->addAction(ActionWrite);
    radio->addAction(ActionRestore);
    QMenu* setup = MainMenu->addMenu(QStringLiteral("Установки"));
    setup->addAction(ActionComPort);
    setup->addAction(ActionSelectFreqRange);
    setup->addAction(ActionWaveNet);
    setup->addSeparator();
    setup->addAction(ActionBackupBeforeWrite);
    setup->addAction(ActionVerifyAfterWrite);
    MainMenu->addAction(ActionAbout);

    ToolBar = new QToolBar;
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar->setIconSize(QSize(20, 20));
    ToolBar->setMovable(false);
    ToolBar->setFloatable(false);
    ToolBar->addAction(FileCreate);
    ToolBar->addAction(FileOpen1);
    ToolBar->addAction(FileSaveAs1);
    ToolBar->addSeparator();
    ToolBar->addAction(ActionGetInfo);
    ToolBar->addAction(ActionRead);
    ToolBar->addAction(ActionWrite);
    ToolBar->addSeparator();
    ToolBar->addAction(EditUndo);
    ToolBar->addAction(EditRedo);

    // One strip: the menu bar on the left, the tool bar beside it.
    auto* strip = new QWidget;
    auto* layout = new QHBoxLayout(strip);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(MainMenu, 0, Qt::AlignVCenter);
    layout->addWidget(ToolBar, 0, Qt::AlignVCenter);
    layout->addStretch(1);
    setMenuWidget(strip);
}

void TForm1::CreatePages() {
    PageControl = new QTabWidget;
    PageControl->setObjectName(QStringLiteral("PageControl"));

    TabSheetChannels = new QWidget;
    TabSheetChannels->setObjectName(QStringLiteral("TabSheetChannels"));
    DrawGridChannels = new ChannelGrid(channels, painter, TabSheetChannels);
    DrawGridChannels->setObjectName(QStringLiteral("DrawGridChannels"));
    auto* channelsLayout = new QVBoxLayout(TabSheetChannels);
    channelsLayout->setContentsMargins(0, 0, 0, 0);
    channelsLayout->addWidget(DrawGridChannels);
    connect(DrawGridChannels, &ChannelGrid::editChannelRequested, ActionEditChannel,
            &QAction::trigger);
    connect(DrawGridChannels, &ChannelGrid::contextMenuRequested, this,
            [this](const QPoint& at) { GridMenu()->popup(at); });
    connect(DrawGridChannels, &ChannelGrid::channelToggled, this, [this](int slot, int) {
        RecordChange(QStringLiteral("переключение флага канала %1").arg(slot));
    });

    Pages = new SettingsPages(settings, info, painter, this);
    TabSheetSettings = new QWidget;
    TabSheetSettings->setObjectName(QStringLiteral("TabSheetSettings"));
    auto* settingsLayout = new QVBoxLayout(TabSheetSettings);
    settingsLayout->setContentsMargins(0, 0, 0, 0);
    settingsLayout->addWidget(Pages->Page1());
    TabSheetSettings2 = new QWidget;
    TabSheetSettings2->setObjectName(QStringLiteral("TabSheetSettings2"));
    auto* settings2Layout = new QVBoxLayout(TabSheetSettings2);
    settings2Layout->setContentsMargins(0, 0, 0, 0);
    settings2Layout->addWidget(Pages->Page2());
    connect(Pages, &SettingsPages::page2VisibilityChanged, this,
            [this](bool visible) { SetPageVisible(TabSheetSettings2, visible); });
    connect(Pages, &SettingsPages::commonValuesChanged, this,
            [this] { DrawGridChannels->update(); });

    TabSheetInfo = new QWidget;
    TabSheetInfo->setObjectName(QStringLiteral("TabSheetInfo"));
    MemoInfo = new QPlainTextEdit(TabSheetInfo);
    MemoInfo->setObjectName(QStringLiteral("MemoInfo"));
    MemoInfo->setReadOnly(true);
    MemoInfo->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoInfo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont mono(QStringLiteral("Lucida Console"), 10);
    mono.setStyleHint(QFont::Monospace);
    MemoInfo->setFont(mono);
    MemoInfo->setTabStopDistance(QFontMetricsF(mono).horizontalAdvance(QLatin1Char(' ')) * 8);
    auto* infoLayout = new QVBoxLayout(TabSheetInfo);
    infoLayout->setContentsMargins(0, 0, 0, 0);
    infoLayout->addWidget(MemoInfo);

    PageControl->addTab(TabSheetChannels, QStringLiteral("Каналы"));
    PageControl->addTab(TabSheetSettings, QStringLiteral("Настройки"));
    PageControl->addTab(TabSheetSettings2, QStringLiteral("Настройки 2"));
    PageControl->addTab(TabSheetInfo, QStringLiteral("Информация о радиостанции"));
    setCentralWidget(PageControl);
    SetPageVisible(TabSheetSettings2, false);
    SetPageVisible(TabSheetInfo, false);

    connect(PageControl, &QTabWidget::currentChanged, this, [this](int index) {
        if (PageControl->widget(index) == TabSheetSettings)
            RefreshSettings();
    });
}

void TForm1::CreateWindows() {
    FormChan = new TFormChan(this);
    FormAbout = new TFormAbout(this);
    FormComPort = new TFormComPort(this);
    FormProgress = new TFormProgress(channels, settings, info, this);
    FormFreqRange = new TFormFreqRange(this);
}

bool TForm1::PageVisible(QWidget* page) const {
    const int index = PageControl->indexOf(page);
    return index >= 0 && PageControl->isTabVisible(index);
}

void TForm1::SetPageVisible(QWidget* page, bool visible) {
    const int index = PageControl->indexOf(page);
    if (index >= 0)
        PageControl->setTabVisible(index, visible);
}

// ---------------------------------------------------------------- window events

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_ && !event->spontaneous()) {
        shown_ = true;
        FormShow();
    }
}

void TForm1::FormShow() {
    const bool kept = !HasUnsavedChanges();
    if (QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    LayoutGrid();
    PageControl->setCurrentWidget(TabSheetChannels);
    DrawGridChannels->setFocus();
    DrawGridChannels->update();

    FormComPort->BuildPortList();
    FormProgress->SetPortNumber(FormComPort->chosen_port);
    ShowPortStatus();
    // The remembered port is gone (an adapter unplugged): say which one was taken instead,
    // or the next read would fail like a dead radio.
    const QString missing = FormComPort->missing_remembered;
    if (!missing.isEmpty()) {
        const int port = FormComPort->chosen_port;
        StatusBar->SetMessage(
            port != 0 ? QStringLiteral("Порт %1 не найден, выбран COM%2").arg(missing).arg(port)
                      : QStringLiteral("Порт %1 не найден").arg(missing));
    }

    SetPageVisible(TabSheetInfo, false);
    SetPageVisible(TabSheetSettings2, false);

    channels.ranges.Select(0);
    SetStatusRangeText();

    ActionSelectFreqRange->setEnabled(true);
    ActionSelectFreqRange->setVisible(true);
    setWindowTitle(QString::fromUtf8(kMainCaption));
    if (kept)
        MarkConfigurationKept(); // choosing the first range set changes nothing of the user's
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!MayReplaceConfiguration()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    LayoutGrid();
}

void TForm1::LayoutGrid() {
    if (!DrawGridChannels)
        return;
    DrawGridChannels->LayoutGrid();
    DrawGridChannels->update();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel && Pages && !modalBusy) {
        auto* widget = qobject_cast<QWidget*>(watched);
        // The same wheel event travels up the parents: look at it once.
        auto* wheel = static_cast<QWheelEvent*>(event);
        const bool seen = event == lastWheel_ && wheel->timestamp() == lastWheelTime_;
        if (widget && !seen && widget->window() == this &&
            (TabSheetSettings->isAncestorOf(widget) || TabSheetSettings2->isAncestorOf(widget))) {
            lastWheel_ = event;
            lastWheelTime_ = wheel->timestamp();
            if (Pages->HandleWheel(wheel))
                return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::StatusBarMouseDown(int x) {
    if (modalBusy)
        return;
    switch (StatusBar->PanelAt(x)) {
    case 0:
        ActionComPort->trigger();
        break;
    case 1:
        ActionSelectFreqRange->trigger();
        break;
    default:
        break;
    }
}

void TForm1::ShowPortStatus() {
    StatusBar->SetPanelText(2, QString());
    const int port = FormProgress->port_number();
    if (port != 0)
        StatusBar->SetPanelText(0, QStringLiteral("COM%1").arg(port));
}

void TForm1::SetStatusRangeText() {
    std::string text;
    channels.ranges.CurrentText(text);
    StatusBar->SetPanelText(1, FromCp1251(text));
}

void TForm1::SelectRangeFromRadio() {
    // Only a set the radio reported in this identification counts.
    if (info.has_block0 && info.ranges.IsValid()) {
        const int index = channels.ranges.Add(info.ranges);
        if (index >= 0)
            channels.ranges.Select(index);
    }
    SetStatusRangeText();
}

void TForm1::RefreshSettings() {
    if (!Pages)
        return;
    Pages->ApplySettingsVersion();
    Pages->RefreshSettings();
}

void TForm1::UpdateInfoPage() {
    const QString otherProgrammer =
        QStringLiteral("Для программирования станции необходим другой программатор [%1]")
            .arg(FromCp1251(info.programmer_id));
    const bool accepted = info.IsProgrammerAccepted(info.programmer_id);
    if (info.HasIdentity()) {
        SetPageVisible(TabSheetInfo, true);
        MemoInfo->setPlainText(ReportText(info.BuildReport()));
        std::array<int, 4> watts{};
        for (int i = 0; i < 4; ++i) {
            painter.watts[static_cast<size_t>(i)] = info.power_w[i];
            watts[static_cast<size_t>(i)] = info.power_w[i];
        }
        FormChan->SetPowerLevels(watts);
        ActionWrite->setEnabled(accepted);
        if (!accepted && !info.programmer_id.empty()) {
            ShowMessage(QMessageBox::Critical, ApplicationTitle(), otherProgrammer, this);
        }
    } else if (info.has_block0) {
        ActionWrite->setEnabled(false);
        if (!info.programmer_id.empty() && !accepted) {
            ShowMessage(QMessageBox::Critical, ApplicationTitle(), otherProgrammer, this);
        }
        SetPageVisible(TabSheetInfo, true);
        MemoInfo->setPlainText(ReportText(info.BuildReport()));
    } else {
        SetPageVisible(TabSheetInfo, false);
    }
}

// ---------------------------------------------------------------- dialogs and messages

void TForm1::ShowMessage(QMessageBox::Icon icon, const QString& title, const QString& text,
                         QWidget* owner, const QString& detail) {
    lastDetail_ = detail;
    if (messageBoxHook) {
        messageBoxHook(icon, title, text);
        return;
    }
    QMessageBox box(icon, title, text, QMessageBox::Ok, owner);
    if (!detail.isEmpty())
        box.setInformativeText(detail);
    box.exec();
}

void TForm1::ShowError(const QString& text, const QString& detail) {
    ShowMessage(QMessageBox::Critical, ApplicationTitle(), text, this, detail);
}

QString TForm1::FolderKey(FileKind kind) {
    return kind == FileKind::Export ? QStringLiteral("LastExportFolder")
                                    : QStringLiteral("LastConfigFolder");
}

QString TForm1::AskFileName(const FileDialogRequest& asked) {
    QSettings store(QStringLiteral("Zorvex_Prog"), QStringLiteral("Settings"));
    FileDialogRequest request = asked;
    const QString remembered = store.value(FolderKey(request.kind)).toString();
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir())
        request.folder = remembered;
    QString name;
    if (fileDialogHook) {
        name = fileDialogHook(request);
    } else {
        QFileDialog dialog(this);
        dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dialog.setNameFilter(request.filter);
        dialog.setDefaultSuffix(request.defaultSuffix);
        if (!request.folder.isEmpty())
            dialog.setDirectory(request.folder);
        ModalBusy busy(*this);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            name = dialog.selectedFiles().front();
    }
    if (!name.isEmpty()) {
        store.setValue(FolderKey(request.kind), QFileInfo(name).absolutePath());
        store.sync();
    }
    return name;
}

bool TForm1::AskQuestion(const QString& text) {
    if (questionHook)
        return questionHook(text);
    QMessageBox box(QMessageBox::Question, ApplicationTitle(), text,
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    ModalBusy busy(*this);
    return box.exec() == QMessageBox::Yes;
}

// ---------------------------------------------------------------- undo and redo

ConfigSnapshot TForm1::Snapshot() const {
    return ConfigSnapshot::Of(channels, settings, FormChan->Captions());
}

void TForm1::ShowSnapshot(const ConfigSnapshot& snapshot) {
    snapshot.ApplyTo(channels, settings);
    FormChan->SetCaptions(snapshot.captions);
    recorded_ = snapshot;
    SetStatusRangeText();
    RefreshSettings();
    DrawGridChannels->update();
}

void TForm1::ResetUndo() {
    UndoStack->clear();
    recorded_ = Snapshot();
}

void TForm1::AbsorbChange() {
    recorded_ = Snapshot();
}

void TForm1::RecordChange(const QString& what, const QString& mergeKey) {
    ConfigSnapshot now = Snapshot();
    if (now == recorded_)
        return;
    ConfigSnapshot before = std::move(recorded_);
    recorded_ = now;
    UndoStack->push(new ConfigChangeCommand(
        what, std::move(before), std::move(now),
        [this](const ConfigSnapshot& snapshot) { ShowSnapshot(snapshot); }, mergeKey));
}

void TForm1::ReplaceChannels(const std::array<Channel, CHANNEL_COUNT>& replacement,
                             const QString& what) {
    RecordChange(QStringLiteral("изменение")); // anything not yet a step stays apart
    channels.channels = replacement;
    DrawGridChannels->update();
    RecordChange(what);
}

void TForm1::WatchSettingsEdits() {
    // Whatever the user does to a control of the settings pages may change a setting: look
    // once the control's own handler has stored it. Typing into one field, or dragging one
    // slider, is one step.
    for (QWidget* page : {Pages->Page1(), Pages->Page2()}) {
        const auto record = [this](QObject* control) {
            QMetaObject::invokeMethod(
                this,
                [this, key = control->objectName()] {
                    RecordChange(QStringLiteral("изменение настроек"), key);
                },
                Qt::QueuedConnection);
        };
        for (auto* button : page->findChildren<QAbstractButton*>())
            connect(button, &QAbstractButton::clicked, this, [record, button] { record(button); });
        for (auto* box : page->findChildren<QComboBox*>())
            connect(box, &QComboBox::activated, this, [record, box] { record(box); });
        for (auto* edit : page->findChildren<QLineEdit*>())
            connect(edit, &QLineEdit::textEdited, this, [record, edit] { record(edit); });
        for (auto* slider : page->findChildren<QAbstractSlider*>())
            connect(slider, &QAbstractSlider::actionTriggered, this,
                    [record, slider] { record(slider); });
    }
}

void TForm1::EditChannelsFinished(const ConfigSnapshot& before) {
    std::vector<int> changed;
    for (int slot = 0; slot < CHANNEL_COUNT; ++slot) {
        if (!(channels.channels[static_cast<std::size_t>(slot)] ==
              before.channels[static_cast<std::size_t>(slot)]))
            changed.push_back(slot);
    }
    if (changed.size() == 1) {
        RecordChange(QStringLiteral("изменение канала %1").arg(changed.front()));
    } else {
        QStringList names;
        for (std::size_t i = 0; i < changed.size() && i < 5; ++i)
            names << QString::number(changed[i]);
        if (changed.size() > 5)
            names << QStringLiteral("…");
        RecordChange(QStringLiteral("изменение каналов %1").arg(names.join(QStringLiteral(", "))));
    }
}

// ---------------------------------------------------------------- bulk edits

std::optional<int> TForm1::AskNumber(const QString& prompt, int value, int minimum, int maximum) {
    if (numberInputHook)
        return numberInputHook(prompt);
    bool ok = false;
    ModalBusy busy(*this);
    const int number =
        QInputDialog::getInt(this, ApplicationTitle(), prompt, value, minimum, maximum, 1, &ok);
    return ok ? std::optional<int>(number) : std::nullopt;
}

void TForm1::BulkEditSelected(const BulkEdit& edit, const QString& what) {
    const std::vector<int> selected = DrawGridChannels->selectedSlots();
    const BulkEditResult result = ApplyBulkEdit(channels, selected, edit);
    DrawGridChannels->update();
    RecordChange(QStringLiteral("%1 (каналов: %2)").arg(what).arg(result.changed.size()));
    if (!result.refused.empty()) {
        ShowMessage(QMessageBox::Warning, ApplicationTitle(),
                    QStringLiteral("Значение «%1» не подходит для некоторых каналов, они не "
                                   "изменены:\n%2")
                        .arg(what, RefusalText(result)),
                    this);
    }
}

void TForm1::CopySelectedChannels() {
    copied_.clear();
    for (int slot : DrawGridChannels->selectedSlots())
        copied_.push_back(channels.channels[static_cast<std::size_t>(slot)]);
}

void TForm1::PasteChannels() {
    const std::vector<int> selected = DrawGridChannels->selectedSlots();
    if (copied_.empty() || selected.empty())
        return;
    std::vector<int> pasted;
    for (std::size_t i = 0; i < copied_.size(); ++i) {
        const int slot = selected.front() + static_cast<int>(i);
        if (slot >= CHANNEL_COUNT)
            break;
        channels.channels[static_cast<std::size_t>(slot)] = copied_[i];
        pasted.push_back(slot);
    }
    DrawGridChannels->selectSlots(pasted);
    DrawGridChannels->update();
    RecordChange(
        pasted.size() == 1
            ? QStringLiteral("вставка канала %1").arg(pasted.front())
            : QStringLiteral("вставка каналов %1–%2").arg(pasted.front()).arg(pasted.back()));
}

QMenu* TForm1::GridMenu() {
    delete gridMenu_;
    gridMenu_ = new QMenu(this);
    gridMenu_->setObjectName(QStringLiteral("GridMenu"));
    QMenu* menu = gridMenu_;
    const auto choice = [this](QMenu* into, const QString& text, const QString& what,
                               BulkEdit edit) {
        QAction* action = into->addAction(text);
        connect(action, &QAction::triggered, this,
                [this, edit, what] { BulkEditSelected(edit, what); });
    };
    const auto yesNo = [&](const QString& name, BulkEdit::Field field, int flag = 0) {
        QMenu* sub = menu->addMenu(name);
        choice(sub, QStringLiteral("Да"), name + QStringLiteral(": да"), {field, 1, flag});
        choice(sub, QStringLiteral("Нет"), name + QStringLiteral(": нет"), {field, 0, flag});
    };
    yesNo(QStringLiteral("Рабочий канал"), BulkEdit::Field::Active);
    yesNo(QStringLiteral("Сканируемый канал"), BulkEdit::Field::Scan);
    yesNo(QStringLiteral("Время передачи ограничено"), BulkEdit::Field::TxLimit);
    yesNo(QStringLiteral("Передача на занятом канале разрешена"), BulkEdit::Field::TxBusy);
    menu->addSeparator();
    const std::array<int, 4> watts = FormChan->PowerLevels();
    for (const auto& [name, field] :
         {std::pair{QStringLiteral("Мощность мин."), BulkEdit::Field::PowerLow},
          std::pair{QStringLiteral("Мощность макс."), BulkEdit::Field::PowerHigh}}) {
        QMenu* sub = menu->addMenu(name);
        for (int level = 0; level < 4; ++level) {
            const QString text =
                QStringLiteral("%1 Вт").arg(watts[static_cast<std::size_t>(level)]);
            choice(sub, text, name + QStringLiteral(": ") + text, {field, level, 0});
        }
    }
    {
        QMenu* sub = menu->addMenu(QStringLiteral("Порог ШП"));
        for (int level = 1; level <= 8; ++level) {
            const QString text = QStringLiteral("L%1").arg(level);
            choice(sub, text, QStringLiteral("Порог ШП: ") + text,
                   {BulkEdit::Field::Squelch, level, 0});
        }
    }
    for (const auto& [name, field] :
         {std::pair{QStringLiteral("Полоса приема"), BulkEdit::Field::BandRx},
          std::pair{QStringLiteral("Полоса передачи"), BulkEdit::Field::BandTx}}) {
        QMenu* sub = menu->addMenu(name);
        choice(sub, QStringLiteral("12,5 кГц"), name + QStringLiteral(": 12,5 кГц"), {field, 0, 0});
        choice(sub, QStringLiteral("25,0 кГц"), name + QStringLiteral(": 25,0 кГц"), {field, 1, 0});
    }
    for (const auto& [name, field] :
         {std::pair{QStringLiteral("Субтон приема"), BulkEdit::Field::SubtoneRx},
          std::pair{QStringLiteral("Субтон передачи"), BulkEdit::Field::SubtoneTx}}) {
        QMenu* sub = menu->addMenu(name);
        choice(sub, QStringLiteral("(нет)"), name + QStringLiteral(": нет"), {field, 0, 0});
        QMenu* ctcss = sub->addMenu(QStringLiteral("CTCSS"));
        for (int code = 1; code < static_cast<int>(CTCSS_TONES.size()); ++code) {
            const QString text = QString::fromLatin1(CTCSS_TONES[static_cast<std::size_t>(code)]);
            choice(ctcss, text, name + QStringLiteral(": CTCSS ") + text, {field, code, 0});
        }
        QMenu* dcs = sub->addMenu(QStringLiteral("DCS"));
        for (int i = 1; i < static_cast<int>(DCS_CODES.size()); ++i) {
            const QString text = QString::fromLatin1(DCS_CODES[static_cast<std::size_t>(i)]);
            if (text.isEmpty())
                continue;
            choice(dcs, text, name + QStringLiteral(": DCS ") + text, {field, 50 + i, 0});
        }
    }
    for (const auto& [name, field] :
         {std::pair{QStringLiteral("Вызывной тон приема"), BulkEdit::Field::ToneRx},
          std::pair{QStringLiteral("Вызывной тон передачи"), BulkEdit::Field::ToneTx}}) {
        QMenu* sub = menu->addMenu(name);
        choice(sub, QStringLiteral("(нет)"), name + QStringLiteral(": нет"), {field, 0, 0});
        QAction* set = sub->addAction(QStringLiteral("Задать…"));
        connect(set, &QAction::triggered, this, [this, name, field] {
            const std::optional<int> tone =
                AskNumber(name + QStringLiteral(", Гц:"), 1000, 0, 65535);
            if (tone)
                BulkEditSelected({field, *tone, 0}, name + QStringLiteral(": %1 Гц").arg(*tone));
        });
    }
    {
        QMenu* sub = menu->addMenu(QStringLiteral("Дополнительные функции"));
        const FlagCaptions captions = FormChan->Captions();
        for (int flag = 0; flag < 8; ++flag) {
            const QString caption = FromCp1251(captions[static_cast<std::size_t>(flag)]);
            QMenu* one =
                sub->addMenu(QString(caption).replace(QLatin1Char('&'), QStringLiteral("&&")));
            choice(one, QStringLiteral("Да"), caption + QStringLiteral(": да"),
                   {BulkEdit::Field::Flag, 1, flag});
            choice(one, QStringLiteral("Нет"), caption + QStringLiteral(": нет"),
                   {BulkEdit::Field::Flag, 0, flag});
        }
    }
    menu->addSeparator();
    QAction* copy = menu->addAction(QStringLiteral("Копировать каналы"));
    copy->setObjectName(QStringLiteral("GridCopy"));
    connect(copy, &QAction::triggered, this, &TForm1::CopySelectedChannels);
    QAction* paste = menu->addAction(QStringLiteral("Вставить каналы"));
    paste->setObjectName(QStringLiteral("GridPaste"));
    paste->setEnabled(!copied_.empty());
    connect(paste, &QAction::triggered, this, &TForm1::PasteChannels);
    return menu;
}

// ---------------------------------------------------------------- unsaved changes

std::string TForm1::ConfigurationText() const {
    return ConfigDocumentText(channels, settings, FormChan->Captions());
}

void TForm1::MarkConfigurationKept(bool unwrittenSecondTable) {
    if (!unwrittenSecondTable) {
        keptText_ = ConfigurationText();
        return;
    }
    // What the radio holds: nothing in slots 100-199.
    ChannelsContext held = channels;
    for (int i = TABLE_CHANNELS; i < CHANNEL_COUNT; ++i) {
        held.channels[i].Reset();
        held.channels[i].number = i % TABLE_CHANNELS;
    }
    keptText_ = ConfigDocumentText(held, settings, FormChan->Captions());
}

bool TForm1::HasUnsavedChanges() const {
    return ConfigurationText() != keptText_;
}

bool TForm1::MayReplaceConfiguration() {
    if (!HasUnsavedChanges())
        return true;
    UnsavedChoice choice = UnsavedChoice::Cancel;
    if (unsavedChangesHook) {
        choice = unsavedChangesHook();
    } else {
        QMessageBox box(QMessageBox::Question, ApplicationTitle(),
                        QStringLiteral("Изменения каналов и настроек не сохранены в файл.\n"
                                       "Сохранить изменения?"),
                        QMessageBox::NoButton, this);
        QPushButton* save = box.addButton(QStringLiteral("Сохранить"), QMessageBox::AcceptRole);
        QPushButton* discard =
            box.addButton(QStringLiteral("Не сохранять"), QMessageBox::DestructiveRole);
        QPushButton* cancel = box.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
        box.setDefaultButton(save);
        box.setEscapeButton(cancel);
        {
            ModalBusy busy(*this);
            box.exec();
        }
        if (box.clickedButton() == save)
            choice = UnsavedChoice::Save;
        else if (box.clickedButton() == discard)
            choice = UnsavedChoice::Discard;
    }
    switch (choice) {
    case UnsavedChoice::Save:
        return SaveConfigurationAs();
    case UnsavedChoice::Discard:
        return true;
    case UnsavedChoice::Cancel:
        break;
    }
    return false;
}

// ---------------------------------------------------------------- file actions

void TForm1::FileCreateExecute() {
    if (!MayReplaceConfiguration())
        return;
    NewConfig(channels, settings);
    FormChan->SetFlagCaptions(nullptr);
    RefreshSettings();
    UpdateInfoPage();
    DrawGridChannels->update();
    MarkConfigurationKept();
    ResetUndo();
}

void TForm1::FileOpen1Execute() {
    if (!MayReplaceConfiguration())
        return;
    const QString name =
        AskFileName(DialogRequest(false, CONFIG_OPEN_FILTER, CONFIG_DEFAULT_EXTENSION));
    if (name.isEmpty())
        return;
    OpenConfiguration(name);
}

bool TForm1::OpenConfiguration(const QString& name) {
    FlagCaptions captions = FormChan->Captions();
    ConfigOpenResult result;
    try {
        result = OpenConfigFile(FsPath(name), channels, settings, captions);
    } catch (const std::exception& error) {
        ShowError(FileErrorText(FileAction::Open, name, error), QString::fromUtf8(error.what()));
        return false;
    }
    FormChan->SetCaptions(captions);
    StatusBar->SetPanelText(1, FromCp1251(result.rangeText));
    if (result.channelsRemoved) {
        ShowMessage(QMessageBox::Warning, ApplicationTitle(), FromCp1251(result.warning), this);
    }
    if (!result.problems.empty()) {
        // A hand-edited file: one message says what was taken in the reader's own way.
        constexpr std::size_t SHOWN = 30;
        QString text = QStringLiteral("Файл «%1» прочитан, но в нём найдены ошибки:")
                           .arg(QFileInfo(name).fileName());
        for (std::size_t i = 0; i < result.problems.size() && i < SHOWN; ++i) {
            const ConfigProblem& problem = result.problems[i];
            text += QLatin1Char('\n');
            if (problem.line > 0)
                text += QStringLiteral("Строка %1: ").arg(problem.line);
            text += FromCp1251(ConfigProblemTextRu(problem));
        }
        if (result.problems.size() > SHOWN)
            text += QStringLiteral("\n… и ещё %1").arg(result.problems.size() - SHOWN);
        ShowMessage(QMessageBox::Warning, ApplicationTitle(), text, this);
    }
    DrawGridChannels->update();
    RefreshSettings();
    UpdateInfoPage();
    MarkConfigurationKept();
    ResetUndo();
    return true;
}

void TForm1::FileSaveAs1Execute() {
    SaveConfigurationAs();
}

bool TForm1::SaveConfigurationAs() {
    const QString name =
        AskFileName(DialogRequest(true, CONFIG_SAVE_FILTER, CONFIG_DEFAULT_EXTENSION));
    if (name.isEmpty())
        return false;
    try {
        SaveConfigFile(FsPath(name), channels, settings, FormChan->Captions());
    } catch (const std::exception& error) {
        ShowError(FileErrorText(FileAction::Save, name, error), QString::fromUtf8(error.what()));
        return false;
    }
    DrawGridChannels->update(); // saving normalises the power levels
    MarkConfigurationKept();
    AbsorbChange();
    return true;
}

void TForm1::FileSaveAs2Execute() {
    const QString name =
        AskFileName(DialogRequest(true, EXPORT_FILTER, EXPORT_DEFAULT_EXTENSION, FileKind::Export));
    if (name.isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ExportResult result = ExportChannels(channels, FsPath(name));
    QApplication::restoreOverrideCursor();
    // The box says what the export says; why it failed goes underneath, in Russian first.
    QString detail;
    if (!result.ok) {
        const QString folder = ExportFolderProblem(name);
        detail = folder.isEmpty() ? FileErrorText(FileAction::Export, name, 0)
                                  : QStringLiteral("Не удалось записать файл «%1»: %2.")
                                        .arg(QDir::toNativeSeparators(name), folder);
        if (!result.reason.empty())
            detail += QLatin1Char('\n') + FromCp1251(result.reason);
    }
    ShowMessage(result.ok ? QMessageBox::Information : QMessageBox::Critical,
                FromCp1251(result.caption), FromCp1251(result.message), nullptr, detail);
}

void TForm1::FileImportCsvExecute() {
    const QString caption = QStringLiteral("Импорт каналов из CSV");
    const QString name = AskFileName(
        DialogRequest(false, CHANNEL_CSV_FILTER, CHANNEL_CSV_EXTENSION, FileKind::Export));
    if (name.isEmpty())
        return;
    ChannelCsvImport list;
    try {
        list = ReadChannelCsv(FsPath(name), channels);
    } catch (const std::exception& error) {
        ShowError(QString::fromUtf8(error.what()));
        return;
    }
    if (!list.ok()) {
        constexpr size_t SHOWN = 30; // the rest is counted, so the box fits the screen
        QStringList lines;
        lines << QStringLiteral("Каналы не загружены: в списке найдены ошибки.");
        for (size_t i = 0; i < list.problems.size() && i < SHOWN; ++i)
            lines << FromCp1251(CsvProblemTextRu(list.problems[i]));
        if (list.problems.size() > SHOWN)
            lines << QStringLiteral("… и еще ошибок: %1").arg(list.problems.size() - SHOWN);
        ShowMessage(QMessageBox::Warning, caption, lines.join(QLatin1Char('\n')), this);
        return;
    }
    ReplaceChannels(list.channels, QStringLiteral("импорт каналов из CSV"));
}

void TForm1::FileExportCsvExecute() {
    const QString caption = QStringLiteral("Экспорт каналов в CSV");
    const QString name = AskFileName(
        DialogRequest(true, CHANNEL_CSV_FILTER, CHANNEL_CSV_EXTENSION, FileKind::Export));
    if (name.isEmpty())
        return;
    try {
        SaveChannelCsv(FsPath(name), channels, CsvLocale::Russian);
    } catch (const std::exception& error) {
        ShowMessage(QMessageBox::Critical, caption, QStringLiteral("Ошибка при экспорте!!!"),
                    nullptr, QString::fromUtf8(error.what()));
        return;
    }
    ShowMessage(QMessageBox::Information, caption, QStringLiteral("Экспорт прошел успешно."),
                nullptr);
}

// ---------------------------------------------------------------- radio operations

void TForm1::RunOperation(int32_t mode) {
    // A read replaces the configuration in hand.
    if (mode == MODE_READ && !MayReplaceConfiguration())
        return;
    const bool keptBefore = !HasUnsavedChanges();
    ApplyWriteSafety();
    {
        ModalBusy busy(*this);
        FormProgress->RunOperation(mode);
    }
    const OperationDriver& driver = FormProgress->driver;
    const OperationOutcome outcome = driver.Outcome();
    if ((mode == MODE_WRITE || mode == MODE_RESTORE) && outcome == OperationOutcome::Cancelled &&
        driver.RadioTouched()) {
        // The window was closed in the middle of the write.
        QString text = QStringLiteral("Запись прервана. Станция может содержать частично "
                                      "записанные таблицы.");
        if (!driver.BackupFolder().empty())
            text += QStringLiteral("\nРезервная копия: ") +
                    QString::fromStdString(driver.BackupFolder());
        ShowMessage(QMessageBox::Warning, ApplicationTitle(), text, this);
    }
    RefreshSettings();
    UpdateInfoPage();
    switch (mode) {
    case MODE_READ:
        // Flag names follow the radio only when its tables really came in: a failed read
        // must not rename the flags of the configuration in hand.
        if (info.has_block2 &&
            (outcome == OperationOutcome::Succeeded || outcome == OperationOutcome::TableError)) {
            FormChan->SetFlagCaptions(info.options);
        }
        SelectRangeFromRadio();
        DrawGridChannels->update();
        break;
    case MODE_WRITE:
    case MODE_RESTORE:
        DrawGridChannels->update();
        break;
    case MODE_IDENTIFY: {
        PageControl->update();
        const FreqRange* current = channels.ranges.current();
        if (info.has_block0 && info.ranges.IsValid() &&
            (current == nullptr || !info.ranges.Equals(*current))) {
            ShowMessage(QMessageBox::Warning, ApplicationTitle(),
                        QStringLiteral("Выбранный диапазон частот не совпадает с диапазоном "
                                       "частот радиостанции"),
                        this);
        }
        DrawGridChannels->update();
        break;
    }
    default:
        break;
    }
    // What a radio now holds is kept there; an identification only counts the programming.
    if (((mode == MODE_READ || mode == MODE_WRITE || mode == MODE_RESTORE) &&
         outcome == OperationOutcome::Succeeded) ||
        (mode == MODE_IDENTIFY && keptBefore)) {
        MarkConfigurationKept(mode == MODE_WRITE && driver.UnwrittenChannels() > 0);
    }
    if (mode == MODE_READ || (mode == MODE_RESTORE && outcome == OperationOutcome::Succeeded))
        ResetUndo(); // what came from the radio, or what a failed read left
    else
        AbsorbChange(); // a write normalises power levels and squelch
}

void TForm1::ApplyWriteSafety() {
    OperationDriver& driver = FormProgress->driver;
    driver.safety.backup = ActionBackupBeforeWrite->isChecked();
    driver.safety.verify = ActionVerifyAfterWrite->isChecked();
    driver.safety.dryRun = false;
    driver.safety.backupRoot.clear(); // the default location
}

void TForm1::ActionRestoreExecute() {
    // The restore replaces the configuration in hand with what the radio will hold.
    if (!MayReplaceConfiguration())
        return;
    RunOperation(MODE_IDENTIFY);
    if (!info.has_block0 || FormProgress->driver.Outcome() != OperationOutcome::Succeeded)
        return;
    const std::vector<BackupEntry> backups = ListBackups(DefaultBackupRoot(), info.serial_number);
    if (backups.empty()) {
        ShowMessage(QMessageBox::Information, ApplicationTitle(),
                    QStringLiteral("Резервных копий этой станции нет."), this);
        return;
    }
    TFormRestore dialog(this);
    dialog.SetBackups(backups);
    int result = 0;
    {
        ModalBusy busy(*this);
        result = restoreDialogHook ? restoreDialogHook(dialog) : dialog.exec();
    }
    const BackupEntry* chosen = dialog.Chosen();
    if (result != QDialog::Accepted || chosen == nullptr)
        return;
    const QString question =
        QStringLiteral("Записать в станцию резервную копию от %1? Таблицы станции будут "
                       "заменены.")
            .arg(QString::fromStdString(chosen->dateTime));
    bool yes = false;
    if (questionHook) {
        yes = questionHook(question);
    } else {
        ModalBusy busy(*this);
        yes = QMessageBox::question(this, ApplicationTitle(), question) == QMessageBox::Yes;
    }
    if (!yes)
        return;
    ImageSet images;
    try {
        images = ReadImageFolder(chosen->folder);
    } catch (const FileError& e) {
        ShowError(QStringLiteral("Резервная копия не прочитана: ") + QString::fromUtf8(e.what()));
        return;
    }
    FormProgress->driver.SetRestoreImages(images, chosen->serial, false);
    RunOperation(MODE_RESTORE);
}

void TForm1::ActionGetInfoExecute() {
    RunOperation(MODE_IDENTIFY);
}
void TForm1::ActionReadExecute() {
    RunOperation(MODE_READ);
}
void TForm1::ActionWriteExecute() {
    RunOperation(MODE_WRITE);
}

// ---------------------------------------------------------------- settings actions

void TForm1::ActionComPortExecute() {
    ModalBusy busy(*this);
    if (FormComPort->exec() == QDialog::Accepted) {
        if (FormComPort->chosen_port != 0)
            FormProgress->SetPortNumber(FormComPort->chosen_port);
        ShowPortStatus();
        StatusBar->SetMessage(QString());
    }
}

void TForm1::ActionSelectFreqRangeExecute() {
    ModalBusy busy(*this);
    std::vector<std::string> texts;
    channels.ranges.FillStrings(texts);
    FormFreqRange->Fill(texts, channels.ranges.currentIndex());
    if (FormFreqRange->exec() != QDialog::Accepted)
        return;
    const int index = FormFreqRange->SelectedIndex();
    if (index < 0 || index >= channels.ranges.Count())
        return;
    // The user hears what the change costs before anything changes; having agreed, needs
    // no second message about it.
    const int removed = ChannelsOutsideSet(channels, index);
    if (removed > 0 &&
        !AskQuestion(QStringLiteral("При смене диапазона будут удалены каналы: %1. Продолжить?")
                         .arg(removed)))
        return;
    channels.ranges.Select(index);
    SetStatusRangeText();
    channels.RemoveOutOfRange();
    DrawGridChannels->update();
    RecordChange(removed > 0 ? QStringLiteral("смена диапазона (удалено каналов: %1)").arg(removed)
                             : QStringLiteral("смена диапазона"));
}

void TForm1::ActionWaveNetExecute() {
    // The port the user confirmed (the operation port), not a selection cancelled in the COM
    // port dialog: the frames switch the link speed of whatever listens there.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    waveNet_->Execute(FormProgress->port_number());
    QApplication::restoreOverrideCursor();
}

void TForm1::ActionAboutExecute() {
    ModalBusy busy(*this);
    FormAbout->exec();
}

void TForm1::ActionEditChannelExecute() {
    if (info.has_block1)
        FormChan->SetTableVersions(info.channels_version, info.channels2_version);
    else
        FormChan->SetTableVersions(0, 0);
    FormChan->Setup(channels, settings, DrawGridChannels->currentRow() - 1, [this](int row) {
        DrawGridChannels->setCurrentRow(row);
        DrawGridChannels->update();
    });
    const ConfigSnapshot before = Snapshot();
    {
        ModalBusy busy(*this);
        FormChan->exec();
    }
    DrawGridChannels->update();
    EditChannelsFinished(before);
}

void TForm1::ActionSecondTypeExecute() {
    AcceptSecondType = true;
}
