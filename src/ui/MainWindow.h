#pragma once

#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "model/ChannelsContext.h"
#include "model/InfoContext.h"
#include "model/SettingsContext.h"
#include "ui/BulkEdit.h"
#include "ui/CellPainter.h"
#include "ui/ConfigSnapshot.h"

class QAction;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QTabWidget;
class QToolBar;
class QUndoStack;
class ChannelGrid;
class RangeListSession;
struct RangeListLocation;
class SettingsPages;
class TFormAbout;
class TFormChan;
class TFormComPort;
class TFormFreqRange;
class TFormProgress;
class TFormRestore;
class WaveNetHandOver;

// The main window's status bar: three panels side by side, drawn by the bar itself. A press
// of any mouse button reports its x coordinate.
class StatusPanelBar : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusPanelBar(QWidget* parent = nullptr);

    static constexpr int PanelCount = 3;
    void SetPanelText(int panel, const QString& text);
    QString PanelText(int panel) const;
    // A note shown right of the panels until replaced (empty: none).
    void SetMessage(const QString& text);
    QString Message() const { return message_; }
    // Widths of the three panels in pixels (50, 600, 50, widened when the font needs it).
    const std::array<int, PanelCount>& PanelWidths() const { return widths_; }
    // The panel whose right edge first lies beyond x, or -1 right of the last panel.
    int PanelAt(int x) const;

signals:
    void pressedAt(int x);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::array<QString, PanelCount> texts_;
    QString message_;
    std::array<int, PanelCount> widths_{};
};

