// Reading a document from a file and writing it back: byte-order marks, the declared
// encoding and the conversion to and from the UTF-16 text.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "formats/EncodingTable.h"
#include "formats/TextEncoding.h"
#include "formats/XmlDocument.h"
#include "formats/XmlResultLog.h"
#include "formats/XmlScanner.h"

namespace quillora {
namespace {

struct ByteOrderMark {
    std::string_view bytes;
    std::u16string_view encoding;
    int flag;
};

// Tried in this order, on load and on save.
constexpr ByteOrderMark kByteOrderMarks[] = {
    {"\xEF\xBB\xBF", u"UTF-8", kXmlUtf8Bom},
    {"\xFF\xFE", u"UTF-16LE", kXmlUtf16LeBom},
    {"\xFE\xFF", u"UTF-16BE", kXmlUtf16BeBom},
};

constexpr int kBomFlags = kXmlUtf8Bom | kXmlUtf16LeBom | kXmlUtf16BeBom;
constexpr int kFileFlags = kXmlReadingFile | kXmlWritingFile;
constexpr size_t kSniffLength = 1024;

void LogFileError(std::u16string& log, int error) {
    std::string message = std::strerror(error);
    message = message.substr(0, message.find('\n'));
    AddResult(log, u"file_error", u"msg", std::u16string(message.begin(), message.end()),
              {{u"n", error}});
}

}  // namespace

void XmlDocument::DecodeBytes(std::string_view bytes) {
    std::u16string encoding;
    const ByteOrderMark* mark = nullptr;
    for (const ByteOrderMark& m : kByteOrderMarks) {
        if (bytes.substr(0, m.bytes.size()) == m.bytes) {
            mark = &m;
            break;
        }
    }
    if (mark != nullptr) {
        encoding = mark->encoding;
        flags_ |= mark->flag;
        bytes.remove_prefix(mark->bytes.size());
        AddResult(result_, u"bom");
    } else {
        std::u16string head;
        DecodeUtf8(bytes.substr(0, kSniffLength), head);
        encoding = FindDeclaredEncoding(head);
        if (encoding.empty() && !bytes.empty() && bytes[0] == '<') {
            encoding = u"UTF-8";
        }
    }

    if (mark != nullptr && mark->flag != kXmlUtf8Bom) {
        const bool bigEndian = mark->flag == kXmlUtf16BeBom;
        const size_t units = bytes.size() / 2;
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        text_.resize(units);
        size_t kept = 0;
        for (size_t i = 0; i < units; ++i) {
            const char16_t u = bigEndian ? static_cast<char16_t>(p[2 * i] << 8 | p[2 * i + 1])
                                         : static_cast<char16_t>(p[2 * i] | p[2 * i + 1] << 8);
            if (u != 0) {
                text_[kept++] = u;
            }
        }
        text_.resize(kept);
        if (kept != units) {
            AddResult(result_, u"nulls_removed", {{u"count", static_cast<int64_t>(units - kept)}});
        }
        if (bigEndian) {
            AddResult(result_, u"endian_swap");
        }
        AddResult(result_, u"read", u"encoding", encoding,
                  {{u"length", static_cast<int64_t>(text_.size())}});
        return;
    }

    AddResult(result_, u"read", u"encoding", encoding,
              {{u"length", static_cast<int64_t>(bytes.size())}});
    std::string withoutNulls;
    if (std::memchr(bytes.data(), 0, bytes.size()) != nullptr) {
        withoutNulls.reserve(bytes.size());
        for (char c : bytes) {
            if (c != 0) {
                withoutNulls.push_back(c);
            }
        }
        AddResult(result_, u"nulls_removed",
                  {{u"count", static_cast<int64_t>(bytes.size() - withoutNulls.size())}});
        bytes = withoutNulls;
    }
    if (encoding.empty()) {
        if (IsWellFormedUtf8(bytes)) {
            encoding = u"UTF-8";
        }
        AddResult(result_, u"utf8_detection");
    }
    // The UTF-32 marker counts its source in 32-bit units; every other encoding in bytes.
    const size_t units =
        LookUpCodePage(encoding) == kUtf32CodePage ? bytes.size() / 4 : bytes.size();
    TextEncoding decoder(u"UTF-16", encoding, bytes.data(), units);
    if (!decoder.ToUtf16(text_)) {
        // No converter for the declared encoding: keep the text through the ANSI code page.
        TextEncoding ansi(u"UTF-16", u"", bytes.data(), bytes.size());
        ansi.ToUtf16(text_);
    }
    AddResult(result_, u"converted_to", u"encoding", u"UTF-16",
              {{u"length", static_cast<int64_t>(text_.size())}});
}

void XmlDocument::ClearForLoad() {
    result_.clear();
    text_.clear();
    // Until the caller parses the new text, the index is that of an empty document, so
    // no stale record points past the new text.
    index_.Reset();
    parent_ = current_ = child_ = 0;
    nodeType_ = XmlNodeType::None;
}

bool XmlDocument::LoadBytes(std::string_view bytes) {
    ClearForLoad();
    flags_ &= ~(kBomFlags | kFileFlags);
    DecodeBytes(bytes);
    return true;
}

bool XmlDocument::LoadFile(const std::filesystem::path& fileName) {
    ClearForLoad();
    flags_ &= ~kBomFlags;
    flags_ |= kXmlReadingFile;
    FILE* file = std::fopen(fileName.c_str(), "rb");
    if (file == nullptr) {
        LogFileError(result_, errno);
        flags_ &= ~kFileFlags;
        return false;
    }
    std::string bytes;
    char buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, got);
    }
    if (std::ferror(file) != 0) {
        LogFileError(result_, errno);
        std::fclose(file);
        flags_ &= ~kFileFlags;
        return false;
    }
    DecodeBytes(bytes);
    if (std::fclose(file) != 0) {
        LogFileError(result_, errno);
    }
    flags_ &= ~kFileFlags;
    return true;
}

