// The loader's document view over libxml2.
//
// A figure folder is user content, so a file is read in bounded time and memory and nothing
// but the file is read: no option that fetches (external entities, DTDs, XInclude, the
// network) is given, and nothing here walks the tree by recursion.
#include <fcntl.h>
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <unordered_map>
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
            if (produced <= limit)
                out->append(reinterpret_cast<const char*>(node->content), length);
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

// The places of a document's elements, by node; filled while the document is parsed.
using PlaceMap = std::unordered_map<const xmlNode*, SourcePlace>;

class Element final : public XmlElement {
public:
    Element(xmlNodePtr node, size_t* entityBudget, const PlaceMap* places)
        : node_(node), entityBudget_(entityBudget), places_(places) {}

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
            visit(Element(child, entityBudget_, places_));
        }
    }

    SourcePlace Place() const override {
        if (!places_) return {};
        const auto found = places_->find(node_);
        return found == places_->end() ? SourcePlace{} : found->second;
    }

private:
    xmlNodePtr node_;
    size_t* entityBudget_;
    const PlaceMap* places_;
};

// Some messages (I/O errors above all) bypass the parser options and go to the generic error
// handler, which prints to stderr by default. The loader reports nothing, so while a file
// loads the handlers are silent; the host's own handlers come back afterwards. For the
// checker the first fatal error (the one that makes the file not well-formed; later ones
// follow from it) is kept.
void Silent(void*, const char*, ...) {}

struct FirstError {
    int level = XML_ERR_NONE;
    std::string message;
    SourcePlace place;

    static void Keep(void* context, xmlErrorPtr error) {
        auto* self = static_cast<FirstError*>(context);
        if (!self || !error || error->level <= self->level || self->level == XML_ERR_FATAL) return;
        if (error->level < XML_ERR_ERROR) return;
        self->level = error->level;
        self->message = error->message ? error->message : "";
        while (!self->message.empty() &&
               std::isspace(static_cast<unsigned char>(self->message.back()))) {
            self->message.pop_back();
        }
        self->place.line = static_cast<uint32_t>(std::max(error->line, 0));
        self->place.column = static_cast<uint32_t>(std::max(error->int2, 0));
    }
};

