// The loader's document view over the MSXML DOM, reached through COM: the
// version-independent document class, interface IXMLDOMDocument2.
#include <windows.h>
#include <msxml2.h>
#include <oleauto.h>

#include <cctype>
#include <memory>
#include <new>

#include "platform/xml_dom.h"
#include "text/utf.h"

namespace vx::platform {

namespace {

// {F6D90F11-9C73-11D3-B32E-00C04F990BB4}: the version-independent DOM document class.
const CLSID kDomDocumentClass = {
    0xF6D90F11, 0x9C73, 0x11D3, {0xB3, 0x2E, 0x00, 0xC0, 0x4F, 0x99, 0x0B, 0xB4}};
// {2933BF95-7B36-11D2-B20E-00C04F983E60}: IXMLDOMDocument2.
const IID kDomDocument2 = {
    0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

// Owns one interface reference.
template <typename T>
class Ref {
public:
    Ref() = default;
    ~Ref() { Reset(); }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    T** Out() {
        Reset();
        return &p_;
    }
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void Reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }

private:
    T* p_ = nullptr;
};

// Owns one BSTR.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const wchar_t* text) : s_(::SysAllocString(text)) {
        if (text && !s_) throw std::bad_alloc();
    }
    ~Bstr() { ::SysFreeString(s_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR* Out() {
        ::SysFreeString(s_);
        s_ = nullptr;
        return &s_;
    }
    BSTR get() const { return s_; }
    String Text() const { return s_ ? String(s_, ::SysStringLen(s_)) : String(); }

private:
    BSTR s_ = nullptr;
};

String NodeName(IXMLDOMNode* node) {
    Bstr name;
    if (FAILED(node->get_nodeName(name.Out()))) return String();
    return name.Text();
}

bool IsElement(IXMLDOMNode* node) {
    DOMNodeType type = NODE_INVALID;
    return SUCCEEDED(node->get_nodeType(&type)) && type == NODE_ELEMENT;
}

class Element final : public XmlElement {
public:
    explicit Element(IXMLDOMNode* node) : node_(node) {}

    String Name() const override { return NodeName(node_); }

    bool Attribute(const char* name, String* value) const override {
        Ref<IXMLDOMNamedNodeMap> attributes;
        if (FAILED(node_->get_attributes(attributes.Out())) || !attributes) return false;
        String wide;
        for (const char* c = name; *c; ++c)
            wide += static_cast<wchar_t>(static_cast<unsigned char>(*c));
        Bstr key(wide.c_str());
        Ref<IXMLDOMNode> attribute;
        if (attributes->getNamedItem(key.get(), attribute.Out()) != S_OK || !attribute)
            return false;
        VARIANT text;
        ::VariantInit(&text);
        if (FAILED(attribute->get_nodeValue(&text))) return false;
        if (text.vt != VT_BSTR && FAILED(::VariantChangeType(&text, &text, 0, VT_BSTR))) {
            ::VariantClear(&text);
            return false;
        }
        value->assign(text.bstrVal ? text.bstrVal : L"",
                      text.bstrVal ? ::SysStringLen(text.bstrVal) : 0);
        ::VariantClear(&text);
        return true;
    }

    void ForEachChild(const std::function<void(const XmlElement&)>& visit) const override {
        Ref<IXMLDOMNodeList> children;
        if (FAILED(node_->get_childNodes(children.Out())) || !children) return;
        long count = 0;
        if (FAILED(children->get_length(&count))) return;
        for (long i = 0; i < count; ++i) {
            Ref<IXMLDOMNode> child;
            if (children->get_item(i, child.Out()) != S_OK || !child) continue;
            if (IsElement(child.get())) visit(Element(child.get()));
        }
    }

    // The DOM keeps no places of elements.
    SourcePlace Place() const override { return {}; }

private:
    IXMLDOMNode* node_;
};

class Document final : public XmlDocument {
public:
    explicit Document(IXMLDOMDocument2* doc) : doc_(doc) {}
    ~Document() override { doc_->Release(); }
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    bool Load(const std::filesystem::path& path, XmlLoadReport* report) override {
        XmlLoadReport ignored;
        XmlLoadReport& why = report ? *report : ignored;
        why = XmlLoadReport();
        WIN32_FILE_ATTRIBUTE_DATA file;
        if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &file)) {
            why.failure = XmlLoadReport::Failure::CannotOpen;
            return false;
        }
        if ((file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            why.failure = XmlLoadReport::Failure::NotAFile;
            return false;
        }
        if ((uintmax_t{file.nFileSizeHigh} << 32 | file.nFileSizeLow) > kMaxXmlFileBytes) {
            why.failure = XmlLoadReport::Failure::TooLarge;
            return false;
        }
        // Wait for the whole file; neither validate nor fetch anything the file points to,
        // and refuse document types, which bring entities that the DOM expands again at
        // every read of an attribute, without a bound.
        doc_->put_async(VARIANT_FALSE);
        doc_->put_validateOnParse(VARIANT_FALSE);
        doc_->put_resolveExternals(VARIANT_FALSE);
        VARIANT prohibit;
        ::VariantInit(&prohibit);
        prohibit.vt = VT_BOOL;
        prohibit.boolVal = VARIANT_TRUE;
        SetProperty(L"ProhibitDTD", prohibit);
        Bstr name(path.c_str());
        VARIANT source;
        ::VariantInit(&source);
        source.vt = VT_BSTR;
        source.bstrVal = name.get();
        VARIANT_BOOL loaded = VARIANT_FALSE;
        const HRESULT result = doc_->load(source, &loaded);  // source stays owned by name
        if (result != S_OK || loaded != VARIANT_TRUE) {
            if (report) ReadParseError(report);
            return false;
        }
        // A parser that ignores ProhibitDTD (Wine's) is held to it here.
        Ref<IXMLDOMDocumentType> type;
        if (doc_->get_doctype(type.Out()) == S_OK && type) {
            why.failure = XmlLoadReport::Failure::NotWellFormed;
            why.message = "a document type declaration is not allowed";
            return false;
        }
        // "//figure" means the same in XPath and in the older default selection language;
        // ask for XPath where the parser offers the choice.
        Bstr xpath(L"XPath");
        VARIANT language;
        ::VariantInit(&language);
        language.vt = VT_BSTR;
        language.bstrVal = xpath.get();
        SetProperty(L"SelectionLanguage", language);
        return true;
    }

    bool RootName(String* name, SourcePlace* place) const override {
        Ref<IXMLDOMElement> root;
        if (doc_->get_documentElement(root.Out()) != S_OK || !root) return false;
        *name = NodeName(root.get());
        if (place) *place = SourcePlace();
        return true;
    }

    void ForEachFigure(const std::function<void(const XmlElement&)>& visit) const override {
        Bstr query(L"//figure");
        Ref<IXMLDOMNodeList> figures;
        if (FAILED(doc_->selectNodes(query.get(), figures.Out())) || !figures) return;
        long count = 0;
        if (FAILED(figures->get_length(&count))) return;
        for (long i = 0; i < count; ++i) {
            Ref<IXMLDOMNode> figure;
            if (figures->get_item(i, figure.Out()) != S_OK || !figure) continue;
            if (IsElement(figure.get())) visit(Element(figure.get()));
        }
    }

private:
    // The parser's reason and position; a file that cannot be opened has no position.
    void ReadParseError(XmlLoadReport* report) const {
        report->failure = XmlLoadReport::Failure::NotWellFormed;
        Ref<IXMLDOMParseError> error;
        if (doc_->get_parseError(error.Out()) != S_OK || !error) return;
        Bstr reason;
        if (SUCCEEDED(error->get_reason(reason.Out()))) {
            report->message = text::ToUtf8(reason.Text());
            while (!report->message.empty() &&
                   std::isspace(static_cast<unsigned char>(report->message.back()))) {
                report->message.pop_back();
            }
        }
        long line = 0, column = 0;
        if (SUCCEEDED(error->get_line(&line)) && line > 0)
            report->place.line = static_cast<uint32_t>(line);
        if (SUCCEEDED(error->get_linepos(&column)) && column > 0) {
            report->place.column = static_cast<uint32_t>(column);
        }
    }

    // Versions that do not know a property refuse it; the load goes on without it.
    void SetProperty(const wchar_t* name, VARIANT value) {
        Bstr property(name);
        doc_->setProperty(property.get(), value);
    }

    IXMLDOMDocument2* doc_;
};

}  // namespace

XmlSession::XmlSession() {
    // S_FALSE (already initialised on this thread) must be balanced as well; a thread that
    // runs in another apartment model keeps it and is not uninitialised by us.
    release_ = SUCCEEDED(::CoInitialize(nullptr));
}

XmlSession::~XmlSession() {
    if (release_) ::CoUninitialize();
}

std::unique_ptr<XmlDocument> XmlDocument::Create() {
    IXMLDOMDocument2* doc = nullptr;
    if (FAILED(::CoCreateInstance(kDomDocumentClass, nullptr, CLSCTX_INPROC_SERVER, kDomDocument2,
                                  reinterpret_cast<void**>(&doc))) ||
        !doc) {
        return nullptr;
    }
    try {
        return std::make_unique<Document>(doc);
    } catch (...) {
        doc->Release();
        throw;
    }
}

}  // namespace vx::platform
