// The folder walk of the template loader: list the files, parse each, hand its figures on.
#include "templates/template_loader.h"

#include "platform/file_list.h"
#include "text/utf.h"

namespace vx {

namespace {

using Severity = LoadDiagnostics::Severity;

std::string Quoted(StringView text) { return '"' + text::ToUtf8(text) + '"'; }

std::string WhyNotRead(const platform::XmlLoadReport& report) {
    using Failure = platform::XmlLoadReport::Failure;
    switch (report.failure) {
        case Failure::CannotOpen:
            return "the file cannot be read" +
                   (report.message.empty() ? "" : ": " + report.message);
        case Failure::NotAFile: return "not a regular file: it is skipped";
        case Failure::TooLarge: return "the file is larger than 4 MiB: it is skipped";
        case Failure::NotWellFormed:
        case Failure::None: break;
    }
    return "not well-formed XML" + (report.message.empty() ? "" : ": " + report.message);
}

}  // namespace

bool LoadTemplateFile(const std::filesystem::path& path, LoadDiagnostics* sink) {
    if (sink) sink->BeginFile(path);
    std::unique_ptr<platform::XmlDocument> document = platform::XmlDocument::Create();
    if (!document) {
        if (sink)
            sink->Report(Severity::Error, {}, "the XML parser cannot be started: no file is read");
        return false;
    }
    platform::XmlLoadReport report;
    String root;
    platform::SourcePlace place;
    if (!document->Load(path, sink ? &report : nullptr)) {
        if (sink) sink->Report(Severity::Error, report.place, WhyNotRead(report));
        return true;
    }
    if (!document->RootName(&root, sink ? &place : nullptr)) {
        if (sink) sink->Report(Severity::Error, {}, "the document has no root element");
        return true;
    }
    if (!EqualsIgnoringCase(root, "figures")) {
        if (sink) {
            sink->Report(
                Severity::Error, place,
                "the root element is " + Quoted(root) + ", not \"Figures\": the file is skipped");
        }
        return true;
    }
    bool any = false;
    document->ForEachFigure([&](const platform::XmlElement& figure) {
        any = true;
        LoadFigure(figure, TemplateLibrary::Instance(), sink);
    });
    if (sink && !any)
        sink->Report(Severity::Warning, place, "no element \"figure\": the file adds nothing");
    return true;
}

void LoadTemplateFolder(const VXCHAR* folder, LoadDiagnostics* sink) {
    if (!folder) return;
    platform::XmlSession session;
    try {
        platform::ForEachXmlFile(folder, [sink](const std::filesystem::path& path) {
            return LoadTemplateFile(path, sink);
        });
    } catch (...) {
        // The load reports nothing; what was stored before the failure stays.
    }
}

}  // namespace vx
