#pragma once

// The two text conversions every stored or written text passes through: the program
// keeps text as UTF-16 in memory and as UTF-8 in the database and in files.

#include <string>
#include <string_view>

namespace quillora {

// UTF-16 to UTF-8. The conversion stops at the first NUL unit, so the result never
// contains one. A lone surrogate becomes U+FFFD, as the system converter does.
std::string ToUtf8(std::u16string_view wide);

// UTF-8 to UTF-16. Stops at the first NUL byte; a null pointer gives the empty string.
// Ill-formed sequences (overlong forms, surrogates, values past U+10FFFF, truncated
// sequences) become U+FFFD, one per maximal ill-formed subpart.
std::u16string FromUtf8(const char* utf8);
std::u16string FromUtf8(std::string_view utf8);

// Appends one Unicode code point (at most U+10FFFF) in UTF-8, or in UTF-16 as one unit
// or a surrogate pair. Shared by every converter of the program.
void AppendUtf8CodePoint(std::string& out, char32_t codePoint);
void AppendUtf16CodePoint(std::u16string& out, char32_t codePoint);

}  // namespace quillora
