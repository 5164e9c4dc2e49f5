#include <gtest/gtest.h>

#include "operations/LogStream.h"

namespace {

class Lines : public LogSink {
public:
    void AppendLine(const std::string& line) override { lines.push_back(line); }
    void Clear() override {
        lines.clear();
        ++clears;
    }
    std::vector<std::string> lines;
    int clears = 0;
};

TEST(LogStream, CrLfPairsStartFurtherLines) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"one", {"one"}},
        {"", {""}},
        {"\r\nX\r\n", {"", "X", ""}},
        {"a\r\nb\r\nc", {"a", "b", "c"}},
        {"bare\nnewline\r", {"bare\nnewline\r"}},
    };
    for (const Case& c : cases) {
        Lines sink;
        LogStream log;
        log.Attach(&sink);
        log.enabled = true;
        log.LogLine(c.text);
        EXPECT_EQ(sink.lines, c.lines) << c.text;
    }
}

TEST(LogStream, WritesNothingWhenDisabledOrDetached) {
    LogStream log;
    log.enabled = true;
    log.LogLine("no sink yet");
    log.ClearLog();

    Lines sink;
    log.Attach(&sink);
    log.enabled = false;
    log.LogLine("disabled");
    EXPECT_TRUE(sink.lines.empty());
    log.ClearLog(); // clearing works whatever the flag
    EXPECT_EQ(sink.clears, 1);
}

} // namespace
