// Template files of a folder through std::filesystem; the folder and the name are joined
// with "/", and the names stay the bytes the file system gave.
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/file_list.h"
#include "text/utf.h"

namespace vx::platform {

namespace {
// "*.xml" as the Windows listing matches it: the last dot, then "xml" in any case.
bool MatchesXml(const std::string& name) {
    if (name.size() < 4) return false;
    const std::string tail = name.substr(name.size() - 4);
    if (tail[0] != '.') return false;
    for (size_t i = 1; i < 4; ++i) {
        const char c = static_cast<char>(tail[i] | 0x20);
        if (c != "xml"[i - 1]) return false;
    }
    return true;
}
}  // namespace

void ForEachXmlFile(const VXCHAR* folder,
                    const std::function<bool(const std::filesystem::path& path)>& visit) {
    if (!folder) return;
    const std::string base = text::ToUtf8(folder);
    std::error_code error;
    std::filesystem::directory_iterator it(base.empty() ? std::string(".") : base, error);
    const std::filesystem::directory_iterator end;
    for (; !error && it != end; it.increment(error)) {
        if (!MatchesXml(it->path().filename().native())) continue;
        if (!visit(it->path())) return;
    }
}

}  // namespace vx::platform
