// The loader's document view over libxml2.
//
// A figure folder is user content, so a file is read in bounded time and memory and nothing
// but the file is read: no option that fetches (external entities, DTDs, XInclude, the
// network) is given, and nothing here walks the tree by recursion.
#include <fcntl.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/xml_dom.h"
#include "text/utf.h"

namespace vx::platform {

namespace {

String FromXml(const xmlChar* text) {
    return text ? text::FromUtf8(reinterpret_cast<const char*>(text)) : String();
}

bool NameIs(const xmlChar* name, const char* ascii) {
    return xmlStrEqual(name, reinterpret_cast<const xmlChar*>(ascii)) != 0;
}

// Entity references stay nodes in the tree, and libxml2's own attribute reading expands
// every use again without a bound: one entity of 20,000 characters used 100,000 times in an
// attribute is 2 GB, built by repeated concatenation. Here what entities produce is limited
// per value and per document; a value over either limit reads as absent.
constexpr size_t kEntityTextPerValue = size_t{1} << 20;
constexpr size_t kEntityTextPerDocument = size_t{10} << 20;

xmlNodePtr FirstElement(xmlNodePtr node) {
    while (node && node->type != XML_ELEMENT_NODE) node = node->next;
    return node;
}

// Appends the text of an attribute's child nodes to out, each entity reference replaced by
// the text of its entity. Each reference and each unit read inside an entity is charged to
// *budget, whether the value completes or not. False when a limit is passed.
bool AppendValue(xmlNodePtr node, size_t* budget, std::string* out) {
    const size_t limit = std::min(kEntityTextPerValue, *budget);
    std::vector<xmlNodePtr> resume;  // the node after each reference whose entity is being read
    size_t produced = 0;
    while (produced <= limit && (node || !resume.empty())) {
        if (!node) {
            node = resume.back();
            resume.pop_back();
            continue;
        }
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            const size_t length = static_cast<size_t>(xmlStrlen(node->content));
            if (!resume.empty()) produced += length;
            if (produced <= limit) out->append(reinterpret_cast<const char*>(node->content), length);
        } else if (node->type == XML_ENTITY_REF_NODE) {
            ++produced;
            const xmlEntityPtr entity = xmlGetDocEntity(node->doc, node->name);
            if (entity && entity->etype == XML_INTERNAL_PREDEFINED_ENTITY) {
                out->append(reinterpret_cast<const char*>(entity->content));
            } else if (entity && entity->children) {
                resume.push_back(node->next);
                node = entity->children;
                continue;
            }
        }
        node = node->next;
    }
    *budget -= std::min(produced, *budget);
    return produced <= limit;
}

class Element final : public XmlElement {
public:
    Element(xmlNodePtr node, size_t* entityBudget) : node_(node), entityBudget_(entityBudget) {}

    String Name() const override {
        String name;
        if (node_->ns && node_->ns->prefix) {
            name = FromXml(node_->ns->prefix);
            name += VXCHAR(':');
        }
        name += FromXml(node_->name);
        return name;
    }

    // Only attributes written on the element: no default from a DTD.
    bool Attribute(const char* name, String* value) const override {
        for (xmlAttrPtr attribute = node_->properties; attribute; attribute = attribute->next) {
            if (attribute->ns || !NameIs(attribute->name, name)) continue;
            std::string bytes;
            if (!AppendValue(attribute->children, entityBudget_, &bytes)) return false;
            *value = text::FromUtf8(bytes);
            return true;
        }
        return false;
    }

