#include "formats/XmlEscape.h"

#include "formats/EntityTable.h"

namespace quillora {
namespace {

constexpr size_t kMaxReferenceLength = 9;

bool IsAsciiLetter(char16_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char16_t c) {
    return c >= '0' && c <= '9';
}
int HexValue(char16_t c) {
    if (IsDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Length of a well-formed reference at text[at] == '&' up to and including ';', or 0.
size_t WellFormedReferenceLength(std::u16string_view text, size_t at) {
    size_t i = at + 1;
    if (i < text.size() && text[i] == '#') {
        ++i;
        const bool hex = i < text.size() && text[i] == 'x';
        if (hex) {
            ++i;
        }
        const size_t digits = i;
        while (i < text.size() && (hex ? HexValue(text[i]) >= 0 : IsDigit(text[i]))) {
            ++i;
        }
        if (i == digits) {
            return 0;
        }
    } else {
        if (i >= text.size() || !(IsAsciiLetter(text[i]) || text[i] == '_' || text[i] == ':')) {
            return 0;
        }
        while (i < text.size() && (IsAsciiLetter(text[i]) || IsDigit(text[i]) || text[i] == '_' ||
                                   text[i] == ':' || text[i] == '-' || text[i] == '.')) {
            ++i;
        }
    }
    return (i < text.size() && text[i] == ';') ? i - at + 1 : 0;
}

// The code point of a reference body (between "&" and ";"), or -1.
long ReferenceValue(std::u16string_view body) {
    if (body.size() >= 2 && body[0] == '#') {
        const bool hex = body[1] == 'x';
        const std::u16string_view digits = body.substr(hex ? 2 : 1);
        if (digits.empty()) {
            return -1;
        }
        long value = 0;
        for (char16_t c : digits) {
            const int d = hex ? HexValue(c) : (IsDigit(c) ? c - '0' : -1);
            if (d < 0) {
                return -1;
            }
            value = value * (hex ? 16 : 10) + d;
        }
        // At most eight digits after "&#x" or "&#", so no overflow is possible.
        const bool scalar = value > 0 && value <= 0x10FFFF && !(value >= 0xD800 && value <= 0xDFFF);
        return scalar ? value : -1;
    }
    return LookUpEntity(body);
}

}  // namespace

std::u16string EscapeText(std::u16string_view text, int flags) {
    const bool attribute = (flags & kEscapeAttribute) != 0;
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        switch (c) {
            case '<':
                out += u"&lt;";
                break;
            case '>':
                out += u"&gt;";
                break;
            case '&':
                if ((flags & kEscapeKeepReferences) != 0) {
                    if (const size_t n = WellFormedReferenceLength(text, i); n != 0) {
                        out += text.substr(i, n);
                        i += n - 1;
                        break;
                    }
                }
                out += u"&amp;";
                break;
            case '\'':
                out += attribute ? u"&apos;" : u"'";
                break;
            case '"':
                out += attribute ? u"&quot;" : u"\"";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::u16string UnescapeText(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const char16_t c = text[i];
        if (c != '&') {
            out += c;
            ++i;
            continue;
        }
        long value = -1;
        size_t semicolon = 0;
        for (size_t k = i + 1; k < text.size() && k <= i + 1 + kMaxReferenceLength; ++k) {
            if (text[k] >= 0x80) {
                break;
            }
            if (text[k] == ';') {
                semicolon = k;
                break;
            }
        }
        if (semicolon != 0) {
            value = ReferenceValue(text.substr(i + 1, semicolon - i - 1));
        }
        if (value <= 0) {
            out += c;
            ++i;
            continue;
        }
        if (value < 0x10000) {
            out += static_cast<char16_t>(value);
        } else {
            value -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (value >> 10));
            out += static_cast<char16_t>(0xDC00 + (value & 0x3FF));
        }
        i = semicolon + 1;
    }
    return out;
}

std::u16string CdataSection(std::u16string_view text) {
    std::u16string out = u"<![CDATA[";
    size_t from = 0;
    for (;;) {
        const size_t at = text.find(u"]]>", from);
        if (at == std::u16string_view::npos) {
            break;
        }
        out += text.substr(from, at - from);
        out += u"]]]]><![CDATA[>";
        from = at + 3;
    }
    out += text.substr(from);
    out += u"]]>";
    return out;
}

}  // namespace quillora
