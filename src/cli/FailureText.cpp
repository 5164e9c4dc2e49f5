#include "cli/FailureText.h"

#include <cstdio>

#include "link/TransferErrors.h"
#include "model/FreqRange.h"

namespace {

struct LinkFailure {
    int code;
    const char* what;
    const char* check;
};

const LinkFailure LINK_FAILURES[] = {
    {TRANSFER_CHECKSUM, "the radio received a damaged request (checksum error)",
     "check the cable and its plugs, and keep it away from the transmitter's antenna"},
    {TRANSFER_WRONG_REPLY, "the radio's reply did not fit the request",
     "check that the port leads to this radio and that no other program uses the port"},
    {TRANSFER_LENGTH, "a reply of the wrong length arrived",
     "check the cable; the radio's firmware may not suit this program"},
    {TRANSFER_SIGNATURE, "the signature did not match", "try again; check the cable"},
    {TRANSFER_SPEED, "the link speed could not be set", "check the serial adapter and its driver"},
    {TRANSFER_BUFFER, "an operation ran without its buffer",
     "this is a fault of the program: please report it"},
    {TRANSFER_MISMATCH, "the data did not match on comparison", "try again; check the cable"},
    {TRANSFER_NO_REPLY, "the radio did not answer",
     "check the cable, that the radio is switched on, and the port"},
    {TRANSFER_UNKNOWN_COMMAND, "the radio does not know the command",
     "the radio's firmware may not suit this program"},
    {TRANSFER_NOT_AVAILABLE, "the radio says the function is not available",
     "the radio's firmware or options may not allow it"},
    {TRANSFER_DATA, "the radio refused the data (data error)",
     "try again; check that the configuration suits this radio"},
    {TRANSFER_SEQUENCE, "the radio reported a command sequence error",
     "try again; switch the radio off and on if it persists"},
    {TRANSFER_COMPATIBILITY, "the radio reported a compatibility error",
     "the radio's firmware does not suit this program or this configuration"},
    {TRANSFER_OTHER, "the radio reported an error this program does not know",
     "try again; switch the radio off and on if it persists"},
};

// 33000000 -> "33", 48500000 -> "48.5", 41912500 -> "41.9125"
std::string Mhz(uint32_t hz) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%06u", hz / 1000000, hz % 1000000);
    std::string s = text;
    while (s.back() == '0') {
        s.pop_back();
    }
    if (s.back() == '.') {
        s.pop_back();
    }
    return s;
}

std::string Ranges(const uint32_t* begin, const uint32_t* end) {
    std::string text;
    for (int i = 0; i < FREQ_RANGE_SLOTS && (begin[i] != 0 || end[i] != 0); ++i) {
        if (!text.empty()) {
            text += ", ";
        }
        text += Mhz(begin[i]) + "-" + Mhz(end[i]);
    }
    return text.empty() ? "none" : text + " MHz";
}

} // namespace

std::string LinkFailureText(int code) {
    const std::string number = "(link error " + std::to_string(code) + ")";
    for (const LinkFailure& f : LINK_FAILURES) {
        if (f.code == code) {
            return std::string(f.what) + " " + number + ": " + f.check;
        }
    }
    return "the link failed " + number + ": check the cable, that the radio is switched on, " +
           "and the port";
}

std::string RangeSetMhzText(const FreqRange& set) {
    const std::string rx = Ranges(set.rx_begin, set.rx_end);
    const std::string tx = Ranges(set.tx_begin, set.tx_end);
    if (rx == tx) {
        return rx;
    }
    return "receive " + rx + ", transmit " + tx;
}
