#include "SimulatedRadioPort.h"

#include "link/ComPorts.h"
#include "sim/PtyRadio.h"
#include "sim/SimulatedRadio.h"

namespace {
RadioIdentity IdentityOf(const SimulatedRadioPort::Options& options) {
    RadioIdentity identity;
    identity.programmerId = options.programmerId;
    identity.channels2Version = options.channels2Version;
    identity.settingsVersion = options.settingsVersion;
    if (options.rangeBegin != 0)
        identity.SetRange(1, options.rangeBegin, options.rangeEnd);
    return identity;
}
} // namespace

struct SimulatedRadioPort::Impl {
    explicit Impl(const Options& options)
        : radio(IdentityOf(options)),
          pty(radio, options.lineSpeed ? Pacing::Line9600 : Pacing::Instant) {
        if (options.errorReplies > 0) {
            RadioFaults faults;
            faults.only = RadioFaults::Only::Info;
            faults.errorReplies = options.errorReplies;
            faults.errorCode = options.errorCode;
            radio.SetFaults(faults);
        }
    }
    SimulatedRadio radio;
    PtyRadio pty;
};

SimulatedRadioPort::SimulatedRadioPort() : SimulatedRadioPort(Options()) {}

SimulatedRadioPort::SimulatedRadioPort(const Options& options)
    : impl_(std::make_unique<Impl>(options)) {}

SimulatedRadioPort::~SimulatedRadioPort() {
    if (com_ != 0)
        SetComPortOverride(com_, "");
    impl_->pty.Stop();
}

bool SimulatedRadioPort::Start() {
    if (!impl_->pty.Start()) {
        error_ = impl_->pty.Error();
        return false;
    }
    com_ = FreeComPortNumber();
    if (com_ == 0 || !SetComPortOverride(com_, impl_->pty.DevicePath())) {
        error_ = "no free COM number for the simulated radio";
        com_ = 0;
        return false;
    }
    return true;
}

unsigned SimulatedRadioPort::TablesWritten() const {
    return impl_->radio.Stats().tablesWritten;
}

unsigned SimulatedRadioPort::ReadRequests() const {
    return impl_->radio.Stats().readRequests;
}
