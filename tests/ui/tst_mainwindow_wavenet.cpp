#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "files/RangeListFile.h"
#include "link/ComPorts.h"
#include "link/Framing.h"
#include "support/ModalHelpers.h"
#include "ui/FormCom.h"
#include "ui/FormProgress.h"
#include "ui/MainWindow.h"
#include "ui/WaveNet.h"

namespace {

// A pseudo-terminal whose far end stands behind a COM number: what the hand-over writes to
// the "radio" arrives at the master side.
class PtyLine {
public:
    PtyLine() {
        char name[128] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
            return;
        termios raw{};
        tcgetattr(slave_, &raw);
        cfmakeraw(&raw);
        tcsetattr(slave_, TCSANOW, &raw);
        // The slave stays open here too so the line does not hang up between the stages.
        com_ = FreeComPortNumber();
        SetComPortOverride(com_, name);
    }
    ~PtyLine() {
        if (com_)
            SetComPortOverride(com_, "");
        if (master_ >= 0)
            close(master_);
        if (slave_ >= 0)
            close(slave_);
    }
    int Com() const { return com_; }
    QByteArray ReadAll() {
        QByteArray bytes;
        pollfd p{master_, POLLIN, 0};
        while (poll(&p, 1, 50) > 0 && (p.revents & POLLIN)) {
            char buffer[256];
            const ssize_t n = read(master_, buffer, sizeof buffer);
            if (n <= 0)
                break;
            bytes.append(buffer, static_cast<int>(n));
        }
        return bytes;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    int com_ = 0;
};

QByteArray Bytes(const std::array<uint8_t, 12>& frame) {
    return QByteArray(reinterpret_cast<const char*>(frame.data()), int(frame.size()));
}

// Writes an executable tool into dir that leaves a marker file when it runs.
QString PlantTool(const QString& dir) {
    const QString marker = dir + "/tool-ran";
    QFile tool(dir + "/" + LINK_TOOL_FILE_NAME);
    if (!tool.open(QIODevice::WriteOnly))
        return {};
    tool.write(("#!/bin/sh\ntouch '" + marker + "'\n").toUtf8());
    tool.close();
    tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return marker;
}

} // namespace

class TestWaveNet : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { IsolateUserConfig(); }

    void mainWindowHandsOverTheConfirmedPort() {
        PtyLine confirmed, cancelled;
        QTemporaryDir dir;
        RangeListLocation location;
        location.readFrom = location.writeTo = (dir.path() + "/Zorvex_config.xml").toStdString();
        TForm1 w(location);
        const std::vector<SystemPort> ports{{"COM" + std::to_string(confirmed.Com()), ""},
                                            {"COM" + std::to_string(cancelled.Com()), ""}};
        w.FormComPort->SetPortSource([ports] { return ports; });
        w.show();
        const int first = std::min(confirmed.Com(), cancelled.Com());
        QCOMPARE(w.FormProgress->port_number(), first);
        PtyLine& active = first == confirmed.Com() ? confirmed : cancelled;
        PtyLine& other = first == confirmed.Com() ? cancelled : confirmed;
        // Pick the other port in the dialog, then cancel.
        OnNextModal([&](QWidget*) {
            w.FormComPort->ComboBoxCOM->setCurrentText(QStringLiteral("COM%1").arg(other.Com()));
            w.FormComPort->BitBtnCancell->click();
        });
        w.ActionComPort->trigger();
        QCOMPARE(w.FormComPort->chosen_port, other.Com());
        w.WaveNet().toolDirectory = dir.path().toStdString(); // no tool there
        w.WaveNet().settleMs = 0;
        w.ActionWaveNet->trigger();
        QCOMPARE(active.ReadAll(), Bytes(WAVENET_FRAME_TO_115200) + Bytes(WAVENET_FRAME_TO_9600));
        QCOMPARE(other.ReadAll(), QByteArray());
    }

