#include "link/ComThread.h"
ComThread::ComThread() {}
ComThread::~ComThread() {
    ClosePort();
}
bool ComThread::OpenPort(int) {
    return false;
}
bool ComThread::SetNotifyWindow(Notify n) {
    notify_ = std::move(n);
    return true;
}
bool ComThread::IsPortOpen() const {
    return false;
}
bool ComThread::IsBusy() const {
    return false;
}
bool ComThread::ClearJobs() {
    return false;
}
bool ComThread::AddJob(const TransferJob*) {
    return false;
}
bool ComThread::StartJobs() {
    return false;
}
int ComThread::GetProgress() const {
    return 1;
}
bool ComThread::InfoReceived(int) const {
    return false;
}
bool ComThread::ClosePort() {
    return true;
}
bool ComThread::ReadTable(int32_t, uint8_t*) {
    return false;
}
bool ComThread::WriteTable(int32_t, uint8_t*) {
    return false;
}
bool ComThread::RequestInfo(int32_t, uint8_t*) {
    return false;
}
bool ComThread::AdvanceProgress(uint32_t) {
    return false;
}
bool ComThread::BuildFrame() {
    return true;
}
bool ComThread::SendFrame() {
    return true;
}
bool ComThread::ReadChunk() {
    return false;
}
bool ComThread::ReceiveFrame() {
    return false;
}
bool ComThread::DecodeFrame() {
    return false;
}
bool ComThread::ReceiveReply() {
    return false;
}
void ComThread::ResetReceiver() {}
