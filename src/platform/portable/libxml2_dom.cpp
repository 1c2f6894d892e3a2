// The loader's document view over libxml2.
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xpath.h>

#include <memory>
#include <string>

#include "platform/xml_dom.h"
#include "text/utf.h"

namespace vx::platform {

namespace {

String FromXml(const xmlChar* text) {
    return text ? text::FromUtf8(reinterpret_cast<const char*>(text)) : String();
}

class Element final : public XmlElement {
public:
    explicit Element(xmlNodePtr node) : node_(node) {}

    String Name() const override {
        String name;
        if (node_->ns && node_->ns->prefix) {
            name = FromXml(node_->ns->prefix);
            name += VXCHAR(':');
        }
        name += FromXml(node_->name);
        return name;
    }

    bool Attribute(const char* name, String* value) const override {
        xmlChar* text = xmlGetNoNsProp(node_, reinterpret_cast<const xmlChar*>(name));
        if (!text) return false;
        try {
            *value = FromXml(text);
        } catch (...) {
            xmlFree(text);
            throw;
        }
        xmlFree(text);
        return true;
    }

    void ForEachChild(const std::function<void(const XmlElement&)>& visit) const override {
        for (xmlNodePtr child = node_->children; child; child = child->next) {
            if (child->type == XML_ELEMENT_NODE) visit(Element(child));
        }
    }

private:
    xmlNodePtr node_;
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

struct DocFree {
    void operator()(xmlDocPtr doc) const { xmlFreeDoc(doc); }
};
struct ContextFree {
    void operator()(xmlXPathContextPtr context) const { xmlXPathFreeContext(context); }
};
struct ObjectFree {
    void operator()(xmlXPathObjectPtr object) const { xmlXPathFreeObject(object); }
};

class Document final : public XmlDocument {
public:
    bool Load(const String& path) override {
        doc_.reset();
        const std::string file = text::ToUtf8(path);
        SilentErrors silent;
        // Silent (the loader reports nothing), no network, no external DTD, no entity
        // expansion beyond what the parser's own limits allow.
        doc_.reset(xmlReadFile(file.c_str(), nullptr,
                               XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
        return doc_ != nullptr;
    }

    bool RootName(String* name) const override {
        xmlNodePtr root = doc_ ? xmlDocGetRootElement(doc_.get()) : nullptr;
        if (!root) return false;
        *name = Element(root).Name();
        return true;
    }

    void ForEachFigure(const std::function<void(const XmlElement&)>& visit) const override {
        if (!doc_) return;
        std::unique_ptr<xmlXPathContext, ContextFree> context(xmlXPathNewContext(doc_.get()));
        if (!context) throw std::bad_alloc();
        std::unique_ptr<xmlXPathObject, ObjectFree> found(
            xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>("//figure"), context.get()));
        if (!found || !found->nodesetval) return;
        const xmlNodeSetPtr nodes = found->nodesetval;
        for (int i = 0; i < nodes->nodeNr; ++i) {
            if (nodes->nodeTab[i]->type == XML_ELEMENT_NODE) visit(Element(nodes->nodeTab[i]));
        }
    }

private:
    std::unique_ptr<xmlDoc, DocFree> doc_;
};

}  // namespace

// The parser's global state is set up once and kept: a library must not tear it down
// under other users of libxml2 in the same process.
XmlSession::XmlSession() { xmlInitParser(); }
XmlSession::~XmlSession() = default;

std::unique_ptr<XmlDocument> XmlDocument::Create() { return std::make_unique<Document>(); }

}  // namespace vx::platform
