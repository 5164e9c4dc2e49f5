#pragma once

#include <string>
#include <string_view>

#include <libxml/tree.h>

// Owns one libxml2 document.
class XmlDocument {
public:
    // An empty document (version 1.0) without a document element.
    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;
    XmlDocument(XmlDocument&& other) noexcept;
    XmlDocument& operator=(XmlDocument&& other) noexcept;

    // Parses a document from its bytes without touching the network, loading no DTD and
    // substituting no entity. A document with a DOCTYPE is refused, and so is one without
    // a document element. Throws FileError with the parser's message.
    static XmlDocument Parse(std::string_view bytes);

    xmlDocPtr get() const { return doc_; }

    // The document element, or null.
    xmlNodePtr Root() const;

    // Creates the document element with that name (replacing any) and returns it.
    xmlNodePtr CreateRoot(const char* name);

    // The document as bytes: XML declaration with encoding windows-1251, one element per
    // line, each level indented by two spaces. Throws FileError when it cannot be encoded.
    std::string Serialize() const;

private:
    explicit XmlDocument(xmlDocPtr doc) : doc_(doc) {}
    xmlDocPtr doc_ = nullptr;
};
