// Template files of a folder through the C library's wide find-first/find-next, with the
// shell's path join (one backslash between the parts).
#include <windows.h>
#include <io.h>
#include <shlwapi.h>

#include "platform/file_list.h"

namespace vx::platform {

void ForEachXmlFile(const VXCHAR* folder,
                    const std::function<bool(const std::filesystem::path& path)>& visit) {
    if (!folder) return;
    wchar_t pattern[MAX_PATH];
    if (!::PathCombineW(pattern, folder, L"*.xml")) return;
    _wfinddata_t entry;
    const intptr_t listing = ::_wfindfirst(pattern, &entry);
    if (listing == -1) return;
    struct Close {
        intptr_t handle;
        ~Close() { ::_findclose(handle); }
    } close{listing};
    do {
        wchar_t path[MAX_PATH];
        if (!::PathCombineW(path, folder, entry.name)) continue;  // longer than the join allows
        if (!visit(std::filesystem::path(path))) return;
    } while (::_wfindnext(listing, &entry) == 0);
}

}  // namespace vx::platform
