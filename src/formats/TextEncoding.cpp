#include "formats/TextEncoding.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "app/Utf8.h"
#include "formats/EncodingTable.h"

namespace quillora {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr const char* kHostUtf16 =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

bool IsHighSurrogate(char32_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char32_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}
bool IsScalarValue(char32_t cp) {
    return cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
}

// One UTF-8 sequence at p (n > 0 bytes left). Returns the bytes it takes; on an
// ill-formed sequence cp is kReplacement, ok is false and the length is that of its
// maximal well-formed prefix (at least 1), so decoding resumes at the next candidate.
size_t DecodeOneUtf8(const unsigned char* p, size_t n, char32_t& cp, bool& ok) {
    const unsigned char b = p[0];
    ok = true;
    if (b < 0x80) {
        cp = b;
        return 1;
    }
    size_t need = 0;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        need = 1;
        cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        need = 2;
        cp = b & 0x0F;
        if (b == 0xE0) {
            lo = 0xA0;
        } else if (b == 0xED) {
            hi = 0x9F;
        }
    } else if (b >= 0xF0 && b <= 0xF4) {
        need = 3;
        cp = b & 0x07;
        if (b == 0xF0) {
            lo = 0x90;
        } else if (b == 0xF4) {
            hi = 0x8F;
        }
    } else {
        ok = false;
        cp = kReplacement;
        return 1;
    }
    for (size_t i = 1; i <= need; ++i) {
        const unsigned char c = i < n ? p[i] : 0;
        const unsigned char first = i == 1 ? lo : 0x80;
        const unsigned char last = i == 1 ? hi : 0xBF;
        if (i >= n || c < first || c > last) {
            ok = false;
            cp = kReplacement;
            return i;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    return need + 1;
}

void AppendUtf16(std::u16string& out, char32_t cp) {
    AppendUtf16CodePoint(out, cp);
}

void AppendUtf8(std::string& out, char32_t cp) {
    AppendUtf8CodePoint(out, cp);
}

void AppendUnit32(std::string& out, char32_t cp) {
    char bytes[4];
    std::memcpy(bytes, &cp, 4);
    out.append(bytes, 4);
}

// The code pages whose Windows converter refuses to report a used default character,
// so a loss toward them is never flagged.
bool ReportsLoss(int codePage) {
    switch (codePage) {
        case 50220:
        case 50221:
        case 50222:
        case 50225:
        case 50227:
        case 50229:
        case 52936:
        case 54936:
        case 65000:
        case 65001:
            return false;
        default:
            return !(codePage >= 57002 && codePage <= 57011);
    }
}

class IconvHandle {
  public:
    IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~IconvHandle() {
        if (valid()) {
            iconv_close(cd_);
        }
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

  private:
    iconv_t cd_;
};

// Output of one iconv call into a growing buffer; false on a hard error. An input
// error (EILSEQ, EINVAL) stops the call with ok set and *error holding errno.
bool IconvStep(iconv_t cd, char** in, size_t* inLeft, std::string& out, size_t& used,
               int* inputError) {
    *inputError = 0;
    for (;;) {
        char* outPtr = out.data() + used;
        size_t outLeft = out.size() - used;
        const size_t r = iconv(cd, in, inLeft, &outPtr, &outLeft);
        const int error = errno;
        used = static_cast<size_t>(outPtr - out.data());
        if (r != static_cast<size_t>(-1)) {
            return true;
        }
        if (error == E2BIG) {
            out.resize(out.size() * 2 + 16);
            continue;
        }
        if (in != nullptr && (error == EILSEQ || error == EINVAL)) {
            *inputError = error;
            return true;
        }
        return false;
    }
}

// Runs iconv over the whole input. At an input character it cannot convert, skip(at)
// says how many input bytes to drop; then replacementIn (input of the same converter,
// so a stateful target stays consistent) or else replacementOut is written.
template <typename Skip>
bool RunIconv(IconvHandle& cd, const char* in, size_t inLength, std::string& out, Skip skip,
              std::string_view replacementIn, std::string_view replacementOut) {
    out.assign(inLength * 2 + 16, '\0');
    size_t used = 0;
    char* inPtr = const_cast<char*>(in);
    size_t inLeft = inLength;
    while (inLeft > 0) {
        int inputError = 0;
        if (!IconvStep(cd.get(), &inPtr, &inLeft, out, used, &inputError)) {
            out.resize(used);
            return false;
        }
        if (inputError == 0) {
            break;
        }
        size_t drop = skip(static_cast<size_t>(inPtr - in));
        drop = drop == 0 ? 1 : (drop > inLeft ? inLeft : drop);
        inPtr += drop;
        inLeft -= drop;
        if (!replacementIn.empty()) {
            char* rPtr = const_cast<char*>(replacementIn.data());
            size_t rLeft = replacementIn.size();
            IconvStep(cd.get(), &rPtr, &rLeft, out, used, &inputError);
        } else {
            if (out.size() < used + replacementOut.size()) {
                out.resize(used + replacementOut.size() + inLeft * 2 + 16);
            }
            std::memcpy(out.data() + used, replacementOut.data(), replacementOut.size());
            used += replacementOut.size();
        }
    }
    // Stateful targets return to their initial shift state at the end.
    int ignored = 0;
    const bool flushed = IconvStep(cd.get(), nullptr, nullptr, out, used, &ignored);
    out.resize(used);
    return flushed;
}

bool IconvFromUtf16(const char* iconvName, std::u16string_view text, bool reportLoss,
                    std::string& out, bool& lossy) {
    IconvHandle cd(iconvName, kHostUtf16);
    if (!cd.valid()) {
        out.clear();
        return false;
    }
    static const char16_t kQuestion = u'?';
    const char* in = reinterpret_cast<const char*>(text.data());
    return RunIconv(cd, in, text.size() * 2, out,
                    [&](size_t at) {
                        const size_t unit = at / 2;
                        if (reportLoss) {
                            lossy = true;
                        }
                        const bool pair = unit + 1 < text.size() && IsHighSurrogate(text[unit]) &&
                                          IsLowSurrogate(text[unit + 1]);
                        return size_t{pair ? 4u : 2u};
                    },
                    std::string_view(reinterpret_cast<const char*>(&kQuestion), 2), {});
}

bool IconvToUtf16(const char* iconvName, const char* bytes, size_t length, std::u16string& out,
                  bool& lossy) {
    IconvHandle cd(kHostUtf16, iconvName);
    out.clear();
    if (!cd.valid()) {
        return false;
    }
    static const char16_t kFffd = kReplacement;
    std::string buf;
    const bool ok = RunIconv(
        cd, bytes, length, buf,
        [&](size_t) {
            lossy = true;
            return size_t{1};
        },
        {}, std::string_view(reinterpret_cast<const char*>(&kFffd), 2));
    out.resize(buf.size() / 2);
    std::memcpy(out.data(), buf.data(), out.size() * 2);
    return ok;
}

}  // namespace

bool IsWellFormedUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        char32_t cp = 0;
        bool ok = false;
        i += DecodeOneUtf8(p + i, n - i, cp, ok);
        if (!ok) {
            return false;
        }
    }
    return true;
}

