#include "link/SerialPort.h"
SerialPort::SerialPort() = default;
SerialPort::~SerialPort() {
    Close();
}
bool SerialPort::Open(const std::string& device, uint32_t) {
    device_ = device;
    lastOpenError_ = "not implemented";
    return false;
}
void SerialPort::Close() {}
bool SerialPort::IsOpen() const {
    return false;
}
bool SerialPort::SetSpeed(uint32_t baud) {
    return ApplySpeed(baud);
}
bool SerialPort::ApplySpeed(uint32_t) {
    return false;
}
long SerialPort::Read(uint8_t*, size_t) {
    return -1;
}
bool SerialPort::WaitReadable(int) {
    return false;
}
long SerialPort::Write(const uint8_t*, size_t) {
    return -1;
}
