#pragma once

// Node-by-node scanning of XML text and attribute scanning inside one start tag, shared
// by the parser, the attribute accessors and the declared-encoding detection.

#include <cstddef>
#include <string>
#include <string_view>

namespace quillora {

enum class XmlNodeKind {
    Text,  // text or whitespace, up to the next "<"
    StartTag,
    EmptyTag,
    EndTag,
    ProcessingInstruction,
    Comment,
    Cdata,
    DocumentType,
    SyntaxError,   // error names the log entry; scanning resumes after the "<"
    Unterminated,  // the text ends inside the node; error names its type
};

struct XmlNode {
    XmlNodeKind kind = XmlNodeKind::Text;
    size_t start = 0;
    size_t end = 0;  // one past the node; where the next node starts
    // Tag name of a start, empty or end tag.
    size_t nameStart = 0;
    size_t nameEnd = 0;
    std::u16string_view error;
};

inline bool IsXmlBlank(char16_t c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The node starting at pos (pos < text.size()).
XmlNode ScanNode(std::u16string_view text, size_t pos);

// End of the tag name that starts at pos: the first blank, "/" or ">" (or end).
size_t TagNameEnd(std::u16string_view text, size_t pos, size_t end);

struct AttributeSpan {
    bool found = false;
    size_t nameStart = 0;
    size_t nameEnd = 0;
    bool hasValue = false;  // the name is followed by "="
    size_t valueStart = 0;  // value without its quotes
    size_t valueEnd = 0;
    size_t rawStart = 0;  // the opening quote (or the unquoted value)
    size_t rawEnd = 0;    // past the closing quote (or the unquoted value)
    size_t stop = 0;      // where the scan stopped: at "/", ">" or "?" (or the tag's end)
};

// Scans the start tag text[tagStart, tagEnd) for the first attribute called name.
AttributeSpan FindAttribute(std::u16string_view text, size_t tagStart, size_t tagEnd,
                            std::u16string_view name, bool ignoreCase);

bool EqualNames(std::u16string_view a, std::u16string_view b, bool ignoreCase);

// The encoding a document declares in its first nodes: the XML declaration's
// "encoding", or in an html document the charset of a <meta http-equiv="Content-Type">
// before </head>. Empty when it declares none.
std::u16string FindDeclaredEncoding(std::u16string_view text);

}  // namespace quillora
