#include "app/Utf8.h"

#include <cstdint>

namespace quillora {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8Impl(std::string& out, char32_t cp) {
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

void AppendUtf16Impl(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

}  // namespace

void AppendUtf8CodePoint(std::string& out, char32_t codePoint) {
    AppendUtf8Impl(out, codePoint);
}

void AppendUtf16CodePoint(std::u16string& out, char32_t codePoint) {
    AppendUtf16Impl(out, codePoint);
}

std::string ToUtf8(std::u16string_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        const char16_t u = wide[i];
        if (u == 0) {
            break;
        }
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            const char32_t cp = 0x10000 + ((char32_t(u) - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
            AppendUtf8Impl(out, cp);
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            AppendUtf8Impl(out, kReplacement);
        } else {
            AppendUtf8Impl(out, u);
        }
    }
    return out;
}

std::u16string FromUtf8(const char* utf8) {
    if (utf8 == nullptr) {
        return {};
    }
    return FromUtf8(std::string_view(utf8));
}

std::u16string FromUtf8(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const size_t n = utf8.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        if (b == 0) {
            break;
        }
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        // Length of the sequence and the valid range of its second byte (Unicode table 3-7).
        size_t len = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        char32_t cp = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            len = 2;
            cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3;
            cp = b & 0x0F;
            if (b == 0xE0)
                lo = 0xA0;
            if (b == 0xED)
                hi = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4;
            cp = b & 0x07;
            if (b == 0xF0)
                lo = 0x90;
            if (b == 0xF4)
                hi = 0x8F;
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        size_t k = 1;
        for (; k < len; ++k) {
            if (i + k >= n)
                break;
            const unsigned char c = p[i + k];
            const bool ok = (k == 1) ? (c >= lo && c <= hi) : IsContinuation(c);
            if (!ok)
                break;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (k < len) {
            out.push_back(kReplacement);
            i += k;  // the maximal ill-formed subpart
            continue;
        }
        AppendUtf16Impl(out, cp);
        i += len;
    }
    return out;
}

}  // namespace quillora
