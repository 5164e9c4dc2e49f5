#include "cli/Fleet.h"

#include <chrono>
#include <filesystem>
#include <iomanip>
#include <sstream>
#include <streambuf>
#include <thread>
#include <vector>

#include "cli/ExitStatus.h"
#include "cli/JsonWriter.h"
#include "cli/ProgressBoard.h"
#include "model/InfoContext.h"

namespace {

// Whole lines into a shared stream through the board, each behind the radio's prefix, so the
// lines of radios running at once never mix inside a line and stay above the progress rows.
class PrefixedLines : public std::streambuf {
public:
    PrefixedLines(std::ostream& to, ProgressBoard& board, std::string prefix)
        : to_(to), board_(board), prefix_(std::move(prefix)) {}
    ~PrefixedLines() override {
        if (!line_.empty()) {
            Emit(); // a last line without its newline
        }
    }
    PrefixedLines(const PrefixedLines&) = delete;
    PrefixedLines& operator=(const PrefixedLines&) = delete;

protected:
    int overflow(int ch) override {
        if (ch == traits_type::eof()) {
            return 0;
        }
        if (ch == '\n') {
            Emit();
        } else {
            line_ += static_cast<char>(ch);
        }
        return ch;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        for (std::streamsize i = 0; i < n; ++i) {
            overflow(static_cast<unsigned char>(s[i]));
        }
        return n;
    }

private:
    void Emit() {
        board_.WriteLine(to_, prefix_ + line_);
        line_.clear();
    }

    std::ostream& to_;
    ProgressBoard& board_;
    std::string prefix_;
    std::string line_;
};

struct Radio {
    CliOptions options;
    RadioRunReport report;
};

// The summary's word for how one radio's run ended.
std::string ResultText(const CliOptions& o, const RadioRunReport& r) {
    if (r.status == EXIT_STATUS_OK) {
        if (o.command == "write") {
            return o.dryRun ? "dry run: nothing written" : "written";
        }
        return o.command == "read" ? "read" : "identified";
    }
    std::string reason = r.reason.empty() ? "exit status " + std::to_string(r.status) : r.reason;
    return (r.result == "refused" ? "refused: " : "failed: ") + reason;
}

void WriteSummary(std::ostream& out, const CliOptions& o, const std::vector<Radio>& radios) {
    size_t width = 4;
    for (const Radio& r : radios) {
        width = std::max(width, r.report.label.size());
    }
    std::ostringstream table;
    table << std::left << std::setw(static_cast<int>(width) + 2) << "port" << std::setw(12)
          << "serial" << std::setw(9) << "seconds"
          << "result\n";
    for (const Radio& r : radios) {
        std::ostringstream seconds;
        seconds << std::fixed << std::setprecision(1) << r.report.seconds;
        table << std::left << std::setw(static_cast<int>(width) + 2) << r.report.label
              << std::setw(12) << (r.report.serial.empty() ? "-" : r.report.serial) << std::setw(9)
              << seconds.str() << ResultText(o, r.report) << '\n';
    }
    out << table.str();
}

void WriteSummaryJson(std::ostream& out, const CliOptions& o, const std::vector<Radio>& radios,
                      int status) {
    JsonWriter json;
    json.BeginObject().Key("command").String(o.command).Key("exit_status").Number(status);
    json.Key("radios").BeginArray();
    for (const Radio& r : radios) {
        json.BeginObject().Key("port").String(r.report.label).Key("serial");
        r.report.serial.empty() ? json.Null() : json.String(r.report.serial);
        json.Key("result").String(r.report.result).Key("exit_status").Number(r.report.status);
        json.Key("error");
        r.report.reason.empty() ? json.Null() : json.String(r.report.reason);
        json.Key("milliseconds").Number(static_cast<int64_t>(r.report.seconds * 1000.0 + 0.5));
        json.EndObject();
    }
    json.EndArray().EndObject();
    out << json.Text();
}

} // namespace

std::string RadioLabel(const CliOptions& o) {
    if (!o.device.empty()) {
        // /dev/ttyUSB0 -> ttyUSB0, /dev/pts/3 -> pts-3: readable, and fit for a file name.
        std::string name = o.device.rfind("/dev/", 0) == 0 ? o.device.substr(5) : o.device;
        for (char& ch : name) {
            ch = ch == '/' || ch == '\\' ? '-' : ch;
        }
        return name;
    }
    if (o.simulate) {
        return "simulated";
    }
    return "COM" + std::to_string(o.port);
}

std::string ExpandRadioName(const std::string& pattern, const std::string& label,
                            const std::string& serial) {
    std::string name;
    for (size_t i = 0; i < pattern.size();) {
        if (pattern.compare(i, 8, "{serial}") == 0) {
            name += serial;
            i += 8;
        } else if (pattern.compare(i, 6, "{port}") == 0) {
            name += label;
            i += 6;
        } else {
            name += pattern[i++];
        }
    }
    return name;
}

int RunFleet(const CliOptions& o, CliContext& c) {
    std::vector<Radio> radios;
    const auto add = [&](int port, const std::string& device) {
        CliOptions one = o;
        one.ports.clear();
        one.devices.clear();
        one.port = port;
        one.device = device;
        if (port != 0) {
            one.ports.push_back(port);
        } else {
            one.devices.push_back(device);
        }
        one.json = false; // the summary is the document
        radios.push_back({one, {}});
        radios.back().report.label = RadioLabel(one);
    };
    for (int port : o.ports) {
        add(port, std::string());
    }
    for (const std::string& device : o.devices) {
        add(0, device);
    }
    // One thread, one worker and one port per radio; a radio that fails, hangs or is unplugged
    // holds up no other. Their lines carry their labels; on a terminal each radio has a
    // progress row below the lines.
    ProgressBoard board(c.err, c.progressBar && c.cursorMoves && !o.quiet, c.columns);
    for (const Radio& radio : radios) {
        board.AddRow(radio.report.label);
    }
    std::ostream& logTo = o.json ? c.err : c.out;
    std::vector<std::thread> threads;
    threads.reserve(radios.size());
    for (size_t i = 0; i < radios.size(); ++i) {
        threads.emplace_back([&radio = radios[i], i, &o, &logTo, &board, &c] {
            const auto start = std::chrono::steady_clock::now();
            {
                PrefixedLines outLines(logTo, board, radio.report.label + ": ");
                PrefixedLines errLines(c.err, board, radio.report.label + ": ");
                std::ostream out(&outLines);
                std::ostream err(&errLines);
                CliContext one{out, err, c.exeDir, false, c.cancel};
                one.progress = &board.Display(i);
                RunOneRadio(radio.options, one, &radio.report);
            }
            radio.report.seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            board.Finish(i, ResultText(o, radio.report));
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    board.Remove(); // the summary says how each radio ended

    int status = EXIT_STATUS_OK;
    for (const Radio& radio : radios) {
        if (radio.report.status != EXIT_STATUS_OK) {
            status = EXIT_STATUS_FAILED;
        }
    }
    if (o.json) {
        WriteSummaryJson(c.out, o, radios, status);
    } else {
        WriteSummary(c.out, o, radios);
    }
    return status;
}
