#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Builds one JSON document, indented by two spaces, with the commas and nesting kept by the
// writer. Texts are UTF-8 and are escaped as JSON requires (quotes, backslashes, control
// characters); bytes that are not UTF-8 become U+FFFD, so the document is always valid.
//
//   JsonWriter json;
//   json.BeginObject();
//   json.Key("ports").BeginArray();
//   json.BeginObject().Key("number").Number(33).EndObject();
//   json.EndArray().EndObject();
//   std::string text = json.Text();
class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    // The name of the next member of the object being written.
    JsonWriter& Key(std::string_view name);

    JsonWriter& String(std::string_view utf8);
    JsonWriter& Number(int64_t value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    // The document so far, with a final newline once the outermost value is complete.
    std::string Text() const;

    // text as a JSON string literal, quotes included.
    static std::string Quote(std::string_view utf8);

private:
    void BeforeValue();
    void Open(char bracket);
    void Close(char bracket);
    void NewLine();

    struct Level {
        char bracket;
        bool empty = true;
    };
    std::string text_;
    std::vector<Level> levels_;
    bool afterKey_ = false;
};
