#include "sim/SimulatedRadio.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include <sys/stat.h>

#include "model/TableImage.h"

namespace {

// Radio error codes sent in byte 2 of an error reply.
enum RadioCode : uint8_t {
    RADIO_UNKNOWN_COMMAND = 0,
    RADIO_CHECKSUM = 1,
    RADIO_NOT_AVAILABLE = 2,
    RADIO_DATA = 3,
    RADIO_SEQUENCE = 4,
    RADIO_COMPATIBILITY = 5,
};

constexpr uint32_t PIECE = 512;
constexpr uint32_t CHANNEL_IMAGE_LENGTH = 2012;

uint16_t SettingsLength(uint16_t version) {
    switch (version) {
    case 0x0100:
        return 34;
    case 0x0101:
        return 38;
    case 0x0102:
        return 46;
    case 0x0103:
        return 48;
    default:
        return 0;
    }
}

} // namespace

void SealTableImage(SimulatedRadio::Image& image) {
    PutU32(&image[4], 0);
    PutU32(&image[8], TableImageCrc(image.data(), 4, 4));
    PutU32(&image[4], TableImageCrc(image.data(), 0, SimulatedRadio::IMAGE_SIZE));
    PutU32(&image[8], TableImageCrc(image.data(), 4, 4));
}

namespace {

// Builds the frame of a packet with the given FCS (which need not be the right one).
std::vector<uint8_t> FrameWithFcs(const std::vector<uint8_t>& packet, uint16_t fcs) {
    std::vector<uint8_t> frame;
    frame.reserve(packet.size() * 2 + 6);
    auto put = [&](uint8_t b) {
        if (NeedsEscape(b)) {
            frame.push_back(FRAME_ESCAPE);
            frame.push_back(static_cast<uint8_t>(b ^ ESCAPE_XOR));
        } else {
            frame.push_back(b);
        }
    };
    frame.push_back(FRAME_START);
    for (uint8_t b : packet)
        put(b);
    put(static_cast<uint8_t>(fcs & 0xFF));
    put(static_cast<uint8_t>(fcs >> 8));
    frame.push_back(FRAME_END);
    return frame;
}

std::vector<uint8_t> Frame(const std::vector<uint8_t>& packet) {
    return FrameWithFcs(packet, Fcs16(packet.data(), packet.size()));
}

} // namespace

uint32_t TableImageCrc(const uint8_t* image, size_t position, size_t count) {
    if (position > SimulatedRadio::IMAGE_SIZE || count > SimulatedRadio::IMAGE_SIZE - position)
        return 0;
    uint32_t reg = 0xFFFFFFFF;
    for (size_t p = position; p < position + count; ++p) {
        const uint8_t b = image[p ^ 3];
        for (int bit = 7; bit >= 0; --bit) {
            const bool top = (reg >> 31) != 0;
            const bool data = ((b >> bit) & 1) != 0;
            reg <<= 1;
            if (top != data)
                reg ^= 0x04C11DB7;
        }
    }
    return reg;
}

SimulatedRadio::Image EmptyChannelImage(uint16_t version) {
    SimulatedRadio::Image image;
    image.fill(0xFF);
    PutU16(&image[0], version);
    PutU16(&image[2], CHANNEL_IMAGE_LENGTH);
    SealTableImage(image);
    return image;
}

SimulatedRadio::Image DefaultSettingsImage(uint16_t version) {
    // Factory settings in the version 1.3 layout; older versions are its first bytes.
    static const uint8_t factory[48] = {0x03, 0x01, 0x30, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x03, 0x09,
                                        0x00, 0x00, 0x0a, 0x01, 0x09, 0x08, 0x00, 0x00, 0x00, 0x00,
                                        0x09, 0x05, 0x00, 0x01, 0x00, 0x00, 0x02, 0x01, 0x01, 0x00,
                                        0x4e, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x00};
    uint16_t length = SettingsLength(version);
    if (length == 0) {
        version = 0x0100;
        length = 34;
    }
    SimulatedRadio::Image image;
    image.fill(0xFF);
    std::memcpy(image.data(), factory, length);
    PutU16(&image[0], version);
    PutU16(&image[2], length);
    SealTableImage(image);
    return image;
}

