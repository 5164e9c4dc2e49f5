// The Win32 serial port and the transfer worker on COM ports that lead to simulated radios
// on the Linux side of Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "WinTestSupport.h"
#include "link/ComPorts.h"
#include "link/ComThread.h"
#include "link/SerialPort.h"
#include "link/TransferErrors.h"
#include "ui/WaveNet.h"

namespace {

using Clock = std::chrono::steady_clock;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Runs one list on the worker and waits for its end (at most the limit).
bool RunList(ComThread& worker, const std::vector<TransferJob>& jobs, std::chrono::seconds limit) {
    worker.ClearJobs();
    for (const TransferJob& j : jobs)
        worker.AddJob(&j);
    if (!worker.StartJobs())
        return false;
    const auto deadline = Clock::now() + limit;
    while (worker.GetProgress() != 100) {
        if (Clock::now() > deadline)
            return false;
        Sleep(10);
    }
    return true;
}

} // namespace

TEST(WinSerialPort, OpenFailuresNameTheirCause) {
    const struct {
        std::string device;
        const char* message;
    } cases[] = {
        {"\\\\.\\COM251", "\\\\.\\COM251: the port does not exist"},
        {"", "no device stands behind this port number"},
    };
    for (const auto& c : cases) {
        SerialPort port;
        EXPECT_FALSE(port.Open(c.device)) << c.device;
        EXPECT_TRUE(Contains(port.LastOpenError(), c.message)) << port.LastOpenError();
        EXPECT_FALSE(port.IsOpen());
    }
    ComThread worker;
    EXPECT_FALSE(worker.OpenPort(251));
    EXPECT_EQ(worker.LastOpenError(), "\\\\.\\COM251: the port does not exist (is the adapter "
                                      "plugged in?)");
    EXPECT_FALSE(worker.IsPortOpen());
}

TEST(WinSerialPort, PortOpenedByAnotherHandleIsRefusedAsInUse) {
    REQUIRE_COM(com, RADIO_COM);
    const std::string device = ComPortDevice(com);
    SerialPort first;
    ASSERT_TRUE(first.Open(device)) << first.LastOpenError();

    SerialPort second;
    EXPECT_FALSE(second.Open(device));
    EXPECT_EQ(second.LastOpenError(), device + ": the port is in use by another program");
    ComThread worker;
    EXPECT_FALSE(worker.OpenPort(com));
    EXPECT_TRUE(Contains(worker.LastOpenError(), "in use"));
    // The same port under another spelling of its name is the same port.
    SerialPort lower;
    EXPECT_FALSE(lower.Open("\\\\.\\com" + std::to_string(com)));

    first.Close();
    EXPECT_TRUE(second.Open(device)) << second.LastOpenError();
    EXPECT_FALSE(worker.OpenPort(com)); // still held by `second`
    second.Close();
    EXPECT_TRUE(worker.OpenPort(com)) << worker.LastOpenError();
}

// The other process of the test below: holds the port until it is ended.
TEST(WinPortHolder, DISABLED_HoldsThePortUntilEnded) {
    REQUIRE_COM(com, RADIO_COM);
    SerialPort port;
    ASSERT_TRUE(port.Open(ComPortDevice(com))) << port.LastOpenError();
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, std::getenv("ZORVEX_WIN_HOLDER_READY"));
    ASSERT_NE(ready, nullptr);
    SetEvent(ready);
    Sleep(60000); // ended by the test long before
}

TEST(WinSerialPort, PortHeldByAnotherProcessIsRefusedUntilThatProcessEnds) {
    REQUIRE_COM(com, RADIO_COM);
    const std::string eventName = "zorvex-holder-ready-" + std::to_string(GetCurrentProcessId());
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
    ASSERT_NE(ready, nullptr);
    SetEnvironmentVariableA("ZORVEX_WIN_HOLDER_READY", eventName.c_str());

    char self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, self, sizeof self), 0u);
    std::string command = std::string("\"") + self +
                          "\" --gtest_filter=WinPortHolder.DISABLED_HoldsThePortUntilEnded "
                          "--gtest_also_run_disabled_tests";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION holder{};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &holder));
    const DWORD waited = WaitForSingleObject(ready, 60000);
    EXPECT_EQ(waited, WAIT_OBJECT_0) << "the holder did not open the port";

    SerialPort port;
    if (waited == WAIT_OBJECT_0) {
        EXPECT_FALSE(port.Open(ComPortDevice(com)));
        EXPECT_TRUE(Contains(port.LastOpenError(), "in use by another program"))
            << port.LastOpenError();
    }
    // Killed rather than asked: the port must come free however its holder ends.
    TerminateProcess(holder.hProcess, 9);
    EXPECT_EQ(WaitForSingleObject(holder.hProcess, 30000), WAIT_OBJECT_0);
    CloseHandle(holder.hThread);
    CloseHandle(holder.hProcess);
    CloseHandle(ready);
    EXPECT_TRUE(port.Open(ComPortDevice(com))) << port.LastOpenError();
}

