#include "cli/RadioTarget.h"

#include <filesystem>
#include <mutex>

#include "link/ComPorts.h"
#include "sim/PtyRadio.h"
#include "sim/SimulatedRadio.h"

RadioTarget::RadioTarget() = default;

RadioTarget::~RadioTarget() {
    if (pty_) {
        pty_->Stop();
    }
    if (overrideNumber_ != 0) {
        SetComPortOverride(overrideNumber_, "");
    }
}

bool RadioTarget::Setup(int port, const std::string& device, bool simulate,
                        const std::string& simState, std::string& error) {
    std::string path = device;
    if (simulate) {
        radio_ = std::make_unique<SimulatedRadio>();
        simState_ = simState;
        if (!simState_.empty()) {
            std::error_code ec;
            if (std::filesystem::exists(simState_, ec) && !radio_->LoadState(simState_, &error)) {
                error = "cannot load the simulated radio's state " + simState_ + ": " + error;
                stateFileFailed_ = true;
                return false;
            }
        }
        pty_ = std::make_unique<PtyRadio>(*radio_);
        if (!pty_->Start()) {
            error = "cannot start the simulated radio: " + pty_->Error();
            return false;
        }
        path = pty_->DevicePath();
    }
    if (path.empty()) {
        port_ = port;
        return true;
    }
    // Several radios set up at once (one thread each) must not take the same free number.
    static std::mutex numbers;
    std::lock_guard guard(numbers);
    port_ = ComPortNumberForDevice(path);
    if (port_ == 0) {
        port_ = FreeComPortNumber();
        if (port_ == 0 || !SetComPortOverride(port_, path)) {
            error = "no free COM port number for " + path;
            port_ = 0;
            return false;
        }
        overrideNumber_ = port_;
    }
    return true;
}

bool RadioTarget::Finish(std::string& error) {
    if (radio_ && !simState_.empty() && !radio_->SaveState(simState_, &error)) {
        error = "cannot save the simulated radio's state " + simState_ + ": " + error;
        stateFileFailed_ = true;
        return false;
    }
    return true;
}
