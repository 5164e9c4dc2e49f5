#include "operations/LogStream.h"

void LogStream::LogLine(const std::string& text) {
    if (!enabled || sink_ == nullptr) {
        return;
    }
    size_t begin = 0;
    for (;;) {
        size_t pos = text.find("\r\n", begin);
        if (pos == std::string::npos) {
            sink_->AppendLine(text.substr(begin));
            return;
        }
        sink_->AppendLine(text.substr(begin, pos - begin));
        begin = pos + 2;
    }
}

void LogStream::ClearLog() {
    if (sink_ != nullptr) {
        sink_->Clear();
    }
}