SimulatedRadio::SimulatedRadio(RadioIdentity identity) : identity_(std::move(identity)) {
    table0_ = EmptyChannelImage(identity_.channelsVersion);
    table3_ = EmptyChannelImage(identity_.channels2Version ? identity_.channels2Version : 0x0200);
    settings_ = DefaultSettingsImage(identity_.settingsVersion);
}

RadioIdentity SimulatedRadio::Identity() const {
    std::lock_guard lock(mutex_);
    return identity_;
}

void SimulatedRadio::SetIdentity(const RadioIdentity& identity) {
    std::lock_guard lock(mutex_);
    identity_ = identity;
}

RadioFaults SimulatedRadio::Faults() const {
    std::lock_guard lock(mutex_);
    return faults_;
}

void SimulatedRadio::SetFaults(const RadioFaults& faults) {
    std::lock_guard lock(mutex_);
    faults_ = faults;
}

RadioStats SimulatedRadio::Stats() const {
    std::lock_guard lock(mutex_);
    return stats_;
}

void SimulatedRadio::ResetStats() {
    std::lock_guard lock(mutex_);
    stats_ = RadioStats();
}

SimulatedRadio::Image* SimulatedRadio::TableLocked(int number) {
    switch (number) {
    case 0:
        return &table0_;
    case 1:
        return &settings_;
    case 3:
        return identity_.channels2Version ? &table3_ : nullptr;
    default:
        return nullptr;
    }
}

SimulatedRadio::Image SimulatedRadio::Table(int number) const {
    std::lock_guard lock(mutex_);
    Image* t = const_cast<SimulatedRadio*>(this)->TableLocked(number);
    if (t)
        return *t;
    Image none;
    none.fill(0xFF);
    return none;
}

void SimulatedRadio::SetTable(int number, const Image& image) {
    std::lock_guard lock(mutex_);
    switch (number) {
    case 0:
        table0_ = image;
        break;
    case 1:
        settings_ = image;
        break;
    case 3:
        table3_ = image;
        break;
    default:
        break;
    }
}

bool SimulatedRadio::HasTable(int number) const {
    std::lock_guard lock(mutex_);
    return const_cast<SimulatedRadio*>(this)->TableLocked(number) != nullptr;
}

bool SimulatedRadio::Answer(const uint8_t* request, size_t length, std::vector<uint8_t>& reply) {
    std::lock_guard lock(mutex_);
    return AnswerLocked(request, length, reply);
}

static void ErrorPacket(uint8_t command, uint8_t radioCode, std::vector<uint8_t>& reply) {
    reply = {0xFF, command, radioCode};
}

