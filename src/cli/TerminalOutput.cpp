#include "cli/TerminalOutput.h"

#include "model/Cp1251.h"

namespace {
constexpr int BAR_WIDTH = 40;
}

TerminalOutput::TerminalOutput(std::ostream& out, std::ostream& err, bool progressBar)
    : out_(out), err_(err), progressBar_(progressBar) {}

void TerminalOutput::AppendLine(const std::string& cp1251Line) {
    HideProgress();
    out_ << Cp1251ToUtf8(cp1251Line) << '\n';
    out_.flush();
}

void TerminalOutput::ShowProgress(int percent) {
    if (!progressBar_) {
        return;
    }
    if (percent < 0) {
        percent = 0;
    } else if (percent > 100) {
        percent = 100;
    }
    const int filled = BAR_WIDTH * percent / 100;
    std::string bar = "\r[";
    bar.append(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(BAR_WIDTH - filled), '.');
    bar += "] " + std::to_string(percent) + " %  ";
    err_ << bar;
    err_.flush();
    barShown_ = true;
}

void TerminalOutput::HideProgress() {
    if (!barShown_) {
        return;
    }
    err_ << '\r' << std::string(BAR_WIDTH + 12, ' ') << '\r';
    err_.flush();
    barShown_ = false;
}
