// Wall time of reading N simulated radios at once, each on its own pseudo-terminal paced as a
// 9600 Bd line, against reading one: several radios in one command should cost about the
// time of one. Prints the times and their ratio for N = 1, 2 and 4.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "cli/CliMain.h"
#include "sim/PtyRadio.h"
#include "sim/SimulatedRadio.h"

namespace fs = std::filesystem;

namespace {

struct Station {
    SimulatedRadio radio;
    PtyRadio pty{radio, Pacing::Line9600};
};

double ReadAll(int n, const fs::path& dir) {
    std::vector<std::unique_ptr<Station>> stations;
    std::vector<std::string> args = {"read", "--quiet", "-o", (dir / "radio-{port}.xml").string()};
    for (int i = 0; i < n; ++i) {
        stations.push_back(std::make_unique<Station>());
        if (!stations.back()->pty.Start()) {
            std::fprintf(stderr, "no pseudo-terminal: %s\n", stations.back()->pty.Error().c_str());
            std::exit(1);
        }
        args.push_back("--device");
        args.push_back(stations.back()->pty.DevicePath());
    }
    std::ostringstream out, err;
    CliContext context{out, err, dir, false, nullptr};
    const auto start = std::chrono::steady_clock::now();
    const int status = RunCli(args, context);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (status != 0) {
        std::fprintf(stderr, "read of %d radios failed (%d): %s\n", n, status, err.str().c_str());
        std::exit(1);
    }
    return seconds;
}

} // namespace

int main() {
    const fs::path dir =
        fs::temp_directory_path() / ("zorvex-bench-fleet-" + std::to_string(getpid()));
    fs::create_directories(dir);
    setenv("ZORVEX_RANGE_LIST", (dir / "ranges.xml").c_str(), 1);
    const double one = ReadAll(1, dir);
    std::printf("read, 9600 Bd, 1 radio   %7.3f s\n", one);
    for (int n : {2, 4}) {
        const double many = ReadAll(n, dir);
        std::printf("read, 9600 Bd, %d radios  %7.3f s  ratio to one radio %.4f\n", n, many,
                    many / one);
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
