// The folder walk of the template loader: list the files, parse each, hand its figures on.
#include "templates/template_loader.h"

#include "platform/file_list.h"

namespace vx {

namespace {

// False when no document object could be had: the load stops before the next file.
bool LoadFile(const std::filesystem::path& path) {
    std::unique_ptr<platform::XmlDocument> document = platform::XmlDocument::Create();
    if (!document) return false;
    String root;
    if (!document->Load(path) || !document->RootName(&root)) return true;
    if (!EqualsIgnoringCase(root, "figures")) return true;
    document->ForEachFigure([](const platform::XmlElement& figure) { LoadFigure(figure); });
    return true;
}

}  // namespace

void LoadTemplateFolder(const VXCHAR* folder) {
    if (!folder) return;
    platform::XmlSession session;
    try {
        platform::ForEachXmlFile(folder, LoadFile);
    } catch (...) {
        // The load reports nothing; what was stored before the failure stays.
    }
}

}  // namespace vx
