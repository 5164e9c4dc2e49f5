#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "cli/CliRun.h"
#include "files/ConfigFile.h"
#include "model/ChannelsContext.h"
#include "model/FlagCaptions.h"
#include "model/SettingsContext.h"
#include "sim/PtyRadio.h"
#include "sim/SimulatedRadio.h"

namespace fs = std::filesystem;

namespace {

// Runs the built zorvex-cli through a shell, so that pipes, limits and signals are real.
class CliProcessTest : public CliRunTest {
protected:
    // Runs the shell script in the scratch directory with $CLI naming the tool; returns what
    // it prints on stdout.
    std::string Shell(const std::string& script) {
        const std::string command = "cd '" + dir.string() +
                                    "' && CLI='" ZORVEX_BINARY_DIR
                                    "/src/cli/zorvex-cli' /bin/bash -c '" +
                                    script + "' 2>&1";
        std::string output;
        if (FILE* p = popen(command.c_str(), "r")) {
            char buffer[4096];
            size_t n;
            while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) {
                output.append(buffer, n);
            }
            pclose(p);
        }
        return output;
    }

    std::vector<std::string> Temporaries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (entry.path().filename().string().find(".tmp") != std::string::npos) {
                names.push_back(entry.path().filename().string());
            }
        }
        return names;
    }
};

TEST_F(CliProcessTest, AClosedPipeDoesNotStopTheRead) {
    // head leaves after the first log line; the read still saves and reports success.
    const std::string out = Shell("$CLI read --simulate -o x.xml | head -n1 >/dev/null; "
                                  "echo \"status ${PIPESTATUS[0]}\"");
    EXPECT_NE(out.find("status 0"), std::string::npos) << out;
    ASSERT_TRUE(fs::exists(dir / "x.xml")) << out;
    ChannelsContext channels;
    SettingsContext settings;
    FlagCaptions captions;
    EXPECT_NO_THROW(OpenConfigFile(dir / "x.xml", channels, settings, captions));
}

TEST_F(CliProcessTest, AFileSizeLimitIsAFileErrorWithoutTemporaries) {
    const std::string out =
        Shell("ulimit -f 1; $CLI read --simulate -o y.xml >/dev/null; echo \"status $?\"");
    EXPECT_NE(out.find("status 3"), std::string::npos) << out;
    EXPECT_NE(out.find("y.xml"), std::string::npos) << out;
    EXPECT_FALSE(fs::exists(dir / "y.xml"));
    EXPECT_TRUE(Temporaries().empty()) << Temporaries()[0];
}

TEST_F(CliProcessTest, HangUpClosesTheOperationLikeAnInterrupt) {
    SimulatedRadio radio;
    RadioFaults faults;
    faults.dead = true; // the identification would wait for its time-outs
    radio.SetFaults(faults);
    PtyRadio pty(radio);
    ASSERT_TRUE(pty.Start()) << pty.Error();
    // Hang up once the port is open (its log line is out), long before the time-outs end.
    const std::string out =
        Shell("$CLI info --device " + pty.DevicePath() +
              " >log 2>err & pid=$!; "
              "for i in $(seq 200); do grep -q COM log && break; sleep 0.05; done; "
              "kill -HUP $pid; wait $pid; echo \"status $?\"; cat err");
    EXPECT_NE(out.find("status 1"), std::string::npos) << out;
    EXPECT_NE(out.find("zorvex-cli: interrupted"), std::string::npos) << out;
}

} // namespace