    void framesAreTheLinkSpeedCommands() {
        // C0, the 8-byte packet D0 10 00 00 <baud, 32-bit little-endian>, FCS, C1.
        const auto check = [](const std::array<uint8_t, 12>& frame, uint32_t baud) {
            QCOMPARE(frame[0], uint8_t(0xC0));
            QCOMPARE(frame[11], uint8_t(0xC1));
            QCOMPARE(frame[1], uint8_t(0xD0));
            const uint32_t value =
                frame[5] | frame[6] << 8 | frame[7] << 16 | uint32_t(frame[8]) << 24;
            QCOMPARE(value, baud);
        };
        check(WAVENET_FRAME_TO_115200, 115200);
        check(WAVENET_FRAME_TO_9600, 9600);
        // And each is exactly what the link's framing makes of that packet.
        for (const auto& [frame, baud] : {std::pair{WAVENET_FRAME_TO_115200, 115200u},
                                          std::pair{WAVENET_FRAME_TO_9600, 9600u}}) {
            uint8_t packet[8];
            BuildLinkSpeedPacket(baud, packet);
            uint8_t encoded[32];
            const size_t n = EncodeFrame(packet, sizeof packet, encoded, sizeof encoded);
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(encoded), int(n)), Bytes(frame));
        }
    }

    void handOverRunsToolBetweenTheTwoFrames() {
        PtyLine line;
        QVERIFY(line.Com() != 0);
        QTemporaryDir dir;
        const QString marker = PlantTool(dir.path());
        WaveNetHandOver handOver;
        handOver.toolDirectory = dir.path().toStdString();
        handOver.settleMs = 0;
        handOver.Execute(line.Com());
        QVERIFY(QFile::exists(marker));
        QCOMPARE(line.ReadAll(), Bytes(WAVENET_FRAME_TO_115200) + Bytes(WAVENET_FRAME_TO_9600));
        QVERIFY(!handOver.ToolPortOpen());
    }

    void toolOnlyFromProgramDirectoryNeverFromCurrentOne() {
        PtyLine line;
        QTemporaryDir planted, own;
        const QString marker = PlantTool(planted.path());
        const QString previous = QDir::currentPath();
        QDir::setCurrent(planted.path());
        WaveNetHandOver handOver;
        handOver.toolDirectory = own.path().toStdString(); // no tool there
        handOver.settleMs = 0;
        QVERIFY(!handOver.RunLinkTool());
        handOver.Execute(line.Com());
        QDir::setCurrent(previous);
        QVERIFY(!QFile::exists(marker));
        // The missing tool does not stop the switch back to 9600 Bd.
        QCOMPARE(line.ReadAll(), Bytes(WAVENET_FRAME_TO_115200) + Bytes(WAVENET_FRAME_TO_9600));
    }

    void portOutOfRangeOrAbsentDoesNothing_data() {
        QTest::addColumn<int>("port");
        QTest::newRow("no port chosen") << 0;
        QTest::newRow("above 255") << 256;
        QTest::newRow("negative") << -1;
    }
    void portOutOfRangeOrAbsentDoesNothing() {
        QFETCH(int, port);
        QTemporaryDir dir;
        const QString marker = PlantTool(dir.path());
        WaveNetHandOver handOver;
        handOver.toolDirectory = dir.path().toStdString();
        handOver.settleMs = 0;
        QVERIFY(!handOver.OpenToolPort(port, 9600));
        handOver.Execute(port);
        QVERIFY(!QFile::exists(marker));
        QVERIFY(!handOver.ToolPortOpen());
    }

    void unopenablePortSkipsTheTool() {
        // A COM number whose device does not exist: both stages fail to open, no tool runs.
        const int com = FreeComPortNumber();
        QVERIFY(SetComPortOverride(com, "/nonexistent/tty"));
        QTemporaryDir dir;
        const QString marker = PlantTool(dir.path());
        WaveNetHandOver handOver;
        handOver.toolDirectory = dir.path().toStdString();
        handOver.settleMs = 0;
        handOver.Execute(com);
        SetComPortOverride(com, "");
        QVERIFY(!QFile::exists(marker));
    }
};

QTEST_MAIN(TestWaveNet)
#include "tst_mainwindow_wavenet.moc"
