// The small view of an XML document object model that the template loader reads through.
// One implementation per build: MSXML through COM (win32/msxml_dom.cpp) and libxml2
// (portable/libxml2_dom.cpp). The view offers only what the loader needs: load a file, the
// root element's name, every element named exactly "figure" at any depth, and for an
// element its name, its attributes by exact name and its element children. Text, comments
// and other nodes never reach the loader.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "text/string.h"

namespace vx::platform {

// Where something is in a file: line and column (characters) counted from 1; 0 where the
// parser does not say.
struct SourcePlace {
    uint32_t line = 0;
    uint32_t column = 0;
};

// An element of a loaded document; valid during the visit that hands it out.
class XmlElement {
public:
    // The element's name as written (with its prefix, if any).
    virtual String Name() const = 0;
    // The value of the attribute of exactly this (ASCII) name; false when it is absent.
    virtual bool Attribute(const char* name, String* value) const = 0;
    // Visits the element children in document order.
    virtual void ForEachChild(const std::function<void(const XmlElement&)>& visit) const = 0;
    // Where the element's start tag begins, for documents loaded with a report; nothing
    // (0, 0) otherwise and wherever the parser keeps no places (MSXML).
    virtual SourcePlace Place() const = 0;

protected:
    ~XmlElement() = default;
};

// Whatever the parser needs around a whole load on the calling thread (COM on Windows).
class XmlSession {
public:
    XmlSession();
    ~XmlSession();
    XmlSession(const XmlSession&) = delete;
    XmlSession& operator=(const XmlSession&) = delete;

private:
    [[maybe_unused]] bool release_ =
        false;  // COM was initialised here and is uninitialised with us
};

// The largest template file that is read. Figure files are a few kilobytes (10,000 figures
// take 1.3 MB), and MSXML as Wine provides it reads a file in a time that grows with the
// square of its size (20 MB: 40 s); a larger file is skipped on every build alike.
constexpr uintmax_t kMaxXmlFileBytes = uintmax_t{4} << 20;

// Why a file was not read, for the figure checker; the loader itself needs no reason.
struct XmlLoadReport {
    enum class Failure { None, CannotOpen, NotAFile, TooLarge, NotWellFormed };
    Failure failure = Failure::None;
    std::string message;  // the system's or the parser's own words (UTF-8), when it has any
    SourcePlace place;    // NotWellFormed: where the parser stopped, when it says
};

// One document: created, loaded from one file, read, destroyed.
class XmlDocument {
public:
    // A new empty document, or null when the parser cannot give one (inside an XmlSession).
    static std::unique_ptr<XmlDocument> Create();
    virtual ~XmlDocument() = default;

    // False when the file cannot be read, is larger than kMaxXmlFileBytes or is not
    // well-formed XML. Nothing beyond the file itself is read: no external entity, external
    // DTD or network resource is fetched. Portable builds open regular files only (after
    // following links), so a FIFO or a device never blocks the load. A report (may be
    // null) receives the reason of a failure, and asks the parser to keep every element's
    // place, which costs time and memory that the loader alone does not spend.
    virtual bool Load(const std::filesystem::path& path, XmlLoadReport* report) = 0;
    // The name of the root element and, when place is not null, its place; false when the
    // document has none.
    virtual bool RootName(String* name, SourcePlace* place) const = 0;
    // Visits every element named exactly "figure", at any depth, in document order.
    virtual void ForEachFigure(const std::function<void(const XmlElement&)>& visit) const = 0;
};

}  // namespace vx::platform
