#include "cli/TerminalOutput.h"

#include "cli/TerminalText.h"
#include "model/Cp1251.h"

namespace {
constexpr int BAR_WIDTH = 40;
}

TerminalOutput::TerminalOutput(std::ostream* log, std::ostream& err, bool progressBar,
                               ProgressDisplay* display)
    : log_(log), err_(err), progressBar_(progressBar && display == nullptr), display_(display) {}

void TerminalOutput::AppendLine(const std::string& cp1251Line) {
    lines_.push_back(Cp1251ToUtf8(cp1251Line));
    if (log_ == nullptr) {
        return;
    }
    HideProgress();
    // A log stream that has gone away (a closed pipe) stays failed: nothing more is
    // written there and the operation goes on.
    *log_ << EscapeControls(lines_.back()) << '\n';
    log_->flush();
}

void TerminalOutput::Diagnostic(const std::string& utf8Line) {
    HideProgress();
    err_ << utf8Line << '\n';
    err_.flush();
}

void TerminalOutput::ShowProgress(int percent) {
    if (display_ != nullptr) {
        display_->Show(percent);
        return;
    }
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