class SilentErrors {
public:
    explicit SilentErrors(FirstError* first)
        : generic_(xmlGenericError),
          genericContext_(xmlGenericErrorContext),
          structured_(xmlStructuredError),
          structuredContext_(xmlStructuredErrorContext) {
        xmlSetGenericErrorFunc(nullptr, Silent);
        xmlSetStructuredErrorFunc(first, &FirstError::Keep);
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
struct ContextFree {
    void operator()(xmlParserCtxtPtr context) const { xmlFreeParserCtxt(context); }
};

// Characters (not bytes) of UTF-8 text.
uint32_t CountCharacters(const xmlChar* begin, const xmlChar* end) {
    uint32_t count = 0;
    for (const xmlChar* p = begin; p < end; ++p) count += (*p & 0xC0) != 0x80;
    return count;
}

// Takes the place of libxml2's start-of-element handler while a document is parsed for the
// checker: builds the element as always, then notes where its "<" was. The parser calls it
// once the start tag is read, with the whole tag still in its buffer ('<' cannot occur
// inside a tag), so the place is found by going back from the parser's position.
// Elements parsed from an entity's text (another parser context) get no place.
struct PlaceRecorder {
    xmlParserCtxtPtr context;
    PlaceMap* places;

    static void StartElement(void* ctx, const xmlChar* localname, const xmlChar* prefix,
                             const xmlChar* uri, int namespaceCount, const xmlChar** namespaces,
                             int attributeCount, int defaultedCount, const xmlChar** attributes) {
        xmlSAX2StartElementNs(ctx, localname, prefix, uri, namespaceCount, namespaces,
                              attributeCount, defaultedCount, attributes);
        const auto context = static_cast<xmlParserCtxtPtr>(ctx);
        const auto* self = static_cast<const PlaceRecorder*>(context->_private);
        if (!self || context != self->context || context->inputNr != 1 || !context->node) return;
        try {
            self->places->emplace(context->node, Find(context->input));
        } catch (const std::bad_alloc&) {
            // No exception may cross the parser: the element goes without a place.
        }
    }

    // The column comes from the parser's own count when the tag is on one line; otherwise
    // from the tag's line start, which lies after the previous such tag, so that no text
    // is gone over twice.
    static SourcePlace Find(const xmlParserInput* input) {
        const xmlChar* start = input->cur;
        while (start > input->base && *start != '<') --start;
        if (*start != '<') return {static_cast<uint32_t>(std::max(input->line, 0)), 0};
        uint32_t newlines = 0;
        for (const xmlChar* p = start; p < input->cur; ++p) newlines += *p == '\n';
        SourcePlace place;
        const uint32_t line = static_cast<uint32_t>(std::max(input->line, 0));
        place.line = line - std::min(newlines, line);
        if (newlines == 0) {
            const uint32_t back = CountCharacters(start, input->cur);
            place.column =
                input->col > static_cast<int>(back) ? static_cast<uint32_t>(input->col) - back : 0;
            return place;
        }
        const xmlChar* lineStart = start;
        while (lineStart > input->base && lineStart[-1] != '\n') --lineStart;
        if (lineStart > input->base || input->consumed == 0)
            place.column = 1 + CountCharacters(lineStart, start);
        return place;
    }
};

class Document final : public XmlDocument {
public:
    bool Load(const std::filesystem::path& path, XmlLoadReport* report) override {
        doc_.reset();
        places_.clear();
        entityBudget_ = kEntityTextPerDocument;
        XmlLoadReport ignored;
        XmlLoadReport& why = report ? *report : ignored;
        why = XmlLoadReport();
        // Opened without blocking and checked once open: a FIFO or a device named *.xml is
        // skipped, and none can take the place of the file between the check and the read.
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            why.failure = XmlLoadReport::Failure::CannotOpen;
            if (report) why.message = std::strerror(errno);
            return false;
        }
        struct stat status;
        if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
            why.failure = XmlLoadReport::Failure::NotAFile;
        } else if (static_cast<uintmax_t>(status.st_size) > kMaxXmlFileBytes) {
            why.failure = XmlLoadReport::Failure::TooLarge;
        } else {
            Parse(fd, report);
        }
        ::close(fd);
        return doc_ != nullptr;
    }

    bool RootName(String* name, SourcePlace* place) const override {
        xmlNodePtr root = doc_ ? xmlDocGetRootElement(doc_.get()) : nullptr;
        if (!root) return false;
        const Element element(root, &entityBudget_, &places_);
        *name = element.Name();
        if (place) *place = element.Place();
        return true;
    }

    // "//figure": the elements named "figure" in no namespace, in document order, found by
    // following the tree's links rather than by recursion.
    void ForEachFigure(const std::function<void(const XmlElement&)>& visit) const override {
        xmlNodePtr root = doc_ ? xmlDocGetRootElement(doc_.get()) : nullptr;
        for (xmlNodePtr node = root; node; node = NextElement(node, root)) {
            if (!node->ns && NameIs(node->name, "figure"))
                visit(Element(node, &entityBudget_, &places_));
        }
    }

private:
    void Parse(int fd, XmlLoadReport* report) {
        const std::unique_ptr<xmlParserCtxt, ContextFree> context(xmlNewParserCtxt());
        if (!context) return;
        PlaceRecorder recorder{context.get(), &places_};
        FirstError first;
        if (report) {
            context->_private = &recorder;
            context->sax->startElementNs = &PlaceRecorder::StartElement;
        }
        {
            SilentErrors silent(report ? &first : nullptr);
            DeepDocuments deep;
            doc_.reset(xmlCtxtReadFd(context.get(), fd, nullptr, nullptr,
                                     XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
        }
        if (doc_) return;
        places_.clear();
        if (report) {
            report->failure = XmlLoadReport::Failure::NotWellFormed;
            report->message = std::move(first.message);
            report->place = first.place;
        }
    }

    std::unique_ptr<xmlDoc, DocFree> doc_;
    mutable size_t entityBudget_ = kEntityTextPerDocument;
    PlaceMap places_;
};

}  // namespace

// The parser's global state is set up once and kept: a library must not tear it down
// under other users of libxml2 in the same process.
XmlSession::XmlSession() { xmlInitParser(); }
XmlSession::~XmlSession() = default;

std::unique_ptr<XmlDocument> XmlDocument::Create() { return std::make_unique<Document>(); }

}  // namespace vx::platform
