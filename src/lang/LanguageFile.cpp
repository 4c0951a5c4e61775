#include "lang/LanguageFile.h"

#include <algorithm>
#include <fstream>

#include "app/Utf8.h"

namespace quillora {
namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f';
}

bool IsLineEnd(char16_t c) {
    return c == u'\n' || c == u'\r';
}

std::u16string_view TrimLeft(std::u16string_view s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    return s;
}

std::u16string_view TrimRight(std::u16string_view s) {
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::u16string_view Trim(std::u16string_view s) {
    return TrimRight(TrimLeft(s));
}

char16_t FoldAscii(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The value as the reader hands it out: up to a NUL, without its enclosing quotes, and
// cut to the buffer.
std::u16string FinishValue(std::u16string_view value) {
    if (const size_t nul = value.find(u'\0'); nul != std::u16string_view::npos) {
        value = value.substr(0, nul);
    }
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    if (value.size() > kMaxProfileStringLength) {
        size_t keep = kMaxProfileStringLength;
        if (IsHighSurrogate(value[keep - 1]) && IsLowSurrogate(value[keep])) {
            --keep;
        }
        value = value.substr(0, keep);
    }
    return std::u16string(value);
}

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string out;
    out.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
        out.push_back(bigEndian ? static_cast<char16_t>((b0 << 8) | b1)
                                : static_cast<char16_t>((b1 << 8) | b0));
    }
    return out;
}

}  // namespace

std::string LanguageFilePath(std::string_view applicationFolder, int language) {
    std::string path(applicationFolder);
    path += "language/";
    path += std::to_string(language);
    path += ".lan";
    return path;
}

std::u16string DecodeProfileText(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE")) {
        return DecodeUtf16(bytes.substr(2), false);
    }
    if (bytes.starts_with("\xFE\xFF")) {
        return DecodeUtf16(bytes.substr(2), true);
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    // FromUtf8 ends at a NUL byte; decode the pieces between NULs so that a stray NUL
    // does not hide the rest of the file.
    std::u16string out;
    out.reserve(bytes.size());
    while (true) {
        const size_t nul = bytes.find('\0');
        out += FromUtf8(bytes.substr(0, nul));
        if (nul == std::string_view::npos) {
            break;
        }
        out.push_back(u'\0');
        bytes.remove_prefix(nul + 1);
    }
    return out;
}

std::u16string FindProfileString(std::u16string_view text, std::u16string_view section,
                                 std::u16string_view key) {
    section = Trim(section);
    key = Trim(key);
    bool inSection = false;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = pos;
        while (end < text.size() && !IsLineEnd(text[end])) {
            ++end;
        }
        const std::u16string_view line = Trim(text.substr(pos, end - pos));
        pos = end + 1;

        if (line.empty() || line.front() == u';') {
            continue;
        }
        if (line.front() == u'[') {
            const size_t close = line.rfind(u']');
            if (close != std::u16string_view::npos) {
                if (inSection) {
                    // Leaving the first section of the name ends the search: a later
                    // section of the same name is not read.
                    return {};
                }
                inSection = EqualsIgnoringCase(Trim(line.substr(1, close - 1)), section);
                continue;
            }
            // Without a closing bracket the line is an ordinary entry line.
        }
        if (!inSection) {
            continue;
        }
        const size_t equals = line.find(u'=');
        if (equals == std::u16string_view::npos) {
            continue;
        }
        if (EqualsIgnoringCase(TrimRight(line.substr(0, equals)), key)) {
            return FinishValue(TrimLeft(line.substr(equals + 1)));
        }
    }
    return {};
}

std::u16string ReadProfileString(const std::filesystem::path& file, std::u16string_view section,
                                 std::u16string_view key) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return {};
    }
    std::string bytes;
    char buffer[16384];
    while (bytes.size() < kMaxProfileFileBytes) {
        const size_t want = std::min(sizeof buffer, kMaxProfileFileBytes - bytes.size());
        in.read(buffer, static_cast<std::streamsize>(want));
        const std::streamsize got = in.gcount();
        if (got <= 0) {
            break;
        }
        bytes.append(buffer, static_cast<size_t>(got));
    }
    return FindProfileString(DecodeProfileText(bytes), section, key);
}

std::u16string LanguageFile::Text(int number) const {
    const std::string key = std::to_string(number);
    return ReadProfileString(path_, kLanguageSection, std::u16string(key.begin(), key.end()));
}

void InterfaceTexts::SetLanguage(int language) {
    std::lock_guard lock(mutex_);
    language_ = language;
}

int InterfaceTexts::Language() const {
    std::lock_guard lock(mutex_);
    return language_;
}

std::string InterfaceTexts::FilePath() const {
    return LanguageFilePath(folder_, Language());
}

std::u16string InterfaceTexts::GetText(int number) const {
    // The file is read outside the lock, so a slow disk never holds up a language change.
    return LanguageFile(FilePath()).Text(number);
}

}  // namespace quillora
