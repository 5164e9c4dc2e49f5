#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CliMain.h"

// A scratch directory for runs of the command-line tool in this process: the executable's
// directory (range-list file) and a per-user configuration directory live in it.
class CliRunTest : public ::testing::Test {
protected:
    struct Result {
        int status = -1;
        std::string out;
        std::string err;
    };

    void SetUp() override {
        char pattern[] = "/tmp/zorvex-cli-run-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        std::filesystem::create_directories(dir / "exe");
        std::filesystem::create_directories(dir / "user");
        setenv("XDG_CONFIG_HOME", (dir / "user").c_str(), 1);
        setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1); // backups of the writes
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    Result Run(const std::vector<std::string>& args, const std::atomic<bool>* cancel = nullptr) {
        std::ostringstream out, err;
        CliContext context{out, err, dir / "exe", terminal, cancel};
        context.cursorMoves = terminal;
        context.columns = 80;
        Result r;
        r.status = RunCli(args, context);
        r.out = out.str();
        r.err = err.str();
        return r;
    }

    std::string P(const std::string& name) const { return (dir / name).string(); }

    std::filesystem::path dir;
    // Runs as if the error stream were a terminal taking cursor moves, 80 columns wide.
    bool terminal = false;
};
