#include <gtest/gtest.h>

#include "cli/JsonWriter.h"
#include "cli/PythonJson.h"

namespace {

TEST(JsonWriter, StringsAreEscapedSoAnyTextReadsBackTheSame) {
    struct Case {
        std::string text;     // UTF-8 (or not) given to the writer
        std::string readBack; // what Python reads, as json.dumps(ensure_ascii=True) shows it
    };
    const Case cases[] = {
        {"plain", "\"plain\""},
        {"quote \" and \\ backslash", "\"quote \\\" and \\\\ backslash\""},
        {"line\nfeed\r\ttab", "\"line\\nfeed\\r\\ttab\""},
        {"\x1b]0;title\x07\x1b[2J", "\"\\u001b]0;title\\u0007\\u001b[2J\""},
        {std::string("nul\0byte", 8), "\"nul\\u0000byte\""},
        {"\xD0\xAF \xD1\x91 \xE2\x82\xAC", "\"\\u042f \\u0451 \\u20ac\""}, // Я ё €
        {"bad \xFF byte \xC0\xAF", "\"bad \\ufffd byte \\ufffd\\ufffd\""}, // not UTF-8
        {"cut \xD0", "\"cut \\ufffd\""},
    };
    JsonWriter json;
    json.BeginArray();
    for (const Case& c : cases) {
        json.String(c.text);
    }
    json.EndArray();
    const std::string text = json.Text();
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(PythonJson(text, "json.dumps(d[" + std::to_string(i) + "])"), cases[i].readBack)
            << i << "\n"
            << text;
    }
}

TEST(JsonWriter, NestingNumbersAndLiterals) {
    JsonWriter json;
    json.BeginObject();
    json.Key("numbers").BeginArray().Number(0).Number(-1).Number(4294967295).Number(INT64_MIN);
    json.EndArray();
    json.Key("empty_object").BeginObject().EndObject();
    json.Key("empty_array").BeginArray().EndArray();
    json.Key("nested").BeginObject().Key("yes").Bool(true).Key("no").Bool(false);
    json.Key("none").Null().EndObject();
    json.Key("key \"quoted\"").String("v");
    json.EndObject();
    const std::string text = json.Text();
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(PythonJson(text, "json.dumps(d, sort_keys=True)"),
              "{\"empty_array\": [], \"empty_object\": {}, \"key \\\"quoted\\\"\": \"v\", "
              "\"nested\": {\"no\": false, \"none\": null, \"yes\": true}, \"numbers\": [0, -1, "
              "4294967295, -9223372036854775808]}")
        << text;
}

} // namespace