bool SimulatedRadio::AnswerLocked(const uint8_t* request, size_t length,
                                  std::vector<uint8_t>& reply) {
    reply.clear();
    if (length < 2) {
        ErrorPacket(length ? request[0] : 0, RADIO_UNKNOWN_COMMAND, reply);
        return true;
    }
    ++stats_.requests;
    const uint8_t command = request[0];
    switch (command) {
    case 0x01: {
        ++stats_.infoRequests;
        if (length != 2) {
            ErrorPacket(command, RADIO_DATA, reply);
            return true;
        }
        const uint8_t block = request[1];
        reply = {0x01, block};
        if (block == 0) {
            const auto b = BuildInfoBlock0(identity_);
            reply.insert(reply.end(), b.begin(), b.end());
        } else if (block == 1) {
            const auto b = BuildInfoBlock1(identity_);
            reply.insert(reply.end(), b.begin(), b.end());
        } else if (block == 2 && identity_.hasBlock2) {
            const auto b = BuildInfoBlock2(identity_);
            reply.insert(reply.end(), b.begin(), b.end());
        } else {
            ErrorPacket(command, block == 2 ? RADIO_DATA : RADIO_NOT_AVAILABLE, reply);
        }
        return true;
    }
    case 0x02: {
        ++stats_.readRequests;
        if (length != 4) {
            ErrorPacket(command, RADIO_DATA, reply);
            return true;
        }
        const uint16_t address = GetU16(request + 2);
        const Image* table = TableLocked(address >> 2);
        if (!table) {
            ErrorPacket(command, RADIO_NOT_AVAILABLE, reply);
            return true;
        }
        const uint32_t total = std::min<uint32_t>(GetU16(table->data() + 2), IMAGE_SIZE);
        const uint32_t position = PIECE * (address & 3);
        if (position >= total) {
            ErrorPacket(command, RADIO_DATA, reply);
            return true;
        }
        const uint32_t n = std::min(PIECE, total - position);
        reply = {0x02, 0x00, request[2], request[3]};
        reply.insert(reply.end(), table->begin() + position, table->begin() + position + n);
        return true;
    }
    case 0x03:
        ++stats_.writeRequests;
        if (length < 4) {
            ErrorPacket(command, RADIO_DATA, reply);
            return true;
        }
        stats_.writeLengths.push_back(static_cast<uint32_t>(length - 4));
        return AnswerWrite(request, length, reply);
    case 0xD0:
        // Link speed: the radio switches its port and sends nothing back.
        return false;
    default:
        ErrorPacket(command, RADIO_UNKNOWN_COMMAND, reply);
        return true;
    }
}

bool SimulatedRadio::AnswerWrite(const uint8_t* request, size_t length,
                                 std::vector<uint8_t>& reply) {
    const uint16_t address = GetU16(request + 2);
    const int number = address >> 2;
    const uint32_t piece = address & 3;
    const uint8_t* data = request + 4;
    const uint32_t n = static_cast<uint32_t>(length - 4);
    Image* table = TableLocked(number);
    if (!table) {
        ErrorPacket(0x03, RADIO_NOT_AVAILABLE, reply);
        return true;
    }
    if (piece == 0) {
        pendingTable_ = -1;
        if (n < 12) {
            ErrorPacket(0x03, RADIO_DATA, reply);
            return true;
        }
        const uint16_t version = GetU16(data);
        const uint32_t total = GetU16(data + 2);
        const uint16_t expected = number == 0   ? identity_.channelsVersion
                                  : number == 1 ? identity_.settingsVersion
                                                : identity_.channels2Version;
        if (version != expected) {
            ErrorPacket(0x03, RADIO_COMPATIBILITY, reply);
            return true;
        }
        if (total < 12 || total > IMAGE_SIZE || n != std::min(PIECE, total)) {
            ErrorPacket(0x03, RADIO_DATA, reply);
            return true;
        }
        pending_.fill(0xFF);
        pendingTable_ = number;
        pendingNext_ = 0;
    } else if (pendingTable_ != number || pendingNext_ != piece) {
        pendingTable_ = -1;
        ErrorPacket(0x03, RADIO_SEQUENCE, reply);
        return true;
    }
    const uint32_t total = piece == 0 ? GetU16(data + 2) : GetU16(pending_.data() + 2);
    const uint32_t position = PIECE * piece;
    const uint32_t expectedLength =
        piece == 0 ? std::min(PIECE, total) : std::min(PIECE, total - std::min(total, position));
    if (n != expectedLength || n == 0) {
        pendingTable_ = -1;
        ErrorPacket(0x03, RADIO_DATA, reply);
        return true;
    }
    std::memcpy(pending_.data() + position, data, n);
    pendingNext_ = piece + 1;
    if (position + n >= total) {
        pendingTable_ = -1;
        if (TableImageCrc(pending_.data(), 0, IMAGE_SIZE) != GetU32(pending_.data() + 4)) {
            ErrorPacket(0x03, RADIO_CHECKSUM, reply);
            return true;
        }
        if (faults_.alterWrites > 0) {
            --faults_.alterWrites;
            // A byte of the first record (or of the settings) changes; the image stays valid.
            pending_[total > 16 ? 16 : total - 1] ^= 0x01;
            SealTableImage(pending_);
        }
        *table = pending_;
        ++stats_.tablesWritten;
        if (number == 1)
            identity_.programmingCount = GetU32(pending_.data() + 12);
    }
    reply = {0x03, 0x00, request[2], request[3]};
    return true;
}

