// The zorvex-radio-sim program: options, and a radio that keeps its memory between runs.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "link/ComPorts.h"
#include "link/ComThread.h"
#include "sim/SimulatedRadio.h"

namespace {

const std::string PROGRAM = std::string(ZORVEX_BINARY_DIR) + "/src/sim/zorvex-radio-sim";

// A running simulator; its first output line is the device path.
struct Simulator {
    explicit Simulator(const std::vector<std::string>& args) {
        int out[2];
        if (::pipe(out) != 0)
            return;
        pid = ::fork();
        if (pid == 0) {
            ::dup2(out[1], 1);
            ::close(out[0]);
            std::vector<char*> argv = {const_cast<char*>(PROGRAM.c_str())};
            for (const auto& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(PROGRAM.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        output = ::fdopen(out[0], "r");
    }
    std::string Line() {
        char line[512] = {};
        if (!output || !std::fgets(line, sizeof line, output))
            return {};
        std::string s = line;
        if (!s.empty() && s.back() == '\n')
            s.pop_back();
        return s;
    }
    int Stop(int signal = SIGTERM) {
        int status = -1;
        if (pid > 0) {
            ::kill(pid, signal);
            ::waitpid(pid, &status, 0);
            pid = -1;
        }
        if (output)
            std::fclose(output);
        output = nullptr;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    int Wait() {
        int status = -1;
        ::waitpid(pid, &status, 0);
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    ~Simulator() { Stop(SIGKILL); }
    pid_t pid = -1;
    FILE* output = nullptr;
};

// Runs one job on the radio at the device path; returns the error code.
int RunJob(const std::string& device, TransferJob job) {
    const int port = FreeComPortNumber();
    SetComPortOverride(port, device);
    ComThread worker;
    std::mutex mutex;
    std::condition_variable posted;
    worker.SetNotifyWindow([&](uint32_t) {
        std::lock_guard lock(mutex);
        posted.notify_all();
    });
    int code = -1;
    if (worker.OpenPort(port) && worker.AddJob(&job) && worker.StartJobs()) {
        std::unique_lock lock(mutex);
        if (posted.wait_for(lock, std::chrono::seconds(20),
                            [&] { return worker.GetProgress() == 100; }))
            code = worker.GetError();
    }
    worker.ClosePort();
    SetComPortOverride(port, "");
    return code;
}

} // namespace

class SimulatorProgram : public ::testing::Test {
protected:
    void SetUp() override {
        if (::access(PROGRAM.c_str(), X_OK) != 0)
            GTEST_SKIP() << PROGRAM << " is not built";
    }
};

TEST_F(SimulatorProgram, HelpAndBadOptions) {
    Simulator help({"--help"});
    EXPECT_EQ(help.Line().rfind("Usage: zorvex-radio-sim", 0), 0u);
    EXPECT_EQ(help.Wait(), 0);
    for (const auto& args : std::vector<std::vector<std::string>>{{"--bogus"},
                                                                  {"--settings", "banana"},
                                                                  {"--range", "48-33"},
                                                                  {"--programmer"},
                                                                  {"--reply-delay", "soon"}}) {
        Simulator bad(args);
        EXPECT_EQ(bad.Wait(), 2) << args[0];
    }
}

TEST_F(SimulatorProgram, KeepsWrittenTablesInItsStateFile) {
    const std::string state = std::string(ZORVEX_BINARY_DIR) + "/sim-program-state.txt";
    std::remove(state.c_str());
    SimulatedRadio::Image settings = DefaultSettingsImage(0x0102);
    settings[24] = 4;
    SealTableImage(settings);
    {
        Simulator sim({"--pace", "instant", "--settings", "1.2", "--state", state});
        const std::string device = sim.Line();
        ASSERT_EQ(device.rfind("/dev/", 0), 0u) << device;
        EXPECT_EQ(RunJob(device, {OP_WRITE_TABLE, 4, 46, settings.data()}), 0);
        EXPECT_EQ(sim.Stop(), 0);
    }
    {
        Simulator sim({"--pace", "instant", "--settings", "1.2", "--state", state});
        const std::string device = sim.Line();
        std::array<uint8_t, 2048> back;
        back.fill(0xFF);
        EXPECT_EQ(RunJob(device, {OP_READ_TABLE, 4, 46, back.data()}), 0);
        EXPECT_EQ(back, settings);
        EXPECT_EQ(sim.Stop(), 0);
    }
    std::remove(state.c_str());
}
