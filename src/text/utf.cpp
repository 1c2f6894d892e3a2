// UTF-8 <-> UTF-16. Ill-formed UTF-8 is replaced the way Unicode recommends: each maximal
// subpart of an ill-formed sequence (the longest prefix of a well-formed sequence, or a
// single byte that starts none) becomes one U+FFFD, and decoding resumes at the first byte
// that did not fit.
#include "text/utf.h"

#include <cstdint>

namespace vx::text {
namespace {

constexpr uint32_t kReplacement = 0xFFFD;

void PutUtf16(String& out, uint32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<VXCHAR>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<VXCHAR>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<VXCHAR>(0xDC00 + (cp & 0x3FF)));
    }
}

void PutUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

String FromUtf8(std::string_view utf8) {
    String out;
    out.reserve(utf8.size());
    const size_t n = utf8.size();
    size_t i = 0;
    while (i < n) {
        const uint32_t b0 = static_cast<uint8_t>(utf8[i]);
        if (b0 < 0x80) {
            out.push_back(static_cast<VXCHAR>(b0));
            ++i;
            continue;
        }
        // Length and the allowed range of the second byte, which excludes overlong forms,
        // surrogates and values above U+10FFFF; later bytes are 80..BF.
        int length;
        uint32_t low = 0x80, high = 0xBF;
        uint32_t cp;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            length = 2;
            cp = b0 & 0x1F;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            length = 3;
            cp = b0 & 0x0F;
            if (b0 == 0xE0) low = 0xA0;
            if (b0 == 0xED) high = 0x9F;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            length = 4;
            cp = b0 & 0x07;
            if (b0 == 0xF0) low = 0x90;
            if (b0 == 0xF4) high = 0x8F;
        } else {
            out.push_back(static_cast<VXCHAR>(kReplacement));
            ++i;
            continue;
        }
        size_t j = i + 1;
        bool complete = true;
        for (int k = 1; k < length; ++k, ++j) {
            const uint32_t b = j < n ? static_cast<uint8_t>(utf8[j]) : 0;
            if (j >= n || b < low || b > high) {
                complete = false;
                break;
            }
            cp = (cp << 6) | (b & 0x3F);
            low = 0x80;
            high = 0xBF;
        }
        PutUtf16(out, complete ? cp : kReplacement);
        i = j;
    }
    return out;
}

std::string ToUtf8(StringView utf16) {
    std::string out;
    out.reserve(utf16.size());
    const size_t n = utf16.size();
    for (size_t i = 0; i < n; ++i) {
        uint32_t cp = static_cast<uint32_t>(utf16[i]) & 0xFFFF;
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            const uint32_t next = i + 1 < n ? static_cast<uint32_t>(utf16[i + 1]) & 0xFFFF : 0;
            if (cp <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (next - 0xDC00);
                ++i;
            } else {
                cp = kReplacement;
            }
        }
        PutUtf8(out, cp);
    }
    return out;
}

size_t Length(const VXCHAR* text) {
    if (text == nullptr) return 0;
    size_t n = 0;
    while (text[n] != 0) ++n;
    return n;
}

size_t BoundedLength(const VXCHAR* text, size_t max) {
    if (text == nullptr) return 0;
    size_t n = 0;
    while (n < max && text[n] != 0) ++n;
    return n;
}

}  // namespace vx::text
