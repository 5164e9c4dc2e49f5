// Why a serial port could not be opened, in a form a program can act on (the log lines of
// the desktop program are built from it, not from the English message text).
#pragma once

#include <string>

enum class PortOpenFailure {
    None,         // the port is open, or nothing was tried yet
    NoDevice,     // no device stands behind the port number
    Absent,       // the device does not exist (adapter unplugged)
    InUse,        // another program holds the port
    NoPermission, // the user may not open the device
    Other,        // any other system error, or a device that cannot be configured
};

struct PortOpenReason {
    PortOpenFailure failure = PortOpenFailure::None;
    // NoPermission: the group that may read and write the device (empty when none but the
    // owner may, or when it could not be told).
    std::string group;
    // NoPermission: only the device's owner (or the superuser's group) may open it; the user
    // needs a udev rule that gives the device to the 'dialout' group.
    bool ownerOnly = false;
};