bool DecodeUtf8(std::string_view bytes, std::u16string& out) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    // UTF-16 never needs more units than UTF-8 has bytes.
    out.resize(n);
    char16_t* o = out.data();
    bool replaced = false;
    size_t i = 0;
    while (i < n) {
        // ASCII runs are the common case of every file the program reads.
        while (i < n && p[i] < 0x80) {
            *o++ = p[i++];
        }
        if (i >= n) {
            break;
        }
        char32_t cp = 0;
        bool ok = false;
        i += DecodeOneUtf8(p + i, n - i, cp, ok);
        replaced |= !ok;
        if (cp < 0x10000) {
            *o++ = static_cast<char16_t>(cp);
        } else {
            cp -= 0x10000;
            *o++ = static_cast<char16_t>(0xD800 + (cp >> 10));
            *o++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        }
    }
    out.resize(static_cast<size_t>(o - out.data()));
    return replaced;
}

bool EncodeUtf8(std::u16string_view text, std::string& out) {
    out.clear();
    out.reserve(text.size() + text.size() / 4);
    bool replaced = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (u < 0x80) {
            out.push_back(static_cast<char>(u));
        } else if (IsHighSurrogate(u) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            AppendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
            AppendUtf8(out, kReplacement);
            replaced = true;
        } else {
            AppendUtf8(out, u);
        }
    }
    return replaced;
}

TextEncoding::TextEncoding(std::u16string_view to, std::u16string_view from, const void* src,
                           size_t srcLength)
    : toEncoding(to), fromEncoding(from), source(src), sourceLength(srcLength) {}

