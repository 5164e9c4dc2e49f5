#include "files/XmlCommon.h"

#include <cstdio>
#include <limits>

#include "model/Cp1251.h"

namespace {

const xmlChar* X(const char* s) {
    return reinterpret_cast<const xmlChar*>(s);
}

int DigitValue(char c, int base) {
    int d = -1;
    if (c >= '0' && c <= '9') {
        d = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        d = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        d = c - 'A' + 10;
    }
    return d < base ? d : -1;
}

std::string TakeXmlString(xmlChar* s) {
    if (s == nullptr) {
        return {};
    }
    std::string utf8(reinterpret_cast<const char*>(s));
    xmlFree(s);
    return Utf8ToCp1251(utf8);
}

} // namespace

bool ReadXmlNumber(std::string_view text, int32_t& value) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) {
        return false;
    }
    // Magnitude limit: 2^31 for a negative number, 2^31 - 1 otherwise.
    const uint64_t limit = negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1;
    uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int d = DigitValue(text[i], base);
        if (d < 0) {
            return false;
        }
        magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
        if (magnitude > limit) {
            return false;
        }
    }
    value = negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude))
                     : static_cast<int32_t>(magnitude);
    return true;
}

xmlNodePtr XmlFirstChild(xmlNodePtr parent, const char* name) {
    if (parent == nullptr) {
        return nullptr;
    }
    for (xmlNodePtr n = parent->children; n != nullptr; n = n->next) {
        if (n->type == XML_ELEMENT_NODE && xmlStrcmp(n->name, X(name)) == 0) {
            return n;
        }
    }
    return nullptr;
}

std::string XmlChildText(xmlNodePtr parent, const char* name, const std::string& def, bool* found) {
    xmlNodePtr child = XmlFirstChild(parent, name);
    if (found != nullptr) {
        *found = child != nullptr;
    }
    if (child == nullptr) {
        return def;
    }
    return TakeXmlString(xmlNodeGetContent(child));
}

int32_t XmlChildInt(xmlNodePtr parent, const char* name, int32_t def) {
    bool found = false;
    const std::string text = XmlChildText(parent, name, {}, &found);
    int32_t value = def;
    if (found && ReadXmlNumber(text, value)) {
        return value;
    }
    return def;
}

bool XmlChildBool(xmlNodePtr parent, const char* name, bool def) {
    return XmlChildInt(parent, name, def ? 1 : 0) != 0;
}

std::string XmlAttrText(xmlNodePtr element, const char* name, const std::string& def, bool* found) {
    xmlChar* value = element != nullptr ? xmlGetNoNsProp(element, X(name)) : nullptr;
    if (found != nullptr) {
        *found = value != nullptr;
    }
    if (value == nullptr) {
        return def;
    }
    return TakeXmlString(value);
}

int32_t XmlAttrInt(xmlNodePtr element, const char* name, int32_t def) {
    bool found = false;
    const std::string text = XmlAttrText(element, name, {}, &found);
    int32_t value = def;
    if (found && ReadXmlNumber(text, value)) {
        return value;
    }
    return def;
}

int XmlLine(xmlNodePtr node) {
    const long line = node != nullptr ? xmlGetLineNo(node) : 0;
    return line > 0 && line < (1L << 30) ? static_cast<int>(line) : 0;
}

std::string XmlContentUtf8(xmlNodePtr node) {
    xmlChar* content = node != nullptr ? xmlNodeGetContent(node) : nullptr;
    if (content == nullptr) {
        return {};
    }
    std::string text(reinterpret_cast<const char*>(content));
    xmlFree(content);
    return text;
}

std::string XmlAttrUtf8(xmlNodePtr element, const char* name, bool& found) {
    xmlChar* value = element != nullptr ? xmlGetNoNsProp(element, X(name)) : nullptr;
    found = value != nullptr;
    if (value == nullptr) {
        return {};
    }
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

xmlNodePtr XmlAddChild(xmlNodePtr parent, const char* name) {
    return xmlNewChild(parent, nullptr, X(name), nullptr);
}

void XmlAddChildInt(xmlNodePtr parent, const char* name, int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    xmlNewTextChild(parent, nullptr, X(name), X(text));
}

void XmlAddChildBool(xmlNodePtr parent, const char* name, bool value) {
    xmlNewTextChild(parent, nullptr, X(name), X(value ? "1" : "0"));
}

void XmlAddChildText(xmlNodePtr parent, const char* name, const std::string& text) {
    const std::string utf8 = Cp1251ToUtf8(text);
    xmlNewTextChild(parent, nullptr, X(name), X(utf8.c_str()));
}

void XmlSetAttrInt(xmlNodePtr element, const char* name, int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    xmlSetProp(element, X(name), X(text));
}

void XmlSetAttrText(xmlNodePtr element, const char* name, const std::string& text) {
    const std::string utf8 = Cp1251ToUtf8(text);
    xmlSetProp(element, X(name), X(utf8.c_str()));
}
