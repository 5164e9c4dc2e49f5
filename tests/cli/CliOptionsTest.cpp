#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "cli/CliMain.h"
#include "cli/CliOptions.h"

namespace {

std::string Joined(const std::vector<std::string>& args) {
    std::string line;
    for (const auto& a : args) {
        line += a + " ";
    }
    return line;
}

TEST(CliOptions, LongShortAttachedAndSeparateFormsMeanTheSame) {
    struct Case {
        std::vector<std::string> args;
        int port;
        std::string device;
        std::string output;
    };
    const Case cases[] = {
        {{"info", "--port", "5"}, 5, "", ""},
        {{"info", "--port=5"}, 5, "", ""},
        {{"info", "-p", "5"}, 5, "", ""},
        {{"info", "-p5"}, 5, "", ""},
        {{"-p", "7", "info"}, 7, "", ""},
        {{"info", "--device", "/dev/ttyUSB0"}, 0, "/dev/ttyUSB0", ""},
        {{"info", "--device=/dev/a=b"}, 0, "/dev/a=b", ""},
        {{"info", "-d", "/dev/ttyUSB0"}, 0, "/dev/ttyUSB0", ""},
        {{"info", "-d/dev/ttyUSB0"}, 0, "/dev/ttyUSB0", ""},
        {{"read", "--simulate", "-o", "a.xml"}, 0, "", "a.xml"},
        {{"read", "--simulate", "-oa.xml"}, 0, "", "a.xml"},
        {{"read", "--simulate", "--output=a.xml"}, 0, "", "a.xml"},
        {{"read", "--simulate", "-o", "-"}, 0, "", "-"},
        // "--" ends the options: a file name that looks like one is an operand.
        {{"read", "--simulate", "-o", "x.xml", "--"}, 0, "", "x.xml"},
    };
    for (const Case& c : cases) {
        CliOptions o;
        std::string error;
        ASSERT_TRUE(ParseCliOptions(c.args, o, error)) << Joined(c.args) << error;
        EXPECT_EQ(o.port, c.port) << Joined(c.args);
        EXPECT_EQ(o.device, c.device) << Joined(c.args);
        EXPECT_EQ(o.output, c.output) << Joined(c.args);
    }
}

TEST(CliOptions, DoubleDashEndsOptions) {
    CliOptions o;
    std::string error;
    ASSERT_TRUE(ParseCliOptions({"write", "--simulate", "--", "--odd-name.xml"}, o, error))
        << error;
    ASSERT_EQ(o.operands.size(), 1u);
    EXPECT_EQ(o.operands[0], "--odd-name.xml");
    // After "--" even --help is a file name.
    ASSERT_TRUE(ParseCliOptions({"export", "--", "--help", "-q"}, o, error)) << error;
    EXPECT_FALSE(o.help);
    EXPECT_FALSE(o.quiet);
    EXPECT_EQ(o.operands, (std::vector<std::string>{"--help", "-q"}));
}

TEST(CliOptions, OutputLevelsAndJson) {
    struct Case {
        std::vector<std::string> args;
        bool quiet, verbose, trace, json;
    };
    const Case cases[] = {
        {{"info", "--simulate"}, false, false, false, false},
        {{"info", "--simulate", "-q"}, true, false, false, false},
        {{"info", "--simulate", "--quiet"}, true, false, false, false},
        {{"info", "--simulate", "-v"}, false, true, false, false},
        {{"info", "--simulate", "--verbose", "--trace"}, false, true, true, false},
        {{"info", "--simulate", "--json"}, false, false, false, true},
        {{"ports", "--json"}, false, false, false, true},
        {{"export", "a.xml", "b.xlsx", "-q"}, true, false, false, false},
    };
    for (const Case& c : cases) {
        CliOptions o;
        std::string error;
        ASSERT_TRUE(ParseCliOptions(c.args, o, error)) << Joined(c.args) << error;
        EXPECT_EQ(o.quiet, c.quiet) << Joined(c.args);
        EXPECT_EQ(o.verbose, c.verbose) << Joined(c.args);
        EXPECT_EQ(o.trace, c.trace) << Joined(c.args);
        EXPECT_EQ(o.json, c.json) << Joined(c.args);
    }
}

TEST(CliOptions, FormErrorsAreUsageErrors) {
    const std::vector<std::vector<std::string>> cases = {
        {"info", "--simulate=yes"},         // a switch with a value
        {"info", "-p"},                     // a value missing
        {"info", "--port="},                // an empty number
        {"info", "-p", "5x"},               //
        {"info", "-x", "--simulate"},       // unknown short option
        {"info", "--simulate", "-qv"},      // switches are not bundled
        {"info", "--simulate", "-q", "-v"}, // quiet and verbose exclude each other
        {"info", "--simulate", "--trace", "--quiet"},
        {"read", "--simulate", "-o", "-", "--json"}, // both on standard output
        {"export", "a.xml", "b.xlsx", "--json"},     // not for export
        {"export", "a.xml", "b.xlsx", "-v"},
        {"frobnicate", "--help"}, // an unknown command even with --help
        {"--", "--help"},         // "--help" after "--" is a command name
    };
    for (const auto& args : cases) {
        std::ostringstream out, err;
        CliContext context{out, err, {}, false, nullptr};
        EXPECT_EQ(RunCli(args, context), 2) << Joined(args);
        EXPECT_TRUE(out.str().empty()) << Joined(args);
        EXPECT_NE(err.str().find("Try 'zorvex-cli --help'."), std::string::npos) << Joined(args);
    }
}

TEST(CliOptions, VersionWinsOverEverythingElse) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--version"}, {"-V"}, {"info", "-V"}, {"frobnicate", "--version"}}) {
        std::ostringstream out, err;
        CliContext context{out, err, {}, false, nullptr};
        EXPECT_EQ(RunCli(args, context), 0) << Joined(args);
        const std::string text = out.str();
        const std::string number = text.substr(std::string("zorvex-cli ").size());
        EXPECT_EQ(text.rfind("zorvex-cli ", 0), 0u) << text;
        EXPECT_EQ(std::count(number.begin(), number.end(), '.'), 2) << text;
        EXPECT_EQ(number.find_first_not_of("0123456789."), number.size() - 1) << text;
        EXPECT_EQ(text.back(), '\n');
        EXPECT_TRUE(err.str().empty());
    }
}

} // namespace
