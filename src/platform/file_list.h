// Listing the template files of a folder.
#pragma once

#include <filesystem>
#include <functional>

#include "text/string.h"

namespace vx::platform {

// Calls visit with the full path of every entry of folder whose name matches "*.xml", in
// the order the file system lists them, until visit answers false. The path is the folder
// and the name joined by the platform's separator, in the file system's own form (a name
// that is not valid UTF-8 on a portable build reaches the parser as it is). A folder that
// does not exist or cannot be listed gives no call.
void ForEachXmlFile(const VXCHAR* folder,
                    const std::function<bool(const std::filesystem::path& path)>& visit);

}  // namespace vx::platform