// The program's main window. It owns the model for the program's whole life (the channel
// table with its range list, the settings, the radio information and the grid painter),
// creates the program's other windows once and reuses them, and offers every command as an
// action of its menu bar, tool bar and shortcuts.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // The range list is read from (and at exit written to) the file next to the executable.
    explicit TForm1(QWidget* parent = nullptr);
    // The same with the range-list file elsewhere (tests).
    explicit TForm1(const RangeListLocation& rangeList, QWidget* parent = nullptr);
    ~TForm1() override;

    // ---- the model ----
    ChannelsContext channels;
    SettingsContext settings;
    TInfoContext info;
    CellPainter painter;

    // ---- the program's other windows, created once in this order ----
    TFormChan* FormChan = nullptr;
    TFormAbout* FormAbout = nullptr;
    TFormComPort* FormComPort = nullptr;
    TFormProgress* FormProgress = nullptr;
    TFormFreqRange* FormFreqRange = nullptr;

    // ---- actions ----
    QAction* FileCreate = nullptr;
    QAction* FileOpen1 = nullptr;
    QAction* FileSaveAs1 = nullptr;
    QAction* FileSaveAs2 = nullptr;
    QAction* FileImportCsv = nullptr;
    QAction* FileExportCsv = nullptr;
    QAction* ActionGetInfo = nullptr;
    QAction* ActionRead = nullptr;
    QAction* ActionWrite = nullptr;
    QAction* ActionComPort = nullptr;
    QAction* ActionSelectFreqRange = nullptr;
    QAction* ActionWaveNet = nullptr;
    QAction* ActionAbout = nullptr;
    QAction* ActionEditChannel = nullptr;
    QAction* ActionSecondType = nullptr;
    QAction* ActionRestore = nullptr;
    // Checkable items of "Установки", on by default, remembered in the program's settings
    // (keys BackupBeforeWrite and VerifyAfterWrite).
    QAction* ActionBackupBeforeWrite = nullptr;
    QAction* ActionVerifyAfterWrite = nullptr;
    QAction* EditUndo = nullptr;
    QAction* EditRedo = nullptr;

    // Every change to the configuration in hand is one step here; opening a file, "Создать"
    // and a read start it afresh.
    QUndoStack* UndoStack = nullptr;

    // ---- controls ----
    QMenuBar* MainMenu = nullptr;
    QToolBar* ToolBar = nullptr;
    QTabWidget* PageControl = nullptr;
    QWidget* TabSheetChannels = nullptr;
    QWidget* TabSheetSettings = nullptr;
    QWidget* TabSheetSettings2 = nullptr;
    QWidget* TabSheetInfo = nullptr;
    ChannelGrid* DrawGridChannels = nullptr;
    SettingsPages* Pages = nullptr;
    QPlainTextEdit* MemoInfo = nullptr;
    StatusPanelBar* StatusBar = nullptr;

    // True while a modal dialog opened from this window is showing.
    bool modalBusy = false;

    // ---- operations ----
    void StatusBarMouseDown(int x);
    void ShowPortStatus();
    void SelectRangeFromRadio();
    void UpdateInfoPage();
    void LayoutGrid();
    // Refreshes both settings pages from the settings (after they were replaced).
    void RefreshSettings();
    // Whether a tab page is shown.
    bool PageVisible(QWidget* page) const;

    // The hand-over to the wave-network tool (tool directory and pauses can be changed).
    WaveNetHandOver& WaveNet() { return *waveNet_; }

    // ---- test seams ----
    // When set, message boxes are handed here instead of being shown.
    std::function<void(QMessageBox::Icon icon, const QString& title, const QString& text)>
        messageBoxHook;
    // When set, asked for a file name instead of showing a file dialog; an empty result
    // cancels. filter is in Qt form ("Настройки (*.xml)").
    // Each kind of file remembers the folder it was last opened from or saved to.
    enum class FileKind { Configuration, Export };
    struct FileDialogRequest {
        bool save = false;
        QString filter;
        QString defaultSuffix;
        FileKind kind = FileKind::Configuration;
        QString folder; // the folder the dialog opens in (empty: the platform's choice)
    };
    std::function<QString(const FileDialogRequest& request)> fileDialogHook;
    // When set, answers the question about unsaved changes instead of showing it.
    enum class UnsavedChoice { Save, Discard, Cancel };
    std::function<UnsavedChoice()> unsavedChangesHook;
    // When set, runs the restore dialog (filled with the radio's backups) instead of exec()
    // and returns its result.
    std::function<int(TFormRestore& dialog)> restoreDialogHook;
    // When set, answers a yes/no question instead of showing it (true: yes).
    std::function<bool(const QString& text)> questionHook;

    // Makes what changed in the configuration since the last step one undo step named what
    // ("изменение канала 5"); nothing when nothing changed. Steps with the same non-empty
    // mergeKey that follow each other become one.
    void RecordChange(const QString& what, const QString& mergeKey = QString());
    // The grid's context menu (rebuilt on every call, owned by the window): bulk edits of the
    // selected slots, copy and paste of whole channels.
    QMenu* GridMenu();
    // Sets one field of every selected used slot as one undo step named what; slots the
    // value does not suit are left and named in a message.
    void BulkEditSelected(const BulkEdit& edit, const QString& what);
    // Whole channels of the selected slots to the program's channel clipboard, and from it
    // into the slots from the first selected one on (one undo step).
    void CopySelectedChannels();
    void PasteChannels();
    // When set, asked for a number instead of showing an input dialog (nullopt: cancelled).
    std::function<std::optional<int>(const QString& prompt)> numberInputHook;

    // Replaces the configuration's 200 channels as one undoable step (an import); range set,
    // settings and flag captions stay.
    void ReplaceChannels(const std::array<Channel, CHANNEL_COUNT>& replacement,
                         const QString& what);

    // Whether the configuration in hand differs from the one last saved, opened, created,
    // read from or written to a radio: what "Создать", opening a file, a read or closing the
    // program would lose.
    bool HasUnsavedChanges() const;

    // The application's title.
    static QString ApplicationTitle();
    // Program-wide settings made once at start, before the first window is created: the
    // program's icon for every window, Qt's own texts in Russian.
    static void SetUpApplication();

    // ---- action handlers ----
    // Opens the configuration file name (from the command line): its error as when opened
    // through the dialog, and the configuration in hand stays as it was. True on success.
    bool OpenConfiguration(const QString& name);
    // The settings-store key of the folder remembered for a kind of file.
    static QString FolderKey(FileKind kind);

    void FileCreateExecute();
    void FileOpen1Execute();
    void FileSaveAs1Execute();
    void FileSaveAs2Execute();
    // The channels from a CSV channel list, only when the whole list is good; otherwise its
    // problems in one message and the configuration in hand unchanged.
    void FileImportCsvExecute();
    // The channels as a CSV channel list in the Russian form (semicolons, decimal commas).
    void FileExportCsvExecute();
    void ActionGetInfoExecute();
    void ActionReadExecute();
    void ActionWriteExecute();
    void ActionComPortExecute();
    void ActionSelectFreqRangeExecute();
    void ActionWaveNetExecute();
    void ActionAboutExecute();
    void ActionEditChannelExecute();
    void ActionSecondTypeExecute();
    void ActionRestoreExecute();

    // Shows the error of a failed file action in the application's error dialog; detail (the
    // library's own words) goes underneath.
    void ShowError(const QString& text, const QString& detail = QString());
    // The detail shown under the last message box's text (tests).
    QString LastMessageDetail() const { return lastDetail_; }

