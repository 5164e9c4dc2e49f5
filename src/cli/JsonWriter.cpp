#include "cli/JsonWriter.h"

#include <cstdio>

#include "model/Cp1251.h"

std::string JsonWriter::Quote(std::string_view text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const size_t n = Utf8SequenceLength(text, i);
            if (n == 0) {
                out += "\xEF\xBF\xBD"; // U+FFFD for a byte that is not UTF-8
                ++i;
            } else {
                out.append(text.substr(i, n));
                i += n;
            }
            continue;
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += static_cast<char>(c);
            }
            break;
        }
        ++i;
    }
    out += '"';
    return out;
}

void JsonWriter::NewLine() {
    text_ += '\n';
    text_.append(levels_.size() * 2, ' ');
}

void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!levels_.empty()) {
        if (!levels_.back().empty) {
            text_ += ',';
        }
        levels_.back().empty = false;
        NewLine();
    }
}

void JsonWriter::Open(char bracket) {
    BeforeValue();
    text_ += bracket;
    levels_.push_back(Level{bracket});
}

void JsonWriter::Close(char bracket) {
    if (levels_.empty()) {
        return;
    }
    const bool empty = levels_.back().empty;
    levels_.pop_back();
    if (!empty) {
        NewLine();
    }
    text_ += bracket;
}

JsonWriter& JsonWriter::BeginObject() {
    Open('{');
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    Close('}');
    return *this;
}

JsonWriter& JsonWriter::BeginArray() {
    Open('[');
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    Close(']');
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view name) {
    BeforeValue();
    text_ += Quote(name) + ": ";
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view utf8) {
    BeforeValue();
    text_ += Quote(utf8);
    return *this;
}

JsonWriter& JsonWriter::Number(int64_t value) {
    BeforeValue();
    text_ += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    BeforeValue();
    text_ += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null() {
    BeforeValue();
    text_ += "null";
    return *this;
}

std::string JsonWriter::Text() const {
    if (levels_.empty() && !text_.empty()) {
        return text_ + '\n';
    }
    return text_;
}
