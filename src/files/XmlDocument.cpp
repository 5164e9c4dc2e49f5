#include "files/XmlDocument.h"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>

#include <climits>
#include <utility>

#include "files/FileError.h"

namespace {

// Collects the parser's first error message instead of letting it print to stderr.
class ErrorCollector {
public:
    ErrorCollector() { xmlSetStructuredErrorFunc(this, &ErrorCollector::Handle); }
    ~ErrorCollector() { xmlSetStructuredErrorFunc(nullptr, nullptr); }
    ErrorCollector(const ErrorCollector&) = delete;
    ErrorCollector& operator=(const ErrorCollector&) = delete;

    const std::string& message() const { return message_; }

private:
    static void Handle(void* self, xmlErrorPtr error) {
        auto* collector = static_cast<ErrorCollector*>(self);
        if (error == nullptr || !collector->message_.empty() || error->level < XML_ERR_ERROR) {
            return;
        }
        std::string text = error->message != nullptr ? error->message : "unknown XML error";
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
            text.pop_back();
        }
        if (error->line > 0) {
            text = "line " + std::to_string(error->line) + ": " + text;
        }
        collector->message_ = text;
    }

    std::string message_;
};

} // namespace

XmlDocument::XmlDocument() : doc_(xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"))) {
    if (doc_ == nullptr) {
        throw FileError("out of memory");
    }
}

XmlDocument::~XmlDocument() {
    if (doc_ != nullptr) {
        xmlFreeDoc(doc_);
    }
}

XmlDocument::XmlDocument(XmlDocument&& other) noexcept : doc_(std::exchange(other.doc_, nullptr)) {}

XmlDocument& XmlDocument::operator=(XmlDocument&& other) noexcept {
    if (this != &other) {
        if (doc_ != nullptr) {
            xmlFreeDoc(doc_);
        }
        doc_ = std::exchange(other.doc_, nullptr);
    }
    return *this;
}

XmlDocument XmlDocument::Parse(std::string_view bytes) {
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        throw FileError("document too large");
    }
    if (bytes.empty()) {
        throw FileError("the document is empty");
    }
    xmlDocPtr doc = nullptr;
    std::string message;
    {
        ErrorCollector errors;
        // No XML_PARSE_NOENT and no XML_PARSE_DTDLOAD: entities stay unexpanded and no
        // external DTD or entity is fetched.
        doc = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                            XML_PARSE_NONET | XML_PARSE_NOBLANKS | XML_PARSE_NOCDATA);
        message = errors.message();
    }
    if (doc == nullptr) {
        throw FileError(message.empty() ? "the document could not be parsed" : message);
    }
    XmlDocument result(doc);
    if (doc->intSubset != nullptr || doc->extSubset != nullptr) {
        throw FileError("documents with a DOCTYPE declaration are not accepted");
    }
    if (result.Root() == nullptr) {
        throw FileError("the document has no root element");
    }
    return result;
}

xmlNodePtr XmlDocument::Root() const {
    return doc_ != nullptr ? xmlDocGetRootElement(doc_) : nullptr;
}

xmlNodePtr XmlDocument::CreateRoot(const char* name) {
    xmlNodePtr root = xmlNewNode(nullptr, reinterpret_cast<const xmlChar*>(name));
    xmlNodePtr old = xmlDocSetRootElement(doc_, root);
    if (old != nullptr) {
        xmlFreeNode(old);
    }
    return root;
}

std::string XmlDocument::Serialize() const {
    xmlChar* memory = nullptr;
    int size = 0;
    std::string message;
    {
        ErrorCollector errors;
        xmlDocDumpFormatMemoryEnc(doc_, &memory, &size, "windows-1251", 1);
        message = errors.message();
    }
    if (memory == nullptr || size <= 0) {
        if (memory != nullptr) {
            xmlFree(memory);
        }
        throw FileError(message.empty() ? "the document could not be encoded" : message);
    }
    std::string bytes(reinterpret_cast<const char*>(memory), static_cast<std::size_t>(size));
    xmlFree(memory);
    return bytes;
}