bool SimulatedRadio::FaultApplies(uint8_t command) const {
    switch (faults_.only) {
    case RadioFaults::Only::Any:
        return true;
    case RadioFaults::Only::Info:
        return command == 0x01;
    case RadioFaults::Only::Read:
        return command == 0x02;
    case RadioFaults::Only::Write:
        return command == 0x03;
    }
    return true;
}

void SimulatedRadio::Receive(const uint8_t* data, size_t length, std::vector<Write>& out) {
    std::lock_guard lock(mutex_);
    stats_.bytesIn += length;
    for (size_t i = 0; i < length; ++i)
        if (collector_.Push(data[i]) == FrameCollector::Result::Complete)
            HandleFrameLocked(out);
}

void SimulatedRadio::SetLog(Log log) {
    std::lock_guard lock(mutex_);
    log_ = std::move(log);
}

namespace {

std::string Describe(const std::vector<uint8_t>& request) {
    char text[96];
    if (request.size() >= 2 && request[0] == 0x01)
        std::snprintf(text, sizeof text, "information block %u", request[1]);
    else if (request.size() >= 4 && request[0] == 0x02)
        std::snprintf(text, sizeof text, "read block 0x%04X", request[2] | request[3] << 8);
    else if (request.size() >= 4 && request[0] == 0x03)
        std::snprintf(text, sizeof text, "write block 0x%04X, %zu bytes",
                      request[2] | request[3] << 8, request.size() - 4);
    else if (request.size() >= 8 && request[0] == 0xD0)
        std::snprintf(text, sizeof text, "link speed %u Bd",
                      static_cast<unsigned>(GetU32(request.data() + 4)));
    else
        std::snprintf(text, sizeof text, "command 0x%02X, %zu bytes",
                      request.empty() ? 0 : request[0], request.size());
    return text;
}

std::string Outcome(const std::vector<uint8_t>& reply) {
    if (reply.size() >= 3 && reply[0] == 0xFF)
        return "error reply, radio code " + std::to_string(reply[2]);
    return "answered, " + std::to_string(reply.size()) + " bytes";
}

} // namespace

