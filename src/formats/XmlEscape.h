#pragma once

// Escaping of text written into a document, unescaping of attribute values read from
// it, and the CDATA section writer.

#include <string>
#include <string_view>

namespace quillora {

enum EscapeFlags : int {
    // Attribute value: < & > ' " are replaced. Without it (element text): < & > only.
    kEscapeAttribute = 0x1,
    // An "&" that starts a well-formed reference ("&name;", "&#123;", "&#x1F;") is kept.
    kEscapeKeepReferences = 0x2,
};

std::u16string EscapeText(std::u16string_view text, int flags);

// Replaces character references and the named entities of the entity table. A reference
// is at most nine ASCII characters between "&" and ";"; one that is out of reach, holds
// a non-ASCII character, names no entity or gives no Unicode scalar value (0, a
// surrogate, past U+10FFFF) is left as it is.
std::u16string UnescapeText(std::u16string_view text);

// "<![CDATA[" text "]]>", with every "]]>" inside the text split across two sections
// so that only the last "]]>" closes.
std::u16string CdataSection(std::u16string_view text);

}  // namespace quillora
