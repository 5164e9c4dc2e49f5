#pragma once

#include <QDialog>
#include <QWidget>
#include <cstdint>
#include <memory>

#include "operations/OperationDriver.h"

class QPlainTextEdit;
class ChannelsContext;
class SettingsContext;
class TInfoContext;

// The owner-drawn progress bar in the progress window's status line: the driver's percent
// as a bar in bar_color with the label "<percent> %" centred, white over the bar and black
// beyond it.
class ProgressPanel : public QWidget {
    Q_OBJECT
public:
    ProgressPanel(const OperationDriver& driver, QWidget* parent);
    QSize sizeHint() const override;

    // 0x00BBGGRR as a colour.
    static QColor ColorFromBgr(uint32_t bgr);
    // The width of the filled part of a panel `width` pixels wide at `percent`; -1 when the
    // percent is outside 0..100 (the panel is then drawn empty).
    static int BarWidth(int width, int percent);

protected:
    void paintEvent(QPaintEvent* event) override; // StatusBarDrawPanel

private:
    const OperationDriver& driver_;
};

// The modal window in which identify, read and write run. It hosts the operation driver:
// the worker's notifications arrive as queued calls on this window's thread (they die with
// the window), every log line is appended to MemoLog, and closing the window (Esc, the close
// button) stops the worker and closes the port.
class TFormProgress : public QDialog {
    Q_OBJECT
public:
    TFormProgress(ChannelsContext& channels, SettingsContext& settings, TInfoContext& info,
                  QWidget* parent = nullptr);
    ~TFormProgress() override;

    // Sets the caption and bar preset of the mode, then shows the window modally until the
    // user closes it. Returns the dialog result.
    int RunOperation(int32_t mode);

    int32_t port_number() const { return driver.port_number; }
    void SetPortNumber(int32_t port) { driver.port_number = port; }

    // The log as shown, one entry per line.
    QStringList LogLines() const;

    OperationDriver driver;
    QPlainTextEdit* MemoLog = nullptr;
    ProgressPanel* StatusBar = nullptr;

public slots:
    void done(int result) override; // FormClose

protected:
    void showEvent(QShowEvent* event) override; // FormShow

private:
    class MemoSink;
    std::unique_ptr<MemoSink> sink_;
    int32_t pendingMode_ = 0;
};
