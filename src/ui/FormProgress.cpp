#include "ui/FormProgress.h"

#include <QMetaObject>
#include <QPainter>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QVBoxLayout>

#include "model/Cp1251.h"
#include "operations/LogSink.h"
#include "operations/OperationPreset.h"

class TFormProgress::MemoSink : public LogSink {
public:
    explicit MemoSink(QPlainTextEdit* memo) : memo_(memo) {}
    void AppendLine(const std::string& line) override {
        memo_->appendPlainText(QString::fromStdString(Cp1251ToUtf8(line)));
    }
    void Clear() override { memo_->clear(); }

private:
    QPlainTextEdit* memo_;
};

ProgressPanel::ProgressPanel(const OperationDriver& driver, QWidget* parent)
    : QWidget(parent), driver_(driver) {
    setObjectName(QStringLiteral("StatusBar"));
}

QSize ProgressPanel::sizeHint() const {
    return QSize(641, fontMetrics().height() + 8);
}

QColor ProgressPanel::ColorFromBgr(uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

int ProgressPanel::BarWidth(int width, int percent) {
    if (percent < 0 || percent > 100)
        return -1;
    return width * percent / 100;
}

void ProgressPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    const QColor face = palette().color(QPalette::Button);
    const int w = BarWidth(r.width(), driver_.percent);
    if (w < 0) {
        p.fillRect(r, face);
        return;
    }
    const QString label = QStringLiteral("%1 %").arg(driver_.percent);
    const QFontMetrics fm = p.fontMetrics();
    const int x = r.left() + r.width() / 2 - fm.horizontalAdvance(label) / 2;
    const int y = r.top() + r.height() / 2 - fm.height() / 2;
    const QRect textBox(x, y, fm.horizontalAdvance(label) + 1, fm.height());

    const QRect left(r.left(), r.top(), w, r.height());
    const QRect right(r.left() + w, r.top(), r.width() - w, r.height());
    p.save();
    p.setClipRect(left);
    p.fillRect(left, ColorFromBgr(driver_.bar_color));
    p.setPen(Qt::white);
    p.drawText(textBox, Qt::AlignLeft | Qt::AlignTop, label);
    p.restore();
    p.save();
    p.setClipRect(right);
    p.fillRect(right, face);
    p.setPen(Qt::black);
    p.drawText(textBox, Qt::AlignLeft | Qt::AlignTop, label);
    p.restore();
}

TFormProgress::TFormProgress(ChannelsContext& channels, SettingsContext& settings,
                             TInfoContext& info, QWidget* parent)
    : QDialog(parent), driver(channels, settings, info, [this](std::function<void()> call) {
          // Runs on the worker's thread: only queue, never touch the window here.
          // The call is bound to this window: Qt drops it if the window is gone, and
          // the window stops the worker before it goes.
          QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
      }) {
    MemoLog = new QPlainTextEdit(this);
    MemoLog->setObjectName(QStringLiteral("MemoLog"));
    MemoLog->setReadOnly(true);
    MemoLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    StatusBar = new ProgressPanel(driver, this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(MemoLog, 1);
    layout->addWidget(StatusBar);
    resize(641, 172);

    sink_ = std::make_unique<MemoSink>(MemoLog);
    driver.log.Attach(sink_.get());
    driver.onProgress = [this] { StatusBar->update(); };
}

TFormProgress::~TFormProgress() {
    driver.onProgress = nullptr;
    driver.onFinished = nullptr;
    driver.Close();
    driver.log.Attach(nullptr);
}

int TFormProgress::RunOperation(int32_t mode) {
    const OperationPreset preset = PresetForMode(mode);
    setWindowTitle(QString::fromStdString(Cp1251ToUtf8(preset.caption)));
    driver.bar_color = preset.bar_color;
    driver.percent = preset.percent;
    driver.mode = mode;
    pendingMode_ = mode;
    return exec();
}

QStringList TFormProgress::LogLines() const {
    QString text = MemoLog->toPlainText();
    if (text.isEmpty() && MemoLog->document()->blockCount() <= 1)
        return {};
    return text.split(QLatin1Char('\n'));
}

void TFormProgress::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    MemoLog->setFocus();
    if (pendingMode_ != 0) {
        const int32_t mode = pendingMode_;
        pendingMode_ = 0;
        driver.Start(mode);
        StatusBar->update();
    }
}

void TFormProgress::done(int result) {
    driver.Close();
    StatusBar->update();
    QDialog::done(result);
}