std::string XmlDocument::SaveBytes() {
    result_.clear();
    std::string out;
    std::u16string encoding;
    const ByteOrderMark* mark = nullptr;
    for (const ByteOrderMark& m : kByteOrderMarks) {
        if ((flags_ & m.flag) != 0) {
            mark = &m;
            break;
        }
    }
    if (mark != nullptr) {
        out.append(mark->bytes);
        encoding = mark->encoding;
        AddResult(result_, u"bom");
    } else if (!text_.empty()) {
        encoding = FindDeclaredEncoding(text_);
    }
    if (encoding.empty()) {
        encoding = u"UTF-8";
    }
    const int codePage = LookUpCodePage(encoding);
    if (codePage == kUtf16LeCodePage || codePage == kUtf16BeCodePage) {
        std::string units;
        TextEncoding(encoding, u"UTF-16", text_.data(), text_.size()).FromUtf16(units);
        out += units;
        AddResult(result_, u"write", u"encoding", encoding,
                  {{u"length", static_cast<int64_t>(text_.size())}});
        return out;
    }
    std::string converted;
    TextEncoding encoder(encoding, u"UTF-16", text_.data(), text_.size());
    if (!encoder.FromUtf16(converted)) {
        TextEncoding ansi(u"", u"UTF-16", text_.data(), text_.size());
        ansi.FromUtf16(converted);
        encoder.lossy = ansi.lossy;
    }
    out += converted;
    AddResult(result_, u"converted_from", u"encoding", u"UTF-16",
              {{u"length", static_cast<int64_t>(text_.size())}});
    if (encoder.lossy) {
        AddResult(result_, u"conversion_loss");
    }
    return out;
}

bool XmlDocument::SaveFile(const std::filesystem::path& fileName) {
    result_.clear();
    flags_ |= kXmlWritingFile;
    FILE* file = std::fopen(fileName.c_str(), "wb");
    if (file == nullptr) {
        LogFileError(result_, errno);
        flags_ &= ~kFileFlags;
        return false;
    }
    const std::string bytes = SaveBytes();
    bool ok = true;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        LogFileError(result_, errno);
        ok = false;
    }
    if (std::fclose(file) != 0) {
        LogFileError(result_, errno);
        ok = false;
    }
    flags_ &= ~kFileFlags;
    return ok;
}

}  // namespace quillora