bool TextEncoding::ToUtf16(std::u16string& out) {
    out.clear();
    resultLength = 0;
    const int codePage = LookUpCodePage(fromEncoding);
    const char* bytes = static_cast<const char*>(source);
    if (source == nullptr || sourceLength == 0) {
        return IconvNameOfCodePage(codePage) != nullptr || codePage == kUtf32CodePage;
    }
    bool ok = true;
    if (codePage == kUtf32CodePage) {
        for (size_t i = 0; i < sourceLength; ++i) {
            char32_t cp;
            std::memcpy(&cp, bytes + i * 4, 4);
            if (!IsScalarValue(cp)) {
                cp = u'?';
                lossy = true;
            }
            AppendUtf16(out, cp);
        }
    } else if (codePage == kUtf8CodePage) {
        lossy |= DecodeUtf8(std::string_view(bytes, sourceLength), out);
    } else if (codePage == kUtf16LeCodePage || codePage == kUtf16BeCodePage) {
        const bool swap =
            (codePage == kUtf16BeCodePage) == (std::endian::native == std::endian::little);
        out.resize(sourceLength / 2);
        std::memcpy(out.data(), bytes, out.size() * 2);
        if (swap) {
            for (char16_t& u : out) {
                u = static_cast<char16_t>((u >> 8) | (u << 8));
            }
        }
        lossy |= sourceLength % 2 != 0;
    } else {
        const char* name = IconvNameOfCodePage(codePage);
        ok = name != nullptr && IconvToUtf16(name, bytes, sourceLength, out, lossy);
    }
    resultLength = out.size();
    return ok;
}

bool TextEncoding::FromUtf16(std::string& out) {
    out.clear();
    resultLength = 0;
    const int codePage = LookUpCodePage(toEncoding);
    const std::u16string_view text(static_cast<const char16_t*>(source),
                                   source == nullptr ? 0 : sourceLength);
    bool ok = true;
    if (codePage == kUtf32CodePage) {
        for (size_t i = 0; i < text.size(); ++i) {
            char32_t cp = text[i];
            if (IsHighSurrogate(cp) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
                ++i;
            } else if (IsHighSurrogate(cp) || IsLowSurrogate(cp)) {
                cp = u'?';
                lossy = true;
            }
            AppendUnit32(out, cp);
        }
        resultLength = out.size() / 4;
        return true;
    }
    if (codePage == kUtf8CodePage) {
        // The UTF-8 converter does not report losses; a lone surrogate becomes U+FFFD.
        EncodeUtf8(text, out);
    } else if (codePage == kUtf16LeCodePage || codePage == kUtf16BeCodePage) {
        const bool swap =
            (codePage == kUtf16BeCodePage) == (std::endian::native == std::endian::little);
        out.resize(text.size() * 2);
        for (size_t i = 0; i < text.size(); ++i) {
            const char16_t u =
                swap ? static_cast<char16_t>((text[i] >> 8) | (text[i] << 8)) : text[i];
            std::memcpy(&out[i * 2], &u, 2);
        }
    } else {
        const char* name = IconvNameOfCodePage(codePage);
        ok = name != nullptr && IconvFromUtf16(name, text, ReportsLoss(codePage), out, lossy);
    }
    resultLength = out.size();
    return ok;
}

bool TextEncoding::Convert(std::string& out) {
    out.clear();
    resultLength = 0;
    const int from = LookUpCodePage(fromEncoding);
    const int to = LookUpCodePage(toEncoding);
    const char* bytes = static_cast<const char*>(source);
    if (from == kUtf8CodePage && to == kUtf32CodePage) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes);
        size_t i = 0;
        while (i < sourceLength) {
            char32_t cp = 0;
            bool ok = false;
            i += DecodeOneUtf8(p + i, sourceLength - i, cp, ok);
            if (!ok) {
                cp = u'?';
                lossy = true;
            }
            AppendUnit32(out, cp);
        }
        resultLength = out.size() / 4;
        return true;
    }
    if (from == kUtf32CodePage && to == kUtf8CodePage) {
        for (size_t i = 0; i < sourceLength; ++i) {
            char32_t cp;
            std::memcpy(&cp, bytes + i * 4, 4);
            if (!IsScalarValue(cp)) {
                cp = u'?';
                lossy = true;
            }
            AppendUtf8(out, cp);
        }
        resultLength = out.size();
        return true;
    }
    std::u16string wide;
    TextEncoding in(u"UTF-16", fromEncoding, source, sourceLength);
    const bool decoded = in.ToUtf16(wide);
    lossy |= in.lossy;
    if (!decoded) {
        return false;
    }
    TextEncoding outward(toEncoding, u"UTF-16", wide.data(), wide.size());
    const bool encoded = outward.FromUtf16(out);
    lossy |= outward.lossy;
    resultLength = outward.resultLength;
    return encoded;
}

}  // namespace quillora