protected:
    void showEvent(QShowEvent* event) override;                 // FormShow
    void resizeEvent(QResizeEvent* event) override;             // FormResize
    bool eventFilter(QObject* watched, QEvent* event) override; // FormMouseWheel
    void closeEvent(QCloseEvent* event) override;

private:
    void Build();
    void CreateActions();
    void CreateMenusAndToolBar();
    void CreatePages();
    void CreateWindows();
    void FormShow();
    void RunOperation(int32_t mode);
    void ShowMessage(QMessageBox::Icon icon, const QString& title, const QString& text,
                     QWidget* owner, const QString& detail = QString());
    QString AskFileName(const FileDialogRequest& request);
    // A yes/no question; true when answered yes.
    bool AskQuestion(const QString& text);
    void SetStatusRangeText();
    void SetPageVisible(QWidget* page, bool visible);
    // The configuration as its file would hold it.
    std::string ConfigurationText() const;
    ConfigSnapshot Snapshot() const;
    // Puts a configuration of the undo history back and shows it.
    void ShowSnapshot(const ConfigSnapshot& snapshot);
    // A fresh undo history starting at the configuration in hand.
    void ResetUndo();
    // The configuration in hand changed in a way that is no step of its own (normalised by a
    // save or a write): the next step starts from here.
    void AbsorbChange();
    // Makes every user edit on the settings pages an undo step.
    void WatchSettingsEdits();
    // After a channel-editor session: the slots it stored (before: the configuration at its
    // start) as one step.
    void EditChannelsFinished(const ConfigSnapshot& before);
    // A whole number from the user; nullopt when cancelled.
    std::optional<int> AskNumber(const QString& prompt, int value, int minimum, int maximum);
    // The configuration in hand is now kept somewhere (a file or the radio).
    // unwrittenSecondTable: slots 100-199 did not reach the radio (it has no table for
    // them), so they stay unsaved.
    void MarkConfigurationKept(bool unwrittenSecondTable = false);
    // The safety items into the progress window's driver.
    void ApplyWriteSafety();
    // Before the configuration in hand is replaced or the program ends: with unsaved
    // changes, asks whether to save them. False when the user cancels (or the save fails).
    bool MayReplaceConfiguration();
    // Asks for a file name and saves the configuration there; false when cancelled or failed.
    bool SaveConfigurationAs();

    std::unique_ptr<RangeListSession> rangeList_;
    std::unique_ptr<WaveNetHandOver> waveNet_;
    bool shown_ = false;
    std::string keptText_;        // ConfigurationText() when last kept
    ConfigSnapshot recorded_;     // the configuration after the last undo step
    std::vector<Channel> copied_; // the channel clipboard
    QMenu* gridMenu_ = nullptr;
    QString lastDetail_;
    const QEvent* lastWheel_ = nullptr;
    quint64 lastWheelTime_ = 0;
};

// Holds the main window's modal-busy mark for the life of a modal dialog.
class ModalBusy {
public:
    explicit ModalBusy(TForm1& window) : window_(window), before_(window.modalBusy) {
        window_.modalBusy = true;
    }
    ~ModalBusy() { window_.modalBusy = before_; } // a dialog opened from a dialog
    ModalBusy(const ModalBusy&) = delete;
    ModalBusy& operator=(const ModalBusy&) = delete;

private:
    TForm1& window_;
    bool before_;
};
