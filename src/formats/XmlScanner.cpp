#include "formats/XmlScanner.h"

namespace quillora {
namespace {

bool IsTagStart(char16_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == ':' || c == '_' || c >= '{';
}

bool IsQuote(char16_t c) {
    return c == '"' || c == '\'';
}

char16_t LowerAscii(char16_t c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char16_t>(c - 'A' + 'a') : c;
}

size_t Find(std::u16string_view text, char16_t c, size_t from) {
    for (size_t i = from; i < text.size(); ++i) {
        if (text[i] == c) {
            return i;
        }
    }
    return std::u16string_view::npos;
}

XmlNode Error(size_t pos, std::u16string_view entry) {
    XmlNode node;
    node.kind = XmlNodeKind::SyntaxError;
    node.start = pos;
    node.end = pos + 1;
    node.error = entry;
    return node;
}

XmlNode Unterminated(std::u16string_view text, size_t pos, std::u16string_view type) {
    XmlNode node;
    node.kind = XmlNodeKind::Unterminated;
    node.start = pos;
    node.end = text.size();
    node.error = type;
    return node;
}

// A node closed by a fixed marker ("?>", "-->", "]]>") searched from 'from'.
XmlNode Delimited(std::u16string_view text, size_t pos, size_t from, std::u16string_view marker,
                  XmlNodeKind kind, std::u16string_view type) {
    const size_t at = text.find(marker, from);
    if (at == std::u16string_view::npos) {
        return Unterminated(text, pos, type);
    }
    XmlNode node;
    node.kind = kind;
    node.start = pos;
    node.end = at + marker.size();
    return node;
}

XmlNode ScanStartTag(std::u16string_view text, size_t pos) {
    const size_t n = text.size();
    XmlNode node;
    node.start = pos;
    node.nameStart = pos + 1;
    node.nameEnd = TagNameEnd(text, pos + 1, n);
    char16_t last = 0;  // the last non-blank character after the name
    size_t i = node.nameEnd;
    while (i < n) {
        const char16_t c = text[i];
        if (c == '>') {
            node.end = i + 1;
            const bool empty =
                text[i - 1] == '/' &&
                (i - 1 == node.nameEnd || IsXmlBlank(text[i - 2]) || IsQuote(text[i - 2]));
            node.kind = empty ? XmlNodeKind::EmptyTag : XmlNodeKind::StartTag;
            return node;
        }
        // A quote opens a value only right after "=", so ">" inside it does not end the tag.
        if (IsQuote(c) && last == '=') {
            const size_t close = Find(text, c, i + 1);
            if (close == std::u16string_view::npos) {
                break;
            }
            i = close + 1;
            last = c;
            continue;
        }
        if (!IsXmlBlank(c)) {
            last = c;
        }
        ++i;
    }
    return Unterminated(text, pos, u"start_tag");
}

XmlNode ScanDocumentType(std::u16string_view text, size_t pos) {
    const size_t n = text.size();
    size_t i = pos + 2;
    while (i < n) {
        const char16_t c = text[i];
        if (c == '>') {
            XmlNode node;
            node.kind = XmlNodeKind::DocumentType;
            node.start = pos;
            node.end = i + 1;
            return node;
        }
        if (IsQuote(c)) {
            const size_t close = Find(text, c, i + 1);
            if (close == std::u16string_view::npos) {
                break;
            }
            i = close + 1;
            continue;
        }
        if (c != '[') {
            ++i;
            continue;
        }
        // Internal subset: element, attribute-list, entity and notation declarations.
        ++i;
        while (i < n && text[i] != ']') {
            const char16_t d = text[i];
            if (IsQuote(d)) {
                const size_t close = Find(text, d, i + 1);
                if (close == std::u16string_view::npos) {
                    return Unterminated(text, pos, u"document_type");
                }
                i = close + 1;
                continue;
            }
            if (d != '<') {
                ++i;
                continue;
            }
            if (i + 2 >= n) {
                return Unterminated(text, pos, u"document_type");
            }
            const char16_t kind = text[i + 2];
            if (text[i + 1] != '!' || (kind != 'E' && kind != 'A' && kind != 'N')) {
                return Error(pos, u"doctype_tag_syntax");
            }
            i += 3;
            while (i < n && text[i] != '>') {
                if (IsQuote(text[i])) {
                    const size_t close = Find(text, text[i], i + 1);
                    if (close == std::u16string_view::npos) {
                        return Unterminated(text, pos, u"document_type");
                    }
                    i = close;
                }
                ++i;
            }
            if (i >= n) {
                return Unterminated(text, pos, u"document_type");
            }
            ++i;
        }
        if (i < n) {
            ++i;  // the "]"
        }
    }
    return Unterminated(text, pos, u"document_type");
}

}  // namespace

size_t TagNameEnd(std::u16string_view text, size_t pos, size_t end) {
    if (end > text.size()) {
        end = text.size();
    }
    size_t i = pos;
    while (i < end && !IsXmlBlank(text[i]) && text[i] != '/' && text[i] != '>') {
        ++i;
    }
    return i;
}

XmlNode ScanNode(std::u16string_view text, size_t pos) {
    const size_t n = text.size();
    if (text[pos] != '<') {
        XmlNode node;
        node.kind = XmlNodeKind::Text;
        node.start = pos;
        const size_t next = Find(text, '<', pos);
        node.end = next == std::u16string_view::npos ? n : next;
        return node;
    }
    if (pos + 1 >= n) {
        return Unterminated(text, pos, u"tag");
    }
    const char16_t c = text[pos + 1];
    if (IsTagStart(c)) {
        return ScanStartTag(text, pos);
    }
    switch (c) {
        case '/': {
            const size_t close = Find(text, '>', pos + 2);
            if (close == std::u16string_view::npos) {
                return Unterminated(text, pos, u"end_tag");
            }
            XmlNode node;
            node.kind = XmlNodeKind::EndTag;
            node.start = pos;
            node.end = close + 1;
            node.nameStart = pos + 2;
            node.nameEnd = node.nameStart;
            while (node.nameEnd < close && !IsXmlBlank(text[node.nameEnd])) {
                ++node.nameEnd;
            }
            return node;
        }
        case '?':
            return Delimited(text, pos, pos + 2, u"?>", XmlNodeKind::ProcessingInstruction,
                             u"processing_instruction");
        case '!':
            break;
        default:
            return Error(pos, u"first_tag_syntax");
    }
    if (pos + 2 >= n) {
        return Unterminated(text, pos, u"tag");
    }
    switch (text[pos + 2]) {
        case '-':
            if (pos + 3 >= n) {
                return Unterminated(text, pos, u"tag");
            }
            if (text[pos + 3] != '-') {
                return Error(pos, u"comment_tag_syntax");
            }
            return Delimited(text, pos, pos + 4, u"-->", XmlNodeKind::Comment, u"comment");
        case '[':
            if (pos + 3 >= n) {
                return Unterminated(text, pos, u"tag");
            }
            if (text[pos + 3] != 'C') {
                return Error(pos, u"cdata_section_syntax");
            }
            return Delimited(text, pos, pos + 3, u"]]>", XmlNodeKind::Cdata, u"cdata_section");
        case 'D':
            return ScanDocumentType(text, pos);
        default:
            return Error(pos, u"exclamation_tag_syntax");
    }
}

bool EqualNames(std::u16string_view a, std::u16string_view b, bool ignoreCase) {
    if (a.size() != b.size()) {
        return false;
    }
    if (!ignoreCase) {
        return a == b;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

AttributeSpan FindAttribute(std::u16string_view text, size_t tagStart, size_t tagEnd,
                            std::u16string_view name, bool ignoreCase) {
    AttributeSpan span;
    if (tagEnd > text.size()) {
        tagEnd = text.size();
    }
    size_t i = TagNameEnd(text, tagStart + 1, tagEnd);
    for (;;) {
        while (i < tagEnd && IsXmlBlank(text[i])) {
            ++i;
        }
        if (i >= tagEnd || text[i] == '/' || text[i] == '>' || text[i] == '?') {
            span.stop = i;
            return span;
        }
        const size_t nameStart = i;
        while (i < tagEnd && !IsXmlBlank(text[i]) && text[i] != '=' && text[i] != '/' &&
               text[i] != '>' && text[i] != '?') {
            ++i;
        }
        const size_t nameEnd = i;
        size_t j = i;
        while (j < tagEnd && IsXmlBlank(text[j])) {
            ++j;
        }
        bool hasValue = false;
        size_t valueStart = nameEnd;
        size_t valueEnd = nameEnd;
        size_t rawStart = nameEnd;
        if (j < tagEnd && text[j] == '=') {
            hasValue = true;
            ++j;
            while (j < tagEnd && IsXmlBlank(text[j])) {
                ++j;
            }
            rawStart = j;
            if (j < tagEnd && IsQuote(text[j])) {
                const char16_t quote = text[j];
                valueStart = j + 1;
                valueEnd = valueStart;
                while (valueEnd < tagEnd && text[valueEnd] != quote) {
                    ++valueEnd;
                }
                i = valueEnd < tagEnd ? valueEnd + 1 : tagEnd;
            } else {
                valueStart = j;
                valueEnd = j;
                while (valueEnd < tagEnd && !IsXmlBlank(text[valueEnd]) && text[valueEnd] != '>') {
                    ++valueEnd;
                }
                i = valueEnd;
            }
        }
        if (EqualNames(text.substr(nameStart, nameEnd - nameStart), name, ignoreCase) &&
            nameEnd > nameStart) {
            span.found = true;
            span.nameStart = nameStart;
            span.nameEnd = nameEnd;
            span.hasValue = hasValue;
            span.valueStart = valueStart;
            span.valueEnd = valueEnd;
            span.rawStart = rawStart;
            span.rawEnd = i;
            return span;
        }
    }
}

std::u16string FindDeclaredEncoding(std::u16string_view text) {
    const size_t n = text.size();
    if (text.substr(0, 5) == u"<?xml" && (n == 5 || IsXmlBlank(text[5]) || text[5] == '?')) {
        const XmlNode decl = ScanNode(text, 0);
        const AttributeSpan span = FindAttribute(text, 0, decl.end, u"encoding", false);
        if (span.found && span.hasValue) {
            return std::u16string(text.substr(span.valueStart, span.valueEnd - span.valueStart));
        }
        return {};
    }
    bool inHtml = false;
    size_t pos = 0;
    while (pos < n) {
        const XmlNode node = ScanNode(text, pos);
        if (node.kind == XmlNodeKind::Unterminated) {
            break;
        }
        const std::u16string_view name = text.substr(node.nameStart, node.nameEnd - node.nameStart);
        if (node.kind == XmlNodeKind::StartTag || node.kind == XmlNodeKind::EmptyTag) {
            if (!inHtml) {
                if (node.kind != XmlNodeKind::StartTag || !EqualNames(name, u"html", true)) {
                    return {};
                }
                inHtml = true;
            } else if (EqualNames(name, u"meta", true)) {
                const AttributeSpan equiv =
                    FindAttribute(text, node.start, node.end, u"http-equiv", true);
                const AttributeSpan content =
                    FindAttribute(text, node.start, node.end, u"content", true);
                if (equiv.found && content.found &&
                    EqualNames(text.substr(equiv.valueStart, equiv.valueEnd - equiv.valueStart),
                               u"Content-Type", true)) {
                    const std::u16string_view value =
                        text.substr(content.valueStart, content.valueEnd - content.valueStart);
                    for (size_t k = 0; k + 7 <= value.size(); ++k) {
                        if (!EqualNames(value.substr(k, 7), u"charset", true)) {
                            continue;
                        }
                        size_t v = k + 7;
                        while (v < value.size() && IsXmlBlank(value[v])) {
                            ++v;
                        }
                        if (v >= value.size() || value[v] != '=') {
                            continue;
                        }
                        ++v;
                        while (v < value.size() && IsXmlBlank(value[v])) {
                            ++v;
                        }
                        size_t e = v;
                        while (e < value.size() && value[e] != ';' && !IsXmlBlank(value[e]) &&
                               !IsQuote(value[e])) {
                            ++e;
                        }
                        return std::u16string(value.substr(v, e - v));
                    }
                }
            }
        } else if (node.kind == XmlNodeKind::EndTag && inHtml && EqualNames(name, u"head", true)) {
            return {};
        }
        pos = node.end;
    }
    return {};
}

}  // namespace quillora
