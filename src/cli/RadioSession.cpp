#include "cli/RadioSession.h"

#include <chrono>

#include "cli/LinkTraceText.h"
#include "operations/OperationPreset.h"

RadioSession::RadioSession(ChannelsContext& channels, SettingsContext& settings, TInfoContext& info,
                           TerminalOutput& output, bool exchanges, bool traffic)
    : output_(output), driver_(channels, settings, info, [this](std::function<void()> call) {
          queue_.Post(std::move(call));
      }) {
    driver_.log.Attach(&output_);
    if (exchanges || traffic) {
        // The lines are made on the worker's thread and written on this one, in order with
        // the log lines: the worker only queues them.
        const auto start = std::chrono::steady_clock::now();
        driver_.linkObserver = [this, start, exchanges, traffic](const LinkTraceEvent& event) {
            std::string line;
            if (event.kind == LinkTraceEvent::EXCHANGE_DONE) {
                if (exchanges) {
                    line = ExchangeLine(event);
                }
            } else if (traffic) {
                const auto elapsed = std::chrono::steady_clock::now() - start;
                line = TraceLine(
                    event, std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count());
            }
            if (!line.empty()) {
                queue_.Post([this, line = std::move(line)] { output_.Diagnostic(line); });
            }
        };
    }
    driver_.onProgress = [this] {
        if (driver_.state == STATE_IDENTIFYING || driver_.state == STATE_READING ||
            driver_.state == STATE_WRITING) {
            output_.ShowProgress(driver_.percent);
        }
    };
}

OperationOutcome RadioSession::Run(int32_t mode, int port, const std::atomic<bool>* cancel) {
    const OperationPreset preset = PresetForMode(mode);
    driver_.bar_color = preset.bar_color;
    driver_.percent = preset.percent;
    driver_.port_number = port;
    driver_.Start(mode);
    while (!driver_.Finished()) {
        queue_.RunFor(100);
        if (cancel != nullptr && cancel->load() && !driver_.Finished()) {
            driver_.Close();
        }
    }
    output_.HideProgress();
    // Notifications the worker queued before it stopped find the driver done.
    queue_.RunFor(0);
    return driver_.Outcome();
}
