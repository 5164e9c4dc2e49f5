#include "cli/LinkTraceText.h"

#include <cstdio>

namespace {

std::string RequestName(const uint8_t* packet, uint32_t length, uint32_t address) {
    char text[64];
    const uint8_t kind = length > 0 ? packet[0] : 0;
    switch (kind) {
    case 0x01:
        std::snprintf(text, sizeof text, "information block %u", address);
        break;
    case 0x02:
        std::snprintf(text, sizeof text, "read piece 0x%04X", address);
        break;
    case 0x03:
        std::snprintf(text, sizeof text, "write piece 0x%04X", address);
        break;
    default:
        std::snprintf(text, sizeof text, "request 0x%02X", kind);
        break;
    }
    return text;
}

} // namespace

std::string ExchangeLine(const LinkTraceEvent& e) {
    std::string line = "exchange: " + RequestName(e.bytes, e.length, e.address) + ", attempt " +
                       std::to_string(e.attempt) + ": request " + std::to_string(e.length) +
                       " bytes (" + std::to_string(e.bytesSent) + " sent), ";
    if (!e.replied) {
        line += "no valid reply";
    } else if (e.replyLength >= 3 && e.reply[0] == 0xFF) {
        line += "error reply, radio code " + std::to_string(e.reply[2]);
    } else {
        line += "reply " + std::to_string(e.replyLength) + " bytes";
    }
    return line + " (" + std::to_string(e.bytesReceived) + " received)";
}

std::string TraceLine(const LinkTraceEvent& e, int64_t microseconds) {
    if (e.kind == LinkTraceEvent::EXCHANGE_DONE) {
        return {};
    }
    char head[64];
    std::snprintf(head, sizeof head,
                  "[%11.3f ms] %s %u:", static_cast<double>(microseconds) / 1000.0,
                  e.kind == LinkTraceEvent::FRAME_SENT ? "tx" : "rx", e.length);
    std::string line = head;
    line.reserve(line.size() + e.length * 3);
    static const char HEX[] = "0123456789ABCDEF";
    for (uint32_t i = 0; i < e.length; ++i) {
        line += ' ';
        line += HEX[e.bytes[i] >> 4];
        line += HEX[e.bytes[i] & 0x0F];
    }
    return line;
}