    void ForEachChild(const std::function<void(const XmlElement&)>& visit) const override {
        for (xmlNodePtr child = FirstElement(node_->children); child;
             child = FirstElement(child->next)) {
            visit(Element(child, entityBudget_));
        }
    }

private:
    xmlNodePtr node_;
    size_t* entityBudget_;
};

// Some messages (I/O errors above all) bypass the parser options and go to the generic error
// handler, which prints to stderr by default. The loader reports nothing, so while a file
// loads the handlers are silent; the host's own handlers come back afterwards.
void Silent(void*, const char*, ...) {}
void SilentStructured(void*, xmlErrorPtr) {}

class SilentErrors {
public:
    SilentErrors()
        : generic_(xmlGenericError),
          genericContext_(xmlGenericErrorContext),
          structured_(xmlStructuredError),
          structuredContext_(xmlStructuredErrorContext) {
        xmlSetGenericErrorFunc(nullptr, Silent);
        xmlSetStructuredErrorFunc(nullptr, SilentStructured);
    }
    ~SilentErrors() {
        xmlSetGenericErrorFunc(genericContext_, generic_);
        xmlSetStructuredErrorFunc(structuredContext_, structured_);
    }
    SilentErrors(const SilentErrors&) = delete;
    SilentErrors& operator=(const SilentErrors&) = delete;

private:
    xmlGenericErrorFunc generic_;
    void* genericContext_;
    xmlStructuredErrorFunc structured_;
    void* structuredContext_;
};

// libxml2 2.9 refuses documents nested deeper than the global xmlParserMaxDepth, 256, a
// guard from when its parser recursed per element. XML_PARSE_HUGE would lift it, but it
// lifts the guards against entity expansion with it. The parser keeps its own stack now,
// so a level costs only memory (about 170 bytes): figures are reached down to 2^17 levels,
// some 22 MB, and the global is given back for other users of libxml2 in the process.
// Versions that no longer read the global keep their own limit.
class DeepDocuments {
public:
    DeepDocuments() : saved_(xmlParserMaxDepth) { xmlParserMaxDepth = 1u << 17; }
    ~DeepDocuments() { xmlParserMaxDepth = saved_; }
    DeepDocuments(const DeepDocuments&) = delete;
    DeepDocuments& operator=(const DeepDocuments&) = delete;

private:
    unsigned int saved_;
};

// The element after node in document order, within root; null after the last.
xmlNodePtr NextElement(xmlNodePtr node, xmlNodePtr root) {
    if (xmlNodePtr child = FirstElement(node->children)) return child;
    for (; node != root; node = node->parent) {
        if (xmlNodePtr sibling = FirstElement(node->next)) return sibling;
    }
    return nullptr;
}

struct DocFree {
    void operator()(xmlDocPtr doc) const { xmlFreeDoc(doc); }
};

class Document final : public XmlDocument {
public:
    bool Load(const std::filesystem::path& path) override {
        doc_.reset();
        entityBudget_ = kEntityTextPerDocument;
        // Opened without blocking and checked once open: a FIFO or a device named *.xml is
        // skipped, and none can take the place of the file between the check and the read.
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) return false;
        struct stat status;
        if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
            static_cast<uintmax_t>(status.st_size) <= kMaxXmlFileBytes) {
            SilentErrors silent;
            DeepDocuments deep;
            doc_.reset(xmlReadFd(fd, nullptr, nullptr,
                                 XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
        }
        ::close(fd);
        return doc_ != nullptr;
    }

    bool RootName(String* name) const override {
        xmlNodePtr root = doc_ ? xmlDocGetRootElement(doc_.get()) : nullptr;
        if (!root) return false;
        *name = Element(root, &entityBudget_).Name();
        return true;
    }

    // "//figure": the elements named "figure" in no namespace, in document order, found by
    // following the tree's links rather than by recursion.
    void ForEachFigure(const std::function<void(const XmlElement&)>& visit) const override {
        xmlNodePtr root = doc_ ? xmlDocGetRootElement(doc_.get()) : nullptr;
        for (xmlNodePtr node = root; node; node = NextElement(node, root)) {
            if (!node->ns && NameIs(node->name, "figure")) visit(Element(node, &entityBudget_));
        }
    }

private:
    std::unique_ptr<xmlDoc, DocFree> doc_;
    mutable size_t entityBudget_ = kEntityTextPerDocument;
};

}  // namespace

// The parser's global state is set up once and kept: a library must not tear it down
// under other users of libxml2 in the same process.
XmlSession::XmlSession() { xmlInitParser(); }
XmlSession::~XmlSession() = default;

std::unique_ptr<XmlDocument> XmlDocument::Create() { return std::make_unique<Document>(); }

}  // namespace vx::platform