void SimulatedRadio::HandleFrameLocked(std::vector<Write>& out) {
    if (faults_.dead || faults_.babble) {
        if (log_)
            log_(faults_.dead ? "frame received; the radio is dead and stays silent"
                              : "frame received; the device babbles on and never answers");
        return;
    }
    size_t n = 0;
    if (!DecodeFrameBody(collector_.Body(), collector_.BodyLength(), packet_, sizeof packet_, n)) {
        ++stats_.badFrames;
        if (log_)
            log_("broken frame (bad escape or frame check sequence): ignored");
        return;
    }
    const std::vector<uint8_t> request(packet_, packet_ + n);
    std::vector<uint8_t> bytes;
    if (faults_.echo) {
        const auto echo = Frame(request);
        bytes.insert(bytes.end(), echo.begin(), echo.end());
    }

    if (!request.empty() && request[0] == 0x03 && faults_.dieAfterWrites >= 0) {
        if (faults_.dieAfterWrites == 0) {
            faults_.dead = true; // the cable is out: this piece never arrives
            faults_.dieAfterWrites = -1;
            if (log_)
                log_(Describe(request) + ": never arrived, the radio fell silent (fault)");
            return;
        }
        --faults_.dieAfterWrites;
    }
    std::vector<uint8_t> reply;
    const bool answered = AnswerLocked(request.data(), request.size(), reply);

    bool drop = false, corrupt = false, truncate = false;
    if (answered && !request.empty() && FaultApplies(request[0])) {
        if (faults_.skipReplies > 0) {
            --faults_.skipReplies;
        } else if (faults_.dropReplies > 0) {
            --faults_.dropReplies;
            drop = true;
        } else if (faults_.corruptFcs > 0) {
            --faults_.corruptFcs;
            corrupt = true;
        } else if (faults_.errorReplies > 0) {
            --faults_.errorReplies;
            reply = {0xFF, request[0], static_cast<uint8_t>(faults_.errorCode)};
        } else if (faults_.wrongAddress > 0) {
            --faults_.wrongAddress;
            if (reply.size() >= 4 && (reply[0] == 0x02 || reply[0] == 0x03))
                PutU16(&reply[2], GetU16(&reply[2]) + 1u);
            else if (reply.size() >= 2 && reply[0] == 0x01)
                reply[1] = static_cast<uint8_t>(reply[1] + 1);
        } else if (faults_.truncateFrames > 0) {
            --faults_.truncateFrames;
            truncate = true;
        }
    }

    if (answered && !drop) {
        for (size_t i = 0; i < faults_.noiseBytes; ++i) {
            noiseSeed_ = noiseSeed_ * 1103515245u + 12345u;
            uint8_t b = static_cast<uint8_t>(noiseSeed_ >> 16);
            if (b == FRAME_START)
                b = 0x55;
            bytes.push_back(b);
        }
        const uint16_t fcs = Fcs16(reply.data(), reply.size());
        const auto frame = FrameWithFcs(reply, corrupt ? static_cast<uint16_t>(fcs ^ 0x5A5A) : fcs);
        if (truncate)
            bytes.insert(bytes.end(), frame.begin(), frame.begin() + frame.size() / 2);
        bytes.insert(bytes.end(), frame.begin(), frame.end());
    }
    if (log_) {
        std::string line = Describe(request) + ": ";
        if (!answered)
            line += "no reply expected";
        else if (drop)
            line += "reply dropped (fault)";
        else
            line += Outcome(reply);
        if (corrupt)
            line += ", frame check sequence corrupted (fault)";
        if (truncate)
            line += ", sent cut short first (fault)";
        if (faults_.echo)
            line += ", request echoed";
        log_(line);
    }
    if (bytes.empty())
        return;
    stats_.bytesOut += bytes.size();
    const int parts =
        std::max(1, std::min<int>(faults_.splitParts, static_cast<int>(bytes.size())));
    const size_t each = bytes.size() / parts;
    size_t at = 0;
    for (int p = 0; p < parts; ++p) {
        const size_t end = p + 1 == parts ? bytes.size() : at + each;
        Write w;
        w.bytes.assign(bytes.begin() + at, bytes.begin() + end);
        w.pauseMs = p == 0 ? faults_.replyDelayMs : faults_.splitPauseMs;
        out.push_back(std::move(w));
        at = end;
    }
}

std::string SimulatedRadio::NextBabbleLine() {
    std::lock_guard lock(mutex_);
    const unsigned n = babbleCount_++;
    char body[96];
    if (n % 2 == 0)
        std::snprintf(body, sizeof body,
                      "GPGGA,%02u%02u%02u.00,5545.%04u,N,03737.%04u,E,1,08,0.9,"
                      "152.4,M,14.2,M,,",
                      (n / 3600) % 24, (n / 60) % 60, n % 60, (n * 37) % 10000, (n * 53) % 10000);
    else
        std::snprintf(body, sizeof body,
                      "GPRMC,%02u%02u%02u.00,A,5545.%04u,N,03737.%04u,E,0.1,"
                      "0.0,111226,,,A",
                      (n / 3600) % 24, (n / 60) % 60, n % 60, (n * 37) % 10000, (n * 53) % 10000);
    unsigned sum = 0;
    for (const char* c = body; *c; ++c)
        sum ^= static_cast<unsigned char>(*c);
    char line[128];
    std::snprintf(line, sizeof line, "$%s*%02X\r\n", body, sum);
    stats_.bytesOut += std::strlen(line);
    return line;
}

