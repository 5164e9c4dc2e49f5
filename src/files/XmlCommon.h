#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <libxml/tree.h>

// Access to elements of a libxml2 document. Names are ASCII; text passed in and returned is
// Windows-1251 (converted from and to the UTF-8 that libxml2 holds).

// Reads a number: leading blanks (space, tab), an optional sign, then decimal digits, or
// hexadecimal digits after "$", "x", "X", "0x" or "0X", up to the end of the text. Anything
// else - empty text, letters, trailing characters (blanks included), a value outside the
// signed 32-bit range - is not a number: false, value untouched.
bool ReadXmlNumber(std::string_view text, int32_t& value);

// The first child element of parent with that name, or null (also for a null parent).
xmlNodePtr XmlFirstChild(xmlNodePtr parent, const char* name);

// Text of the first child element with that name, or def when parent or child is absent.
// found (optional) tells whether the child was there.
std::string XmlChildText(xmlNodePtr parent, const char* name, const std::string& def,
                         bool* found = nullptr);

// XmlChildText read as a number; def when absent or not a number.
int32_t XmlChildInt(xmlNodePtr parent, const char* name, int32_t def);

// XmlChildInt with default 1 or 0: true when the number is non-zero.
bool XmlChildBool(xmlNodePtr parent, const char* name, bool def);

// Value of the attribute with that name, or def when element or attribute is absent.
std::string XmlAttrText(xmlNodePtr element, const char* name, const std::string& def,
                        bool* found = nullptr);

// XmlAttrText read as a number; def when absent or not a number.
int32_t XmlAttrInt(xmlNodePtr element, const char* name, int32_t def);

// The line of a node in the parsed text, 0 when unknown.
int XmlLine(xmlNodePtr node);

// The text content of a node as UTF-8, as the library holds it (empty for a null node).
std::string XmlContentUtf8(xmlNodePtr node);

// The value of an attribute as UTF-8; found tells whether it is there.
std::string XmlAttrUtf8(xmlNodePtr element, const char* name, bool& found);

// Appends a child element; returns it.
xmlNodePtr XmlAddChild(xmlNodePtr parent, const char* name);

// Appends a child element holding "%d" of value.
void XmlAddChildInt(xmlNodePtr parent, const char* name, int32_t value);

// Appends a child element holding "1" or "0".
void XmlAddChildBool(xmlNodePtr parent, const char* name, bool value);

// Appends a child element holding the (Windows-1251) text.
void XmlAddChildText(xmlNodePtr parent, const char* name, const std::string& text);

// Sets an attribute to "%d" of value.
void XmlSetAttrInt(xmlNodePtr element, const char* name, int32_t value);

// Sets an attribute to the (Windows-1251) text.
void XmlSetAttrText(xmlNodePtr element, const char* name, const std::string& text);
