// System strings with the layout of SysAllocString: a 32-bit byte length, then the
// characters, then a zero unit; callers hold a pointer to the first character.
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/platform.h"

namespace vx::platform {

namespace {
constexpr size_t kPrefix = sizeof(uint32_t);
}

VXCHAR* AllocSysString(const VXCHAR* text) {
    if (!text) return nullptr;
    size_t units = 0;
    while (text[units]) ++units;
    if (units > (UINT32_MAX - kPrefix - sizeof(VXCHAR)) / sizeof(VXCHAR)) throw std::bad_alloc();
    const uint32_t bytes = static_cast<uint32_t>(units * sizeof(VXCHAR));
    // malloc's alignment covers the prefix; the characters follow it at an even offset.
    auto* block = static_cast<unsigned char*>(std::malloc(kPrefix + bytes + sizeof(VXCHAR)));
    if (!block) throw std::bad_alloc();
    std::memcpy(block, &bytes, kPrefix);
    auto* chars = reinterpret_cast<VXCHAR*>(block + kPrefix);
    std::memcpy(chars, text, bytes);
    chars[units] = 0;
    return chars;
}

void FreeSysString(VXCHAR* text) {
    if (!text) return;
    std::free(reinterpret_cast<unsigned char*>(text) - kPrefix);
}

uint32_t SysStringLength(const VXCHAR* text) {
    if (!text) return 0;
    uint32_t bytes;
    std::memcpy(&bytes, reinterpret_cast<const unsigned char*>(text) - kPrefix, kPrefix);
    return bytes / sizeof(VXCHAR);
}

}  // namespace vx::platform