// ---------------------------------------------------------------- state file

namespace {
constexpr const char* STATE_MAGIC = "zorvex-radio-sim state 1";

std::string Hex(const SimulatedRadio::Image& image) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    s.reserve(image.size() * 2);
    for (uint8_t b : image) {
        s.push_back(digits[b >> 4]);
        s.push_back(digits[b & 15]);
    }
    return s;
}

bool FromHex(const std::string& s, SimulatedRadio::Image& image) {
    if (s.size() != image.size() * 2)
        return false;
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    for (size_t i = 0; i < image.size(); ++i) {
        const int hi = nibble(s[2 * i]), lo = nibble(s[2 * i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        image[i] = static_cast<uint8_t>(hi * 16 + lo);
    }
    return true;
}
} // namespace

bool SimulatedRadio::SaveState(const std::string& path, std::string* error) const {
    std::lock_guard lock(mutex_);
    // A pipe or a device (/dev/null) is written into: replacing it would destroy it.
    struct stat st {};
    const bool inPlace =
        ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
    const std::string temp = inPlace ? path : path + ".tmp";
    auto failed = [&](const std::string& why) {
        if (!inPlace)
            std::remove(temp.c_str());
        if (error)
            *error = why;
        return false;
    };
    {
        std::ofstream f(temp, std::ios::trunc);
        if (!f)
            return failed("cannot write " + temp);
        f << STATE_MAGIC << "\n";
        f << "programming_count " << identity_.programmingCount << "\n";
        f << "table0 " << Hex(table0_) << "\n";
        f << "table1 " << Hex(settings_) << "\n";
        f << "table3 " << Hex(table3_) << "\n";
        f.flush();
        if (!f)
            return failed("cannot write " + temp);
    }
    if (inPlace)
        return true;
    // Replace the old state only once the new one is complete.
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        if (error)
            *error = "cannot replace " + path;
        return false;
    }
    return true;
}

bool SimulatedRadio::LoadState(const std::string& path, std::string* error) {
    std::ifstream f(path);
    auto fail = [&](const std::string& why) {
        if (error)
            *error = path + ": " + why;
        return false;
    };
    if (!f)
        return fail("cannot be read");
    std::string line;
    if (!std::getline(f, line) || line != STATE_MAGIC)
        return fail("not a simulated radio state file");
    uint32_t count = 0;
    bool haveCount = false;
    Image t0{}, t1{}, t3{};
    bool have0 = false, have1 = false, have3 = false;
    while (std::getline(f, line)) {
        if (line.empty())
            continue;
        std::istringstream in(line);
        std::string key, value;
        in >> key >> value;
        if (key == "programming_count") {
            try {
                count = static_cast<uint32_t>(std::stoul(value));
            } catch (...) {
                return fail("bad programming_count");
            }
            haveCount = true;
        } else if (key == "table0") {
            have0 = FromHex(value, t0);
            if (!have0)
                return fail("bad table0");
        } else if (key == "table1") {
            have1 = FromHex(value, t1);
            if (!have1)
                return fail("bad table1");
        } else if (key == "table3") {
            have3 = FromHex(value, t3);
            if (!have3)
                return fail("bad table3");
        } else {
            return fail("unknown entry '" + key + "'");
        }
    }
    if (!haveCount || !have0 || !have1 || !have3)
        return fail("incomplete");
    std::lock_guard lock(mutex_);
    identity_.programmingCount = count;
    table0_ = t0;
    settings_ = t1;
    table3_ = t3;
    return true;
}
