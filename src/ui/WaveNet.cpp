#include "ui/WaveNet.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <cstdio>

#include "link/ComPorts.h"
#include "link/SerialPort.h"

WaveNetHandOver::WaveNetHandOver()
    : toolDirectory(QCoreApplication::applicationDirPath().toStdString()) {}

WaveNetHandOver::~WaveNetHandOver() {
    CloseToolPort();
}

void WaveNetHandOver::Execute(int port) {
    if (port < MIN_COM_PORT || port > MAX_COM_PORT)
        return;
    if (OpenToolPort(port, 9600)) {
        WriteToolPort(WAVENET_FRAME_TO_115200.data(), WAVENET_FRAME_TO_115200.size());
        if (settleMs > 0)
            QThread::msleep(static_cast<unsigned long>(settleMs));
        CloseToolPort();
        RunLinkTool();
    }
    if (OpenToolPort(port, 115200)) {
        WriteToolPort(WAVENET_FRAME_TO_9600.data(), WAVENET_FRAME_TO_9600.size());
        if (settleMs > 0)
            QThread::msleep(static_cast<unsigned long>(settleMs));
        CloseToolPort();
    }
}

bool WaveNetHandOver::OpenToolPort(int port, uint32_t baud) {
    if (port < MIN_COM_PORT || port > MAX_COM_PORT)
        return false;
    CloseToolPort();
    const std::string device = ComPortDevice(port);
    if (device.empty())
        return false;
    auto serial = std::make_unique<SerialPort>();
    if (!serial->Open(device, baud))
        return false;
    toolPort_ = std::move(serial);
    return true;
}

void WaveNetHandOver::WriteToolPort(const uint8_t* bytes, size_t count) {
    if (toolPort_)
        (void)toolPort_->Write(bytes, count);
}

void WaveNetHandOver::CloseToolPort() {
    if (toolPort_)
        toolPort_->Close();
    toolPort_.reset();
}

bool WaveNetHandOver::ToolPortOpen() const {
    return toolPort_ != nullptr;
}

bool WaveNetHandOver::RunLinkTool() {
    const QString dir = QString::fromStdString(toolDirectory);
    const QString program = QDir(dir).absoluteFilePath(QString::fromLatin1(LINK_TOOL_FILE_NAME));
    const QFileInfo file(program);
    if (dir.isEmpty() || !file.isFile() || !file.isExecutable()) {
        std::fprintf(stderr, "Wave-network tool not found: %s\n",
                     program.toLocal8Bit().constData());
        return false;
    }
    QProcess process;
    process.setProgram(file.absoluteFilePath()); // an absolute path: no search takes place
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start();
    if (!process.waitForStarted(-1)) {
        std::fprintf(stderr, "Wave-network tool could not be started: %s (%s)\n",
                     program.toLocal8Bit().constData(),
                     process.errorString().toLocal8Bit().constData());
        return false;
    }
    process.waitForFinished(-1);
    return true;
}
