#include "operations/DriverHarness.h"

#include <chrono>
#include <filesystem>
#include <system_error>

#include <unistd.h>

#include <gtest/gtest.h>

#include "link/ComPorts.h"
#include "model/Cp1251.h"
#include "operations/OperationPreset.h"

void VectorLog::AppendLine(const std::string& line) {
    lines.push_back(Cp1251ToUtf8(line));
}

DriverHarness::DriverHarness(const RadioIdentity& identity, Pacing pacing)
    : radio(identity), pty(radio, pacing) {
    EXPECT_TRUE(pty.Start()) << pty.Error();
    port = FreeComPortNumber();
    EXPECT_TRUE(SetComPortOverride(port, pty.DevicePath()));
    FreqRange set;
    set.SetDefault();
    channels.ranges.Select(channels.ranges.Add(set));
    driver = std::make_unique<OperationDriver>(
        channels, settings, info,
        [this](std::function<void()> call) { queue.Post(std::move(call)); });
    driver->log.Attach(&log);
    driver->onProgress = [this] { percents.push_back(driver->percent); };
    driver->port_number = port;
    static int serial = 0;
    backupRoot = (std::filesystem::temp_directory_path() /
                  ("zorvex-backups-" + std::to_string(::getpid()) + "-" + std::to_string(++serial)))
                     .string();
    driver->safety.backup = false;
    driver->safety.verify = false;
    driver->safety.backupRoot = backupRoot;
}

DriverHarness::~DriverHarness() {
    driver.reset();
    pty.Stop();
    SetComPortOverride(port, "");
    std::error_code ignored;
    std::filesystem::remove_all(backupRoot, ignored);
}

bool DriverHarness::RunUntil(int32_t mode, const std::function<bool()>& pred) {
    const OperationPreset preset = PresetForMode(mode);
    driver->bar_color = preset.bar_color;
    driver->percent = preset.percent;
    percents.clear();
    driver->Start(mode);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!pred() && !driver->Finished()) {
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << "operation did not end";
            driver->Close();
            break;
        }
        queue.RunFor(100);
    }
    return pred();
}

OperationOutcome DriverHarness::Run(int32_t mode) {
    RunUntil(mode, [] { return false; });
    Drain();
    return driver->Outcome();
}

void DriverHarness::Drain() {
    while (queue.RunFor(0) > 0) {
    }
}

std::string PortOpened(int port) {
    return "Порт COM" + std::to_string(port) + " открыт.";
}

std::string PortClosed(int port) {
    return "Порт COM" + std::to_string(port) + " закрыт.";
}
