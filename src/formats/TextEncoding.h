#pragma once

// One-shot conversion of a text between two named encodings. Names are looked up in the
// encoding table (formats/EncodingTable.h); UTF-8, UTF-16 and UTF-32 are converted by
// the engine itself and every other code page through glibc iconv.

#include <cstddef>
#include <string>
#include <string_view>

namespace quillora {

class TextEncoding {
  public:
    // source holds sourceLength units of the source encoding: char16_t units for
    // FromUtf16; for ToUtf16 and Convert, bytes, or host-order 32-bit units when the
    // source is the UTF-32 marker (a name beginning with "UTF-32").
    TextEncoding(std::u16string_view toEncoding, std::u16string_view fromEncoding,
                 const void* source, size_t sourceLength);

    // The source, in fromEncoding bytes (or UTF-32 units), to UTF-16. Bytes that do not
    // decode become U+FFFD (and "?" from ill-formed UTF-8 toward UTF-32) and set lossy.
    // False, with out empty, when no converter exists for fromEncoding.
    bool ToUtf16(std::u16string& out);

    // The source, in UTF-16 units, to toEncoding bytes (UTF-32: host-order 32-bit units).
    // A character the target cannot represent becomes "?" and sets lossy, except for the
    // code pages whose converter does not report losses (UTF-8, UTF-7, the ISO-2022
    // family, HZ, GB18030, ISCII). False, with out empty, when no converter exists.
    bool FromUtf16(std::string& out);

    // Bytes of fromEncoding to bytes of toEncoding, through UTF-16 (UTF-8 and UTF-32
    // directly between each other).
    bool Convert(std::string& out);

    std::u16string toEncoding;
    std::u16string fromEncoding;
    const void* source = nullptr;
    size_t sourceLength = 0;
    // Length of the last result in units of its encoding (bytes, char16_t or char32_t).
    size_t resultLength = 0;
    // A character could not be represented in the target (or did not decode).
    bool lossy = false;
};

// Decoding helpers shared with the loader.

// Whether every byte 0x80 or above starts a well-formed UTF-8 sequence of two to four
// bytes (no overlong forms, surrogates or values past U+10FFFF). Pure ASCII passes.
bool IsWellFormedUtf8(std::string_view bytes);

// UTF-8 to UTF-16, ill-formed sequences becoming U+FFFD; returns whether any did.
bool DecodeUtf8(std::string_view bytes, std::u16string& out);

// UTF-16 to UTF-8, a lone surrogate becoming U+FFFD; returns whether any did.
bool EncodeUtf8(std::u16string_view text, std::string& out);

}  // namespace quillora
