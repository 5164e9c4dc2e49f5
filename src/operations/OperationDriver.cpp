#include "operations/OperationDriver.h"

// First cut: the interface compiles; the machine follows.

void OperationDriver::WorkerDeleter::operator()(ComThread*) const {}

OperationDriver::OperationDriver(ChannelsContext& channels_, SettingsContext& settings_,
                                 TInfoContext& info_, Poster poster)
    : channels(&channels_), settings(&settings_), info(&info_), poster_(std::move(poster)),
      alive_(std::make_shared<bool>(true)) {}

OperationDriver::~OperationDriver() = default;

void OperationDriver::Start(int32_t mode_) {
    mode = mode_;
    log.enabled = true;
    log.ClearLog();
    state = STATE_DONE;
    outcome_ = OperationOutcome::PortNotOpened;
    if (onFinished) {
        onFinished();
    }
}

void OperationDriver::RunStateMachine() {}

void OperationDriver::Close() {
    state = STATE_DONE;
}