TEST(WinComThread, RadioThatNeverAnswersEndsInNoReplyWithinTheTimeOut) {
    REQUIRE_COM(com, DEAD_COM);
    ComThread worker;
    ASSERT_TRUE(worker.OpenPort(com)) << worker.LastOpenError();
    uint8_t buffer[2048] = {};

    // Three attempts, each giving up after about a second without a byte.
    const auto start = Clock::now();
    {
        Watchdog watchdog("a request to a radio that never answers", std::chrono::seconds(60));
        EXPECT_FALSE(worker.RequestInfo(0, buffer));
    }
    const double seconds = SecondsSince(start);
    EXPECT_EQ(worker.GetError(), TRANSFER_NO_REPLY);
    EXPECT_FALSE(worker.InfoReceived(0));
    EXPECT_GE(seconds, 2.5) << "each attempt must wait for the reply";
    EXPECT_LT(seconds, 20.0);

    // The same through the worker's own thread: the list ends with the error.
    const TransferJob job{OP_READ_TABLE, 0x0000, 2048, buffer};
    EXPECT_TRUE(RunList(worker, {job}, std::chrono::seconds(60)));
    EXPECT_EQ(worker.GetError(), TRANSFER_NO_REPLY);
    EXPECT_TRUE(worker.ClosePort());
}

TEST(WinComThread, ClosingInTheMiddleOfAReadReturnsSoonAndFreesThePort) {
    REQUIRE_COM(com, PACED_COM);
    ComThread worker;
    ASSERT_TRUE(worker.OpenPort(com)) << worker.LastOpenError();
    static uint8_t buffers[3][2048];
    const std::vector<TransferJob> jobs = {{OP_READ_TABLE, 0x0000, 2048, buffers[0]},
                                           {OP_READ_TABLE, 0x0004, 2048, buffers[1]},
                                           {OP_READ_TABLE, 0x000C, 2048, buffers[2]}};
    worker.ClearJobs();
    for (const TransferJob& j : jobs)
        ASSERT_TRUE(worker.AddJob(&j));
    ASSERT_TRUE(worker.StartJobs());
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (worker.GetProgress() < 10 && Clock::now() < deadline)
        Sleep(5);
    ASSERT_GE(worker.GetProgress(), 10);
    ASSERT_LT(worker.GetProgress(), 100) << "the read ended before it could be interrupted";

    const auto start = Clock::now();
    {
        Watchdog watchdog("closing the port during a read", std::chrono::seconds(60));
        EXPECT_TRUE(worker.ClosePort());
    }
    EXPECT_LT(SecondsSince(start), 4.0) << "about a second plus the frame being moved";
    EXPECT_FALSE(worker.IsPortOpen());

    SerialPort again;
    EXPECT_TRUE(again.Open(ComPortDevice(com))) << again.LastOpenError();
}

TEST(WinLinkSpeed, RequestsGoOutAtBothSpeedsAndTheLinkStillWorksAfter) {
    REQUIRE_COM(com, SPEED_COM);
    const std::string device = ComPortDevice(com);
    {
        SerialPort port;
        ASSERT_TRUE(port.Open(device, 9600)) << port.LastOpenError();
        EXPECT_EQ(port.Write(WAVENET_FRAME_TO_115200.data(), WAVENET_FRAME_TO_115200.size()), 12);
        Sleep(200);
    }
    {
        SerialPort port;
        ASSERT_TRUE(port.Open(device, 115200)) << port.LastOpenError();
        EXPECT_EQ(port.Speed(), 115200u);
        EXPECT_EQ(port.Write(WAVENET_FRAME_TO_9600.data(), WAVENET_FRAME_TO_9600.size()), 12);
        Sleep(200);
        // The worker's own check puts a port left at another speed back to 9600 Bd.
        EXPECT_TRUE(port.SetSpeed(ComThread::LINK_SPEED));
        EXPECT_EQ(port.Speed(), 9600u);
    }
    ComThread worker;
    ASSERT_TRUE(worker.OpenPort(com)) << worker.LastOpenError();
    uint8_t block[2048] = {};
    Watchdog watchdog("an information request after the link-speed requests",
                      std::chrono::seconds(60));
    EXPECT_TRUE(worker.RequestInfo(0, block));
    EXPECT_EQ(worker.GetError(), 0);
    EXPECT_TRUE(worker.InfoReceived(0));
}
